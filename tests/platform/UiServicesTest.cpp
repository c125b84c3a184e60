#include "platform/runtime/UiServices.h"
#include "platform/system/Files.h"
#include "platform/ui/Button.h"
#include "platform/ui/QtUiServices.h"

#include "support/FormTestSupport.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QFileDialog>
#include <QImage>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace vx {
namespace {

using Kind = TFileRequestKind;

TEST(ScriptedUiServicesTest, RecordsEveryFileRequestInOrderAndAnswersEachKindFromItsQueue) {
    ScriptedUiServices ui;
    ui.OpenAnswers.push_back({"/c/a.CPF"});
    ui.PictureAnswers.push_back("/c/p.bmp");
    ui.FolderAnswers.push_back("/c/out");
    ui.InputAnswers.push_back("*.DAT");
    ui.InputAnswers.push_back(std::nullopt);

    FileDialogRequest open;
    open.Filter = "Config files (*.CPF)|*.CPF";
    open.InitialDir = "/c/Configurazioni";
    FileDialogRequest save;
    save.Filter = "Report (*.CRF)|*.CRF";
    save.FileName = "rep";
    FileDialogRequest picture;
    picture.InitialDir = "/c/pictures";

    EXPECT_EQ(ui.OpenFileDialog(open), std::vector<std::string>{"/c/a.CPF"});
    EXPECT_EQ(ui.SaveFileDialog(save), "");
    EXPECT_EQ(ui.OpenPictureDialog(picture), "/c/p.bmp");
    EXPECT_EQ(ui.OpenPictureDialog(picture), "");
    EXPECT_EQ(ui.SelectDirectory("Cartella", "/c/start"), "/c/out");
    EXPECT_EQ(ui.InputBox("Filtro", "Maschera:", "*.TXT"), "*.DAT");
    // Cancelled explicitly, then by running out of answers: the default both times.
    EXPECT_EQ(ui.InputBox("Filtro", "Maschera:", "*.TXT"), "*.TXT");
    EXPECT_EQ(ui.InputBox("Filtro", "Maschera:", "*.PRV"), "*.PRV");
    EXPECT_EQ(ui.SelectDirectory("Cartella", "/c/start"), "");

    struct Expected {
        Kind kind;
        const char* title;
        const char* filter;
        const char* folder;
        const char* name;
        const char* prompt;
    };
    const Expected expected[] = {
        {Kind::Open, "", "Config files (*.CPF)|*.CPF", "/c/Configurazioni", "", ""},
        {Kind::Save, "", "Report (*.CRF)|*.CRF", "", "rep", ""},
        {Kind::Picture, "", "", "/c/pictures", "", ""},
        {Kind::Picture, "", "", "/c/pictures", "", ""},
        {Kind::Folder, "Cartella", "", "/c/start", "", ""},
        {Kind::Input, "Filtro", "", "", "*.TXT", "Maschera:"},
        {Kind::Input, "Filtro", "", "", "*.TXT", "Maschera:"},
        {Kind::Input, "Filtro", "", "", "*.PRV", "Maschera:"},
        {Kind::Folder, "Cartella", "", "/c/start", "", ""},
    };
    ASSERT_EQ(ui.FileRequests.size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        const auto& got = ui.FileRequests[i];
        EXPECT_EQ(got.Kind, expected[i].kind) << i;
        EXPECT_EQ(got.Request.Title, expected[i].title) << i;
        EXPECT_EQ(got.Request.Filter, expected[i].filter) << i;
        EXPECT_EQ(got.Request.InitialDir, expected[i].folder) << i;
        EXPECT_EQ(got.Request.FileName, expected[i].name) << i;
        EXPECT_EQ(got.Prompt, expected[i].prompt) << i;
    }
}

// Acts on the modal dialog that QtUiServices opens, once it is up.
template <class Dialog>
void WhenShown(const std::function<void(Dialog*)>& act) {
    QTimer::singleShot(0, [act] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        act(dialog);
    });
}

TEST(QtUiServicesTest, InputBoxGivesTheTypedTextOnEnterAndTheDefaultOnEscape) {
    QtUiServices qtUi;
    WhenShown<QInputDialog>([](QInputDialog* box) {
        EXPECT_EQ(box->windowTitle(), "Filtro");
        EXPECT_EQ(box->labelText(), "Maschera dei file:");
        auto* edit = box->findChild<QLineEdit*>();
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(edit->text(), "*.TXT");
        test::TypeInto(edit, "*.DAT");
        QTest::keyClick(edit, Qt::Key_Return);
    });
    EXPECT_EQ(qtUi.InputBox("Filtro", "Maschera dei file:", "*.TXT"), "*.DAT");

    WhenShown<QInputDialog>([](QInputDialog* box) {
        auto* edit = box->findChild<QLineEdit*>();
        test::TypeInto(edit, "*.DAT");
        QTest::keyClick(edit, Qt::Key_Escape);
    });
    EXPECT_EQ(qtUi.InputBox("Filtro", "Maschera dei file:", "*.TXT"), "*.TXT");

    // cp1252 texts both ways.
    WhenShown<QInputDialog>([](QInputDialog* box) {
        EXPECT_EQ(box->labelText(), QString::fromUtf8("Già:"));
        QTest::keyClick(box->findChild<QLineEdit*>(), Qt::Key_Return);
    });
    EXPECT_EQ(qtUi.InputBox("x", "Gi\xE0:", "perch\xE9"), "perch\xE9");
}

TEST(QtUiServicesTest, PictureDialogPreviewsTheCurrentPicture) {
    test::TempDir dir;
    QImage wide(400, 100, QImage::Format_RGB32);
    wide.fill(Qt::red);
    ASSERT_TRUE(wide.save(QString::fromStdString(dir.File("wide.bmp")), "BMP"));
    QImage small(20, 10, QImage::Format_RGB32);
    small.fill(Qt::blue);
    ASSERT_TRUE(small.save(QString::fromStdString(dir.File("small.jpg")), "JPEG"));
    test::WriteFile(dir.File("broken.bmp"), "BM not a picture");

    FileDialogRequest request;
    request.InitialDir = dir.Path();
    std::unique_ptr<QFileDialog> dialog(MakePictureDialog(request));
    EXPECT_EQ(dialog->nameFilters().front(), "BMP, JPEG (*.bmp *.jpg *.jpeg)");
    auto* preview = dialog->findChild<QLabel*>("Preview");
    ASSERT_NE(preview, nullptr);
    const auto shown = [&](const char* name) {
        emit dialog->currentChanged(QString::fromStdString(dir.File(name)));
        return preview->pixmap().size();
    };
    // A large picture shrinks into the box keeping its shape; a small one stays as it is.
    EXPECT_EQ(shown("wide.bmp"), QSize(160, 40));
    EXPECT_EQ(shown("small.jpg"), QSize(20, 10));
    EXPECT_TRUE(preview->pixmap().isNull() || shown("broken.bmp").isEmpty());
}

TEST(QtUiServicesTest, FolderAndPictureDialogsGiveTheChosenPathOrNothing) {
    QtUiServices qtUi;
    test::TempDir dir;
    ForceDirectories(dir.File("Immagini"));
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(Qt::green);
    ASSERT_TRUE(picture.save(QString::fromStdString(dir.File("Immagini/p.bmp")), "BMP"));

    WhenShown<QFileDialog>([&](QFileDialog* dialog) {
        EXPECT_EQ(dialog->windowTitle(), "Cartella");
        EXPECT_EQ(dialog->fileMode(), QFileDialog::Directory);
        dialog->selectFile(QString::fromStdString(dir.File("Immagini")));
        static_cast<QDialog*>(dialog)->accept();
    });
    EXPECT_EQ(qtUi.SelectDirectory("Cartella", dir.Path()), dir.File("Immagini"));
    WhenShown<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
    EXPECT_EQ(qtUi.SelectDirectory("Cartella", dir.Path()), "");

    FileDialogRequest request;
    request.InitialDir = dir.File("Immagini");
    WhenShown<QFileDialog>([&](QFileDialog* dialog) {
        EXPECT_NE(dialog->findChild<QLabel*>("Preview"), nullptr);
        dialog->selectFile(QString::fromStdString(dir.File("Immagini/p.bmp")));
        static_cast<QDialog*>(dialog)->accept();
    });
    EXPECT_EQ(qtUi.OpenPictureDialog(request), dir.File("Immagini/p.bmp"));
    WhenShown<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
    EXPECT_EQ(qtUi.OpenPictureDialog(request), "");
}

// Two windows: the first opens the second modally from a button.
class TOuterForm : public TForm {
public:
    TOuterForm() : TForm(nullptr, "Outer") {
        Open = new TButton(this, "Open");
        Ok = new TButton(this, "Ok");
        Ok->ModalResult = mrOk;
        OnActivate = [this](QObject*) { ++Activations; };
    }
    TButton* Open;
    TButton* Ok;
    int Activations = 0;
};

class TInnerForm : public TForm {
public:
    TInnerForm() : TForm(nullptr, "Inner") {
        OnActivate = [this](QObject*) { ++Activations; };
        OnCloseQuery = [this](QObject*, bool& canClose) {
            ++Queries;
            canClose = Queries > 1;
        };
    }
    int Activations = 0;
    int Queries = 0;
};

TEST(ModalScriptsTest, NestedFormsRunTheirScriptsInsideRealModalLoops) {
    test::ScopedUi scoped;
    test::ModalScripts scripts(scoped.ui);
    std::vector<std::string> log;
    int innerResult = 0;
    int innerQueries = 0;

    std::unique_ptr<TOuterForm> outer(CreateForm<TOuterForm>());
    outer->Open->OnClick = [&](QObject*) {
        std::unique_ptr<TInnerForm> inner(CreateForm<TInnerForm>());
        innerResult = inner->ShowModal();
        innerQueries = inner->Queries;
        log.push_back("inner closed");
    };
    scripts.On<TOuterForm>([&](TOuterForm* form) {
        log.push_back("outer script");
        EXPECT_TRUE(form->IsModal());
        EXPECT_EQ(form->Activations, 1);
        QTest::mouseClick(form->Open, Qt::LeftButton);
        form->Ok->click();
    });
    scripts.On<TInnerForm>([&](TInnerForm* form) {
        log.push_back("inner script");
        EXPECT_TRUE(form->IsModal());
        EXPECT_TRUE(form->isVisible());
        EXPECT_EQ(form->Activations, 1);
        // The close query refuses once: the loop goes on, the second answer closes it.
        form->SetModalResult(mrYes);
        EXPECT_TRUE(form->IsModal());
        QTimer::singleShot(0, form, [form] { form->SetModalResult(mrNo); });
    });

    EXPECT_EQ(outer->ShowModal(), mrOk);
    EXPECT_EQ(log, (std::vector<std::string>{"outer script", "inner script", "inner closed"}));
    EXPECT_EQ(innerResult, mrNo);
    EXPECT_EQ(innerQueries, 2);
    EXPECT_FALSE(outer->isVisible());
}

TEST(ModalScriptsTest, AWindowWithoutAScriptFailsTheTestAndIsCancelled) {
    test::ScopedUi scoped;
    test::ModalScripts scripts(scoped.ui);
    scripts.On<TOuterForm>([](TOuterForm* form) { form->Ok->click(); });
    std::unique_ptr<TInnerForm> inner(CreateForm<TInnerForm>());
    int result = 0;
    EXPECT_NONFATAL_FAILURE(result = inner->ShowModal(), "no modal script for");
    EXPECT_EQ(result, mrCancel);
    EXPECT_EQ(inner->Activations, 0);
    EXPECT_FALSE(inner->isVisible());
}

} // namespace
} // namespace vx
