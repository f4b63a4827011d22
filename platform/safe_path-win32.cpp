#include <vector>

#include "platform/error.h"
#include "platform/item_name.h"
#include "platform/open_folder-win32.h"
#include "platform/paths.h"
#include "platform/safe_path.h"
#include "platform/stream-win32.h"

namespace coffer {
namespace {

// Item paths here are checked by the Windows name rule, which takes "/"
// and "\" alike.
std::vector<std::string_view> Components(std::string_view rel) { return PathParts(rel, "\\/"); }

[[noreturn]] void Fail(const std::string& what, const std::string& path, DWORD err) {
  throw Error(what + " " + path + ": " + win32::ErrorText(err));
}

[[noreturn]] void FailOpen(const std::string& shown, DWORD err) {
  if (err == ERROR_CANT_ACCESS_FILE)
    throw Error("Cannot create " + shown + ": it is a symbolic link or junction, which is not followed");
  Fail("Cannot open folder", shown, err);
}

bool MakeFolder(const std::wstring& path) {
  return ::CreateDirectoryW(path.c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS;
}

// The caller's own folder and its missing parents, which may be reached
// through links.
void MakeFolderChain(const std::string& folder) {
  const std::wstring full = win32::LongPath(folder);
  if (full.empty()) Fail("Cannot create folder", folder, ::GetLastError());
  // Past "\\?\C:\" or "\\?\UNC\server\share\", each "\" ends a folder.
  size_t start = full.rfind(L"\\\\?\\UNC\\", 0) == 0 ? full.find(L'\\', full.find(L'\\', 8) + 1) : 7;
  for (size_t i = full.find(L'\\', start); i != std::wstring::npos; i = full.find(L'\\', i + 1)) {
    if (!MakeFolder(full.substr(0, i)) && ::GetFileAttributesW(full.substr(0, i).c_str()) == INVALID_FILE_ATTRIBUTES)
      Fail("Cannot create folder", win32::Narrow(full.substr(4, i - 4)), ::GetLastError());
  }
}

// The folders on the way to the last component of `rel` below `base`,
// each one made (with `create`) and held. The last one held is the
// parent; none held when `create` is false and a parent is missing or no
// real folder.
struct Walk {
  std::vector<win32::Handle> held;
  std::wstring full;
  std::string shown;
  DWORD error = 0;
};

Walk OpenParent(const OpenFolder& base, const std::string& base_path, const std::string& rel, bool create,
                std::string* leaf) {
  if (!IsSafeItemPath(rel)) throw Error("Refused item path " + rel + ": it would leave " + base_path);
  const std::wstring* base_full = FolderPath(base);
  if (!base_full) Fail("Cannot open folder", base_path, ::GetLastError());
  const auto parts = Components(rel);
  Walk walk;
  walk.full = *base_full;
  walk.shown = base_path;
  HANDLE base_handle = base.native()->held.back().get();
  HANDLE copy = nullptr;
  if (!::DuplicateHandle(::GetCurrentProcess(), base_handle, ::GetCurrentProcess(), &copy, 0, FALSE,
                         DUPLICATE_SAME_ACCESS))
    Fail("Cannot open folder", base_path, ::GetLastError());
  walk.held.emplace_back(copy);
  for (size_t i = 0; i + 1 < parts.size(); ++i) {
    walk.shown += std::string(parts[i]);
    if (create && !MakeFolder(win32::Join(walk.full, parts[i]))) Fail("Cannot create folder", walk.shown, ::GetLastError());
    win32::Handle next = OpenChildFolder(walk.full, parts[i]);
    if (!next.valid()) {
      if (create) FailOpen(walk.shown, ::GetLastError());
      walk.error = ::GetLastError();
      walk.held.clear();
      return walk;
    }
    walk.held.push_back(std::move(next));
    walk.full = win32::Join(walk.full, parts[i]) + L'\\';
    walk.shown += '\\';
  }
  *leaf = std::string(parts.back());
  return walk;
}

}  // namespace

bool IsSafeItemPath(std::string_view rel) {
  return rel.find('\0') == std::string_view::npos && IsSafeWindowsItemPath(rel);
}

SafeFolder::SafeFolder(const std::string& folder, bool create) : path_(WithSlash(folder)) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    folder_ = OpenFolder::AtPath(path_);
    if (folder_.is_open()) return;
    const DWORD err = folder_.native()->error;
    if ((err != ERROR_FILE_NOT_FOUND && err != ERROR_PATH_NOT_FOUND) || !create || attempt > 0) break;
    MakeFolderChain(path_);
  }
  Fail("Cannot open folder", path_, folder_.native()->error);
}

SafeFolder::~SafeFolder() = default;

void SafeFolder::CreateFolders(const std::string& rel) {
  std::string leaf;
  const Walk walk = OpenParent(folder_, path_, rel, true, &leaf);
  const std::string shown = path_ + rel;
  if (!MakeFolder(win32::Join(walk.full, leaf))) Fail("Cannot create folder", shown, ::GetLastError());
  if (!OpenChildFolder(walk.full, leaf).valid()) FailOpen(shown, ::GetLastError());
}

std::unique_ptr<FileStream> SafeFolder::CreateItemFile(const std::string& rel) {
  std::string leaf;
  const Walk walk = OpenParent(folder_, path_, rel, true, &leaf);
  return CreateFileNoFollow(win32::Join(walk.full, leaf), path_ + rel);
}

bool SafeFolder::Exists(const std::string& rel) {
  std::string leaf;
  const Walk walk = OpenParent(folder_, path_, rel, false, &leaf);
  return !walk.held.empty() && ::GetFileAttributesW(win32::Join(walk.full, leaf).c_str()) != INVALID_FILE_ATTRIBUTES;
}

OpenFolder SafeFolder::OpenItemParent(const std::string& rel, bool create, std::string* leaf) {
  Walk walk = OpenParent(folder_, path_, rel, create, leaf);
  const size_t end = rel.find_last_of("\\/");
  std::string shown = path_ + (end == std::string::npos ? std::string() : rel.substr(0, end + 1));
  return MakeOpenFolder(std::move(walk.held), std::move(walk.full), std::move(shown), walk.error);
}

void CreateFoldersBelow(const std::string& folder, const std::string& rel) {
  SafeFolder(folder, true).CreateFolders(rel);
}

std::unique_ptr<FileStream> CreateFileBelow(const std::string& folder, const std::string& rel) {
  return SafeFolder(folder, true).CreateItemFile(rel);
}

bool ExistsBelow(const std::string& folder, const std::string& rel) {
  if (!IsSafeItemPath(rel)) return false;
  const DWORD attributes = ::GetFileAttributesW(win32::LongPath(WithSlash(folder)).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
  try {
    return SafeFolder(folder, false).Exists(rel);
  } catch (const Error&) {
    return false;
  }
}

bool RemoveFileBelow(const std::string& folder, const std::string& rel) {
  if (!IsSafeItemPath(rel)) return false;
  try {
    std::string leaf;
    const OpenFolder parent = SafeFolder(folder, false).OpenItemParent(rel, false, &leaf);
    const std::wstring* full = FolderPath(parent);
    if (!full) return false;
    const std::wstring path = win32::Join(*full, leaf);
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return ::GetLastError() == ERROR_FILE_NOT_FOUND;
    // A link to a folder is removed as a folder entry, never emptied.
    const bool link = attributes & FILE_ATTRIBUTE_REPARSE_POINT;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !link) return false;
    return link ? win32::DeleteEntryItself(path) : ::DeleteFileW(path.c_str());
  } catch (const Error&) {
    return false;
  }
}

}  // namespace coffer
