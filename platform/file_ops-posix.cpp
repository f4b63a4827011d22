#include "platform/file_ops.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace coffer {
namespace {

constexpr uint32_t kAttribUnixExtension = 0x8000;

std::string AsciiLower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

bool IsNonFolderEntry(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

// The process's umask, read without changing it (umask() would, for a
// moment, for every thread). 022 where the kernel does not tell.
mode_t ProcessUmask() {
  static const mode_t value = [] {
    FILE* f = std::fopen("/proc/self/status", "re");
    mode_t m = 022;
    if (!f) return m;
    char line[256];
    while (std::fgets(line, sizeof line, f)) {
      unsigned v = 0;
      if (std::sscanf(line, "Umask: %o", &v) == 1) {
        m = static_cast<mode_t>(v & 0777);
        break;
      }
    }
    std::fclose(f);
    return m;
  }();
  return value;
}

}  // namespace

std::optional<EntryStatus> StatusOf(const std::string& path, std::string* reason) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) {
    if (reason) *reason = std::strerror(errno);
    return std::nullopt;
  }
  EntryStatus status;
  status.kind = S_ISREG(st.st_mode) ? EntryKind::kFile : S_ISDIR(st.st_mode) ? EntryKind::kFolder : EntryKind::kOther;
  status.size = static_cast<int64_t>(st.st_size);
  status.mtime_ns = int64_t{st.st_mtim.tv_sec} * 1000000000 + st.st_mtim.tv_nsec;
  status.unix_mode = static_cast<uint32_t>(st.st_mode) & 0177777;
  return status;
}

bool IsReadableFile(const std::string& path) { return ::access(path.c_str(), R_OK) == 0; }

std::string LastErrorText() { return std::strerror(errno); }

bool MakeFolders(const std::string& path) {
  std::error_code ec;
  std::filesystem::create_directories(path, ec);
  return IsFolder(path);
}

NewFolder MakePrivateFolder(const std::string& path) {
  if (::mkdir(path.c_str(), 0700) == 0) return NewFolder::kMade;
  return errno == EEXIST ? NewFolder::kTaken : NewFolder::kFailed;
}

std::string RemoveFile(const std::string& path) {
  return ::unlink(path.c_str()) == 0 ? std::string() : std::strerror(errno);
}

void RemoveFileAnyCase(const std::string& folder, const std::string& name) {
  std::string base = folder;
  if (base.empty() || base.back() != '/') base += '/';
  if (IsNonFolderEntry(base + name)) {
    ::unlink((base + name).c_str());
    return;
  }
  DIR* dir = ::opendir(base.c_str());
  if (!dir) return;
  const std::string wanted = AsciiLower(name);
  std::string found;
  while (dirent* entry = ::readdir(dir)) {
    const std::string candidate = entry->d_name;
    if (AsciiLower(candidate) == wanted && IsNonFolderEntry(base + candidate)) {
      found = candidate;
      break;
    }
  }
  ::closedir(dir);
  if (!found.empty()) ::unlink((base + found).c_str());
}

std::string RenameReplacing(const std::string& from, const std::string& to) {
  return ::rename(from.c_str(), to.c_str()) == 0 ? std::string() : std::strerror(errno);
}

std::optional<std::string> CreateUniqueFile(const std::string& prefix, std::string* reason) {
  std::string name = prefix + "XXXXXX";
  const int fd = ::mkstemp(name.data());
  if (fd < 0) {
    if (reason) *reason = std::strerror(errno);
    return std::nullopt;
  }
  ::close(fd);
  return name;
}

void ApplyItemMetadata(const std::string& path, std::optional<int64_t> mtime_ns, uint32_t attributes) {
  // The file was just made by us below a checked folder; never follow a
  // link that might have replaced it since.
  const int fd = ::open(path.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return;
  if (mtime_ns) {
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = static_cast<time_t>(*mtime_ns / 1000000000);
    times[1].tv_nsec = static_cast<long>(*mtime_ns % 1000000000);
    if (times[1].tv_nsec < 0) {
      times[1].tv_nsec += 1000000000;
      times[1].tv_sec -= 1;
    }
    (void)::futimens(fd, times);
  }
  if (attributes & kAttribUnixExtension) {
    // Never set-id or sticky bits; the recipient can always read what came.
    const mode_t mode = static_cast<mode_t>((attributes >> 16) & 0777) & ~ProcessUmask();
    (void)::fchmod(fd, mode | S_IRUSR);
  }
  ::close(fd);
}

}  // namespace coffer
