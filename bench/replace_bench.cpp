// Replacing: the job on a tree whose files all exist already (the output
// folder holds the whole tree from a first run; the first question is
// answered Yes to all) against that first run into an empty folder, and
// beside it 7zz x -aoa replacing the same tree. Two trees: 20,000 small
// files, and 100,000 empty ones, where placing is all there is to measure.
// Each run starts from a settled system, so the files it replaces are on
// disk, as they are when a recipient runs the file again later.
//   bench_replace [work folder] [rounds] [small|empty]
//   bench_replace --run-job PROGRAM OUT PASSWORD [--replacing] [--trace]
#include <cstdio>
#include <string>
#include <vector>

#include "bench/sfx_job.h"

namespace bench = coffer::bench;

namespace {

void Run(const std::string& work, int rounds, const bench::JobCase& c) {
  const bench::SelfExtractor sfx = bench::BuildSelfExtractor(work, c.name, c.spec);
  const std::string out = work + "/out";
  const std::string base = out + "/" + sfx.name;
  std::vector<bench::Sample> first, second, theirs, theirs_first, theirs_second;
  for (int i = 0; i < rounds; ++i) {
    bench::Shell("rm -rf " + bench::Quote(out));
    bench::Settle();
    first.push_back(bench::MeasureCommand(bench::JobCommand(sfx, out, false)));
    if (i == 0) bench::CheckTree("the first run", base, sfx.tree);
    bench::Settle();
    second.push_back(bench::MeasureCommand(bench::JobCommand(sfx, out, true)));
    if (i == 0) bench::CheckTree("the replacing run", base, sfx.tree);
    // 7zz replacing the same tree, as settled: what the engine's own tool
    // takes for the work that replacing cannot avoid; and then the same
    // pair as ours with 7zz, first into an empty folder, then replacing,
    // for what this file system makes replacing cost against a first run.
    const std::string seven = "7zz x -aoa -bd -bso0 -p" + bench::Quote(bench::kSfxPassword) + " -o" +
                              bench::Quote(base) + " " + bench::Quote(sfx.archive);
    bench::Settle();
    theirs.push_back(bench::MeasureCommand(seven));
    bench::Shell("rm -rf " + bench::Quote(out));
    bench::Settle();
    theirs_first.push_back(bench::MeasureCommand(seven));
    bench::Settle();
    theirs_second.push_back(bench::MeasureCommand(seven));
  }
  const bench::Comparison r = bench::Report(c.what, second, first, c.target_ratio, "replacing", "first");
  if (r.ratio > c.target_ratio) std::printf("%-34s TIME MISSED\n", "");
  const double aoa = bench::MedianSeconds(theirs);
  const double alone_first = bench::MedianSeconds(theirs_first), alone_second = bench::MedianSeconds(theirs_second);
  std::printf("%-34s 7zz x -aoa over the same tree %7.3f s: replacing / 7zz %.3f (no target)\n", "", aoa,
              r.ours / aoa);
  std::printf("%-34s 7zz alone: replacing %7.3f s / first %7.3f s = %.3f (what the file system allows)\n", "",
              alone_second, alone_first, alone_second / alone_first);
  std::fflush(stdout);
  bench::Shell("rm -rf " + bench::Quote(out));
}

}  // namespace

int main(int argc, char** argv) {
  if (const int status = bench::RunJobMain(argc, argv); status >= 0) return status;
  const bench::JobBenchArgs args = bench::ParseJobBenchArgs(argc, argv);
  // "small" is bench_e2e's small file, so one work folder serves both.
  const bench::JobCase cases[] = {
      {"replace 20000 files of 1-4 KiB", "small", {20000, 1024, 4096, 50, 8}, 1.5},
      {"replace 100000 empty files", "empty", {100000, 0, 0, 50, 8}, 2.0},
  };
  for (const bench::JobCase& c : cases) {
    if (args.Runs(c.name)) Run(args.work, args.rounds, c);
  }
  return 0;
}
