#include "platform/ui/Form.h"
#include "platform/runtime/Exceptions.h"
#include "platform/ui/Button.h"
#include "platform/ui/Guard.h"
#include "platform/ui/QtUiServices.h"

#include "support/TestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vx {
namespace {

// A form whose OnCreate looks at a child made in the constructor.
class TSampleForm : public TForm {
public:
    explicit TSampleForm(std::vector<std::string>& log) : TForm(nullptr, "SampleForm") {
        OkButton = new TButton(this, "OkButton");
        OkButton->ModalResult = mrOk;
        OnCreate = [this, &log](QObject*) {
            log.push_back("create " + OkButton->objectName().toStdString());
        };
        log.push_back("constructed");
    }
    TButton* OkButton;
};

TEST(FormTest, CreateFormRunsOnCreateOnceTheFormStands) {
    std::vector<std::string> log;
    std::unique_ptr<TSampleForm> form(CreateForm<TSampleForm>(log));
    form->DoCreate();
    EXPECT_EQ(log, (std::vector<std::string>{"constructed", "create OkButton"}));
}

TEST(FormTest, ModalLoopEndsWithTheButtonsResult) {
    QtUiServices qtUi;
    UiServices& previous = Ui();
    SetUiServices(&qtUi);
    const std::unique_ptr<void, std::function<void(void*)>> restore(
        &qtUi, [&](void*) { SetUiServices(&previous); });
    std::vector<std::string> log;
    std::unique_ptr<TSampleForm> form(CreateForm<TSampleForm>(log));
    QTimer::singleShot(0, form->OkButton, [&] { form->OkButton->click(); });
    EXPECT_EQ(form->ShowModal(), mrOk);
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(form->IsModal());

    QTimer::singleShot(0, form.get(), [&] { form->close(); });
    EXPECT_EQ(form->ShowModal(), mrCancel);
}

TEST(FormTest, CloseQueryAndCloseActionCanKeepAModalFormOpen) {
    std::vector<std::string> log;
    std::unique_ptr<TSampleForm> form(CreateForm<TSampleForm>(log));
    // Each refusal asks for the next result only after it happened, so that timers that fire
    // together under load cannot overwrite a result before the form has looked at it.
    auto later = [&](int result) {
        QTimer::singleShot(0, form.get(), [&, result] { form->SetModalResult(result); });
    };
    int queries = 0;
    form->OnCloseQuery = [&](QObject*, bool& canClose) {
        canClose = ++queries > 1;
        if (!canClose)
            later(mrNo);
    };
    int closes = 0;
    form->OnClose = [&](QObject*, TCloseAction& action) {
        if (++closes == 1) {
            action = TCloseAction::caNone;
            later(mrOk);
        }
    };
    // First refused by OnCloseQuery, then by OnClose, then it closes with the last result.
    later(mrYes);
    EXPECT_EQ(form->ExecModal(), mrOk);
    EXPECT_EQ(queries, 3);
    EXPECT_EQ(closes, 2);
}

TEST(FormTest, CloseActionFreeDeletesTheForm) {
    std::vector<std::string> log;
    QPointer<TSampleForm> form = CreateForm<TSampleForm>(log);
    form->OnClose = [](QObject*, TCloseAction& action) { action = TCloseAction::caFree; };
    form->Show();
    form->Close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(form.isNull());
}

TEST(FormTest, ActivationOfAnMdiChildFiresOnActivate) {
    QMdiArea area;
    std::vector<std::string> log;
    auto* first = CreateForm<TSampleForm>(log);
    auto* second = CreateForm<TSampleForm>(log);
    int firstActivations = 0;
    int secondActivations = 0;
    first->OnActivate = [&](QObject*) { ++firstActivations; };
    second->OnActivate = [&](QObject*) { ++secondActivations; };
    area.addSubWindow(first)->show();
    area.addSubWindow(second)->show();
    area.setActiveSubWindow(qobject_cast<QMdiSubWindow*>(first->parentWidget()));
    EXPECT_GE(firstActivations, 1);
    const int before = secondActivations;
    area.setActiveSubWindow(qobject_cast<QMdiSubWindow*>(second->parentWidget()));
    EXPECT_EQ(secondActivations, before + 1);
}

TEST(FormTest, GuardShowsTheMessageOfAFailingHandler) {
    test::ScopedUi ui;
    EXPECT_TRUE(Guard([] {}));
    EXPECT_FALSE(Guard([] { throw EConvertError("'x' is not a valid floating point value"); }));
    EXPECT_FALSE(Guard([] { throw std::runtime_error("boom"); }));
    ASSERT_EQ(ui.ui.Messages.size(), 2u);
    EXPECT_EQ(ui.ui.Messages[0].Text, "'x' is not a valid floating point value");
    EXPECT_EQ(ui.ui.Messages[0].Type, TMsgDlgType::mtError);
    EXPECT_EQ(ui.ui.Messages[1].Text, "boom");
}

TEST(FormTest, AFailingOnCreateIsReportedAndTheFormLives) {
    test::ScopedUi ui;
    class TFailing : public TForm {
    public:
        TFailing() {
            OnCreate = [](QObject*) { throw Exception("no data"); };
        }
    };
    std::unique_ptr<TFailing> form(CreateForm<TFailing>());
    ASSERT_EQ(ui.ui.Messages.size(), 1u);
    EXPECT_EQ(ui.ui.Messages[0].Text, "no data");
}

TEST(FormTest, ScriptedModalHookSeesTheFilledForm) {
    test::ScopedUi ui;
    std::vector<std::string> log;
    std::unique_ptr<TSampleForm> form(CreateForm<TSampleForm>(log));
    form->SetCaption("Titolo");
    ui.ui.ModalHook = [](QObject* f) {
        EXPECT_EQ(f->property("Caption").toString(), "Titolo");
        return mrYes;
    };
    EXPECT_EQ(form->ShowModal(), mrYes);
}

TEST(FormTest, FileFiltersBecomeQtFilters) {
    struct Case {
        const char* filter;
        const char* qt;
    };
    for (const Case& c : {Case{"Documenti|*.vrx", "Documenti (*.vrx)"},
                          Case{"Prove|*.txt;*.prv|Tutti|*.*", "Prove (*.txt *.prv);;Tutti (*.*)"},
                          Case{"", ""}, Case{"senza filtro", ""},
                          // A description that names its patterns shows them once.
                          Case{"File Documento (*.VRX)|*.VRX", "File Documento (*.VRX)"},
                          Case{"Metafile (*.wmf)|*.WMF;*.EMF", "Metafile (*.WMF *.EMF)"},
                          Case{"Note (bozza)|*.txt", "Note (bozza) (*.txt)"}})
        EXPECT_EQ(QtFileFilter(c.filter), c.qt) << c.filter;
}

TEST(FormTest, QtMessageBoxAnswersWithTheButtonPressed) {
    QtUiServices qtUi;
    QTimer::singleShot(0, [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(w)) {
                EXPECT_EQ(box->windowTitle(), "Vornix");
                box->button(QMessageBox::No)->click();
            }
    });
    EXPECT_EQ(qtUi.MessageDlg("Salvare?", TMsgDlgType::mtConfirmation, mbYes | mbNo | mbCancel),
              mrNo);
}

} // namespace
} // namespace vx
