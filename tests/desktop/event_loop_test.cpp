#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>

#include "desktop/poll_loop.h"

namespace vask {
namespace {

TEST(PollLoop, TimerTicksWhileABlockingWaitRuns) {
    PollLoop loop;
    int ticks = 0;
    loop.start_timer(5, [&] { ++ticks; });
    EXPECT_TRUE(loop.wait_until([&] { return ticks >= 3; }, 2000));
}

TEST(PollLoop, DisabledAndZeroIntervalTimersNeverTick) {
    PollLoop loop;
    int zero = 0, stopped = 0, guard = 0;
    loop.start_timer(0, [&] { ++zero; });
    auto id = loop.start_timer(1, [&] { ++stopped; });
    loop.stop_timer(id);
    loop.start_timer(10, [&] { ++guard; });
    loop.wait_until([&] { return guard >= 3; }, 2000);
    EXPECT_EQ(zero, 0);
    EXPECT_EQ(stopped, 0);
}

TEST(PollLoop, WaitUntilGivesUpAtItsLimit) {
    PollLoop loop;
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(loop.wait_until([] { return false; }, 30));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(30));
}

TEST(PollLoop, DoEventsMayBeReenteredFromAHandler) {
    PollLoop loop;
    std::vector<std::string> order;
    loop.post([&] {
        order.push_back("outer start");
        loop.post([&] { order.push_back("inner"); });
        loop.do_events();  // runs the callback just posted, inside this one
        order.push_back("outer end");
    });
    loop.do_events();
    loop.do_events();
    EXPECT_EQ(order, (std::vector<std::string>{"outer start", "inner", "outer end"}));
}

TEST(PollLoop, DescriptorWatchFiresWhenReadableAndStopsWhenUnwatched) {
    PollLoop loop;
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    int calls = 0;
    auto watch = loop.watch_fd(fds[0], true, false, [&](FdReady ready) {
        EXPECT_TRUE(ready.readable);
        char c;
        ASSERT_EQ(read(fds[0], &c, 1), 1);
        ++calls;
    });
    loop.do_events();
    EXPECT_EQ(calls, 0);
    ASSERT_EQ(write(fds[1], "x", 1), 1);
    EXPECT_TRUE(loop.wait_until([&] { return calls == 1; }, 1000));
    loop.unwatch(watch);
    ASSERT_EQ(write(fds[1], "y", 1), 1);
    loop.wait_until([] { return false; }, 20);
    EXPECT_EQ(calls, 1);
    close(fds[0]);
    close(fds[1]);
}

TEST(PollLoop, ATimerStoppedByItsOwnTickDoesNotTickAgain) {
    PollLoop loop;
    int ticks = 0;
    EventLoop::Id id = 0;
    id = loop.start_timer(1, [&] {
        ++ticks;
        loop.stop_timer(id);
    });
    loop.wait_until([] { return false; }, 30);
    EXPECT_EQ(ticks, 1);
}

TEST(PollLoop, RunEndsAtQuit) {
    PollLoop loop;
    loop.start_timer(1, [&] { loop.quit(); });
    loop.run();
    SUCCEED();
}

}  // namespace
}  // namespace vask
