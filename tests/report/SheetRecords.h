#pragma once

// The drawing of a composed picture as lists that tests compare: texts, fills, outlined
// rectangles and lines, each with the state it was drawn in.

#include "platform/graphics/Metafile.h"
#include "platform/graphics/MetafileData.h"

#include <string>
#include <vector>

namespace vx::test {

struct SheetText {
    std::string Text;
    int32_t X = 0;
    int32_t Y = 0;
    uint32_t Align = 0;
};

struct SheetFill {
    TRect Rect;
    TColor Color = clWhite;
};

struct SheetShape {
    TRect Rect;
    TPen Pen;
    TBrush Brush;
};

struct SheetLine {
    std::vector<TPoint> Points;
    TPen Pen;
};

struct SheetRecords {
    std::vector<SheetText> Texts;
    std::vector<SheetFill> Fills;
    std::vector<SheetShape> Rectangles;
    std::vector<SheetLine> Lines;
};

inline SheetRecords ReadSheet(const Metafile& sheet) {
    const MetafileData& d = *sheet.Data();
    SheetRecords out;
    TPen pen;
    TBrush brush;
    MetaTextState text;
    auto ints = [&d](const MetaRecord& r, size_t i) { return d.Ints[r.Offset + i]; };
    auto rect = [&](const MetaRecord& r) {
        return TRect{ints(r, 0), ints(r, 1), ints(r, 2), ints(r, 3)};
    };
    for (const MetaRecord& r : d.Records) {
        switch (r.Kind) {
        case MetaRecordKind::SetPen:
            pen = d.Pens[r.Index];
            break;
        case MetaRecordKind::SetBrush:
            brush = d.Brushes[r.Index];
            break;
        case MetaRecordKind::SetText:
            text = d.TextStates[r.Index];
            break;
        case MetaRecordKind::Text:
            out.Texts.push_back({d.Texts[r.Index], ints(r, 0), ints(r, 1), text.Align});
            break;
        case MetaRecordKind::FillRect:
            out.Fills.push_back({rect(r), brush.Color});
            break;
        case MetaRecordKind::Rectangle:
            out.Rectangles.push_back({rect(r), pen, brush});
            break;
        case MetaRecordKind::Polyline: {
            SheetLine line{{}, pen};
            for (uint32_t i = 0; i < r.Count; ++i)
                line.Points.push_back({ints(r, 2 * i), ints(r, 2 * i + 1)});
            out.Lines.push_back(std::move(line));
            break;
        }
        default:
            break;
        }
    }
    return out;
}

} // namespace vx::test
