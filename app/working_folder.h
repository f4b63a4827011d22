#pragma once
// The working-folder rule: a fresh folder for this run's files, in the
// temporary folder when that has room, else on the first other file system
// with more room than needed.
#include <cstdint>
#include <string>

#include "platform/paths.h"

namespace coffer {

// What the progress window asks for at its first showing: 10 MiB.
inline constexpr int64_t kWorkingFolderNeed = 10485760;

// The folder a working folder of `size_bytes` goes into: the temporary
// folder when its free space is at least the size in whole MiB (truncated),
// else the first candidate root with strictly more, else the temporary
// folder anyway. Unknown free space counts as none. Ends in "/".
std::string ChooseWorkingBase(int64_t size_bytes, const FreeSpaceSource& source);

// Creates a new, private folder "tv_XXXX.tmp/" in the chosen base and
// returns its path, ending in "/". Each call makes a folder of its own,
// marked and locked as this run's until RemoveTree removes it. The first
// call in a process sweeps first (SweepDeadWorkingFolders).
// When the base refuses, the temporary folder is tried; the base itself is
// never handed out, since whoever gets it removes it at the end. Throws
// coffer::Error when no folder can be made.
std::string MakeWorkingFolder(int64_t size_bytes, const FreeSpaceSource& source);
std::string MakeWorkingFolder(int64_t size_bytes);  // with CurrentFreeSpace()

// Removes the working folders that runs which ended without clearing them
// (killed outright, power lost) left in the temporary folder and the
// candidate roots: only folders named like one, carrying a run marker whose
// lock nobody holds. Folders of live runs and of other programs stay.
void SweepDeadWorkingFolders(const FreeSpaceSource& source);

}  // namespace coffer
