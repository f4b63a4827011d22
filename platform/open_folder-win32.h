#pragma once
// What stands behind an OpenFolder on Windows, for the back end's files
// only. The system has no calls relative to an open folder, so entries are
// named by the folder's full path; the folder and every folder below the
// caller's own on the way to it are held open without delete sharing, so
// none of them can be renamed, removed or swapped for a link while the
// OpenFolder lives, and the path keeps naming the same folder.
#include <string>
#include <vector>

#include "platform/open_folder.h"
#include "platform/system-win32.h"

namespace coffer {

struct OpenFolder::Native {
  std::vector<win32::Handle> held;  // empty when the folder could not be opened
  DWORD error = 0;                  // then why
  std::wstring full;                // win32::LongPath form, ending in "\"
  std::string path;                 // for messages, ending in a separator
};

// The sharing every held folder is opened with: others may read and write
// in it, but not rename or remove it.
inline constexpr DWORD kHeldFolderShare = FILE_SHARE_READ | FILE_SHARE_WRITE;

// An OpenFolder of `held` (the last one the folder itself), or a closed one
// that reports `error`.
OpenFolder MakeOpenFolder(std::vector<win32::Handle> held, std::wstring full, std::string path, DWORD error);

// The long path of `folder`, ending in "\"; nullptr with the last error
// set to why when it is not open.
const std::wstring* FolderPath(const OpenFolder& folder);

// Opens the folder `name` in the folder at `parent` (a long path) to hold
// it, never through a reparse point: a link or junction there gives an
// invalid handle with ERROR_CANT_ACCESS_FILE, something other than a
// folder ERROR_DIRECTORY.
win32::Handle OpenChildFolder(const std::wstring& parent, std::string_view name);

}  // namespace coffer
