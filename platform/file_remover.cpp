#include "platform/file_remover.h"

#include "platform/file_place.h"

namespace coffer {

FileRemover::~FileRemover() {
  Finish();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ending_ = true;
  }
  work_.notify_all();
  for (std::thread& t : threads_) t.join();
}

void FileRemover::Remove(std::shared_ptr<const OpenFolder> folder, std::string name) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (!thread_limit_) thread_limit_ = ThreadsFor(*folder);
  queue_.push_back({std::move(folder), std::move(name)});
  // One thread with the first file (a run that deletes nothing starts
  // none), another whenever the files waiting outgrow those running: where
  // deletions wait on the device, each thread more deletes in parallel.
  const size_t running = threads_.size();
  if (static_cast<int>(running) < *thread_limit_ && (running == 0 || queue_.size() > kBacklogPerThread * running)) {
    try {
      threads_.emplace_back([this] { Work(); });
    } catch (const std::system_error&) {
    }
  }
  if (threads_.empty()) {
    DeleteNext(lock);  // no thread (none suits, or none could start): in line
    return;
  }
  lock.unlock();
  work_.notify_one();
}

void FileRemover::Finish() {
  std::unique_lock<std::mutex> lock(mutex_);
  while (DeleteNext(lock)) {
  }
  idle_.wait(lock, [this] { return in_hand_ == 0; });
}

bool FileRemover::DeleteNext(std::unique_lock<std::mutex>& lock) {
  if (queue_.empty()) return false;
  Entry entry = std::move(queue_.front());
  queue_.pop_front();
  ++in_hand_;
  lock.unlock();
  RemoveFileEntry(*entry.folder, entry.name);  // what fails stays for the tree's removal
  entry.folder.reset();
  lock.lock();
  if (--in_hand_ == 0) idle_.notify_all();
  return true;
}

void FileRemover::Work() {
  // Where deleting takes the processor rather than waiting on the device,
  // the threads use only what the caller leaves: at the same priority,
  // several of them would take it from the caller, and slow it more than
  // they help.
  LowerThisThreadsPriority();
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    work_.wait(lock, [this] { return ending_ || !queue_.empty(); });
    if (!DeleteNext(lock)) return;  // ending, and nothing left
  }
}

}  // namespace coffer
