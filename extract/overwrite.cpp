#include "extract/overwrite.h"

#include "platform/file_place.h"

namespace coffer {
namespace {

struct SplitName {
  std::string stem;       // file name without its extension
  std::string extension;  // from the file name's last dot, or empty
};

SplitName Split(const std::string& name) {
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos) return {name, {}};
  return {name.substr(0, dot), name.substr(dot)};
}

std::string Candidate(const SplitName& p, int n) { return p.stem + "(" + std::to_string(n) + ")" + p.extension; }

// Where the file comes from and where it goes.
struct Spot {
  const OpenFolder& source_folder;
  const std::string& source;
  const OpenFolder& folder;
  const std::string& name;
  ProgressRecord& record;
};

// The scratch copy is not needed once placed: it is moved where it can be.
PlaceOutcome Put(const Spot& s, const std::string& name, PlaceMode mode, PlaceCopyResult* raw = nullptr) {
  const PlaceCopyResult r =
      MoveIntoPlace(s.source_folder, s.source, s.folder, name, mode, [&] { return s.record.Cancelled(); });
  if (raw) *raw = r;
  switch (r.status) {
    case PlaceCopyResult::kDone: return {PlaceResult::kPlaced, {}, s.folder.path() + name, r.replaced_at_source};
    case PlaceCopyResult::kStopped: return {PlaceResult::kKept, {}, {}};
    default: return {PlaceResult::kFailed, r.error, {}};
  }
}

PlaceOutcome Replace(const Spot& s) { return Put(s, s.name, PlaceMode::kReplace); }

// Every file claims its name without replacing, so a file that appears
// between the look and the copy is skipped, not overwritten.
PlaceOutcome PlaceRenamed(const Spot& s, int limit) {
  const SplitName parts = Split(s.name);
  for (int n = 1; n <= limit; ++n) {
    const std::string candidate = Candidate(parts, n);
    if (EntryExists(s.folder, candidate)) continue;
    PlaceCopyResult raw;
    PlaceOutcome outcome = Put(s, candidate, PlaceMode::kNoReplace, &raw);
    if (raw.status != PlaceCopyResult::kExists) return outcome;
  }
  return {PlaceResult::kFailed, "no free numbered name for " + s.folder.path() + s.name, {}};
}

PlaceOutcome Keep(const Spot& s) {
  // A scratch copy that will not go is left to the scratch folder's removal.
  RemoveFileEntry(s.source_folder, s.source);
  return {PlaceResult::kKept, {}, {}};
}

}  // namespace

std::optional<std::string> AutoRename(const OpenFolder& folder, const std::string& name, int limit) {
  const SplitName parts = Split(name);
  for (int n = 1; n <= limit; ++n) {
    std::string candidate = Candidate(parts, n);
    if (!EntryExists(folder, candidate)) return candidate;
  }
  return std::nullopt;
}

PlaceOutcome PlaceFile(const OpenFolder& source_folder, const std::string& source, const OpenFolder& folder,
                       const std::string& name, OverwriteAnswer& standing, const OverwriteQuestion& ask,
                       ProgressRecord& record, int rename_limit) {
  const Spot s{source_folder, source, folder, name, record};
  // Yes to all replaces whatever is there, as a free place is taken: no
  // need to look first.
  if (standing == OverwriteAnswer::kYesToAll) return Replace(s);
  // A folder in the way is no file to replace: the copy reports it.
  const std::optional<EntryKind> there = KindOfEntry(folder, name);
  if (!there || *there == EntryKind::kFolder) return Replace(s);

  switch (standing) {
    case OverwriteAnswer::kNoToAll: return {PlaceResult::kKept, {}, {}};
    case OverwriteAnswer::kYesToAll: return Replace(s);
    case OverwriteAnswer::kAutoRename: return PlaceRenamed(s, rename_limit);
    default: break;
  }
  standing = ask();
  switch (standing) {
    case OverwriteAnswer::kYes:
    case OverwriteAnswer::kYesToAll: return Replace(s);
    case OverwriteAnswer::kAutoRename: return PlaceRenamed(s, rename_limit);
    case OverwriteAnswer::kCancel:
      record.RequestCancel();
      return Keep(s);
    case OverwriteAnswer::kNo:
    case OverwriteAnswer::kNoToAll:
    default:  // an answer no button gives: the safe one
      return Keep(s);
  }
}

PlaceOutcome PlaceFile(const std::string& source, const std::string& destination, OverwriteAnswer& standing,
                       const OverwriteQuestion& ask, ProgressRecord& record, int rename_limit) {
  const FolderAndName from = SplitAtFolder(source);
  const FolderAndName to = SplitAtFolder(destination);
  return PlaceFile(from.folder, from.name, to.folder, to.name, standing, ask, record, rename_limit);
}

}  // namespace coffer
