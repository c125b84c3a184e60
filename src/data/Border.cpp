#include "data/Border.h"

#include "platform/graphics/GraphicsMeta.h"

namespace vx {

void TBorder::Assign(const TBorder& source) {
    Visible = source.Visible;
    Width = source.Width;
    Color = source.Color;
}

bool TBorder::operator==(const TBorder& other) const {
    return Visible == other.Visible && Width == other.Width && Color == other.Color;
}

const TClassInfo& TBorder::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TBorder>("TBorder", &TPersistent::StaticClassInfo())
            .Field("Visible", &TBorder::Visible, 1)
            .Field("Width", &TBorder::Width, 1)
            .Integer(
                "Color", [](const TBorder& b) { return b.Color; },
                [](TBorder& b, int64_t v) { b.Color = static_cast<TColor>(v); }, clBlack,
                &ColorIdents(), "TColor")
            .Build();
    return info;
}

} // namespace vx
