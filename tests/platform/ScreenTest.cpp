#include "platform/graphics/Screen.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace vx {
namespace {

TEST(ScreenTest, ScreenIsMeasuredAt96Dpi) {
    const TScreen s = Screen();
    EXPECT_EQ(s.PixelsPerInch, 96);
    EXPECT_EQ(s.VScrollBarWidth, 17);
    EXPECT_EQ(s.HScrollBarHeight, 17);
    EXPECT_GT(s.Width, 0);
    EXPECT_GT(s.Height, 0);
}

TEST(ScreenTest, ProgramPathComesFromTheSystemUnlessTheEnvironmentNamesOne) {
    unsetenv("VORNIX_PROGRAM_PATH");
    const std::string own = Application().ExeName();
    EXPECT_NE(own.find("vx_platform_tests"), std::string::npos) << own;
    setenv("VORNIX_PROGRAM_PATH", "/opt/vornix/bin/vornix", 1);
    EXPECT_EQ(Application().ExeName(), "/opt/vornix/bin/vornix");
    unsetenv("VORNIX_PROGRAM_PATH");
    EXPECT_EQ(Application().Title, "Vornix");
}

} // namespace
} // namespace vx
