#pragma once
// Telling the folders of runs that are still going from those that runs
// killed outright left behind: each run keeps a lock on a marker file in
// every folder it makes, and the system lets go of the lock however the
// process ends. Locks are held in a process-wide table; nothing here hands
// out the system's handles.
#include <string>

namespace coffer {

// The marker's name inside a locked folder.
inline constexpr char kRunMarkerName[] = ".coffer-run";

// Puts a locked marker into `folder`, a folder this process has just made,
// and holds the lock until ReleaseRunLock or the end of the process. The
// marker appears already locked, so no other run ever sees it unlocked.
// False when the system refuses; the folder is then an unmarked one.
bool HoldRunLock(const std::string& folder);

enum class RunClaim {
  kNotOurs,  // no marker, one that is not a regular file, or another owner's folder
  kInUse,    // a live run holds the marker's lock
  kClaimed,  // its run has ended; this process now holds the lock
};

// Tries to take over `folder`, found where working folders are made. A
// claimed folder's lock is held as HoldRunLock's are, until released.
RunClaim ClaimRunFolder(const std::string& folder);

// Lets go of the lock this process holds on `folder` (the path it was
// locked under, with or without a final "/"), if any.
void ReleaseRunLock(const std::string& folder);

}  // namespace coffer
