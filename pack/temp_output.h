#pragma once
// A file written under a temporary name beside its final one and renamed
// into place only when complete, so that a failed or interrupted run never
// leaves a half-written file under the final name.
#include <memory>
#include <string>

#include "platform/stream.h"

namespace coffer::pack {

class TempOutput {
 public:
  // Creates a new, empty temporary file in the folder of `final_path`.
  // Throws coffer::Error when the folder refuses.
  explicit TempOutput(std::string final_path);
  // Removes the temporary file unless Commit succeeded.
  ~TempOutput();
  TempOutput(const TempOutput&) = delete;
  TempOutput& operator=(const TempOutput&) = delete;

  FileStream& stream() { return *stream_; }
  const std::string& temp_path() const { return temp_path_; }

  // Closes the file, makes it executable (0755) and renames it to the final
  // name, replacing a file there. Throws coffer::Error on failure.
  void Commit();

 private:
  std::string final_path_;
  std::string temp_path_;
  std::unique_ptr<FileStream> stream_;
  bool committed_ = false;
};

}  // namespace coffer::pack
