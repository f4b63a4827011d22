#pragma once
// Packing: the extractor image, padded to where the extractor looks for its
// archive, followed by a 7z archive of the sources and the probe item.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "pack/options.h"
#include "platform/error.h"
#include "sevenzip/writer.h"

namespace coffer::pack {

// Where the extractor reads its archive from.
inline constexpr int64_t kPayloadOffset = 786432;
// The archive must start within the engine's signature scan window counted
// from the payload offset, so the image may be at most this long.
inline constexpr int64_t kMaxImageSize = 1835008;

// The parts the packer puts together; found beside the packer's own file.
struct PackParts {
  std::string extractor_image;
  std::string rw_module;
};

// The extractor image (`--extractor`, else "coffer" beside the packer, or
// for `windows` "coffer.exe" beside it or in the Windows build tree) and the
// read-write engine module. Throws coffer::Error when one is missing, the
// image is too long, or it is a program of the other system.
PackParts FindParts(const std::optional<std::string>& extractor, bool windows);

// The read-write module: beside the packer, in its "engine/" folder, or
// where the build put it. Nothing when none exists.
std::optional<std::string> FindRwModule(const std::string& packer_folder);

// `output` with ".run" (for `windows` ".exe") added when its name has no
// extension of its own.
std::string WithRunExtension(const std::string& output, bool windows = false);

// Why a pack is refused before anything is written. The window words
// each kind in the user's language; the terminal prints what().
enum class Refusal {
  kSourceUnreadable,    // subject: the source
  kOutputInsideSource,  // subject: the source the output would be or lie in
  kOutputIsFolder,      // subject: the output
  kDuplicateName,       // subject: the name two sources share
  kUnpackable,          // entries: what cannot be packed
  kOther,
};

class PackRefused : public Error {
 public:
  PackRefused(Refusal kind, std::string subject, const std::string& text,
              std::vector<sevenzip::UnpackableEntry> entries = {})
      : Error(text), kind(kind), subject(std::move(subject)), entries(std::move(entries)) {}
  Refusal kind;
  std::string subject;
  std::vector<sevenzip::UnpackableEntry> entries;
};

// The archive items for `sources`: each folder under its own name with
// everything below it (links followed), each file at the top level.
// Entries that cannot be packed are added to `unpackable`. Throws
// PackRefused for a missing source, two sources of one name, a top-level
// name equal to the probe's in any case, or an `output` that is a source
// or lies inside one.
std::vector<sevenzip::ArchiveItem> CollectItems(const std::vector<std::string>& sources, const std::string& output,
                                                std::vector<sevenzip::UnpackableEntry>& unpackable);

// A pack as the terminal and the window ask for it, before the password.
struct PackSpec {
  std::string output;  // as given: WithRunExtension is applied
  std::vector<std::string> sources;
  std::optional<std::string> extractor;
  bool windows = false;
  bool hide_names = false;       // encrypt the headers: names and sizes too
  bool skip_unreadable = false;  // leave out what cannot be packed
};

struct PackSummary {
  std::string output;
  size_t files = 0;
  size_t folders = 0;
  int64_t bytes = 0;
};

// One pack: the checks and the collection happen on construction, so that
// a refusal comes before the password is asked and before anything is
// written; Write then makes the file.
class PackJob {
 public:
  // Throws PackRefused, or coffer::Error for missing parts.
  explicit PackJob(const PackSpec& spec);
  PackJob(const PackJob&) = delete;
  PackJob& operator=(const PackJob&) = delete;

  const std::string& output() const { return output_; }
  // What skip_unreadable left out.
  const std::vector<sevenzip::UnpackableEntry>& skipped() const { return skipped_; }

  // Writes under a temporary name and renames it into place; a failure or
  // a cancel (`progress` answering false) leaves nothing. Throws.
  PackSummary Write(const std::string& password, const sevenzip::WriteProgress& progress);

 private:
  PackSpec spec_;
  std::string output_;
  std::vector<sevenzip::ArchiveItem> items_;
  std::vector<sevenzip::UnpackableEntry> skipped_;
  PackParts parts_;
  std::unique_ptr<sevenzip::T7zOutArchive> writer_;
  std::string image_;
};

// Whether the Windows program is there to pack for Windows recipients.
bool WindowsImageAvailable();

// What the sender tells the recipient to do with `output`: the terminal's
// last line.
std::string RecipientAdvice(const std::string& output, bool windows);

// Runs a whole pack for the command line; prints its messages; returns the
// exit status.
int RunPack(const Options& options);

}  // namespace coffer::pack
