#include "document/FileDialogs.h"

#include "document/DocumentFiles.h"
#include "localisation/Strglobmod.h"
#include "localisation/mlLangDispatcher.h"
#include "platform/runtime/Exceptions.h"
#include "platform/ui/Guard.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

namespace vx {
namespace {

class FileDialogsTest : public ::testing::Test {
protected:
    void SetUp() override { CreateSTRGlobData(); }
    void TearDown() override { FreeSTRGlobData(); }
    static void SetLanguage(int language) {
        STRGlobData->mlLangDispatcher1->SetActiveLanguage(language);
    }

    test::TempDir dir;
    test::ScopedUi scoped;
    ScriptedUiServices& ui = scoped.ui;
};

TEST_F(FileDialogsTest, ASavedNameTakesTheExtensionAndAsksBeforeReplacingAnotherFile) {
    const std::string named = dir.File("rep.txt");
    const std::string final = dir.File("rep.CRF");
    ui.SaveAnswers.push_back(named);
    EXPECT_EQ(ChooseFile(true, dir.Path(), "Report (*.CRF)|*.CRF", "CRF", "prova"), final);
    EXPECT_TRUE(ui.Messages.empty());
    ASSERT_EQ(ui.FileRequests.size(), 1u);
    const auto& request = ui.FileRequests[0];
    EXPECT_EQ(request.Kind, TFileRequestKind::Save);
    EXPECT_EQ(request.Request.Filter, "Report (*.CRF)|*.CRF");
    EXPECT_EQ(request.Request.DefaultExt, "CRF");
    EXPECT_EQ(request.Request.InitialDir, dir.Path());
    EXPECT_EQ(request.Request.FileName, "prova");

    // The file that would be written exists: it is named in the question; No writes nothing.
    test::WriteFile(final, "old");
    for (const auto& [answer, chosen] : {std::pair{mrNo, std::string()}, std::pair{mrYes, final}}) {
        ui.Messages.clear();
        ui.SaveAnswers.push_back(named);
        ui.MessageAnswers.push_back(answer);
        EXPECT_EQ(ChooseFile(true, dir.Path(), "Report (*.CRF)|*.CRF", "CRF"), chosen);
        ASSERT_EQ(ui.Messages.size(), 1u);
        EXPECT_EQ(ui.Messages[0].Text, "Il file " + final + " esiste gi\xE0. Sostituirlo?");
        EXPECT_EQ(ui.Messages[0].Buttons, unsigned(mbYes | mbNo));
    }

    // Named as it will be written: the dialog has asked already.
    ui.Messages.clear();
    ui.SaveAnswers.push_back(final);
    EXPECT_EQ(ChooseFile(true, dir.Path(), "Report (*.CRF)|*.CRF", "CRF"), final);
    EXPECT_TRUE(ui.Messages.empty());

    // Cancelled.
    EXPECT_EQ(ChooseFile(true, dir.Path(), "Report (*.CRF)|*.CRF", "CRF"), "");
    EXPECT_TRUE(ui.Messages.empty());
    EXPECT_EQ(test::ReadFile(final), "old");
}

TEST_F(FileDialogsTest, AnOpenedFileIsTakenAsChosen) {
    ui.OpenAnswers.push_back({dir.File("a.cif"), dir.File("b.CIF")});
    EXPECT_EQ(ChooseFile(false, dir.Path(), "Celle (*.CIF)|*.CIF", "CIF"), dir.File("a.cif"));
    EXPECT_EQ(ChooseFile(false, dir.Path(), "Celle (*.CIF)|*.CIF", "CIF"), "");
    ASSERT_EQ(ui.FileRequests.size(), 2u);
    EXPECT_EQ(ui.FileRequests[0].Kind, TFileRequestKind::Open);
    EXPECT_TRUE(ui.Messages.empty());
}

TEST_F(FileDialogsTest, ConfirmReplaceAsksOnlyAboutAnotherFileThatExists) {
    test::WriteFile(dir.File("x.CLF"), "");
    EXPECT_TRUE(ConfirmReplace(dir.File("x.clf"), dir.File("x.CLF2")));
    EXPECT_TRUE(ConfirmReplace(dir.File("x.CLF"), dir.File("x.CLF")));
    EXPECT_TRUE(ui.Messages.empty());
    ui.MessageAnswers.push_back(mrNo);
    EXPECT_FALSE(ConfirmReplace(dir.File("x"), dir.File("x.CLF")));
    SetLanguage(2);
    EXPECT_TRUE(ConfirmReplace(dir.File("x"), dir.File("x.CLF")));
    ASSERT_EQ(ui.Messages.size(), 2u);
    EXPECT_EQ(ui.Messages[1].Text, dir.File("x.CLF") + " already exists. Replace it?");
}

TEST_F(FileDialogsTest, FileErrorsAreWordedInTheCurrentLanguageWithTheFileName) {
    const EDocumentFile notProject(TDocumentFileError::NotAProject, "/c/x.CPF");
    const EDocumentFile version(TDocumentFileError::UnsupportedVersion, "/c/x.CGF");
    const EDocumentFile cannotSave(TDocumentFileError::CannotSave, "/c/x.VRX");
    const EDocumentFile damaged("/c/d.CPF", 18, "Stream read error");
    const EDocumentFile unopened("/c/u.CPF", -1, "No such file");
    const EFOpenError open("Cannot open file \"/c/y.CLF\". No such file or directory");
    const EFOpenError missing =
        EFOpenError::ForFile("/c/y.CLF", false, ENOENT, "No such file or directory");
    const EWriteError full("Stream write error", ENOSPC);
    struct Case {
        int language;
        const std::exception& error;
        const char* file;
        bool saving;
        std::string text;
    };
    const Case cases[] = {
        {1, notProject, "/c/other", false, "Il file non \xE8 una configurazione: /c/x.CPF"},
        {1, version, "/c/x.CGF", false, "Versione del file non supportata: /c/x.CGF"},
        {1, cannotSave, "/c/x.VRX", true, "Impossibile salvare il file: /c/x.VRX"},
        {1, damaged, "/c/d.CPF", false,
         "File danneggiato o incompleto: /c/d.CPF\r\nLettura interrotta al byte 18: Stream read "
         "error"},
        {1, unopened, "/c/u.CPF", false, "File danneggiato o incompleto: /c/u.CPF\r\nNo such file"},
        {1, open, "/c/y.CLF", true, "Impossibile salvare il file: /c/y.CLF"},
        {1, open, "/c/y.CLF", false, "Impossibile leggere il file: /c/y.CLF"},
        {2, open, "/c/y.CLF", false, "Cannot read the file: /c/y.CLF"},
        {2, damaged, "/c/d.CPF", false,
         "The file is damaged or incomplete: /c/d.CPF\r\nReading stopped at byte 18: Stream read "
         "error"},
        {3, open, "/c/y.CLF", false, "Die Datei kann nicht gelesen werden: /c/y.CLF"},
        {3, open, "/c/y.CLF", true, "Die Datei kann nicht gespeichert werden: /c/y.CLF"},
        {3, notProject, "/c/x.CPF", false, "Die Datei ist keine Konfiguration: /c/x.CPF"},
        {1, missing, "/c/y.CLF", false,
         "Impossibile leggere il file: /c/y.CLF\r\nfile o cartella inesistente"},
        {2, full, "/c/y.CLF", true, "Cannot save the file: /c/y.CLF\r\nno space left on device"},
    };
    for (const Case& c : cases) {
        SetLanguage(c.language);
        EXPECT_EQ(FileErrorText(c.error, c.file, c.saving), c.text) << c.language << " " << c.text;
    }
}

// An error that escapes a window's handler names the file in the user's language, the
// system's reason after it; one without a file keeps its own words.
TEST_F(FileDialogsTest, ErrorsShownToTheUserNameTheFileInTheCurrentLanguage) {
    const EFOpenError denied =
        EFOpenError::ForFile("/c/out.pdf", true, EACCES, "Permission denied");
    const EFOpenError unknown = EFOpenError::ForFile("/c/y.CLF", false, 0, "");
    const EFOpenError unnamed("Cannot open resource x");
    struct Case {
        int language;
        const std::exception& error;
        std::string text;
    };
    const Case cases[] = {
        {1, denied, "Impossibile creare il file \"/c/out.pdf\": permesso negato"},
        {2, denied, "Cannot create the file \"/c/out.pdf\": permission denied"},
        {3, denied, "Die Datei \"/c/out.pdf\" kann nicht angelegt werden: Zugriff verweigert"},
        {3, unknown,
         "Die Datei \"/c/y.CLF\" kann nicht ge\xF6"
         "ffnet werden:"},
        {1, unnamed, "Cannot open resource x"},
    };
    for (const Case& c : cases) {
        SetLanguage(c.language);
        EXPECT_EQ(ErrorMessageText(c.error), c.text) << c.language << " " << c.text;
    }
    SetGuardMessageText(ErrorMessageText);
    SetLanguage(2);
    EXPECT_FALSE(Guard([&] { throw denied; }));
    SetGuardMessageText(nullptr);
    ASSERT_FALSE(ui.Messages.empty());
    EXPECT_EQ(ui.Messages.back().Text, "Cannot create the file \"/c/out.pdf\": permission denied");
}

} // namespace
} // namespace vx
