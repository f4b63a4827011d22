#include "sevenzip/writer.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <thread>

#include "platform/error.h"
#include "platform/file_ops.h"
#include "platform/fs_path.h"
#include "sevenzip/com_ptr.h"
#include "sevenzip/result.h"
#include "sevenzip/stream_view.h"
#include "sevenzip/t7z_stream.h"
#include "sevenzip/t7z_update_callback.h"

namespace coffer::sevenzip {
namespace {

namespace fs = std::filesystem;

constexpr uint32_t kAttribDirectory = 0x10;
constexpr uint32_t kAttribArchive = 0x20;

int64_t UnixNs(std::chrono::system_clock::time_point t) {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(t.time_since_epoch()).count();
}

PreparedItem Prepare(const ArchiveItem& item, int64_t now_ns) {
  if (!IsValidArchivePath(item.path)) throw Error("Unusable path inside the archive: \"" + item.path + "\"");
  PreparedItem p{&item, item.is_folder, 0, FileTimeFromUnixNs(now_ns), 0};
  uint32_t mode = item.is_folder ? 040755 : 0100644;
  if (!item.source.empty()) {
    std::string reason;
    const auto st = StatusOf(item.source, &reason);
    if (!st) throw Error("Cannot read " + item.source + ": " + reason);
    if (st->kind == EntryKind::kOther) throw Error(item.source + " is neither a file nor a folder");
    p.is_folder = st->kind == EntryKind::kFolder;
    p.size = p.is_folder ? 0 : static_cast<uint64_t>(st->size);
    p.mtime = FileTimeFromUnixNs(st->mtime_ns);
    mode = st->unix_mode;
  } else if (!item.is_folder) {
    p.size = item.bytes.size();
  }
  if (item.mtime) p.mtime = FileTimeFromUnixNs(UnixNs(*item.mtime));
  p.attributes = (p.is_folder ? kAttribDirectory : kAttribArchive) | kAttribUnixExtension | (mode << 16);
  return p;
}

// One property of the handler: a name and a number, a flag or a text.
struct Property {
  std::wstring name;
  PROPVARIANT value;
};

Property Number(const wchar_t* name, uint32_t n) {
  Property p{name, {}};
  p.value.vt = VT_UI4;
  p.value.ulVal = n;
  return p;
}

Property Flag(const wchar_t* name, bool on) {
  Property p{name, {}};
  p.value.vt = VT_BOOL;
  p.value.boolVal = on ? VARIANT_TRUE : VARIANT_FALSE;
  return p;
}

void SetProperties(IOutArchive& handler, const WriteOptions& options) {
  void* object = nullptr;
  if (handler.QueryInterface(IID_ISetProperties, &object) != S_OK || !object)
    throw Error("The engine's 7z writer takes no options");
  auto setter = ComPtr<ISetProperties>::Adopt(static_cast<ISetProperties*>(object));
  // Freed however this ends: the vectors below may throw.
  const std::unique_ptr<wchar_t, void (*)(BSTR)> method(AllocBstr(options.level <= 0 ? L"Copy" : L"LZMA2"),
                                                        &FreeBstr);
  if (!method) throw std::bad_alloc();
  const unsigned threads = options.threads > 0 ? static_cast<unsigned>(options.threads)
                                               : std::max(1u, std::thread::hardware_concurrency());
  std::vector<Property> props = {
      Number(L"x", static_cast<uint32_t>(std::clamp(options.level, 0, 9))),
      Flag(L"s", options.solid),
      Number(L"mt", threads),
      Flag(L"he", options.encrypt_names && !options.password.empty()),
      Flag(L"tm", true),
  };
  Property m{L"0", {}};
  m.value.vt = VT_BSTR;
  m.value.bstrVal = method.get();
  props.push_back(m);
  std::vector<const wchar_t*> names;
  std::vector<PROPVARIANT> values;
  for (const auto& p : props) {
    names.push_back(p.name.c_str());
    values.push_back(p.value);
  }
  CheckResult(setter->SetProperties(names.data(), values.data(), static_cast<UInt32>(props.size())));
}

}  // namespace

bool IsValidArchivePath(std::string_view path) {
  if (path.empty() || path.front() == '/' || path.back() == '/' || path.find('\0') != std::string_view::npos)
    return false;
  size_t start = 0;
  while (start <= path.size()) {
    const size_t slash = std::min(path.find('/', start), path.size());
    const std::string_view part = path.substr(start, slash - start);
    if (part.empty() || part == "." || part == "..") return false;
    start = slash + 1;
  }
  return true;
}

ArchiveItem ArchiveItem::FromDisk(std::string path, std::string source) {
  ArchiveItem item;
  item.path = std::move(path);
  item.source = std::move(source);
  return item;
}

ArchiveItem ArchiveItem::FromBytes(std::string path, std::string bytes) {
  ArchiveItem item;
  item.path = std::move(path);
  item.bytes = std::move(bytes);
  return item;
}

ArchiveItem ArchiveItem::Folder(std::string path) {
  ArchiveItem item;
  item.path = std::move(path);
  item.is_folder = true;
  return item;
}

std::string UnpackableText(const UnpackableEntry& entry) {
  switch (entry.why) {
    case Unpackable::kDanglingLink: return "the link leads nowhere";
    case Unpackable::kLinkLoop: return "the link leads round in a loop";
    case Unpackable::kNotFileOrFolder: return "neither a file nor a folder";
    case Unpackable::kUnreadable: return "cannot be read: " + entry.reason;
  }
  return {};
}

namespace {

struct TreeWalk {
  std::vector<ArchiveItem>& items;
  std::vector<UnpackableEntry>& unpackable;
  std::vector<fs::path> open_folders;  // the folder being listed and those above it

  // Lists `folder`, whose own item (added only once it opens, unless
  // `path` is the root's) has the archive path `path`.
  bool Folder(const fs::path& folder, const std::string& path, bool is_root) {
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec) {
      if (is_root) throw Error("Cannot read folder " + Utf8Path(folder) + ": " + ec.message());
      unpackable.push_back({Utf8Path(folder), Unpackable::kUnreadable, ec.message()});
      return false;
    }
    if (!is_root) items.push_back(ArchiveItem::FromDisk(path, Utf8Path(folder)));
    open_folders.push_back(folder);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) Entry(it->path(), path);
    open_folders.pop_back();
    if (ec) unpackable.push_back({Utf8Path(folder), Unpackable::kUnreadable, ec.message()});
    return true;
  }

  void Entry(const fs::path& entry, const std::string& parent_path) {
    const std::string name = Utf8Path(entry.filename());
    const std::string path = parent_path.empty() ? name : parent_path + "/" + name;
    const std::string source = Utf8Path(entry);
    std::error_code ec;
    const fs::file_status status = fs::status(entry, ec);  // through any links
    if (status.type() == fs::file_type::not_found || ec) {
      std::error_code link_ec;
      const bool link = fs::is_symlink(fs::symlink_status(entry, link_ec));
      if (link && ec == std::errc::too_many_symbolic_link_levels)
        unpackable.push_back({source, Unpackable::kLinkLoop, {}});
      else if (link && status.type() == fs::file_type::not_found)
        unpackable.push_back({source, Unpackable::kDanglingLink, {}});
      else
        unpackable.push_back({source, Unpackable::kUnreadable, ec.message()});
      return;
    }
    if (fs::is_directory(status)) {
      // A link to a folder above it would make the tree endless.
      for (const auto& open : open_folders) {
        if (fs::equivalent(entry, open, ec)) {
          unpackable.push_back({source, Unpackable::kLinkLoop, {}});
          return;
        }
      }
      Folder(entry, path, false);
    } else if (!fs::is_regular_file(status)) {
      unpackable.push_back({source, Unpackable::kNotFileOrFolder, {}});
    } else if (!IsReadableFile(source)) {
      unpackable.push_back({source, Unpackable::kUnreadable, LastErrorText()});
    } else {
      items.push_back(ArchiveItem::FromDisk(path, source));
    }
  }
};

}  // namespace

std::vector<ArchiveItem> ItemsBelow(const std::string& folder, const std::string& prefix,
                                    std::vector<UnpackableEntry>& unpackable) {
  std::vector<ArchiveItem> items;
  TreeWalk walk{items, unpackable, {}};
  walk.Folder(FsPath(folder), prefix, true);
  std::sort(items.begin(), items.end(), [](const ArchiveItem& a, const ArchiveItem& b) { return a.path < b.path; });
  std::sort(unpackable.begin(), unpackable.end(),
            [](const UnpackableEntry& a, const UnpackableEntry& b) { return a.source < b.source; });
  return items;
}

T7zOutArchive::T7zOutArchive(const std::string& module_path) : T7zPlugin(module_path) {
  if (!module()->Symbol("GetHandlerProperty")) throw Error(module_path + " is not a Format library");
}

void T7zOutArchive::Write(HostStream& stream, const std::vector<ArchiveItem>& items, const WriteOptions& options,
                          const WriteProgress& progress) {
  const int64_t now = UnixNs(std::chrono::system_clock::now());
  std::vector<PreparedItem> prepared;
  prepared.reserve(items.size());
  for (const auto& item : items) prepared.push_back(Prepare(item, now));

  void* object = nullptr;
  CreateEngineObject(Format7zClassId, FromGuid(IID_IOutArchive), &object);
  if (!object) throw Error(module_path() + " made no archive writer");
  EnginePtr<IOutArchive> handler(static_cast<IOutArchive*>(object), module());
  SetProperties(*handler.get(), options);

  auto slot = std::make_shared<FailureSlot>();
  StreamView view(stream);
  auto out = T7zStream::Create(&view, StreamOwnership::Borrowed, slot);
  auto callback = ComPtr<T7zUpdateCallback>::Adopt(
      new T7zUpdateCallback(std::move(prepared), options.password, progress, slot));
  const HRESULT result = handler->UpdateItems(out->AsSequentialOutStream(), static_cast<UInt32>(items.size()),
                                              callback.get());
  handler.reset();
  slot->RethrowIfAny();
  CheckResult(result);
  view.Seek(view.WrittenEnd(), SeekOrigin::kBegin);
}

}  // namespace coffer::sevenzip
