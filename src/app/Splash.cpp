#include "app/Splash.h"

#include "app/Pictures.h"
#include "app/Version.h"
#include "localisation/FormTable.h"
#include "platform/runtime/Cp1252.h"
#include "platform/runtime/Timer.h"
#include "platform/ui/Image.h"
#include "platform/ui/Label.h"

namespace vx {

Tsplashform::Tsplashform(QWidget* parent)
    : TForm(parent, "splashform"), Timer1(std::make_unique<TTimer>()) {
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setFixedSize(399, 206);
    Image1 = Placed(new TImage(this, "Image1"), 0, 0, 399, 206);
    Image1->SetStretch(true);
    Image1->SetPicture(ProgramPicture("splash.jpg"));
    Label1 = Placed(new TLabel(this, "Label1"), 300, 176, 90, 20);
    Label1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label2 = Placed(new TLabel(this, "Label2"), 12, 176, 280, 20);
    for (TLabel* label : {Label1, Label2})
        label->setStyleSheet(QStringLiteral("color: white"));
    Timer1->SetName("Timer1");
    Timer1->SetInterval(3000);
    Timer1->SetEnabled(true);
    Timer1->OnTimer = [this](TComponent* s) { Timer1Timer(s); };
    OnActivate = [this](QObject* s) { FormActivate(s); };
    mlLang1 = CreateFormTable(this, "Tsplashform");
}

Tsplashform::~Tsplashform() = default;

void Tsplashform::FormActivate(QObject*) {
    Label1->SetCaption(ToQString(VersionText));
}

void Tsplashform::Timer1Timer(TComponent*) {
    Close();
}

} // namespace vx
