// The whole extraction job on a self-extracting file (payload copy, engine
// module, open, probe, extraction) against `7zz x` on the archive alone, in
// the same run, alternating, several rounds. Each side runs as a process of
// its own, writes on the same file system and starts from the same clean,
// settled state, so both are timed and their peak memories read alike.
//   bench_e2e [work folder] [rounds] [large|small]
//   bench_e2e --run-job PROGRAM OUT PASSWORD [--trace]   (one job; the child)
// The self-extracting files are built once in the work folder and reused.
#include <cstdio>
#include <string>

#include "bench/sfx_job.h"

namespace bench = coffer::bench;

namespace {

void Run(const std::string& work, int rounds, const bench::JobCase& c) {
  const bench::SelfExtractor sfx = bench::BuildSelfExtractor(work, c.name, c.spec);
  const std::string out = work + "/out";
  bool ours_checked = false, theirs_checked = false;
  auto reset = [&] { bench::Shell("rm -rf " + bench::Quote(out)); };
  auto ours = [&] {
    const bench::Sample s = bench::MeasureCommand(bench::JobCommand(sfx, out, false));
    if (!ours_checked) bench::CheckTree("the job", out + "/" + sfx.name, sfx.tree);
    ours_checked = true;
    return s;
  };
  auto theirs = [&] {
    const bench::Sample s = bench::MeasureCommand("7zz x -bd -bso0 -y -p" + bench::Quote(bench::kSfxPassword) +
                                                  " -o" + bench::Quote(out) + " " + bench::Quote(sfx.archive));
    if (!theirs_checked) bench::CheckTree("7zz", out + "/data", sfx.tree);
    theirs_checked = true;
    return s;
  };
  const bench::Comparison r = bench::Compare(c.what, rounds, reset, ours, theirs, c.target_ratio);
  const long over_mib = (r.peak_ours_kib - r.peak_theirs_kib) / 1024;
  std::printf("%-34s peak memory ours %ld MiB, 7zz %ld MiB: %+ld MiB (target <= %+ld)%s%s\n", "",
              r.peak_ours_kib / 1024, r.peak_theirs_kib / 1024, over_mib, c.target_over_mib,
              r.ratio <= c.target_ratio ? "" : "  TIME MISSED", over_mib <= c.target_over_mib ? "" : "  MEMORY MISSED");
  std::fflush(stdout);
  reset();
}

}  // namespace

int main(int argc, char** argv) {
  if (const int status = bench::RunJobMain(argc, argv); status >= 0) return status;
  const bench::JobBenchArgs args = bench::ParseJobBenchArgs(argc, argv);
  const bench::JobCase cases[] = {
      {"job 256 MiB, 3000 files", "large", {3000, (int64_t{256} << 20) / 3000, (int64_t{256} << 20) / 3000, 40, 7},
       1.04, 16},
      {"job 20000 files of 1-4 KiB", "small", {20000, 1024, 4096, 50, 8}, 1.15, 24},
  };
  for (const bench::JobCase& c : cases) {
    if (args.Runs(c.name)) Run(args.work, args.rounds, c);
  }
  return 0;
}
