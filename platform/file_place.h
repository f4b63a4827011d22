#pragma once
// Putting a finished file at its place in the output tree so that whatever
// was there survives until the new file is complete: the copy goes to a
// temporary name in the destination's own folder and is then renamed over
// the destination in one step.
#include <string>

namespace coffer {

enum class PlaceMode {
  kReplace,    // an existing entry of that name is replaced (a link itself, never its target)
  kNoReplace,  // an existing entry of that name is left alone: kExists
};

struct PlaceCopyResult {
  enum Status { kDone, kExists, kFailed } status = kDone;
  std::string error;  // kFailed: what went wrong, naming the file
};

// Copies the regular file `source` to `destination` (whose folder must
// exist), keeping its permission bits and modification time. On failure
// the destination is as it was and no temporary file is left.
PlaceCopyResult CopyIntoPlace(const std::string& source, const std::string& destination, PlaceMode mode);

// Whether there is an entry of any kind at `path`; a symbolic link counts
// as itself, wherever it points.
bool EntryExists(const std::string& path);

// Whether `path` is a folder (not a link to one).
bool IsFolderEntry(const std::string& path);

// Deletes the file or link `path`; the reason when it could not.
std::string RemoveFileEntry(const std::string& path);

}  // namespace coffer
