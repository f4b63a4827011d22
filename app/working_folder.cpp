#include "app/working_folder.h"

#include <algorithm>
#include <mutex>
#include <optional>

#include "app/files.h"
#include "platform/debug.h"
#include "platform/error.h"
#include "platform/file_ops.h"
#include "platform/run_lock.h"
#include "platform/tree.h"

namespace coffer {
namespace {

constexpr int kNameAttempts = 100;

// The name comes from the unique-file routine; the file is swapped for a
// folder at once. Another process may take the name in between, so the
// folder is made exclusively and a taken name means another try.
std::optional<std::string> NewFolderIn(const std::string& base) {
  MakeFolders(base);
  for (int i = 0; i < kNameAttempts; ++i) {
    const auto file = CreateUniqueTempFile(base, "tv_");
    if (!file) return std::nullopt;
    RemoveFile(*file);
    const NewFolder made = MakePrivateFolder(*file);
    if (made == NewFolder::kMade) {
      const std::string folder = WithSlash(*file);
      if (!HoldRunLock(folder)) DebugLine("no run lock in " + folder + ": a later run will not clear it");
      return folder;
    }
    if (made == NewFolder::kFailed) return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace

void SweepDeadWorkingFolders(const FreeSpaceSource& source) {
  std::vector<std::string> bases = {WithSlash(source.TempFolder())};
  for (const std::string& root : source.CandidateRoots())
    if (std::find(bases.begin(), bases.end(), WithSlash(root)) == bases.end()) bases.push_back(WithSlash(root));
  for (const std::string& base : bases) {
    for (const std::string& name : SubfolderNames(base)) {
      // Only names our own rule makes, in the system's form.
      if (!IsUniqueTempName(name, "tv_")) continue;
      const std::string folder = WithSlash(base + name);
      if (ClaimRunFolder(folder) != RunClaim::kClaimed) continue;
      DebugLine((RemoveTree(folder) ? "removed " : "could not remove all of ") + folder +
                ", the working folder of a run that ended without clearing it");
    }
  }
}

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
  static std::once_flag swept;
  std::call_once(swept, [&] { SweepDeadWorkingFolders(source); });
  const std::string base = ChooseWorkingBase(size_bytes, source);
  if (auto folder = NewFolderIn(base)) return *folder;
  const std::string temp = WithSlash(source.TempFolder());
  if (temp != base) {
    if (auto folder = NewFolderIn(temp)) return *folder;
  }
  throw Error("cannot create a working folder in " + base + ": " + LastErrorText());
}

std::string MakeWorkingFolder(int64_t size_bytes) { return MakeWorkingFolder(size_bytes, CurrentFreeSpace()); }

}  // namespace coffer
