#include "platform/file_ops.h"

namespace coffer {

bool IsRegularFile(const std::string& path) {
  const auto status = StatusOf(path);
  return !path.empty() && status && status->kind == EntryKind::kFile;
}

bool IsFolder(const std::string& path) {
  const auto status = StatusOf(path);
  return status && status->kind == EntryKind::kFolder;
}

}  // namespace coffer
