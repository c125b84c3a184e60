#include "platform/system/FileTypeRegistration.h"

#include "platform/runtime/Exceptions.h"
#include "support/TestSupport.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

#include <cstdlib>

namespace vx {
namespace {

// Each test gets fresh XDG data and config folders.
class FileTypeRegistrationTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedData_ = std::getenv("XDG_DATA_HOME");
        savedConfig_ = std::getenv("XDG_CONFIG_HOME");
        setenv("XDG_DATA_HOME", (dir_.Path() + "data").c_str(), 1);
        setenv("XDG_CONFIG_HOME", (dir_.Path() + "config").c_str(), 1);
    }
    void TearDown() override {
        setenv("XDG_DATA_HOME", savedData_.c_str(), 1);
        setenv("XDG_CONFIG_HOME", savedConfig_.c_str(), 1);
    }
    std::string Data(const std::string& rest) const { return dir_.Path() + "data/" + rest; }
    std::string MimeApps() const { return dir_.Path() + "config/mimeapps.list"; }

    test::TempDir dir_;
    std::string savedData_;
    std::string savedConfig_;
};

// Runs desktop-file-validate; "" when it passes silently, its output otherwise.
std::string Validate(const std::string& entry) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start("desktop-file-validate", {QString::fromStdString(entry)});
    if (!p.waitForFinished(10000))
        return "did not finish";
    return p.readAll().toStdString() + (p.exitCode() == 0 ? "" : " (failed)");
}

TEST_F(FileTypeRegistrationTest, FirstSetWritesTheMimePackageIconAndAValidEntry) {
    RegisterDocumentType("/opt/Vornix/bin/vornix");
    const std::string entry = Data("applications/vornix.desktop");
    const std::string text = test::ReadFile(entry);
    EXPECT_NE(text.find("\nExec=\"/opt/Vornix/bin/vornix\" %f\n"), std::string::npos);
    EXPECT_NE(text.find("\nMimeType=application/x-vornix-document;\n"), std::string::npos);
    EXPECT_NE(text.find("\nIcon=vornix\n"), std::string::npos);
    EXPECT_NE(text.find("\nTerminal=false\n"), std::string::npos);
    const std::string mime = test::ReadFile(Data("mime/packages/vornix.xml"));
    for (const char* part :
         {"type=\"application/x-vornix-document\"", "pattern=\"*.vrx\"", ">Vornix document file<",
          "xml:lang=\"it\">File Vornix<", "xml:lang=\"de\">Vornix-Dokumentdatei<"})
        EXPECT_NE(mime.find(part), std::string::npos) << part;
    EXPECT_TRUE(
        QFileInfo::exists(QString::fromStdString(Data("icons/hicolor/scalable/apps/vornix.svg"))));
    if (QStandardPaths::findExecutable("desktop-file-validate").isEmpty())
        GTEST_SKIP() << "desktop-file-validate not installed: entry check skipped";
    EXPECT_EQ(Validate(entry), "");
}

TEST_F(FileTypeRegistrationTest, UnchangedFilesAreNotRewritten) {
    RegisterDocumentType("/opt/Vornix/bin/vornix");
    EXPECT_FALSE(RegisterDefaultIcon());
    EXPECT_FALSE(RegisterExtension());
    EXPECT_FALSE(RegisterFileTypeCommand("/opt/Vornix/bin/vornix"));
    EXPECT_TRUE(RegisterFileTypeCommand("/opt/Other/bin/vornix")); // another program path
}

TEST_F(FileTypeRegistrationTest, ProgramPathsWithSpecialCharactersStayOneArgument) {
    const struct {
        std::string path;
        std::string exec;
    } cases[] = {
        {"/opt/My Tools/bin/vornix", "Exec=\"/opt/My Tools/bin/vornix\" %f"},
        {"/opt/100%/bin/vornix", "Exec=\"/opt/100%%/bin/vornix\" %f"},
        {"/opt/a\"b/bin/vornix", "Exec=\"/opt/a\\\\\"b/bin/vornix\" %f"},
        {"/opt/a$b/bin/vornix", "Exec=\"/opt/a\\\\$b/bin/vornix\" %f"},
        {"/opt/Pr\xFC"
         "fstand/bin/vornix",
         "Exec=\"/opt/Pr\xC3\xBC"
         "fstand/bin/vornix\" %f"},
    };
    for (const auto& c : cases)
        EXPECT_NE(DesktopEntryText(c.path).find("\n" + c.exec + "\n"), std::string::npos) << c.path;
    if (QStandardPaths::findExecutable("desktop-file-validate").isEmpty())
        GTEST_SKIP() << "desktop-file-validate not installed: entry check skipped";
    for (const auto& c : cases) {
        RegisterFileTypeCommand(c.path);
        EXPECT_EQ(Validate(Data("applications/vornix.desktop")), "") << c.path;
    }
}

TEST_F(FileTypeRegistrationTest, DefaultApplicationIsSetOnlyWhenMissingOrForced) {
    RegisterFileType(false);
    EXPECT_EQ(test::ReadFile(MimeApps()),
              "[Default Applications]\napplication/x-vornix-document=vornix.desktop\n");

    const std::string other = "[Added Associations]\r\ntext/plain=gedit.desktop\r\n"
                              "[Default Applications]\r\n"
                              "application/x-vornix-document=other.desktop\r\n"
                              "image/png=eog.desktop\r\n";
    test::WriteFile(MimeApps(), other);
    RegisterFileType(false);
    EXPECT_EQ(test::ReadFile(MimeApps()), other);
    RegisterFileType(true);
    EXPECT_EQ(test::ReadFile(MimeApps()), "[Added Associations]\r\ntext/plain=gedit.desktop\r\n"
                                          "[Default Applications]\r\n"
                                          "application/x-vornix-document=vornix.desktop\r\n"
                                          "image/png=eog.desktop\r\n");
}

TEST_F(FileTypeRegistrationTest, UnwritableDataFolderRaisesAndWritesNothing) {
    test::WriteFile(dir_.File("blocked"), "a file, not a folder");
    setenv("XDG_DATA_HOME", dir_.File("blocked").c_str(), 1);
    EXPECT_THROW(RegisterDocumentType("/opt/Vornix/bin/vornix"), EFOpenError);
    EXPECT_EQ(test::ReadFile(dir_.File("blocked")), "a file, not a folder");
}

} // namespace
} // namespace vx
