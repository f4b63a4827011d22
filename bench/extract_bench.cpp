// Extracting one 256 MiB archive (a few thousand files, compressible and
// incompressible, AES-encrypted LZMA2 as the packer makes them) through
// ExtractAllToFolder against `7zz x`, in the same run, several rounds.
//   bench_extract [work folder] [rounds]
// The archive is built once in the work folder and kept for later runs.
#include <sys/stat.h>

#include <cstdio>
#include <string>

#include "bench/bench_tree.h"
#include "bench/bench_util.h"
#include "sevenzip/reader.h"

namespace {

using coffer::bench::Quote;
using coffer::bench::Shell;

constexpr const char* kPassword = "bench password";

}  // namespace

int main(int argc, char** argv) {
  const std::string work = argc > 1 ? argv[1] : "/tmp/coffer-bench-extract";
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
  const std::string archive = work + "/bench.7z";
  const std::string out = work + "/out";
  struct stat st;
  if (stat(archive.c_str(), &st) != 0) {
    std::printf("building the archive in %s ...\n", work.c_str());
    std::fflush(stdout);
    Shell("rm -rf " + Quote(work) + " && mkdir -p " + Quote(work + "/src"));
    // About 256 MiB in 3,000 files.
    coffer::bench::MakeTree(work + "/src", {3000, (int64_t{256} << 20) / 3000, (int64_t{256} << 20) / 3000});
    Shell("cd " + Quote(work + "/src") + " && 7zz a -bd -bso0 -mx=5 -m0=LZMA2 -mmt=on -p" + Quote(kPassword) +
          " " + Quote(archive) + " .");
    Shell("rm -rf " + Quote(work + "/src"));
  }

  const std::string module = COFFER_ENGINE_MODULE;
  auto reset = [&] { Shell("rm -rf " + Quote(out)); };
  auto ours = [&] {
    return coffer::bench::Measure([&] {
      auto reader = coffer::sevenzip::New7zReader(coffer::sevenzip::Format7zClassId, module);
      reader->OpenFromFile(archive);
      reader->SetKnownPassword(kPassword);
      reader->ExtractAllToFolder(out);
      return reader->LastFailures().empty() ? 0 : 1;
    });
  };
  auto theirs = [&] {
    return coffer::bench::MeasureCommand("7zz x -bd -bso0 -y -p" + Quote(kPassword) + " -o" + Quote(out) + " " +
                                         Quote(archive));
  };
  coffer::bench::Compare("extract 256 MiB, 3000 files", rounds, reset, ours, theirs, 1.05);
  reset();
  return 0;
}
