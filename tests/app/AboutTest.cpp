#include "app/About.h"
#include "app/Splash.h"

#include "AppTestSupport.h"
#include "platform/runtime/Timer.h"
#include "platform/ui/Image.h"
#include "platform/ui/Label.h"
#include "platform/ui/Panel.h"
#include "support/FormTestSupport.h"

#include <memory>

namespace vx {
namespace {

using test::RunModal;

class AboutTest : public test::AppWindowTest {};

TEST_F(AboutTest, AboutShowsTheVersionInTheLanguage) {
    struct Case {
        int language;
        QString version, title;
    };
    const Case cases[] = {
        {1, "Versione: 1.5.711", "Analisi e report di prove"},
        {2, "Version: 1.5.711", "Test analysis and reports"},
        {3, "Version: 1.5.711", "Prüfungsauswertung und Berichte"},
    };
    for (const Case& c : cases) {
        SetLanguage(c.language);
        std::unique_ptr<TAboutBox> about(CreateForm<TAboutBox>());
        EXPECT_EQ(about->Panel3->Caption(), c.version);
        EXPECT_EQ(about->Panel2->Caption(), c.title);
        EXPECT_FALSE(about->ProgramIcon->Picture().Empty());
    }
}

TEST_F(AboutTest, SplashIsAFramelessTopWindowThatClosesByItsTimer) {
    std::unique_ptr<Tsplashform> splash(CreateForm<Tsplashform>());
    EXPECT_EQ(splash->size(), QSize(399, 206));
    EXPECT_TRUE(splash->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(splash->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(splash->Timer1->Interval(), 3000u);
    EXPECT_TRUE(splash->Timer1->Enabled());
    EXPECT_EQ(splash->Image1->Picture().Width(), 399);
    EXPECT_TRUE(splash->Label1->Caption().isEmpty());
    bool shown = false;
    const int result = RunModal(splash.get(), [&] {
        shown = QTest::qWaitFor([&] { return splash->Label1->Caption() == "1.5.711"; }, 5000);
        splash->Timer1->OnTimer(splash->Timer1.get());
    });
    EXPECT_EQ(result, mrCancel);
    EXPECT_TRUE(shown);
    EXPECT_FALSE(splash->isVisible());
}

} // namespace
} // namespace vx
