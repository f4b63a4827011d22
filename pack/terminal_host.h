#pragma once
// --extract: the extraction worker the windows run, driven from a terminal.
// The host answers the worker's questions on /dev/tty (or by the standing
// --overwrite choice), and the main thread draws the progress record as a
// bar every 250 ms and turns Ctrl-C into the worker's cancel request.
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>

#include "extract/job_host.h"
#include "extract/progress.h"
#include "pack/options.h"
#include "pack/terminal.h"

namespace coffer::pack {

// The answer for a typed reply to the overwrite question: y, n, A, N, r, c
// (the case of a and n matters; y, r and c take either case).
std::optional<OverwriteAnswer> ParseOverwriteReply(const std::string& reply);

// The standing answer an --overwrite mode gives; nothing for kAsk.
std::optional<OverwriteAnswer> AnswerForMode(OverwriteMode mode);

class TerminalHost final : public JobHost {
 public:
  TerminalHost(OverwriteMode mode, ProgressBar& bar) : mode_(mode), bar_(bar) {}

  void ShowTotalSize(int64_t) override {}
  OverwriteAnswer AskOverwrite(const std::string& existing_file, const std::string& new_file) override;
  bool AskPassword(std::string& password) override;
  void JobEnded(const JobEnd& end) override;

  // Waits up to `timeout` for the job's end; returns it once it came.
  std::optional<JobEnd> WaitForEnd(std::chrono::milliseconds timeout);
  // Whether a question holds the terminal (the bar stays away meanwhile).
  bool Asking() const;

 private:
  OverwriteMode mode_;
  ProgressBar& bar_;
  mutable std::mutex mutex_;
  std::condition_variable ended_cv_;
  std::optional<JobEnd> end_;
  bool asking_ = false;
};

// Runs --extract for the command line; returns the exit status.
int RunExtract(const Options& options);

// The stage word and the counts the bar shows for a progress record.
struct BarState {
  std::string stage;
  int64_t done = 0;
  int64_t total = 0;
  bool bytes = true;  // false: a count of files
};
BarState BarStateOf(const ProgressRecord& record);

}  // namespace coffer::pack
