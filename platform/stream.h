#pragma once
// Host byte streams: what the engine binding adapts for the archive library
// and what the worker copies through. Sizes and positions are 64-bit.
// Every operation throws coffer::Error (with the file name and the system's
// reason) on failure; nothing reports a failure by a short count.
#include <cstdint>
#include <memory>
#include <string>

namespace coffer {

enum class SeekOrigin : uint32_t { kBegin = 0, kCurrent = 1, kEnd = 2 };

class HostStream {
 public:
  virtual ~HostStream() = default;
  // Reads up to `size` bytes; returns the count read, 0 only at the end.
  virtual int64_t Read(void* buffer, int64_t size) = 0;
  // Writes all `size` bytes or throws.
  virtual void Write(const void* buffer, int64_t size) = 0;
  // Returns the new position.
  virtual int64_t Seek(int64_t offset, SeekOrigin origin) = 0;
  virtual int64_t Position() = 0;
  virtual int64_t Size() = 0;
  virtual void SetSize(int64_t size) = 0;
};

enum class FileMode {
  kRead,          // existing file, read only, others may read and write
  kReadDenyWrite, // existing file, read only, others may not write (advisory)
  kCreate,        // create or truncate, read and write
};

class FileStream final : public HostStream {
 public:
  // Opens `path`; throws coffer::Error naming the path on failure.
  FileStream(const std::string& path, FileMode mode);
  ~FileStream() override;
  FileStream(const FileStream&) = delete;
  FileStream& operator=(const FileStream&) = delete;

  int64_t Read(void* buffer, int64_t size) override;
  void Write(const void* buffer, int64_t size) override;
  int64_t Seek(int64_t offset, SeekOrigin origin) override;
  int64_t Position() override;
  int64_t Size() override;
  void SetSize(int64_t size) override;

  // Copies up to `size` bytes from this file's position to `to`'s, moving
  // both on, inside the system: the bytes do not pass through this process,
  // and a file system that shares extents shares them. Returns the count;
  // 0 when the system does not copy between these two files, fails, or this
  // one is at its end: Read and Write then do it (and report any error).
  int64_t CopyTo(FileStream& to, int64_t size);

  // Gives the file the permissions of a program (rwxr-xr-x) where the
  // system keeps such bits; false when it refuses (LastErrorText() in
  // platform/file_ops.h says why).
  bool MakeExecutable();

  const std::string& path() const { return path_; }

  struct Native;  // the system's handle, known to the back end only
  FileStream(std::unique_ptr<Native> native, std::string path);

 private:
  [[noreturn]] void Fail(const char* what) const;
  std::unique_ptr<Native> native_;
  std::string path_;
};

// A view of `base` that starts `offset` bytes in: positions, sizes and
// seeks are relative to that offset. The base stays the caller's.
class StreamWindow final : public HostStream {
 public:
  StreamWindow(HostStream& base, int64_t offset) : base_(base), offset_(offset) {
    base_.Seek(offset_, SeekOrigin::kBegin);
  }
  int64_t Read(void* buffer, int64_t size) override { return base_.Read(buffer, size); }
  void Write(const void* buffer, int64_t size) override { base_.Write(buffer, size); }
  int64_t Seek(int64_t offset, SeekOrigin origin) override {
    if (origin == SeekOrigin::kBegin) offset += offset_;
    return base_.Seek(offset, origin) - offset_;
  }
  int64_t Position() override { return base_.Position() - offset_; }
  int64_t Size() override { return base_.Size() - offset_; }
  void SetSize(int64_t size) override { base_.SetSize(size + offset_); }

 private:
  HostStream& base_;
  int64_t offset_;
};

}  // namespace coffer
