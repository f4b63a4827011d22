// Replacing: the job on 20,000 small files that all exist already (the
// output folder holds the whole tree from a first run; the first question is
// answered Yes to all) against the first run into an empty folder.
//   bench_replace [work folder] [rounds]
//   bench_replace --run-job PROGRAM OUT PASSWORD [--replacing] [--trace]
#include <cstdio>
#include <string>
#include <vector>

#include "bench/sfx_job.h"

namespace bench = coffer::bench;

int main(int argc, char** argv) {
  if (const int status = bench::RunJobMain(argc, argv); status >= 0) return status;
  const std::string work = argc > 1 ? argv[1] : "/tmp/coffer-bench-e2e";
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
  // The same file as bench_e2e's small case, so one work folder serves both.
  const bench::SelfExtractor sfx = bench::BuildSelfExtractor(work, "small", {20000, 1024, 4096, 50, 8});
  const std::string out = work + "/out";
  const std::string base = out + "/" + sfx.name;

  std::vector<bench::Sample> first, second;
  for (int i = 0; i < rounds; ++i) {
    bench::Shell("rm -rf " + bench::Quote(out));
    first.push_back(bench::MeasureCommand(bench::JobCommand(sfx.program, out, false)));
    if (i == 0) bench::CheckTree("the first run", base, sfx.tree);
    second.push_back(bench::MeasureCommand(bench::JobCommand(sfx.program, out, true)));
    if (i == 0) bench::CheckTree("the replacing run", base, sfx.tree);
  }
  const bench::Comparison r =
      bench::Report("replace 20000 files of 1-4 KiB", second, first, 2.5, "replacing", "first");
  if (r.ratio > 2.5) std::printf("%-34s TIME MISSED\n", "");
  bench::Shell("rm -rf " + bench::Quote(out));
  return 0;
}
