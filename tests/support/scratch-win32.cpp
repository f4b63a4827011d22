// The scratch folder and the shell under Wine.
//
// Test commands are Unix shell lines (the real 7zz makes the fixtures).
// Wine starts Unix programs too, so /bin/sh runs them, with paths on drive
// Z: (Wine's view of the Unix root) turned back into Unix paths. Wine
// neither waits for a Unix child nor hands on its exit status, so the
// shell writes the status to a file as its last step and Run waits for
// that file.
#include <windows.h>

#include <filesystem>
#include <random>
#include <regex>
#include <stdexcept>

#include "tests/support/scratch.h"

namespace fs = std::filesystem;

namespace coffer::test {
namespace {

std::wstring Wide(const std::string& s) {
  if (s.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring w(n, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
  return w;
}

// The Unix temporary folder, as a path on drive Z: ending in "\\".
std::string ScratchRoot() {
  wchar_t buf[MAX_PATH];
  const DWORD n = GetEnvironmentVariableW(L"TMPDIR", buf, MAX_PATH);
  std::string root = "/tmp";
  if (n > 0 && n < MAX_PATH && buf[0] == L'/') {
    const int len = WideCharToMultiByte(CP_UTF8, 0, buf, static_cast<int>(n), nullptr, 0, nullptr, nullptr);
    root.assign(len, '\0');
    WideCharToMultiByte(CP_UTF8, 0, buf, static_cast<int>(n), root.data(), len, nullptr, nullptr);
  }
  if (root.back() != '/') root += '/';
  return "Z:" + ScratchDir::NativeSeparators(root);
}

// Every path on drive Z: in `text` as the Unix path it names: "Z:" goes,
// and "\" becomes "/" up to the end of the path (a blank or a quote).
std::string ToUnixPaths(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if ((text[i] == 'Z' || text[i] == 'z') && i + 2 < text.size() && text[i + 1] == ':' &&
        (text[i + 2] == '/' || text[i + 2] == '\\')) {
      for (i += 2; i < text.size() && text[i] != ' ' && text[i] != '\'' && text[i] != '"'; ++i)
        out += text[i] == '\\' ? '/' : text[i];
      --i;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace

std::string ScratchDir::NativeSeparators(std::string rel) {
  for (char& c : rel)
    if (c == '/') c = '\\';
  return rel;
}

int64_t LocalSeconds(int year, int month, int day, int hour, int minute, int second) {
  SYSTEMTIME local{};
  local.wYear = static_cast<WORD>(year);
  local.wMonth = static_cast<WORD>(month);
  local.wDay = static_cast<WORD>(day);
  local.wHour = static_cast<WORD>(hour);
  local.wMinute = static_cast<WORD>(minute);
  local.wSecond = static_cast<WORD>(second);
  SYSTEMTIME utc{};
  FILETIME ft{};
  if (!TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc) || !SystemTimeToFileTime(&utc, &ft)) return -1;
  const int64_t ticks = static_cast<int64_t>((static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime);
  return ticks / 10000000 - 11644473600LL;  // 100 ns steps since 1601
}

bool IsTvName(const std::string& name) {
  return std::regex_match(name, std::regex("tv_[0-9A-Fa-f]{1,4}\\.tmp"));
}

ScratchDir::ScratchDir() {
  const std::string root = ScratchRoot();
  std::random_device seed;
  std::mt19937 gen(seed());
  for (int attempt = 0; attempt < 1000; ++attempt) {
    char name[32];
    snprintf(name, sizeof name, "coffer-test-%08x", static_cast<unsigned>(gen()));
    const std::string dir = root + name;
    if (CreateDirectoryW(Wide(dir).c_str(), nullptr)) {
      path_ = dir + "\\";
      return;
    }
    if (GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  throw std::runtime_error("cannot make a scratch folder in " + root);
}

ScratchDir::~ScratchDir() {
  std::error_code ec;
  fs::remove_all(fs::path(Wide(path_)), ec);
}

int Run(const std::string& command, std::string* output) {
  ScratchDir io;
  const std::string dir = ToUnixPaths(io.path());
  WriteFile(io / "run.sh", "PATH=/usr/local/bin:/usr/bin:/bin; LC_ALL=C.UTF-8; export PATH LC_ALL\n(\n" +
                               ToUnixPaths(command) + "\n) >" + Quote(dir + "out") + " 2>&1\necho $? >" +
                               Quote(dir + "status.part") + "\nmv " + Quote(dir + "status.part") + " " +
                               Quote(dir + "status") + "\n");
  std::wstring line = L"/bin/sh " + Wide(dir) + L"run.sh";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(L"Z:\\bin\\sh", line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return -1;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  const std::wstring status = Wide(io / "status");
  while (GetFileAttributesW(status.c_str()) == INVALID_FILE_ATTRIBUTES) Sleep(5);
  if (output) *output = ReadFile(io / "out");
  return std::stoi(ReadFile(io / "status"));
}

std::string ShellPath(const std::string& path) {
  if (path.size() < 3 || (path[0] != 'Z' && path[0] != 'z') || path[1] != ':') return path;
  std::string unix_path = path.substr(2);
  for (char& c : unix_path)
    if (c == '\\') c = '/';
  return unix_path;
}

// The thread's window messages stand in for the toolkit's main context.
bool SpinUntil(const std::function<bool()>& done, int timeout_ms) {
  const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(timeout_ms);
  while (!done()) {
    if (GetTickCount64() > end) return false;
    MSG msg;
    if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    } else {
      Sleep(1);
    }
  }
  return true;
}

// GetTempPathW reads TMP first, then TEMP.
void UseTempFolder(const std::string& folder) {
  SetEnvironmentVariableW(L"TMP", Wide(folder).c_str());
  SetEnvironmentVariableW(L"TEMP", Wide(folder).c_str());
}

}  // namespace coffer::test
