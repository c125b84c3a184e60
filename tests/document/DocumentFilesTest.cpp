#include "DocumentFixture.h"

#include "data/AttributiProve.h"
#include "data/Databuff.h"
#include "document/DocumentFiles.h"
#include "localisation/Strglobmod.h"
#include "localisation/mlLangDispatcher.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Streams.h"
#include "platform/system/Files.h"
#include "report/WPPage.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>

namespace vx::test {

namespace {

std::string Sstr(std::string_view s) {
    return std::string(1, static_cast<char>(s.size())) + std::string(s);
}

std::string I32(int32_t v) {
    TMemoryStream s;
    s.WriteI32(v);
    return s.Bytes();
}

std::string DefaultStyleBytes() {
    TMemoryStream s;
    TAttributiProve().WriteToStream(s);
    return s.Bytes();
}

class DocumentFilesTest : public DocumentFixture {};

} // namespace

TEST_F(DocumentFilesTest, DefaultStyleRecordsAndTheResetRuleOfAProject) {
    const std::string styles = DefaultStyleBytes();
    ASSERT_EQ(styles.size(), 160u);
    EXPECT_EQ(HexBytes(styles.substr(0, 16)),
              HexBytes(FromHex("00000000 01 00 0000 03000000 00 000000")));
    EXPECT_EQ(HexBytes(styles.substr(16, 16)),
              HexBytes(FromHex("FF000000 01 00 0000 03000000 01 000000")));
    EXPECT_EQ(HexBytes(styles.substr(144, 16)),
              HexBytes(FromHex("FFFF0000 01 00 0000 03000000 09 000000")));

    struct Case {
        uint32_t width;
        bool kept;
    };
    for (const Case c : {Case{1, false}, Case{101, false}, Case{2, true}, Case{100, true}}) {
        SCOPED_TRACE(c.width);
        TAttributiProve written;
        written.Record(0).Width = c.width;
        written.Record(3).Color = 0x123456;
        TMemoryStream stream;
        WriteProject(stream, {}, {}, written, {});
        stream.SetPosition(0);
        const TProjectContent read = ReadProject(stream, nullptr, "p.CPF");
        EXPECT_EQ(read.Styles == written, c.kept);
        EXPECT_EQ(read.Styles == TAttributiProve(), !c.kept);
    }
}

TEST_F(DocumentFilesTest, DocumentGoldenBytes) {
    FormatSettings().DecimalSeparator = ',';
    DocDecimalSeparator = '.';
    TDatabuffer buffer;
    auto page = MakePage(&buffer, "Pagina 1");
    const std::string p = PageBytes(*page);

    TMemoryStream stream;
    WriteDocument(stream, buffer, TAttributiProve(), {page.get()});
    const std::string expected = Sstr("Doc_Version_0.82") + "\x2C" + Sstr("Ver 1.0") + I32(0) +
                                 I32(0) + I32(0) + DefaultStyleBytes() + I32(1) + p;
    EXPECT_EQ(stream.Bytes().size(), 202 + p.size());
    EXPECT_EQ(HexBytes(stream.Bytes()), HexBytes(expected));
    EXPECT_EQ(DocDecimalSeparator, ',');
}

TEST_F(DocumentFilesTest, ProjectGoldenBytes) {
    TDatabuffer buffer;
    auto page = MakePage(&buffer, "Pagina 1");
    const std::string p = PageBytes(*page);
    TStringList labels, mapping;
    labels.Add("Forza\xA7kN");
    labels.Add("Corsa\xA7mm");
    mapping.Add("a.MAP");

    TMemoryStream stream;
    WriteProject(stream, {page.get()}, labels, TAttributiProve(), mapping);
    const std::string head = Sstr("Cfg_Version_0.83") + I32(1);
    const std::string tail =
        FromHex("02000000 08 46 6F 72 7A 61 A7 6B 4E 08 43 6F 72 73 61 A7 6D 6D") +
        DefaultStyleBytes() + FromHex("01000000 05000000 61 2E 4D 41 50");
    EXPECT_EQ(tail.size(), 195u);
    EXPECT_EQ(HexBytes(stream.Bytes()), HexBytes(head + p + tail));

    stream.SetPosition(0);
    const TProjectContent read = ReadProject(stream, nullptr, "p.CPF");
    EXPECT_EQ(read.Version, 83);
    ASSERT_EQ(read.Pages.size(), 1u);
    EXPECT_EQ(read.Pages[0]->pagename, "Pagina 1");
    EXPECT_EQ(read.Labels.Count(), 2);
    EXPECT_EQ(read.Labels[1], "Corsa\xA7mm");
    ASSERT_EQ(read.MappingList.Count(), 1);
    EXPECT_EQ(read.MappingList[0], "a.MAP");
    EXPECT_EQ(stream.Remaining(), 0);
}

TEST_F(DocumentFilesTest, ProjectLabelsAreBoundByTheFirstTestsChannels) {
    TStringList labels;
    labels.Add("Forza\xA7kN");
    labels.Add("Corsa\xA7mm");
    struct Case {
        int tests;
        int channels;
        int kept;
    };
    for (const Case c : {Case{0, 0, 0}, Case{1, 1, 1}, Case{1, 2, 2}, Case{1, 5, 2}}) {
        SCOPED_TRACE(c.channels);
        TDatabuffer buffer;
        buffer.LabelTable.Add("old");
        for (int t = 0; t < c.tests; ++t)
            buffer.AddProva(c.channels + 1);
        TakeProjectLabels(labels, buffer);
        ASSERT_EQ(buffer.LabelTable.Count(), c.kept);
        if (c.kept > 0) {
            EXPECT_EQ(buffer.LabelTable[0], "Forza\xA7kN");
        }
    }

    // An empty table is one zero count and reads back empty.
    TMemoryStream stream;
    WriteProject(stream, {}, {}, TAttributiProve(), {});
    EXPECT_EQ(HexBytes(stream.Bytes().substr(17, 8)), HexBytes(I32(0) + I32(0)));
    stream.SetPosition(0);
    EXPECT_EQ(ReadProject(stream, nullptr, "p.CPF").Labels.Count(), 0);
}

TEST_F(DocumentFilesTest, OlderProjectsCarryLessAfterTheirLabels) {
    TStringList labels;
    labels.Add("Forza\xA7kN");
    TAttributiProve styles;
    styles.Record(2).Color = 0x0A0B0C;
    TStringList mapping;
    mapping.Add("b.MAP");
    TMemoryStream full;
    WriteProject(full, {}, labels, styles, mapping);
    const std::string afterTag = full.Bytes().substr(17);
    const size_t labelsEnd = 4 + 4 + 1 + 8;
    const size_t stylesEnd = labelsEnd + 160;

    struct Case {
        const char* tag;
        size_t bytes;
        bool styles, list;
    };
    for (const Case c : {Case{"Cfg_Version_0.81", labelsEnd, false, false},
                         Case{"Cfg_Version_0.82", stylesEnd, true, false},
                         Case{"Cfg_Version_0.83", afterTag.size(), true, true}}) {
        SCOPED_TRACE(c.tag);
        TMemoryStream stream(Sstr(c.tag) + afterTag.substr(0, c.bytes));
        const TProjectContent read = ReadProject(stream, nullptr, "p.CPF");
        EXPECT_EQ(read.Labels.Count(), 1);
        EXPECT_EQ(read.HasStyles, c.styles);
        if (c.styles) {
            EXPECT_EQ(read.Styles, styles);
        }
        EXPECT_EQ(read.HasMappingList, c.list);
        EXPECT_EQ(read.MappingList.Count(), c.list ? 1 : 0);
    }
}

TEST_F(DocumentFilesTest, DocumentHeaderVersions) {
    FormatSettings().DecimalSeparator = '.';
    TDatabuffer source;
    MakeTest(source, "A1.txt", {"1.5", "2.5"});
    TMemoryStream tests;
    source.SaveToStream(tests);
    TAttributiProve styles;
    styles.Record(1).Color = 0x00ABCDEF;
    TMemoryStream styleBytes;
    styles.WriteToStream(styleBytes);

    struct Case {
        std::string bytes;
        bool styles;
    };
    const Case cases[] = {
        {Sstr("Doc_Version_0.80") + tests.Bytes(), false},
        {Sstr("Doc_Version_0.81") + "." + tests.Bytes(), false},
        {Sstr("Doc_Version_0.82") + "." + tests.Bytes() + styleBytes.Bytes(), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes.substr(1, 16));
        AttributiProve().SetDefaults();
        TDatabuffer buffer;
        TMemoryStream stream(c.bytes);
        const TDocumentHeader header = ReadDocumentHeader(stream, buffer, "d.VRX");
        EXPECT_EQ(stream.Remaining(), 0);
        ASSERT_EQ(buffer.ProvaCount(), 1);
        EXPECT_EQ(buffer.GetProva(0).FileName, "A1.txt");
        EXPECT_EQ(buffer.GetProva(0).GetChannel(1).GetFloat(1), 2.5);
        EXPECT_EQ(AttributiProve() == styles, c.styles);
        EXPECT_EQ(header.HasStyles, c.styles);
        EXPECT_EQ(DocDecimalSeparator, '.');
    }

    for (const char* tag :
         {"Doc_Version_079", "Doc_Version_0.79", "Doc_Version_0.8x", "Cfg_Version_0.83", ""}) {
        SCOPED_TRACE(tag);
        TDatabuffer buffer;
        TMemoryStream stream(Sstr(tag) + "," + tests.Bytes() + styleBytes.Bytes());
        try {
            ReadDocumentHeader(stream, buffer, "d.VRX");
            ADD_FAILURE() << "opened";
        } catch (const EDocumentFile& e) {
            EXPECT_EQ(e.Kind, TDocumentFileError::UnsupportedVersion);
            EXPECT_EQ(e.FileName, "d.VRX");
        }
        EXPECT_EQ(buffer.ProvaCount(), 0);
    }
}

TEST_F(DocumentFilesTest, HostileCountsAndKindsAreRefusedBeforeAnythingIsMade) {
    TDatabuffer buffer;
    auto page = MakePage(&buffer, "Pagina 1");
    std::string p = PageBytes(*page);
    const std::string project = Sstr("Cfg_Version_0.83");
    const std::string huge = I32(0x7FFFFFFF);
    std::string kind9 = p;
    kind9[32] = 9; // the kind byte of the page record
    const int64_t pages = 17 + 4;
    const int64_t labels = pages + static_cast<int64_t>(p.size());
    const int64_t list = labels + 4 + 160;
    // The page record: fixed fields, name, info font and colour, the two info lines.
    const int64_t record = pages + 33 + 1 + 8 + 60 + 4 + 1 +
                           static_cast<int64_t>(page->informazioni_up.size()) + 1 +
                           static_cast<int64_t>(page->informazioni_down.size());
    // Each refused where the count or record that cannot be stands: reading stops after it.
    struct Case {
        std::string bytes;
        int64_t offset;
        std::string reason;
    } const cases[] = {
        {project + huge, pages, "Stream read error"},
        {project + I32(1) + p + huge, labels + 4, "Stream read error"},
        {project + I32(1) + p + I32(0) + DefaultStyleBytes() + huge, list + 4, "Stream read error"},
        {project + I32(1) + p + I32(0) + DefaultStyleBytes() + I32(1) + huge, list + 8,
         "Stream read error"},
        {project + I32(1) + kind9 + I32(0) + DefaultStyleBytes() + I32(0), record,
         "Invalid page kind 9 in the page record"},
        {project.substr(0, 9), 1, "Stream read error"},
    };
    TempDir dir;
    const std::string file = dir.File("h.CPF");
    for (const Case& c : cases) {
        SCOPED_TRACE(HexBytes(c.bytes.substr(0, 60)));
        WriteFile(file, c.bytes);
        try {
            ReadFileChecked(file, [&](TStream& s) { ReadProject(s, &buffer, file); });
            ADD_FAILURE() << "read";
        } catch (const EDocumentFile& e) {
            EXPECT_EQ(e.Kind, TDocumentFileError::Damaged);
            EXPECT_EQ(e.Offset, c.offset);
            EXPECT_EQ(e.Reason, c.reason);
            EXPECT_EQ(e.Message, "The file is damaged or incomplete: " + file + " (byte " +
                                     std::to_string(c.offset) + ": " + c.reason + ")");
        }
    }
}

TEST_F(DocumentFilesTest, AFailedSaveSaysWhyInTheUsersLanguage) {
    CreateSTRGlobData();
    struct Case {
        int error;
        int language;
        std::string text;
    };
    const Case cases[] = {
        {EROFS, 1, "file system di sola lettura"},
        {EROFS, 2, "read-only file system"},
        {EROFS, 3, "schreibgesch\xFCtztes Dateisystem"},
        {ENOSPC, 1, "spazio esaurito sul dispositivo"},
        {ENOSPC, 2, "no space left on device"},
        {ENOSPC, 3, "kein Speicherplatz mehr auf dem Ger\xE4t"},
        {EACCES, 2, "permission denied"},
        {9999, 1, "errore di sistema 9999"},
        {9999, 3, "Systemfehler 9999"},
        {0, 2, ""},
    };
    for (const Case& c : cases) {
        STRGlobData->mlLangDispatcher1->SetActiveLanguage(c.language);
        EXPECT_EQ(FileSystemErrorText(c.error), c.text) << c.error << " in " << c.language;
    }

    TempDir dir;
    ForceDirectories(dir.File("ro"));
    const std::string name = dir.File("ro/d.VRX");
    WriteFile(name, "old bytes");
    STRGlobData->mlLangDispatcher1->SetActiveLanguage(2);
    {
        ReadOnlyFolder readOnly(dir.File("ro"));
        if (readOnly.Active()) {
            const std::string why = FileSystemErrorText(readOnly.WriteError());
            try {
                SaveFileAtomically(name, [](TStream& stream) { stream.WriteBytes("new"); });
                ADD_FAILURE() << "saved into a read-only folder";
            } catch (const EDocumentFile& e) {
                EXPECT_EQ(e.Kind, TDocumentFileError::CannotSave);
                EXPECT_EQ(e.Reason, why);
                EXPECT_EQ(e.Message, "Cannot save the file: " + name + " (" + why + ")");
            }
        } else {
            std::printf("read-only folder not tried: %s\n", readOnly.Error().c_str());
        }
    }
    EXPECT_EQ(ReadFile(name), "old bytes");
    FreeSTRGlobData();
}

TEST_F(DocumentFilesTest, AFailedSaveKeepsTheOldFileAndLeavesNoTemporary) {
    TempDir dir;
    const std::string name = dir.File("d.VRX");
    WriteFile(name, "old bytes");
    TDatabuffer buffer;
    auto page = MakePage(&buffer, "Pagina 1");
    try {
        SaveFileAtomically(name, [&](TStream& stream) {
            WriteDocument(stream, buffer, TAttributiProve(), {page.get(), page.get()});
            throw EWriteError("page stream");
        });
        ADD_FAILURE() << "saved";
    } catch (const EDocumentFile& e) {
        EXPECT_EQ(e.Kind, TDocumentFileError::CannotSave);
        EXPECT_EQ(e.Message, "Cannot save the file: " + name);
    }
    EXPECT_EQ(ReadFile(name), "old bytes");
    EXPECT_EQ(ListFolder(dir.Path(), false), std::vector<std::string>{"d.VRX"});

    SaveDocumentFile(name, buffer, {page.get()});
    EXPECT_EQ(FileSize(name), static_cast<int64_t>(202 + PageBytes(*page).size()));
    EXPECT_EQ(ListFolder(dir.Path(), false), std::vector<std::string>{"d.VRX"});

    // A folder that takes no new file.
    EXPECT_THROW(SaveDocumentFile(dir.File("none/d.VRX"), buffer, {}), EDocumentFile);
}

TEST_F(DocumentFilesTest, MissingAndDamagedFilesAreDamagedOrIncomplete) {
    TempDir dir;
    const std::string missing = dir.File("missing.CPF");
    try {
        ReadFileChecked(missing, [](TStream&) {});
        ADD_FAILURE();
    } catch (const EDocumentFile& e) {
        EXPECT_EQ(e.Kind, TDocumentFileError::Damaged);
        EXPECT_EQ(e.Offset, -1);
        EXPECT_EQ(e.Reason, "Cannot open file \"" + missing + "\". No such file or directory");
        EXPECT_EQ(FilePlaceText(e, "at %d: "), e.Reason);
    }
    WriteFile(dir.File("x.CPF"), Sstr("Cfg_Version_0.83") + "\x01");
    try {
        ReadFileChecked(dir.File("x.CPF"),
                        [&](TStream& s) { ReadProject(s, nullptr, dir.File("x.CPF")); });
        ADD_FAILURE();
    } catch (const EDocumentFile& e) {
        EXPECT_EQ(e.Kind, TDocumentFileError::Damaged);
        EXPECT_EQ(e.FileName, dir.File("x.CPF"));
    }
    WriteFile(dir.File("y.CPF"), Sstr("Doc_Version_0.82"));
    try {
        ReadFileChecked(dir.File("y.CPF"),
                        [&](TStream& s) { ReadProject(s, nullptr, dir.File("y.CPF")); });
        ADD_FAILURE();
    } catch (const EDocumentFile& e) {
        EXPECT_EQ(e.Kind, TDocumentFileError::NotAProject);
    }
}

TEST_F(DocumentFilesTest, EveryTruncationOfTheGoldenDocumentAndProjectIsRefused) {
    TDatabuffer tests;
    MakeTest(tests, "A1.txt", {"1.5", "2.5"});
    TStringList labels, mapping;
    labels.Add("Forza\xA7kN");
    mapping.Add("a.MAP");
    auto page = MakePage(&tests, "Pagina 1");
    TAttributiProve styles;
    styles.Record(1).Width = 9;
    TMemoryStream document, project;
    WriteDocument(document, tests, styles, {page.get()});
    WriteProject(project, {page.get()}, labels, styles, mapping);

    for (size_t n = 0; n < document.Bytes().size(); ++n) {
        TMemoryStream stream(document.Bytes().substr(0, n));
        TDatabuffer buffer;
        EXPECT_ANY_THROW({
            ReadDocumentHeader(stream, buffer, "d.VRX");
            ReadPages(stream, &buffer);
        }) << n;
        // The header either came whole or left everything as it was.
        if (buffer.ProvaCount() == 0) {
            EXPECT_EQ(AttributiProve(), TAttributiProve()) << n;
        }
        AttributiProve().SetDefaults();
    }
    for (size_t n = 0; n < project.Bytes().size(); ++n) {
        TMemoryStream stream(project.Bytes().substr(0, n));
        EXPECT_ANY_THROW(ReadProject(stream, &tests, "p.CPF")) << n;
    }
}

TEST_F(DocumentFilesTest, ALongEntryReadsWholeFromAFile) {
    // Longer than the reader's buffer, placed to straddle it.
    TStringList mapping;
    mapping.Add("a.MAP");
    mapping.Add(std::string(3 << 20, 'x') + "end");
    mapping.Add("b.MAP");
    TempDir dir;
    SaveProjectFile(dir.File("p.CPF"), {}, {}, mapping);
    TProjectContent read;
    ReadFileChecked(dir.File("p.CPF"),
                    [&](TStream& s) { read = ReadProject(s, nullptr, "p.CPF"); });
    ASSERT_EQ(read.MappingList.Count(), 3);
    EXPECT_EQ(read.MappingList[1], mapping[1]);
    EXPECT_EQ(read.MappingList[2], "b.MAP");
}

} // namespace vx::test
