#include "platform/graphics/Drawing.h"

namespace vx {

namespace {

void Line(TCanvas& c, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    c.MoveTo(x1, y1);
    c.LineTo(x2, y2);
}

void Square(TCanvas& c, int32_t x, int32_t y, int32_t s) {
    const TPoint pts[] = {{x - s, y - s}, {x + s, y - s}, {x + s, y + s}, {x - s, y + s}};
    c.Polygon(pts, 4);
}

void Cross(TCanvas& c, int32_t x, int32_t y, int32_t s) {
    Line(c, x - s, y - s, x + s, y + s);
    Line(c, x + s, y - s, x - s, y + s);
}

} // namespace

void DrawMarker(TCanvas& c, int32_t x, int32_t y, int shape, int32_t s) {
    switch (shape) {
    case 0:
        c.Ellipse(x - s, y - s, x + s, y + s);
        break;
    case 1:
        Square(c, x, y, s);
        break;
    case 2: {
        const TPoint pts[] = {{x, y - s}, {x + s, y}, {x, y + s}, {x - s, y}};
        c.Polygon(pts, 4);
        break;
    }
    case 3: {
        const TPoint pts[] = {{x, y - s}, {x + s, y + s}, {x - s, y + s}};
        c.Polygon(pts, 3);
        break;
    }
    case 4: {
        const TPoint pts[] = {{x - s, y - s}, {x + s, y - s}, {x, y + s}};
        c.Polygon(pts, 3);
        break;
    }
    case 5: {
        const TPoint pts[] = {{x - s, y - s}, {x + s, y - s}, {x - s, y + s}, {x + s, y + s}};
        c.Polygon(pts, 4);
        break;
    }
    case 6:
        Line(c, x, y - s, x, y + s);
        Line(c, x - s, y, x + s, y);
        break;
    case 7:
        Cross(c, x, y, s);
        break;
    case 8:
        Square(c, x, y, s);
        Cross(c, x, y, s);
        break;
    case 9:
        c.Ellipse(x - s, y - s, x + s, y + s);
        Line(c, x + 2 - s, y + 2 - s, x + s - 2, y + s - 2);
        Line(c, x + s - 2, y + 2 - s, x + 2 - s, y + s - 2);
        break;
    default:
        break;
    }
}

void DrawXorLine(TCanvas& canvas, TPoint p1, TPoint p2) {
    const TPenMode old = canvas.Pen.Mode;
    canvas.Pen.Mode = pmNotXor;
    Line(canvas, p1.X, p1.Y, p2.X, p2.Y);
    canvas.Pen.Mode = old;
}

std::unique_ptr<TFont> CreateDefaultFont() {
    auto font = std::make_unique<TFont>();
    font->SetName("Testline");
    font->SetSize(8);
    font->SetColor(clBlack);
    font->SetStyle({});
    return font;
}

} // namespace vx
