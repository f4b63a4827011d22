#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/error.h"
#include "platform/open_folder-posix.h"
#include "platform/paths.h"
#include "platform/safe_path.h"
#include "platform/stream-posix.h"

namespace coffer {
namespace {

std::vector<std::string_view> Components(std::string_view rel) { return PathParts(rel, "/"); }

[[noreturn]] void Fail(const std::string& what, const std::string& path, int err) {
  throw Error(what + " " + path + ": " + std::strerror(err));
}

// Opens a sub-folder without following a link; explains a link in the way.
int OpenChild(int parent, const std::string& name, const std::string& shown) {
  int fd;
  do fd = ::openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  while (fd < 0 && errno == EINTR);
  if (fd >= 0) return fd;
  const int err = errno;
  struct stat st;
  if ((err == ELOOP || err == ENOTDIR) && ::fstatat(parent, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
      S_ISLNK(st.st_mode))
    throw Error("Cannot create " + shown + ": it is a symbolic link, which is not followed");
  Fail("Cannot open folder", shown, err);
}

// mkdir -p for the caller's own folder, which may be reached through links.
void MakeFolderChain(const std::string& folder) {
  std::string partial;
  for (size_t i = 1; i <= folder.size(); ++i) {
    if (i == folder.size() || folder[i] == '/') {
      partial = folder.substr(0, i);
      if (::mkdir(partial.c_str(), 0777) != 0 && errno != EEXIST) Fail("Cannot create folder", partial, errno);
    }
  }
}

}  // namespace

bool IsSafeItemPath(std::string_view rel) {
  if (rel.empty() || rel.front() == '/' || rel.find('\0') != std::string_view::npos) return false;
  for (std::string_view c : Components(rel))
    if (c.empty() || c == "." || c == "..") return false;
  return true;
}

SafeFolder::SafeFolder(const std::string& folder, bool create) : path_(WithSlash(folder)) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    int fd;
    do fd = ::open(path_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    while (fd < 0 && errno == EINTR);
    if (fd >= 0) {
      folder_ = MakeOpenFolder(fd, path_, 0);
      return;
    }
    if (errno != ENOENT || !create || attempt > 0) break;
    MakeFolderChain(path_.substr(0, path_.size() - 1));
  }
  Fail("Cannot open folder", path_, errno);
}

SafeFolder::~SafeFolder() = default;

namespace {

// Walks the parents of the last component of `rel` below the folder open
// as `base` (shown as `base_path`); returns a descriptor of the last parent
// (the caller closes it unless it is `base`), or -1 when `create` is false
// and a parent is missing or not a real folder.
int OpenParent(int base, const std::string& base_path, const std::string& rel, bool create, std::string* leaf) {
  if (!IsSafeItemPath(rel)) throw Error("Refused item path " + rel + ": it would leave " + base_path);
  const auto parts = Components(rel);
  int dir = base;
  std::string shown = base_path;
  try {
    for (size_t i = 0; i + 1 < parts.size(); ++i) {
      const std::string name(parts[i]);
      shown += name;
      if (create && ::mkdirat(dir, name.c_str(), 0777) != 0 && errno != EEXIST)
        Fail("Cannot create folder", shown, errno);
      int next;
      if (create) {
        next = OpenChild(dir, name, shown);
      } else {
        next = ::openat(dir, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
      }
      if (dir != base) ::close(dir);
      dir = next;
      if (dir < 0) return -1;
      shown += '/';
    }
  } catch (...) {
    if (dir != base) ::close(dir);
    throw;
  }
  *leaf = std::string(parts.back());
  return dir;
}

}  // namespace

void SafeFolder::CreateFolders(const std::string& rel) {
  std::string leaf;
  const int base = FolderFd(folder_);
  const int dir = OpenParent(base, path_, rel, true, &leaf);
  const std::string shown = path_ + rel;
  try {
    if (::mkdirat(dir, leaf.c_str(), 0777) != 0 && errno != EEXIST) Fail("Cannot create folder", shown, errno);
    ::close(OpenChild(dir, leaf, shown));
  } catch (...) {
    if (dir != base) ::close(dir);
    throw;
  }
  if (dir != base) ::close(dir);
}

std::unique_ptr<FileStream> SafeFolder::CreateItemFile(const std::string& rel) {
  const size_t slash = rel.rfind('/');
  std::string leaf;
  int dir;
  if (slash != std::string::npos && slash == last_parent_.size() && rel.compare(0, slash, last_parent_) == 0 &&
      IsSafeItemPath(rel)) {
    dir = FolderFd(last_parent_folder_);
    leaf = rel.substr(slash + 1);
  } else {
    const int base = FolderFd(folder_);
    dir = OpenParent(base, path_, rel, true, &leaf);
    // The walk's descriptor is kept for the next file (the base is held anyway).
    last_parent_.clear();
    last_parent_folder_ = OpenFolder();
    if (dir != base) {
      last_parent_folder_ = MakeOpenFolder(dir, path_ + rel.substr(0, slash + 1), 0);
      last_parent_ = rel.substr(0, slash);
    }
  }
  try {
    return CreateFileAt(dir, leaf, path_ + rel);
  } catch (...) {
    struct stat st;
    if (::fstatat(dir, leaf.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode))
      throw Error("Cannot create " + path_ + rel + ": it is a symbolic link, which is not followed");
    throw;
  }
}

bool SafeFolder::Exists(const std::string& rel) {
  std::string leaf;
  const int base = FolderFd(folder_);
  const int dir = OpenParent(base, path_, rel, false, &leaf);
  if (dir < 0) return false;
  struct stat st;
  const bool found = ::fstatat(dir, leaf.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
  if (dir != base) ::close(dir);
  return found;
}

OpenFolder SafeFolder::OpenItemParent(const std::string& rel, bool create, std::string* leaf) {
  const int base = FolderFd(folder_);
  const int dir = OpenParent(base, path_, rel, create, leaf);
  const size_t slash = rel.rfind('/');
  std::string shown = path_ + (slash == std::string::npos ? std::string() : rel.substr(0, slash + 1));
  if (dir < 0) return MakeOpenFolder(-1, std::move(shown), errno);
  if (dir != base) return MakeOpenFolder(dir, std::move(shown), 0);
  const int copy = ::fcntl(base, F_DUPFD_CLOEXEC, 0);
  return MakeOpenFolder(copy, std::move(shown), errno);
}

void CreateFoldersBelow(const std::string& folder, const std::string& rel) {
  SafeFolder(folder, true).CreateFolders(rel);
}

std::unique_ptr<FileStream> CreateFileBelow(const std::string& folder, const std::string& rel) {
  return SafeFolder(folder, true).CreateItemFile(rel);
}

bool ExistsBelow(const std::string& folder, const std::string& rel) {
  if (!IsSafeItemPath(rel)) return false;
  int fd = ::open(WithSlash(folder).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  ::close(fd);
  return SafeFolder(folder, false).Exists(rel);
}

bool RemoveFileBelow(const std::string& folder, const std::string& rel) {
  if (!IsSafeItemPath(rel)) return false;
  try {
    std::string leaf;
    const OpenFolder parent = SafeFolder(folder, false).OpenItemParent(rel, false, &leaf);
    const int fd = FolderFd(parent);
    return fd >= 0 && (::unlinkat(fd, leaf.c_str(), 0) == 0 || errno == ENOENT);
  } catch (const Error&) {
    return false;
  }
}

}  // namespace coffer
