#pragma once

#include "platform/graphics/Colors.h"
#include "platform/runtime/Meta.h"

namespace vx {

// A frame that graph objects draw with: whether it shows, its width and its colour.
class TBorder : public TPersistent {
public:
    bool Visible = true;
    int32_t Width = 1;
    TColor Color = clBlack;

    void Assign(const TBorder& source);
    bool operator==(const TBorder& other) const;

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
};

} // namespace vx
