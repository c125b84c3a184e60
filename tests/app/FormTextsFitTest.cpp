// Every window of the program in each of its three languages: no caption is cut.
#include "AppTestSupport.h"
#include "app/About.h"
#include "app/GetProve.h"
#include "app/Main.h"
#include "app/MainExtensions.h"
#include "app/ModCaric.h"
#include "app/Normalizza.h"
#include "app/Splash.h"
#include "app/config_document_dlg.h"
#include "app/convertivrx.h"
#include "app/editor32.h"
#include "app/impdlg.h"
#include "document/Definiscisezioni.h"
#include "document/Document.h"
#include "document/SelTipi.h"
#include "document/TF_inschnval.h"
#include "document/TTagPointbox.h"
#include "document/Tform_var_rif.h"
#include "document/Tgrigliabox.h"
#include "document/Valuebox.h"
#include "document/attributiprova.h"
#include "document/cellsdlg.h"
#include "document/defasse.h"
#include "document/defreprt.h"
#include "document/dlggraf.h"
#include "document/infocursor.h"
#include "document/parambox.h"
#include "document/parametrigenerali.h"
#include "document/translatelabels.h"
#include "platform/runtime/Cp1252.h"
#include "platform/ui/Label.h"
#include "platform/ui/Panel.h"
#include "report/view/ReportStruct.h"
#include "report/view/Tfrom_infodlg.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include <cstdlib>
#include <functional>
#include <memory>

namespace vx {
namespace {

int TextWidth(const QFontMetrics& metrics, const QString& text) {
    int widest = 0;
    for (const QString& line : text.split(u'\n'))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    return widest;
}

// "Form.Control: text" for every visible text wider than the room its control gives it,
// measured in the control's own font.
std::vector<std::string> CutTexts(TForm& form) {
    std::vector<std::string> cut;
    auto check = [&](const QWidget& w, const QString& text, int need, int room) {
        if (!text.isEmpty() && need > room)
            cut.push_back(FromQString(form.objectName() + "." + w.objectName() + ": \"" + text +
                                      "\" needs " + QString::number(need) + ", has " +
                                      QString::number(room)));
    };
    if (!form.isMaximized())
        check(form, form.windowTitle(), CaptionWidth(form.windowTitle()), form.width());
    for (QWidget* w : form.findChildren<QWidget*>()) {
        if (!w->isVisibleTo(&form) || w->width() <= 0)
            continue;
        const QFontMetrics metrics(w->font());
        if (auto* label = qobject_cast<QLabel*>(w)) {
            if (label->wordWrap() || !label->pixmap().isNull())
                continue;
            const QString text = StripAccelChars(label->text());
            check(*w, text, TextWidth(metrics, text), label->contentsRect().width());
        } else if (qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w)) {
            // The indicator, its gap and the text.
            const auto* box = static_cast<QAbstractButton*>(w);
            check(*w, box->text(), box->sizeHint().width(), box->width());
        } else if (auto* button = qobject_cast<QPushButton*>(w)) {
            const QString text = StripAccelChars(button->text());
            check(*w, text, TextWidth(metrics, text) + 2 * metrics.horizontalAdvance(u' '),
                  button->width());
        } else if (auto* tool = qobject_cast<QToolButton*>(w)) {
            if (tool->toolButtonStyle() != Qt::ToolButtonIconOnly)
                check(*w, tool->text(), tool->sizeHint().width(), tool->width());
        } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
            // The frame's corner before the title and the gap after it.
            const QString text = StripAccelChars(group->title());
            check(*w, text, TextWidth(metrics, text) + 16, group->width());
        } else if (auto* panel = qobject_cast<TPanel*>(w)) {
            const QString text = StripAccelChars(panel->Caption());
            check(*w, text, TextWidth(metrics, text), panel->contentsRect().width());
        }
    }
    return cut;
}

struct FormMaker {
    const char* Name;
    std::function<TForm*()> Make;
};

class FormTextsFitTest : public test::AppWindowTest {
protected:
    void SetUp() override {
        AppWindowTest::SetUp();
        ForceDirectories(BasePath + "bin");
        setenv("VORNIX_PROGRAM_PATH", (BasePath + "bin/vornix").c_str(), 1);
        ImpostazioniRec.Clear();
        MainExtensions() = {};
    }
    void TearDown() override {
        SetLanguage(1);
        ImpostazioniRec.Clear();
        unsetenv("VORNIX_PROGRAM_PATH");
        AppWindowTest::TearDown();
    }
};

// The windows of the program; a new window joins the list.
const FormMaker kForms[] = {
    {"TMainForm", [] { return CreateForm<TMainForm>(); }},
    {"TDocForm", [] { return CreateForm<TDocForm>(); }},
    {"TAboutBox", [] { return CreateForm<TAboutBox>(); }},
    {"Tsplashform", [] { return CreateForm<Tsplashform>(); }},
    {"Timpostazioni", [] { return CreateForm<Timpostazioni>(); }},
    {"Tconfig_document_dlg", [] { return CreateForm<Tconfig_document_dlg>(); }},
    {"TOpenListFile", [] { return CreateForm<TOpenListFile>(); }},
    {"TF_Def_Ant", [] { return CreateForm<TF_Def_Ant>(); }},
    {"Tnewpagedlg", [] { return CreateForm<Tnewpagedlg>(); }},
    {"Tdef_margini", [] { return CreateForm<Tdef_margini>(); }},
    {"Tfrm_dlg_attributi", [] { return CreateForm<Tfrm_dlg_attributi>(); }},
    {"Tfrom_infodlg", [] { return CreateForm<Tfrom_infodlg>(); }},
    {"TFReportStruct", [] { return CreateForm<TFReportStruct>(); }},
    {"TDefiniscisezioni", [] { return CreateForm<TDefiniscisezioni>(); }},
    {"Tfrm_def_numeric", [] { return CreateForm<Tfrm_def_numeric>(); }},
    {"TF_SelTipi", [] { return CreateForm<TF_SelTipi>(); }},
    {"Tfrm_infocursor", [] { return CreateForm<Tfrm_infocursor>(); }},
    {"TformValuebox", [] { return CreateForm<TformValuebox>(); }},
    {"Tdlgparametrigenerali", [] { return CreateForm<Tdlgparametrigenerali>(); }},
    {"Ttranslatelabelsdlg", [] { return CreateForm<Ttranslatelabelsdlg>(); }},
    {"Tattributiprova", [] { return CreateForm<Tattributiprova>(); }},
    {"TFConverti_Vrx", [] { return CreateForm<TFConverti_Vrx>(); }},
    {"Tcfg_report", [] { return CreateForm<Tcfg_report>(); }},
    {"Tcellsdlg_form", [] { return CreateForm<Tcellsdlg_form>(); }},
    {"TF_inschnval", [] { return CreateForm<TF_inschnval>(); }},
    {"Tform_var_rif", [] { return CreateForm<Tform_var_rif>(); }},
    {"Tboxdlg_grafico", [] { return CreateForm<Tboxdlg_grafico>(); }},
    {"Tborderform", [] { return CreateForm<Tborderform>(); }},
    {"Tboxdefasse", [] { return CreateForm<Tboxdefasse>(); }},
    {"Tgrigliabox", [] { return CreateForm<Tgrigliabox>(); }},
    {"TTagPointbox", [] { return CreateForm<TTagPointbox>(); }},
    {"TF_normalizza", [] { return CreateForm<TF_normalizza>(); }},
    {"Tfrm_32bitedit", [] { return CreateForm<Tfrm_32bitedit>(); }},
    {"TFormModellocaricamento", [] { return CreateForm<TFormModellocaricamento>(); }},
};

TEST_F(FormTextsFitTest, NoTextIsWiderThanItsRoomInAnyLanguage) {
    for (int language = 1; language <= 3; ++language) {
        for (const FormMaker& maker : kForms) {
            std::unique_ptr<TForm> form(maker.Make());
            // The main window resets the language as it is created: every table follows the
            // language asked for once more.
            SetLanguage(language % 3 + 1);
            SetLanguage(language);
            form->show();
            QCoreApplication::processEvents();
            for (const std::string& text : CutTexts(*form))
                ADD_FAILURE() << "language " << language << ": " << Cp1252ToUtf8(text);
            form->hide();
        }
    }
}

// The measure itself: a label too narrow for its text is found, one wide enough is not.
TEST_F(FormTextsFitTest, ANarrowLabelIsFound) {
    TForm form(nullptr, "Probe");
    form.resize(400, 200);
    form.setWindowTitle("Probe");
    auto* label = new TLabel(&form, "Label1");
    label->setText("Una didascalia piuttosto lunga");
    label->setGeometry(8, 8, 40, 16);
    auto* wide = new TLabel(&form, "Label2");
    wide->setText("Corta");
    wide->setGeometry(8, 30, 200, 16);
    form.show();
    const std::vector<std::string> cut = CutTexts(form);
    ASSERT_EQ(cut.size(), 1u);
    EXPECT_EQ(cut[0].rfind("Probe.Label1: ", 0), 0u) << cut[0];
}

} // namespace
} // namespace vx
