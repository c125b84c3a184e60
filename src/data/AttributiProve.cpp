#include "data/AttributiProve.h"

#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/Strings.h"

namespace vx {

namespace {

constexpr TColor kDefaultColors[TAttributiProve::kCount] = {
    clBlack, clRed, clBlue, clGreen, clTeal, clGray, clMaroon, clSilver, clPurple, clYellow};

uint32_t GetU32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

void PutU32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}

} // namespace

TAttributoProva TAttributiProve::DefaultRecord(int i) {
    TAttributoProva r;
    r.Color = kDefaultColors[((i % kCount) + kCount) % kCount];
    r.PointType = static_cast<uint8_t>(((i % kCount) + kCount) % kCount);
    return r;
}

void TAttributiProve::SetDefaults() {
    for (int i = 0; i < kCount; ++i)
        records_[static_cast<size_t>(i)] = DefaultRecord(i);
}

TAttributoProva& TAttributiProve::Record(int i) {
    if (i < 0 || i >= kCount)
        throw EListError("List index out of bounds (" + IntToStr(i) + ")");
    return records_[static_cast<size_t>(i)];
}

const TAttributoProva& TAttributiProve::Record(int i) const {
    return const_cast<TAttributiProve*>(this)->Record(i);
}

const TAttributoProva& TAttributiProve::ForTest(int test) const {
    return records_[static_cast<size_t>(((test % kCount) + kCount) % kCount)];
}

void TAttributiProve::WriteToStream(TStream& stream) const {
    uint8_t bytes[kSize] = {};
    for (size_t i = 0; i < kCount; ++i) {
        uint8_t* p = bytes + i * kRecordSize;
        const TAttributoProva& r = records_[i];
        PutU32(p, static_cast<uint32_t>(r.Color));
        p[4] = r.Visible;
        p[5] = static_cast<uint8_t>(r.PenStyle);
        PutU32(p + 8, r.Width);
        p[12] = r.PointType;
    }
    stream.WriteBuffer(bytes, kSize);
}

void TAttributiProve::ReadFromStream(TStream& stream) {
    uint8_t bytes[kSize];
    stream.ReadBuffer(bytes, kSize);
    for (size_t i = 0; i < kCount; ++i) {
        const uint8_t* p = bytes + i * kRecordSize;
        TAttributoProva& r = records_[i];
        r.Color = static_cast<TColor>(GetU32(p));
        r.Visible = p[4];
        r.PenStyle = static_cast<TPenStyle>(p[5]);
        r.Width = GetU32(p + 8);
        r.PointType = p[12];
    }
}

void TAttributiProve::ReadCheckedFromStream(TStream& stream) {
    ReadFromStream(stream);
    if (records_[0].Width < 2 || records_[0].Width > 100)
        SetDefaults();
}

TAttributiProve& AttributiProve() {
    static TAttributiProve table;
    return table;
}

} // namespace vx
