#include <cstdio>
#include <random>

#include "platform/file_ops.h"
#include "platform/paths.h"
#include "platform/system-win32.h"

namespace coffer {
namespace {

constexpr DWORD kItemMarks = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;

std::string AsciiLower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

bool IsNonFolder(DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

std::optional<EntryStatus> StatusOf(const std::string& path, std::string* reason) {
  // Opened through links, as the question is about what they lead to.
  const win32::Handle h(::CreateFileW(win32::LongPath(path).c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION info;
  if (path.empty() || !h.valid() || !::GetFileInformationByHandle(h.get(), &info)) {
    if (reason) *reason = win32::ErrorText(path.empty() ? ERROR_PATH_NOT_FOUND : ::GetLastError());
    return std::nullopt;
  }
  EntryStatus status;
  const bool folder = info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
  status.kind = folder ? EntryKind::kFolder : ::GetFileType(h.get()) == FILE_TYPE_DISK ? EntryKind::kFile : EntryKind::kOther;
  status.size = static_cast<int64_t>((uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow);
  status.mtime_ns = win32::UnixNsFromFileTime(info.ftLastWriteTime);
  // The Unix form of what the attributes say: a folder or a file, writable
  // unless it is marked read-only.
  const bool read_only = info.dwFileAttributes & FILE_ATTRIBUTE_READONLY;
  status.unix_mode = folder ? 040755 : read_only ? 0100444 : 0100644;
  return status;
}

bool IsReadableFile(const std::string& path) {
  const win32::Handle h(::CreateFileW(win32::LongPath(path).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
  return h.valid() && !(win32::AttributesOf(h.get()) & FILE_ATTRIBUTE_DIRECTORY);
}

std::string LastErrorText() { return win32::ErrorText(::GetLastError()); }

bool MakeFolders(const std::string& path) {
  if (path.empty() || IsFolder(path)) return !path.empty();
  // The missing parents first, nearest the root first; a root ("C:\") or
  // a bare drive ("C:") has no parent to make.
  std::string folder = path;
  while (folder.size() > 1 && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
  const std::string parent = FolderOfPath(folder);
  if (!parent.empty() && parent.size() < folder.size()) MakeFolders(parent);
  ::CreateDirectoryW(win32::LongPath(folder).c_str(), nullptr);
  return IsFolder(path);
}

NewFolder MakePrivateFolder(const std::string& path) {
  // Folders inherit the protection of their parent; the temporary folder
  // is the user's own.
  if (::CreateDirectoryW(win32::LongPath(path).c_str(), nullptr)) return NewFolder::kMade;
  return ::GetLastError() == ERROR_ALREADY_EXISTS ? NewFolder::kTaken : NewFolder::kFailed;
}

std::string RemoveFile(const std::string& path) {
  return ::DeleteFileW(win32::LongPath(path).c_str()) ? std::string() : LastErrorText();
}

void RemoveFileAnyCase(const std::string& folder, const std::string& name) {
  const std::wstring base = win32::LongPath(WithSlash(folder));
  if (base.empty()) return;
  if (IsNonFolder(::GetFileAttributesW(win32::Join(base, name).c_str()))) {
    ::DeleteFileW(win32::Join(base, name).c_str());
    return;
  }
  WIN32_FIND_DATAW entry;
  const HANDLE find = ::FindFirstFileW((base + L"*.*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return;
  const std::string wanted = AsciiLower(name);
  std::string found;
  do {
    const std::string candidate = win32::Narrow(entry.cFileName);
    if (AsciiLower(candidate) == wanted && !(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
      found = candidate;
      break;
    }
  } while (::FindNextFileW(find, &entry));
  ::FindClose(find);
  if (!found.empty()) ::DeleteFileW(win32::Join(base, found).c_str());
}

std::string RenameReplacing(const std::string& from, const std::string& to) {
  return ::MoveFileExW(win32::LongPath(from).c_str(), win32::LongPath(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
             ? std::string()
             : LastErrorText();
}

std::optional<std::string> CreateUniqueFile(const std::string& prefix, std::string* reason) {
  static constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  static thread_local std::mt19937 rng{std::random_device{}()};
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = prefix;
    for (int i = 0; i < 6; ++i) name += kLetters[rng() % (sizeof kLetters - 1)];
    const win32::Handle h(::CreateFileW(win32::LongPath(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (h.valid()) return name;
    if (::GetLastError() != ERROR_FILE_EXISTS) break;
  }
  if (reason) *reason = LastErrorText();
  return std::nullopt;
}

void ApplyItemMetadata(const std::string& path, std::optional<int64_t> mtime_ns, uint32_t attributes) {
  // The file was just made by us below a checked folder; a link that might
  // have replaced it since is opened as itself and left alone.
  const std::wstring full = win32::LongPath(path);
  const win32::Handle h = win32::OpenEntry(full, FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
  if (!h.valid()) return;
  const DWORD now = win32::EntryAttributesOf(h.get(), full);
  if (now == INVALID_FILE_ATTRIBUTES || (now & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY))) return;
  if (mtime_ns) {
    const FILETIME t = win32::FileTimeFromUnixNs(*mtime_ns);
    (void)::SetFileTime(h.get(), nullptr, nullptr, &t);
  }
  // Of the archive's attribute word only the read-only and hidden marks
  // are taken; the Unix mode in its upper half means nothing here. A zero
  // field of the basic information is left as it is.
  if (attributes & kItemMarks) {
    FILE_BASIC_INFO basic{};
    basic.FileAttributes = (now & ~kItemMarks) | (attributes & kItemMarks);
    (void)::SetFileInformationByHandle(h.get(), FileBasicInfo, &basic, sizeof basic);
  }
}

}  // namespace coffer
