#include "document/StyleItems.h"

#include "platform/graphics/PainterCanvas.h"

#include <QImage>
#include <gtest/gtest.h>

#include <functional>

namespace vx {
namespace {

constexpr QRgb kGrey = 0xFFC0C0C0; // the list's background: white fills stand out on it

QImage Drawn(int width, int height, const std::function<void(TCanvas&)>& draw) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(kGrey);
    {
        ImageCanvas canvas(image);
        draw(canvas);
    }
    return image;
}

bool Black(const QImage& image, int x, int y) {
    return image.pixel(x, y) == 0xFF000000;
}

TEST(StyleItemsTest, PenStyleItemsDrawThreeLinesAcrossTheMiddleInTheirStyle) {
    const TRect rect{0, 0, 60, 16};
    const QImage solid = Drawn(60, 16, [&](TCanvas& c) { DrawPenStyleItem(c, rect, 0); });
    for (int y : {7, 8, 9}) {
        EXPECT_TRUE(Black(solid, 30, y)) << y;
        // One pixel inside each end.
        EXPECT_TRUE(Black(solid, 1, y)) << y;
        EXPECT_TRUE(Black(solid, 58, y)) << y;
        EXPECT_EQ(solid.pixel(0, y), kGrey) << y;
        EXPECT_EQ(solid.pixel(59, y), kGrey) << y;
    }
    for (int y : {5, 6, 10})
        EXPECT_EQ(solid.pixel(30, y), kGrey) << y;

    for (int index = 1; index <= 4; ++index) {
        const QImage dashed = Drawn(60, 16, [&](TCanvas& c) { DrawPenStyleItem(c, rect, index); });
        int black = 0, background = 0;
        for (int x = 1; x < 59; ++x) {
            black += Black(dashed, x, 8);
            background += dashed.pixel(x, 8) == kGrey;
        }
        EXPECT_GT(black, 0) << index;
        EXPECT_GT(background, 0) << index;
        EXPECT_EQ(dashed.pixel(30, 5), kGrey) << index;
    }

    // A rectangle elsewhere in the list: the lines follow its middle.
    const QImage moved = Drawn(60, 40, [&](TCanvas& c) {
        DrawPenStyleItem(c, TRect{10, 20, 50, 36}, 0);
    });
    EXPECT_TRUE(Black(moved, 30, 27));
    EXPECT_TRUE(Black(moved, 30, 29));
    EXPECT_EQ(moved.pixel(30, 26), kGrey);
    EXPECT_EQ(moved.pixel(10, 28), kGrey);
    EXPECT_TRUE(Black(moved, 11, 28));

    for (int index : {5, -1}) {
        const QImage none = Drawn(60, 16, [&](TCanvas& c) { DrawPenStyleItem(c, rect, index); });
        const QImage empty = Drawn(60, 16, [](TCanvas&) {});
        EXPECT_EQ(none, empty) << index;
    }
}

TEST(StyleItemsTest, PointTypeItemsDrawTheMarkerInItsSquareThenTheText) {
    const TRect rect{0, 0, 120, 16};
    const auto draw = [&](int type) {
        return Drawn(120, 16, [&](TCanvas& c) {
            c.Font.SetName("Arial");
            c.Font.SetSize(8);
            DrawPointTypeItem(c, rect, type, "Croce", 12);
        });
    };
    const QImage cross = draw(6);
    int markerInk = 0, textInk = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 120; ++x) {
            const bool ink = qGray(cross.pixel(x, y)) < 100;
            if (x < 2)
                EXPECT_FALSE(ink) << x << "," << y;
            else if (x < 14)
                markerInk += ink;
            else
                textInk += ink;
        }
    EXPECT_GT(markerInk, 0);
    EXPECT_GT(textInk, 0);
    // The plus is centred in its square: its arms cross at (8, 8).
    EXPECT_TRUE(Black(cross, 8, 8));
    EXPECT_TRUE(Black(cross, 8, 3));
    EXPECT_TRUE(Black(cross, 3, 8));

    // A circle is filled white on the list's background.
    const QImage circle = draw(0);
    EXPECT_EQ(circle.pixel(8, 8), 0xFFFFFFFF);
    EXPECT_EQ(circle.pixel(1, 8), kGrey);
}

} // namespace
} // namespace vx
