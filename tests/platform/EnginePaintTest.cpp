#include "platform/graphics/EnginePaint.h"

#include <QCoreApplication>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace vx {
namespace {

struct Counter : TEnginePaintable {
    int paints = 0;
    std::function<void()> onPaint;
    void EnginePaint() override {
        ++paints;
        if (onPaint)
            onPaint();
    }
};

TEST(EnginePaintTest, RequestsCoalesceIntoOnePaintFromTheEventLoop) {
    Counter c;
    Invalidate(c);
    Invalidate(c);
    EXPECT_TRUE(PaintPending(c));
    EXPECT_EQ(c.paints, 0);
    QCoreApplication::processEvents(); // the zero-delay timer, without ProcessMessages
    EXPECT_EQ(c.paints, 1);
    EXPECT_FALSE(PaintPending(c));
    ProcessMessages();
    EXPECT_EQ(c.paints, 1);
}

TEST(EnginePaintTest, DestroyedObjectsAreNotPainted) {
    Counter first;
    auto second = std::make_unique<Counter>();
    first.onPaint = [&] { second.reset(); };
    Invalidate(first);
    Invalidate(*second);
    ProcessMessages();
    EXPECT_EQ(first.paints, 1);
    EXPECT_EQ(second, nullptr);
    auto third = std::make_unique<Counter>();
    Invalidate(*third);
    third.reset();
    ProcessMessages(); // nothing left to paint
}

TEST(EnginePaintTest, InvalidateDuringPaintRunsInTheNextRound) {
    Counter c;
    c.onPaint = [&] {
        if (c.paints < 3)
            Invalidate(c);
    };
    Invalidate(c);
    EXPECT_TRUE(WaitUntil([&] { return c.paints == 3; }, 2000));
    EXPECT_FALSE(PaintPending(c));
}

TEST(EnginePaintTest, WaitUntilGivesUpAtItsLimit) {
    EXPECT_FALSE(WaitUntil([] { return false; }, 30));
    EXPECT_TRUE(WaitUntil([] { return true; }, 0));
}

} // namespace
} // namespace vx
