#pragma once

// The targets of the objects that carry a binary property: the input is the property's bytes,
// framed as the only property of the object's component stream and read the way a stored page
// reads the object. A refused property must leave its part of the object as it was.

#include "FuzzSupport.h"

#include "platform/runtime/ComponentStream.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Streams.h"

#include <string>
#include <string_view>

namespace vx::fuzz {

inline std::string ComponentWithBinary(std::string_view className, std::string_view property,
                                       std::string_view bytes) {
    std::string s = "TPF0";
    s += static_cast<char>(className.size());
    s += className;
    s += '\0'; // no name
    s += static_cast<char>(property.size());
    s += property;
    s += static_cast<char>(vaBinary);
    const auto n = static_cast<uint32_t>(bytes.size());
    for (int i = 0; i < 4; ++i)
        s += static_cast<char>((n >> (8 * i)) & 0xFF);
    s += bytes;
    s += std::string(2, '\0'); // the ends of the properties and of the children
    return s;
}

template <class T, class WritePart>
void ReadBinaryKeepingPart(const uint8_t* data, size_t size, T& object, std::string_view className,
                           std::string_view property, WritePart writePart) {
    TMemoryStream stream{ComponentWithBinary(className, property, Bytes(data, size))};
    RefusalKeeps([&](TStream& s) { writePart(object, s); }, [&] { ReadComponent(stream, object); });
}

} // namespace vx::fuzz
