#pragma once
// The extraction job: copies the archive out of the program file, opens it,
// tests the password on the probe item, extracts, places files that already
// exist, and reports exactly one JobEnd to its host.
#include <cstdint>
#include <string>
#include <thread>

#include "extract/job_host.h"
#include "extract/progress.h"

namespace coffer {

struct WorkerInputs {
  std::string program_path;    // the self-extracting file (our own executable)
  std::string output_folder;   // as the user typed it
  std::string password;        // as typed, untrimmed
  std::string working_folder;  // ends in "/"
  std::string module_path;     // working folder + "7z.dll"
  int64_t payload_offset = 786432;
};

// What the run's working folder must hold: the copy of the payload that
// `program_path` carries from `payload_offset` on, and 10 MiB besides.
int64_t WorkingFolderNeed(const std::string& program_path, int64_t payload_offset = 786432);

class TThreaEncryptFile {
 public:
  TThreaEncryptFile(WorkerInputs inputs, ProgressRecord& record, PauseGate& pause, JobHost& host);
  ~TThreaEncryptFile();  // waits for the thread
  TThreaEncryptFile(const TThreaEncryptFile&) = delete;
  TThreaEncryptFile& operator=(const TThreaEncryptFile&) = delete;

  void Start();   // runs Execute on a new thread
  void Join();    // waits for it; safe to call twice
  bool Running() const;

  // working folder + "tmp.dat", known once the copy has begun.
  const std::string& payload_copy_path() const { return payload_copy_path_; }

  // The job on the calling thread (what the thread runs).
  void Execute();

 private:
  WorkerInputs inputs_;
  ProgressRecord& record_;
  PauseGate& pause_;
  JobHost& host_;
  std::string payload_copy_path_;
  std::thread thread_;
};

}  // namespace coffer
