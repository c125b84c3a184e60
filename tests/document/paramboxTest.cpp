#include "document/parambox.h"

#include "RunData.h"
#include "data/Databuff.h"
#include "data/Settings.h"
#include "document/attributiprova.h"
#include "document/parametrigenerali.h"
#include "document/translatelabels.h"
#include "platform/runtime/Cp1252.h"
#include "platform/runtime/FormatSettings.h"
#include "platform/runtime/Streams.h"
#include "platform/system/Files.h"
#include "platform/ui/Button.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Edit.h"
#include "platform/ui/GroupBox.h"
#include "platform/ui/ListBox.h"
#include "platform/ui/Shape.h"
#include "platform/ui/SpeedButton.h"
#include "platform/ui/StringGrid.h"
#include "support/FormTestSupport.h"
#include "support/TestSupport.h"

#include <QImage>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace vx::test {
namespace {

std::string TableBytes(const TAttributiProve& styles) {
    TMemoryStream stream;
    styles.WriteToStream(stream);
    return stream.Bytes();
}

std::string Text(const QString& text) {
    return FromQString(text);
}

std::vector<std::string> Row(const TStringGrid& grid, int row) {
    std::vector<std::string> cells;
    for (int c = 0; c < grid.ColCount(); ++c)
        cells.push_back(grid.Cells(c, row));
    return cells;
}

std::vector<std::string> Items(const TStringList& list) {
    return list.Items();
}

class ParamboxTest : public ::testing::Test {
protected:
    void SetUp() override {
        FormatSettings().DecimalSeparator = '.';
        savedBase_ = BasePath;
        BasePath = base_.Path();
        ForceDirectories(BasePath + "Configurazioni");
        AddRunTest(data_, "/data/run/A.txt", {"Tempo", "Pressione", "Fase"}, {"s", "bar", "-"},
                   {{"0", "10", "A"}, {"2", "20", "B"}, {"4", "30", "A"}});
        AddRunTest(data_, "/data/run/B.txt", {"Tempo", "Pressione"}, {"s", "bar"},
                   {{"1", "15"}, {"3", "25"}});
        data_.LabelTable.Add("Time\xA7s");
        data_.LabelTable.Add("Pressure");
        mapping_.Add("m1.MAP");
        mapping_.Add("m2.MAP");
    }
    void TearDown() override { BasePath = savedBase_; }

    // The label dialog as "Definisci" opens it, answered by `script`.
    void OnLabels(std::function<void(Ttranslatelabelsdlg*)> script) {
        scripts_.On<Tdlgparametrigenerali>([](Tdlgparametrigenerali* d) {
            d->SpeedButton2->Click();
            d->BitBtn2->Click();
        });
        scripts_.On<Ttranslatelabelsdlg>(std::move(script));
        EXPECT_FALSE(EditGeneralParametersDialog(styles_, &data_, mapping_));
    }
    std::string Conf(const std::string& name) const { return BasePath + "Configurazioni/" + name; }

    ScopedFormatSettings format_;
    TempDir base_;
    std::string savedBase_;
    ScopedUi scoped_;
    ScriptedUiServices& ui_ = scoped_.ui;
    ModalScripts scripts_{ui_};
    TDatabuffer data_;
    TAttributiProve styles_;
    TStringList mapping_;
};

// The first pixel from the left of the item's middle row that has the colour.
int FirstPixelOf(const QImage& image, const QRect& item, int middle, QColor colour) {
    for (int x = item.left(); x <= item.right(); ++x)
        if (image.pixelColor(x, middle) == colour)
            return x;
    return -1;
}

TEST_F(ParamboxTest, GeneralParametersOpenWithTheStylesDrawnAndTheMappingCarried) {
    scripts_.On<Tdlgparametrigenerali>([](Tdlgparametrigenerali* d) {
        EXPECT_EQ(d->width(), 374);
        EXPECT_EQ(d->BitBtn2->x(), 288);
        EXPECT_FALSE(d->GroupBox3->isVisible());
        EXPECT_EQ(d->ListBox2->Items(), (QStringList{"m1.MAP", "m2.MAP"}));
        EXPECT_EQ(Text(d->ListBox1->Item(2)), "Prova 3>");
        const QImage image = d->ListBox1->viewport()->grab().toImage();
        std::vector<int> lefts;
        for (const auto& [item, colour] :
             {std::pair{1, QColor(255, 0, 0)}, std::pair{3, QColor(0, 128, 0)}}) {
            const QRect rect = d->ListBox1->ItemRect(item);
            const int middle = rect.top() + 6;
            const int x = FirstPixelOf(image, rect, middle, colour);
            ASSERT_GT(x, rect.left()) << item;
            EXPECT_EQ(image.pixelColor(x - 1, middle), QColor(0, 0, 0)) << item;
            lefts.push_back(x);
        }
        EXPECT_EQ(lefts[0], lefts[1]);
        d->BitBtn1->Click();
    });
    const std::string before = TableBytes(styles_);
    EXPECT_TRUE(EditGeneralParametersDialog(styles_, &data_, mapping_));
    EXPECT_EQ(TableBytes(styles_), before);
    EXPECT_EQ(Items(mapping_), (std::vector<std::string>{"m1.MAP", "m2.MAP"}));
}

TEST_F(ParamboxTest, AnEditedStyleIsStoredOnOkAndForgottenOnCancel) {
    const std::string before = TableBytes(styles_);
    for (const int answer : {mrOk, mrCancel}) {
        styles_.SetDefaults();
        scripts_.On<Tattributiprova>([](Tattributiprova* d) {
            EXPECT_EQ(d->Shape1->BrushColor(), 0x008000);
            EXPECT_EQ(Text(d->ComboBox2->Text()), "3 pts");
            EXPECT_EQ(Text(d->ComboBox3->Text()), "Continuo");
            EXPECT_EQ(Text(d->ComboBox1->Text()), "Triangolo Su");
            QTest::mouseClick(d->Shape1, Qt::LeftButton);
            d->ComboBox2->SetItemIndex(d->ComboBox2->findText("8 pts"));
            d->ComboBox3->SetItemIndex(d->ComboBox3->findText("Tratteggiato"));
            d->ComboBox1->SetItemIndex(d->ComboBox1->findText("Croce"));
            d->BitBtn1->Click();
        });
        scripts_.On<Tdlgparametrigenerali>([answer](Tdlgparametrigenerali* d) {
            DoubleClickItem(d->ListBox1, 3);
            const QImage image = d->ListBox1->viewport()->grab().toImage();
            const QRect rect = d->ListBox1->ItemRect(3);
            EXPECT_GT(FirstPixelOf(image, rect, rect.top() + 6, QColor(0, 0, 255)), rect.left());
            (answer == mrOk ? d->BitBtn1 : d->BitBtn2)->Click();
        });
        ui_.ColorAnswers.push_back(0xFF0000);
        const std::string start = TableBytes(styles_);
        EXPECT_EQ(EditGeneralParametersDialog(styles_, &data_, mapping_), answer == mrOk);
        const std::string after = TableBytes(styles_);
        if (answer == mrOk) {
            EXPECT_EQ(HexBytes(after.substr(48, 16)),
                      "00 00 FF 00 01 01 00 00 08 00 00 00 06 00 00 00");
            EXPECT_EQ(after.substr(0, 48) + after.substr(64),
                      start.substr(0, 48) + start.substr(64));
        } else {
            EXPECT_EQ(after, before);
        }
        EXPECT_EQ(Items(mapping_), (std::vector<std::string>{"m1.MAP", "m2.MAP"}));
    }
}

TEST_F(ParamboxTest, StylesOutsideTheListsComeBackUnlessPicked) {
    std::unique_ptr<Tattributiprova> d(CreateForm<Tattributiprova>());
    struct Case {
        TPenStyle Pen;
        uint32_t Width;
        uint8_t Point;
        const char* WidthText;
        const char* PenText;
        const char* PointText;
        uint32_t WidthBack;
    };
    const Case cases[] = {
        {psDash, 5, 7, "1 pts", "Tratteggiato", "X", 1},
        {psDot, 12, 9, "12 pts", "punteggiato", "Cerchio con X", 12},
        {static_cast<TPenStyle>(7), 3, 12, "3 pts", "", "", 3},
    };
    for (const Case& c : cases) {
        TAttributoProva style{0x123456, 1, c.Pen, c.Width, c.Point};
        d->SetStyle(style);
        EXPECT_EQ(Text(d->ComboBox2->Text()), c.WidthText);
        EXPECT_EQ(Text(d->ComboBox3->Text()), c.PenText);
        EXPECT_EQ(Text(d->ComboBox1->Text()), c.PointText);
        TAttributoProva back{};
        back.PenStyle = c.Pen;
        back.PointType = c.Point;
        d->GetStyle(back);
        EXPECT_EQ(back.Color, 0x123456);
        EXPECT_EQ(back.Width, c.WidthBack);
        EXPECT_EQ(back.PenStyle, c.Pen);
        EXPECT_EQ(back.PointType, c.Point);
    }
    d->ComboBox3->SetItemIndex(d->ComboBox3->findText("punteggiato"));
    TAttributoProva picked{};
    d->GetStyle(picked);
    EXPECT_EQ(picked.PenStyle, psDot);
    d->ComboBox3->SetItemIndex(d->ComboBox3->findText("Tratteggiato"));
    d->GetStyle(picked);
    EXPECT_EQ(picked.PenStyle, psDash);
}

TEST_F(ParamboxTest, TheColourDialogStartsFromTheShapeAndCancelKeepsIt) {
    std::unique_ptr<Tattributiprova> d(CreateForm<Tattributiprova>());
    d->Shape1->SetBrushColor(0x00FF00);
    QTest::mouseClick(d->Shape1, Qt::LeftButton);
    EXPECT_EQ(d->Shape1->BrushColor(), 0x00FF00);
    ui_.ColorAnswers.push_back(0x0000FF);
    QTest::mouseClick(d->Shape1, Qt::LeftButton);
    EXPECT_EQ(d->Shape1->BrushColor(), 0x0000FF);
}

TEST_F(ParamboxTest, DefinisciShowsTheLabelsOfTheFirstTestAndStoresThemOnOk) {
    OnLabels([](Ttranslatelabelsdlg* d) {
        TStringGrid& g = *d->Grid1;
        EXPECT_EQ(g.ColCount(), 3);
        EXPECT_EQ(g.RowCount(), 4);
        EXPECT_EQ(Row(g, 0),
                  (std::vector<std::string>{"Etichette acquisite", "Grandezza", "U. di misura"}));
        EXPECT_EQ(Row(g, 1), (std::vector<std::string>{"Tempo[s]", "Time", "s"}));
        EXPECT_EQ(Row(g, 2), (std::vector<std::string>{"Pressione[bar]", "", "Pressure"}));
        EXPECT_EQ(Row(g, 3), (std::vector<std::string>{"Fase[-]", "", ""}));
        d->BitBtn1->Click();
    });
    EXPECT_EQ(Items(data_.LabelTable),
              (std::vector<std::string>{"Time\xA7s", "\xA7Pressure", "\xA7"}));

    OnLabels([](Ttranslatelabelsdlg* d) {
        d->Grid1->SetCells(1, 3, "Phase");
        d->BitBtn2->Click();
    });
    EXPECT_EQ(Items(data_.LabelTable),
              (std::vector<std::string>{"Time\xA7s", "\xA7Pressure", "\xA7"}));
}

TEST_F(ParamboxTest, CopyNamesAndAnOpenCellAreTakenOnOk) {
    OnLabels([](Ttranslatelabelsdlg* d) {
        d->SpeedButton1->Click();
        EXPECT_EQ(Row(*d->Grid1, 3), (std::vector<std::string>{"Fase[-]", "Fase", "-"}));
        d->Grid1->SetCol(1);
        d->Grid1->SetRow(3);
        d->Grid1->setFocus();
        QTest::keyClick(d->Grid1, Qt::Key_F2);
        ASSERT_TRUE(d->Grid1->EditorMode());
        auto* editor = d->Grid1->findChild<QLineEdit*>();
        ASSERT_NE(editor, nullptr);
        editor->end(false);
        QTest::keyClicks(editor, "x");
        d->BitBtn1->Click();
    });
    EXPECT_EQ(Items(data_.LabelTable), (std::vector<std::string>{"Tempo\xA7s",
                                                                 "Pressione\xA7"
                                                                 "bar",
                                                                 "Fasex\xA7-"}));
}

TEST_F(ParamboxTest, WithoutTestsDefinisciOpensNothing) {
    TDatabuffer empty;
    scripts_.On<Tdlgparametrigenerali>([](Tdlgparametrigenerali* d) {
        d->SpeedButton2->Click();
        d->BitBtn1->Click();
    });
    // No script for the label dialog: opening it would fail the test.
    EXPECT_TRUE(EditGeneralParametersDialog(styles_, &empty, mapping_));
    EXPECT_TRUE(EditGeneralParametersDialog(styles_, nullptr, mapping_));
}

// ---- label files ----

TEST_F(ParamboxTest, SavedLabelsAreTwoCrLfLinesPerRowWithTheNameMadeClf) {
    ForceDirectories(Conf("a.b"));
    struct Case {
        std::string Named;
        std::string Written;
    };
    const Case cases[] = {{Conf("lab.txt"), Conf("lab.CLF")},
                          {Conf("lab2"), Conf("lab2.CLF")},
                          {Conf("a.b/lab"), Conf("a.b/lab.CLF")}};
    for (const Case& c : cases) {
        ui_.SaveAnswers.push_back(c.Named);
        OnLabels([](Ttranslatelabelsdlg* d) {
            d->SpeedButton3->Click();
            d->BitBtn2->Click();
        });
        EXPECT_EQ(HexBytes(ReadFile(c.Written)),
                  "54 69 6D 65 0D 0A 73 0D 0A 0D 0A 50 72 65 73 73 75 72 65 0D 0A 0D 0A 0D 0A")
            << c.Named;
    }
    EXPECT_TRUE(ui_.Messages.empty());
    ASSERT_FALSE(ui_.FileRequests.empty());
    EXPECT_EQ(ui_.FileRequests[0].Request.InitialDir, ConfigurationsFolder());
    EXPECT_EQ(ui_.FileRequests[0].Request.Filter,
              "File Etichette (*.clf)|*.CLF|Tutti i file (*.*)|*.*");

    // Another file that the name becomes is replaced only after the question.
    WriteFile(Conf("lab.CLF"), "old");
    for (const int answer : {mrNo, mrYes}) {
        ui_.Messages.clear();
        ui_.SaveAnswers.push_back(Conf("lab"));
        ui_.MessageAnswers.push_back(answer);
        OnLabels([](Ttranslatelabelsdlg* d) {
            d->SpeedButton3->Click();
            d->BitBtn2->Click();
        });
        ASSERT_EQ(ui_.Messages.size(), 1u);
        EXPECT_EQ(ui_.Messages[0].Text,
                  "Il file " + Conf("lab.CLF") + " esiste gi\xE0. Sostituirlo?");
        EXPECT_EQ(ReadFile(Conf("lab.CLF")).size(), answer == mrNo ? 3u : 25u);
    }
}

TEST_F(ParamboxTest, LinesLongerThan255AreCut) {
    const std::string longText(300, 'q');
    SaveLabelFile(Conf("long.CLF"), {{longText, "u"}});
    EXPECT_EQ(ReadFile(Conf("long.CLF")), std::string(255, 'q') + "\r\nu\r\n");
}

TEST_F(ParamboxTest, AFailedSaveSaysWhyAndKeepsTheOldFile) {
    const std::string folder = Conf("locked/");
    ForceDirectories(folder);
    WriteFile(folder + "lab.CLF", "old bytes");
    ReadOnlyFolder locked(folder);
    if (!locked.Active())
        GTEST_SKIP() << locked.Error();
    ui_.SaveAnswers.push_back(folder + "lab.CLF");
    OnLabels([](Ttranslatelabelsdlg* d) {
        d->SpeedButton3->Click();
        d->BitBtn2->Click();
    });
    ASSERT_EQ(ui_.Messages.size(), 1u);
    EXPECT_EQ(ui_.Messages[0].Text.rfind("Impossibile salvare il file: " + folder + "lab.CLF", 0),
              0u)
        << ui_.Messages[0].Text;
    EXPECT_EQ(ReadFile(folder + "lab.CLF"), "old bytes");
}

TEST_F(ParamboxTest, OpenedLabelsFillTheRowsThatExist) {
    struct Case {
        const char* Name;
        std::string Bytes;
        std::vector<std::vector<std::string>> Rows; // columns 1 and 2 of rows 1..3
    };
    const Case cases[] = {
        {"crlf.CLF",
         "Forza\r\nkN\r\nVelocit\xE0\r\n",
         {{"Forza", "kN"}, {"Velocit\xE0", ""}, {"", ""}}},
        {"mixed.CLF", "a\nb\rc\r\nd", {{"a", "b"}, {"c", "d"}, {"", ""}}},
        {"many.CLF",
         "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n",
         {{"1", "2"}, {"3", "4"}, {"5", "6"}}},
        {"blank.CLF", "\r\n\r\nx\r\n", {{"", ""}, {"x", ""}, {"", ""}}},
    };
    for (const Case& c : cases) {
        WriteFile(Conf(c.Name), c.Bytes);
        ui_.OpenAnswers.push_back({Conf(c.Name)});
        OnLabels([&c](Ttranslatelabelsdlg* d) {
            d->Grid1->SetCells(2, 3, "stale");
            d->SpeedButton2->Click();
            for (int r = 1; r <= 3; ++r)
                EXPECT_EQ(Row(*d->Grid1, r)[1] + "|" + Row(*d->Grid1, r)[2],
                          c.Rows[static_cast<size_t>(r - 1)][0] + "|" +
                              c.Rows[static_cast<size_t>(r - 1)][1])
                    << c.Name << " row " << r;
            d->BitBtn2->Click();
        });
    }
    EXPECT_TRUE(ui_.Messages.empty());
}

TEST_F(ParamboxTest, AMissingLabelFileSaysSoAndLeavesTheCells) {
    ui_.OpenAnswers.push_back({Conf("none.CLF")});
    OnLabels([](Ttranslatelabelsdlg* d) {
        d->SpeedButton2->Click();
        EXPECT_EQ(Row(*d->Grid1, 1), (std::vector<std::string>{"Tempo[s]", "Time", "s"}));
        EXPECT_EQ(Row(*d->Grid1, 2), (std::vector<std::string>{"Pressione[bar]", "", "Pressure"}));
        d->BitBtn2->Click();
    });
    ASSERT_EQ(ui_.Messages.size(), 1u);
    EXPECT_EQ(ui_.Messages[0].Text, "Impossibile leggere il file: " + Conf("none.CLF") +
                                        "\r\nfile o cartella inesistente");
}

TEST_F(ParamboxTest, PageAttributesKeepShortStrings) {
    std::unique_ptr<Tfrm_dlg_attributi> d(CreateForm<Tfrm_dlg_attributi>());
    for (TEdit* edit : {d->Edit1, d->Edit2}) {
        edit->SetText(QString(300, u'x'));
        EXPECT_EQ(edit->Text().size(), 255);
        TypeInto(edit, QString(300, u'y'));
        EXPECT_EQ(edit->Text(), QString(255, u'y'));
    }
}

} // namespace
} // namespace vx::test
