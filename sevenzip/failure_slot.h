#pragma once
// Where an exception of ours that happened inside a library call waits
// until that call has returned: the library only ever sees a result code.
// Library threads may report at the same time, so the slot is locked; the
// first exception is the one kept.
#include <exception>
#include <memory>
#include <mutex>
#include <utility>

namespace coffer::sevenzip {

class FailureSlot {
 public:
  FailureSlot() = default;
  FailureSlot(const FailureSlot&) = delete;
  FailureSlot& operator=(const FailureSlot&) = delete;

  void Keep(std::exception_ptr e) {
    std::lock_guard lock(mutex_);
    if (!first_) first_ = std::move(e);
  }
  // Empties the slot before a library call.
  void Clear() {
    std::lock_guard lock(mutex_);
    first_ = nullptr;
  }
  // After a library call: raises what was kept, if anything.
  void RethrowIfAny() {
    std::exception_ptr e;
    {
      std::lock_guard lock(mutex_);
      e = std::exchange(first_, nullptr);
    }
    if (e) std::rethrow_exception(e);
  }

 private:
  std::mutex mutex_;
  std::exception_ptr first_;
};

}  // namespace coffer::sevenzip
