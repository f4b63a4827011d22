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
#include <string>
#include <thread>
#include <vector>

#include "platform/open_folder.h"

namespace coffer {

class FileRemover {
 public:
  explicit FileRemover(int threads = kThreads);
  ~FileRemover();  // waits until every file handed over is dealt with
  FileRemover(const FileRemover&) = delete;
  FileRemover& operator=(const FileRemover&) = delete;

  // Deletes the file or link `name` in `folder` soon. The folder stays open
  // as long as a deletion needs it. A file that cannot be deleted is left
  // where it is, for the removal of the tree it is in.
  void Remove(std::shared_ptr<const OpenFolder> folder, std::string name);
  // Returns once every file handed over so far is dealt with.
  void Finish();

  static constexpr int kThreads = 4;

 private:
  struct Entry {
    std::shared_ptr<const OpenFolder> folder;
    std::string name;
  };
  void Work();

  const int thread_limit_;
  std::mutex mutex_;
  std::condition_variable work_;  // an entry waits, or the end
  std::condition_variable idle_;  // nothing waits and nothing is in hand
  std::deque<Entry> queue_;
  int in_hand_ = 0;
  bool ending_ = false;
  std::vector<std::thread> threads_;  // started with the first file
};

}  // namespace coffer
