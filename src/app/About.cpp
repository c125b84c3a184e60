#include "app/About.h"

#include "app/Pictures.h"
#include "app/Version.h"
#include "localisation/FormTable.h"
#include "localisation/mlComp.h"
#include "platform/runtime/Cp1252.h"
#include "platform/runtime/UiServices.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/Panel.h"

namespace vx {

TAboutBox::TAboutBox(QWidget* parent) : TForm(parent, "AboutBox") {
    resize(340, 214);
    Panel1 = Placed(new TPanel(this, "Panel1"), 8, 8, 324, 164);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    ProgramIcon = Placed(new TImage(Panel1, "ProgramIcon"), 8, 8, 72, 72);
    ProgramIcon->SetStretch(true);
    ProgramIcon->SetPicture(ProgramPicture("about.jpg"));
    ProductName = Placed(new TPanel(Panel1, "ProductName"), 88, 8, 228, 32);
    ProductName->setFrameStyle(QFrame::NoFrame);
    Panel2 = Placed(new TPanel(Panel1, "Panel2"), 88, 44, 228, 36);
    Panel2->setFrameStyle(QFrame::NoFrame);
    Panel3 = Placed(new TPanel(Panel1, "Panel3"), 8, 100, 308, 28);
    OKBtn = Placed(new TButton(this, "OKBtn"), 130, 180, 80, 26);
    OKBtn->ModalResult = mrOk;
    OKBtn->setDefault(true);
    OnCreate = [this](QObject* s) { FormCreate(s); };
    mlLang1 = CreateFormTable(this, "TAboutBox");
}

void TAboutBox::FormCreate(QObject*) {
    Panel3->SetCaption(ToQString(mlLang1->GetTextOrDefault("IDS_1") + std::string(VersionText)));
}

} // namespace vx
