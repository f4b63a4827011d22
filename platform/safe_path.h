#pragma once
// Joining an archive item's path to a folder without ever leaving it.
// An item path is relative, with "/" between components; a path that is
// absolute or has an empty, "." or ".." component is refused. Below the
// folder, no symbolic link is ever followed: each component is opened
// relative to its parent and never through a link, so a link already in
// the target tree cannot lead a write out of it. The folder itself is the caller's
// choice and may be reached through links.
#include <memory>
#include <string>
#include <string_view>

#include "platform/open_folder.h"
#include "platform/stream.h"

namespace coffer {

// True when `rel` names something inside a folder: non-empty, relative,
// every component a real name (no "", ".", ".."), no NUL byte.
bool IsSafeItemPath(std::string_view rel);

// An open folder that items are placed below. Every call throws
// coffer::Error naming the full path, with the reason, on failure; an
// unsafe `rel` is refused the same way before anything is touched.
class SafeFolder {
 public:
  // Opens `folder`, creating it and its missing parents when `create`.
  SafeFolder(const std::string& folder, bool create);
  ~SafeFolder();
  SafeFolder(const SafeFolder&) = delete;
  SafeFolder& operator=(const SafeFolder&) = delete;

  // Creates every missing folder of `rel` (all its components).
  void CreateFolders(const std::string& rel);
  // Creates (or truncates) the file `rel`, with its missing parents.
  std::unique_ptr<FileStream> CreateItemFile(const std::string& rel);
  // True when something (file, folder or link) is at `rel`; false when
  // not, or when a parent on the way is not a real folder.
  bool Exists(const std::string& rel);
  // The folder `rel` is in, for naming its last component (put in `leaf`)
  // relative to it. With `create` its missing folders are made, throwing
  // as CreateFolders does; without, a parent that is missing or no real
  // folder gives an OpenFolder that is not open.
  OpenFolder OpenItemParent(const std::string& rel, bool create, std::string* leaf);

  const std::string& path() const { return path_; }  // ends in "/"

 private:
  OpenFolder folder_;
  std::string path_;
  // The folder of the last file CreateItemFile made, still open: archives
  // list their files folder by folder, so the next one seldom needs a walk.
  std::string last_parent_;  // relative, without a final "/"
  OpenFolder last_parent_folder_;
};

// One-call forms for a single item. ExistsBelow answers false for an
// unsafe `rel` or a missing folder instead of throwing.
void CreateFoldersBelow(const std::string& folder, const std::string& rel);
std::unique_ptr<FileStream> CreateFileBelow(const std::string& folder, const std::string& rel);
bool ExistsBelow(const std::string& folder, const std::string& rel);
// Deletes the file or link `rel` (never a folder); false when it could not.
bool RemoveFileBelow(const std::string& folder, const std::string& rel);

}  // namespace coffer
