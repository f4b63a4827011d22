#include "platform/paths.h"

#include <atomic>

namespace coffer {
namespace {

class SystemSource final : public FreeSpaceSource {
 public:
  std::string TempFolder() const override { return coffer::TempFolder(); }
  std::vector<std::string> CandidateRoots() const override { return WritableMountPoints(); }
  std::optional<int64_t> FreeMiB(const std::string& path) const override { return FreeSpaceMiB(path); }
};

std::atomic<const FreeSpaceSource*> g_current{nullptr};

}  // namespace

std::string WithSeparator(std::string path, std::string_view separators) {
  if (path.empty() || separators.find(path.back()) == std::string_view::npos) path += separators.front();
  return path;
}

std::string FolderPart(const std::string& path, std::string_view separators) {
  const auto end = path.find_last_of(separators);
  return end == std::string::npos ? std::string() : path.substr(0, end + 1);
}

std::string FileNamePart(const std::string& path, std::string_view separators) {
  const auto end = path.find_last_of(separators);
  return end == std::string::npos ? path : path.substr(end + 1);
}

const FreeSpaceSource& SystemFreeSpace() {
  static const SystemSource source;
  return source;
}

const FreeSpaceSource& CurrentFreeSpace() {
  const FreeSpaceSource* s = g_current.load();
  return s ? *s : SystemFreeSpace();
}

ScopedFreeSpaceSource::ScopedFreeSpaceSource(const FreeSpaceSource& source)
    : previous_(g_current.exchange(&source)) {}

ScopedFreeSpaceSource::~ScopedFreeSpaceSource() { g_current.store(previous_); }

std::vector<std::string_view> PathParts(std::string_view rel, std::string_view separators) {
  std::vector<std::string_view> out;
  size_t start = 0;
  while (true) {
    const size_t end = rel.find_first_of(separators, start);
    out.push_back(rel.substr(start, end == std::string_view::npos ? end : end - start));
    if (end == std::string_view::npos) return out;
    start = end + 1;
  }
}

}  // namespace coffer
