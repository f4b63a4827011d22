#include "app/files.h"

#include "platform/file_ops.h"
#include "platform/paths.h"
#include "platform/run_lock.h"
#include "platform/tree.h"

namespace coffer {

bool RemoveTree(const std::string& folder) {
  // The marker goes last: a working folder that resists keeps it, and a
  // later run's sweep tries again once this process has let go.
  const bool gone = RemoveFolderTree(folder, kRunMarkerName);
  ReleaseRunLock(folder);
  return gone;
}

std::string FileNameWithoutExtension(const std::string& path) {
  const std::string name = FileNameOfPath(path);
  const auto dot = name.rfind('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

void RemoveProbeItem(const std::string& folder) { RemoveFileAnyCase(folder, kProbeItemName); }

}  // namespace coffer
