#include "platform/file_remover.h"

#include "platform/file_place.h"

namespace coffer {

FileRemover::FileRemover(int threads) : thread_limit_(threads < 1 ? 1 : threads) {}

FileRemover::~FileRemover() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ending_ = true;
  }
  work_.notify_all();
  for (std::thread& t : threads_) t.join();
}

void FileRemover::Remove(std::shared_ptr<const OpenFolder> folder, std::string name) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    queue_.push_back({std::move(folder), std::move(name)});
    // A thread more for each file that finds all of them busy, up to the
    // limit; a run that deletes nothing starts none.
    if (static_cast<int>(threads_.size()) < thread_limit_ && in_hand_ + queue_.size() > threads_.size()) {
      try {
        threads_.emplace_back([this] { Work(); });
      } catch (const std::system_error&) {
        if (threads_.empty()) {
          // No thread at all: the caller deletes it.
          Entry entry = std::move(queue_.back());
          queue_.pop_back();
          RemoveFileEntry(*entry.folder, entry.name);
          return;
        }
      }
    }
  }
  work_.notify_one();
}

void FileRemover::Finish() {
  std::unique_lock<std::mutex> lock(mutex_);
  idle_.wait(lock, [this] { return queue_.empty() && in_hand_ == 0; });
}

void FileRemover::Work() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    work_.wait(lock, [this] { return ending_ || !queue_.empty(); });
    if (queue_.empty()) return;  // ending, and nothing left
    Entry entry = std::move(queue_.front());
    queue_.pop_front();
    ++in_hand_;
    lock.unlock();
    RemoveFileEntry(*entry.folder, entry.name);  // what fails stays for the tree's removal
    entry.folder.reset();
    lock.lock();
    --in_hand_;
    if (queue_.empty() && in_hand_ == 0) idle_.notify_all();
  }
}

}  // namespace coffer
