#include "report/view/ReportStruct.h"

#include "localisation/Strglobmod.h"
#include "localisation/mlComp.h"
#include "localisation/mlLangDispatcher.h"
#include "localisation/mlStoredTable.h"

#include <QFrame>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSplitter>
#include <QToolBar>
#include <QVBoxLayout>

namespace vx {

namespace {

QFrame* Panel(QWidget* parent, const char* name) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setFrameShape(QFrame::StyledPanel);
    return panel;
}

} // namespace

TFReportStruct::TFReportStruct(QMdiArea* mainArea) : TForm(nullptr, "FReportStruct") {
    SetCaption(QStringLiteral("Struttura Report"));
    resize(640, 480);

    ButtonBar = Panel(this, "ButtonBar");
    ButtonBar->setMinimumHeight(32);
    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    Splitter1 = new QSplitter(Qt::Horizontal, this);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    WorkPanel = Panel(Splitter1, "WorkPanel");
    LayoutPanel = Panel(Splitter1, "LayoutPanel");
    Splitter1->addWidget(WorkPanel);
    Splitter1->addWidget(LayoutPanel);
    Splitter1->setStretchFactor(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(ButtonBar);
    layout->addWidget(ToolBar1);
    layout->addWidget(Splitter1, 1);

    mlLang1 = new TmlLang(this);
    mlLang1->setObjectName(QStringLiteral("mlLang1"));
    mlLang1->BeginLoading();
    if (STRGlobData != nullptr)
        mlLang1->SetLangDispatcher(STRGlobData->mlLangDispatcher1);
    if (!LoadTranslationResource(*mlLang1, "TFReportStruct"))
        mlLang1->Loaded();

    OnClose = [](QObject*, TCloseAction& action) { action = TCloseAction::caFree; };
    if (mainArea != nullptr)
        mainArea->addSubWindow(this)->show();
}

} // namespace vx
