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

} // namespace vx
