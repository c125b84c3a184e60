#include "data/Valuedefnt.h"

#include "platform/graphics/GraphicsMeta.h"

namespace vx {

Tvaluedefnt::Tvaluedefnt() {
    // The default font of every page object: Testline, 8 points, black.
    font.SetName("Testline");
    font.SetSize(8);
    font.SetColor(clBlack);
}

Tvaluedefnt& Tvaluedefnt::operator=(const Tvaluedefnt& other) {
    Assign(other);
    return *this;
}

void Tvaluedefnt::Assign(const Tvaluedefnt& source) {
    if (this == &source)
        return;
    font.Assign(source.font);
    X = source.X;
    Y = source.Y;
    SX = source.SX;
    SY = source.SY;
    border = source.border;
    bordercolor = source.bordercolor;
    background = source.background;
    backgroundcolor = source.backgroundcolor;
}

bool Tvaluedefnt::operator==(const Tvaluedefnt& other) const {
    return font.SameAttributes(other.font) && X == other.X && Y == other.Y && SX == other.SX &&
           SY == other.SY && border == other.border && bordercolor == other.bordercolor &&
           background == other.background && backgroundcolor == other.backgroundcolor;
}

const TClassInfo& Tvaluedefnt::StaticClassInfo() {
    using V = Tvaluedefnt;
    static const TClassInfo info =
        TClassBuilder<V>("Tvaluedefnt", &TPersistent::StaticClassInfo())
            .Object<TFont>("font", FontClassInfo(), [](V& v) { return &v.font; })
            .Field("X", &V::X, 0)
            .Field("Y", &V::Y, 0)
            .Field("SX", &V::SX, 0)
            .Field("SY", &V::SY, 0)
            .Field("border", &V::border, 0)
            .Integer(
                "bordercolor", [](const V& v) { return v.bordercolor; },
                [](V& v, int64_t c) { v.bordercolor = static_cast<TColor>(c); }, clBlack,
                &ColorIdents(), "TColor")
            .Field("background", &V::background, 0)
            .Integer(
                "backgroundcolor", [](const V& v) { return v.backgroundcolor; },
                [](V& v, int64_t c) { v.backgroundcolor = static_cast<TColor>(c); }, clWhite,
                &ColorIdents(), "TColor")
            .Build();
    return info;
}

namespace {
// Registered for streaming with the unit, as the stored objects expect.
const bool registered = (RegisterClass(Tvaluedefnt::StaticClassInfo()), true);
} // namespace

} // namespace vx
