#include "platform/paths.h"

#include <fcntl.h>
#include <glib.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <string_view>
#include <utility>

namespace coffer {
namespace {

// /proc/self/mounts writes blanks, tabs, newlines and backslashes in names
// as three-digit octal escapes.
std::string Unescape(const std::string& field) {
  std::string out;
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\') {
      const std::string digits = field.substr(i + 1, 3);
      if (digits.size() == 3 && digits.find_first_not_of("01234567") == std::string::npos) {
        out += static_cast<char>(std::stoi(digits, nullptr, 8));
        i += 3;
        continue;
      }
    }
    out += field[i];
  }
  return out;
}

// Kernel and pseudo file systems: writable on paper, but no place for files.
bool IsPseudoFileSystem(std::string_view type) {
  static constexpr std::array<std::string_view, 22> kTypes = {
      "proc",     "sysfs",      "devtmpfs", "devpts",    "cgroup",      "cgroup2", "mqueue", "debugfs",
      "tracefs",  "securityfs", "pstore",   "bpf",       "configfs",    "fusectl", "autofs", "binfmt_misc",
      "efivarfs", "rpc_pipefs", "nsfs",     "selinuxfs", "hugetlbfs", "fuse.gvfsd-fuse"};
  for (auto t : kTypes)
    if (t == type) return true;
  return false;
}

bool HasOption(const std::string& options, std::string_view option) {
  std::istringstream in(options);
  std::string item;
  while (std::getline(in, item, ','))
    if (item == option) return true;
  return false;
}

}  // namespace

std::string WithSlash(std::string path) { return WithSeparator(std::move(path), "/"); }

std::string TempFolder() { return WithSlash(g_get_tmp_dir()); }

std::optional<std::string> CreateUniqueTempFile(const std::string& folder, const std::string& prefix) {
  const std::string base = WithSlash(folder);
  std::random_device seed;
  const uint32_t first = seed() & 0xFFFF;
  for (uint32_t n = 0; n < 0x10000; ++n) {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%04X", (first + n) & 0xFFFF);
    std::string path = base + prefix + digits + ".tmp";
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) {
      ::close(fd);
      return path;
    }
    if (errno != EEXIST) return std::nullopt;
  }
  return std::nullopt;
}

std::optional<int64_t> FreeSpaceMiB(const std::string& path) {
  struct statvfs st;
  if (::statvfs(path.c_str(), &st) != 0) return std::nullopt;
  const unsigned __int128 bytes = static_cast<unsigned __int128>(st.f_bavail) * st.f_frsize;
  return static_cast<int64_t>(bytes / 1024 / 1024);
}

std::vector<std::string> WritableMountPoints() {
  std::vector<std::string> roots;
  std::ifstream in("/proc/self/mounts");
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string device, point, type, options;
    if (!(fields >> device >> point >> type >> options)) continue;
    point = Unescape(point);
    if (IsPseudoFileSystem(type) || HasOption(options, "ro")) continue;
    if (point.rfind("/proc/", 0) == 0 || point.rfind("/sys/", 0) == 0 || point == "/proc" || point == "/sys")
      continue;
    if (::access(point.c_str(), W_OK) != 0) continue;
    roots.push_back(WithSlash(point));
  }
  return roots;
}

std::string OwnExecutablePath() {
  std::string buf(4096, '\0');
  const ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size());
  if (n <= 0) return {};
  buf.resize(static_cast<size_t>(n));
  return buf;
}

std::string FolderOfPath(const std::string& path) { return FolderPart(path, "/"); }

std::string FileNameOfPath(const std::string& path) { return FileNamePart(path, "/"); }

bool IsUniqueTempName(std::string_view name, std::string_view prefix) {
  if (name.size() != prefix.size() + 8 || name.substr(0, prefix.size()) != prefix || !name.ends_with(".tmp"))
    return false;
  for (char c : name.substr(prefix.size(), 4))
    if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return false;
  return true;
}

}  // namespace coffer
