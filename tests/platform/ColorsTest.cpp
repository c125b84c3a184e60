#include "platform/graphics/Colors.h"

#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Strings.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

TEST(ColorsTest, IdentifiersRoundTripIgnoringCase) {
    struct Case {
        TColor color;
        const char* ident;
    };
    const Case cases[] = {
        {clWhite, "clWhite"},           {clBlack, "clBlack"},     {clRed, "clRed"},
        {clSilver, "clSilver"},         {clBtnFace, "clBtnFace"}, {clWindowText, "clWindowText"},
        {clInfoBk, "clInfoBk"},         {clNone, "clNone"},       {clDefault, "clDefault"},
        {clMoneyGreen, "clMoneyGreen"},
    };
    for (const auto& c : cases) {
        std::string ident;
        ASSERT_TRUE(ColorToIdent(c.color, ident)) << c.ident;
        EXPECT_EQ(ident, c.ident);
        TColor back = 0;
        ASSERT_TRUE(IdentToColor(UpperCase(c.ident), back)) << c.ident;
        EXPECT_EQ(back, c.color);
    }
}

TEST(ColorsTest, ValuesWithoutNameWriteAsHex) {
    std::string ident;
    EXPECT_FALSE(ColorToIdent(0x123456, ident));
    EXPECT_EQ(ColorToString(0x123456), "$00123456");
    EXPECT_EQ(ColorToString(clLtGray), "clSilver");
    EXPECT_EQ(StringToColor("$00123456"), 0x123456);
    EXPECT_EQ(StringToColor("clwhite"), clWhite);
    EXPECT_THROW(StringToColor("clNoSuchColour"), EConvertError);
}

TEST(ColorsTest, LayoutIsBgrAndSystemColorsResolve) {
    EXPECT_EQ(RGB(1, 2, 3), 0x030201);
    EXPECT_EQ(GetRValue(clRed), 255);
    EXPECT_EQ(GetBValue(clBlue), 255);
    EXPECT_EQ(ColorToRGB(clWindow), clWhite);
    EXPECT_EQ(ColorToRGB(clWindowText), clBlack);
    EXPECT_EQ(ColorToRGB(clBtnFace), RGB(212, 208, 200));
    EXPECT_EQ(ColorToRGB(clSystemColor | 200), clBlack);
    EXPECT_EQ(ColorToRGB(0x00ABCDEF), 0x00ABCDEF);
}

} // namespace
} // namespace vx
