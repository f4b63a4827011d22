#pragma once
// File-system places the program asks the system about: the temporary
// folder, unique "tv_" names in it, free space, the mount points that stand
// in for drive letters (the drives on Windows), and the program's own file.
// Folder paths end in the system's separator: "/" here, "\" on Windows.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace coffer {

// The temporary-files folder, ending in the separator.
std::string TempFolder();

// Creates an empty file `folder` + `prefix` + four upper-case hex digits +
// ".tmp" exclusively: the first number is random, a taken one moves on to
// the next. Nothing when all 65,536 are taken or the folder refuses.
std::optional<std::string> CreateUniqueTempFile(const std::string& folder, const std::string& prefix);

// Whether `name` has the form CreateUniqueTempFile gives with `prefix`:
// here four upper-case hex digits; on Windows the system's own names, one
// to four hex digits in either case.
bool IsUniqueTempName(std::string_view name, std::string_view prefix);

// Free space for unprivileged writers on the file system holding `path`,
// in whole MiB; nothing when the system cannot tell.
std::optional<int64_t> FreeSpaceMiB(const std::string& path);

// The writable mount points of real file systems, in the system's order,
// each ending in "/"; on Windows the drive roots "C:\" to "Z:\".
std::vector<std::string> WritableMountPoints();

// The full path of the running executable.
std::string OwnExecutablePath();

// `path` with a separator at its end (added only when missing).
std::string WithSlash(std::string path);

// The folder part of `path`, ending in its separator ("/a/b/c" gives
// "/a/b/"; on Windows "C:\a\b" gives "C:\a\", and "C:b" gives "C:").
std::string FolderOfPath(const std::string& path);

// The file name part of `path`, after its last separator (or, on Windows,
// its drive colon).
std::string FileNameOfPath(const std::string& path);

// The three above for any system: `separators` are the characters that
// end a folder part, the first of them the one WithSeparator adds. Linux
// passes "/", Windows "\/" to WithSeparator and "\/:" to the others.
std::string WithSeparator(std::string path, std::string_view separators);
std::string FolderPart(const std::string& path, std::string_view separators);
std::string FileNamePart(const std::string& path, std::string_view separators);
// The parts of a relative path between its separators, empty ones kept.
std::vector<std::string_view> PathParts(std::string_view rel, std::string_view separators);

// Where a working folder may go and how much room there is: the system's
// answers by default; tests put in their own.
class FreeSpaceSource {
 public:
  virtual ~FreeSpaceSource() = default;
  virtual std::string TempFolder() const = 0;
  virtual std::vector<std::string> CandidateRoots() const = 0;
  virtual std::optional<int64_t> FreeMiB(const std::string& path) const = 0;
};

// The system's source: TempFolder(), WritableMountPoints(), FreeSpaceMiB().
const FreeSpaceSource& SystemFreeSpace();

// The source in force for this process (the system's unless replaced).
const FreeSpaceSource& CurrentFreeSpace();

// Puts `source` in force for its lifetime; the previous one comes back
// after. Not for use while a worker thread is running.
class ScopedFreeSpaceSource {
 public:
  explicit ScopedFreeSpaceSource(const FreeSpaceSource& source);
  ~ScopedFreeSpaceSource();
  ScopedFreeSpaceSource(const ScopedFreeSpaceSource&) = delete;
  ScopedFreeSpaceSource& operator=(const ScopedFreeSpaceSource&) = delete;

 private:
  const FreeSpaceSource* previous_;
};

}  // namespace coffer
