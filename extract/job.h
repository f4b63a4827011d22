#pragma once
// The steps of one extraction job, run by TThreaEncryptFile on its thread.
#include <cstdint>
#include <utility>
#include <string>
#include <vector>

#include "app/files.h"
#include "extract/job_host.h"
#include "extract/progress.h"
#include "extract/worker.h"
#include "sevenzip/reader.h"

namespace coffer {

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
  JobEnd Place(const std::string& extraction_folder, std::vector<std::string> not_placed);
  std::vector<std::string> DamagedItems(const std::string& extraction_folder, bool remove);

  static int32_t OnProgress(void* sender, bool is_total, int64_t value);
  static int32_t OnPassword(void* sender, std::string& password);
  static int32_t OnOpenPassword(void* sender, std::string& password);

  const WorkerInputs& in_;
  const std::string& payload_copy_;
  ProgressRecord& record_;
  PauseGate& pause_;
  JobHost& host_;

  sevenzip::ReaderRef reader_;
  std::string output_base_;
  uint32_t item_total_ = 0;
  int64_t sum_ = 0;
  bool existing_ = false;
  bool password_asked_at_open_ = false;
  OverwriteAnswer standing_answer_ = OverwriteAnswer::kYes;
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

// The text for files that did not come out intact.
std::string NotIntactText(const std::vector<std::string>& paths);

}  // namespace coffer
