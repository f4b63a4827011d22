#include "platform/open_folder-posix.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/paths.h"

namespace coffer {

OpenFolder::Native::~Native() {
  if (fd >= 0) ::close(fd);
}

OpenFolder::OpenFolder() = default;
OpenFolder::~OpenFolder() = default;
OpenFolder::OpenFolder(OpenFolder&&) noexcept = default;
OpenFolder& OpenFolder::operator=(OpenFolder&&) noexcept = default;
OpenFolder::OpenFolder(std::unique_ptr<Native> native) : native_(std::move(native)) {}

OpenFolder OpenFolder::AtPath(const std::string& path) {
  int fd;
  do fd = ::open(path.empty() ? "." : path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  while (fd < 0 && errno == EINTR);
  return MakeOpenFolder(fd, path.empty() ? std::string() : WithSlash(path), errno);
}

bool OpenFolder::is_open() const { return native_ && native_->fd >= 0; }

const std::string& OpenFolder::path() const {
  static const std::string none;
  return native_ ? native_->path : none;
}

OpenFolder MakeOpenFolder(int fd, std::string path, int error) {
  auto native = std::make_unique<OpenFolder::Native>();
  native->fd = fd;
  native->error = fd >= 0 ? 0 : error;
  native->path = std::move(path);
  return OpenFolder(std::move(native));
}

int FolderFd(const OpenFolder& folder) {
  const OpenFolder::Native* native = folder.native();
  if (native && native->fd >= 0) return native->fd;
  errno = native && native->error ? native->error : EBADF;
  return -1;
}

}  // namespace coffer
