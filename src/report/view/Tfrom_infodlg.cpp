#include "report/view/Tfrom_infodlg.h"

#include "localisation/Strglobmod.h"
#include "localisation/mlComp.h"
#include "localisation/mlLangDispatcher.h"
#include "localisation/mlStoredTable.h"
#include "platform/ui/Label.h"

#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QVBoxLayout>

namespace vx {

Tfrom_infodlg::Tfrom_infodlg(QWidget* parent) : TForm(parent, QStringLiteral("from_infodlg")) {
    setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint);
    Label1 = new TLabel(this, QStringLiteral("Label1"));
    Label1->SetCaption(QStringLiteral("Attendere costruzione report"));
    QFont bold = Label1->font();
    bold.setBold(true);
    Label1->setFont(bold);
    Label1->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 16, 24, 16);
    layout->addWidget(Label1);

    mlLang1 = new TmlLang(this);
    mlLang1->setObjectName(QStringLiteral("mlLang1"));
    LoadTranslationResource(*mlLang1, "Tfrom_infodlg");
    // Linking takes the program's language and writes its texts; without the program's
    // dispatcher the window shows the table's own language.
    if (STRGlobData != nullptr)
        mlLang1->SetLangDispatcher(STRGlobData->mlLangDispatcher1);
    else
        mlLang1->ChangeLanguage();
    adjustSize();
}

Tfrom_infodlg::~Tfrom_infodlg() = default;

namespace {
QPointer<Tfrom_infodlg> waitWindow;
// Reports may lay out inside one another's message processing: the window goes with the
// last of them.
int waitDepth = 0;
} // namespace

void ShowReportWaitWindow() {
    ++waitDepth;
    if (!waitWindow)
        waitWindow = CreateForm<Tfrom_infodlg>();
    Tfrom_infodlg& w = *waitWindow;
    w.adjustSize();
    w.Show();
    // Placed once shown, when the frame around the window is known.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = w.frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        w.move(frame.topLeft());
    }
}

void CloseReportWaitWindow() {
    if (waitDepth > 0 && --waitDepth > 0)
        return;
    delete waitWindow.data();
}

Tfrom_infodlg* ReportWaitWindow() {
    return waitWindow.data();
}

} // namespace vx
