#include "platform/paths.h"
#include "platform/system-win32.h"

#include <cctype>

namespace coffer {
namespace {

constexpr std::string_view kFolderEnds = "\\/";
constexpr std::string_view kNameStarts = "\\/:";

// The root of the drive or share that `path` is on: "C:\", or
// "\\server\share\" for a network path; "" when it names neither.
std::wstring DriveRoot(const std::wstring& path) {
  if (path.size() >= 2 && path[1] == L':') return path.substr(0, 2) + L"\\";
  if (path.size() > 2 && win32::IsSeparator(path[0]) && win32::IsSeparator(path[1])) {
    size_t end = path.find_first_of(L"\\/", 2);
    if (end != std::wstring::npos) end = path.find_first_of(L"\\/", end + 1);
    std::wstring root = path.substr(0, end);
    for (wchar_t& c : root)
      if (c == L'/') c = L'\\';
    return root + L"\\";
  }
  return {};
}

// No "insert a disk" box for a drive without a medium: the query just fails.
class QuietErrors {
 public:
  QuietErrors() { ::SetThreadErrorMode(SEM_FAILCRITICALERRORS, &previous_); }
  ~QuietErrors() { ::SetThreadErrorMode(previous_, nullptr); }
  QuietErrors(const QuietErrors&) = delete;
  QuietErrors& operator=(const QuietErrors&) = delete;

 private:
  DWORD previous_ = 0;
};

}  // namespace

std::string WithSlash(std::string path) { return WithSeparator(std::move(path), kFolderEnds); }

std::string FolderOfPath(const std::string& path) { return FolderPart(path, kNameStarts); }

std::string FileNameOfPath(const std::string& path) { return FileNamePart(path, kNameStarts); }

std::string TempFolder() {
  wchar_t buffer[260];
  const DWORD n = ::GetTempPathW(259, buffer);
  if (n == 0 || n > 259) return WithSlash("C:\\");
  return WithSlash(win32::Narrow(std::wstring_view(buffer, n)));
}

std::optional<std::string> CreateUniqueTempFile(const std::string& folder, const std::string& prefix) {
  // The system takes the first three characters of the prefix, starts at a
  // number of its own and moves on past taken names; it fails when all
  // 65,536 are taken.
  wchar_t buffer[MAX_PATH];
  if (::GetTempFileNameW(win32::Widen(folder).c_str(), win32::Widen(prefix).c_str(), 0, buffer) == 0)
    return std::nullopt;
  return win32::Narrow(buffer);
}

std::optional<int64_t> FreeSpaceMiB(const std::string& path) {
  const std::wstring root = DriveRoot(win32::Widen(path));
  if (root.empty()) return std::nullopt;
  DWORD sectors_per_cluster = 0, bytes_per_sector = 0, free_clusters = 0, clusters = 0;
  const QuietErrors quiet;
  if (!::GetDiskFreeSpaceW(root.c_str(), &sectors_per_cluster, &bytes_per_sector, &free_clusters, &clusters))
    return std::nullopt;
  const uint64_t bytes = uint64_t{free_clusters} * bytes_per_sector * sectors_per_cluster;
  return static_cast<int64_t>(bytes / 1024 / 1024);
}

std::vector<std::string> WritableMountPoints() {
  // Every letter from C to Z: one that is no drive has no known free space
  // and is never chosen.
  std::vector<std::string> roots;
  for (char letter = 'C'; letter <= 'Z'; ++letter) roots.push_back(std::string(1, letter) + ":\\");
  return roots;
}

std::string OwnExecutablePath() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) return win32::Narrow(std::wstring_view(buffer.data(), n));
    buffer.resize(buffer.size() * 2);
  }
}

// GetTempFileNameW writes the number in hex; Wine leaves out leading
// zeros and writes lower case.
bool IsUniqueTempName(std::string_view name, std::string_view prefix) {
  if (name.size() < prefix.size() + 5 || name.size() > prefix.size() + 8) return false;
  if (!name.ends_with(".tmp") || name.substr(0, prefix.size()) != prefix) return false;
  for (char c : name.substr(prefix.size(), name.size() - prefix.size() - 4))
    if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
  return true;
}

}  // namespace coffer
