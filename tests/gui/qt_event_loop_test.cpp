// The program's event loop on Qt: the same promises as the headless loop,
// and a blocking wait that keeps the window working.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

#include <string>
#include <vector>

#include "desktop/poll_loop.h"
#include "desktop/qt/qt_event_loop.h"

namespace vask {
namespace {

TEST(QtEventLoop, AWaitReturnsOnceAHandlerMakesItsConditionTrue) {
    QtEventLoop loop;
    int ticks = 0;
    loop.start_timer(2, [&] { ++ticks; });
    // No time limit: if the wait missed the change made inside the tick it
    // would never return (and the test would run into CTest's limit).
    EXPECT_TRUE(loop.wait_until([&] { return ticks >= 3; }, -1));
    EXPECT_EQ(ticks, 3);
    bool posted = false;
    loop.post([&] { posted = true; });
    EXPECT_TRUE(loop.wait_until([&] { return posted; }, -1));
}

TEST(QtEventLoop, AWaitKeepsTheWindowClickable) {
    QtEventLoop loop;
    QPushButton button("Press");
    button.resize(80, 30);
    button.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&button));
    bool clicked = false;
    QObject::connect(&button, &QPushButton::clicked, [&] { clicked = true; });
    // The click arrives as the window system would deliver it: queued input.
    QPoint middle = button.rect().center();
    QPointF global = button.mapToGlobal(QPointF(middle));
    QCoreApplication::postEvent(&button, new QMouseEvent(QEvent::MouseButtonPress, QPointF(middle), global,
                                                         Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(&button, new QMouseEvent(QEvent::MouseButtonRelease, QPointF(middle), global,
                                                         Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
    EXPECT_TRUE(loop.wait_until([&] { return clicked; }, 30000));
}

TEST(QtEventLoop, AWaitGivesUpAtItsLimitAndAZeroLimitRunsNothing) {
    QtEventLoop loop;
    EXPECT_FALSE(loop.wait_until([] { return false; }, 20));
    bool ran = false;
    loop.post([&] { ran = true; });
    EXPECT_FALSE(loop.wait_until([&] { return ran; }, 0));  // as the headless loop: no events
    loop.do_events();
    EXPECT_TRUE(ran);
}

TEST(QtEventLoop, PostedCallbacksRunInOrderAfterTheCurrentHandlerAndDoEventsReenters) {
    QtEventLoop loop;
    std::vector<std::string> order;
    loop.post([&] {
        order.push_back("outer start");
        loop.post([&] { order.push_back("inner"); });
        loop.do_events();  // runs the callback just posted, inside this one
        order.push_back("outer end");
    });
    loop.post([&] { order.push_back("second"); });
    loop.wait_until([&] { return order.size() == 4; }, 30000);
    EXPECT_EQ(order, (std::vector<std::string>{"outer start", "second", "inner", "outer end"}));
}

TEST(QtEventLoop, ATickThatWaitsIsNotEnteredAgainByItsOwnTimerAndStopsForGood) {
    QtEventLoop loop;
    int depth = 0, deepest = 0, ticks = 0;
    int other = 0;
    EventLoop::Id id = 0;
    id = loop.start_timer(1, [&] {
        ++depth;
        deepest = std::max(deepest, depth);
        ++ticks;
        loop.wait_until([] { return false; }, 30);  // a long action inside the tick
        if (ticks == 2) loop.stop_timer(id);
        --depth;
    });
    loop.start_timer(1, [&] { ++other; });
    loop.wait_until([&] { return ticks >= 2 && other >= 40; }, 30000);
    int after_stop = ticks;
    loop.wait_until([&] { return other >= 60; }, 30000);
    EXPECT_EQ(deepest, 1);
    EXPECT_GT(other, 20);  // the other timer kept ticking during the long ticks
    EXPECT_EQ(after_stop, 2);
    EXPECT_EQ(ticks, 2);
}

// What a descriptor watch reports, on Qt and on the headless loop alike.
std::vector<std::string> pipe_story(EventLoop& loop) {
    std::vector<std::string> story;
    int fds[2];
    if (pipe(fds) != 0) return {"pipe failed"};
    int calls = 0;
    auto describe = [&](FdReady r) {
        return std::string(r.readable ? "r" : "-") + (r.writable ? "w" : "-") + (r.error ? "e" : "-");
    };
    auto watch = loop.watch_fd(fds[0], true, false, [&](FdReady ready) {
        ++calls;
        story.push_back(describe(ready));
        // Not read yet: while this callback waits, the descriptor does not fire again.
        loop.wait_until([] { return false; }, 20);
        char c;
        if (ready.readable && read(fds[0], &c, 1) == 1) story.push_back(std::string("read ") + c);
        if (ready.error) story.push_back("end");
    });
    loop.do_events();
    story.push_back("calls " + std::to_string(calls));
    if (write(fds[1], "x", 1) != 1) return {"write failed"};
    loop.wait_until([&] { return calls == 1 && story.size() == 3; }, 30000);
    close(fds[1]);  // hang-up
    loop.wait_until([&] { return calls == 2 && story.back() == "end"; }, 30000);
    loop.unwatch(watch);
    loop.wait_until([] { return false; }, 20);
    story.push_back("calls " + std::to_string(calls));
    close(fds[0]);
    return story;
}

TEST(QtEventLoop, ADescriptorWatchReportsWhatTheHeadlessLoopReports) {
    QtEventLoop qt;
    PollLoop poll;
    std::vector<std::string> on_qt = pipe_story(qt);
    EXPECT_EQ(on_qt, pipe_story(poll));
    EXPECT_EQ(on_qt, (std::vector<std::string>{"calls 0", "r--", "read x", "r-e", "end", "calls 2"}));
}

TEST(QtEventLoop, AWriteWatchCanBeTurnedOffAndOnAgain) {
    QtEventLoop loop;
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    int writable = 0;
    EventLoop::Id watch = 0;
    watch = loop.watch_fd(fds[1], false, true, [&](FdReady ready) {
        if (ready.writable) ++writable;
        loop.update_watch(watch, false, false);
    });
    EXPECT_TRUE(loop.wait_until([&] { return writable == 1; }, 30000));
    loop.wait_until([] { return false; }, 20);
    EXPECT_EQ(writable, 1);
    loop.update_watch(watch, false, true);
    EXPECT_TRUE(loop.wait_until([&] { return writable == 2; }, 30000));
    loop.unwatch(watch);
    close(fds[0]);
    close(fds[1]);
}

TEST(QtEventLoop, RunEndsAtQuit) {
    QtEventLoop loop;
    int ticks = 0;
    loop.start_timer(1, [&] {
        if (++ticks == 3) loop.quit();
    });
    loop.run();
    EXPECT_EQ(ticks, 3);
}

}  // namespace
}  // namespace vask
