#pragma once
// The descriptor behind a FileStream, for the POSIX back end's files only.
#include <memory>
#include <string>

#include "platform/stream.h"

namespace coffer {

struct FileStream::Native {
  int fd = -1;
  ~Native();
};

// Creates (or truncates) `name` in the folder open as `dir_fd` without
// following a symbolic link there; `shown_path` names it in errors.
std::unique_ptr<FileStream> CreateFileAt(int dir_fd, const std::string& name, const std::string& shown_path);

}  // namespace coffer
