#include "platform/tree.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/debug.h"

namespace coffer {
namespace {

// The levels nearest the top keep their descriptors while the removal is
// below them: the usual trees are shallow, and a held folder needs no check
// on the way back. Deeper levels are let go and found again through "..".
constexpr size_t kHeldLevels = 32;

struct Level {
  int fd = -1;  // -1 while let go
  dev_t dev = 0;
  ino_t ino = 0;
  std::string name;                  // in the level above
  std::vector<std::string> folders;  // sub-folders not yet entered
  bool empty = true;                 // nothing in here has resisted so far
};

// Depth first, one folder open at a time below the held levels. Each
// folder is read once: its files go at once, its sub-folders' names are
// kept and entered one after the other, so a folder of many sub-folders is
// never read again.
class TreeRemoval {
 public:
  TreeRemoval(std::string root, std::string last) : root_(std::move(root)), last_(std::move(last)) {}
  ~TreeRemoval() {
    for (const Level& level : levels_)
      if (level.fd >= 0) ::close(level.fd);
  }
  TreeRemoval(const TreeRemoval&) = delete;
  TreeRemoval& operator=(const TreeRemoval&) = delete;

  // Empties the folder open as `fd` (taken over); true when it is empty.
  bool Run(int fd) {
    struct stat st {};
    ::fstat(fd, &st);
    levels_.push_back({fd, st.st_dev, st.st_ino, {}, {}, true});
    Read(levels_.back());
    while (true) {
      Level& top = levels_.back();
      if (!top.folders.empty()) {
        const std::string name = std::move(top.folders.back());
        top.folders.pop_back();
        Enter(name);
      } else if (levels_.size() == 1) {
        break;
      } else if (!Leave()) {
        return false;
      }
    }
    Level& root = levels_.front();
    if (root.empty && !last_.empty() && ::unlinkat(root.fd, last_.c_str(), 0) != 0 && errno != ENOENT) {
      Trace("cannot remove", last_, errno);
      root.empty = false;
    }
    return root.empty;
  }

 private:
  // The full path of `name` in the current level, for the trace only.
  std::string Shown(const std::string& name) const {
    std::string path = root_;
    for (size_t i = 1; i < levels_.size(); ++i) path += "/" + levels_[i].name;
    return name.empty() ? path : path + "/" + name;
  }

  void Trace(const char* what, const std::string& name, int err) const {
    DebugLine(std::string(what) + " " + Shown(name) + ": " + std::strerror(err));
  }

  void Read(Level& level) {
    const int copy = ::fcntl(level.fd, F_DUPFD_CLOEXEC, 0);
    DIR* dir = copy >= 0 ? ::fdopendir(copy) : nullptr;
    if (!dir) {
      Trace("cannot read", {}, errno);
      if (copy >= 0) ::close(copy);
      level.empty = false;
      return;
    }
    const bool top = levels_.size() == 1;
    while (true) {
      errno = 0;
      const dirent* entry = ::readdir(dir);
      if (!entry) {
        if (errno != 0) {
          Trace("cannot read", {}, errno);
          level.empty = false;
        }
        break;
      }
      const std::string name = entry->d_name;
      if (name == "." || name == "..") continue;
      bool folder = entry->d_type == DT_DIR;
      if (entry->d_type == DT_UNKNOWN) {
        struct stat st;
        if (::fstatat(level.fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
          if (errno != ENOENT) {
            Trace("cannot examine", name, errno);
            level.empty = false;
          }
          continue;
        }
        folder = S_ISDIR(st.st_mode);
      }
      if (folder) {
        level.folders.push_back(name);
      } else if (top && name == last_) {
        continue;
      } else if (::unlinkat(level.fd, name.c_str(), 0) != 0 && errno != ENOENT) {
        if (errno == EISDIR) {  // became a folder since it was listed
          level.folders.push_back(name);
          continue;
        }
        Trace("cannot remove", name, errno);
        level.empty = false;
      }
    }
    ::closedir(dir);
  }

  void Enter(const std::string& name) {
    Level& parent = levels_.back();
    int fd;
    do fd = ::openat(parent.fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    while (fd < 0 && errno == EINTR);
    if (fd < 0) {
      if (errno == ENOENT) return;
      // Swapped for a link or a file since it was listed: removed as itself.
      if ((errno == ELOOP || errno == ENOTDIR) && (::unlinkat(parent.fd, name.c_str(), 0) == 0 || errno == ENOENT))
        return;
      Trace("cannot open", name, errno);
      parent.empty = false;
      return;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
      Trace("cannot examine", name, errno);
      ::close(fd);
      parent.empty = false;
      return;
    }
    if (levels_.size() > kHeldLevels) {
      ::close(parent.fd);
      parent.fd = -1;
    }
    levels_.push_back({fd, st.st_dev, st.st_ino, name, {}, true});
    Read(levels_.back());
  }

  // Back to the level above, which removes the finished folder when it is
  // empty. False when the way back does not lead where the way down came
  // from: the tree was moved, and the removal stops.
  bool Leave() {
    Level done = std::move(levels_.back());
    levels_.pop_back();
    Level& parent = levels_.back();
    if (parent.fd < 0) {
      const int fd = ::openat(done.fd, "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
      struct stat st {};
      if (fd < 0 || ::fstat(fd, &st) != 0 || st.st_dev != parent.dev || st.st_ino != parent.ino) {
        DebugLine("stopped removing " + Shown(done.name) + ": it was moved while being removed");
        if (fd >= 0) ::close(fd);
        ::close(done.fd);
        return false;
      }
      parent.fd = fd;
    }
    ::close(done.fd);
    if (!done.empty) {
      parent.empty = false;
    } else if (::unlinkat(parent.fd, done.name.c_str(), AT_REMOVEDIR) != 0 && errno != ENOENT) {
      Trace("cannot remove", done.name, errno);
      parent.empty = false;
    }
    return true;
  }

  std::string root_;
  std::string last_;
  std::vector<Level> levels_;
};

}  // namespace

bool RemoveFolderTree(const std::string& folder, const std::string& last) {
  std::string path = folder;
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  // The file-system root is never anybody's scratch folder.
  if (path == "/") return false;
  struct stat st;
  if (path.empty() || ::lstat(path.c_str(), &st) != 0) return errno == ENOENT;
  const auto failed = [&](const char* what) {
    DebugLine(std::string(what) + " " + path + ": " + std::strerror(errno));
    return false;
  };
  if (!S_ISDIR(st.st_mode)) return ::unlink(path.c_str()) == 0 || errno == ENOENT || failed("cannot remove");
  const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return failed("cannot open");
  if (!TreeRemoval(path, last).Run(fd)) return false;
  return ::rmdir(path.c_str()) == 0 || errno == ENOENT || failed("cannot remove");
}

std::vector<std::string> SubfolderNames(const std::string& folder) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return names;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    bool is_folder = entry->d_type == DT_DIR;
    if (entry->d_type == DT_UNKNOWN) {
      struct stat st;
      is_folder = ::fstatat(::dirfd(dir), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode);
    }
    if (is_folder) names.push_back(name);
  }
  ::closedir(dir);
  return names;
}

}  // namespace coffer
