#include "app/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>

namespace coffer {
namespace {

// Empties the folder open as `fd` (which this closes); true when it is empty
// afterwards. Descends through descriptors, so neither a deep tree nor a
// link swapped in for a folder can lead it outside the tree.
bool EmptyFolder(int fd) {
  DIR* dir = ::fdopendir(fd);
  if (!dir) {
    ::close(fd);
    return false;
  }
  bool empty = true;
  while (dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    struct stat st;
    if (::fstatat(fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
      empty = false;
      continue;
    }
    if (S_ISDIR(st.st_mode)) {
      const int child = ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
      const bool child_empty = child >= 0 && EmptyFolder(child);
      if (!child_empty || ::unlinkat(fd, name.c_str(), AT_REMOVEDIR) != 0) empty = false;
    } else if (::unlinkat(fd, name.c_str(), 0) != 0) {
      empty = false;
    }
  }
  ::closedir(dir);
  return empty;
}

bool IsAsciiUpper(char c) { return c >= 'A' && c <= 'Z'; }

std::string AsciiLower(std::string s) {
  for (char& c : s)
    if (IsAsciiUpper(c)) c = static_cast<char>(c - 'A' + 'a');
  return s;
}

}  // namespace

bool RemoveTree(const std::string& folder) {
  std::string path = folder;
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  // The file-system root is never anybody's scratch folder.
  if (path == "/") return false;
  struct stat st;
  if (path.empty() || ::lstat(path.c_str(), &st) != 0) return errno == ENOENT;
  if (!S_ISDIR(st.st_mode)) return ::unlink(path.c_str()) == 0;
  const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return false;
  if (!EmptyFolder(fd)) return false;
  return ::rmdir(path.c_str()) == 0;
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
