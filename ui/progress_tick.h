#pragma once
// One second of the progress window: from the shared record and the
// window's counters to what the labels and the bar show next. Toolkit-free;
// the window applies the result.
#include <cstdint>
#include <optional>
#include <string>

#include "extract/progress.h"

namespace coffer {

// The record's fields as read at one tick.
struct TickInput {
  bool cancelled = false;
  int32_t extraction_phase = 0;
  int64_t current_size = 0;
  int64_t total_size = 0;
  int32_t scratch_extraction = 0;
  int32_t placing = 0;
  int32_t hold = 0;
  int32_t item_count = 0;
  int32_t items_placed = 0;
};

// What a tick advances. The extraction and placing counters live in the
// shared record; elapsed seconds and the copy counter are the window's.
struct TickCounters {
  int64_t elapsed = 0;
  int32_t copy_ticks = 0;
  int32_t extraction_ticks = 0;
  int32_t placing_ticks = 0;
  friend bool operator==(const TickCounters&, const TickCounters&) = default;
};

// An empty field keeps the label's last text.
struct TickDisplay {
  bool stop_timer = false;            // cancel requested: the timer stops
  std::optional<std::string> elapsed; // lblTime_Used
  std::optional<std::string> speed;   // lblSpeed, e.g. "1.5 MB/s"
  std::optional<std::string> remaining;  // lblTime_Left
  std::optional<int32_t> percent;     // pbTotal position, 0 to 100
  std::optional<std::string> percent_text;  // lblPercent, e.g. "42%"
};

// The stage arithmetic of one tick. Advances `counters`.
TickDisplay ProgressTick(const TickInput& in, TickCounters& counters, const std::string& decimal_separator);

// The same bound to a live record: reads it once, advances its two tick
// counters and keeps the window's own.
class ProgressTicker {
 public:
  explicit ProgressTicker(std::string decimal_separator);
  ProgressTicker();  // the user's decimal separator

  TickDisplay Tick(ProgressRecord& record);
  int64_t elapsed() const { return elapsed_; }

  static TickInput Read(const ProgressRecord& record);

 private:
  std::string separator_;
  int64_t elapsed_ = 0;
  int32_t copy_ticks_ = 0;
};

}  // namespace coffer
