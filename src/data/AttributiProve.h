#pragma once

// The ten test styles that documents and projects carry: colour, pen style, line width and
// point marker of each loaded test, shared by the legend and the series.

#include "platform/graphics/Colors.h"
#include "platform/graphics/Pen.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace vx {

class TStream;

struct TAttributoProva {
    TColor Color = clBlack;
    uint8_t Visible = 1;
    // Kept as the stored byte; 0..4 are the styles the dialogs offer.
    TPenStyle PenStyle = psSolid;
    uint32_t Width = 3;
    uint8_t PointType = 0;
    bool operator==(const TAttributoProva&) const = default;
};

class TAttributiProve {
public:
    static constexpr int kCount = 10;
    static constexpr size_t kRecordSize = 16;
    static constexpr size_t kSize = kCount * kRecordSize;

    TAttributiProve() { SetDefaults(); }

    // Record i: visible, solid, width 3, point type i, the i-th colour of black, red, blue,
    // green, teal, grey, maroon, silver, purple, yellow.
    static TAttributoProva DefaultRecord(int i);
    void SetDefaults();

    // i in 0..9; out of range raises EListError.
    TAttributoProva& Record(int i);
    const TAttributoProva& Record(int i) const;
    // The style of test t: the table holds ten, so tests beyond the tenth reuse them in turn.
    const TAttributoProva& ForTest(int test) const;

    // 160 bytes, each record as colour u32, visible u8, style u8, 2 zero bytes, width u32,
    // point type u8, 3 zero bytes.
    void WriteToStream(TStream& stream) const;
    // Exactly 160 bytes; a short stream raises EReadError and leaves the table unchanged.
    void ReadFromStream(TStream& stream);
    // As ReadFromStream, then a table whose first width lies outside 2..100 is not a style
    // table at all (an older or damaged file): every record goes back to its default.
    void ReadCheckedFromStream(TStream& stream);

    bool operator==(const TAttributiProve&) const = default;

private:
    std::array<TAttributoProva, kCount> records_;
};

// The program-wide table.
TAttributiProve& AttributiProve();

} // namespace vx
