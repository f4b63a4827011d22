#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <optional>
#include <string>

#include "ui/progress_tick.h"

namespace coffer {
namespace {

constexpr int64_t kKiB = 1024, kMiB = 1024 * 1024;
constexpr int32_t kOn = -1;
const std::nullopt_t kKeep = std::nullopt;

TickInput Copy(int64_t cur, int64_t tot) { return {.current_size = cur, .total_size = tot}; }
TickInput Extract(int64_t cur, int64_t tot, bool scratch = false) {
  return {.extraction_phase = kOn, .current_size = cur, .total_size = tot, .scratch_extraction = scratch ? kOn : 0};
}
TickInput Place(int32_t items, int32_t placed) {
  return {.extraction_phase = kOn, .total_size = 10, .placing = kOn, .item_count = items, .items_placed = placed};
}

struct Row {
  const char* name;
  TickInput in;
  TickCounters before, after;  // elapsed, copy, extraction, placing
  std::optional<std::string> elapsed, speed, remaining;
  std::optional<int32_t> percent;
};

const Row kRows[] = {
    // Elapsed time keeps counting while the figures hold.
    {"total zero", Copy(5, 0), {7, 3, 0, 0}, {8, 3, 0, 0}, "00:00:08", kKeep, kKeep, kKeep},
    {"hold flag", {.current_size = 5, .total_size = 9, .hold = kOn}, {0, 0, 0, 0}, {1, 0, 0, 0}, "00:00:01", kKeep, kKeep, kKeep},

    {"copy first second", Copy(kMiB, 10 * kMiB), {0, 0, 0, 0}, {1, 1, 0, 0}, "00:00:01", "1 MB/s", "00:00:00", 2},
    {"copy half way", Copy(5 * kMiB, 10 * kMiB), {9, 8, 0, 0}, {10, 9, 0, 0}, "00:00:10", "512 KB/s", "00:00:40", 10},
    {"copy below a byte a second", Copy(5, 1000), {9, 0, 0, 0}, {10, 1, 0, 0}, "00:00:10", "0 B/s", "00:00:30", 0},
    {"copy nothing yet", Copy(0, 100), {4, 0, 0, 0}, {5, 1, 0, 0}, "00:00:05", "0 B/s", "00:00:00", 0},
    {"copy current past total", Copy(200, 100), {1, 0, 0, 0}, {2, 1, 0, 0}, "00:00:02", "50 B/s", "00:00:30", 20},
    {"copy 999.02 KB a second", Copy(1023000, 2046000), {0, 0, 0, 0}, {1, 1, 0, 0}, "00:00:01", "999.02 KB/s", "00:00:00", 10},
    {"copy hundred hours", Copy(360000 * kKiB, 720000 * kKiB), {359999, 0, 0, 0}, {360000, 1, 0, 0},
     "100:00:00", "1 KB/s", "100:00:30", 10},
    {"copy 64-bit sizes", Copy(int64_t{1} << 42, int64_t{1} << 43), {1023, 0, 0, 0}, {1024, 1, 0, 0},
     "00:17:04", "4 GB/s", "00:17:34", 10},
    {"copy negative counter", Copy(-5, 100), {0, 0, 0, 0}, {1, 1, 0, 0}, "00:00:01", "-5 B/s", "00:00:00", 0},

    {"extract first tick", Extract(kMiB, 4 * kMiB), {5, 2, 0, 0}, {6, 2, 1, 0}, "00:00:06", "1 MB/s", "00:00:00", 40},
    {"extract half way", Extract(2 * kMiB, 4 * kMiB), {9, 2, 3, 0}, {10, 2, 4, 0}, "00:00:10", "512 KB/s", "00:00:04", 60},
    {"extract to scratch", Extract(2 * kMiB, 4 * kMiB, true), {9, 2, 3, 0}, {10, 2, 4, 0}, "00:00:10", "512 KB/s", "00:00:34", 50},
    {"extract to scratch, nothing yet", Extract(0, 4 * kMiB, true), {9, 2, 3, 0}, {10, 2, 4, 0}, "00:00:10", "0 B/s", "00:00:30", 20},
    {"extract below a byte a tick", Extract(3, 10), {9, 0, 3, 0}, {10, 0, 4, 0}, "00:00:10", "0 B/s", "00:00:10", 44},
    {"extract current past total", Extract(500, 100), {1, 0, 1, 0}, {2, 0, 2, 0}, "00:00:02", "50 B/s", "00:00:00", 100},
    {"extract counter not positive", Extract(kMiB, 4 * kMiB), {3, 0, -5, 0}, {4, 0, -4, 0}, "00:00:04", "1 MB/s", "00:00:00", 40},
    {"extract exabyte", Extract(int64_t{1} << 60, int64_t{1} << 61), {0, 0, 0, 0}, {1, 0, 1, 0}, "00:00:01",
     "1073741824 GB/s", "00:00:00", 60},

    {"place nothing yet", Place(10, 0), {20, 5, 9, 0}, {21, 5, 9, 1}, "00:00:21", kKeep, "00:00:10", 80},
    {"place half", Place(10, 5), {20, 5, 9, 4}, {21, 5, 9, 5}, "00:00:21", kKeep, "00:00:05", 90},
    {"place slower than one a tick", Place(10, 3), {20, 5, 9, 9}, {21, 5, 9, 10}, "00:00:21", kKeep, "00:00:10", 86},
    {"place more than counted", Place(4, 8), {20, 5, 9, 1}, {21, 5, 9, 2}, "00:00:21", kKeep, "00:00:00", 100},
    // An archive of folders only: no division by the empty count.
    {"place zero items", Place(0, 0), {20, 5, 9, 1}, {21, 5, 9, 2}, "00:00:21", kKeep, "00:00:00", 100},
};

class TickStage : public testing::TestWithParam<Row> {};

TEST_P(TickStage, ShowsAndAdvances) {
  const Row& row = GetParam();
  TickCounters c = row.before;
  const TickDisplay d = ProgressTick(row.in, c, ".");
  EXPECT_FALSE(d.stop_timer);
  EXPECT_EQ(c, row.after);
  EXPECT_EQ(d.elapsed, row.elapsed);
  EXPECT_EQ(d.speed, row.speed);
  EXPECT_EQ(d.remaining, row.remaining);
  EXPECT_EQ(d.percent, row.percent);
  if (row.percent) EXPECT_EQ(d.percent_text, std::to_string(*row.percent) + "%");
  else EXPECT_EQ(d.percent_text, std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(Table, TickStage, testing::ValuesIn(kRows), [](const auto& info) {
  std::string name;
  for (const char* p = info.param.name; *p; ++p) name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
  return name;
});

TEST(Tick, CancelStopsTheTimerAndTouchesNothing) {
  for (const TickInput& in : {Copy(5, 10), Extract(5, 10), Place(3, 1)}) {
    TickInput cancelled = in;
    cancelled.cancelled = true;
    TickCounters c{7, 1, 2, 3};
    const TickDisplay d = ProgressTick(cancelled, c, ".");
    EXPECT_TRUE(d.stop_timer);
    EXPECT_EQ(c, (TickCounters{7, 1, 2, 3}));
    EXPECT_FALSE(d.elapsed || d.speed || d.remaining || d.percent || d.percent_text);
  }
}

TEST(Tick, SpeedUsesTheGivenSeparator) {
  TickCounters c;
  EXPECT_EQ(ProgressTick(Copy(1610612736, int64_t{1} << 31), c, ",").speed, "1,5 GB/s");
}

// The bound form reads a live record and keeps the counters the window
// advances in it, across the stages of one job.
TEST(ProgressTicker, WalksAJobThroughItsStages) {
  ProgressRecord r;
  ProgressTicker ticker(".");
  r.total_size = 4 * kMiB;
  r.current_size = kMiB;
  EXPECT_EQ(ticker.Tick(r).percent, 5);

  r.hold = kOn;  // opening, password test
  const TickDisplay held = ticker.Tick(r);
  EXPECT_EQ(held.elapsed, "00:00:02");
  EXPECT_FALSE(held.percent);

  r.hold = 0;
  r.extraction_phase = kOn;
  r.scratch_extraction = kOn;
  r.current_size = 2 * kMiB;
  EXPECT_EQ(ticker.Tick(r).percent, 50);
  EXPECT_EQ(r.extraction_ticks.load(), 1);

  r.scratch_extraction = 0;
  r.placing = kOn;
  r.item_count = 4;
  r.items_placed = 2;
  const TickDisplay placing = ticker.Tick(r);
  EXPECT_EQ(placing.percent, 90);
  EXPECT_EQ(placing.remaining, "00:00:01");
  EXPECT_EQ(r.placing_ticks.load(), 1);
  EXPECT_EQ(r.extraction_ticks.load(), 1);
  EXPECT_EQ(ticker.elapsed(), 4);

  r.RequestCancel();
  EXPECT_TRUE(ticker.Tick(r).stop_timer);
  EXPECT_EQ(ticker.elapsed(), 4);
}

}  // namespace
}  // namespace coffer
