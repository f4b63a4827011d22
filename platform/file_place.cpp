// The parts of placing that every system shares, over each one's own
// SplitAtFolder, CopyIntoPlace and KindOfEntry.
#include "platform/file_place.h"

namespace coffer {

PlaceCopyResult CopyIntoPlace(const std::string& source, const std::string& destination, PlaceMode mode) {
  const FolderAndName from = SplitAtFolder(source);
  const FolderAndName to = SplitAtFolder(destination);
  return CopyIntoPlace(from.folder, from.name, to.folder, to.name, mode);
}

bool EntryExists(const OpenFolder& folder, const std::string& name) { return KindOfEntry(folder, name).has_value(); }

}  // namespace coffer
