#pragma once

// The record layout behind Metafile; read by the players in this folder only.

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Metafile.h"

#include <string>
#include <vector>

namespace vx {

enum class MetaRecordKind : uint8_t {
    SetPen,       // index: pens
    SetBrush,     // index: brushes
    SetText,      // index: text states
    Polyline,     // ints: count points
    Polygon,      // ints: count points
    Rectangle,    // ints: l t r b
    Ellipse,      // ints: l t r b
    FillRect,     // ints: l t r b
    InvertRect,   // ints: l t r b
    Text,         // ints: x y; index: texts
    ClippedText,  // ints: x y l t r b; index: texts
    DrawMetafile, // ints: l t r b; index: metafiles
    DrawBitmap,   // ints: dest l t r b, source l t r b; index: bitmaps
};

struct MetaRecord {
    MetaRecordKind Kind;
    uint32_t Offset; // into Ints
    uint32_t Count;  // points of a polyline or polygon
    uint32_t Index;  // into the table the kind names
};

struct MetaTextState {
    LOGFONTA Font;
    TColor Color = clBlack;
    uint32_t Align = 0;
    bool operator==(const MetaTextState&) const = default;
};

struct MetafileData {
    std::vector<MetaRecord> Records;
    std::vector<int32_t> Ints; // points packed as x, y
    std::vector<TPen> Pens;
    std::vector<TBrush> Brushes;
    std::vector<MetaTextState> TextStates;
    std::vector<std::string> Texts;
    std::vector<Metafile> Metafiles;
    std::vector<Bitmap> Bitmaps;
    bool HasRasterOps = false;
};

// Four ints from offset as a rectangle (left, top, right, bottom).
inline TRect RectAt(const std::vector<int32_t>& ints, uint32_t offset) {
    return {ints[offset], ints[offset + 1], ints[offset + 2], ints[offset + 3]};
}

// The pen, brush and text state of one playback, as its state records set them; every player
// starts from the same defaults.
struct MetaDrawState {
    const TPen* Pen = &DefaultPen();
    const TBrush* Brush = &DefaultBrush();
    const MetaTextState* Text = &DefaultText();

    // Takes a state record; false for a drawing record.
    bool Take(const MetafileData& d, const MetaRecord& r) {
        switch (r.Kind) {
        case MetaRecordKind::SetPen:
            Pen = &d.Pens[r.Index];
            return true;
        case MetaRecordKind::SetBrush:
            Brush = &d.Brushes[r.Index];
            return true;
        case MetaRecordKind::SetText:
            Text = &d.TextStates[r.Index];
            return true;
        default:
            return false;
        }
    }

private:
    static const TPen& DefaultPen() {
        static const TPen pen;
        return pen;
    }
    static const TBrush& DefaultBrush() {
        static const TBrush brush;
        return brush;
    }
    static const MetaTextState& DefaultText() {
        static const MetaTextState text{};
        return text;
    }
};

} // namespace vx
