#include "pack/packer.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <random>
#include <set>

#include "app/files.h"
#include "pack/terminal.h"
#include "pack/temp_output.h"
#include "platform/error.h"
#include "platform/file_ops.h"
#include "platform/fs_path.h"
#include "platform/paths.h"
#include "platform/stream.h"

namespace coffer::pack {
namespace {

namespace fs = std::filesystem;

constexpr size_t kProbeSize = 1024;

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

// The name a source takes at the top of the archive: its own last
// component as given (a link keeps its own name), also when it was given
// as "." or with a trailing slash.
std::string TopLevelName(const std::string& source) {
  std::error_code ec;
  fs::path normal = fs::absolute(FsPath(source), ec).lexically_normal();
  if (!normal.has_filename()) normal = normal.parent_path();
  const std::string name = Utf8Path(normal.filename());
  if (ec || name.empty() || name == "." || name == "..")
    throw Error("cannot tell the name " + source + " would have in the archive");
  return name;
}

bool IsInside(const fs::path& inner, const fs::path& outer) {
  auto o = outer.begin();
  auto i = inner.begin();
  for (; o != outer.end(); ++o, ++i) {
    if (i == inner.end() || *i != *o) return false;
  }
  return true;
}

std::string RandomProbe() {
  std::random_device device;
  std::string bytes(kProbeSize, '\0');
  for (auto& c : bytes) c = static_cast<char>(device());
  return bytes;
}

std::string ReadImage(const std::string& path) {
  FileStream in(path, FileMode::kRead);
  const int64_t size = in.Size();
  if (size > kMaxImageSize) throw Error("the extractor image " + path + " grew while being read");
  std::string image(static_cast<size_t>(size), '\0');
  int64_t done = 0;
  while (done < size) {
    const int64_t n = in.Read(image.data() + done, size - done);
    if (n <= 0) throw Error("unexpected end of the extractor image " + path);
    done += n;
  }
  return image;
}

// A Windows program begins "MZ", a Linux one with the ELF magic: a file
// for one system's recipients with the other's program in front would not
// start for them.
void CheckImageSystem(const std::string& image, const std::string& path, bool windows) {
  const bool is_windows = image.rfind("MZ", 0) == 0;
  const bool is_linux = image.rfind("\x7f" "ELF", 0) == 0;
  if (windows && is_linux)
    throw Error("the extractor image " + path + " is a Linux program; --windows needs the Windows one (coffer.exe)");
  if (!windows && is_windows)
    throw Error("the extractor image " + path + " is a Windows program; add --windows to pack for Windows recipients");
}

}  // namespace

std::optional<std::string> FindRwModule(const std::string& packer_folder) {
  std::vector<std::string> candidates = {packer_folder + "coffer_engine_rw.so",
                                         packer_folder + "engine/coffer_engine_rw.so"};
#ifdef COFFER_ENGINE_RW_BUILD_PATH
  candidates.push_back(COFFER_ENGINE_RW_BUILD_PATH);
#endif
  for (const auto& c : candidates) {
    if (IsReadableFile(c)) return c;
  }
  return std::nullopt;
}

PackParts FindParts(const std::optional<std::string>& extractor, bool windows) {
  const std::string folder = FolderOfPath(OwnExecutablePath());
  PackParts parts;
  if (extractor) {
    parts.extractor_image = *extractor;
  } else if (!windows) {
    parts.extractor_image = folder + "coffer";
  } else {
    parts.extractor_image = folder + "coffer.exe";
#ifdef COFFER_WINDOWS_IMAGE_BUILD_PATH
    if (!IsReadableFile(parts.extractor_image) && IsReadableFile(COFFER_WINDOWS_IMAGE_BUILD_PATH))
      parts.extractor_image = COFFER_WINDOWS_IMAGE_BUILD_PATH;
#endif
  }
  const auto image = StatusOf(parts.extractor_image);
  if (!image || image->kind != EntryKind::kFile)
    throw Error("the extractor image " + parts.extractor_image + " is missing" +
                (extractor ? ""
                 : windows ? "; build the Windows program (scripts/build --windows) or put coffer.exe beside coffer-pack"
                           : "; build the coffer program beside coffer-pack"));
  if (image->size > kMaxImageSize)
    throw Error("the extractor image " + parts.extractor_image + " is " + std::to_string(image->size) +
                " bytes; it may be at most " + std::to_string(kMaxImageSize) +
                " bytes, or the extractor cannot find the archive behind it (is it stripped?)");
  const auto module = FindRwModule(folder);
  if (!module)
    throw Error("the read-write engine module coffer_engine_rw.so is missing from " + folder + " and " + folder +
                "engine/");
  parts.rw_module = *module;
  return parts;
}

std::string WithRunExtension(const std::string& output, bool windows) {
  const std::string name = Utf8Path(FsPath(output).filename());
  const std::string stem = FileNameWithoutExtension(output);
  return stem.empty() || stem == name ? output + (windows ? ".exe" : ".run") : output;
}

std::vector<sevenzip::ArchiveItem> CollectItems(const std::vector<std::string>& sources, const std::string& output,
                                                std::vector<sevenzip::UnpackableEntry>& unpackable) {
  using sevenzip::ArchiveItem;
  std::error_code ec;
  const fs::path output_path = fs::weakly_canonical(fs::absolute(FsPath(output)), ec);
  std::vector<ArchiveItem> items;
  std::set<std::string> names;
  for (const auto& source : sources) {
    std::string reason;
    const auto st = StatusOf(source, &reason);
    if (!st)
      throw PackRefused(Refusal::kSourceUnreadable, source, "the source " + source + " cannot be read: " + reason);
    if (st->kind == EntryKind::kOther)
      throw PackRefused(Refusal::kSourceUnreadable, source, "the source " + source + " is neither a file nor a folder");
    const bool is_folder = st->kind == EntryKind::kFolder;
    const std::string name = TopLevelName(source);
    if (SameIgnoringCase(name, kProbeItemName))
      throw PackRefused(Refusal::kOther, source,
                        "the source " + source + " has the name the extractor keeps for its password check: " + name);
    if (!names.insert(name).second)
      throw PackRefused(Refusal::kDuplicateName, name, "two sources have the name " + name + " at the top of the archive");
    const fs::path canonical = fs::canonical(FsPath(source), ec);
    if (!ec && (canonical == output_path || (is_folder && IsInside(output_path, canonical))))
      throw PackRefused(Refusal::kOutputInsideSource, source,
                        "the output " + output + " would be " +
                            (canonical == output_path ? "the source " : "inside the source ") + source);
    if (sources.size() == 1 && is_folder) {
      // One folder: its content is the archive's top level, so that the
      // recipient's output folder (named after the packed file) holds the
      // folder's files themselves rather than one more folder level.
      items = sevenzip::ItemsBelow(source, "", unpackable);
      for (const auto& item : items) {
        if (item.path.find('/') == std::string::npos && SameIgnoringCase(item.path, kProbeItemName))
          throw PackRefused(Refusal::kOther, source,
                            "the folder " + source + " holds " + item.path +
                                ", the name the extractor keeps for its password check");
      }
      break;
    }
    items.push_back(ArchiveItem::FromDisk(name, source));
    if (is_folder) {
      auto below = sevenzip::ItemsBelow(source, name, unpackable);
      items.insert(items.end(), std::make_move_iterator(below.begin()), std::make_move_iterator(below.end()));
    }
  }
  return items;
}

PackJob::PackJob(const PackSpec& spec) : spec_(spec), output_(WithRunExtension(spec.output, spec.windows)) {
  if (IsFolder(output_))
    throw PackRefused(Refusal::kOutputIsFolder, output_, "the output " + output_ + " is a folder");
  std::vector<sevenzip::UnpackableEntry> unpackable;
  items_ = CollectItems(spec.sources, output_, unpackable);
  if (!unpackable.empty() && !spec.skip_unreadable) {
    std::string text = "these cannot be packed (--skip-unreadable leaves them out):";
    for (const auto& u : unpackable) text += "\n  " + u.source + ": " + sevenzip::UnpackableText(u);
    throw PackRefused(Refusal::kUnpackable, {}, text, std::move(unpackable));
  }
  skipped_ = std::move(unpackable);
  parts_ = FindParts(spec.extractor, spec.windows);
  writer_ = std::make_unique<sevenzip::T7zOutArchive>(parts_.rw_module);
  image_ = ReadImage(parts_.extractor_image);
  CheckImageSystem(image_, parts_.extractor_image, spec.windows);
}

PackSummary PackJob::Write(const std::string& password, const sevenzip::WriteProgress& progress) {
  sevenzip::WriteOptions write;
  write.password = password;
  write.encrypt_names = spec_.hide_names;
  write.solid = true;
  std::vector<sevenzip::ArchiveItem> items = items_;
  items.insert(items.begin(), sevenzip::ArchiveItem::FromBytes(kProbeItemName, RandomProbe()));

  TempOutput temp(output_);
  FileStream& file = temp.stream();
  file.Write(image_.data(), static_cast<int64_t>(image_.size()));
  if (static_cast<int64_t>(image_.size()) < kPayloadOffset) {
    const std::string zeros(static_cast<size_t>(kPayloadOffset) - image_.size(), '\0');
    file.Write(zeros.data(), static_cast<int64_t>(zeros.size()));
  }
  writer_->Write(file, items, write, progress);
  PackSummary summary;
  summary.output = output_;
  summary.bytes = file.Size();
  temp.Commit();
  for (const auto& item : items_) {
    if (IsFolder(item.source)) ++summary.folders;
    else ++summary.files;
  }
  return summary;
}

bool WindowsImageAvailable() {
  try {
    FindParts(std::nullopt, true);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

std::string RecipientAdvice(const std::string& output, bool windows) {
  const std::string name = Utf8Path(FsPath(output).filename());
  if (windows) return "the recipient just starts " + name + " on Windows and types the password";
  return "the recipient first allows " + name +
         " to run (the file manager's Properties, \"Allow executing file as program\", or chmod +x " + name +
         "), then starts it and types the password";
}

int RunPack(const Options& options) {
  ProgressBar bar;
  try {
    PackSpec spec;
    spec.output = options.output;
    spec.sources = options.sources;
    spec.extractor = options.extractor;
    spec.windows = options.windows;
    spec.hide_names = options.hide_names;
    spec.skip_unreadable = options.skip_unreadable;
    PackJob job(spec);
    for (const auto& u : job.skipped())
      std::fprintf(stderr, "coffer-pack: skipped %s: %s\n", u.source.c_str(), sevenzip::UnpackableText(u).c_str());
    const std::string password = NewPassword(options.password_file);
    WarnIfWeak(password);
    if (Interrupted()) return InterruptedStatus();
    PackSummary summary;
    try {
      summary = job.Write(password, [&](uint64_t total, uint64_t done) {
        bar.Update("packing", static_cast<int64_t>(done), static_cast<int64_t>(total));
        return !Interrupted();
      });
    } catch (...) {
      if (Interrupted()) {
        bar.Clear();
        std::fprintf(stderr, "coffer-pack: interrupted; %s was not written\n", job.output().c_str());
        return InterruptedStatus();
      }
      throw;
    }
    bar.Clear();
    std::printf("coffer-pack: %s written: %zu %s and %zu %s, %s\n", summary.output.c_str(), summary.files,
                summary.files == 1 ? "file" : "files", summary.folders, summary.folders == 1 ? "folder" : "folders",
                FormatSize(summary.bytes).c_str());
    std::printf("coffer-pack: %s\n", RecipientAdvice(summary.output, options.windows).c_str());
    return kExitOk;
  } catch (const UsageError& e) {
    bar.Clear();
    std::fprintf(stderr, "coffer-pack: %s\n", e.what());
    return kExitUsage;
  } catch (const std::exception& e) {
    bar.Clear();
    std::fprintf(stderr, "coffer-pack: %s\n", e.what());
    return Interrupted() ? InterruptedStatus() : kExitFailure;
  }
}

}  // namespace coffer::pack
