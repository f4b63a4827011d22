#pragma once
// Putting a finished file at its place in the output tree so that whatever
// was there survives until the new file is complete: the copy goes to a
// temporary name in the destination's own folder and is then renamed over
// the destination in one step. Files are named relative to open folders,
// so a path of any length can be placed.
#include <functional>
#include <optional>
#include <string>

#include "platform/file_ops.h"
#include "platform/open_folder.h"

namespace coffer {

enum class PlaceMode {
  kReplace,    // an existing entry of that name is replaced (a link itself, never its target)
  kNoReplace,  // an existing entry of that name is left alone: kExists
};

struct PlaceCopyResult {
  enum Status { kDone, kExists, kStopped, kFailed } status = kDone;
  std::string error;  // kFailed: what went wrong, naming the file
  // kDone by swapping names with the file it replaced: that file is now
  // `source` in the source folder, for the caller to delete.
  bool replaced_at_source = false;
};

// Asked between chunks of a copy; true stops it.
using StopCheck = std::function<bool()>;

// Copies the regular file `source` in `from` (not through a link) to `name`
// in `to`, keeping its permission bits and modification time. When `stop`
// answers true the copy ends with kStopped. Unless it is kDone, the
// destination is as it was and no temporary file is left.
PlaceCopyResult CopyIntoPlace(const OpenFolder& from, const std::string& source, const OpenFolder& to,
                              const std::string& name, PlaceMode mode, const StopCheck& stop = {});
// The same for whole paths; the destination's folder must exist.
PlaceCopyResult CopyIntoPlace(const std::string& source, const std::string& destination, PlaceMode mode);

// Puts `source` in `from` at `name` in `to` as CopyIntoPlace does, but by
// renaming it when both folders are on one file system: the destination
// then changes in one step, the file keeps its data, permissions and times,
// and `source` is gone, or, where it replaced a file by swapping names
// with it, holds that file (replaced_at_source). Across file systems it is
// copied (and stays). A `stop` that answers true before the move gives
// kStopped.
PlaceCopyResult MoveIntoPlace(const OpenFolder& from, const std::string& source, const OpenFolder& to,
                              const std::string& name, PlaceMode mode, const StopCheck& stop = {});

// Whether there is an entry of any kind named `name` in `folder`; a
// symbolic link counts as itself, wherever it points.
bool EntryExists(const OpenFolder& folder, const std::string& name);

// What `name` in `folder` is, in one look (a link counts as itself, not
// as what it leads to); nothing when there is no such entry.
std::optional<EntryKind> KindOfEntry(const OpenFolder& folder, const std::string& name);

// Deletes the file or link `name` in `folder`; the reason when it could
// not.
std::string RemoveFileEntry(const OpenFolder& folder, const std::string& name);

// `path` split into its open folder and the name in it.
struct FolderAndName {
  OpenFolder folder;
  std::string name;
};
FolderAndName SplitAtFolder(const std::string& path);

}  // namespace coffer
