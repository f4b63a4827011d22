#include "app/working_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>

#include "platform/error.h"

namespace coffer {
namespace {

constexpr int kNameAttempts = 100;

// The name comes from the unique-file routine; the file is swapped for a
// folder at once. Another process may take the name in between, so the
// folder is made exclusively and a taken name means another try.
std::optional<std::string> NewFolderIn(const std::string& base) {
  std::error_code ec;
  std::filesystem::create_directories(base, ec);
  for (int i = 0; i < kNameAttempts; ++i) {
    const auto file = CreateUniqueTempFile(base, "tv_");
    if (!file) return std::nullopt;
    ::unlink(file->c_str());
    if (::mkdir(file->c_str(), 0700) == 0) return WithSlash(*file);
    if (errno != EEXIST) return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace

std::string ChooseWorkingBase(int64_t size_bytes, const FreeSpaceSource& source) {
  const int64_t need = size_bytes / 1024 / 1024;
  const std::string temp = WithSlash(source.TempFolder());
  if (source.FreeMiB(temp).value_or(0) >= need) return temp;
  for (const std::string& root : source.CandidateRoots()) {
    const auto free = source.FreeMiB(root);
    if (free && *free > need) return WithSlash(root);
  }
  return temp;
}

std::string MakeWorkingFolder(int64_t size_bytes, const FreeSpaceSource& source) {
  const std::string base = ChooseWorkingBase(size_bytes, source);
  if (auto folder = NewFolderIn(base)) return *folder;
  const std::string temp = WithSlash(source.TempFolder());
  if (temp != base) {
    if (auto folder = NewFolderIn(temp)) return *folder;
  }
  throw Error("cannot create a working folder in " + base + ": " + std::strerror(errno));
}

std::string MakeWorkingFolder(int64_t size_bytes) { return MakeWorkingFolder(size_bytes, CurrentFreeSpace()); }

}  // namespace coffer
