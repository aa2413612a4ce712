// The worker pools' primitives: a lost wake-up shows as a test that never ends (CTest's time limit),
// a missing exclusion as a wrong count.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/Threads.h"

namespace {

using Lock = std::unique_lock<platform::Mutex>;

// Two threads hand a token back and forth many times, each woken by the other's single notification,
// which comes after the lock is let go, as the pools do it.
TEST(Threads, PingPongWithSingleNotificationsAfterUnlocking) {
    platform::Mutex mutex;
    platform::Condition turnChanged;
    int turn = 0;  // whose turn: 0 or 1
    int passes = 0;
    constexpr int kRounds = 5000;
    auto player = [&](int me) {
        for (int i = 0; i < kRounds; ++i) {
            {
                Lock lock(mutex);
                turnChanged.Wait(lock, [&] { return turn == me; });
                ++passes;
                turn = 1 - me;
            }
            turnChanged.NotifyOne();
        }
    };
    {
        platform::Thread other([&] { player(1); });
        player(0);
    }  // joined here
    EXPECT_EQ(2 * kRounds, passes);
}

// Many waiters on one condition, all released by one NotifyAll, then each counted under the lock.
TEST(Threads, NotifyAllReleasesEveryWaiterAndTheLockExcludes) {
    platform::Mutex mutex;
    platform::Condition gateOpened;
    platform::Condition arrived;
    bool open = false;
    int waiting = 0;
    int counted = 0;
    constexpr int kThreads = 6;
    constexpr int kAdds = 20000;
    {
        std::vector<std::unique_ptr<platform::Thread>> threads;
        for (int t = 0; t < kThreads; ++t) {
            threads.push_back(std::make_unique<platform::Thread>([&] {
                {
                    Lock lock(mutex);
                    ++waiting;
                    arrived.NotifyOne();
                    gateOpened.Wait(lock, [&] { return open; });
                }
                for (int i = 0; i < kAdds; ++i) {
                    std::lock_guard<platform::Mutex> lock(mutex);
                    ++counted;
                }
            }));
        }
        {
            Lock lock(mutex);
            arrived.Wait(lock, [&] { return waiting == kThreads; });
            open = true;
        }
        gateOpened.NotifyAll();
    }
    EXPECT_EQ(kThreads * kAdds, counted);
    EXPECT_GE(platform::ProcessorCount(), 1u);
}

}  // namespace
