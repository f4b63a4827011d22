#pragma once
// Packing: the extractor image, padded to where the extractor looks for its
// archive, followed by a 7z archive of the sources and the probe item.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "pack/options.h"
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

// The archive items for `sources`: each folder under its own name with
// everything below it, each file at the top level. Throws coffer::Error for
// a missing source, two sources of one name, a top-level name equal to the
// probe's in any case, or an `output` that is a source or lies inside one.
std::vector<sevenzip::ArchiveItem> CollectItems(const std::vector<std::string>& sources,
                                                const std::string& output);

// Runs a whole pack for the command line; prints its messages; returns the
// exit status.
int RunPack(const Options& options);

}  // namespace coffer::pack
