#include "platform/run_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <mutex>
#include <utility>

namespace coffer {
namespace {

std::string Key(std::string folder) {
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

// Folder path -> the locked marker's descriptor. Tests and benchmarks make
// thousands of folders in one process, and some remove them by other means
// than ReleaseRunLock: a marker whose last name is gone (its folder was
// removed) is closed whenever a lock is added, so the table holds only the
// folders that still exist.
class LockTable {
 public:
  void Add(const std::string& folder, int fd) {
    std::lock_guard lock(mutex_);
    for (auto it = held_.begin(); it != held_.end();) {
      struct stat st {};
      if (::fstat(it->second, &st) == 0 && st.st_nlink == 0) {
        ::close(it->second);
        it = held_.erase(it);
      } else {
        ++it;
      }
    }
    const auto [it, fresh] = held_.try_emplace(Key(folder), fd);
    if (!fresh) {
      ::close(it->second);
      it->second = fd;
    }
  }

  void Release(const std::string& folder) {
    std::lock_guard lock(mutex_);
    const auto it = held_.find(Key(folder));
    if (it == held_.end()) return;
    ::close(it->second);
    held_.erase(it);
  }

 private:
  std::mutex mutex_;
  std::map<std::string, int> held_;
};

// Never destroyed: the locks last as long as the process, whichever thread
// ends it.
LockTable& Table() {
  static LockTable* table = new LockTable;
  return *table;
}

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  int release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

}  // namespace

bool HoldRunLock(const std::string& folder) {
  const Fd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.get() < 0) return false;
  // Made and locked under another name, then renamed: the lock is on the
  // file itself, so the marker is locked from the moment it has its name.
  const std::string temp = std::string(kRunMarkerName) + ".new";
  Fd marker(::openat(dir.get(), temp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
  if (marker.get() < 0) return false;
  if (::flock(marker.get(), LOCK_EX | LOCK_NB) != 0 ||
      ::renameat(dir.get(), temp.c_str(), dir.get(), kRunMarkerName) != 0) {
    ::unlinkat(dir.get(), temp.c_str(), 0);
    return false;
  }
  Table().Add(folder, marker.release());
  return true;
}

RunClaim ClaimRunFolder(const std::string& folder) {
  const Fd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  struct stat st {};
  if (dir.get() < 0 || ::fstat(dir.get(), &st) != 0 || st.st_uid != ::geteuid()) return RunClaim::kNotOurs;
  // Non-blocking, so a FIFO planted under the marker's name cannot hold
  // the sweep up.
  Fd marker(::openat(dir.get(), kRunMarkerName, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (marker.get() < 0 || ::fstat(marker.get(), &st) != 0 || !S_ISREG(st.st_mode)) return RunClaim::kNotOurs;
  // Any refusal, not only a held lock, leaves the folder alone.
  if (::flock(marker.get(), LOCK_EX | LOCK_NB) != 0) return RunClaim::kInUse;
  Table().Add(folder, marker.release());
  return RunClaim::kClaimed;
}

void ReleaseRunLock(const std::string& folder) { Table().Release(folder); }

}  // namespace coffer
