#include "document/defasse.h"

#include "DocumentFixture.h"
#include "data/Settings.h"
#include "data/WPComp.h"
#include "document/TTagPointbox.h"
#include "document/Tgrigliabox.h"
#include "localisation/Strglobmod.h"
#include "localisation/mlLangDispatcher.h"
#include "platform/runtime/ComponentStream.h"
#include "platform/runtime/Cp1252.h"
#include "platform/runtime/Streams.h"
#include "platform/system/Files.h"
#include "platform/ui/Button.h"
#include "platform/ui/CheckBox.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Edit.h"
#include "platform/ui/GroupBox.h"
#include "platform/ui/Label.h"
#include "platform/ui/ListBox.h"
#include "platform/ui/PageControl.h"
#include "platform/ui/RadioGroup.h"
#include "platform/ui/Shape.h"
#include "platform/ui/SpeedButton.h"
#include "platform/ui/SpinEdit.h"
#include "platform/ui/TrackBar.h"
#include "report/WPGraph.h"
#include "report/WPSection.h"
#include "support/FormTestSupport.h"

#include <QCheckBox>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <string>
#include <vector>

namespace vx::test {
namespace {

std::string Str(const QString& text) {
    return FromQString(text);
}

// The dialog as the program installs it.
struct DialogHooks : TEditorHooks {
    void EditAxis(TAxisExchange& x) override { EditAxisDialog(x); }
};

class AxisDialogTest : public DocumentFixture {
protected:
    void SetUp() override {
        DocumentFixture::SetUp();
        FormatSettings().DecimalSeparator = '.';
        FormatSettings().TimeSeparator = ':';
        FormatSettings().DateSeparator = '/';
        BasePath = dir.Path();
        ForceDirectories(BasePath + "System");
        CreateSTRGlobData();
        SetEditorHooks(&hooks);
        AddTest({{"0", "5", "A"}, {"1", "6", "B"}, {"2", "7", "B"}, {"3", "8", "A"}});
        AddTest({{"0", "4.5", "C"}, {"1", "9.2", "A"}, {"2", "6", "D"}});
        page = MakePage(&data, "Pagina");
        graph = page->Graph();
        ASSERT_NE(graph, nullptr);
        graph->XAxis().Channels().Clear();
        graph->XAxis().Channels().Add(0);
        TAsse& y = Left();
        y.Channels().Clear();
        y.Channels().Add(1);
        y.limitiautomatici = false;
        y.Minimum = 0;
        y.Maximum = 100;
        y.Increment = 10;
        y.Formato = "0.0";
    }
    void TearDown() override {
        SetEditorHooks(nullptr);
        page.reset();
        FreeSTRGlobData();
        BasePath.clear();
        DocumentFixture::TearDown();
    }

    void AddTest(std::initializer_list<std::array<const char*, 3>> rows) {
        TdataProva& t = data.AddProva(3);
        for (const char* n : {"Tempo", "Forza", "Fase"})
            t.ChannelNames.Add(n);
        for (const char* u : {"s", "kN", "-"})
            t.Units.Add(u);
        for (const auto& row : rows)
            for (int c = 0; c < 3; ++c)
                t.GetChannel(c).AddText(row[c]);
    }

    TAsse& Left(int i = 0) const { return *graph->LeftSide().GetAxisByIndex(i); }

    static std::string AxisBytes(const TAsse& axis) {
        TMemoryStream s;
        WriteComponent(s, axis);
        return s.Bytes();
    }

    // Opens the dialog on the axis through the graph, the script acting inside its modal loop.
    void Edit(TAsse& axis, std::function<void(Tboxdefasse*)> script) {
        scripts.On<Tboxdefasse>(std::move(script));
        graph->EditAxis(axis);
    }

    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const auto& m : ui.Messages)
            texts.push_back(m.Text);
        return texts;
    }

    static void SetLanguage(int language) {
        STRGlobData->mlLangDispatcher1->SetActiveLanguage(language);
    }

    TempDir dir;
    ScopedUi scoped;
    ScriptedUiServices& ui = scoped.ui;
    ModalScripts scripts{ui};
    DialogHooks hooks;
    TDatabuffer data;
    std::unique_ptr<TWPPage> page;
    TWPGraph* graph = nullptr;
};

// Brings the page of the control to the front, as a user would before using it.
void Reveal(QWidget* control) {
    for (QWidget* w = control; w; w = w->parentWidget())
        if (auto* sheet = qobject_cast<TTabSheet*>(w)) {
            auto* pages = qobject_cast<TPageControl*>(ParentForm(w)->findChild<TPageControl*>());
            pages->SetActivePage(sheet);
        }
    QCoreApplication::processEvents();
}

void Click(QWidget* control) {
    Reveal(control);
    // Check boxes and radio buttons take a click on their box.
    const bool boxed = qobject_cast<QCheckBox*>(control) || qobject_cast<QRadioButton*>(control);
    QTest::mouseClick(control, Qt::LeftButton, {},
                      boxed ? QPoint(6, control->height() / 2) : control->rect().center());
}

// Picks an item of a drop-down list as the user does.
void Pick(TComboBox* combo, int index) {
    Reveal(combo);
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

void Type(TEdit* edit, const char* text) {
    Reveal(edit);
    TypeInto(edit, QString::fromUtf8(text));
}

void Choose(TRadioGroup* group, int index) {
    Click(group->Button(index));
}

// Runs `step` from the event loop once `ready` holds: a refused close runs between the
// script's press of OK and the step.
void Later(QObject* context, std::function<bool()> ready, std::function<void()> step) {
    QTimer::singleShot(5, context, [=] {
        if (ready())
            step();
        else
            Later(context, ready, step);
    });
}

TEST_F(AxisDialogTest, OpeningALeftAxisShowsIt) {
    bool ran = false;
    Edit(Left(), [&](Tboxdefasse* d) {
        ran = true;
        EXPECT_EQ(d->PageControl1->ActivePageIndex(), 0);
        EXPECT_EQ(d->Listag->Items(), QStringList{"Forza"});
        EXPECT_EQ(d->ComboBox4->Items(), (QStringList{"-- Nessuno --", "Tempo", "Forza", "Fase"}));
        EXPECT_EQ(d->ComboBox4->ItemIndex(), 0);
        EXPECT_EQ(d->Minimo->Text(), "0.00");
        EXPECT_EQ(d->Massimo->Text(), "100.00");
        EXPECT_EQ(d->Incremento->Text(), "10.00");
        EXPECT_EQ(d->Tacche->Text(), "10");
        EXPECT_EQ(d->Label12->Caption(), "4.5");
        EXPECT_EQ(d->Label13->Caption(), "9.2");
        EXPECT_TRUE(d->RG_TipoLimiti->isHidden());
        EXPECT_TRUE(d->CheckOrd->isHidden());
        EXPECT_EQ(d->Shape2->BrushColor(), 0xFFFF00);
        EXPECT_EQ(d->Label28->Caption(), "ON");
        EXPECT_EQ(d->Shape4->BrushColor(), 0x800000);
        EXPECT_EQ(d->Label30->Caption(), "OFF");
        EXPECT_EQ(d->Shape5->BrushColor(), 0x800000);
        EXPECT_EQ(d->Label31->Caption(), "OFF");
        EXPECT_EQ(d->Shape3->BrushColor(), 0xFFFF00);
        EXPECT_TRUE(d->GroupBox1->isEnabled());
        // Short strings, but the conversion formula is a long one.
        EXPECT_EQ(d->titolo->maxLength(), 255);
        EXPECT_EQ(d->Formato->maxLength(), 255);
        EXPECT_GT(d->Edit3->maxLength(), 255);
        for (TEdit* e : {d->titolo, d->sottotitolo}) {
            EXPECT_FALSE(e->isEnabled());
            EXPECT_EQ(e->Color(), clInactiveBorder);
            EXPECT_EQ(e->palette().color(QPalette::Base), QColor(212, 208, 200));
        }
        Choose(d->tipoetichette, 1);
        for (TEdit* e : {d->titolo, d->sottotitolo}) {
            EXPECT_TRUE(e->isEnabled());
            EXPECT_EQ(e->Color(), clWindow);
        }
        Click(d->CancelBtn);
    });
    EXPECT_TRUE(ran);
    EXPECT_EQ(Left().tipoetichette, 0) << "cancelled";
}

TEST_F(AxisDialogTest, AFilteredAxisShowsItsFilter) {
    Left().filtro = 2;
    Left().filtrotipo = 1;
    Left().filtrovalore = "A";
    Edit(Left(), [&](Tboxdefasse* d) {
        EXPECT_EQ(d->ComboBox4->Text(), "Fase");
        EXPECT_EQ(d->RadioGroup1->ItemIndex(), 1);
        EXPECT_TRUE(d->ComboBox5->isEnabled());
        EXPECT_EQ(d->ComboBox5->Text(), "A");
        EXPECT_EQ(d->ComboBox5->Items(), (QStringList{"A", "B", "C", "D"}));
        EXPECT_FALSE(d->Edit1->isEnabled());
        EXPECT_EQ(d->Label12->Caption(), "5.0");
        EXPECT_EQ(d->Label13->Caption(), "9.2");
        Click(d->CancelBtn);
    });
}

TEST_F(AxisDialogTest, ChoosingTheFilterChannelListsItsValues) {
    struct Case {
        int item;
        QStringList values;
        QString shown;
        int tipo;
        bool tolerance;
    };
    const Case cases[] = {
        {3, {"A", "B", "C", "D"}, "A", 1, false},
        {2, {"5", "6", "7", "8", "4.5", "9.2"}, "5", 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item);
        Edit(Left(), [&](Tboxdefasse* d) {
            EXPECT_FALSE(d->ComboBox5->isEnabled());
            Pick(d->ComboBox4, c.item);
            EXPECT_EQ(d->ComboBox5->Items(), c.values);
            EXPECT_EQ(d->ComboBox5->Text(), c.shown);
            EXPECT_EQ(d->RadioGroup1->ItemIndex(), c.tipo);
            EXPECT_TRUE(d->ComboBox5->isEnabled());
            EXPECT_EQ(d->Edit1->isEnabled(), c.tolerance);
            Click(d->OKBtn);
        });
        EXPECT_EQ(Left().filtro, c.item - 1);
        EXPECT_EQ(Left().filtrovalore, Str(c.shown));
        EXPECT_EQ(Left().filtrotipo, c.tipo);
        Left().filtro = -1;
        Left().filtrotipo = 0;
    }
}

TEST_F(AxisDialogTest, TheFilterListStopsAtFiftyAndSkipsTestsWithoutTheChannel) {
    TdataProva& narrow = data.AddProva(1);
    narrow.GetChannel(0).AddText("x");
    TdataProva& many = data.AddProva(3);
    for (int i = 0; i < 80; ++i)
        for (int c = 0; c < 3; ++c)
            many.GetChannel(c).AddText("v" + std::to_string(i));
    Edit(Left(), [&](Tboxdefasse* d) {
        Pick(d->ComboBox4, 3);
        ASSERT_EQ(d->ComboBox5->Count(), 50);
        EXPECT_EQ(d->ComboBox5->itemText(3), "D");
        EXPECT_EQ(d->ComboBox5->itemText(4), "v0") << "a test without the channel adds nothing";
        EXPECT_EQ(d->ComboBox5->itemText(49), "v45");
        Click(d->CancelBtn);
    });
    // A stored value past the listed ones still shows.
    Left().filtro = 2;
    Left().filtrotipo = 1;
    Left().filtrovalore = "v70";
    Edit(Left(), [&](Tboxdefasse* d) {
        EXPECT_EQ(d->ComboBox5->Count(), 50);
        EXPECT_EQ(d->ComboBox5->Text(), "v70");
        Click(d->OKBtn);
    });
    EXPECT_EQ(Left().filtrovalore, "v70");
}

TEST_F(AxisDialogTest, TheXAxisHoldsOneChannelAndNeedsOne) {
    TAsse& x = graph->XAxis();
    Edit(x, [&](Tboxdefasse* d) {
        EXPECT_FALSE(d->BitBtn6->isEnabled());
        EXPECT_FALSE(d->ComboBox2->isEnabled());
        EXPECT_FALSE(d->ComboBox3->isEnabled());
        EXPECT_FALSE(d->RG_TipoLimiti->isHidden());
        EXPECT_FALSE(d->CheckOrd->isHidden());
        Click(d->SpeedButton1);
        EXPECT_EQ(d->Listag->Items(), QStringList{"Tempo"}) << "nothing chosen adds nothing";
        Pick(d->Combog, 2);
        Click(d->SpeedButton1);
        EXPECT_EQ(d->Listag->Items(), QStringList{"Fase"});
        EXPECT_EQ(d->SpeedButton1->Tag, 1);
        Click(d->OKBtn);
    });
    ASSERT_EQ(x.Channels().Count(), 1);
    EXPECT_EQ(x.Channels().GetItem(0), 2);

    x.Channels().Clear();
    x.Channels().Add(0);
    x.Grandezza = "Tempo";
    x.Umisura = "s";
    x.Caption = "Nota";
    for (int language : {1, 2}) {
        SetLanguage(language);
        ui.Messages.clear();
        Edit(x, [&](Tboxdefasse* d) {
            d->Listag->SetItemIndex(0);
            Click(d->SpeedButton2);
            EXPECT_EQ(d->Listag->Count(), 0);
            EXPECT_EQ(d->titolo->Text(), "");
            EXPECT_EQ(d->sottotitolo->Text(), "");
            EXPECT_EQ(d->commento->Text(), "");
            Click(d->OKBtn);
            Later(
                d, [&] { return !ui.Messages.empty(); },
                [&, d] {
                    EXPECT_TRUE(d->isVisible()) << "the close was refused";
                    Click(d->CancelBtn);
                });
        });
        EXPECT_EQ(Texts(),
                  std::vector<std::string>{
                      language == 1 ? "Attenzione nessuna grandezza selezionata per l'asse!"
                                    : "You must select one channel!"});
        ASSERT_EQ(x.Channels().Count(), 1);
        EXPECT_EQ(x.Channels().GetItem(0), 0);
        EXPECT_EQ(x.Grandezza, "Tempo");
    }
    SetLanguage(1);
}

TEST_F(AxisDialogTest, WhatTheUserSetsReachesTheAxis) {
    ui.ColorAnswers = {0x0000FF};
    Edit(Left(), [&](Tboxdefasse* d) {
        Choose(d->tipoetichette, 1);
        Type(d->titolo, "Spinta");
        Type(d->sottotitolo, "N");
        // QTest types Latin-1 only.
        d->commento->SetText(QString::fromUtf8("Prova € 1"));
        Type(d->Formato, "0.00");
        Click(d->CheckBox3);
        Reveal(d->SpinEdit1);
        d->SpinEdit1->SetValue(4);
        Click(d->Shape1);
        Pick(d->ComboBox2, 2);
        Pick(d->ComboBox3, 3);
        Click(d->CheckBox7);
        Click(d->CheckBox1);
        Pick(d->ComboBox4, 2);
        Type(d->Edit1, "0.5");
        Click(d->CheckBox2);
        Type(d->Edit2, "lbf");
        Type(d->Edit3, "x*0.2248");
        Click(d->CheckBox4);
        Click(d->OKBtn);
    });
    const TAsse& y = Left();
    EXPECT_EQ(y.tipoetichette, 1);
    EXPECT_EQ(y.Grandezza, "Spinta");
    EXPECT_EQ(y.Umisura, "N");
    EXPECT_EQ(y.Caption, "Prova \x80 1");
    EXPECT_EQ(y.Formato, "0.00");
    EXPECT_TRUE(y.Zeroinclude);
    EXPECT_EQ(y.Sottotacche, 4);
    EXPECT_EQ(y.Pen.Color, 0x0000FF);
    EXPECT_EQ(y.Pen.Width, IndexToPenWidth(2));
    EXPECT_EQ(y.Pen.Style, IndexToPenStyle(3));
    EXPECT_TRUE(y.ShowLineAttrib);
    EXPECT_FALSE(y.usa_attributi_asse);
    EXPECT_EQ(y.filtro, 1);
    EXPECT_EQ(y.filtrovalore, "5");
    EXPECT_EQ(y.filtrotolleranza, "0.5");
    EXPECT_TRUE(y.DoubleAxe);
    EXPECT_EQ(y.Umis2, "lbf");
    EXPECT_EQ(y.Conversionformula, "X*0.2248");
    EXPECT_TRUE(y.Scala2Indipendente);
}

TEST_F(AxisDialogTest, TheCalculatorComputesOneLimitFromTheOthers) {
    struct Case {
        const char* what;
        const char* min;
        const char* max;
        const char* inc;
        const char* divisions;
        int button;
        std::vector<QString> result; // minimum, maximum, increment, subdivisions
        const char* message;
    };
    const Case cases[] = {
        {"maximum", "0", "1", "2.5", "4", 5, {"0.00", "10.00", "2.50", "4"}, nullptr},
        {"maximum of no subdivisions",
         "0",
         "1",
         "2.5",
         "0",
         5,
         {"0", "1", "2.5", "0"},
         "Valori non accettabili!"},
        {"minimum", "7", "100", "10", "5", 4, {"50.00", "100.00", "10.00", "5"}, nullptr},
        {"negative increment",
         "7",
         "100",
         "-10",
         "5.9",
         4,
         {"50.00", "100.00", "10.00", "5"},
         nullptr},
        {"increment", "0", "10", "1", "3", 6, {"0.00", "10.00", "3.33", "3"}, nullptr},
        {"increment of no range",
         "10",
         "10",
         "1",
         "3",
         6,
         {"10", "10", "1", "3"},
         "Valori non accettabili!"},
        {"increment of no subdivisions",
         "0",
         "10",
         "1",
         "0",
         6,
         {"0", "10", "1", "0"},
         "Valori non accettabili!"},
        {"subdivisions", "0", "10", "3", "1", 7, {"0.00", "10.00", "3.00", "3"}, nullptr},
        {"subdivisions of no increment",
         "0",
         "10",
         "0",
         "1",
         7,
         {"0", "10", "0", "1"},
         "Valori non accettabili!"},
        {"not a number",
         "abc",
         "10",
         "3",
         "1",
         7,
         {"abc", "10", "3", "1"},
         "'abc' is not a valid floating point value"},
        {"not a number elsewhere",
         "0",
         "10",
         "3",
         "abc",
         5,
         {"0", "10", "3", "abc"},
         "'abc' is not a valid floating point value"},
    };
    Edit(Left(), [&](Tboxdefasse* d) {
        TSpeedButton* buttons[] = {d->SpeedButton4, d->SpeedButton5, d->SpeedButton6,
                                   d->SpeedButton7};
        for (const Case& c : cases) {
            SCOPED_TRACE(c.what);
            ui.Messages.clear();
            Type(d->Minimo, c.min);
            Type(d->Massimo, c.max);
            Type(d->Incremento, c.inc);
            Type(d->Tacche, c.divisions);
            Click(buttons[c.button - 4]);
            EXPECT_EQ((std::vector<QString>{d->Minimo->Text(), d->Massimo->Text(),
                                            d->Incremento->Text(), d->Tacche->Text()}),
                      c.result);
            EXPECT_EQ(Texts(),
                      c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
        }
        Click(d->CancelBtn);
    });
}

TEST_F(AxisDialogTest, OkMakesTheIncrementOfAManualAxisFitItsDivisions) {
    QString shown;
    Edit(Left(), [&](Tboxdefasse* d) {
        Type(d->Massimo, "10");
        Type(d->Tacche, "3");
        Type(d->Incremento, "2");
        // The close runs after the close query.
        d->OnClose = [&shown, d](QObject*, TCloseAction&) { shown = d->Incremento->Text(); };
        Click(d->OKBtn);
    });
    EXPECT_EQ(shown, "3.33333333333333");
    EXPECT_EQ(Left().Maximum, 10);
    EXPECT_EQ(Left().Minimum, 0);
    EXPECT_EQ(Left().Increment, 3.33333333333333);
    EXPECT_TRUE(ui.Messages.empty());

    Edit(Left(), [&](Tboxdefasse* d) {
        Type(d->Tacche, "0.7");
        Click(d->OKBtn);
        Later(
            d, [&] { return !ui.Messages.empty(); },
            [&, d] {
                EXPECT_TRUE(d->isVisible());
                Type(d->Tacche, "abc");
                Click(d->OKBtn);
                Later(
                    d, [&] { return ui.Messages.size() == 2; },
                    [&, d] {
                        EXPECT_TRUE(d->isVisible());
                        Click(d->CancelBtn);
                    });
            });
    });
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Valori non accettabili!",
                                                 "'abc' is not a valid floating point value"}));
    EXPECT_EQ(Left().Maximum, 10) << "cancelled";

    // Cancel and the window's close button skip the check; an automatic axis is not checked.
    ui.Messages.clear();
    Edit(Left(), [&](Tboxdefasse* d) {
        Type(d->Tacche, "0");
        d->close();
    });
    Left().limitiautomatici = true;
    Edit(Left(), [&](Tboxdefasse* d) {
        EXPECT_FALSE(d->GroupBox1->isEnabled());
        Click(d->automaticlimits);
        EXPECT_TRUE(d->GroupBox1->isEnabled());
        Click(d->automaticlimits);
        Type(d->Tacche, "0");
        Click(d->OKBtn);
    });
    EXPECT_TRUE(ui.Messages.empty());
}

TEST_F(AxisDialogTest, ACommonGridFixesTheDivisionsOfAVerticalAxis) {
    graph->Globalgrid = true;
    Edit(Left(), [&](Tboxdefasse* d) {
        EXPECT_FALSE(d->Tacche->isEnabled());
        EXPECT_FALSE(d->SpeedButton7->isEnabled());
        EXPECT_TRUE(d->SpeedButton6->isEnabled());
        Click(d->CancelBtn);
    });
    graph->XAxis().limitiautomatici = false;
    Edit(graph->XAxis(), [&](Tboxdefasse* d) {
        EXPECT_TRUE(d->Tacche->isEnabled());
        Click(d->CancelBtn);
    });
}

TEST_F(AxisDialogTest, SwitchesShowTheirStateAndReachTheAxis) {
    Edit(Left(), [&](Tboxdefasse* d) {
        // A switch's shape is no colour choice; the pen's is.
        ui.ColorAnswers = {0x123456};
        Click(d->Shape2);
        EXPECT_EQ(d->Shape2->BrushColor(), 0xFFFF00);
        ASSERT_EQ(ui.ColorAnswers.size(), 1u);
        Click(d->Shape1);
        EXPECT_TRUE(ui.ColorAnswers.empty());
        Click(d->SpeedButton9);
        EXPECT_EQ(d->Shape2->BrushColor(), 0x800000);
        EXPECT_EQ(d->Label28->Caption(), "OFF");
        Click(d->Btn_spline);
        EXPECT_EQ(d->Shape5->BrushColor(), 0xFFFF00);
        EXPECT_EQ(d->Label31->Caption(), "ON");
        d->SpinEdit2->SetValue(3);
        d->SpinEdit3->SetValue(40);
        Click(d->CheckBox6);
        Click(d->SpeedButton11);
        Reveal(d->TrackBar1);
        d->TrackBar1->setFocus();
        QTest::keyClick(d->TrackBar1, Qt::Key_End);
        QTest::keyClick(d->TrackBar1, Qt::Key_Left);
        QTest::keyClick(d->TrackBar1, Qt::Key_Left);
        EXPECT_EQ(d->Label24->Caption(), "5");
        Click(d->OKBtn);
    });
    EXPECT_FALSE(Left().See_line);
    EXPECT_EQ(Left().Pen.Color, 0x123456);
    const auto spline = Left().SplineRecord().ToBytes();
    EXPECT_EQ(std::string(spline.begin(), spline.end()),
              FromHex("01 03 00 00 00 00 00 00 00 00 00 00 00 00 44 40 01 00 00 00 00 00 00 00"));
    EXPECT_TRUE(Left().See_funzionale);
    EXPECT_EQ(Left().Gradofunzionale, 5);

    SetLanguage(3);
    Edit(Left(), [&](Tboxdefasse* d) {
        Click(d->SpeedButton9);
        EXPECT_EQ(d->Label28->Caption(), "Ein");
        Click(d->SpeedButton9);
        EXPECT_EQ(d->Label28->Caption(), "Aus");
        Click(d->CancelBtn);
    });
    SetLanguage(1);
}

TEST_F(AxisDialogTest, PointMarkersOfANewAxis) {
    scripts.On<TTagPointbox>([&](TTagPointbox* p) {
        EXPECT_TRUE(p->CheckBox1->Checked());
        EXPECT_EQ(p->ComboBox1->Text(), "Cerchio");
        EXPECT_FALSE(p->CheckBox2->Checked());
        EXPECT_EQ(p->Shape1->BrushColor(), 0xFFFFFF);
        EXPECT_EQ(p->ComboBox2->Text(), "Piccola");
        EXPECT_EQ(p->Edit1->Text(), "0");
        EXPECT_EQ(p->Edit2->Text(), "0");
        Pick(p->ComboBox1, 6);
        Click(p->CheckBox2);
        ui.ColorAnswers.push_back(0x00FF00);
        Click(p->Shape1);
        Pick(p->ComboBox2, 2);
        Click(p->CheckBox1);
        Click(p->CheckBox4);
        TypeInto(p->Edit1, "2");
        TypeInto(p->Edit2, "-3");
        Click(p->OKBtn);
    });
    Edit(Left(), [&](Tboxdefasse* d) {
        Click(d->SpeedButton10);
        EXPECT_EQ(d->Shape3->BrushColor(), 0x800000);
        EXPECT_EQ(d->Label29->Caption(), "OFF");
        EXPECT_EQ(d->SpeedButton10->Tag, 1);
        Click(d->OKBtn);
    });
    const auto marker = Left().MarkerRecord().ToBytes();
    EXPECT_EQ(std::string(marker.begin(), marker.end()),
              FromHex("06 00 00 00 00 FF 00 00 01 00 00 00 02 00 00 00"));
    EXPECT_TRUE(Left().valori.Y);
    EXPECT_FALSE(Left().valori.X);
    EXPECT_EQ(Left().valori.SX, 2);
    EXPECT_EQ(Left().valori.SY, -3);
}

TEST_F(AxisDialogTest, AnOffsetThatIsNoIntegerCopiesNothing) {
    const std::string before = AxisBytes(Left());
    scripts.On<TTagPointbox>([&](TTagPointbox* p) {
        Pick(p->ComboBox1, 6);
        Click(p->CheckBox4);
        TypeInto(p->Edit1, "abc");
        Click(p->OKBtn);
        Later(
            p, [&] { return !ui.Messages.empty(); },
            [&, p] {
                EXPECT_TRUE(p->isVisible());
                Click(p->CancelBtn);
            });
    });
    Edit(Left(), [&](Tboxdefasse* d) {
        Click(d->SpeedButton10);
        EXPECT_EQ(d->SpeedButton10->Tag, 0);
        Click(d->OKBtn);
    });
    EXPECT_EQ(Texts(), std::vector<std::string>{"'abc' is not a valid integer value"});
    EXPECT_EQ(AxisBytes(Left()), before);
}

TEST_F(AxisDialogTest, GridDialog) {
    Left().GridRecord().PenWidth = 2;
    Left().GridRecord().PenStyle = 1;
    scripts.On<Tgrigliabox>([&](Tgrigliabox* g) {
        Click(g->CheckBox1);
        Click(g->CancelBtn);
    });
    Edit(Left(), [&](Tboxdefasse* d) {
        Click(d->BitBtn6);
        EXPECT_EQ(d->BitBtn6->Tag, 0) << "cancelled";
        Click(d->OKBtn);
    });
    EXPECT_EQ(Left().GridRecord().PenWidth, 2u);
    EXPECT_EQ(Left().GridRecord().Enabled, 0);
    scripts.On<Tgrigliabox>([&](Tgrigliabox* g) {
        EXPECT_EQ(g->ComboBox1->Text(), "Sottili");
        EXPECT_EQ(g->ComboBox2->Text(), "Continua");
        Click(g->OKBtn);
    });
    Edit(Left(), [&](Tboxdefasse* d) {
        Click(d->BitBtn6);
        EXPECT_EQ(d->BitBtn6->Tag, 1);
        Click(d->OKBtn);
    });
    EXPECT_EQ(Left().GridRecord().PenWidth, 1u);
    EXPECT_EQ(Left().GridRecord().PenStyle, 0);

    scripts.On<Tgrigliabox>([&](Tgrigliabox* g) {
        Click(g->CheckBox1);
        Pick(g->ComboBox1, 1);
        Pick(g->ComboBox2, 1);
        ui.ColorAnswers.push_back(0x0000FF);
        Click(g->Shape1);
        Click(g->CheckBox2);
        Choose(g->RadioGroup1, 1);
        Click(g->OKBtn);
    });
    Edit(Left(), [&](Tboxdefasse* d) {
        Click(d->BitBtn6);
        Click(d->OKBtn);
    });
    const auto grid = Left().GridRecord().ToBytes();
    EXPECT_EQ(std::string(grid.begin(), grid.end()),
              FromHex("01 00 00 00 03 00 00 00 02 00 00 00 FF 00 00 00 01 01 00 00"));
}

TEST_F(AxisDialogTest, ChangesReachTheOtherSelectedAxes) {
    graph->LeftSide().GetSection(0)->AddAxes(1);
    TAsse& a = Left(0);
    TAsse& b = Left(1);
    a.Selected = b.Selected = true;
    b.FontGrand.SetName("Courier New");
    b.MarkerRecord().MarkerType = 3;
    const std::string bFontGrand = b.FontGrand.Name();
    ui.FontHook = [](FontChoice& f) {
        f.Name = "Arial";
        f.Size = 12;
        return true;
    };
    scripts.On<Tgrigliabox>([&](Tgrigliabox* g) {
        Click(g->CheckBox1);
        Pick(g->ComboBox1, 1);
        Click(g->OKBtn);
    });
    Edit(a, [&](Tboxdefasse* d) {
        Click(d->BitBtn3);
        EXPECT_EQ(d->BitBtn3->Tag, 1);
        EXPECT_EQ(d->BitBtn1->Tag, 0);
        Click(d->BitBtn6);
        Click(d->OKBtn);
    });
    for (TAsse* axis : {&a, &b}) {
        EXPECT_EQ(axis->FontValues.Name(), "Arial");
        EXPECT_EQ(axis->FontValues.Size(), 12);
        EXPECT_EQ(axis->GridRecord().Enabled, 1);
        EXPECT_EQ(axis->GridRecord().PenWidth, 3u);
    }
    EXPECT_EQ(b.FontGrand.Name(), bFontGrand);
    EXPECT_EQ(b.MarkerRecord().MarkerType, 3);
}

TEST_F(AxisDialogTest, AnUntouchedOkOrACancelChangesNothing) {
    TAsse& y = Left();
    y.Sottotacche = 30;
    y.Gradofunzionale = 9;
    y.SplineRecord().Parameter = 7;
    y.SplineRecord().Value = 12.5;
    y.filtro = 5;
    y.tipoetichette = 4;
    y.filtrotipo = 2;
    y.GridRecord().Orientation = 5;
    y.GridRecord().PenWidth = 3;
    y.MarkerRecord().MarkerType = 12;
    y.MarkerRecord().SizeIndex = 4;
    const std::string before = AxisBytes(y);
    Edit(y, [&](Tboxdefasse* d) { Click(d->OKBtn); });
    EXPECT_EQ(AxisBytes(y), before);

    scripts.On<TTagPointbox>([&](TTagPointbox* p) { Click(p->OKBtn); });
    scripts.On<Tgrigliabox>([&](Tgrigliabox* g) { Click(g->OKBtn); });
    Edit(y, [&](Tboxdefasse* d) {
        Click(d->SpeedButton10);
        Click(d->BitBtn6);
        Click(d->OKBtn);
    });
    EXPECT_EQ(AxisBytes(y), before) << "nested dialogs confirmed untouched";

    ui.FontHook = [](FontChoice& f) {
        f.Name = "Arial";
        return true;
    };
    scripts.On<TTagPointbox>([&](TTagPointbox* p) {
        Pick(p->ComboBox1, 2);
        Click(p->OKBtn);
    });
    Edit(y, [&](Tboxdefasse* d) {
        Type(d->titolo, "Spinta");
        Click(d->SpeedButton9);
        Click(d->SpeedButton10);
        Click(d->BitBtn1);
        Pick(d->ComboBox1, 3);
        Pick(d->Combog, 0);
        Click(d->SpeedButton1);
        d->SpinEdit1->SetValue(2);
        Click(d->CancelBtn);
    });
    EXPECT_EQ(AxisBytes(y), before);
}

TEST_F(AxisDialogTest, MasksFollowTheSeparatorsInForce) {
    FormatSettings().DateSeparator = '.';
    Edit(Left(), [&](Tboxdefasse* d) {
        ASSERT_EQ(d->ComboBox1->Count(), 12);
        EXPECT_EQ(d->ComboBox1->itemText(4), "hh:nn:ss:zzz");
        EXPECT_EQ(d->ComboBox1->itemText(7), "dd.mm.yyyy");
        EXPECT_EQ(d->ComboBox1->itemText(8), "dd.mm.yyyy hh:nn:ss");
        EXPECT_EQ(d->ComboBox1->itemText(11), "[hh:nn:ss:zzz]");
        Pick(d->ComboBox1, 3);
        EXPECT_EQ(d->Formato->Text(), "0.000");
        Click(d->OKBtn);
    });
    EXPECT_EQ(Left().Formato, "0.000");
}

} // namespace
} // namespace vx::test
