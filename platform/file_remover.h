#pragma once
// Deletes files on a few threads of its own, for a caller with many files
// to delete that need not wait for each. Where the file system trims the
// blocks a deletion frees, deleting a file that has reached the disk waits
// on the device, most of it for the device alone: several deletions in
// flight wait together, and the caller goes on meanwhile.
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/open_folder.h"

namespace coffer {

class FileRemover {
 public:
  FileRemover() = default;
  ~FileRemover();  // Finish()
  FileRemover(const FileRemover&) = delete;
  FileRemover& operator=(const FileRemover&) = delete;

  // Deletes the file or link `name` in `folder` soon. The folder stays open
  // as long as a deletion needs it. A file that cannot be deleted is left
  // where it is, for the removal of the tree it is in.
  void Remove(std::shared_ptr<const OpenFolder> folder, std::string name);
  // Returns once every file handed over is dealt with; the caller deletes
  // those still waiting itself, at its own priority.
  void Finish();

  static constexpr int kThreads = 8;
  // How many threads suit deleting in `folder`'s file system: none (the
  // caller deletes) where deletions on other threads contend with the
  // caller's own changes more than they overlap.
  static int ThreadsFor(const OpenFolder& folder);

 private:
  // Another thread starts only when this many files wait for each running.
  static constexpr size_t kBacklogPerThread = 32;
  struct Entry {
    std::shared_ptr<const OpenFolder> folder;
    std::string name;
  };
  void Work();
  // Deletes the first waiting file, unlocking while it does; false when
  // none waits.
  bool DeleteNext(std::unique_lock<std::mutex>& lock);

  std::optional<int> thread_limit_;  // from the first file's file system
  std::mutex mutex_;
  std::condition_variable work_;  // a file waits, or the end
  std::condition_variable idle_;  // a deletion ended
  std::deque<Entry> queue_;
  int in_hand_ = 0;
  bool ending_ = false;
  std::vector<std::thread> threads_;  // started as files come
};

// Makes the calling thread yield the processor to the program's other
// threads (and to other programs' normal ones).
void LowerThisThreadsPriority();

}  // namespace coffer
