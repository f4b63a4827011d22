#pragma once
// Single file-system operations on whole paths: what is at a path, making
// folders, removing and renaming files, new files of unique names, and the
// time and permissions an extracted file gets from the archive. Paths are
// UTF-8 text; reasons are the system's own words.
#include <cstdint>
#include <optional>
#include <string>

namespace coffer {

enum class EntryKind { kFile, kFolder, kOther };

struct EntryStatus {
  EntryKind kind = EntryKind::kOther;
  int64_t size = 0;        // bytes, for a file
  int64_t mtime_ns = 0;    // last write, nanoseconds since 1970 (UTC)
  uint32_t unix_mode = 0;  // type and permission bits in the Unix form
};

// What is at `path`, links followed. Nothing when the system cannot tell;
// `reason` (when given) then says why.
std::optional<EntryStatus> StatusOf(const std::string& path, std::string* reason = nullptr);

// Links followed, as StatusOf.
bool IsRegularFile(const std::string& path);
bool IsFolder(const std::string& path);

// Whether this process may open the file at `path` for reading.
bool IsReadableFile(const std::string& path);

// The system's text for the error of its last failed call on this thread.
std::string LastErrorText();

// Makes `path` and its missing parents; true when it is a folder after.
bool MakeFolders(const std::string& path);

enum class NewFolder { kMade, kTaken, kFailed };
// Makes the folder `path` for this user alone, never taking one that is
// there already (kTaken). After kFailed, LastErrorText() says why.
NewFolder MakePrivateFolder(const std::string& path);

// Deletes the file or link `path` (never a folder); "" when done, else the
// reason.
std::string RemoveFile(const std::string& path);

// Deletes the file or link in `folder` named `name` in any ASCII case (an
// entry of exactly that name first); folders are left alone.
void RemoveFileAnyCase(const std::string& folder, const std::string& name);

// Renames `from` to `to` in one step, replacing a file at `to`; "" when
// done, else the reason.
std::string RenameReplacing(const std::string& from, const std::string& to);

// Creates a new, empty file named `prefix` and six random characters,
// exclusively. Its path, or nothing with the reason in `reason`.
std::optional<std::string> CreateUniqueFile(const std::string& prefix, std::string* reason);

// Gives the file just extracted to `path` its stored last-write time (when
// known) and what its attributes allow of its permissions: the archive's
// attribute word holds the Windows attributes and, with bit 15 set, a Unix
// mode in its upper 16 bits, of which only the permission bits are taken,
// within the process's umask and always readable by its owner. Best effort:
// failures are ignored, and a link at `path` is never followed.
void ApplyItemMetadata(const std::string& path, std::optional<int64_t> mtime_ns, uint32_t attributes);

}  // namespace coffer
