// Packing one 256 MiB tree (3,000 files, half compressible, half random)
// with coffer-pack against `7zz a` with the same method, level, solid
// block, threads and AES, in the same run, several rounds.
//   bench_pack [work folder] [rounds]
// The tree is built once in the work folder and kept for later runs.
#include <sys/resource.h>
#include <sys/stat.h>

#include <cstdio>
#include <string>

#include "bench/bench_tree.h"
#include "bench/bench_util.h"

namespace {

using coffer::bench::Quote;
using coffer::bench::Shell;

constexpr const char* kPassword = "bench password";

// CPU seconds (user and system) of every child reaped so far: on a shared
// machine the difference across one run is steadier than its wall time.
double ChildrenCpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_CHILDREN, &u);
  auto s = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
  return s(u.ru_utime) + s(u.ru_stime);
}

// Measures `command` and adds its CPU seconds to `cpu`.
coffer::bench::Sample MeasureWithCpu(const std::string& command, std::vector<double>& cpu) {
  const double before = ChildrenCpuSeconds();
  const auto sample = coffer::bench::MeasureCommand(command);
  cpu.push_back(ChildrenCpuSeconds() - before);
  return sample;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string work = argc > 1 ? argv[1] : "/tmp/coffer-bench-pack";
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
  const std::string src = work + "/src";
  const std::string ours_out = work + "/out.run";
  const std::string theirs_out = work + "/out.7z";
  const std::string password_file = work + "/password";
  struct stat st;
  if (stat((src + "/.complete").c_str(), &st) != 0) {
    std::printf("building the tree in %s ...\n", src.c_str());
    std::fflush(stdout);
    Shell("rm -rf " + Quote(work) + " && mkdir -p " + Quote(src));
    coffer::bench::MakeTree(src, {3000, (int64_t{256} << 20) / 3000, (int64_t{256} << 20) / 3000});
    Shell("touch " + Quote(src + "/.complete"));
  }
  Shell("printf '%s\\n' " + Quote(kPassword) + " > " + Quote(password_file));

  // The sizes each side wrote, to see both did the same work.
  auto size_of = [](const std::string& path) {
    struct stat s;
    return stat(path.c_str(), &s) == 0 ? static_cast<long long>(s.st_size) : -1LL;
  };
  long long ours_size = 0, theirs_size = 0;
  std::vector<double> ours_cpu, theirs_cpu;
  auto reset = [&] { Shell("rm -f " + Quote(ours_out) + " " + Quote(theirs_out)); };
  auto ours = [&] {
    const auto sample = MeasureWithCpu(Quote(COFFER_PACKER) + " --password-file " + Quote(password_file) + " " +
                                           Quote(ours_out) + " " + Quote(src) + " >/dev/null 2>&1",
                                       ours_cpu);
    ours_size = size_of(ours_out);
    return sample;
  };
  auto theirs = [&] {
    const auto sample = MeasureWithCpu("7zz a -bd -bso0 -t7z -m0=lzma2 -mx=5 -ms=on -mmt=on -mhe=off -p" +
                                           Quote(kPassword) + " " + Quote(theirs_out) + " " + Quote(src),
                                       theirs_cpu);
    theirs_size = size_of(theirs_out);
    return sample;
  };
  coffer::bench::Compare("pack 256 MiB, 3000 files", rounds, reset, ours, theirs, 1.05);
  const double ours_c = coffer::bench::Median(ours_cpu), theirs_c = coffer::bench::Median(theirs_cpu);
  std::printf("  cpu: ours %.3f s  reference %.3f s  ratio %.3f\n", ours_c, theirs_c, ours_c / theirs_c);
  std::printf("  sizes: ours %lld bytes (extractor image in front), 7zz %lld bytes\n", ours_size, theirs_size);
  reset();
  return 0;
}
