#pragma once
// What happens to an extracted file whose place in the output tree is
// taken: replace, keep, or put it beside under a numbered name, as the
// user answers or as a standing answer from an earlier conflict decides.
#include <functional>
#include <optional>
#include <string>

#include "extract/job_host.h"
#include "extract/progress.h"
#include "platform/open_folder.h"

namespace coffer {

enum class PlaceResult {
  kPlaced,  // the new file is in the tree (at `path`)
  kKept,    // the existing file stays, by the answer (or the job stops)
  kFailed,  // the new file could not be put in; the existing one is intact
};

struct PlaceOutcome {
  PlaceResult result = PlaceResult::kPlaced;
  std::string reason;  // kFailed: what went wrong
  std::string path;    // kPlaced: where the file went (as text)
  // kPlaced by swapping names with the file it replaced: that file is now
  // the source, for the caller to delete.
  bool replaced_at_source = false;
};

// The highest number automatic renaming tries before it gives up.
inline constexpr int kMaxRenameNumber = 9999;

// The first of name + "(n)" + extension, n = 1 to `limit`, that names no
// entry in `folder`: "readme" gives "readme(1)", ".config" gives
// "(1).config", "a.jpg" beside "a(1).jpg" gives "a(2).jpg". Nothing when
// all are taken.
std::optional<std::string> AutoRename(const OpenFolder& folder, const std::string& name,
                                      int limit = kMaxRenameNumber);

// Asks the user about one conflict (the host's overwrite question).
using OverwriteQuestion = std::function<OverwriteAnswer()>;

// Places the extracted file `source` (in `source_folder`) as `name` in
// `folder`, moving it where both folders are on one file system and
// copying it otherwise. A free destination (no entry, or a folder) is
// simply put there.
// A taken one is decided by `standing`: No to all keeps it, Yes to all
// replaces it, Auto rename puts the file beside it; anything else asks, and
// the answer becomes the standing one. No and No to all delete the source
// at once; Cancel deletes it and sets the record's cancel flag. A cancel
// that comes during a copy stops it (kKept). Nothing here ever loses the
// existing file: a replace that fails leaves it as it was.
PlaceOutcome PlaceFile(const OpenFolder& source_folder, const std::string& source, const OpenFolder& folder,
                       const std::string& name, OverwriteAnswer& standing, const OverwriteQuestion& ask,
                       ProgressRecord& record, int rename_limit = kMaxRenameNumber);
// The same for whole paths, whose folders must exist.
PlaceOutcome PlaceFile(const std::string& source, const std::string& destination, OverwriteAnswer& standing,
                       const OverwriteQuestion& ask, ProgressRecord& record,
                       int rename_limit = kMaxRenameNumber);

}  // namespace coffer
