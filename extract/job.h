#pragma once
// The steps of one extraction job, run by TThreaEncryptFile on its thread.
#include <cstdint>
#include <memory>
#include <utility>
#include <string>
#include <vector>

#include "app/files.h"
#include "extract/job_host.h"
#include "extract/progress.h"
#include "extract/worker.h"
#include "platform/debug.h"
#include "sevenzip/reader.h"

namespace coffer {

// An item that did not come out, and why (for the terminal's detail).
struct NotExtracted {
  std::string path;
  std::string reason;
};

class Job {
 public:
  Job(const WorkerInputs& in, const std::string& payload_copy, ProgressRecord& record, PauseGate& pause,
      JobHost& host);
  ~Job();
  Job(const Job&) = delete;
  Job& operator=(const Job&) = delete;

  // Runs every step; throws on an error that ends the job.
  JobEnd Run();

 private:
  bool Cancelled() const;
  JobEnd Finish(JobEnd end);
  void CopyPayload();
  bool Open();  // false: the headers need a password and refuse this one
  void PreScan();
  bool PasswordAccepted();
  bool MakeOutputBase();
  JobEnd Extract();
  JobEnd Place(const std::string& extraction_folder, std::vector<NotExtracted> not_placed);
  // The items of the last extraction that did not come out whole, with
  // the reason for each; with `remove`, what the engine wrote for them goes.
  std::vector<NotExtracted> DamagedItems(const std::string& extraction_folder, bool remove);

  static int32_t OnProgress(void* sender, bool is_total, int64_t value);
  static int32_t OnPassword(void* sender, std::string& password);
  static int32_t OnOpenPassword(void* sender, std::string& password);

  const WorkerInputs& in_;
  TraceSecret password_secret_;
  const std::string& payload_copy_;
  ProgressRecord& record_;
  PauseGate& pause_;
  JobHost& host_;

  sevenzip::ReaderRef reader_;
  std::string output_base_;
  uint32_t item_total_ = 0;
  int64_t sum_ = 0;
  bool existing_ = false;
  int32_t data_items_ = 0;       // files that hold data
  int32_t protected_items_ = 0;  // of those, the encrypted ones
  bool password_asked_at_open_ = false;
  OverwriteAnswer standing_answer_ = OverwriteAnswer::kYes;
  // A password typed into the fallback dialog stays out of the trace too.
  std::vector<std::unique_ptr<TraceSecret>> fallback_secrets_;
};

// Removes a scratch folder however the step that made it ends.
class ScratchFolder {
 public:
  explicit ScratchFolder(std::string path) : path_(std::move(path)) {}
  ~ScratchFolder() { RemoveTree(path_); }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

bool FolderExists(const std::string& path);

// The end for files that did not come out intact: one summary text for
// the window, and "path: reason" per item for the terminal.
JobEnd NotIntact(const std::vector<NotExtracted>& items);

}  // namespace coffer
