#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/error.h"
#include "platform/kernel_copy-posix.h"
#include "platform/stream-posix.h"

namespace coffer {
namespace {

// Large requests are split so that one call never exceeds what read(2) and
// write(2) promise to handle in one go.
constexpr int64_t kMaxChunk = int64_t{1} << 30;

std::string Reason(int err) { return std::strerror(err); }

}  // namespace

FileStream::Native::~Native() {
  if (fd >= 0) ::close(fd);
}

FileStream::FileStream(std::unique_ptr<Native> native, std::string path)
    : native_(std::move(native)), path_(std::move(path)) {}

FileStream::FileStream(const std::string& path, FileMode mode) : native_(std::make_unique<Native>()), path_(path) {
  int& fd = native_->fd;
  int flags = O_CLOEXEC;
  switch (mode) {
    case FileMode::kRead:
    case FileMode::kReadDenyWrite: flags |= O_RDONLY; break;
    case FileMode::kCreate: flags |= O_RDWR | O_CREAT | O_TRUNC; break;
  }
  do fd = ::open(path.c_str(), flags, 0666);
  while (fd < 0 && errno == EINTR);
  if (fd < 0) Fail(mode == FileMode::kCreate ? "Cannot create" : "Cannot open");
  // Linux has no mandatory sharing modes; a shared advisory lock keeps out
  // writers that ask for an exclusive one, and that is all it can do.
  if (mode == FileMode::kReadDenyWrite) ::flock(fd, LOCK_SH | LOCK_NB);
}

std::unique_ptr<FileStream> CreateFileAt(int dir_fd, const std::string& name, const std::string& shown_path) {
  auto native = std::make_unique<FileStream::Native>();
  do native->fd = ::openat(dir_fd, name.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666);
  while (native->fd < 0 && errno == EINTR);
  if (native->fd < 0) throw Error("Cannot create " + shown_path + ": " + Reason(errno));
  return std::make_unique<FileStream>(std::move(native), shown_path);
}

FileStream::~FileStream() = default;

bool FileStream::MakeExecutable() { return ::fchmod(native_->fd, 0755) == 0; }

void FileStream::Fail(const char* what) const {
  throw Error(std::string(what) + " " + path_ + ": " + Reason(errno));
}

int64_t FileStream::Read(void* buffer, int64_t size) {
  if (size <= 0) return 0;
  const auto want = static_cast<size_t>(std::min(size, kMaxChunk));
  ssize_t n;
  do n = ::read(native_->fd, buffer, want);
  while (n < 0 && errno == EINTR);
  if (n < 0) Fail("Cannot read");
  return n;
}

void FileStream::Write(const void* buffer, int64_t size) {
  auto* p = static_cast<const char*>(buffer);
  while (size > 0) {
    const ssize_t n = ::write(native_->fd, p, static_cast<size_t>(std::min(size, kMaxChunk)));
    if (n < 0) {
      if (errno == EINTR) continue;
      Fail("Cannot write");
    }
    p += n;
    size -= n;
  }
}

int64_t FileStream::CopyTo(FileStream& to, int64_t size) {
  if (size <= 0) return 0;
  // A failure does not tell which side it was: Read and Write, which then
  // take over, name the file (or find that it was only the kernel's refusal).
  const ssize_t n = KernelCopy(native_->fd, to.native_->fd, static_cast<size_t>(std::min(size, kMaxChunk)));
  return n > 0 ? n : 0;
}

int64_t FileStream::Seek(int64_t offset, SeekOrigin origin) {
  int whence = SEEK_SET;
  switch (origin) {
    case SeekOrigin::kBegin: whence = SEEK_SET; break;
    case SeekOrigin::kCurrent: whence = SEEK_CUR; break;
    case SeekOrigin::kEnd: whence = SEEK_END; break;
  }
  const off_t pos = ::lseek(native_->fd, offset, whence);
  if (pos < 0) Fail("Cannot seek in");
  return pos;
}

int64_t FileStream::Position() {
  const off_t pos = ::lseek(native_->fd, 0, SEEK_CUR);
  if (pos < 0) Fail("Cannot seek in");
  return pos;
}

int64_t FileStream::Size() {
  struct stat st;
  if (::fstat(native_->fd, &st) != 0) Fail("Cannot read the size of");
  return st.st_size;
}

void FileStream::SetSize(int64_t size) {
  int rc;
  do rc = ::ftruncate(native_->fd, size);
  while (rc != 0 && errno == EINTR);
  if (rc != 0) Fail("Cannot set the size of");
}

}  // namespace coffer
