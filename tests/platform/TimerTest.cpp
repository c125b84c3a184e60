#include "support/TestSupport.h"

#include "platform/runtime/ComponentStream.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Timer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>

using namespace vx;

namespace {

// Runs the event loop until pred holds or the limit passes.
template <class P>
bool RunUntil(P pred, int limitMs = 5000) {
    QElapsedTimer clock;
    clock.start();
    while (!pred() && clock.elapsed() < limitMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return pred();
}

} // namespace

TEST(TimerTest, FiresWhileEnabledWithItselfAsSender) {
    TTimer timer;
    timer.SetInterval(5);
    int ticks = 0;
    TComponent* sender = nullptr;
    timer.OnTimer = [&](TComponent* s) {
        sender = s;
        if (++ticks == 3)
            timer.SetEnabled(false);
    };
    ASSERT_TRUE(RunUntil([&] { return ticks == 3; }));
    EXPECT_EQ(sender, &timer);
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_EQ(ticks, 3);
}

TEST(TimerTest, ZeroIntervalOrDisabledNeverFires) {
    TTimer a;
    a.SetInterval(0);
    TTimer b;
    b.SetInterval(1);
    b.SetEnabled(false);
    TTimer c; // a witness that time passed
    c.SetInterval(30);
    int fired = 0;
    bool witnessed = false;
    a.OnTimer = b.OnTimer = [&](TComponent*) { ++fired; };
    c.OnTimer = [&](TComponent*) { witnessed = true; };
    ASSERT_TRUE(RunUntil([&] { return witnessed; }));
    EXPECT_EQ(fired, 0);
}

TEST(TimerTest, HandlerMayFreeItsTimerAndErrorsBecomeMessages) {
    test::ScopedUi ui;
    auto* owner = new TComponent;
    auto* timer = new TTimer(owner);
    timer->SetInterval(1);
    bool done = false;
    timer->OnTimer = [&](TComponent*) {
        done = true;
        delete owner; // frees the timer from inside its own handler
    };
    ASSERT_TRUE(RunUntil([&] { return done; }));
    QCoreApplication::processEvents();

    TTimer failing;
    failing.SetInterval(1);
    failing.OnTimer = [&](TComponent*) {
        failing.SetEnabled(false);
        throw EConvertError("'x' is not a valid integer value");
    };
    ASSERT_TRUE(RunUntil([&] { return !ui.ui.Messages.empty(); }));
    EXPECT_EQ(ui.ui.Messages[0].Text, "'x' is not a valid integer value");
}

TEST(TimerTest, PublishesEnabledAndInterval) {
    TTimer timer;
    timer.SetName("Timer1");
    timer.SetInterval(3000);
    timer.SetEnabled(false);
    std::string bytes = ComponentToBytes(timer);
    EXPECT_EQ(test::HexBytes(bytes), test::HexBytes("TPF0" +
                                                    std::string("\x06TTimer\x06Timer1\x07"
                                                                "Enabled",
                                                                22) +
                                                    test::FromHex("08 08") + "Interval" +
                                                    test::FromHex("03 B8 0B 00 00")));
    TTimer back;
    ComponentFromBytes(bytes, back);
    EXPECT_FALSE(back.Enabled());
    EXPECT_EQ(back.Interval(), 3000u);
}
