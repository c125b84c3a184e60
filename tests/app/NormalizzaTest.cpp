#include "app/Normalizza.h"

#include "app/AppTestSupport.h"
#include "app/Main.h"
#include "app/MainExtensions.h"
#include "app/ModCaric.h"
#include "app/Startup.h"
#include "app/editor32.h"
#include "data/Databuff.h"
#include "data/ProvaText.h"
#include "platform/runtime/Cp1252.h"
#include "platform/runtime/Numbers.h"
#include "platform/runtime/Strings.h"
#include "platform/system/Files.h"
#include "platform/ui/Button.h"
#include "platform/ui/Chart.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Label.h"
#include "platform/ui/ListBox.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/SpeedButton.h"
#include "platform/ui/StatusBar.h"
#include "platform/ui/TabSet.h"
#include "platform/ui/TrackBar.h"
#include "support/FormTestSupport.h"

#include <QImage>
#include <QTest>
#include <QTimer>

#include <memory>

namespace vx {
namespace {

using test::ClickItem;
using test::ModalScripts;
using test::RunModal;
using test::TypeInto;

void Later(QObject* context, std::function<void()> step) {
    QTimer::singleShot(0, context, std::move(step));
}

const char kFx[] = "3\tBanco A\r\n\r\nTempo\tForza\tCorsa\tDelta\r\ns\tkN\tmm\tmm\r\n\r\n"
                   "8\t5\t2\t-30\r\n0\t1\t2\t-10\r\n4\t3\t2\t-20\r\n";

class NormalizzaTest : public test::AppWindowTest {
protected:
    void SetUp() override {
        AppWindowTest::SetUp();
        ImpostazioniRec.Clear();
        ImpostazioniRec.SetLoadType(1);
        FormatSettings().DecimalSeparator = '.';
        fx = dir.File("fx.txt");
        test::WriteFile(fx, kFx);
        // The main window takes its base folder from the program's place.
        ForceDirectories(BasePath + "bin");
        setenv("VORNIX_PROGRAM_PATH", (BasePath + "bin/vornix").c_str(), 1);
        MainExtensions() = {};
        InstallNormaliser(MainExtensions());
        main = CreateForm<TMainForm>();
    }
    void TearDown() override {
        delete main;
        unsetenv("VORNIX_PROGRAM_PATH");
        MainExtensions() = {};
        ImpostazioniRec.Clear();
        AppWindowTest::TearDown();
    }

    // A test of `rows` rows, X 0..rows-1 and Y = X * 2 + 1.
    std::string LineTest(int rows) {
        std::string text = "3\r\n\r\nX\tY\r\ns\tkN\r\n\r\n";
        for (int i = 0; i < rows; ++i)
            text += IntToStr(i) + "\t" + IntToStr(i * 2 + 1) + "\r\n";
        const std::string path = dir.File("line" + IntToStr(rows) + ".txt");
        test::WriteFile(path, text);
        return path;
    }

    std::unique_ptr<TF_normalizza> Window(const std::string& path) {
        std::unique_ptr<TF_normalizza> w(CreateForm<TF_normalizza>(main));
        auto buffer = std::make_unique<TDatabuffer>();
        LoadProvaText(*buffer, path);
        w->SetBuffer(std::move(buffer));
        return w;
    }

    // Chooses the entries of ListBox1 with "Aggiungi".
    static void Choose(TF_normalizza* w, std::initializer_list<int> channels) {
        for (int c : channels) {
            ClickItem(w->ListBox1, c);
            w->SpeedButton1->click();
        }
    }

    // The normaliser run from the main window's menu on `path`: the script plays the window.
    void Run(const std::string& path, std::function<void(TF_normalizza*)> script) {
        ModalScripts scripts(ui);
        scripts.On<TF_normalizza>(std::move(script));
        ui.OpenAnswers.push_back({path});
        main->Normalizzaprova2->Click();
    }

    static std::string StateFile() { return BasePath + "System/Normawnd.set"; }

    TMainForm* main = nullptr;
    std::string fx;
};

TEST_F(NormalizzaTest, ChoosingChannelsFollowsTheListRules) {
    EXPECT_TRUE(main->Normalizzaprova2->Enabled());
    EXPECT_TRUE(main->Normalizzaprova2->Hint().isEmpty());
    Run(fx, [&](TF_normalizza* w) {
        EXPECT_EQ(w->ListBox1->Items(),
                  QStringList({"Tempo[s]", "Forza[kN]", "Corsa[mm]", "Delta[mm]"}));
        EXPECT_EQ(w->Label4->text(), "2");
        EXPECT_EQ(w->Edit1->Text(), "200");
        EXPECT_FALSE(w->BitBtn1->isEnabled());
        w->SpeedButton1->click();
        EXPECT_EQ(Messages().back(), "Occorre selezionare un canale!");
        Choose(w, {0, 1});
        EXPECT_TRUE(w->BitBtn1->isEnabled());
        Choose(w, {0});
        EXPECT_EQ(Messages().back(), "Il canale \xE8 gi\xE0 presente!");
        EXPECT_EQ(w->ListBox2->Count(), 2);

        ClickItem(w->ListBox2, 1);
        w->SpeedButton4->click();
        EXPECT_EQ(w->ListBox2->Items(), QStringList({"Forza[kN]", "Tempo[s]"}));
        EXPECT_EQ(w->ListBox2->ItemIndex(), 0);
        w->SpeedButton4->click();
        EXPECT_EQ(w->ListBox2->Items(), QStringList({"Forza[kN]", "Tempo[s]"}));

        ui.MessageAnswers = {mrNo};
        w->SpeedButton3->click();
        EXPECT_EQ(ui.Messages.back().Text, "Vuoi azzerare la lista dei canali da normalizzare?");
        EXPECT_EQ(ui.Messages.back().Buttons, unsigned(mbYes | mbNo));
        EXPECT_EQ(w->ListBox2->Count(), 2);
        ui.MessageAnswers = {mrYes};
        w->SpeedButton3->click();
        EXPECT_EQ(w->ListBox2->Count(), 0);
        EXPECT_FALSE(w->BitBtn1->isEnabled());

        QTest::keyClick(w->TrackBar1, Qt::Key_Right);
        EXPECT_EQ(w->Label4->text(), "3");
        w->BitBtn2->click();
    });
    EXPECT_TRUE(ui.SaveAnswers.empty());
}

TEST_F(NormalizzaTest, CreatesTheNrmFileThatTheReaderLoadsAgain) {
    ui.SaveAnswers = {dir.File("out")};
    Run(fx, [&](TF_normalizza* w) {
        Choose(w, {0, 1, 2, 3});
        TypeInto(w->Edit1, "5");
        w->BitBtn1->click();
    });
    EXPECT_EQ(Messages(), std::vector<std::string>{});
    ASSERT_EQ(ui.FileRequests.size(), 2u);
    const FileDialogRequest& request = ui.FileRequests[1].Request;
    EXPECT_EQ(ui.FileRequests[1].Kind, TFileRequestKind::Save);
    EXPECT_EQ(request.Filter, "files normalizzati (*.NRM)|*.NRM");
    EXPECT_EQ(request.InitialDir + "/", dir.Path());
    EXPECT_EQ(test::ReadFile(dir.File("out.NRM")),
              "3\r\n\r\nTempo\tForza\tCorsa\tDelta\t\r\ns\tkN\tmm\tmm\t\r\n\r\n"
              "0\t1\t2\t-10\t\r\n2\t2\t2\t-15\t\r\n4\t3\t2\t-20\t\r\n6\t4\t2\t-25\t\r\n"
              "8\t5\t2\t-30\t\r\n");
    TDatabuffer again;
    LoadProvaText(again, dir.File("out.NRM"));
    ASSERT_EQ(again.ProvaCount(), 1);
    const TdataProva& test = again.GetProva(0);
    ASSERT_EQ(test.ChannelCount(), 4);
    EXPECT_EQ(test.GetChannel(0).Count(), 5);
    EXPECT_EQ(test.GetChannelLabel(3), "Delta[mm]");
}

TEST_F(NormalizzaTest, NameRuleActsOnTheFileNameOnly) {
    const std::pair<const char*, const char*> cases[] = {
        {"/o.d/res", "/o.d/res.NRM"}, {"/o/a.txt", "/o/a.NRM"}, {"/o/a.b.c", "/o/a.b.NRM"},
        {"/o/a.NRM", "/o/a.NRM"},     {"res", "res.NRM"},
    };
    for (const auto& [chosen, final] : cases)
        EXPECT_EQ(NrmFileName(chosen), final) << chosen;
}

// The resolution sets the row count unless the test has more rows; the grid runs from the X
// channel's minimum to its maximum.
TEST_F(NormalizzaTest, RowCountIsTheLargerOfResolutionAndTestRows) {
    const struct {
        int rows, resolution, expectedRows;
        const char* second;
    } cases[] = {{3, 9, 9, "1\t3\t"}, {50, 200, 200, nullptr}, {500, 200, 500, "1\t3\t"}};
    for (const auto& c : cases) {
        TDatabuffer buffer;
        LoadProvaText(buffer, LineTest(c.rows));
        const std::string out = dir.File("r.NRM");
        ASSERT_EQ(BuildNormalizedData(buffer, nullptr, out, c.resolution, 2, {0, 1}).Result,
                  TNormalizeResult::Done);
        TDatabuffer again;
        LoadProvaText(again, out);
        ASSERT_EQ(again.ProvaCount(), 1);
        const TdataProva& test = again.GetProva(0);
        EXPECT_EQ(test.GetChannel(0).Count(), c.expectedRows) << c.rows;
        EXPECT_EQ(test.GetText(0, 0), "0");
        const double last = StrToFloat(test.GetText(0, c.expectedRows - 1));
        EXPECT_NEAR(last, c.rows - 1, 1e-4 * c.rows);
        const double lastY = StrToFloat(test.GetText(1, c.expectedRows - 1));
        EXPECT_NEAR(lastY, (c.rows - 1) * 2 + 1, 1e-3 * c.rows);
    }
}

TEST_F(NormalizzaTest, FittingAtNinePointsGivesTheHalfSteps) {
    ui.SaveAnswers = {dir.File("nine.txt")};
    Run(fx, [&](TF_normalizza* w) {
        Choose(w, {0, 1});
        TypeInto(w->Edit1, "9");
        w->BitBtn1->click();
    });
    const std::string text = test::ReadFile(dir.File("nine.NRM"));
    EXPECT_NE(text.find("\r\n\r\n0\t1\t\r\n1\t1.5\t\r\n"), std::string::npos) << text;
    EXPECT_EQ(text.substr(text.size() - 6), "8\t5\t\r\n");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 5 + 9);
}

TEST_F(NormalizzaTest, AChannelThatCannotBeFittedWritesNoFile) {
    const struct {
        std::initializer_list<int> channels;
        const char* message;
    } cases[] = {
        {{0, 1}, "Impossibile interpolare il canale: Forza[kN]"},
        {{2, 1}, "Impossibile interpolare il canale: Corsa[mm]"},
    };
    for (const auto& c : cases) {
        DeleteFile(StateFile());
        ui.Messages.clear();
        ui.SaveAnswers = {dir.File("bad")};
        Run(fx, [&](TF_normalizza* w) {
            Choose(w, c.channels);
            QTest::keyClick(w->TrackBar1, Qt::Key_Right);
            TypeInto(w->Edit1, "5");
            w->BitBtn1->click();
        });
        EXPECT_EQ(Messages(), std::vector<std::string>{c.message});
        EXPECT_FALSE(FileExists(dir.File("bad.NRM")));
    }
}

TEST_F(NormalizzaTest, AResolutionThatIsNoNumberOrTooLargeKeepsTheWindowOpen) {
    // The window's close query runs once the script gives the modal loop back.
    Run(fx, [&](TF_normalizza* w) {
        Choose(w, {0, 1});
        TypeInto(w->Edit1, "abc");
        w->BitBtn1->click();
        Later(w, [&, w] {
            EXPECT_TRUE(w->isVisible());
            TypeInto(w->Edit1, "2000000");
            w->BitBtn1->click();
            Later(w, [w] { w->BitBtn2->click(); });
        });
    });
    EXPECT_EQ(Messages(),
              (std::vector<std::string>{"'abc' is not a valid integer value",
                                        "Risoluzione non accettabile (massimo 1000000 punti)!"}));
    ASSERT_EQ(ui.FileRequests.size(), 1u);
}

TEST_F(NormalizzaTest, AFileThatCannotBeCreatedIsNamedExactly) {
    test::WriteFile(dir.File("f"), "x");
    ui.SaveAnswers = {dir.File("f/x")};
    Run(fx, [&](TF_normalizza* w) {
        Choose(w, {0, 1});
        TypeInto(w->Edit1, "5");
        w->BitBtn1->click();
    });
    EXPECT_EQ(Messages(),
              std::vector<std::string>{"Impossibile creare file: " + dir.File("f/x.NRM")});
}

TEST_F(NormalizzaTest, AnExistingFileReachedByTheNameRuleIsReplacedOnlyWhenAllowed) {
    test::WriteFile(dir.File("out.NRM"), "old");
    for (int answer : {mrNo, mrYes}) {
        DeleteFile(StateFile());
        ui.Messages.clear();
        ui.SaveAnswers = {dir.File("out")};
        ui.MessageAnswers = {answer};
        Run(fx, [&](TF_normalizza* w) {
            Choose(w, {0, 1});
            TypeInto(w->Edit1, "5");
            w->BitBtn1->click();
        });
        ASSERT_EQ(Messages().size(), 1u);
        EXPECT_EQ(Messages()[0], "Il file " + dir.File("out.NRM") + " esiste gi\xE0. Sostituirlo?");
        EXPECT_EQ(test::ReadFile(dir.File("out.NRM")) == "old", answer == mrNo);
    }
}

TEST_F(NormalizzaTest, TheWindowStateIsStoredAndComesBackOnce) {
    Run(fx, [&](TF_normalizza* w) {
        Choose(w, {0, 1});
        QTest::keyClick(w->TrackBar1, Qt::Key_Right);
        TypeInto(w->Edit1, "5");
        w->BitBtn2->click();
    });
    EXPECT_EQ(test::HexBytes(test::ReadFile(BasePath + "System/Normawnd.set")),
              test::HexBytes(test::FromHex("02000000 08") + "Tempo[s]" + test::FromHex("09") +
                             "Forza[kN]" + test::FromHex("03000000 01") + "5"));

    const std::string other = dir.File("other.txt");
    test::WriteFile(other, "3\r\n\r\nTempo\tCorsa\r\ns\tmm\r\n\r\n0\t1\r\n1\t2\r\n");
    Run(other, [&](TF_normalizza* w) {
        EXPECT_EQ(w->ListBox2->Items(), QStringList({"Tempo[s]", "????????????"}));
        EXPECT_EQ(w->Label4->text(), "3");
        EXPECT_EQ(w->Edit1->Text(), "5");
        EXPECT_TRUE(w->BitBtn1->isEnabled());
        w->BitBtn1->click();
        Later(w, [&, w] {
            EXPECT_TRUE(w->isVisible());
            // Activation comes back after the message; the user's list stays.
            ClickItem(w->ListBox2, 1);
            w->SpeedButton2->click();
            w->activateWindow();
            QTest::qWait(50);
            EXPECT_EQ(w->ListBox2->Items(), QStringList({"Tempo[s]"}));
            w->BitBtn2->click();
        });
    });
    EXPECT_EQ(Messages(), std::vector<std::string>{"Occorre selezionare un canale!"});
}

TEST_F(NormalizzaTest, ThePreviewDrawsAcquiredAgainstFittedData) {
    Run(fx, [&](TF_normalizza* w) {
        Choose(w, {0});
        w->SpeedButton5->click();
        EXPECT_EQ(Messages().back(), "Occorre inserire almeno 2 canali!");
        Choose(w, {1, 2});
        TypeInto(w->Edit1, "5");
        w->SpeedButton5->click();
        EXPECT_FALSE(ui.Busy);
        EXPECT_EQ(w->TabSet1->Tabs(), QStringList({"Forza[kN]", "Corsa[mm]"}));
        EXPECT_EQ(w->TabSet1->TabIndex(), 0);
        TChart* chart = w->Chart1;
        auto points = [](TChartSeries* s) {
            std::vector<std::pair<double, double>> p;
            for (int i = 0; i < s->Count(); ++i)
                p.push_back({s->Points(i).X, s->Points(i).Y});
            return p;
        };
        using P = std::vector<std::pair<double, double>>;
        EXPECT_EQ(points(chart->Series1), (P{{0, 1}, {4, 3}, {8, 5}}));
        EXPECT_EQ(points(chart->Series2), (P{{0, 1}, {2, 2}, {4, 3}, {6, 4}, {8, 5}}));
        EXPECT_EQ(chart->Series1->Color(), 0x008000);
        EXPECT_EQ(chart->Series2->Color(), 0x0000FF);
        EXPECT_EQ(chart->Series1->Title(), "Dati acquisiti");
        EXPECT_FALSE(chart->BottomAxis->Automatic());
        EXPECT_FALSE(chart->LeftAxis->Automatic());
        EXPECT_EQ(chart->BottomAxis->Minimum(), 0);
        EXPECT_EQ(chart->BottomAxis->Maximum(), 8);
        EXPECT_EQ(chart->LeftAxis->Minimum(), 1);
        EXPECT_EQ(chart->LeftAxis->Maximum(), 5);
        EXPECT_EQ(chart->BottomAxis->Title(), "Tempo[s]");
        EXPECT_EQ(chart->LeftAxis->Title(), "Forza[kN]");
        EXPECT_EQ(w->width(), 876);

        QTest::mouseClick(w->TabSet1, Qt::LeftButton, {}, w->TabSet1->tabRect(1).center());
        EXPECT_EQ(chart->LeftAxis->Minimum(), 2);
        EXPECT_EQ(chart->LeftAxis->Maximum(), 2);
        EXPECT_EQ(chart->LeftAxis->Title(), "Corsa[mm]");
        const QImage picture = chart->grab().toImage();
        bool green = false, red = false;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x) {
                const QColor c = picture.pixelColor(x, y);
                green = green || c == QColor(0, 128, 0);
                red = red || c == QColor(255, 0, 0);
            }
        EXPECT_TRUE(green);
        EXPECT_TRUE(red);
        w->BitBtn2->click();
    });
}

TEST_F(NormalizzaTest, AFailedPreviewKeepsThePicture) {
    Run(fx, [&](TF_normalizza* w) {
        Choose(w, {0, 1});
        TypeInto(w->Edit1, "5");
        w->SpeedButton5->click();
        ASSERT_EQ(w->Chart1->Series2->Count(), 5);
        QTest::keyClick(w->TrackBar1, Qt::Key_Right);
        w->SpeedButton5->click();
        EXPECT_EQ(Messages().back(), "Impossibile interpolare il canale: Forza[kN]");
        EXPECT_EQ(w->Chart1->Series2->Count(), 5);
        w->BitBtn2->click();
    });
}

TEST_F(NormalizzaTest, AFileWithoutATestGivesEmptyLists) {
    const std::string empty = dir.File("empty.txt");
    test::WriteFile(empty, "");
    Run(empty, [&](TF_normalizza* w) {
        EXPECT_EQ(w->ListBox1->Count(), 0);
        w->BitBtn2->click();
    });
}

} // namespace
} // namespace vx

namespace vx {
namespace {

class TestToolsTextsTest : public test::AppWindowTest {
protected:
    void TearDown() override {
        SetLanguage(1);
        AppWindowTest::TearDown();
    }
};

TEST_F(TestToolsTextsTest, TheToolsShowTheirTextsInEveryLanguage) {
    const struct {
        int language;
        const char *normaliser, *ok, *state, *model;
    } cases[] = {
        {2, "Normalise test", "Create file", "Up to date", "Create load model"},
        {3,
         "Pr\xFC"
         "fung normieren",
         "Datei erstellen", "Aktuell", "Lademodell erstellen"},
    };
    for (const auto& c : cases) {
        SetLanguage(c.language);
        std::unique_ptr<TF_normalizza> n(CreateForm<TF_normalizza>());
        EXPECT_EQ(FromQString(n->Caption()), c.normaliser);
        EXPECT_EQ(FromQString(n->BitBtn1->Caption()), c.ok);
        EXPECT_EQ(n->Text("IDS_7"), c.language == 2 ? "Add at least 2 channels!"
                                                    : "Mindestens 2 Kan\xE4le hinzuf\xFCgen!");
        std::unique_ptr<Tfrm_32bitedit> e(CreateForm<Tfrm_32bitedit>());
        EXPECT_EQ(FromQString(e->StatusBar1->Panel(1)->Text()), c.state);
        std::unique_ptr<TFormModellocaricamento> m(CreateForm<TFormModellocaricamento>());
        EXPECT_EQ(FromQString(m->Caption()), c.model);
    }
}

TEST_F(TestToolsTextsTest, StartUpInstallsTheThreeTools) {
    MainExtensions() = {};
    InstallMainExtensions();
    EXPECT_TRUE(MainExtensions().NormaliseTest);
    EXPECT_TRUE(MainExtensions().EditTestFile);
    EXPECT_TRUE(MainExtensions().EditLoadModel);
    MainExtensions() = {};
}

} // namespace
} // namespace vx
