#pragma once
// Self-extracting files for the benchmarks, and the whole extraction job run
// on one of them in a child process of its own, so that its wall time and
// peak memory can be read the same way as those of 7zz.
#include <string>

#include "bench/bench_tree.h"
#include "bench/bench_util.h"

namespace coffer::bench {

inline constexpr const char* kSfxPassword = "bench password";

struct SelfExtractor {
  std::string archive;  // the 7z archive alone
  std::string program;  // image + archive; the job extracts into <out>/<name>/
  std::string name;     // program file name without extension
  TreeTotals tree;      // what the job must leave in <out>/<name>/
  std::string temp;     // <work>/tmp: the job's temporary folder
};

// The archive holds a top-level folder "data" with the tree of `spec` and the
// probe item beside it. Built once as <work>/<name>.7z and <work>/<name>.run
// (an image of zeros up to the payload offset, then the archive) and reused
// by later runs.
SelfExtractor BuildSelfExtractor(const std::string& work, const std::string& name, const TreeSpec& spec);

// The command line of a child that runs the job on `sfx` into `out`.
// Its temporary folder (payload copy, scratch folder) is `sfx.temp`, so
// that it writes on the same file system as 7zz, whatever TMPDIR says.
// `replacing`: every file exists already, so the job must ask exactly once
// (answered Yes to all); otherwise it must not ask at all.
std::string JobCommand(const SelfExtractor& sfx, const std::string& out, bool replacing);

// Fails the benchmark unless `out` holds exactly `expected`.
void CheckTree(const std::string& what, const std::string& out, const TreeTotals& expected);

// One case of a job benchmark: a tree and the figures it must meet.
struct JobCase {
  const char* what;  // the report's label
  const char* name;  // of the self-extracting file, and to pick the case
  TreeSpec spec;
  double target_ratio;
  long target_over_mib = 0;  // bench_e2e: our peak memory at most this far above 7zz's
};

// `bench [work folder] [rounds] [case]`, as both job benchmarks take it:
// one shared work folder, 5 rounds and every case unless given.
struct JobBenchArgs {
  std::string work = "/tmp/coffer-bench-e2e";
  int rounds = 5;
  std::string only;  // the one case to run; empty: all
  bool Runs(const std::string& name) const { return only.empty() || only == name; }
};
JobBenchArgs ParseJobBenchArgs(int argc, char** argv);

// The child side: `<bench> --run-job PROGRAM OUT PASSWORD [--replacing] [--trace]`.
// Returns the exit status; `--trace` prints the job's stages with times.
// Gives -1 when argv is not a job command.
int RunJobMain(int argc, char** argv);

}  // namespace coffer::bench
