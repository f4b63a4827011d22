#include "bench/sfx_job.h"

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <fstream>
#include <thread>

#include "app/files.h"
#include "app/working_folder.h"
#include "extract/worker.h"

namespace coffer::bench {
namespace {

constexpr int64_t kPayloadOffset = 786432;

std::string OwnExecutable() {
  char path[4096];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) {
    std::fprintf(stderr, "bench: cannot find its own executable\n");
    std::exit(1);
  }
  return std::string(path, static_cast<size_t>(n));
}

// Answers the first overwrite question with Yes to all and counts the
// questions; everything else is a no-op or a refusal.
class ScriptedHost : public JobHost {
 public:
  void ShowTotalSize(int64_t) override {}
  OverwriteAnswer AskOverwrite(const std::string&, const std::string&) override {
    ++asked;
    return OverwriteAnswer::kYesToAll;
  }
  bool AskPassword(std::string&) override { return false; }
  // Execute() runs on the caller's thread, so this needs no signal.
  void JobEnded(const JobEnd& end) override { ended = end; }

  int asked = 0;
  JobEnd ended{-1, -1, {}};
};

// Prints, while the job runs, each change of the stage flags with the time
// since the start, so that one run shows where its time goes.
class StageTrace {
 public:
  explicit StageTrace(const ProgressRecord& record) : record_(record), thread_([this] { Watch(); }) {}
  ~StageTrace() {
    done_ = true;
    thread_.join();
    Print("end");
  }

 private:
  std::string Stage() {
    constexpr auto r = ProgressRecord::kRelaxed;
    if (record_.placing.load(r)) {
      placed_ = true;
      return "placing";
    }
    if (placed_) return "after placing (scratch folder removal)";
    if (record_.scratch_extraction.load(r)) return "extracting to scratch";
    if (record_.hold.load(r)) return record_.extraction_phase.load(r) ? "held after extraction" : "held (module, open, probe)";
    return record_.extraction_phase.load(r) ? "extracting" : "copying the payload";
  }
  void Print(const std::string& stage) const {
    const double t = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    std::fprintf(stderr, "  %8.3f s  %s\n", t, stage.c_str());
  }
  void Watch() {
    std::string last;
    while (!done_) {
      const std::string now = Stage();
      if (now != last) Print(now);
      last = now;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }

  const ProgressRecord& record_;
  const std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  std::atomic<bool> done_{false};
  bool placed_ = false;  // the watcher's own
  std::thread thread_;
};

}  // namespace

SelfExtractor BuildSelfExtractor(const std::string& work, const std::string& name, const TreeSpec& spec) {
  SelfExtractor sfx{work + "/" + name + ".7z", work + "/" + name + ".run", name, {}, work + "/tmp"};
  Shell("mkdir -p " + Quote(sfx.temp));
  const std::string totals_file = work + "/" + name + ".tree";
  std::ifstream known(totals_file);
  if (known >> sfx.tree.files >> sfx.tree.bytes && access(sfx.program.c_str(), R_OK) == 0) return sfx;

  std::printf("building %s in %s ...\n", sfx.program.c_str(), work.c_str());
  std::fflush(stdout);
  const std::string src = work + "/" + name + ".src";
  Shell("rm -rf " + Quote(src) + " " + Quote(sfx.archive) + " " + Quote(sfx.program) + " && mkdir -p " + Quote(src));
  sfx.tree = MakeTree(src + "/data", spec);
  Shell("head -c 4096 /dev/urandom > " + Quote(src + "/" + kProbeItemName));
  Shell("cd " + Quote(src) + " && 7zz a -bd -bso0 -t7z -m0=lzma2 -mx=5 -ms=on -mmt=on -mhe=off -p" +
        Quote(kSfxPassword) + " " + Quote(sfx.archive) + " data " + Quote(kProbeItemName));
  Shell("rm -rf " + Quote(src));
  Shell("{ head -c " + std::to_string(kPayloadOffset) + " /dev/zero && cat " + Quote(sfx.archive) + "; } > " +
        Quote(sfx.program));
  std::ofstream(totals_file) << sfx.tree.files << " " << sfx.tree.bytes << "\n";
  return sfx;
}

std::string JobCommand(const SelfExtractor& sfx, const std::string& out, bool replacing) {
  return "TMPDIR=" + Quote(sfx.temp) + " " + Quote(OwnExecutable()) + " --run-job " + Quote(sfx.program) + " " +
         Quote(out) + " " + Quote(kSfxPassword) + (replacing ? " --replacing" : "");
}

void CheckTree(const std::string& what, const std::string& out, const TreeTotals& expected) {
  const TreeTotals found = CountTree(out);
  if (found == expected) return;
  std::fprintf(stderr, "bench: %s left %lld files, %lld bytes in %s; expected %lld files, %lld bytes\n", what.c_str(),
               static_cast<long long>(found.files), static_cast<long long>(found.bytes), out.c_str(),
               static_cast<long long>(expected.files), static_cast<long long>(expected.bytes));
  std::exit(1);
}

JobBenchArgs ParseJobBenchArgs(int argc, char** argv) {
  JobBenchArgs args;
  if (argc > 1) args.work = argv[1];
  if (argc > 2) args.rounds = std::atoi(argv[2]);
  if (argc > 3) args.only = argv[3];
  return args;
}

int RunJobMain(int argc, char** argv) {
  if (argc < 5 || std::strcmp(argv[1], "--run-job") != 0) return -1;
  bool replacing = false, trace = false;
  for (int i = 5; i < argc; ++i) {
    replacing = replacing || std::strcmp(argv[i], "--replacing") == 0;
    trace = trace || std::strcmp(argv[i], "--trace") == 0;
  }
  const std::string working = MakeWorkingFolder(kWorkingFolderNeed);
  ProgressRecord record;
  PauseGate pause;
  ScriptedHost host;
  {
    TThreaEncryptFile worker({argv[2], argv[3], argv[4], working, working + "7z.dll", kPayloadOffset}, record, pause,
                             host);
    if (trace) {
      StageTrace stages(record);
      worker.Execute();
    } else {
      worker.Execute();
    }
  }
  RemoveTree(working);
  const int expected_asks = replacing ? 1 : 0;
  if (host.ended == JobEnd{} && host.asked == expected_asks) return 0;
  std::fprintf(stderr, "bench: the job ended (%d, %d) %s after %d questions (expected (1, 0) after %d)\n",
               host.ended.first, host.ended.second, host.ended.text.c_str(), host.asked, expected_asks);
  return 1;
}

}  // namespace coffer::bench
