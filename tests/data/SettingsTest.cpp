#include "data/Settings.h"

#include "data/GlobalText.h"
#include "platform/system/Files.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace vx {
namespace {

using test::HexBytes;

std::string RecordBytes() {
    return std::string(reinterpret_cast<const char*>(ImpostazioniRec.Bytes.data()),
                       TImpostazioniRec::kSize);
}

// Every test gets its own base folder and gives the program-wide state back afterwards.
class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        BasePath = dir_.Path();
        ForceDirectories(BasePath + "System");
    }
    void TearDown() override {
        ImpostazioniRec = savedRecord_;
        BasePath = savedBase_;
    }

    std::string SettingsFile() const { return dir_.File("System/impostazioni.set"); }

    test::TempDir dir_;

private:
    TImpostazioniRec savedRecord_ = ImpostazioniRec;
    std::string savedBase_ = BasePath;
};

TEST_F(SettingsTest, ShortFileSetsOnlyItsLeadingBytes) {
    ImpostazioniRec.Bytes.fill(0xFF);
    test::WriteFile(SettingsFile(), "0123456789");
    LoadSettings();
    const std::string bytes = RecordBytes();
    EXPECT_EQ(bytes.substr(0, 10), "0123456789");
    EXPECT_EQ(bytes.substr(10), std::string(TImpostazioniRec::kSize - 10, '\xFF'));
}

TEST_F(SettingsTest, LongFileSetsTheWholeRecordAndNoMore) {
    std::string file;
    for (int i = 0; i < 2000; ++i)
        file += static_cast<char>(i * 7 + 3);
    test::WriteFile(SettingsFile(), file);
    LoadSettings();
    EXPECT_EQ(RecordBytes(), file.substr(0, TImpostazioniRec::kSize));
}

TEST_F(SettingsTest, MissingOrUnreadableFileLeavesTheRecordSilently) {
    test::ScopedUi ui;
    ImpostazioniRec.Bytes.fill(0x5A);
    LoadSettings();
    ForceDirectories(SettingsFile()); // a folder where the file should be
    LoadSettings();
    EXPECT_EQ(RecordBytes(), std::string(TImpostazioniRec::kSize, '\x5A'));
    EXPECT_TRUE(ui.ui.Messages.empty());
}

TEST_F(SettingsTest, SaveWritesTheRecordByteForByteReservedBytesIncluded) {
    for (size_t i = 0; i < TImpostazioniRec::kSize; ++i)
        ImpostazioniRec.Bytes[i] = static_cast<uint8_t>(i * 31 + 1);
    ImpostazioniRec.Bytes[16] = 200; // an out-of-range length byte is kept as it is
    const std::string saved = RecordBytes();
    ASSERT_TRUE(SaveSettings());
    EXPECT_EQ(test::ReadFile(SettingsFile()), saved);

    ImpostazioniRec.Clear();
    LoadSettings();
    EXPECT_EQ(RecordBytes(), saved);
}

TEST_F(SettingsTest, SaveIntoAMissingFolderFailsAndLoadFindsTheFileIgnoringCase) {
    BasePath = dir_.File("nowhere/");
    EXPECT_FALSE(SaveSettings());

    BasePath = dir_.File("other/");
    ForceDirectories(BasePath + "SYSTEM");
    test::WriteFile(BasePath + "SYSTEM/Impostazioni.SET", "\x01");
    LoadSettings();
    EXPECT_EQ(ImpostazioniRec.LoadType(), 1);
}

TEST_F(SettingsTest, FoldersAndSystemFilesAreFoundIgnoringCase) {
    // Nothing below the base folder yet: the paths as written.
    BasePath = dir_.File("fresh/");
    EXPECT_EQ(ConfigurationsFolder(), BasePath + "Configurazioni/");
    EXPECT_EQ(SystemFileName("Normawnd.set"), BasePath + "System/Normawnd.set");

    BasePath = dir_.File("old/");
    ForceDirectories(BasePath + "configurazioni");
    ForceDirectories(BasePath + "SYSTEM");
    test::WriteFile(BasePath + "SYSTEM/normawnd.SET", "x");
    EXPECT_EQ(ConfigurationsFolder(), BasePath + "configurazioni/");
    EXPECT_EQ(SystemFileName("Normawnd.set"), BasePath + "SYSTEM/normawnd.SET");
    // A file not there yet goes into the folder as it exists.
    EXPECT_EQ(SystemFileName("recenti.set"), BasePath + "SYSTEM/recenti.set");
    EXPECT_EQ(SettingsFileName(), BasePath + "SYSTEM/impostazioni.set");
    EXPECT_EQ(SystemFileName("KOLMVAR.SET", dir_.File("fresh")),
              dir_.File("fresh/System/KOLMVAR.SET"));
}

TEST(ImpostazioniRec, FieldsLieAtTheirOffsets) {
    TImpostazioniRec rec;
    rec.SetLoadType(1);
    rec.SetNamesRow(0x01020304);
    rec.SetIncludeZero(true);
    rec.SetAutoLimitMethod(1);
    rec.SetTcpServerActive(true);
    rec.SetTcpPort(-2);
    rec.SetPdfPrinterName("PDF");
    rec.SetDriverOutputFile("/o.pdf");
    rec.SetLanguage(3);
    rec.SetCloseAfterRemotePrint(true);
    const std::string bytes(reinterpret_cast<const char*>(rec.Bytes.data()), rec.Bytes.size());
    EXPECT_EQ(HexBytes(bytes.substr(0, 20)),
              "01 00 00 00 04 03 02 01 01 01 01 00 FE FF FF FF 03 50 44 46");
    EXPECT_EQ(bytes.substr(117, 7), "\x06/o.pdf");
    EXPECT_EQ(HexBytes(bytes.substr(366, 5)), "00 00 03 01 00");
    EXPECT_EQ(bytes.substr(124, 366 - 124), std::string(366 - 124, '\0'));
    EXPECT_EQ(bytes.substr(370), std::string(TImpostazioniRec::kSize - 370, '\0'));

    EXPECT_EQ(rec.NamesRow(), 0x01020304);
    EXPECT_EQ(rec.TcpPort(), -2);
    EXPECT_EQ(rec.PdfPrinterName(), "PDF");
    EXPECT_EQ(rec.DriverOutputFile(), "/o.pdf");
    EXPECT_EQ(rec.Language(), 3);
    EXPECT_TRUE(rec.CloseAfterRemotePrint());
}

TEST(ImpostazioniRec, TextsAreClampedToTheirFieldsWhileTheBytesStay) {
    TImpostazioniRec rec;
    rec.Bytes.fill('x');
    rec.Bytes[16] = 101;
    rec.Bytes[117] = 255;
    EXPECT_EQ(rec.PdfPrinterName(), std::string(100, 'x'));
    EXPECT_EQ(rec.DriverOutputFile(), std::string(250, 'x'));
    EXPECT_EQ(rec.Bytes[16], 101);

    rec.SetPdfPrinterName(std::string(300, 'p'));
    EXPECT_EQ(rec.Bytes[16], 100);
    EXPECT_EQ(rec.Bytes[117], 255); // the next field is untouched
    rec.SetDriverOutputFile("ab");
    EXPECT_EQ(rec.DriverOutputFile(), "ab");
    EXPECT_EQ(rec.Bytes[120], 'x'); // bytes beyond the text stay as they lay
    EXPECT_EQ(rec.Bytes[368], 'x');
}

TEST_F(SettingsTest, BaseFolderIsTheParentOfAFolderNamedBin) {
    for (const char* bin : {"bin", "BIN", "Bin"}) {
        SCOPED_TRACE(bin);
        test::ScopedUi ui;
        const std::string x = dir_.File(std::string("X") + bin + "/");
        ASSERT_TRUE(ForceDirectories(x + bin));
        EXPECT_TRUE(InitBasePath(x + bin + "/vornix"));
        EXPECT_EQ(BasePath, x);
        EXPECT_TRUE(DirectoryExists(x + "System"));
        EXPECT_TRUE(DirectoryExists(x + "Configurazioni"));
        EXPECT_TRUE(ui.ui.Messages.empty());
    }
}

TEST_F(SettingsTest, OtherProgramFolderIsTheBaseAfterAMessage) {
    test::ScopedUi ui;
    const std::string x = dir_.File("X/");
    ASSERT_TRUE(ForceDirectories(x + "tools"));
    EXPECT_TRUE(InitBasePath(x + "tools/vornix"));
    EXPECT_EQ(BasePath, x + "tools/");
    EXPECT_FALSE(DirectoryExists(x + "System"));
    EXPECT_FALSE(DirectoryExists(x + "tools/System"));
    EXPECT_FALSE(DirectoryExists(x + "Configurazioni"));
    ASSERT_EQ(ui.ui.Messages.size(), 1u);
    EXPECT_EQ(ui.ui.Messages[0].Text, "L'applicazione non risiede nella directory corretta");
}

TEST_F(SettingsTest, MessageComesFromTheBoundGlobalTable) {
    test::ScopedUi ui;
    SetGlobalTextLookup([](std::string_view id) { return "text of " + std::string(id); });
    InitBasePath(dir_.File("binary/vornix"));
    SetGlobalTextLookup({});
    ASSERT_EQ(ui.ui.Messages.size(), 1u);
    EXPECT_EQ(ui.ui.Messages[0].Text, "text of IDS_18");
    EXPECT_EQ(GlobalText("IDS_18"), "L'applicazione non risiede nella directory corretta");
    EXPECT_EQ(GlobalText("IDS_999"), "");
}

} // namespace
} // namespace vx
