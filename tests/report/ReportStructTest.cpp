#include "report/view/ReportStruct.h"

#include "localisation/Strglobmod.h"
#include "localisation/mlLangDispatcher.h"

#include <QApplication>
#include <QFrame>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QSplitter>
#include <QToolBar>
#include <gtest/gtest.h>

namespace vx {
namespace {

TEST(ReportStructTest, AnMdiChildWithItsPanelsThatFreesItselfOnClose) {
    QMdiArea area;
    area.resize(800, 600);
    area.show();
    QPointer<TFReportStruct> form = CreateForm<TFReportStruct>(&area);
    ASSERT_EQ(area.subWindowList().size(), 1);
    EXPECT_EQ(area.subWindowList()[0]->widget(), form.data());
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->Caption(), "Struttura Report");

    EXPECT_EQ(form->findChild<QFrame*>("ButtonBar"), form->ButtonBar);
    EXPECT_EQ(form->findChild<QToolBar*>("ToolBar1"), form->ToolBar1);
    auto* splitter = form->findChild<QSplitter*>("Splitter1");
    ASSERT_NE(splitter, nullptr);
    ASSERT_EQ(splitter->count(), 2);
    EXPECT_EQ(splitter->widget(0)->objectName(), "WorkPanel");
    EXPECT_EQ(splitter->widget(1)->objectName(), "LayoutPanel");

    QPointer<QMdiSubWindow> frame = area.subWindowList()[0];
    form->Close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(form.isNull());
    EXPECT_TRUE(frame.isNull());
}

TEST(ReportStructTest, CaptionFollowsTheProgramsLanguage) {
    TSTRGlobData& glob = CreateSTRGlobData();
    struct Restore {
        ~Restore() { FreeSTRGlobData(); }
    } restore;
    std::unique_ptr<TFReportStruct> form(CreateForm<TFReportStruct>());
    const std::pair<int, QString> cases[] = {
        {2, "Report structure"}, {3, "Berichtsstruktur"}, {1, "Struttura Report"}};
    for (const auto& [language, caption] : cases) {
        glob.mlLangDispatcher1->SetActiveLanguage(language);
        EXPECT_EQ(form->Caption(), caption) << language;
    }
    glob.mlLangDispatcher1->SetActiveLanguage(2);
    std::unique_ptr<TFReportStruct> later(CreateForm<TFReportStruct>());
    EXPECT_EQ(later->Caption(), "Report structure") << "a new window opens in the current language";
}

} // namespace
} // namespace vx
