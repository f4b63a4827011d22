// The pause gate between the window's thread and the worker: a stop
// request from another thread always reaches a paused worker.
#include <gtest/gtest.h>

#include <thread>

#include "extract/progress.h"

namespace coffer {
namespace {

TEST(PauseGate, ACancelFromAnotherThreadAlwaysWakesAPausedWorker) {
  // Many short rounds, each racing the cancel against the worker's way
  // into its wait: a lost wake-up would leave a round hanging.
  for (int round = 0; round < 2000; ++round) {
    ProgressRecord record;
    PauseGate gate;
    gate.Pause();
    std::thread worker([&] { gate.Wait(record); });
    if (round % 2) std::this_thread::yield();
    gate.Cancel(record);
    worker.join();
    EXPECT_TRUE(record.Cancelled());
    EXPECT_TRUE(gate.Paused()) << "a cancel lets the worker through without resuming";
  }
}

}  // namespace
}  // namespace coffer
