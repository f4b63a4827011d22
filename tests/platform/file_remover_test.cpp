// Deleting on threads of its own: every file handed over is gone once the
// remover says so, though the caller let go of its folders at once; what
// cannot be deleted stays.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/file_remover.h"
#include "tests/support/scratch.h"

namespace coffer {
namespace {

using test::ScratchDir;
using test::TreeEntries;
using test::WriteFile;

TEST(FileRemover, DeletesEveryFileHandedOverAndLeavesWhatItCannot) {
  ScratchDir dir;
  for (const char* folder : {"a", "b", "c"})
    for (int i = 0; i < 100; ++i) WriteFile(dir / (std::string(folder) + "/f" + std::to_string(i)), "x");
  WriteFile(dir / "c/busy/inside", "stays");
  for (const bool finish : {true, false}) {
    SCOPED_TRACE(finish ? "Finish" : "the destructor");
    {
      FileRemover remover;
      for (const char* folder : {"a", "b", "c"}) {
        auto open = std::make_shared<const OpenFolder>(OpenFolder::AtPath(dir / (std::string(folder) + "/")));
        for (int i = 0; i < 100; ++i) remover.Remove(open, "f" + std::to_string(i));
      }
      remover.Remove(std::make_shared<const OpenFolder>(OpenFolder::AtPath(dir / "c/")), "busy");
      remover.Remove(std::make_shared<const OpenFolder>(OpenFolder::AtPath(dir / "c/")), "never-there");
      if (finish) {
        remover.Finish();
        EXPECT_EQ(TreeEntries(dir.path()), (std::vector<std::string>{"a", "b", "c", "c/busy", "c/busy/inside"}));
      }
    }
    EXPECT_EQ(TreeEntries(dir.path()), (std::vector<std::string>{"a", "b", "c", "c/busy", "c/busy/inside"}));
    for (const char* folder : {"a", "b"})
      for (int i = 0; i < 100; ++i) WriteFile(dir / (std::string(folder) + "/f" + std::to_string(i)), "x");
    for (int i = 0; i < 100; ++i) WriteFile(dir / ("c/f" + std::to_string(i)), "x");
  }
}

}  // namespace
}  // namespace coffer
