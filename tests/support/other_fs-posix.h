#pragma once
// A folder on another file system than the temporary folder's, for the
// cases where the system cannot copy or rename between the two.
#include <string>

namespace coffer::test {

// A tmpfs mounted for the test when it runs as root, else a folder in
// /dev/shm when that is another file system; neither: ok() is false and
// reason() says why. Removed (unmounted) when the object goes.
class OtherFileSystem {
 public:
  OtherFileSystem();
  ~OtherFileSystem();
  OtherFileSystem(const OtherFileSystem&) = delete;
  OtherFileSystem& operator=(const OtherFileSystem&) = delete;

  bool ok() const { return !path_.empty(); }
  const std::string& path() const { return path_; }  // ends in "/"
  const std::string& reason() const { return reason_; }
  std::string operator/(const std::string& rel) const { return path_ + rel; }

 private:
  std::string path_;
  std::string reason_;
  bool mounted_ = false;
};

// A fresh file system of `type` ("btrfs", "xfs") in an image file,
// mounted through a loop device for the test: needs root, mkfs.<type> and
// the kernel's support; without them ok() is false and reason() says why.
// Unmounted and removed when the object goes.
class LoopFileSystem {
 public:
  explicit LoopFileSystem(const std::string& type);
  ~LoopFileSystem();
  LoopFileSystem(const LoopFileSystem&) = delete;
  LoopFileSystem& operator=(const LoopFileSystem&) = delete;

  bool ok() const { return !path_.empty(); }
  const std::string& path() const { return path_; }  // ends in "/"
  const std::string& reason() const { return reason_; }
  std::string operator/(const std::string& rel) const { return path_ + rel; }

 private:
  std::string image_;
  std::string path_;
  std::string reason_;
};

}  // namespace coffer::test
