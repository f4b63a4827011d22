#include <vector>

#include "platform/debug.h"
#include "platform/open_folder-win32.h"
#include "platform/paths.h"
#include "platform/run_lock.h"
#include "platform/tree.h"

namespace coffer {
namespace {

struct Level {
  win32::Handle held;                 // keeps the folder from being moved or swapped while inside
  std::wstring full;                  // long path, ending in "\"
  std::wstring name;                  // in the level above
  std::vector<std::wstring> folders;  // sub-folders not yet entered
  bool empty = true;                  // nothing in here has resisted so far
};

std::string Shown(const std::wstring& full) {
  std::wstring shown = full;
  if (shown.rfind(L"\\\\?\\UNC\\", 0) == 0) shown = L"\\" + shown.substr(7);
  else if (shown.rfind(L"\\\\?\\", 0) == 0) shown = shown.substr(4);
  return win32::Narrow(shown);
}

void Trace(const char* what, const std::wstring& full) {
  DebugLine(std::string(what) + " " + Shown(full) + ": " + win32::ErrorText(::GetLastError()));
}

bool Missing() {
  const DWORD err = ::GetLastError();
  return err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND;
}

// A link or junction goes as itself, whatever it points to.
bool RemoveEntry(const std::wstring& path, DWORD attributes) {
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return win32::DeleteEntryItself(path) || Missing();
  return ::DeleteFileW(path.c_str()) || Missing();
}

// Depth first without recursion, every folder on the way down held open.
// Each folder is listed once: its files go at once, its sub-folders' names
// are kept and entered one after the other.
class TreeRemoval {
 public:
  TreeRemoval(std::string folder, std::wstring last) : folder_(std::move(folder)), last_(std::move(last)) {}

  bool Run(win32::Handle root, const std::wstring& full) {
    levels_.push_back({std::move(root), full, {}, {}, true});
    Read(levels_.back());
    while (true) {
      Level& top = levels_.back();
      if (!top.folders.empty()) {
        const std::wstring name = std::move(top.folders.back());
        top.folders.pop_back();
        Enter(name);
      } else if (levels_.size() == 1) {
        break;
      } else {
        Leave();
      }
    }
    Level& root_level = levels_.front();
    root_level.held.Close();
    if (root_level.empty && !last_.empty()) {
      // The system deletes no file that is held open: the run lock on the
      // marker is let go just before the marker goes.
      ReleaseRunLock(folder_);
      const std::wstring path = full + last_;
      if (!::DeleteFileW(path.c_str()) && !Missing()) {
        Trace("cannot remove", path);
        root_level.empty = false;
      }
    }
    return root_level.empty;
  }

 private:
  void Read(Level& level) {
    WIN32_FIND_DATAW entry;
    const HANDLE find = ::FindFirstFileW((level.full + L"*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) {
      Trace("cannot read", level.full);
      level.empty = false;
      return;
    }
    const bool top = levels_.size() == 1;
    do {
      const std::wstring name = entry.cFileName;
      if (name == L"." || name == L"..") continue;
      const DWORD attributes = entry.dwFileAttributes;
      if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        level.folders.push_back(name);
      } else if (top && name == last_) {
        continue;
      } else if (!RemoveEntry(level.full + name, attributes)) {
        Trace("cannot remove", level.full + name);
        level.empty = false;
      }
    } while (::FindNextFileW(find, &entry));
    ::FindClose(find);
  }

  void Enter(const std::wstring& name) {
    Level& parent = levels_.back();
    const std::wstring path = parent.full + name;
    win32::Handle held = win32::OpenEntry(path, FILE_READ_ATTRIBUTES, kHeldFolderShare);
    if (!held.valid()) {
      if (Missing()) return;
      Trace("cannot open", path);
      parent.empty = false;
      return;
    }
    const DWORD attributes = win32::EntryAttributesOf(held.get(), path);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY) ||
        (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
      // Swapped for a link or a file since it was listed: removed as itself.
      held.Close();
      if (attributes == INVALID_FILE_ATTRIBUTES || !RemoveEntry(path, attributes)) {
        Trace("cannot remove", path);
        parent.empty = false;
      }
      return;
    }
    levels_.push_back({std::move(held), path + L"\\", name, {}, true});
    Read(levels_.back());
  }

  // Back to the level above, which removes the finished folder when it is
  // empty.
  void Leave() {
    Level done = std::move(levels_.back());
    levels_.pop_back();
    Level& parent = levels_.back();
    done.held.Close();
    if (!done.empty) {
      parent.empty = false;
    } else if (!::RemoveDirectoryW((parent.full + done.name).c_str()) && !Missing()) {
      Trace("cannot remove", parent.full + done.name);
      parent.empty = false;
    }
  }

  std::string folder_;
  std::wstring last_;
  std::vector<Level> levels_;
};

// "C:", "C:\", "\\server\share": a drive or share itself.
bool IsRoot(const std::wstring& full) {
  std::wstring rest = full;
  while (!rest.empty() && rest.back() == L'\\') rest.pop_back();
  if (rest.rfind(L"\\\\?\\UNC\\", 0) == 0) return rest.find(L'\\', rest.find(L'\\', 8) + 1) == std::wstring::npos;
  return rest.size() <= 6;  // "\\?\C:"
}

}  // namespace

bool RemoveFolderTree(const std::string& folder, const std::string& last) {
  if (folder.empty()) return true;
  std::wstring full = win32::LongPath(folder);
  while (!full.empty() && full.back() == L'\\') full.pop_back();
  // A drive or share root is never anybody's scratch folder.
  if (full.empty() || IsRoot(full)) return false;
  const DWORD attributes = ::GetFileAttributesW(full.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return Missing();
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY) || (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    if (RemoveEntry(full, attributes)) return true;
    Trace("cannot remove", full);
    return false;
  }
  win32::Handle root = win32::OpenEntry(full, FILE_READ_ATTRIBUTES, kHeldFolderShare);
  if (!root.valid()) {
    if (Missing()) return true;
    Trace("cannot open", full);
    return false;
  }
  if (!TreeRemoval(folder, win32::Widen(last)).Run(std::move(root), full + L"\\")) return false;
  if (::RemoveDirectoryW(full.c_str()) || Missing()) return true;
  Trace("cannot remove", full);
  return false;
}

std::vector<std::string> SubfolderNames(const std::string& folder) {
  std::vector<std::string> names;
  const std::wstring full = win32::LongPath(WithSlash(folder));
  if (full.empty()) return names;
  WIN32_FIND_DATAW entry;
  const HANDLE find = ::FindFirstFileW((full + L"*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    const std::wstring name = entry.cFileName;
    if (name == L"." || name == L"..") continue;
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
      names.push_back(win32::Narrow(name));
  } while (::FindNextFileW(find, &entry));
  ::FindClose(find);
  return names;
}

}  // namespace coffer
