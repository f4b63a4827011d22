// Extracting one 256 MiB archive (a few thousand files, compressible and
// incompressible, AES-encrypted LZMA2 as the packer makes them) through
// ExtractAllToFolder against `7zz x`, in the same run, several rounds.
//   bench_extract [work folder] [rounds]
// The archive is built once in the work folder and kept for later runs.
#include <sys/stat.h>

#include <cstdio>
#include <random>
#include <string>

#include "bench/bench_util.h"
#include "sevenzip/reader.h"

namespace {

constexpr const char* kPassword = "bench password";

std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

void Shell(const std::string& command) {
  if (std::system(command.c_str()) != 0) {
    std::fprintf(stderr, "bench: failed: %s\n", command.c_str());
    std::exit(1);
  }
}

// About 256 MiB in 3,000 files: half of them text-like, half random.
void MakeTree(const std::string& root) {
  std::mt19937_64 gen(42);
  std::string buffer;
  const int64_t total = int64_t{256} << 20;
  const int files = 3000;
  std::string words[] = {"alpha ", "beta ", "gamma ", "delta ", "archive ", "payload ", "extract ", "\n"};
  for (int i = 0; i < files; ++i) {
    const std::string folder = root + "/d" + std::to_string(i % 40) + "/s" + std::to_string(i % 7);
    Shell("mkdir -p " + Quote(folder));
    const int64_t size = total / files;
    buffer.clear();
    if (i % 2 == 0) {
      while (static_cast<int64_t>(buffer.size()) < size) buffer += words[gen() % 8];
      buffer.resize(size);
    } else {
      buffer.resize(size);
      for (auto& c : buffer) c = static_cast<char>(gen());
    }
    FILE* f = std::fopen((folder + "/f" + std::to_string(i) + ".dat").c_str(), "wb");
    if (!f || std::fwrite(buffer.data(), 1, buffer.size(), f) != buffer.size() || std::fclose(f) != 0) {
      std::fprintf(stderr, "bench: cannot write the tree\n");
      std::exit(1);
    }
  }
}

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
    MakeTree(work + "/src");
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
