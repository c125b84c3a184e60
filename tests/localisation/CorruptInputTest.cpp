// Reproducers that once broke the translation readers, kept in corrupt/ beside this file:
// each gets its reader's own error and costs no more than its bytes.

#include "localisation/mlComp.h"
#include "localisation/mlLangComponent.h"
#include "localisation/mlMLBFile.h"
#include "platform/runtime/ComponentStream.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Streams.h"
#include "support/TestSupport.h"

#include <QObject>
#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace vx {
namespace {

std::string CorruptFile(std::string_view name) {
    return test::ReadFile(std::string(VX_TEST_CORRUPT_DIR) + "/" + std::string(name));
}

std::string ReadNew(const std::string& bytes) {
    RegisterTmlLang();
    TMemoryStream stream(bytes);
    try {
        std::unique_ptr<TPersistent> object(ReadNewComponent(stream, nullptr));
    } catch (const Exception& e) {
        return e.Message;
    }
    return "read";
}

std::string ReadMlb(const std::string& bytes) {
    test::TempDir dir;
    const std::string path = dir.File("table.mlb");
    test::WriteFile(path, bytes);
    // The file's table is the one stored for the owner's class.
    QObject owner;
    TmlLang lang(&owner);
    lang.Strings().Add("IDS_1\1Uno\1");
    try {
        TMLBFileManager(path).ReadTable(lang);
    } catch (const Exception& e) {
        return lang.Strings().Count() == 1 ? e.Message : e.Message + ", but changed";
    }
    return "read";
}

TEST(CorruptInputTest, EveryReaderAnswersClearly) {
    struct Case {
        const char* file;
        std::string (*reader)(const std::string&);
        const char* expected;
    } const cases[] = {
        // A language count of 1,632,373,073 made the table fill all memory.
        {"tmllang_billion_languages.bin", ReadNew,
         "Error reading mlLang1.NumOfLanguages: 1632373073 - is not a valid property value "
         "!\rValue must be within [1..1000] !"},
        {"mlb_many_languages.mlb", ReadMlb,
         "Error reading mlLang1.NumOfLanguages: 151126528 - is not a valid property value "
         "!\rValue must be within [1..1000] !"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        EXPECT_EQ(c.reader(CorruptFile(c.file)), c.expected);
    }
}

TEST(CorruptInputTest, LanguageCountIsBounded) {
    TmlLang lang;
    lang.SetNumOfLanguages(TmlCustomLang::kMaxLanguages);
    EXPECT_EQ(lang.LangNames().Count(), TmlCustomLang::kMaxLanguages);
    try {
        lang.SetNumOfLanguages(TmlCustomLang::kMaxLanguages + 1);
        ADD_FAILURE() << "no error";
    } catch (const ELanguageError& e) {
        EXPECT_EQ(e.Message, "1001 - is not a valid property value !\rValue must be within "
                             "[1..1000] !");
    }
    EXPECT_EQ(lang.NumOfLanguages(), TmlCustomLang::kMaxLanguages);
}

} // namespace
} // namespace vx
