#pragma once
// Self-extracting files made with the real 7zz, and a scripted host that
// runs the real worker on them.
#include <condition_variable>
#include <deque>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

#include "extract/job_host.h"
#include "extract/progress.h"
#include "extract/worker.h"
#include "tests/support/scratch.h"

namespace coffer {
// Readable failure output for job ends.
inline void PrintTo(const JobEnd& end, std::ostream* os) {
  *os << "(" << end.first << ", " << end.second << ", \"" << end.text << "\")";
}
}  // namespace coffer

namespace coffer::test {

// The per-process temporary folder the tests' working folders go to (set
// as TMPDIR before anything asks for it).
const std::string& TestTempFolder();
// Entries of the temporary folder right now.
std::vector<std::string> TempEntries();

struct PackOptions {
  std::string password = "pass word";
  std::string switches = "-m0=lzma2 -mx=1 -ms=on -mhe=off";
  bool probe = true;
  size_t image_size = 786432;  // zero bytes in front of the archive
};

// Packs everything inside `content_dir` (its entries at the archive's top
// level) plus the probe item into `program`, a program image followed by
// the archive. Fails the current test when 7zz does.
void MakeSelfExtracting(const std::string& program, const std::string& content_dir,
                        const PackOptions& options = {});

// Plays the windows' part: records what the worker reports and answers
// overwrite questions from a script.
class ScriptedHost : public JobHost {
 public:
  std::deque<OverwriteAnswer> answers;  // kCancel once they run out
  std::string password_answer;          // empty: refuse the password dialog

  void ShowTotalSize(int64_t total_bytes) override;
  OverwriteAnswer AskOverwrite(const std::string& existing_file, const std::string& new_file) override;
  bool AskPassword(std::string& password) override;
  void JobEnded(const JobEnd& end) override;

  // Waits for the job's end; false after `timeout_ms`.
  bool WaitEnded(int timeout_ms = 60000);

  std::mutex mutex;
  std::vector<int64_t> total_sizes;
  std::vector<std::pair<std::string, std::string>> questions;
  int password_questions = 0;
  std::vector<JobEnd> ends;

 private:
  std::condition_variable ended_;
};

// One job of the real worker: program and output folder, a working folder
// made as the program makes it, removed again at the end.
struct JobRun {
  JobRun(const std::string& program, const std::string& output_folder, const std::string& password);
  ~JobRun();

  JobEnd RunHere();  // Execute on this thread; expects exactly one end
  void Start() { worker.Start(); }

  WorkerInputs inputs;
  ProgressRecord record;
  PauseGate pause;
  ScriptedHost host;
  TThreaEncryptFile worker;
};

}  // namespace coffer::test
