#pragma once

#include "platform/graphics/Colors.h"
#include "platform/graphics/Font.h"
#include "platform/runtime/Meta.h"

namespace vx {

// The look of the values that an axis shows in its value box: font, which coordinates,
// offsets, frame and background. The axis gives the fields their meaning.
class Tvaluedefnt : public TPersistent {
public:
    Tvaluedefnt();
    Tvaluedefnt(const Tvaluedefnt& other) { Assign(other); }
    Tvaluedefnt& operator=(const Tvaluedefnt& other);

    TFont font;
    bool X = false;
    bool Y = false;
    int32_t SX = 0;
    int32_t SY = 0;
    bool border = false;
    TColor bordercolor = clBlack;
    bool background = false;
    TColor backgroundcolor = clWhite;

    void Assign(const Tvaluedefnt& source);
    bool operator==(const Tvaluedefnt& other) const;

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
};

} // namespace vx
