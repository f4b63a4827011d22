#include <aclapi.h>

#include <map>
#include <mutex>
#include <vector>

#include "platform/run_lock.h"
#include "platform/system-win32.h"

namespace coffer {
namespace {

// The marker is held open with no sharing at all: while this process has
// it, nobody else can open it, and the system closes it however the
// process ends.
std::wstring Key(const std::string& folder) {
  std::wstring key = win32::LongPath(folder);
  while (!key.empty() && key.back() == L'\\') key.pop_back();
  return key;
}

class LockTable {
 public:
  void Add(const std::wstring& key, win32::Handle marker) {
    std::lock_guard lock(mutex_);
    held_[key] = std::move(marker);
  }

  void Release(const std::wstring& key) {
    std::lock_guard lock(mutex_);
    held_.erase(key);
  }

 private:
  std::mutex mutex_;
  std::map<std::wstring, win32::Handle> held_;
};

// Never destroyed: the locks last as long as the process.
LockTable& Table() {
  static LockTable* table = new LockTable;
  return *table;
}

// Whether the entry open as `h` belongs to the user this process runs as.
bool OwnedByUs(HANDLE h) {
  PSID owner = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (::GetSecurityInfo(h, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr, nullptr,
                        &descriptor) != ERROR_SUCCESS)
    return false;
  bool ours = false;
  HANDLE token = nullptr;
  if (::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) {
    DWORD size = 0;
    ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<char> buffer(size);
    if (size && ::GetTokenInformation(token, TokenUser, buffer.data(), size, &size))
      ours = ::EqualSid(owner, reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid);
    // An administrator's folders belong to the Administrators group.
    if (!ours) {
      ::GetTokenInformation(token, TokenOwner, nullptr, 0, &size);
      buffer.assign(size, 0);
      if (size && ::GetTokenInformation(token, TokenOwner, buffer.data(), size, &size))
        ours = ::EqualSid(owner, reinterpret_cast<TOKEN_OWNER*>(buffer.data())->Owner);
    }
    ::CloseHandle(token);
  }
  ::LocalFree(descriptor);
  return ours;
}

}  // namespace

bool HoldRunLock(const std::string& folder) {
  const std::wstring key = Key(folder);
  if (key.empty()) return false;
  // Made with no sharing: the marker is locked from the moment it exists.
  win32::Handle marker(::CreateFileW((key + L"\\" + win32::Widen(kRunMarkerName)).c_str(), GENERIC_READ | GENERIC_WRITE,
                                     0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!marker.valid()) return false;
  Table().Add(key, std::move(marker));
  return true;
}

RunClaim ClaimRunFolder(const std::string& folder) {
  const std::wstring key = Key(folder);
  if (key.empty()) return RunClaim::kNotOurs;
  const win32::Handle dir = win32::OpenEntry(key, READ_CONTROL | FILE_READ_ATTRIBUTES,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
  const DWORD dir_attributes = dir.valid() ? win32::EntryAttributesOf(dir.get(), key) : INVALID_FILE_ATTRIBUTES;
  if (dir_attributes == INVALID_FILE_ATTRIBUTES || !(dir_attributes & FILE_ATTRIBUTE_DIRECTORY) ||
      (dir_attributes & FILE_ATTRIBUTE_REPARSE_POINT) || !OwnedByUs(dir.get()))
    return RunClaim::kNotOurs;
  const std::wstring path = key + L"\\" + win32::Widen(kRunMarkerName);
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)))
    return RunClaim::kNotOurs;
  win32::Handle marker(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                     FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  // Any refusal, not only a live run's handle, leaves the folder alone.
  if (!marker.valid()) return RunClaim::kInUse;
  if (win32::EntryAttributesOf(marker.get(), path) & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))
    return RunClaim::kNotOurs;
  Table().Add(key, std::move(marker));
  return RunClaim::kClaimed;
}

void ReleaseRunLock(const std::string& folder) { Table().Release(Key(folder)); }

}  // namespace coffer
