#include "platform/open_folder-win32.h"

#include "platform/paths.h"

namespace coffer {

OpenFolder::OpenFolder() = default;
OpenFolder::~OpenFolder() = default;
OpenFolder::OpenFolder(OpenFolder&&) noexcept = default;
OpenFolder& OpenFolder::operator=(OpenFolder&&) noexcept = default;
OpenFolder::OpenFolder(std::unique_ptr<Native> native) : native_(std::move(native)) {}

OpenFolder OpenFolder::AtPath(const std::string& path) {
  std::wstring full = win32::LongPath(path.empty() ? std::string(".\\") : WithSlash(path));
  if (full.empty()) return MakeOpenFolder({}, {}, path, ::GetLastError());
  // The caller's folder may be reached through links: this one is followed.
  win32::Handle handle(::CreateFileW(full.c_str(), FILE_READ_ATTRIBUTES, kHeldFolderShare, nullptr, OPEN_EXISTING,
                                     FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!handle.valid()) return MakeOpenFolder({}, {}, path.empty() ? path : WithSlash(path), ::GetLastError());
  if (!(win32::AttributesOf(handle.get()) & FILE_ATTRIBUTE_DIRECTORY))
    return MakeOpenFolder({}, {}, WithSlash(path), ERROR_DIRECTORY);
  std::vector<win32::Handle> held;
  held.push_back(std::move(handle));
  return MakeOpenFolder(std::move(held), std::move(full), path.empty() ? path : WithSlash(path), 0);
}

bool OpenFolder::is_open() const { return native_ && !native_->held.empty(); }

const std::string& OpenFolder::path() const {
  static const std::string none;
  return native_ ? native_->path : none;
}

OpenFolder MakeOpenFolder(std::vector<win32::Handle> held, std::wstring full, std::string path, DWORD error) {
  auto native = std::make_unique<OpenFolder::Native>();
  native->error = held.empty() ? (error ? error : ERROR_INVALID_HANDLE) : 0;
  native->held = std::move(held);
  native->full = std::move(full);
  native->path = std::move(path);
  return OpenFolder(std::move(native));
}

const std::wstring* FolderPath(const OpenFolder& folder) {
  const OpenFolder::Native* native = folder.native();
  if (native && !native->held.empty()) return &native->full;
  ::SetLastError(native ? native->error : ERROR_INVALID_HANDLE);
  return nullptr;
}

win32::Handle OpenChildFolder(const std::wstring& parent, std::string_view name) {
  const std::wstring path = win32::Join(parent, name);
  win32::Handle handle = win32::OpenEntry(path, FILE_READ_ATTRIBUTES, kHeldFolderShare);
  if (!handle.valid()) return handle;
  const DWORD attributes = win32::EntryAttributesOf(handle.get(), path);
  if (attributes == INVALID_FILE_ATTRIBUTES) return win32::Handle();
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
    ::SetLastError(ERROR_CANT_ACCESS_FILE);
    return win32::Handle();
  }
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    ::SetLastError(ERROR_DIRECTORY);
    return win32::Handle();
  }
  return handle;
}

}  // namespace coffer
