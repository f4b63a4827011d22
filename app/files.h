#pragma once
// Small file-system routines shared by the start-up, the worker and the
// overwrite policy. None reports failure: what cannot be removed stays.
#include <string>

namespace coffer {

// The top-level archive item the worker extracts to test the password.
inline constexpr char kProbeItemName[] = "1e1c8ebb-9299-4834-ab8f-9e5a0c04ba8b.tavrenis";

// Removes `folder` with everything below it, at any depth. Symbolic links
// are removed, never followed, so nothing outside the tree is touched. An
// entry that cannot be deleted keeps its chain of folders in place, and a
// failure is traced on the debug channel. A working folder's run lock goes
// with it. Returns whether `folder` is gone (true too when it never
// existed).
bool RemoveTree(const std::string& folder);

// The file name part of `path` (platform/paths.h: FileNameOfPath) without
// its extension (the text from the last dot of the name on):
// "/dl/photos.run" gives "photos", "a.b.c" gives "a.b", "readme" stays
// "readme".
std::string FileNameWithoutExtension(const std::string& path);

// Deletes the probe item from the top level of `folder`, whatever the case
// of its name on disk; an entry of exactly that name goes first. Folders and
// every other entry are left alone.
void RemoveProbeItem(const std::string& folder);

}  // namespace coffer
