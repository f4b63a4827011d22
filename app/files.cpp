#include "app/files.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <optional>

#include "platform/run_lock.h"
#include "platform/tree.h"

namespace coffer {
namespace {

bool IsAsciiUpper(char c) { return c >= 'A' && c <= 'Z'; }

std::string AsciiLower(std::string s) {
  for (char& c : s)
    if (IsAsciiUpper(c)) c = static_cast<char>(c - 'A' + 'a');
  return s;
}

}  // namespace

bool RemoveTree(const std::string& folder) {
  // The marker goes last: a working folder that resists keeps it, and a
  // later run's sweep tries again once this process has let go.
  const bool gone = RemoveFolderTree(folder, kRunMarkerName);
  ReleaseRunLock(folder);
  return gone;
}

std::string FileNameWithoutExtension(const std::string& path) {
  const auto slash = path.rfind('/');
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const auto dot = name.rfind('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

void RemoveProbeItem(const std::string& folder) {
  std::string base = folder;
  if (base.empty() || base.back() != '/') base += '/';
  const std::string wanted = kProbeItemName;
  struct stat st;
  if (::lstat((base + wanted).c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) {
    ::unlink((base + wanted).c_str());
    return;
  }
  DIR* dir = ::opendir(base.c_str());
  if (!dir) return;
  std::optional<std::string> found;
  while (dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (AsciiLower(name) != wanted) continue;
    if (::lstat((base + name).c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) {
      found = name;
      break;
    }
  }
  ::closedir(dir);
  if (found) ::unlink((base + *found).c_str());
}

}  // namespace coffer
