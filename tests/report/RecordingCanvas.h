#pragma once

#include "platform/graphics/Canvas.h"
#include "platform/graphics/Printer.h"

#include <string>
#include <vector>

namespace vx::test {

// A canvas that writes down each drawing operation with the pen, brush or text state it was
// drawn in, so that tests compare drawings as short texts.
class RecordingCanvas : public TCanvas {
public:
    RecordingCanvas() : TCanvas(Printer().Caps()) {}
    bool IsRaster() const override { return false; }

    std::vector<std::string> Ops;

    // Operations whose text starts with prefix ("text", "line", ...).
    std::vector<std::string> OpsOf(const std::string& prefix) const {
        std::vector<std::string> out;
        for (const auto& op : Ops)
            if (op.rfind(prefix, 0) == 0)
                out.push_back(op);
        return out;
    }

protected:
    void DoLine(TPoint from, TPoint to) override {
        Add("line " + P(from) + " " + P(to) + PenText());
    }
    void DoPolyline(const TPoint* p, size_t n) override {
        Add("polyline" + Points(p, n) + PenText());
    }
    void DoPolygon(const TPoint* p, size_t n) override {
        Add("polygon" + Points(p, n) + PenText() + BrushText());
    }
    void DoRectangle(const TRect& r) override { Add("rect " + R(r) + PenText() + BrushText()); }
    void DoEllipse(const TRect& r) override { Add("ellipse " + R(r) + PenText() + BrushText()); }
    void DoFillRect(const TRect& r) override { Add("fill " + R(r) + BrushText()); }
    void DoInvertRect(const TRect& r) override { Add("invert " + R(r)); }
    void DoText(int32_t x, int32_t y, std::string_view text, const TRect*) override {
        Add("text " + std::to_string(x) + "," + std::to_string(y) + " align " +
            std::to_string(TextAlign()) + " '" + std::string(text) + "'");
    }
    void DoDrawMetafile(const TRect& r, const Metafile&) override { Add("metafile " + R(r)); }
    void DoDrawBitmap(const TRect& r, const Bitmap&, const TRect&) override {
        Add("bitmap " + R(r));
    }

private:
    void Add(std::string op) { Ops.push_back(std::move(op)); }
    static std::string P(TPoint p) { return std::to_string(p.X) + "," + std::to_string(p.Y); }
    static std::string R(const TRect& r) {
        return P({r.Left, r.Top}) + "-" + P({r.Right, r.Bottom});
    }
    static std::string Points(const TPoint* p, size_t n) {
        std::string s;
        for (size_t i = 0; i < n; ++i)
            s += " " + P(p[i]);
        return s;
    }
    std::string PenText() const {
        return " pen " + std::to_string(Pen.Color) + " w" + std::to_string(Pen.Width) + " s" +
               std::to_string(Pen.Style);
    }
    std::string BrushText() const {
        return " brush " + std::to_string(Brush.Color) + " s" + std::to_string(Brush.Style);
    }
};

} // namespace vx::test
