#pragma once
// The descriptor behind an OpenFolder, for the POSIX back end's files only.
#include <string>

#include "platform/open_folder.h"

namespace coffer {

struct OpenFolder::Native {
  int fd = -1;     // -1 when the folder could not be opened
  int error = 0;   // then why (an errno value)
  std::string path;
  ~Native();
};

// Takes `fd` over (or records `error` when it is negative).
OpenFolder MakeOpenFolder(int fd, std::string path, int error);

// The descriptor of `folder`, or -1 with errno set to why it is not open.
int FolderFd(const OpenFolder& folder);

}  // namespace coffer
