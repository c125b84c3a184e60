#include "app/GetProve.h"

#include "AppTestSupport.h"
#include "data/WPComp.h"
#include "platform/graphics/Screen.h"
#include "platform/runtime/Cp1252.h"
#include "platform/ui/Button.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/DirectoryListBox.h"
#include "platform/ui/Edit.h"
#include "platform/ui/FileListBox.h"
#include "platform/ui/Label.h"
#include "platform/ui/Memo.h"
#include "platform/ui/SpeedButton.h"
#include "support/FormTestSupport.h"

#include <limits>
#include <memory>

namespace vx {
namespace {

using test::ClickItem;
using test::DoubleClickItem;
using test::ReadFile;
using test::RunModal;
using test::TypeInto;
using test::WriteFile;

class GetProveTest : public test::AppWindowTest {
protected:
    std::unique_ptr<TOpenListFile> Chooser() {
        std::unique_ptr<TOpenListFile> form(CreateForm<TOpenListFile>());
        return form;
    }
    std::string Kolm(const std::string& key) {
        std::string value;
        ReadKolmVar(BasePath, "Kolm Path", key, value);
        return value;
    }
    void WriteKolm(const std::string& lines) {
        WriteFile(BasePath + "System/KOLMVAR.SET", "[Kolm Path]\r\n" + lines);
    }
    // A folder of test files below the base folder, without its trailing separator.
    std::string Folder(const std::string& name, const std::vector<std::string>& files) {
        const std::string folder = BasePath + name;
        ForceDirectories(folder);
        for (const std::string& file : files)
            WriteFile(folder + "/" + file, "1\r\n");
        return folder;
    }
};

TEST_F(GetProveTest, DoubleClickedFilesFillTheListUpToTen) {
    std::vector<std::string> names;
    for (int i = 0; i < 11; ++i)
        names.push_back("t" + std::to_string(10 + i) + ".txt");
    const std::string folder = Folder("Prove", names);
    for (int language : {1, 2}) {
        SetLanguage(language);
        auto form = Chooser();
        ASSERT_TRUE(form->DirectoryListBox1->SetDirectory(folder));
        ui.Messages.clear();
        const int result = RunModal(form.get(), [&] {
            for (int i = 0; i < 11; ++i)
                DoubleClickItem(form->FileListBox1, i);
            form->CancelBtn->click();
        });
        EXPECT_EQ(result, mrCancel);
        ASSERT_EQ(form->ListBox1->Count(), 10);
        EXPECT_EQ(form->Tests().front(), folder + "/t10.txt");
        EXPECT_EQ(form->Tests().back(), folder + "/t19.txt");
        EXPECT_EQ(Messages(),
                  std::vector<std::string>{
                      language == 1 ? "Attenzione al massimo si possono caricare 10 prove"
                                    : "Warning: at most 10 tests can be loaded"});
    }
}

TEST_F(GetProveTest, DuplicatesAreIgnoredWithoutRegardToCaseAndEntriesCanBeRemoved) {
    auto form = Chooser();
    form->show();
    ui.OpenAnswers = {{"/t/a.txt"}, {"/t/A.TXT"}, {"/t/b.txt"}, {"/t/c.txt"}};
    for (int i = 0; i < 4; ++i)
        form->SpeedButton3->click();
    EXPECT_EQ(form->Tests(), (std::vector<std::string>{"/t/a.txt", "/t/b.txt", "/t/c.txt"}));
    EXPECT_TRUE(ui.Messages.empty());

    DoubleClickItem(form->ListBox1, 1);
    EXPECT_EQ(form->Tests(), (std::vector<std::string>{"/t/a.txt", "/t/c.txt"}));
    ClickItem(form->ListBox1, 0);
    QTest::keyClick(form->ListBox1, Qt::Key_Delete);
    EXPECT_EQ(form->Tests(), std::vector<std::string>{"/t/c.txt"});
}

TEST_F(GetProveTest, OkNeedsATestAndCancelWritesNothing) {
    const std::string kolm = "[Kolm Path]\r\nAnteprima FIle=0\r\nAnteprima To=4\r\n";
    WriteFile(BasePath + "System/KOLMVAR.SET", kolm);
    auto form = Chooser();
    const int result = RunModal(form.get(), [&] {
        form->OKBtn->click();
        QTimer::singleShot(0, form.get(), [&] {
            EXPECT_TRUE(form->IsModal());
            ui.OpenAnswers = {{"/t/a.txt"}};
            form->SpeedButton3->click();
            form->SpeedButton1->click();
            form->CancelBtn->click();
        });
    });
    EXPECT_EQ(result, mrCancel);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Occorre selezionare almeno un file!"});
    EXPECT_EQ(ReadFile(BasePath + "System/KOLMVAR.SET"), kolm);
}

TEST_F(GetProveTest, PreviewRangeDialogSortsAndBoundsTheLines) {
    struct Case {
        QString from, to;
        int expectFrom, expectTo;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {"5", "2", 2, 5, {}},
        {"0", "3", 1, 3, {}},
        {"-4", "0", 1, 1, {}},
        {"abc", "3", 1, 3, {"'abc' is not a valid integer value"}},
        {"2", "abc", 1, 3, {"'abc' is not a valid integer value"}},
    };
    for (const Case& c : cases) {
        auto form = Chooser();
        form->show();
        ui.Messages.clear();
        ui.ModalHook = [&](QObject* shown) {
            auto* dialog = qobject_cast<TF_Def_Ant*>(shown);
            EXPECT_NE(dialog, nullptr);
            if (!dialog)
                return mrCancel;
            EXPECT_EQ(dialog->Caption(), "Definisci Anteprima");
            EXPECT_EQ(dialog->Label1->Caption(), "Riga iniziale:");
            EXPECT_EQ(dialog->Edit1->Text(), "1");
            EXPECT_EQ(dialog->Edit2->Text(), "3");
            TypeInto(dialog->Edit1, c.from);
            TypeInto(dialog->Edit2, c.to);
            return mrOk;
        };
        form->SpeedButton2->click();
        EXPECT_EQ(form->From(), c.expectFrom) << c.from.toStdString();
        EXPECT_EQ(form->To(), c.expectTo) << c.to.toStdString();
        EXPECT_EQ(Messages(), c.messages);
    }
    // Cancel takes nothing.
    auto form = Chooser();
    ui.ModalHook = [&](QObject* shown) {
        TypeInto(qobject_cast<TF_Def_Ant*>(shown)->Edit1, "7");
        return mrCancel;
    };
    form->SpeedButton2->click();
    EXPECT_EQ(form->From(), 1);
    ui.ModalHook = nullptr;
}

TEST(ReadPreviewLines, KeepsTheRangeOnlyWithControlsAsBlanks) {
    test::TempDir dir;
    const std::string fourLines = dir.File("four.txt");
    WriteFile(fourLines, "a\tb\r\nc\r\nd\r\ne\r\n");
    const std::string twoLines = dir.File("two.txt");
    WriteFile(twoLines, "one\ntwo");
    const std::string accented = dir.File("acc.txt");
    WriteFile(accented, "caff\xE8\x01\r\n");
    struct Case {
        std::string path;
        int from, to;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {fourLines, 2, 3, {"c", "d"}},    {fourLines, 1, 1, {"a b"}},
        {fourLines, 4, 9, {"e"}},         {fourLines, 5, 9, {}},
        {twoLines, 1, 3, {"one", "two"}}, {accented, 1, 3, {"caff\xE8 "}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> lines;
        EXPECT_TRUE(ReadPreviewLines(c.path, c.from, c.to, lines));
        EXPECT_EQ(lines, c.lines) << c.path << " " << c.from << ".." << c.to;
    }
    std::vector<std::string> lines{"old"};
    EXPECT_FALSE(ReadPreviewLines(dir.File("missing.txt"), 1, 3, lines));
    EXPECT_TRUE(lines.empty());
}

TEST(ReadPreviewLines, StopsAfterTheLastLineWanted) {
    test::TempDir dir;
    const std::string path = dir.File("long.txt");
    // A huge first line is cut, and what follows the range is never looked at.
    std::string text(3 * kMaxPreviewLineLength, 'x');
    text += "\r\nsecond\r\n";
    WriteFile(path, text);
    std::vector<std::string> lines;
    ASSERT_TRUE(ReadPreviewLines(path, 1, 2, lines));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], std::string(kMaxPreviewLineLength, 'x'));
    EXPECT_EQ(lines[1], "second");

    // However wide the range, a preview holds a bounded number of lines.
    std::string many;
    for (size_t i = 0; i < kMaxPreviewLines + 5; ++i)
        many += "l\n";
    WriteFile(path, many);
    ASSERT_TRUE(ReadPreviewLines(path, -3, std::numeric_limits<int>::max(), lines));
    EXPECT_EQ(lines.size(), kMaxPreviewLines);
}

TEST_F(GetProveTest, ClickedFileIsPreviewedWhileThePreviewIsOn) {
    const std::string folder = Folder("Prove", {});
    WriteFile(folder + "/a.txt", "a\tb\r\nc\r\nd\r\n\xE8\r\n");
    WriteFile(folder + "/b.txt", "x\r\n");
    WriteKolm("Anteprima FIle=1\r\nAnteprima From=2\r\nAnteprima To=4\r\nPath Main Prove=" +
              folder + "\r\n");
    auto form = Chooser();
    form->show();
    ClickItem(form->FileListBox1, 0);
    EXPECT_EQ(form->Memo1->Lines(), (QStringList{"c", "d", u8"è"}));
    ClickItem(form->FileListBox1, 1);
    EXPECT_TRUE(form->Memo1->Lines().isEmpty());
    // A file that cannot be read leaves the preview empty.
    form->ShowPreview(folder + "/a.txt");
    form->ShowPreview(folder + "/gone.txt");
    EXPECT_TRUE(form->Memo1->Lines().isEmpty());

    form->SpeedButton1->click();
    ASSERT_FALSE(form->SpeedButton1->Down());
    ClickItem(form->FileListBox1, 0);
    EXPECT_TRUE(form->Memo1->Lines().isEmpty());
}

TEST_F(GetProveTest, PreviewSwitchSetsTheWidth) {
    auto form = Chooser();
    form->show();
    auto rightEdge = [](QWidget* w) { return w->x() + w->width() + 5; };
    ASSERT_FALSE(form->SpeedButton1->Down());
    EXPECT_EQ(form->width(), rightEdge(form->DirectoryListBox1));
    form->SpeedButton1->click();
    EXPECT_TRUE(form->SpeedButton1->Down());
    EXPECT_EQ(form->width(), rightEdge(form->Memo1));
    EXPECT_GT(form->Memo1->x(), rightEdge(form->DirectoryListBox1));
    form->SpeedButton1->click();
    EXPECT_EQ(form->width(), rightEdge(form->DirectoryListBox1));
    EXPECT_EQ(form->frameGeometry().x(), (Screen().Width - form->frameGeometry().width()) / 2);
}

TEST_F(GetProveTest, CreationTakesTheStoredChoices) {
    const std::string folder = Folder("Prove", {"b.txt", "a.TXT", "noext", ".h"});
    ForceDirectories(folder + "/sub");
    for (const char* model : {"M1.WHF", "m2.whf", "x.txt"})
        WriteFile(BasePath + "Configurazioni/" + model, "");
    WriteKolm("Anteprima FIle=1\r\nAnteprima From=2\r\nAnteprima To=5\r\nPath Main Prove=" +
              folder + "\r\nLast WHF Used=m2\r\n");
    auto form = Chooser();
    EXPECT_TRUE(form->SpeedButton1->Down());
    EXPECT_EQ(form->From(), 2);
    EXPECT_EQ(form->To(), 5);
    EXPECT_EQ(form->DirectoryListBox1->Directory(), folder);
    EXPECT_EQ(form->FileListBox1->Items(), (QStringList{"a.TXT", "b.txt", "noext"}));
    EXPECT_EQ(form->ComboBox1->Items(), (QStringList{"M1", "m2"}));
    EXPECT_EQ(form->ComboBox1->ItemIndex(), 1);
    EXPECT_FALSE(form->ComboBox1->isVisibleTo(form.get()));
    EXPECT_EQ(form->FileListBox1->Mask(), "*.*");
    EXPECT_TRUE(form->Edit2->ReadOnly());
}

TEST_F(GetProveTest, CreationFallsBackWhereTheStoredValuesDoNotServe) {
    struct Case {
        std::string lines;
        bool down;
        int from, to;
    };
    const Case cases[] = {
        {"", false, 1, 3},
        {"Anteprima FIle=yes\r\nAnteprima From=x\r\nAnteprima To=4\r\n", false, 1, 4},
        {"Anteprima From=6\r\nAnteprima To=1.5\r\nPath Main Prove=/no/such/folder\r\n", false, 6,
         3},
        {"Last WHF Used=nothing\r\n", false, 1, 3},
    };
    for (const Case& c : cases) {
        WriteKolm(c.lines);
        auto form = Chooser();
        EXPECT_EQ(form->SpeedButton1->Down(), c.down) << c.lines;
        EXPECT_EQ(form->From(), c.from) << c.lines;
        EXPECT_EQ(form->To(), c.to) << c.lines;
        EXPECT_EQ(form->DirectoryListBox1->Directory() + "/", BasePath) << c.lines;
        EXPECT_EQ(form->ComboBox1->ItemIndex(), -1);
    }
}

TEST_F(GetProveTest, OkStoresTheChoicesForNextTime) {
    const std::string folder = Folder("Prove", {"t1.txt"});
    const std::string other = Folder("Altre", {});
    for (const char* model : {"M1.WHF", "m2.whf"})
        WriteFile(BasePath + "Configurazioni/" + model, "");
    WriteKolm("Anteprima FIle=1\r\nAnteprima From=2\r\nAnteprima To=5\r\nPath Main Prove=" + other +
              "\r\nLast WHF Used=m2\r\n");
    auto form = Chooser();
    const int result = RunModal(form.get(), [&] {
        form->DirectoryListBox1->SetDirectory(folder);
        form->ComboBox1->SetItemIndex(0);
        DoubleClickItem(form->FileListBox1, 0);
        form->OKBtn->click();
    });
    EXPECT_EQ(result, mrOk);
    EXPECT_EQ(form->Tests(), std::vector<std::string>{folder + "/t1.txt"});
    EXPECT_EQ(Kolm("Last WHF Used"), "M1");
    EXPECT_EQ(Kolm("Path Main Prove"), folder);
    EXPECT_EQ(Kolm("Anteprima FIle"), "1");
    EXPECT_EQ(Kolm("Anteprima From"), "2");
    EXPECT_EQ(Kolm("Anteprima To"), "5");
    EXPECT_TRUE(ui.Messages.empty());
}

TEST_F(GetProveTest, LanguageSwitchesKeepTheChoices) {
    const std::string folder = Folder("Prove", {"a.txt", "b.txt"});
    auto form = Chooser();
    form->show();
    ASSERT_TRUE(form->DirectoryListBox1->SetDirectory(folder));
    DoubleClickItem(form->FileListBox1, 1);
    ClickItem(form->FileListBox1, 0);
    ClickItem(form->ListBox1, 0);
    struct Case {
        int language;
        QString caption, preview, tests, cancel;
    };
    const Case cases[] = {
        {1, "Seleziona prove", "Anteprima", "Prove:", "Annulla"},
        {2, "Select tests", "Preview", "Tests:", "Cancel"},
        {3, "Prüfungen auswählen", "Vorschau", "Prüfungen:", "Abbrechen"},
        {1, "Seleziona prove", "Anteprima", "Prove:", "Annulla"},
    };
    for (const Case& c : cases) {
        SetLanguage(c.language);
        EXPECT_EQ(form->Caption(), c.caption);
        EXPECT_EQ(form->SpeedButton1->Caption(), c.preview);
        EXPECT_EQ(form->Label3->Caption(), c.tests);
        EXPECT_EQ(form->CancelBtn->Caption(), c.cancel);
        EXPECT_EQ(form->Tests(), std::vector<std::string>{folder + "/b.txt"});
        EXPECT_EQ(form->ListBox1->ItemIndex(), 0);
        EXPECT_EQ(form->FileListBox1->FileName(), folder + "/a.txt");
        EXPECT_EQ(form->DirectoryListBox1->Directory(), folder);
    }
}

} // namespace
} // namespace vx
