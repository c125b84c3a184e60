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

} // namespace
} // namespace vx
