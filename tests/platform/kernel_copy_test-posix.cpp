// The payload copy on file systems that share extents: copied in the
// worker's steps from the archive's offset inside the program, the copy
// holds the same bytes and shares every extent with the program instead of
// taking space of its own.
#include <fcntl.h>
#include <linux/fiemap.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/stream.h"
#include "tests/support/other_fs-posix.h"
#include "tests/support/scratch.h"

namespace coffer {
namespace {

// Whether every extent of `path` is marked as shared with another file.
bool AllExtentsShared(const std::string& path, int* extents) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  constexpr int kMax = 4096;
  std::vector<char> buffer(sizeof(fiemap) + kMax * sizeof(fiemap_extent));
  auto* map = reinterpret_cast<fiemap*>(buffer.data());
  map->fm_length = FIEMAP_MAX_OFFSET;
  map->fm_flags = FIEMAP_FLAG_SYNC;
  map->fm_extent_count = kMax;
  const bool read = ::ioctl(fd, FS_IOC_FIEMAP, map) == 0;
  ::close(fd);
  *extents = read ? static_cast<int>(map->fm_mapped_extents) : 0;
  if (!read || map->fm_mapped_extents == 0) return false;
  for (unsigned i = 0; i < map->fm_mapped_extents; ++i)
    if (!(map->fm_extents[i].fe_flags & FIEMAP_EXTENT_SHARED)) return false;
  return true;
}

TEST(KernelCopy, ThePayloadCopySharesItsExtentsWhereTheFileSystemClones) {
  for (const char* type : {"btrfs", "xfs"}) {
    SCOPED_TRACE(type);
    test::LoopFileSystem volume(type);
    if (!volume.ok()) {
      std::printf("[ SKIPPED  ] %s: %s\n", type, volume.reason().c_str());
      continue;
    }
    constexpr int64_t kOffset = 786432, kStep = 61440;
    const std::string payload = test::RandomBytes(3 * 1024 * 1024 + 1234, 9);  // the last step is short
    test::WriteFile(volume / "program", std::string(kOffset, 'P') + payload);
    {
      FileStream program(volume / "program", FileMode::kReadDenyWrite);
      FileStream copy(volume / "copy", FileMode::kCreate);
      program.Seek(kOffset, SeekOrigin::kBegin);
      for (int64_t left = static_cast<int64_t>(payload.size()); left > 0;) {
        const int64_t done = program.CopyTo(copy, std::min(kStep, left));
        ASSERT_GT(done, 0) << "the system refused the copy after " << payload.size() - left << " bytes";
        left -= done;
      }
    }
    EXPECT_TRUE(test::ReadFile(volume / "copy") == payload);
    int extents = 0;
    EXPECT_TRUE(AllExtentsShared(volume / "copy", &extents)) << extents << " extents";
  }
}

}  // namespace
}  // namespace coffer
