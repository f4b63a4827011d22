#pragma once
// The record the worker writes and the progress window reads once a second.
// Each field is its own relaxed atomic: a reader may see one tick's worth of
// mixed old and new values, never a torn one.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace coffer {

struct ProgressRecord {
  std::atomic<int32_t> extraction_phase{0};   // -1 from the start of extraction
  std::atomic<int64_t> current_size{0};       // g_nCurrentSize
  std::atomic<int64_t> total_size{0};         // g_nTotalSize
  std::atomic<int32_t> extraction_ticks{0};
  std::atomic<int32_t> placing_ticks{0};
  std::atomic<int32_t> scratch_extraction{0}; // -1 while extracting to scratch
  std::atomic<int32_t> placing{0};            // -1 while placing
  std::atomic<int32_t> hold{0};               // -1 while nothing measurable moves
  std::atomic<int32_t> item_count{0};
  std::atomic<int32_t> items_placed{0};
  std::atomic<int32_t> cancel{0};             // -1: stop the job

  static constexpr auto kRelaxed = std::memory_order_relaxed;
  bool Cancelled() const { return cancel.load(kRelaxed) != 0; }
  // For the worker's own thread; any other thread stops the job through
  // PauseGate::Cancel, so that a paused worker wakes to see it.
  void RequestCancel() { cancel.store(-1, kRelaxed); }
};

// Pause without stopping a thread: the worker passes through Wait() at its
// pause points and blocks there while the gate is closed. A stop request
// from another thread goes through Cancel(), which sets the record's flag
// under the gate's own lock: a waiter tests that flag under the same lock,
// so the wake-up cannot slip in between its test and its sleep.
class PauseGate {
 public:
  void Pause() {
    std::lock_guard lock(mutex_);
    paused_ = true;
  }
  void Resume() {
    {
      std::lock_guard lock(mutex_);
      paused_ = false;
    }
    changed_.notify_all();
  }
  bool Paused() const {
    std::lock_guard lock(mutex_);
    return paused_;
  }
  // Blocks while paused, unless `record` asks to cancel.
  void Wait(const ProgressRecord& record) {
    std::unique_lock lock(mutex_);
    while (paused_ && !record.Cancelled()) changed_.wait(lock);
  }
  // Asks the job to stop and lets a paused worker through to see it. The
  // gate stays closed for the record, so Paused() still tells the truth.
  void Cancel(ProgressRecord& record) {
    {
      std::lock_guard lock(mutex_);
      record.RequestCancel();
    }
    changed_.notify_all();
  }

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  bool paused_ = false;
};

}  // namespace coffer
