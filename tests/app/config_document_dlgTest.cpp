#include "app/config_document_dlg.h"

#include "AppTestSupport.h"
#include "localisation/mlComp.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/SpeedButton.h"
#include "support/FormTestSupport.h"

#include <memory>

namespace vx {
namespace {

using test::DoubleClickItem;
using test::RunModal;

class ConfigDocumentDlgTest : public test::AppWindowTest {
protected:
    std::unique_ptr<Tconfig_document_dlg> Dialog(const QStringList& files) {
        std::unique_ptr<Tconfig_document_dlg> dialog(CreateForm<Tconfig_document_dlg>());
        dialog->ListBox1->SetItems(files);
        return dialog;
    }
};

TEST_F(ConfigDocumentDlgTest, DoubleClickChoosesAConfiguration) {
    auto dialog = Dialog({"a.CPF", "b.CPF"});
    const int result = RunModal(dialog.get(), [&] { DoubleClickItem(dialog->ListBox1, 1); });
    EXPECT_EQ(result, mrOk);
    EXPECT_EQ(dialog->ListBox1->ItemIndex(), 1);
    EXPECT_EQ(dialog->ListBox1->Item(1), "b.CPF");
}

TEST_F(ConfigDocumentDlgTest, NewMeansOkWithoutAConfiguration) {
    auto dialog = Dialog({"a.CPF", "b.CPF"});
    dialog->ListBox1->SetItemIndex(0);
    const int result = RunModal(dialog.get(), [&] { dialog->SpeedButton1->click(); });
    EXPECT_EQ(result, mrOk);
    EXPECT_EQ(dialog->ListBox1->ItemIndex(), -1);
}

TEST_F(ConfigDocumentDlgTest, OkAndCancelCloseWhateverIsChosen) {
    for (const int expected : {mrOk, mrCancel}) {
        auto dialog = Dialog({"a.CPF"});
        TButton* button = expected == mrOk ? dialog->OKBtn : dialog->CancelBtn;
        const int result = RunModal(dialog.get(), [&] { button->click(); });
        EXPECT_EQ(result, expected);
        EXPECT_EQ(dialog->ListBox1->ItemIndex(), -1);
    }
    EXPECT_TRUE(ui.Messages.empty());
}

TEST_F(ConfigDocumentDlgTest, AnEmptyListClosesAtOnceWithCancel) {
    auto dialog = Dialog({});
    // Nothing acts on the window: its activation alone ends the loop.
    EXPECT_EQ(RunModal(dialog.get(), [] {}), mrCancel);
}

TEST_F(ConfigDocumentDlgTest, TextsInEachLanguage) {
    struct Case {
        int language;
        QString caption, label, fresh;
        std::string ids0;
    };
    const Case cases[] = {
        {1, "Seleziona Configurazione", "Configurazioni disponibili:", "Nuova",
         "Occorre scegliere una configurazione!"},
        {2, "Select configuration", "Available configurations:", "New",
         "A configuration must be chosen!"},
        {3, u8"Konfiguration auswählen", u8"Verfügbare Konfigurationen:", "Neu",
         "Bitte eine Konfiguration ausw\xE4hlen!"},
    };
    for (const Case& c : cases) {
        SetLanguage(c.language);
        auto dialog = Dialog({});
        EXPECT_EQ(dialog->Caption(), c.caption);
        EXPECT_EQ(dialog->Label1->Caption(), c.label);
        EXPECT_EQ(dialog->SpeedButton1->Caption(), c.fresh);
        EXPECT_EQ(dialog->mlLang1->GetTextOrDefault("IDS_0"), c.ids0);
    }
}

} // namespace
} // namespace vx
