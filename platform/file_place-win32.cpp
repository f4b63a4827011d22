#include <cstdio>
#include <random>
#include <vector>

#include "platform/file_place.h"
#include "platform/open_folder-win32.h"

namespace coffer {
namespace {

std::string Why(const std::string& what, const std::string& path, DWORD err) {
  return what + " " + path + ": " + win32::ErrorText(err);
}

enum class CopyFailure { kNone, kRead, kWrite, kStopped };

// A stop takes effect within one chunk.
constexpr size_t kChunk = size_t{8} << 20;

CopyFailure CopyData(HANDLE in, HANDLE out, const StopCheck& stop) {
  std::vector<char> buffer(size_t{1} << 20);
  size_t since_check = kChunk;
  for (;;) {
    if (since_check >= kChunk) {
      if (stop && stop()) return CopyFailure::kStopped;
      since_check = 0;
    }
    DWORD n = 0;
    if (!::ReadFile(in, buffer.data(), static_cast<DWORD>(buffer.size()), &n, nullptr)) return CopyFailure::kRead;
    if (n == 0) return CopyFailure::kNone;
    DWORD written = 0;
    if (!::WriteFile(out, buffer.data(), n, &written, nullptr) || written != n) return CopyFailure::kWrite;
    since_check += n;
  }
}

// A name of our own beside the destination, created exclusively.
win32::Handle CreateTemp(const std::wstring& folder, std::wstring& path) {
  static thread_local std::mt19937 rng{std::random_device{}()};
  for (int attempt = 0; attempt < 100; ++attempt) {
    char buf[32];
    std::snprintf(buf, sizeof buf, ".coffer-%08x.part", static_cast<unsigned>(rng()));
    path = win32::Join(folder, buf);
    win32::Handle h(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (h.valid() || ::GetLastError() != ERROR_FILE_EXISTS) return h;
  }
  ::SetLastError(ERROR_FILE_EXISTS);
  return win32::Handle();
}

DWORD EntryAttributes(const OpenFolder& folder, const std::string& name) {
  const std::wstring* full = FolderPath(folder);
  return full ? ::GetFileAttributesW(win32::Join(*full, name).c_str()) : INVALID_FILE_ATTRIBUTES;
}

}  // namespace

PlaceCopyResult CopyIntoPlace(const OpenFolder& from, const std::string& source, const OpenFolder& to,
                              const std::string& name, PlaceMode mode, const StopCheck& stop) {
  using R = PlaceCopyResult;
  const std::string source_path = from.path() + source;
  const std::string destination = to.path() + name;
  if (name.empty()) return {R::kFailed, Why("cannot write", destination, ERROR_DIRECTORY)};

  const std::wstring* from_full = FolderPath(from);
  if (!from_full) return {R::kFailed, Why("cannot read", source_path, ::GetLastError())};
  const std::wstring source_full = win32::Join(*from_full, source);
  const win32::Handle in = win32::OpenEntry(source_full, GENERIC_READ, FILE_SHARE_READ);
  if (!in.valid()) return {R::kFailed, Why("cannot read", source_path, ::GetLastError())};
  BY_HANDLE_FILE_INFORMATION info;
  if (!::GetFileInformationByHandle(in.get(), &info)) return {R::kFailed, Why("cannot read", source_path, ::GetLastError())};
  info.dwFileAttributes = win32::EntryAttributesOf(in.get(), source_full);
  if (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))
    return {R::kFailed, Why("cannot read", source_path,
                            info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY ? ERROR_DIRECTORY : ERROR_CANT_ACCESS_FILE)};

  const std::wstring* to_full = FolderPath(to);
  if (!to_full) return {R::kFailed, Why("cannot write", destination, ::GetLastError())};
  const std::wstring target = win32::Join(*to_full, name);
  if (mode == PlaceMode::kNoReplace && ::GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES)
    return {R::kExists, {}};

  std::wstring temp;
  win32::Handle out = CreateTemp(*to_full, temp);
  if (!out.valid()) return {R::kFailed, Why("cannot write", destination, ::GetLastError())};

  std::string error;
  const CopyFailure failure = CopyData(in.get(), out.get(), stop);
  if (failure == CopyFailure::kStopped) {
    out.Close();
    ::DeleteFileW(temp.c_str());
    return {R::kStopped, {}};
  }
  if (failure != CopyFailure::kNone) {
    error = Why(failure == CopyFailure::kRead ? "cannot read" : "cannot write",
                failure == CopyFailure::kRead ? source_path : destination, ::GetLastError());
  } else {
    // The source's times and its read-only and hidden marks go along.
    FILE_BASIC_INFO basic{};
    basic.CreationTime.LowPart = info.ftCreationTime.dwLowDateTime;
    basic.CreationTime.HighPart = static_cast<LONG>(info.ftCreationTime.dwHighDateTime);
    basic.LastWriteTime.LowPart = info.ftLastWriteTime.dwLowDateTime;
    basic.LastWriteTime.HighPart = static_cast<LONG>(info.ftLastWriteTime.dwHighDateTime);
    basic.LastAccessTime = basic.LastWriteTime;
    const DWORD marks = info.dwFileAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    basic.FileAttributes = marks ? marks : FILE_ATTRIBUTE_NORMAL;
    if (!::SetFileInformationByHandle(out.get(), FileBasicInfo, &basic, sizeof basic) ||
        !::FlushFileBuffers(out.get()))
      error = Why("cannot write", destination, ::GetLastError());
  }
  out.Close();
  if (error.empty()) {
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (mode == PlaceMode::kReplace ? MOVEFILE_REPLACE_EXISTING : 0);
    if (::MoveFileExW(temp.c_str(), target.c_str(), flags)) return {R::kDone, {}};
    const DWORD err = ::GetLastError();
    if (mode == PlaceMode::kNoReplace && (err == ERROR_ALREADY_EXISTS || err == ERROR_FILE_EXISTS)) {
      ::SetFileAttributesW(temp.c_str(), FILE_ATTRIBUTE_NORMAL);
      ::DeleteFileW(temp.c_str());
      return {R::kExists, {}};
    }
    error = Why("cannot write", destination, err);
  }
  ::SetFileAttributesW(temp.c_str(), FILE_ATTRIBUTE_NORMAL);
  ::DeleteFileW(temp.c_str());
  return {R::kFailed, error};
}

// Here placing copies even on one volume: a file moved there keeps the
// protection it was made with in the working folder (the user's own, under
// the temporary folder), while one placed in the output must take the
// output folder's, as a file made there does.
PlaceCopyResult MoveIntoPlace(const OpenFolder& from, const std::string& source, const OpenFolder& to,
                              const std::string& name, PlaceMode mode, const StopCheck& stop) {
  return CopyIntoPlace(from, source, to, name, mode, stop);
}

FolderAndName SplitAtFolder(const std::string& path) {
  const size_t end = path.find_last_of("\\/");
  if (end == std::string::npos) return {OpenFolder::AtPath({}), path};
  return {OpenFolder::AtPath(path.substr(0, end + 1)), path.substr(end + 1)};
}

std::optional<EntryKind> KindOfEntry(const OpenFolder& folder, const std::string& name) {
  const DWORD attributes = EntryAttributes(folder, name);
  if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return EntryKind::kOther;
  return attributes & FILE_ATTRIBUTE_DIRECTORY ? EntryKind::kFolder : EntryKind::kFile;
}

std::string RemoveFileEntry(const OpenFolder& folder, const std::string& name) {
  const std::wstring* full = FolderPath(folder);
  if (!full) return Why("cannot delete", folder.path() + name, ::GetLastError());
  const std::wstring path = win32::Join(*full, name);
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES && ::GetLastError() == ERROR_FILE_NOT_FOUND) return {};
  const bool link = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
  if (link ? win32::DeleteEntryItself(path) : ::DeleteFileW(path.c_str())) return {};
  return Why("cannot delete", folder.path() + name, ::GetLastError());
}

}  // namespace coffer
