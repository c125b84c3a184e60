#pragma once

// The component stream: "TPF0", the class name, the object name, the published properties
// that differ from their defaults (nested objects under dotted paths), the class's binary
// properties, and two closing zero bytes. Objects are always read into an existing instance
// (or one made by the class registry) and then told that loading has ended.

#include "platform/runtime/Meta.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vx {

class TComponent;
class TStream;

// Value tags of the stream.
enum TValueType : uint8_t {
    vaNull = 0,
    vaList = 1,
    vaInt8 = 2,
    vaInt16 = 3,
    vaInt32 = 4,
    vaExtended = 5,
    vaString = 6,
    vaIdent = 7,
    vaFalse = 8,
    vaTrue = 9,
    vaBinary = 10,
    vaSet = 11,
    vaLString = 12,
    vaNil = 13,
    vaCollection = 14,
    vaSingle = 15,
    vaCurrency = 16,
    vaDate = 17,
    vaWString = 18,
    vaInt64 = 19,
    vaUTF8String = 20,
};

// Writes the object at the stream's position; only the object's own bytes.
void WriteComponent(TStream& stream, const TPersistent& object);

// Reads one object into `object`: the stored class name is ignored, the stored name is given
// to a component (made unique within its owner), and Loaded runs after the last byte.
// Failures raise EReadError: "Invalid stream format", "Error reading <object>.<property>:
// Property <name> does not exist", "... : Invalid property value", "Stream read error".
void ReadComponent(TStream& stream, TPersistent& object);

// Reads one object whose class the registry makes by its stored name ("Class <name> not
// found" otherwise), owned by `owner`. Nothing is left behind when the read fails.
TPersistent* ReadNewComponent(TStream& stream, TComponent* owner);

// The component stream of an object, as bytes; and back.
std::string ComponentToBytes(const TPersistent& object);
void ComponentFromBytes(std::string_view bytes, TPersistent& object);

} // namespace vx
