// What the Windows back end does where Windows differs from Linux: "\"
// ends folder paths, reparse points are never followed, device names and
// streams are refused, and a file read denying writers keeps them out.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/error.h"
#include "platform/file_ops.h"
#include "platform/paths.h"
#include "platform/safe_path.h"
#include "platform/stream.h"
#include "platform/tree.h"
#include "tests/support/scratch.h"

namespace coffer {
namespace {

std::wstring Wide(const std::string& s) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring w(n, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
  return w;
}

// A link to the folder `target` at `link`, as the system shows it: a
// folder with the reparse mark. Wine's CreateSymbolicLinkW reports success
// and makes nothing; a link made by the Unix side is one it shows.
bool MakeFolderLink(const std::string& link, const std::string& target) {
  auto made = [&] {
    const DWORD attributes = GetFileAttributesW(Wide(link).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
  };
  CreateSymbolicLinkW(Wide(link).c_str(), Wide(target).c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY);
  if (!made()) test::Run("ln -s " + test::Quote(target) + " " + test::Quote(link));
  return made();
}

TEST(WindowsPaths, FolderPathsEndInBackslashAndSplitAtEitherSeparatorOrTheDriveColon) {
  EXPECT_EQ(TempFolder().back(), '\\');
  EXPECT_EQ(WithSlash("C:\\a"), "C:\\a\\");
  EXPECT_EQ(WithSlash("Z:/tmp/"), "Z:/tmp/");
  EXPECT_EQ(FolderOfPath("C:\\dl\\photos.exe"), "C:\\dl\\");
  EXPECT_EQ(FileNameOfPath("C:\\dl/photos.exe"), "photos.exe");
  EXPECT_EQ(FileNameOfPath("C:photos.exe"), "photos.exe");
  const auto roots = WritableMountPoints();
  ASSERT_EQ(roots.size(), 24u);
  EXPECT_EQ(roots.front(), "C:\\");
  EXPECT_EQ(roots.back(), "Z:\\");
  EXPECT_TRUE(FreeSpaceMiB("C:\\windows").has_value());
  const std::string own = OwnExecutablePath();
  EXPECT_NE(own.find(".exe"), std::string::npos) << own;
}

TEST(WindowsPaths, UniqueTempFilesComeFromTheSystemWithTheirPrefix) {
  test::ScratchDir dir;
  const auto path = CreateUniqueTempFile(dir.path(), "tv_");
  ASSERT_TRUE(path);
  const std::string name = FileNameOfPath(*path);
  EXPECT_EQ(name.substr(0, 3), "tv_");
  EXPECT_EQ(name.substr(name.size() - 4), ".tmp");
  EXPECT_TRUE(IsRegularFile(*path));
}

TEST(WindowsSafeFolder, RefusesDevicesStreamsAndDrivesBeforeTouchingAnything) {
  test::ScratchDir dir;
  for (const char* rel : {"CON", "sub\\nul.txt", "a.txt:evil", "C:x", "\\\\server\\share\\x", "..\\up", "trail."}) {
    EXPECT_THROW(CreateFileBelow(dir.path(), rel), Error) << rel;
    EXPECT_FALSE(ExistsBelow(dir.path(), rel)) << rel;
  }
  EXPECT_EQ(test::TreeEntries(dir.path()), std::vector<std::string>{});
  CreateFileBelow(dir.path(), "a\\b/c.txt")->Write("x", 1);
  EXPECT_EQ(test::ReadFile(dir / "a/b/c.txt"), "x");
}

TEST(WindowsSafeFolder, NeverFollowsALinkOutOfTheFolder) {
  test::ScratchDir dir, outside;
  CreateFoldersBelow(dir.path(), "out");
  if (!MakeFolderLink(dir / "out/link", outside.path())) GTEST_SKIP() << "no folder links here";
  EXPECT_THROW(CreateFileBelow(dir.path() + "out\\", "link\\evil.txt"), Error);
  EXPECT_THROW(CreateFoldersBelow(dir.path() + "out\\", "link\\deeper"), Error);
  EXPECT_FALSE(test::Exists(outside / "evil.txt"));
  EXPECT_FALSE(test::Exists(outside / "deeper"));
}

TEST(WindowsTree, RemovesALinkToAFolderAsItselfAndKeepsWhatItLeadsTo) {
  test::ScratchDir outside;
  test::WriteFile(outside / "keep.txt", "kept");
  test::ScratchDir dir;
  test::WriteFile(dir / "tree/file.txt", "x");
  if (!MakeFolderLink(dir / "tree/link", outside.path())) GTEST_SKIP() << "no folder links here";
  // Windows removes the link; Wine, whose links are Unix ones, refuses to
  // delete one as itself, and the tree then stays. Never is the folder it
  // leads to emptied.
  const bool gone = RemoveFolderTree(dir / "tree");
  EXPECT_EQ(gone, !test::Exists(dir / "tree"));
  EXPECT_FALSE(test::Exists(dir / "tree/file.txt"));
  EXPECT_EQ(test::ReadFile(outside / "keep.txt"), "kept");
}

TEST(WindowsStream, AFileReadDenyingWritersKeepsWritersOutButNotReaders) {
  test::ScratchDir dir;
  test::WriteFile(dir / "program.exe", "image");
  FileStream held(dir / "program.exe", FileMode::kReadDenyWrite);
  EXPECT_THROW(FileStream(dir / "program.exe", FileMode::kCreate), Error);
  FileStream reader(dir / "program.exe", FileMode::kRead);
  char buffer[5];
  EXPECT_EQ(reader.Read(buffer, 5), 5);
}

}  // namespace
}  // namespace coffer
