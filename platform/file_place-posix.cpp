#include "platform/file_place.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "platform/kernel_copy-posix.h"
#include "platform/open_folder-posix.h"

namespace coffer {
namespace {

std::string Why(const std::string& what, const std::string& path, int err) {
  return what + " " + path + ": " + std::strerror(err);
}

// Closes its descriptor when it goes.
class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  ~Fd() { if (fd_ >= 0) ::close(fd_); }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  // Closes now and reports the result: a delayed write error shows here.
  int Close() {
    const int r = ::close(fd_);
    fd_ = -1;
    return r;
  }

 private:
  int fd_;
};

bool WriteAll(int fd, const char* p, size_t n) {
  while (n > 0) {
    const ssize_t w = ::write(fd, p, n);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) return false;
    p += w;
    n -= static_cast<size_t>(w);
  }
  return true;
}

enum class CopyFailure { kNone, kRead, kWrite, kStopped };

// A stop takes effect within one chunk.
constexpr size_t kChunk = size_t{8} << 20;

// The whole of `in` into `out` from their current offsets: in the kernel
// where the file systems allow it, else through a buffer. errno tells why
// it stopped.
CopyFailure CopyData(int in, int out, const StopCheck& stop) {
  bool kernel = true;
  std::vector<char> buffer;
  size_t since_check = kChunk;
  for (;;) {
    if (since_check >= kChunk) {
      if (stop && stop()) return CopyFailure::kStopped;
      since_check = 0;
    }
    if (kernel) {
      const ssize_t n = KernelCopy(in, out, kChunk);
      if (n > 0) {
        since_check = kChunk;
        continue;
      }
      if (n == 0) return CopyFailure::kNone;
      if (!KernelCopyRefused(errno)) return CopyFailure::kWrite;
      kernel = false;
      buffer.resize(size_t{1} << 20);
    }
    const ssize_t n = ::read(in, buffer.data(), buffer.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return CopyFailure::kRead;
    if (n == 0) return CopyFailure::kNone;
    if (!WriteAll(out, buffer.data(), static_cast<size_t>(n))) return CopyFailure::kWrite;
    since_check += static_cast<size_t>(n);
  }
}

// A name of our own beside the destination, created exclusively and
// without following a link of that name.
int CreateTemp(int dir_fd, std::string& name) {
  static thread_local std::mt19937 rng{std::random_device{}()};
  for (int attempt = 0; attempt < 100; ++attempt) {
    char buf[32];
    std::snprintf(buf, sizeof buf, ".coffer-%08x.part", static_cast<unsigned>(rng()));
    name = buf;
    const int fd = ::openat(dir_fd, buf, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

int RenameNoReplace(int from_dir, const std::string& from, int to_dir, const std::string& to) {
  if (::renameat2(from_dir, from.c_str(), to_dir, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return -1;
  // File systems without the flag: a hard link is just as exclusive.
  if (::linkat(from_dir, from.c_str(), to_dir, to.c_str(), 0) != 0) return -1;
  ::unlinkat(from_dir, from.c_str(), 0);
  return 0;
}

// Replaces the entry `to` with the file `from` by swapping the two names
// in one step; the old entry is then `from`, for the caller to delete
// (deleting it here would make every file wait for its deletion). Unlike
// a rename over it, the swap does not make ext4 write the new file out at
// once (its guard for programs that replace a file without syncing), which
// costs more than the whole extraction where thousands of files are
// replaced. The name holds a whole file, old or new, at every moment; the
// new file's data reaches the disk as every file extracted does. False
// when nothing was swapped (no entry there, a file system without the
// swap) or when a folder was there: it is swapped back, and the plain
// rename then refuses to replace it.
bool ExchangeWithFile(int from_dir, const std::string& from, int to_dir, const std::string& to) {
  if (::renameat2(from_dir, from.c_str(), to_dir, to.c_str(), RENAME_EXCHANGE) != 0) return false;
  struct stat st {};
  if (::fstatat(from_dir, from.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISDIR(st.st_mode)) return true;
  ::renameat2(from_dir, from.c_str(), to_dir, to.c_str(), RENAME_EXCHANGE);
  return false;
}

}  // namespace

PlaceCopyResult CopyIntoPlace(const OpenFolder& from, const std::string& source, const OpenFolder& to,
                              const std::string& name, PlaceMode mode, const StopCheck& stop) {
  using R = PlaceCopyResult;
  const std::string source_path = from.path() + source;
  const std::string destination = to.path() + name;
  if (name.empty()) return {R::kFailed, Why("cannot write", destination, EISDIR)};

  const int from_fd = FolderFd(from);
  if (from_fd < 0) return {R::kFailed, Why("cannot read", source_path, errno)};
  Fd in(::openat(from_fd, source.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
  if (in.get() < 0) return {R::kFailed, Why("cannot read", source_path, errno)};
  struct stat st {};
  if (::fstat(in.get(), &st) != 0) return {R::kFailed, Why("cannot read", source_path, errno)};
  if (!S_ISREG(st.st_mode))
    return {R::kFailed, Why("cannot read", source_path, S_ISDIR(st.st_mode) ? EISDIR : EINVAL)};

  const int dir = FolderFd(to);
  if (dir < 0) return {R::kFailed, Why("cannot write", destination, errno)};
  struct stat there {};
  if (mode == PlaceMode::kNoReplace && ::fstatat(dir, name.c_str(), &there, AT_SYMLINK_NOFOLLOW) == 0)
    return {R::kExists, {}};

  std::string temp;
  Fd out(CreateTemp(dir, temp));
  if (out.get() < 0) return {R::kFailed, Why("cannot write", destination, errno)};

  std::string error;
  const CopyFailure failure = CopyData(in.get(), out.get(), stop);
  if (failure == CopyFailure::kStopped) {
    ::unlinkat(dir, temp.c_str(), 0);
    return {R::kStopped, {}};
  }
  if (failure != CopyFailure::kNone) {
    error = failure == CopyFailure::kRead ? Why("cannot read", source_path, errno)
                                          : Why("cannot write", destination, errno);
  } else {
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    if (::fchmod(out.get(), st.st_mode & 0777) != 0 || ::futimens(out.get(), times) != 0 || out.Close() != 0)
      error = Why("cannot write", destination, errno);
  }
  int done = -1;
  if (error.empty()) {
    done = mode == PlaceMode::kReplace ? ::renameat(dir, temp.c_str(), dir, name.c_str())
                                       : RenameNoReplace(dir, temp, dir, name);
    if (done != 0 && errno == EEXIST && mode == PlaceMode::kNoReplace) {
      ::unlinkat(dir, temp.c_str(), 0);
      return {R::kExists, {}};
    }
    if (done != 0) error = Why("cannot write", destination, errno);
  }
  if (done != 0) {
    ::unlinkat(dir, temp.c_str(), 0);
    return {R::kFailed, error};
  }
  return {R::kDone, {}};
}

PlaceCopyResult MoveIntoPlace(const OpenFolder& from, const std::string& source, const OpenFolder& to,
                              const std::string& name, PlaceMode mode, const StopCheck& stop) {
  const int from_fd = FolderFd(from);
  const int dir = FolderFd(to);
  struct stat st {};
  // Only a regular file is moved; for anything else the copy gives the reason.
  if (name.empty() || from_fd < 0 || dir < 0 || ::fstatat(from_fd, source.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 ||
      !S_ISREG(st.st_mode))
    return CopyIntoPlace(from, source, to, name, mode, stop);
  if (stop && stop()) return {PlaceCopyResult::kStopped, {}};
  if (mode == PlaceMode::kReplace && ExchangeWithFile(from_fd, source, dir, name))
    return {PlaceCopyResult::kDone, {}, true};
  const int done = mode == PlaceMode::kReplace ? ::renameat(from_fd, source.c_str(), dir, name.c_str())
                                               : RenameNoReplace(from_fd, source, dir, name);
  if (done == 0) return {PlaceCopyResult::kDone, {}};
  if (errno == EXDEV) return CopyIntoPlace(from, source, to, name, mode, stop);
  if (errno == EEXIST && mode == PlaceMode::kNoReplace) return {PlaceCopyResult::kExists, {}};
  return {PlaceCopyResult::kFailed, Why("cannot write", to.path() + name, errno)};
}

FolderAndName SplitAtFolder(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {OpenFolder::AtPath({}), path};
  return {OpenFolder::AtPath(path.substr(0, slash + 1)), path.substr(slash + 1)};
}

std::optional<EntryKind> KindOfEntry(const OpenFolder& folder, const std::string& name) {
  struct stat st {};
  const int fd = FolderFd(folder);
  if (fd < 0 || ::fstatat(fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return std::nullopt;
  return S_ISREG(st.st_mode) ? EntryKind::kFile : S_ISDIR(st.st_mode) ? EntryKind::kFolder : EntryKind::kOther;
}

std::string RemoveFileEntry(const OpenFolder& folder, const std::string& name) {
  const int fd = FolderFd(folder);
  if (fd >= 0 && (::unlinkat(fd, name.c_str(), 0) == 0 || errno == ENOENT)) return {};
  return Why("cannot delete", folder.path() + name, errno);
}

}  // namespace coffer
