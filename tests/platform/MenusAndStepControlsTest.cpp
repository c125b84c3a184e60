#include "platform/graphics/Printer.h"
#include "platform/runtime/UiServices.h"
#include "platform/ui/Edit.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/ProgressBar.h"
#include "platform/ui/QtUiServices.h"
#include "platform/ui/SpinEdit.h"
#include "platform/ui/UpDown.h"

#include "support/TestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace vx {
namespace {

std::vector<std::string> Names(const std::vector<TMenuItem*>& items) {
    std::vector<std::string> names;
    for (const TMenuItem* item : items)
        names.push_back(item->objectName().toStdString());
    return names;
}

TEST(MenusTest, AMergedMenuTakesThePlacesOfItsGroups) {
    TMainMenu main(nullptr, "Main");
    main.Add("File", "File", 0);
    main.Add("Doc", "Doc", 1);
    main.Add("Window", "Window", 5);
    main.Add("Help", "Help", 9);
    TMainMenu child(nullptr, "Child");
    child.Add("Documento1", "Documento", 1);
    child.Add("Modifica1", "Modifica", 1);
    child.Add("Extra", "Extra", 7);
    QMenuBar bar;
    main.AttachTo(&bar);

    EXPECT_EQ(Names(main.ShownItems()),
              (std::vector<std::string>{"File", "Doc", "Window", "Help"}));
    main.Merge(&child);
    const std::vector<std::string> merged{"File",   "Documento1", "Modifica1",
                                          "Window", "Extra",      "Help"};
    EXPECT_EQ(Names(main.ShownItems()), merged);
    ASSERT_EQ(bar.actions().size(), 6);
    EXPECT_EQ(bar.actions()[1]->objectName(), "Documento1");
    main.Unmerge(&child);
    EXPECT_EQ(Names(main.ShownItems()),
              (std::vector<std::string>{"File", "Doc", "Window", "Help"}));
    EXPECT_EQ(bar.actions().size(), 4);
}

TEST(MenusTest, SubmenusFireAsTheyOpenAndItemsKeepTheirChecks) {
    TMainMenu menu(nullptr, "Menu");
    TMenuItem* page = menu.Add("Pagina2", "Pagina", 1);
    TMenuItem* header = page->Add("Intestazione1", "Intestazione");
    int opened = 0;
    page->OnClick = [&](QObject*) {
        ++opened;
        header->SetChecked(true);
    };
    int chosen = 0;
    header->OnClick = [&](QObject*) { ++chosen; };
    ASSERT_NE(page->SubMenu(), nullptr);
    EXPECT_EQ(page->Count(), 1);
    EXPECT_EQ(page->Items(0), header);
    emit page->SubMenu()->aboutToShow();
    EXPECT_EQ(opened, 1);
    EXPECT_TRUE(header->isChecked());
    // Choosing a checked item leaves the mark to its handler.
    header->trigger();
    EXPECT_EQ(chosen, 1);
    EXPECT_TRUE(header->isChecked());
    // An item with a submenu fires only as the submenu opens.
    page->trigger();
    EXPECT_EQ(opened, 1);

    header->SetShortCut(QKeySequence("Ctrl+H"));
    EXPECT_EQ(header->ShortCut(), QKeySequence("Ctrl+H"));
    header->setProperty("Visible", false);
    header->setProperty("Enabled", false);
    EXPECT_FALSE(header->Visible());
    EXPECT_FALSE(header->Enabled());
}

TEST(StepControlsTest, UpDownStaysWithinItsBoundsAndAsksBeforeMoving) {
    TUpDown upDown(nullptr, "UpDown1");
    upDown.SetMin(1);
    upDown.SetMax(5);
    upDown.SetPosition(9);
    EXPECT_EQ(upDown.Position(), 5);
    std::vector<int> asked;
    bool allow = true;
    upDown.OnChanging = [&](QObject*, int next, bool& ok) {
        asked.push_back(next);
        ok = allow;
    };
    upDown.Step(1);
    upDown.DownButton()->click();
    EXPECT_EQ(upDown.Position(), 4);
    allow = false;
    upDown.Step(-1);
    EXPECT_EQ(upDown.Position(), 4);
    EXPECT_EQ(asked, (std::vector<int>{4, 3}));
    upDown.SetMax(2);
    EXPECT_EQ(upDown.Position(), 2);
}

TEST(StepControlsTest, SpinEditClampsWhatWasTyped) {
    TSpinEdit spin(nullptr, "SpinEdit1");
    spin.SetMinValue(0);
    spin.SetMaxValue(500);
    struct Case {
        const char* typed;
        int value;
    };
    const Case cases[] = {{"600", 500}, {"15", 15}, {"-3", 0}, {"99999999999", 500}};
    for (const Case& c : cases) {
        spin.selectAll();
        QTest::keyClicks(&spin, c.typed);
        EXPECT_EQ(spin.Value(), c.value) << c.typed;
    }
    spin.SetValue(700);
    EXPECT_EQ(spin.Value(), 500);
    EXPECT_EQ(spin.property("Value").toInt(), 500);
}

TEST(StepControlsTest, ProgressBarClampsItsPosition) {
    TProgressBar bar(nullptr, "ProgressBar1");
    bar.SetMax(3);
    bar.SetPosition(7);
    EXPECT_EQ(bar.Position(), 3);
    bar.SetPosition(-1);
    EXPECT_EQ(bar.Position(), 0);
}

TEST(StepControlsTest, EditReportsEnterAndMaySwallowKeys) {
    TEdit edit(nullptr, "Edit1");
    std::string keys;
    edit.OnKeyPress = [&](QObject*, char& key) {
        keys += key == '\r' ? std::string("<CR>") : std::string(1, key);
        if (key == 'x')
            key = 0;
    };
    QTest::keyClicks(&edit, "axb");
    QTest::keyClick(&edit, Qt::Key_Return);
    EXPECT_EQ(keys, "axb<CR>");
    EXPECT_EQ(edit.Text(), "ab");
}

TEST(UiServicesTest, SavingOverAFileAsksFirst) {
    test::TempDir dir;
    test::ScopedUi scoped;
    ScriptedUiServices& ui = scoped.ui;
    const std::string existing = dir.File("a.WMF");
    test::WriteFile(existing, "x");
    FileDialogRequest request;
    request.OverwritePrompt = "Replace %s?";
    struct Case {
        std::string chosen;
        std::vector<int> answers;
        std::string result;
        size_t questions;
    };
    const Case cases[] = {{existing, {mrYes}, existing, 1},
                          {existing, {mrNo}, "", 1},
                          {dir.File("new.WMF"), {}, dir.File("new.WMF"), 0},
                          {"", {}, "", 0}};
    for (const Case& c : cases) {
        ui.Messages.clear();
        ui.SaveAnswers = {c.chosen};
        ui.MessageAnswers = {c.answers.begin(), c.answers.end()};
        EXPECT_EQ(ui.SaveFileAsking(request), c.result) << c.chosen;
        ASSERT_EQ(ui.Messages.size(), c.questions);
        if (c.questions) {
            EXPECT_EQ(ui.Messages[0].Text, "Replace " + existing + "?");
            EXPECT_EQ(ui.Messages[0].Buttons, unsigned(mbYes | mbNo));
        }
    }
    request.OverwritePrompt.clear();
    ui.SaveAnswers = {existing};
    ui.Messages.clear();
    EXPECT_EQ(ui.SaveFileAsking(request), existing);
    EXPECT_TRUE(ui.Messages.empty());
}

TEST(UiServicesTest, PrintDialogOffersOurPrintersAndReadsTheRange) {
    test::InstallVirtualPrinter();
    auto second = std::make_shared<VirtualPrinter>("VP-B");
    InstallPrinterProvider(std::make_shared<FixedPrinterProvider>(
        std::vector<std::shared_ptr<PrinterDevice>>{std::make_shared<VirtualPrinter>(), second}));
    PrintDialogRequest request;
    request.MinPage = 1;
    request.MaxPage = 5;
    request.FromPage = 1;
    request.ToPage = 5;
    std::unique_ptr<QDialog> dialog(MakePrintDialog(request));
    auto* printers = dialog->findChild<QComboBox*>("PrinterList");
    ASSERT_NE(printers, nullptr);
    EXPECT_EQ(printers->count(), 2);
    EXPECT_EQ(printers->itemText(1), "VP-B");
    EXPECT_TRUE(dialog->findChild<QRadioButton*>("RangeAll")->isChecked());
    printers->setCurrentIndex(1);
    dialog->findChild<QSpinBox*>("FromPage")->setValue(2);
    dialog->findChild<QSpinBox*>("ToPage")->setValue(9);
    ReadPrintDialog(*dialog, request);
    EXPECT_EQ(request.PrintRange, TPrintRange::prPageNums);
    EXPECT_EQ(request.FromPage, 2);
    EXPECT_EQ(request.ToPage, 5) << "bounded by the page count";
    EXPECT_EQ(&Printer(), second.get());

    std::unique_ptr<QDialog> setup(MakePrinterSetupDialog());
    setup->findChild<QCheckBox*>("Landscape")->setChecked(true);
    ReadPrinterSetupDialog(*setup);
    EXPECT_EQ(second->Orientation(), poLandscape);
    test::InstallVirtualPrinter();
}

} // namespace
} // namespace vx
