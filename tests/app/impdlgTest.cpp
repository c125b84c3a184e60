#include "app/impdlg.h"

#include "AppTestSupport.h"
#include "localisation/mlComp.h"
#include "platform/graphics/Printer.h"
#include "platform/ui/CheckBox.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Edit.h"
#include "platform/ui/RadioGroup.h"
#include "platform/ui/SpeedButton.h"
#include "support/FormTestSupport.h"

#include <QRadioButton>

#include <memory>

namespace vx {
namespace {

using test::TypeInto;

// On the box itself: a wide check box or radio button takes clicks only on its box and text.
void ClickBox(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

// A record whose every byte differs, so that a field written in the wrong place shows.
TImpostazioniRec Patterned() {
    TImpostazioniRec rec;
    for (size_t i = 0; i < rec.Bytes.size(); ++i)
        rec.Bytes[i] = static_cast<uint8_t>(i * 7 + 3);
    rec.SetLoadType(0);
    rec.SetNamesRow(4);
    rec.SetIncludeZero(false);
    rec.SetAutoLimitMethod(1);
    rec.SetTcpServerActive(true);
    rec.SetTcpPort(5000);
    rec.SetPdfPrinterName("VP-A4-600");
    rec.SetDriverOutputFile("/data/o.pdf");
    rec.SetLanguage(2);
    rec.SetCloseAfterRemotePrint(true);
    return rec;
}

class ImpdlgTest : public test::AppWindowTest {
protected:
    std::unique_ptr<Timpostazioni> Dialog(const TImpostazioniRec& rec) {
        std::unique_ptr<Timpostazioni> dialog(CreateForm<Timpostazioni>());
        dialog->ShowSettings(rec);
        dialog->show();
        return dialog;
    }
};

TEST_F(ImpdlgTest, ShowsTheRecord) {
    auto dialog = Dialog(Patterned());
    EXPECT_EQ(dialog->RadioGroup1->ItemIndex(), 1);
    EXPECT_TRUE(dialog->RadioGroup1->Button(1)->isChecked());
    EXPECT_EQ(dialog->Edit1->Text(), "4");
    // The edit beside the second item takes the clicks aimed at it.
    EXPECT_EQ(dialog->RadioGroup1->childAt(dialog->Edit1->geometry().center()), dialog->Edit1);
    EXPECT_EQ(dialog->RadioGroup2->ItemIndex(), 1);
    EXPECT_FALSE(dialog->CheckBox1->Checked());
    EXPECT_FALSE(dialog->CheckBox1->isVisibleTo(dialog.get()));
    EXPECT_TRUE(dialog->CheckBox2->Checked());
    EXPECT_EQ(dialog->Edit2->Text(), "5000");
    EXPECT_EQ(dialog->ComboBox1->Text(), "VP-A4-600");
    EXPECT_EQ(dialog->Edit3->Text(), "/data/o.pdf");
    EXPECT_TRUE(dialog->CheckBox4->Checked());
    EXPECT_EQ(dialog->ComboBox2->Text(), "English");

    TImpostazioniRec rec = Patterned();
    rec.SetLoadType(1);
    rec.SetPdfPrinterName("Not installed");
    dialog->ShowSettings(rec);
    EXPECT_EQ(dialog->RadioGroup1->ItemIndex(), 0);
    EXPECT_EQ(dialog->ComboBox1->ItemIndex(), -1);
    dialog->TakeSettings(rec);
    EXPECT_EQ(rec.PdfPrinterName(), "");
}

TEST_F(ImpdlgTest, TakesWhatTheUserChanged) {
    const TImpostazioniRec before = Patterned();
    auto dialog = Dialog(before);
    ClickBox(dialog->RadioGroup1->Button(0));
    TypeInto(dialog->Edit1, "abc");
    TypeInto(dialog->Edit2, "-8080");
    const std::string longName = "/" + std::string(259, 'f');
    TypeInto(dialog->Edit3, QString::fromStdString(longName));
    dialog->ComboBox2->setFocus();
    QTest::keyClick(dialog->ComboBox2, Qt::Key_Down);
    ClickBox(dialog->CheckBox4);

    TImpostazioniRec rec = before;
    dialog->TakeSettings(rec);
    EXPECT_TRUE(ui.Messages.empty());
    EXPECT_EQ(rec.LoadType(), 1);
    EXPECT_EQ(rec.NamesRow(), 1);
    EXPECT_EQ(rec.TcpPort(), 8080);
    EXPECT_EQ(rec.DriverOutputFile(), longName.substr(0, 250));
    EXPECT_EQ(rec.Language(), 3);
    EXPECT_FALSE(rec.CloseAfterRemotePrint());
    EXPECT_EQ(rec.AutoLimitMethod(), 1);
    EXPECT_TRUE(rec.TcpServerActive());
    EXPECT_EQ(rec.PdfPrinterName(), "VP-A4-600");
    for (size_t i : {1u, 2u, 3u, 11u})
        EXPECT_EQ(rec.Bytes[i], before.Bytes[i]) << i;
    for (size_t i = 370; i < TImpostazioniRec::kSize; ++i)
        ASSERT_EQ(rec.Bytes[i], before.Bytes[i]) << i;
}

TEST_F(ImpdlgTest, PortMustBeASixteenBitNumber) {
    struct Case {
        QString text;
        int32_t port; // 5000: refused
    };
    const Case cases[] = {
        {"8080", 8080},  {"-8080", 8080}, {"65535", 65535},      {"-65535", 65535},
        {"0", 0},        {"$10", 16},     {"x1", 5000},          {"70000", 5000},
        {"65536", 5000}, {"", 5000},      {"-2147483648", 5000},
    };
    for (const Case& c : cases) {
        auto dialog = Dialog(Patterned());
        ui.Messages.clear();
        TypeInto(dialog->Edit2, c.text);
        TypeInto(dialog->Edit1, "7");
        TImpostazioniRec rec = Patterned();
        dialog->TakeSettings(rec);
        EXPECT_EQ(rec.TcpPort(), c.port) << c.text.toStdString();
        EXPECT_EQ(Messages(), c.port == 5000 ? std::vector<std::string>{"Valore Porta Server non "
                                                                        "accettabile!"}
                                             : std::vector<std::string>{})
            << c.text.toStdString();
        // The other fields are taken all the same.
        EXPECT_EQ(rec.NamesRow(), 7);
    }
}

TEST_F(ImpdlgTest, ListsWithoutAChoiceLeaveTheirFields) {
    TImpostazioniRec rec = Patterned();
    rec.SetLanguage(0);
    rec.SetAutoLimitMethod(9);
    auto dialog = Dialog(rec);
    EXPECT_EQ(dialog->ComboBox2->ItemIndex(), -1);
    EXPECT_EQ(dialog->RadioGroup2->ItemIndex(), -1);
    dialog->RadioGroup1->SetItemIndex(-1);
    dialog->TakeSettings(rec);
    EXPECT_EQ(rec.Language(), 0);
    EXPECT_EQ(rec.AutoLimitMethod(), 9);
    EXPECT_EQ(rec.LoadType(), 0);
}

TEST_F(ImpdlgTest, PrintersAreListedInTheSystemsOrder) {
    InstallPrinterProvider(
        std::make_shared<FixedPrinterProvider>(std::vector<std::shared_ptr<PrinterDevice>>{
            std::make_shared<VirtualPrinter>("Zeta"), std::make_shared<VirtualPrinter>("Alpha")}));
    std::unique_ptr<Timpostazioni> dialog(CreateForm<Timpostazioni>());
    test::InstallVirtualPrinter();
    EXPECT_EQ(dialog->ComboBox1->Items(), (QStringList{"Zeta", "Alpha"}));
}

TEST_F(ImpdlgTest, OutputFileComesFromTheOpenDialogAndAssociationIsReported) {
    auto dialog = Dialog(Patterned());
    ui.OpenAnswers = {{"/srv/out/print.pdf"}};
    dialog->SpeedButton1->click();
    EXPECT_EQ(dialog->Edit3->Text(), "/srv/out/print.pdf");
    dialog->SpeedButton1->click(); // cancelled
    EXPECT_EQ(dialog->Edit3->Text(), "/srv/out/print.pdf");
    EXPECT_FALSE(dialog->AssociateVrx());
    ClickBox(dialog->CheckBox3);
    EXPECT_TRUE(dialog->AssociateVrx());
}

TEST_F(ImpdlgTest, TextsInEachLanguageButTheLanguageNames) {
    struct Case {
        int language;
        QString caption, loadType;
        QStringList items;
        std::string ids39;
    };
    const Case cases[] = {
        {1,
         "Impostazioni",
         "Tipo di caricamento",
         {"Automatico", "Indirizzato su riga intestazione canali"},
         "Valore Porta Server non accettabile!"},
        {2,
         "Settings",
         "Load type",
         {"Automatic", "Addressed by channel header row"},
         "Server port value not acceptable!"},
        {3,
         "Einstellungen",
         "Ladeart",
         {"Automatisch", u8"Über Kanal-Kopfzeile adressiert"},
         "Server-Port ung\xFCltig!"},
    };
    auto dialog = Dialog(Patterned());
    for (const Case& c : cases) {
        SetLanguage(c.language);
        EXPECT_EQ(dialog->Caption(), c.caption);
        EXPECT_EQ(dialog->RadioGroup1->Caption(), c.loadType);
        EXPECT_EQ(dialog->RadioGroup1->Items(), c.items);
        EXPECT_EQ(dialog->RadioGroup1->ItemIndex(), 1);
        EXPECT_EQ(dialog->ComboBox2->Items(), (QStringList{"Italiano", "English", "Deutsch"}));
        EXPECT_EQ(dialog->ComboBox2->ItemIndex(), 1);
        EXPECT_EQ(dialog->mlLang1->GetTextOrDefault("IDS_39"), c.ids39);
    }
}

} // namespace
} // namespace vx
