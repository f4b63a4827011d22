// A helper thread's lower priority is relative: from normal it goes ten
// nicer, and a program started nicer still never gets a higher one.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <thread>

#include "platform/file_remover.h"

namespace coffer {
namespace {

TEST(ThreadPriority, LoweringGoesTenNicerAndNeverRaisesIt) {
  for (const auto& [start, expected] : {std::pair{0, 10}, {15, 19}, {19, 19}}) {
    int after = -100;
    std::thread([&, start = start] {
      const auto self = static_cast<id_t>(::gettid());
      ASSERT_EQ(::setpriority(PRIO_PROCESS, self, start), 0);
      LowerThisThreadsPriority();
      after = ::getpriority(PRIO_PROCESS, self);
    }).join();
    EXPECT_EQ(after, expected) << "from " << start;
  }
}

}  // namespace
}  // namespace coffer
