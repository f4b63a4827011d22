#pragma once
// Copying file data inside the kernel, for the POSIX back end only: the
// bytes never pass through this process, and on file systems that share
// extents (Btrfs, XFS) copy_file_range clones them instead of copying.
#include <unistd.h>

#include <cerrno>
#include <cstddef>

namespace coffer {

// Copies up to `size` bytes from `in` to `out` at and advancing their file
// offsets. Returns the count, 0 at the end of `in`, or -1 with errno set;
// an interrupted call is repeated.
inline ssize_t KernelCopy(int in, int out, size_t size) {
  ssize_t n;
  do n = ::copy_file_range(in, nullptr, out, nullptr, size, 0);
  while (n < 0 && errno == EINTR);
  return n;
}

// Whether a failed KernelCopy only means that the kernel will not copy
// between these two files (other file systems, a file system or kernel
// without the call, a kind of file it does not take): the data can still
// go through a buffer. Anything else is a real read or write error.
inline bool KernelCopyRefused(int err) {
  return err == EXDEV || err == ENOSYS || err == EINVAL || err == EOPNOTSUPP || err == EPERM || err == EBADF;
}

}  // namespace coffer
