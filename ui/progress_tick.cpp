#include "ui/progress_tick.h"

#include <algorithm>

#include "ui/progress_format.h"

namespace coffer {
namespace {

// factor × cur / tot truncated toward zero, for a small factor (a share of
// 100) and tot > 0. The product itself would overflow 64 bits for totals
// above 100 PB, and not every compiler has a wider integer, so the whole
// part of cur / tot is taken first and the remainder's share is summed up
// one factor at a time, each step staying below tot.
int64_t Share(int64_t factor, int64_t cur, int64_t tot) {
  const bool negative = cur < 0;
  const uint64_t c = negative ? 0 - static_cast<uint64_t>(cur) : static_cast<uint64_t>(cur);
  const uint64_t t = static_cast<uint64_t>(tot);
  const uint64_t whole = c / t, rest = c % t;
  uint64_t share = 0, carry = 0;  // carry < t throughout
  for (int64_t i = 0; i < factor; ++i) {
    if (carry >= t - rest) {
      carry -= t - rest;
      ++share;
    } else {
      carry += rest;
    }
  }
  const int64_t result = static_cast<int64_t>(static_cast<uint64_t>(factor) * whole + share);
  return negative ? -result : result;
}

std::string Speed(int64_t bytes_per_second, const std::string& separator) {
  return FormatSize(bytes_per_second, separator) + "/s";
}

}  // namespace

TickDisplay ProgressTick(const TickInput& in, TickCounters& c, const std::string& separator) {
  TickDisplay d;
  if (in.cancelled) {
    d.stop_timer = true;
    return d;
  }
  c.elapsed += 1;
  d.elapsed = FormatTime(c.elapsed);
  if (in.total_size == 0 || in.hold != 0) return d;

  const int64_t tot = in.total_size;
  const int64_t cur = std::min(in.current_size, tot);
  int64_t remaining = 0;
  int64_t percent = 0;

  if (in.extraction_phase == 0) {
    c.copy_ticks += 1;
    d.speed = Speed(cur / c.elapsed, separator);
    if (in.current_size > 0 && c.elapsed > 1) {
      const int64_t s = cur / c.elapsed;
      remaining = s == 0 ? 30 : (tot - cur) / s + 30;
    }
    percent = Share(20, cur, tot);
  } else if (in.placing != 0) {
    c.placing_ticks += 1;
    const int64_t items = in.item_count;
    const int64_t placed = in.items_placed;
    if (items <= 0) {
      // Nothing to place: the job is as good as done (and the count must
      // not become a divisor).
      percent = 100;
      remaining = 0;
    } else {
      percent = 20 * placed / items + 80;
      const int64_t ticks = std::max<int64_t>(c.placing_ticks, 1);
      const int64_t q = placed / ticks;
      remaining = placed < 1 || q == 0 ? 10 : (items - placed) / q;
    }
  } else {
    c.extraction_ticks += 1;
    const int64_t n = c.extraction_ticks <= 0 ? 1 : c.extraction_ticks;
    d.speed = Speed(cur / n, separator);
    if (in.current_size > 0 && n > 1) {
      const int64_t s = cur / n;
      remaining = s == 0 ? 10 : (tot - cur) / s;
    }
    if (in.scratch_extraction != 0) {
      // The placing pass still follows.
      percent = Share(60, cur, tot) + 20;
      remaining += 30;
    } else {
      percent = Share(80, cur, tot) + 20;
    }
  }

  d.remaining = FormatTime(remaining);
  // The bar's range is 0 to 100; a negative count must not leave it.
  const auto shown = static_cast<int32_t>(std::clamp<int64_t>(percent, 0, 100));
  d.percent = shown;
  d.percent_text = std::to_string(shown) + "%";
  return d;
}

ProgressTicker::ProgressTicker(std::string decimal_separator) : separator_(std::move(decimal_separator)) {}
ProgressTicker::ProgressTicker() : ProgressTicker(UserDecimalSeparator()) {}

TickInput ProgressTicker::Read(const ProgressRecord& r) {
  constexpr auto o = ProgressRecord::kRelaxed;
  TickInput in;
  in.cancelled = r.Cancelled();
  in.extraction_phase = r.extraction_phase.load(o);
  in.current_size = r.current_size.load(o);
  in.total_size = r.total_size.load(o);
  in.scratch_extraction = r.scratch_extraction.load(o);
  in.placing = r.placing.load(o);
  in.hold = r.hold.load(o);
  in.item_count = r.item_count.load(o);
  in.items_placed = r.items_placed.load(o);
  return in;
}

TickDisplay ProgressTicker::Tick(ProgressRecord& record) {
  constexpr auto o = ProgressRecord::kRelaxed;
  TickCounters c{elapsed_, copy_ticks_, record.extraction_ticks.load(o), record.placing_ticks.load(o)};
  TickDisplay d = ProgressTick(Read(record), c, separator_);
  elapsed_ = c.elapsed;
  copy_ticks_ = c.copy_ticks;
  record.extraction_ticks.store(c.extraction_ticks, o);
  record.placing_ticks.store(c.placing_ticks, o);
  return d;
}

}  // namespace coffer
