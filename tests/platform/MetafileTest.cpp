#include "platform/graphics/Metafile.h"

#include "GraphicsTestSupport.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/MetafileData.h"
#include "platform/graphics/PainterCanvas.h"
#include "support/TestSupport.h"

#include <QPicture>
#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace vx {
namespace {

using test::InkBox;
using test::PixelColor;
using test::WhiteImage;

TDeviceCaps Caps(int dpi) {
    TDeviceCaps c;
    c.LogPixelsX = c.LogPixelsY = dpi;
    return c;
}

TEST(MetafileTest, LineChainsBecomeOnePolylineRecord) {
    Metafile mf;
    {
        TMetafileCanvas c(mf, Caps(600));
        c.MoveTo(0, 0);
        for (int i = 1; i <= 100; ++i)
            c.LineTo(i, i * 2);
        c.MoveTo(500, 0); // a break starts a new record
        c.LineTo(600, 0);
        c.Pen.Color = clRed; // so does a new pen
        c.LineTo(700, 0);
    }
    // SetPen, chain of 101 points, chain of 2, SetPen, chain of 2.
    EXPECT_EQ(mf.RecordCount(), 5u);
    EXPECT_EQ(mf.Data()->Ints.size(), 2u * (101 + 2 + 2));
}

TEST(MetafileTest, CopiesShareRecordsAndANewCanvasReplacesThem) {
    Metafile a;
    a.SetSize(100, 100);
    {
        TMetafileCanvas c(a, Caps(600));
        c.Rectangle(0, 0, 10, 10);
    }
    Metafile b = a;
    EXPECT_EQ(a.Data(), b.Data());
    {
        TMetafileCanvas c(a, Caps(600));
        c.Draw(0, 0, a); // its own old picture, still in place while recording
        c.Ellipse(0, 0, 5, 5);
    }
    EXPECT_NE(a.Data(), b.Data());
    EXPECT_EQ(b.RecordCount(), 3u); // pen, brush, rectangle
    EXPECT_EQ(a.Data()->Metafiles.at(0).Data(), b.Data());
    a.Clear();
    EXPECT_TRUE(a.Empty());
    EXPECT_EQ(a.Width(), 0);
    EXPECT_FALSE(b.Empty());
}

TEST(MetafileTest, PlaybackScalesToTheRectangleWithoutClipping) {
    Metafile mf;
    mf.SetSize(1000, 1000);
    {
        TMetafileCanvas c(mf, Caps(600));
        c.MoveTo(500, 500);
        c.LineTo(500, 600);
        c.MoveTo(1500, 500); // beyond the frame
        c.LineTo(1800, 500);
    }
    const QImage image = RenderMetafile(mf, 200, 200, clWhite);
    // Into a 100 x 100 rectangle of a 200 x 200 image: (500, 500) lands on (50, 50).
    QImage half = WhiteImage(200, 200);
    {
        QPainter p(&half);
        PlayMetafile(p, mf, QRectF(0, 0, 100, 100));
    }
    EXPECT_EQ(PixelColor(half, 50, 50), clBlack);
    EXPECT_EQ(PixelColor(half, 50, 55), clBlack);
    EXPECT_EQ(PixelColor(half, 51, 55), clWhite);
    EXPECT_EQ(PixelColor(half, 160, 50), clBlack); // not clipped at the frame
    EXPECT_EQ(PixelColor(image, 100, 110), clBlack);
}

// Draws the same scene on any canvas.
void Scene(TCanvas& c) {
    c.Pen.Width = 3;
    c.Pen.Color = clNavy;
    c.Brush.Color = clYellow;
    c.Polygon({{10, 10}, {90, 20}, {50, 80}});
    c.Pen.Width = 1;
    c.MoveTo(0, 100);
    c.LineTo(200, 110);
    c.LineTo(20, 190);
    c.Pen.Style = psDashDot;
    c.Polyline({{0, 195}, {100, 180}, {199, 199}});
    c.Font.SetName("Arial");
    c.Font.SetHeight(-20);
    c.Font.SetColor(clGreen);
    c.Brush.Style = bsClear;
    c.SetTextAlign(TA_CENTER | TA_BOTTOM);
    c.TextOut(120, 60, "Metafile");
    c.Font.SetStyle({fsBold, fsUnderline});
    c.Brush.Style = bsSolid;
    c.TextRect(Rect(100, 140, 180, 170), 100, 140, "clipped text");
    c.Brush.Color = clMaroon;
    c.FillRect(Rect(150, 10, 190, 30));
    c.Ellipse(150, 40, 190, 90);
}

TEST(MetafileTest, PlaybackAtOneToOneDrawsWhatTheCanvasDraws) {
    QImage direct = WhiteImage(200, 200);
    {
        ImageCanvas c(direct);
        Scene(c);
    }
    Metafile mf;
    mf.SetSize(200, 200);
    {
        TMetafileCanvas c(mf, Caps(96));
        Scene(c);
    }
    const QImage played = RenderMetafile(mf, 200, 200, clWhite);
    QRect diff;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x)
            if (played.pixel(x, y) != direct.pixel(x, y))
                diff |= QRect(x, y, 1, 1);
    EXPECT_TRUE(diff.isEmpty()) << diff.x() << "," << diff.y() << " " << diff.width() << "x"
                                << diff.height();

    test::TempDir dir;
    ASSERT_TRUE(SaveMetafilePng(mf, dir.File("scene.png"), 400, 400));
    const QImage png(QString::fromStdString(dir.File("scene.png")));
    EXPECT_EQ(png.size(), QSize(400, 400));
    EXPECT_EQ(png.pixel(300, 40) & 0xFFFFFF, 0x800000u); // the maroon fill, scaled
}

TEST(MetafileTest, RasterOperationsPlayOnlyOnRasterTargets) {
    Metafile mf;
    mf.SetSize(50, 50);
    {
        TMetafileCanvas c(mf, Caps(96));
        c.InvertRect(Rect(0, 0, 20, 20));
        c.Pen.Mode = pmNotXor;
        c.MoveTo(0, 40);
        c.LineTo(50, 40);
    }
    EXPECT_TRUE(mf.HasRasterOps());
    const QImage raster = RenderMetafile(mf, 50, 50, clWhite);
    EXPECT_EQ(PixelColor(raster, 5, 5), clBlack);
    EXPECT_EQ(PixelColor(raster, 30, 40), clBlack);

    QPicture picture; // a recording target, as printers and PDF files are
    {
        QPainter p(&picture);
        PlayMetafile(p, mf, QRectF(0, 0, 50, 50));
    }
    QImage replay = WhiteImage(50, 50);
    {
        QPainter p(&replay);
        p.drawPicture(0, 0, picture);
    }
    EXPECT_TRUE(InkBox(replay).isEmpty());
}

TEST(MetafileTest, BitmapsAndNestedMetafilesPlayInPlace) {
    Metafile inner;
    inner.SetSize(10, 10);
    {
        TMetafileCanvas c(inner, Caps(96));
        c.Brush.Color = clRed;
        c.FillRect(Rect(0, 0, 10, 10));
    }
    Bitmap blue;
    blue.SetSize(2, 2, clBlue);
    Metafile outer;
    outer.SetSize(100, 100);
    {
        TMetafileCanvas c(outer, Caps(96));
        c.StretchDraw(Rect(0, 0, 50, 50), inner);
        c.StretchDraw(Rect(50, 50, 100, 100), blue);
    }
    const QImage image = RenderMetafile(outer, 100, 100, clWhite);
    EXPECT_EQ(PixelColor(image, 49, 49), clRed);
    EXPECT_EQ(PixelColor(image, 50, 50), clBlue);
    EXPECT_EQ(PixelColor(image, 75, 25), clWhite);
}

// Long curves are drawn in pieces for speed; the pixels must be those of the whole curve.
TEST(MetafileTest, LongCurvesDrawTheSamePixelsAsOneStroke) {
    std::vector<QPoint> pts;
    for (int i = 0; i < 600; ++i)
        pts.emplace_back(20 + i / 2, 150 + int(100 * std::sin(i * 0.05)) + (i * 7919) % 13);
    for (int width : {9, 1}) {
        Metafile mf;
        mf.SetSize(400, 300);
        {
            TMetafileCanvas c(mf, Caps(600));
            c.Pen.Width = width;
            c.MoveTo(pts[0].x(), pts[0].y());
            for (const QPoint& p : pts)
                c.LineTo(p.x(), p.y());
        }
        QImage reference = WhiteImage(400, 300);
        {
            QPainter p(&reference);
            // Hairlines leave out their last pixel, as the platform's lines do.
            QPen pen(Qt::black, width == 1 ? 0 : width, Qt::SolidLine,
                     width == 1 ? Qt::FlatCap : Qt::RoundCap, Qt::RoundJoin);
            p.setPen(pen);
            p.drawPolyline(pts.data(), int(pts.size()));
        }
        int differ = 0;
        const QImage played = RenderMetafile(mf, 400, 300, clWhite);
        for (int y = 0; y < 300; ++y)
            for (int x = 0; x < 400; ++x)
                differ += played.pixel(x, y) != reference.pixel(x, y) ? 1 : 0;
        EXPECT_EQ(differ, 0) << "width " << width;
    }
}

// A page object's frame shown smaller than its picture keeps all four edges at every zoom of
// the document window (about 4 % to 32 % of the printer's pixels), drawn as a rectangle or as
// lines along its last column and row.
TEST(MetafileTest, FramesKeepEveryEdgeWhenShownSmaller) {
    constexpr int kW = 4760, kH = 3001;
    for (int kind = 0; kind < 3; ++kind) {
        Metafile mf;
        mf.SetSize(kW, kH);
        {
            TMetafileCanvas c(mf, Caps(600));
            c.Brush.Style = bsClear;
            if (kind == 0) {
                c.Rectangle(0, 0, kW, kH);
            } else {
                // The graph's frame: a pen of 3, or of 1, two pixels inside the picture.
                c.Pen.Width = kind == 1 ? 3 : 1;
                c.Polyline({{2, 2}, {kW - 2, 2}, {kW - 2, kH - 2}, {2, kH - 2}, {2, 2}});
            }
        }
        for (double scale : {0.04, 0.08, 0.12, 0.16, 0.21, 0.24, 0.32, 0.5}) {
            const int w = int(kW * scale), h = int(kH * scale);
            const QImage image = RenderMetafile(mf, w, h, clWhite);
            // Within the frame's inset of two printer pixels, at most one screen pixel.
            const int inset = kind == 0 ? 0 : 1;
            auto dark = [&](int x, int y) {
                for (int d = 0; d <= inset; ++d) {
                    const int px = x == 0 ? d : x == w - 1 ? x - d : x;
                    const int py = y == 0 ? d : y == h - 1 ? y - d : y;
                    if (qGray(image.pixel(px, py)) < 128)
                        return true;
                }
                return false;
            };
            const std::string at = "kind " + std::to_string(kind) + " at " + std::to_string(w) +
                                   " x " + std::to_string(h);
            EXPECT_TRUE(dark(w / 2, 0)) << at;
            EXPECT_TRUE(dark(w / 2, h - 1)) << at;
            EXPECT_TRUE(dark(0, h / 2)) << at;
            EXPECT_TRUE(dark(w - 1, h / 2)) << at;
        }
    }
}

// Shown small, a text keeps the ink below its baseline: its underscores.
TEST(MetafileTest, TextKeepsItsLowestInkWhenShownSmaller) {
    constexpr int kW = 1200, kH = 200;
    Metafile mf;
    mf.SetSize(kW, kH);
    int bottom = 0;
    {
        TMetafileCanvas c(mf, Caps(600));
        c.Font.SetName("Arial");
        c.Font.SetHeight(-67); // 8 points at 600 dpi
        c.Brush.Style = bsClear;
        c.TextOut(10, 20, "Bench_01__");
        bottom = 20 + c.TextHeight("X");
    }
    const QImage full = RenderMetafile(mf, kW, kH, clWhite);
    const int lowest = InkBox(full).bottom();
    ASSERT_GT(lowest, bottom - 20); // the underscores reach into the cell's last rows
    for (double scale : {0.04, 0.08, 0.12, 0.16, 0.24}) {
        const QImage image = RenderMetafile(mf, int(kW * scale), int(kH * scale), clWhite);
        const QRect ink = InkBox(image);
        ASSERT_FALSE(ink.isEmpty()) << scale;
        // The lowest ink stays within a pixel of where the full-size picture puts it.
        EXPECT_GE(ink.bottom() + 1, int(lowest * scale)) << scale;
    }
}

// Curves of a wide pen are played from fewer segments where that is exact; every picture must
// keep each pixel of the curve stroked segment by segment with round caps.
TEST(MetafileTest, WidePensDrawEachPixelOfTheirSegmentsWhateverTheDensity) {
    struct Curve {
        const char* what;
        std::vector<QPoint> pts;
    };
    std::vector<Curve> curves;
    uint32_t noise = 777;
    auto next = [&noise](int range) {
        noise = noise * 1664525u + 1013904223u;
        return int((noise >> 8) % uint32_t(range));
    };
    auto add = [&curves](const char* what) -> std::vector<QPoint>& {
        curves.push_back({what, {}});
        return curves.back().pts;
    };
    {
        auto& c = add("dense sine, many points per x");
        for (int i = 0; i < 12000; ++i)
            c.emplace_back(100 + i * 1800 / 12000, 700 + int(400 * std::sin(i * 0.004)));
    }
    {
        auto& c = add("dense noise");
        for (int i = 0; i < 8000; ++i)
            c.emplace_back(100 + i * 1800 / 8000, 500 + next(60) - 30 + i % 7);
    }
    {
        auto& c = add("sparse");
        for (int i = 0; i < 150; ++i)
            c.emplace_back(100 + i * 12, 900 + int(300 * std::sin(i * 0.3)));
    }
    {
        auto& c = add("flat line with spikes inside one x");
        for (int i = 0; i < 6000; ++i) {
            const int x = 100 + i * 1800 / 6000;
            c.emplace_back(x, i % 211 == 5 ? 200 + next(20) : (i % 307 == 9 ? 1300 : 800));
        }
    }
    {
        auto& c = add("one x back and forth, interior caps beyond the ends");
        for (int i = 0; i < 40; ++i)
            c.emplace_back(1000, 400 + next(7) * (i % 2 ? 1 : 50));
        c.emplace_back(1001, 700);
        c.emplace_back(1001, 699);
        c.emplace_back(1001, 701);
    }
    {
        auto& c = add("horizontal runs, repeated points, right to left");
        for (int i = 0; i < 3000; ++i)
            c.emplace_back(1900 - i / 2, 300 + (i / 400) * 90 + (i % 400 == 0 ? 1 : 0));
        c.emplace_back(c.back());
        c.emplace_back(c.back() + QPoint(0, 1));
    }
    add("a repeated point") = {QPoint(500, 500), QPoint(500, 500), QPoint(500, 500)};
    add("steps of one unit") = {QPoint(300, 300), QPoint(300, 301), QPoint(301, 301),
                                QPoint(301, 300), QPoint(302, 300), QPoint(302, 302)};

    struct Play {
        int width;
        TPenStyle style;
        double sx, sy; // image pixels per logical unit
        bool flipped;
    };
    std::vector<Play> plays = {
        {9, psDash, 0.25, 0.25, false}, // a wide dashed pen draws solid
        {3, psSolid, 1.0, 1.0, false},  {20, psSolid, 0.1337, 0.171, false},
        {41, psSolid, 0.5, 0.43, true}, {6, psDot, 0.61, 0.61, true},
    };
    // 0.4 mm at 600 dpi on the screen at every zoom step where it is a wide pen.
    for (int zoom = 105; zoom <= 200; zoom += 5)
        plays.push_back({9, psSolid, 0.16 * zoom / 100, 0.16 * zoom / 100, false});
    constexpr int kWidth = 2000, kHeight = 1500;
    for (const Curve& curve : curves) {
        Metafile mf;
        mf.SetSize(kWidth, kHeight);
        std::vector<QLine> segments;
        for (size_t i = 1; i < curve.pts.size(); ++i)
            segments.emplace_back(curve.pts[i - 1], curve.pts[i]);
        for (const Play& play : plays) {
            {
                TMetafileCanvas c(mf, Caps(600));
                c.Pen.Width = play.width;
                c.Pen.Style = play.style;
                c.Pen.Color = clBlue;
                c.MoveTo(curve.pts[0].x(), curve.pts[0].y());
                for (const QPoint& p : curve.pts)
                    c.LineTo(p.x(), p.y());
            }
            const int w = int(kWidth * play.sx), h = int(kHeight * play.sy);
            auto place = [&](QPainter& p) {
                if (play.flipped) {
                    p.translate(w, 0);
                    p.scale(-1, 1);
                }
            };
            QImage reference = WhiteImage(w, h);
            {
                QPainter p(&reference);
                place(p);
                p.scale(double(w) / kWidth, double(h) / kHeight);
                p.setPen(QPen(Qt::blue, play.width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
                p.drawLines(segments.data(), int(segments.size()));
            }
            QImage played = WhiteImage(w, h);
            {
                QPainter p(&played);
                place(p);
                PlayMetafile(p, mf, QRectF(0, 0, w, h));
            }
            int differ = 0;
            QPoint at;
            for (int y = 0; y < h; ++y) {
                for (int x = 0; x < w; ++x) {
                    if (played.pixel(x, y) != reference.pixel(x, y) && differ++ == 0)
                        at = QPoint(x, y);
                }
            }
            EXPECT_EQ(differ, 0) << curve.what << ", width " << play.width << " at " << play.sx
                                 << " x " << play.sy << ": first at " << at.x() << ", " << at.y();
            if (curve.pts.size() > 100) {
                EXPECT_FALSE(InkBox(played).isEmpty()) << curve.what;
            }
        }
    }
}

} // namespace
} // namespace vx
