#pragma once
// Writing a 7z archive with the read-write engine module, for the packer.
// Nothing here needs the library's headers.
//
//   T7zOutArchive writer(read_write_module_path);
//   WriteOptions options;
//   options.password = "secret";              // AES-256; names stay readable
//   std::vector<UnpackableEntry> unpackable;  // links to nowhere, fifos, ...
//   auto items = ItemsBelow("/home/me/photos", "", unpackable);  // or build the list by hand
//   items.push_back(ArchiveItem::FromBytes("probe.bin", random_bytes));
//   writer.Write(output_stream, items, options, [](uint64_t total, uint64_t done) { return true; });
//
// The archive starts at the stream's current position (the packer writes
// it right behind the extractor image in the same file); the library's
// offsets are all relative to that start.
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/stream.h"
#include "sevenzip/t7z_plugin.h"

namespace coffer::sevenzip {

struct ArchiveItem {
  std::string path;    // inside the archive, "/" between components
  std::string source;  // file or folder on disk; empty for an in-memory item
  std::string bytes;   // content of an in-memory file
  bool is_folder = false;  // an in-memory folder entry (disk items: from the disk)
  // Modification time; by default the disk item's, or the time of writing.
  std::optional<std::chrono::system_clock::time_point> mtime;

  static ArchiveItem FromDisk(std::string path, std::string source);
  static ArchiveItem FromBytes(std::string path, std::string bytes);
  static ArchiveItem Folder(std::string path);
};

// True for a relative path with "/" between real names (no empty, "." or
// ".." component): the only kind the writer stores.
bool IsValidArchivePath(std::string_view path);

// Why an entry of a source tree cannot be packed.
enum class Unpackable {
  kDanglingLink,  // a symbolic link to nothing
  kLinkLoop,      // links that lead round in a circle, or to a folder holding them
  kNotFileOrFolder,  // a fifo, socket or device (or a link to one)
  kUnreadable,    // the system refuses to read it
};
struct UnpackableEntry {
  std::string source;  // its path on disk
  Unpackable why;
  std::string reason;  // the system's words for kUnreadable
};
// The reason in English, for the terminal: "the link leads nowhere".
std::string UnpackableText(const UnpackableEntry& entry);

// Every file and folder below `folder` (folders included, also when empty),
// as items whose paths are `prefix` followed by the path below `folder`,
// parents before children. Symbolic links are followed as `7zz a` does: a
// link stands for what it leads to under its own name, a folder's whole
// content included. Entries that cannot be packed are left out and added
// to `unpackable`; throws coffer::Error when `folder` itself cannot be read.
std::vector<ArchiveItem> ItemsBelow(const std::string& folder, const std::string& prefix,
                                    std::vector<UnpackableEntry>& unpackable);

struct WriteOptions {
  std::string password;  // empty: no encryption
  int level = 5;         // 1 to 9 for LZMA2; 0 stores (Copy)
  int threads = 0;       // 0: as many as the machine has
  bool solid = true;
  bool encrypt_names = false;  // header encryption; off keeps names listable
};

// Called with the total and the bytes done so far; false cancels.
using WriteProgress = std::function<bool(uint64_t total, uint64_t completed)>;

class T7zOutArchive : public T7zPlugin {
 public:
  // Loads the read-write module; throws coffer::Error with the loading
  // messages when it is not a 7z format library.
  explicit T7zOutArchive(const std::string& module_path);

  // Writes `items` as a 7z archive (LZMA2) at the stream's current position
  // and leaves the stream positioned at the archive's end. Failures raise:
  // coffer::Error naming the file for our own I/O, std::system_error in the
  // engine's category for the library's codes ("Operation aborted" when the
  // progress handler cancels). After a failure the stream holds garbage
  // from the start position on.
  void Write(HostStream& stream, const std::vector<ArchiveItem>& items, const WriteOptions& options,
             const WriteProgress& progress = {});
};

}  // namespace coffer::sevenzip
