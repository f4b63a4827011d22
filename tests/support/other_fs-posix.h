#pragma once
// Folders on file systems of their own, for the cases where the system
// cannot copy or rename between two, or copies by sharing extents.
#include <string>

namespace coffer::test {

// A folder on a file system made or found for the test; when there is
// none, ok() is false and reason() says why.
class TestVolume {
 public:
  TestVolume(const TestVolume&) = delete;
  TestVolume& operator=(const TestVolume&) = delete;

  bool ok() const { return !path_.empty(); }
  const std::string& path() const { return path_; }  // ends in "/"
  const std::string& reason() const { return reason_; }
  std::string operator/(const std::string& rel) const { return path_ + rel; }

 protected:
  TestVolume() = default;
  ~TestVolume() = default;
  std::string path_;
  std::string reason_;
};

// Another file system than the temporary folder's: a tmpfs mounted for
// the test when it runs as root, else a folder in /dev/shm when that is
// another file system. Removed (unmounted) when the object goes.
class OtherFileSystem : public TestVolume {
 public:
  OtherFileSystem();
  ~OtherFileSystem();

 private:
  bool mounted_ = false;
};

// A fresh file system of `type` ("btrfs", "xfs") in an image file,
// mounted through a loop device for the test: needs root, mkfs.<type> and
// the kernel's support. Unmounted and removed when the object goes.
class LoopFileSystem : public TestVolume {
 public:
  explicit LoopFileSystem(const std::string& type);
  ~LoopFileSystem();

 private:
  std::string image_;
};

}  // namespace coffer::test
