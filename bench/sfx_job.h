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
};

// The archive holds a top-level folder "data" with the tree of `spec` and the
// probe item beside it. Built once as <work>/<name>.7z and <work>/<name>.run
// (an image of zeros up to the payload offset, then the archive) and reused
// by later runs.
SelfExtractor BuildSelfExtractor(const std::string& work, const std::string& name, const TreeSpec& spec);

// The command line of a child that runs the job on `program` into `out`.
// `replacing`: every file exists already, so the job must ask exactly once
// (answered Yes to all); otherwise it must not ask at all.
std::string JobCommand(const std::string& program, const std::string& out, bool replacing);

// Fails the benchmark unless `out` holds exactly `expected`.
void CheckTree(const std::string& what, const std::string& out, const TreeTotals& expected);

// The child side: `<bench> --run-job PROGRAM OUT PASSWORD [--replacing] [--trace]`.
// Returns the exit status; `--trace` prints the job's stages with times.
// Gives -1 when argv is not a job command.
int RunJobMain(int argc, char** argv);

}  // namespace coffer::bench
