#include "support/TestSupport.h"

#include "data/Border.h"
#include "data/Valuedefnt.h"
#include "platform/runtime/Component.h"
#include "platform/runtime/ComponentStream.h"

#include <gtest/gtest.h>

using namespace vx;
using vx::test::FromHex;
using vx::test::HexBytes;

namespace {

std::string SStr(std::string_view s) {
    return std::string(1, static_cast<char>(s.size())) + std::string(s);
}
std::string Entry(std::string_view name, std::string_view hexValue, std::string_view text = {}) {
    return SStr(name) + FromHex(hexValue) + std::string(text);
}

// An object that carries a frame and a value box as its axis does.
class THolder : public TComponent {
public:
    using TComponent::TComponent;
    TBorder Border;
    Tvaluedefnt valori;

    static const TClassInfo& StaticClassInfo() {
        static const TClassInfo info =
            TClassBuilder<THolder>("THolder", &TComponent::StaticClassInfo())
                .Object<TBorder>("Border", TBorder::StaticClassInfo(),
                                 [](THolder& h) { return &h.Border; })
                .Object<Tvaluedefnt>("valori", Tvaluedefnt::StaticClassInfo(),
                                     [](THolder& h) { return &h.valori; })
                .Build();
        return info;
    }
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
};

// What the default font writes: every property without a declared default.
std::string FontEntries(std::string_view prefix) {
    std::string p(prefix);
    return Entry(p + "font.Charset", "07 0F", "DEFAULT_CHARSET") +
           Entry(p + "font.Color", "07 07", "clBlack") + Entry(p + "font.Height", "02 F5") +
           Entry(p + "font.Name", "06 08", "Testline") + Entry(p + "font.Style", "0B 00");
}

} // namespace

TEST(ValuedefntTest, DefaultsAsPublished) {
    Tvaluedefnt v;
    EXPECT_EQ(v.font.Name(), "Testline");
    EXPECT_EQ(v.font.Size(), 8);
    EXPECT_EQ(v.font.Color(), clBlack);
    EXPECT_FALSE(v.X || v.Y || v.border || v.background);
    EXPECT_EQ(v.SX, 0);
    EXPECT_EQ(v.bordercolor, 0);
    EXPECT_EQ(v.backgroundcolor, 0xFFFFFF);
    TBorder b;
    EXPECT_TRUE(b.Visible);
    EXPECT_EQ(b.Width, 1);
    EXPECT_EQ(b.Color, 0);
    EXPECT_EQ(GetClass("Tvaluedefnt"), &Tvaluedefnt::StaticClassInfo());
}

TEST(ValuedefntTest, DefaultObjectWritesOnlyItsFont) {
    Tvaluedefnt v;
    std::string expected =
        "TPF0" + SStr("Tvaluedefnt") + SStr("") + FontEntries("") + FromHex("00 00");
    EXPECT_EQ(HexBytes(ComponentToBytes(v)), HexBytes(expected));
    Tvaluedefnt back;
    back.font.SetName("Arial");
    back.font.SetSize(20);
    ComponentFromBytes(expected, back);
    EXPECT_TRUE(back == v);
}

TEST(ValuedefntTest, NestedInAnObjectUnderDottedPaths) {
    THolder h;
    h.SetName("Asse1");
    h.Border.Width = 3;
    h.Border.Color = clWhite;
    h.valori.X = true;
    h.valori.SX = 200;
    h.valori.backgroundcolor = clBtnFace;
    h.valori.font.SetStyle({fsBold, fsItalic});
    h.valori.font.SetColor(0x123456);
    std::string expected =
        "TPF0" + SStr("THolder") + SStr("Asse1") + Entry("Border.Width", "02 03") +
        Entry("Border.Color", "07 07", "clWhite") +
        Entry("valori.font.Charset", "07 0F", "DEFAULT_CHARSET") +
        Entry("valori.font.Color", "04 56 34 12 00") + Entry("valori.font.Height", "02 F5") +
        Entry("valori.font.Name", "06 08", "Testline") +
        Entry("valori.font.Style", "0B 06", "fsBold" + SStr("fsItalic")) + FromHex("00") +
        Entry("valori.X", "09") + Entry("valori.SX", "03 C8 00") +
        Entry("valori.backgroundcolor", "07 09", "clBtnFace") + FromHex("00 00");
    EXPECT_EQ(HexBytes(ComponentToBytes(h)), HexBytes(expected));

    THolder back;
    ComponentFromBytes(expected, back);
    EXPECT_TRUE(back.Border == h.Border);
    EXPECT_TRUE(back.valori == h.valori);
    EXPECT_EQ(back.valori.font.Style(), TFontStyles({fsBold, fsItalic}));
}

TEST(ValuedefntTest, ReadsColourAndCharsetNamesAndPlainNumbers) {
    THolder h;
    ComponentFromBytes("TPF0" + SStr("THolder") + SStr("A") +
                           Entry("Border.Color", "07 07", "clWhite") +
                           Entry("valori.bordercolor", "04 00 00 FF 00") +
                           Entry("valori.font.Charset", "07 0C", "ANSI_CHARSET") +
                           Entry("valori.font.Size", "02 0C") + FromHex("00 00"),
                       h);
    EXPECT_EQ(h.Border.Color, 0xFFFFFF);
    EXPECT_EQ(h.valori.bordercolor, 0xFF0000);
    EXPECT_EQ(h.valori.font.Charset(), ANSI_CHARSET);
    EXPECT_EQ(h.valori.font.Size(), 12);
}
