#include <objbase.h>
#include <shlobj.h>

#include "platform/folder_picker.h"
#include "platform/system-win32.h"

namespace coffer {
namespace {

// Opens the browser on the initial folder (the callback data) with the
// folder tree, not the edit field, holding the keyboard focus.
int CALLBACK BrowseCallback(HWND browser, UINT msg, LPARAM, LPARAM data) {
  if (msg != BFFM_INITIALIZED || data == 0) return 0;
  HWND name_space = ::FindWindowExW(browser, nullptr, L"SHBrowseForFolder ShellNameSpace Control", nullptr);
  HWND tree = ::FindWindowExW(name_space != nullptr ? name_space : browser, nullptr, L"SysTreeView32", nullptr);
  if (tree != nullptr) ::PostMessageW(tree, WM_SETFOCUS, 0, 0);
  ::SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, data);
  return 0;
}

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The folder browser; true with `path` set when a file-system folder was
// chosen, false with `path` empty otherwise.
bool BrowseForFolder(HWND owner, const std::wstring& title, std::wstring& path) {
  if (path.empty() || !IsFolder(path)) path.clear();
  std::wstring display_name(MAX_PATH, L'\0');  // asked for, not read
  BROWSEINFOW info{};
  info.hwndOwner = owner;
  info.pidlRoot = nullptr;
  info.pszDisplayName = display_name.data();
  info.lpszTitle = title.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE | BIF_BROWSEFORCOMPUTER;  // 0x1041
  info.lpfn = &BrowseCallback;
  info.lParam = path.empty() ? 0 : reinterpret_cast<LPARAM>(path.c_str());
  PIDLIST_ABSOLUTE item = ::SHBrowseForFolderW(&info);
  wchar_t chosen[MAX_PATH + 1] = {};
  const bool found = item != nullptr && ::SHGetPathFromIDListW(item, chosen);
  if (item != nullptr) ::CoTaskMemFree(item);
  path = found ? std::wstring(chosen) : std::wstring();
  return found;
}

}  // namespace

// The browser's new style needs the single-threaded apartment; it is
// entered here for the browse if the program has not done so already.
void PickFolder(NativeWindow owner, const FolderPickerSpec& spec,
                std::function<void(std::optional<std::string>)> done) {
  const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  std::wstring path = win32::Widen(spec.initial);
  const bool chosen = BrowseForFolder(static_cast<HWND>(owner), win32::Widen(spec.title), path);
  if (SUCCEEDED(com)) ::CoUninitialize();
  std::optional<std::string> result;
  if (chosen && !path.empty()) result = win32::Narrow(path);
  if (done) done(result);
}

}  // namespace coffer
