#include "extract/overwrite.h"

#include "platform/file_place.h"

namespace coffer {
namespace {

struct SplitPath {
  std::string folder;     // up to and with the last "/"
  std::string name;       // file name without its extension
  std::string extension;  // from the file name's last dot, or empty
};

SplitPath Split(const std::string& path) {
  const size_t slash = path.rfind('/');
  const size_t start = slash == std::string::npos ? 0 : slash + 1;
  const std::string file = path.substr(start);
  const size_t dot = file.rfind('.');
  if (dot == std::string::npos) return {path.substr(0, start), file, {}};
  return {path.substr(0, start), file.substr(0, dot), file.substr(dot)};
}

std::string Candidate(const SplitPath& p, int n) {
  return p.folder + p.name + "(" + std::to_string(n) + ")" + p.extension;
}

PlaceOutcome FromCopy(const PlaceCopyResult& r, const std::string& path) {
  if (r.status == PlaceCopyResult::kDone) return {PlaceResult::kPlaced, {}, path};
  return {PlaceResult::kFailed, r.error, {}};
}

PlaceOutcome Replace(const std::string& source, const std::string& destination) {
  return FromCopy(CopyIntoPlace(source, destination, PlaceMode::kReplace), destination);
}

// Every copy claims its name without replacing, so a file that appears
// between the look and the copy is skipped, not overwritten.
PlaceOutcome PlaceRenamed(const std::string& source, const std::string& destination, int limit) {
  const SplitPath parts = Split(destination);
  for (int n = 1; n <= limit; ++n) {
    const std::string candidate = Candidate(parts, n);
    if (EntryExists(candidate)) continue;
    const PlaceCopyResult r = CopyIntoPlace(source, candidate, PlaceMode::kNoReplace);
    if (r.status != PlaceCopyResult::kExists) return FromCopy(r, candidate);
  }
  return {PlaceResult::kFailed, "no free numbered name for " + destination, {}};
}

PlaceOutcome Keep(const std::string& source) {
  // A scratch copy that will not go is left to the scratch folder's removal.
  RemoveFileEntry(source);
  return {PlaceResult::kKept, {}, {}};
}

}  // namespace

std::optional<std::string> AutoRename(const std::string& path, int limit) {
  const SplitPath parts = Split(path);
  for (int n = 1; n <= limit; ++n) {
    std::string candidate = Candidate(parts, n);
    if (!EntryExists(candidate)) return candidate;
  }
  return std::nullopt;
}

PlaceOutcome PlaceFile(const std::string& source, const std::string& destination, OverwriteAnswer& standing,
                       const OverwriteQuestion& ask, ProgressRecord& record, int rename_limit) {
  // A folder in the way is no file to replace: the copy reports it.
  if (!EntryExists(destination) || IsFolderEntry(destination)) return Replace(source, destination);

  switch (standing) {
    case OverwriteAnswer::kNoToAll: return {PlaceResult::kKept, {}, {}};
    case OverwriteAnswer::kYesToAll: return Replace(source, destination);
    case OverwriteAnswer::kAutoRename: return PlaceRenamed(source, destination, rename_limit);
    default: break;
  }
  standing = ask();
  switch (standing) {
    case OverwriteAnswer::kYes:
    case OverwriteAnswer::kYesToAll: return Replace(source, destination);
    case OverwriteAnswer::kAutoRename: return PlaceRenamed(source, destination, rename_limit);
    case OverwriteAnswer::kCancel:
      record.RequestCancel();
      return Keep(source);
    case OverwriteAnswer::kNo:
    case OverwriteAnswer::kNoToAll:
    default:  // an answer no button gives: the safe one
      return Keep(source);
  }
}

}  // namespace coffer
