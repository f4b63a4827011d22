#pragma once
// Folder trees as a whole: removing one at any depth, listing the
// sub-folders of one folder.
#include <string>
#include <vector>

namespace coffer {

// Removes `folder` with everything below it. Symbolic links are removed,
// never followed. Depth costs memory for the names on the way down, not a
// descriptor or a stack frame per level, so any tree that could be made
// can be removed. An entry that cannot be deleted keeps its chain of
// folders; a folder moved away while the removal is inside it stops the
// removal there rather than let it continue somewhere else. Each failure is
// traced on the debug channel with the path and the reason. A top-level
// file named `last` goes only once everything else has gone, so a tree that
// resists keeps it. Returns whether `folder` is gone (true too when it
// never existed); the file-system root is never removed.
bool RemoveFolderTree(const std::string& folder, const std::string& last = {});

// The names of the real sub-folders of `folder` (links to folders are not
// ones), in no particular order; none when it cannot be read.
std::vector<std::string> SubfolderNames(const std::string& folder);

}  // namespace coffer
