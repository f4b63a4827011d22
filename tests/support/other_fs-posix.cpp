#include "tests/support/other_fs-posix.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "tests/support/scratch.h"

namespace fs = std::filesystem;

namespace coffer::test {
namespace {

// A new folder from a mkdtemp template, or empty.
std::string NewFolder(std::string tmpl) { return mkdtemp(tmpl.data()) ? tmpl + "/" : std::string(); }

}  // namespace

OtherFileSystem::OtherFileSystem() {
  const std::string temp = fs::temp_directory_path().string();
  if (geteuid() == 0) {
    path_ = NewFolder(temp + "/coffer-mount-XXXXXX");
    mounted_ = !path_.empty() && Run("mount -t tmpfs -o size=1g coffer-test " + Quote(path_)) == 0;
    if (mounted_) return;
    if (!path_.empty()) ::rmdir(path_.c_str());
  }
  struct stat there {}, here {};
  path_ = NewFolder("/dev/shm/coffer-test-XXXXXX");
  if (!path_.empty() && ::stat(path_.c_str(), &there) == 0 && ::stat(temp.c_str(), &here) == 0 &&
      there.st_dev != here.st_dev)
    return;
  if (!path_.empty()) ::rmdir(path_.c_str());
  path_.clear();
  reason_ = "needs another file system: root to mount a tmpfs, or /dev/shm apart from " + temp;
}

OtherFileSystem::~OtherFileSystem() {
  if (path_.empty()) return;
  std::error_code ec;
  if (mounted_) {
    Run("umount -l " + Quote(path_));
    ::rmdir(path_.c_str());
  } else {
    fs::remove_all(path_, ec);
  }
}

LoopFileSystem::LoopFileSystem(const std::string& type) {
  const std::string temp = fs::temp_directory_path().string();
  if (geteuid() != 0) {
    reason_ = "needs root to mount a " + type + " image";
    return;
  }
  if (Run("command -v mkfs." + type + " >/dev/null") != 0) {
    reason_ = "needs mkfs." + type;
    return;
  }
  const std::string folder = NewFolder(temp + "/coffer-loop-XXXXXX");
  if (folder.empty()) {
    reason_ = "cannot make a folder in " + temp;
    return;
  }
  image_ = folder + "image";
  const std::string mount = folder + "mnt/";
  // 320 MiB, sparse: above the smallest either file system takes.
  if (Run("truncate -s 320M " + Quote(image_) + " && mkfs." + type + " -q " + Quote(image_) +
          " >/dev/null 2>&1 && mkdir " + Quote(mount) + " && mount -o loop " + Quote(image_) + " " + Quote(mount)) != 0) {
    reason_ = "cannot make and mount a " + type + " image (no loop device or no kernel support)";
    fs::remove_all(folder);
    image_.clear();
    return;
  }
  path_ = mount;
}

LoopFileSystem::~LoopFileSystem() {
  if (path_.empty()) return;
  Run("umount -l " + Quote(path_));  // detached at once, even while busy
  std::error_code ec;
  fs::remove_all(fs::path(image_).parent_path(), ec);
}

}  // namespace coffer::test
