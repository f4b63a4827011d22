#pragma once
// What the worker needs from whoever runs it: the windows, the terminal
// packer, or a scripted host in tests and benchmarks. Every call but JobEnded
// waits for its answer; the windows run them on the main thread.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/error.h"

namespace coffer {

// The outcome of a job. (1, 0) finished or cancelled; (0, 1) the output
// folder could not be made; (0, 2) wrong password; (0, 3) failed, with text.
struct JobEnd {
  JobEnd() = default;
  JobEnd(int32_t first_code, int32_t second_code, std::string what = {}, std::vector<std::string> items = {})
      : first(first_code), second(second_code), text(std::move(what)), details(std::move(items)) {}

  int32_t first = 1;
  int32_t second = 0;
  std::string text;
  std::vector<std::string> details;  // (0, 3): one line per item, "path: reason"
  friend bool operator==(const JobEnd&, const JobEnd&) = default;
};

enum class OverwriteAnswer : int32_t {
  kYes = 0, kNo = 1, kYesToAll = 2, kNoToAll = 3, kAutoRename = 4, kCancel = 5,
};

// The host could not answer a question (its window failed): the job ends
// with this error rather than guess an answer.
class HostFailure : public Error {
 public:
  using Error::Error;
};

class JobHost {
 public:
  virtual ~JobHost() = default;
  virtual void ShowTotalSize(int64_t total_bytes) = 0;
  virtual OverwriteAnswer AskOverwrite(const std::string& existing_file,
                                       const std::string& new_file) = 0;
  // Fallback when the engine asks for a password it was not given: true
  // with `password` filled in, false to stop (the host then closes).
  virtual bool AskPassword(std::string& password) = 0;
  // Called exactly once per job, last; must not wait for the host.
  virtual void JobEnded(const JobEnd& end) = 0;
};

}  // namespace coffer
