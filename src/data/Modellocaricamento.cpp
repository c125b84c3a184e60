#include "data/Modellocaricamento.h"

#include "platform/runtime/Streams.h"

#include <exception>
#include <string_view>

namespace vx {

namespace {

constexpr std::string_view kMagic = "Kolm_WHF_V_1.0";

TCellPos ReadPos(TStream& stream) {
    TCellPos pos;
    pos.Col = stream.ReadI32();
    pos.Row = stream.ReadI32();
    return pos;
}

void WritePos(TStream& stream, TCellPos pos) {
    stream.WriteI32(pos.Col);
    stream.WriteI32(pos.Row);
}

// i32 count, then per entry an i32 length and the bytes.
void ReadList(TStream& stream, TStringList& list) {
    const size_t count = stream.CheckCount(stream.ReadI32(), 4);
    for (size_t i = 0; i < count; ++i)
        list.Add(stream.ReadLongString());
}

void WriteList(TStream& stream, const TStringList& list) {
    stream.WriteI32(list.Count());
    for (const std::string& item : list.Items())
        stream.WriteLongString(item);
}

} // namespace

bool TModellocaricamento::LoadFromFile(const std::string& fileName) {
    try {
        TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
        if (stream.ReadShortString() != kMagic)
            return false;
        // Read whole before anything is taken over, so that a cut file changes nothing.
        const std::string mask = stream.ReadShortString();
        const TCellPos names = ReadPos(stream);
        const TCellPos units = ReadPos(stream);
        const TCellPos data = ReadPos(stream);
        TStringList first;
        TStringList second;
        ReadList(stream, first);
        ReadList(stream, second);
        Mask = mask;
        NamesPos = names;
        UnitsPos = units;
        DataPos = data;
        FirstList.Assign(first);
        SecondList.Assign(second);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool TModellocaricamento::SaveToFile(const std::string& fileName) const {
    try {
        TMemoryStream stream;
        stream.WriteShortString(kMagic);
        stream.WriteShortString(Mask);
        WritePos(stream, NamesPos);
        WritePos(stream, UnitsPos);
        WritePos(stream, DataPos);
        WriteList(stream, FirstList);
        WriteList(stream, SecondList);
        WriteFileAtomically(fileName, stream.Bytes());
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace vx
