#include "report/Asse.h"

#include "data/Databuff.h"
#include "platform/graphics/Drawing.h"
#include "platform/graphics/GraphicsMeta.h"
#include "platform/runtime/Streams.h"

#include <cstring>

namespace vx {

namespace {

// Little-endian fields at fixed offsets; padding stays zero both ways.
void PutU32(uint8_t* at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<uint8_t>(v >> (8 * i));
}
uint32_t GetU32(const uint8_t* at) {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= static_cast<uint32_t>(at[i]) << (8 * i);
    return v;
}
void PutF64(uint8_t* at, double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, 8);
    PutU32(at, static_cast<uint32_t>(bits));
    PutU32(at + 4, static_cast<uint32_t>(bits >> 32));
}
double GetF64(const uint8_t* at) {
    const uint64_t bits = GetU32(at) | (static_cast<uint64_t>(GetU32(at + 4)) << 32);
    double v;
    std::memcpy(&v, &bits, 8);
    return v;
}
void CheckSize(size_t size, size_t needed) {
    if (size < needed)
        throw EReadError("Stream read error");
}

} // namespace

std::array<uint8_t, TPointMarkerRecord::kSize> TPointMarkerRecord::ToBytes() const {
    std::array<uint8_t, kSize> b{};
    b[0] = MarkerType;
    PutU32(&b[4], static_cast<uint32_t>(FillColor));
    b[8] = Filled;
    b[9] = ShowMarkers;
    PutU32(&b[12], SizeIndex);
    return b;
}

TPointMarkerRecord TPointMarkerRecord::FromBytes(const uint8_t* bytes, size_t size) {
    CheckSize(size, kSize);
    TPointMarkerRecord r;
    r.MarkerType = bytes[0];
    r.FillColor = static_cast<TColor>(GetU32(bytes + 4));
    r.Filled = bytes[8];
    r.ShowMarkers = bytes[9];
    r.SizeIndex = GetU32(bytes + 12);
    return r;
}

std::array<uint8_t, TSplineRecord::kSize> TSplineRecord::ToBytes() const {
    std::array<uint8_t, kSize> b{};
    b[0] = Enabled;
    b[1] = Parameter;
    PutF64(&b[8], Value);
    b[16] = Extrapolation;
    return b;
}

TSplineRecord TSplineRecord::FromBytes(const uint8_t* bytes, size_t size) {
    CheckSize(size, kSize);
    TSplineRecord r;
    r.Enabled = bytes[0];
    r.Parameter = bytes[1];
    r.Value = GetF64(bytes + 8);
    r.Extrapolation = bytes[16];
    return r;
}

std::array<uint8_t, TGridRecord::kSize> TGridRecord::ToBytes() const {
    std::array<uint8_t, kSize> b{};
    b[0] = Enabled;
    PutU32(&b[4], PenWidth);
    b[8] = PenStyle;
    PutU32(&b[12], static_cast<uint32_t>(Color));
    b[16] = MinorLines;
    b[17] = Orientation;
    return b;
}

TGridRecord TGridRecord::FromBytes(const uint8_t* bytes, size_t size) {
    CheckSize(size, kSize);
    TGridRecord r;
    r.Enabled = bytes[0];
    r.PenWidth = GetU32(bytes + 4);
    r.PenStyle = bytes[8];
    r.Color = static_cast<TColor>(GetU32(bytes + 12));
    r.MinorLines = bytes[16];
    r.Orientation = bytes[17];
    return r;
}

TAsse::TAsse(TComponent* owner)
    : TcanvasObj(owner), FontGrand(*CreateDefaultFont()), FontUmis(*CreateDefaultFont()),
      FontValues(*CreateDefaultFont()) {
    if (auto* dataOwner = dynamic_cast<TDataOwner*>(owner))
        data_ = dataOwner->Data();
}

TAsse::~TAsse() = default;

void TAsse::SetGridAlignment(bool on, const TRect& plot, int32_t cellCount) {
    gridAlign_ = on;
    plotRect_ = plot;
    gridCells_ = cellCount;
}

void TAsse::Draw(TCanvas& canvas) {
    canvas_ = &canvas;
}

int32_t TAsse::DivisionCount() const {
    return 0;
}
int32_t TAsse::ValueToPos(double) const {
    return start_;
}
double TAsse::PosToValue(int32_t) const {
    return Minimum;
}
void TAsse::CalcAutoLimits(double, double) {}
void TAsse::CalcLogLimits(double, double, double& e1, double& e2) {
    e1 = 0;
    e2 = 1;
}
std::string TAsse::ChannelCaption(int32_t) const {
    return {};
}
std::string TAsse::ChannelQuantity(int32_t) const {
    return {};
}
std::string TAsse::ChannelUnit(int32_t) const {
    return {};
}
Tdatavector* TAsse::GetChannelData(int32_t, int32_t) const {
    return nullptr;
}
void TAsse::ClampChannels() {
    loaded_ = false;
}
void TAsse::WriteAsse(TStream&) const {}
void TAsse::ReadAsse(TStream&) {}

const TClassInfo& TAsse::StaticClassInfo() {
    using A = TAsse;
    auto byte = [](uint8_t A::*field) {
        return std::make_pair([field](const A& a) { return a.*field; },
                              [field](A& a, int64_t v) { a.*field = static_cast<uint8_t>(v); });
    };
    auto str = [](std::string A::*field) {
        return std::make_pair([field](const A& a) -> const std::string& { return a.*field; },
                              [field](A& a, std::string v) { a.*field = std::move(v); });
    };
    auto dbl = [](double A::*field) {
        return std::make_pair([field](const A& a) { return a.*field; },
                              [field](A& a, double v) { a.*field = v; });
    };
    const auto [getMax, setMax] = dbl(&A::Maximum);
    const auto [getMin, setMin] = dbl(&A::Minimum);
    const auto [getInc, setInc] = dbl(&A::Increment);
    const auto [getGrand, setGrand] = str(&A::Grandezza);
    const auto [getUmis, setUmis] = str(&A::Umisura);
    const auto [getCaption, setCaption] = str(&A::Caption);
    const auto [getFormato, setFormato] = str(&A::Formato);
    const auto [getKind, setKind] = byte(&A::tipoetichette);
    const auto [getSub, setSub] = byte(&A::Sottotacche);
    const auto [getFilterKind, setFilterKind] = byte(&A::filtrotipo);
    const auto [getFilterValue, setFilterValue] = str(&A::filtrovalore);
    const auto [getFilterTol, setFilterTol] = str(&A::filtrotolleranza);
    const auto [getFormula, setFormula] = str(&A::Conversionformula);
    const auto [getUmis2, setUmis2] = str(&A::Umis2);
    static const TClassInfo info =
        TClassBuilder<A>("TAsse", &TcanvasObj::StaticClassInfo())
            .Field("centeraxe", &A::centeraxe, 0)
            .Float("Maximum", getMax, setMax, 100)
            .Float("Minimum", getMin, setMin, 0)
            .Float("Increment", getInc, setInc, 10)
            .Field("Vertical", &A::Vertical, 1)
            .Field("LeftSide", &A::LeftSide, 1)
            .Field("DoubleAxe", &A::DoubleAxe, 0)
            .Object<TFont>("FontGrand", FontClassInfo(), [](A& a) { return &a.FontGrand; })
            .Object<TFont>("FontUmis", FontClassInfo(), [](A& a) { return &a.FontUmis; })
            .Object<TFont>("FontValues", FontClassInfo(), [](A& a) { return &a.FontValues; })
            .String("Grandezza", getGrand, setGrand)
            .String("Umisura", getUmis, setUmis)
            .String("Caption", getCaption, setCaption)
            .String("Formato", getFormato, setFormato, "0.0")
            .Field("limitiautomatici", &A::limitiautomatici, 1)
            .Integer("tipoetichette", getKind, setKind, 0, nullptr, "Byte")
            .Integer("Sottotacche", getSub, setSub, 1, nullptr, "Byte")
            .Field("See_line", &A::See_line, 1)
            .Field("Gradofunzionale", &A::Gradofunzionale, 2)
            .Field("See_funzionale", &A::See_funzionale, 0)
            .Field("usa_attributi_asse", &A::usa_attributi_asse, 1)
            .Field("filtro", &A::filtro, -1)
            .Integer("filtrotipo", getFilterKind, setFilterKind, 0, nullptr, "Byte")
            .String("filtrovalore", getFilterValue, setFilterValue)
            .String("filtrotolleranza", getFilterTol, setFilterTol)
            .Object<Tvaluedefnt>("valori", Tvaluedefnt::StaticClassInfo(),
                                 [](A& a) { return &a.valori; })
            .Field("ValueSort", &A::ValueSort, 0)
            .String("Conversionformula", getFormula, setFormula, {}, 0)
            .String("Umis2", getUmis2, setUmis2)
            .Field("Zeroinclude", &A::Zeroinclude, 0)
            .Field("Scala2Indipendente", &A::Scala2Indipendente, 0)
            .Field("Logarithmic", &A::Logarithmic, 0)
            .Field("ShowLineAttrib", &A::ShowLineAttrib, 0)
            .Enumeration(
                "UseLimitkind", "TLimitkind", {"LK_RealData", "LK_AXELimit"},
                [](const A& a) { return a.UseLimitkind; },
                [](A& a, int64_t v) { a.UseLimitkind = static_cast<TLimitkind>(v); }, LK_RealData)
            .Event("OnClick")
            .Event("OnDblClick")
            .Binary(
                "Asse", [](const A&) { return true; },
                [](const A& a, TStream& s) { a.WriteAsse(s); },
                [](A& a, TStream& s) { a.ReadAsse(s); })
            .Build();
    return info;
}

namespace {
// Registered for streaming with the unit, as the stored graphs expect.
const bool registered = (RegisterClass(TAsse::StaticClassInfo()), true);
} // namespace

} // namespace vx
