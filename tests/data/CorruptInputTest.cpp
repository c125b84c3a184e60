// Inputs that once broke a reader, or that are built to: each must get a clear answer and
// leave the object it was read into as it was. Reproducers found by fuzzing lie in corrupt/
// beside this file; the hostile cases that would be large files are made here.

#include "data/Databuff.h"
#include "data/Modellocaricamento.h"
#include "data/ProvaText.h"
#include "data/Settings.h"
#include "data/prExpr.h"
#include "platform/runtime/Streams.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace vx {
namespace {

std::string I32(int32_t v) {
    std::string b;
    for (int i = 0; i < 4; ++i)
        b += static_cast<char>((static_cast<uint32_t>(v) >> (8 * i)) & 0xFF);
    return b;
}

std::string SStr(std::string_view s) {
    return std::string(1, static_cast<char>(s.size())) + std::string(s);
}

std::string Stored(const TDatabuffer& buffer) {
    TMemoryStream stream;
    buffer.SaveToStream(stream);
    return stream.Bytes();
}

class CorruptInputTest : public ::testing::Test {
protected:
    void SetUp() override {
        ImpostazioniRec.Clear();
        ImpostazioniRec.SetLoadType(1);
    }
    void TearDown() override { ImpostazioniRec = saved_; }

public:
    // The answer of each reader, as a text the table can compare.
    std::string TestImport(const std::string& bytes) {
        const std::string path = dir_.File("test.txt");
        test::WriteFile(path, bytes);
        TDatabuffer buffer;
        LoadProvaText(buffer, path);
        if (buffer.ProvaCount() == 0)
            return "no test";
        const TdataProva& test = buffer.GetProva(0);
        return std::to_string(test.ChannelCount()) + " channels, " +
               std::to_string(test.RowIndex.Count()) + " rows";
    }

    std::string LoadModel(const std::string& bytes) {
        const std::string path = dir_.File("model.whf");
        test::WriteFile(path, bytes);
        TModellocaricamento model;
        model.Mask = "before";
        model.DataPos = {4, 5};
        const bool read = model.LoadFromFile(path);
        if (!read && (model.Mask != "before" || model.DataPos != TCellPos{4, 5} ||
                      model.FirstList.Count() != 0))
            return "refused, but changed";
        return read ? "read" : "refused";
    }

    std::string DataBuffer(const std::string& bytes) {
        TDatabuffer buffer;
        buffer.FileNames.Add("before.txt");
        buffer.AddProva(2).GetChannel(0).AddText("1.5");
        const std::string before = Stored(buffer);
        TMemoryStream stream(bytes);
        try {
            buffer.LoadFromStream(stream);
        } catch (const EReadError& e) {
            return Stored(buffer) == before ? e.Message : e.Message + ", but changed";
        }
        return "read";
    }

    static std::string Expression(const std::string& text) {
        IValueRef value;
        try {
            CreateExpression(text, value);
        } catch (const EExpression& e) {
            return value ? e.Message + ", but a value" : e.Message;
        }
        return "compiled";
    }

protected:
    test::TempDir dir_;
    test::ScopedUi ui_;

private:
    TImpostazioniRec saved_ = ImpostazioniRec;
};

TEST_F(CorruptInputTest, EveryReaderAnswersClearly) {
    using Reader = std::string (CorruptInputTest::*)(const std::string&);
    const Reader import = &CorruptInputTest::TestImport;
    const Reader model = &CorruptInputTest::LoadModel;
    const Reader buffer = &CorruptInputTest::DataBuffer;
    const auto expression = [](const std::string& text) { return Expression(text); };
    const std::string magic = SStr("Kolm_WHF_V_1.0");
    const std::string positions = I32(1) + I32(2) + I32(1) + I32(3) + I32(1) + I32(5);
    const std::string bufferHead =
        SStr("Ver 1.0") + I32(0) + I32(0) + I32(1) + SStr("") + I32(0) + I32(0) + I32(0);
    struct Case {
        const char* name;
        std::function<std::string(CorruptInputTest&)> answer;
        const char* expected;
    } const cases[] = {
        // Ten megabytes without a line end: the names row rule finds no data row.
        {"10 MB on one line",
         [&](CorruptInputTest& t) { return (t.*import)(std::string(10 << 20, '7')); }, "no test"},
        {"10 MB on one line, names on line 1",
         [&](CorruptInputTest& t) {
             return (t.*import)("1\r\nu\r\n-\r\n" + std::string(10 << 20, '7'));
         },
         "1 channels, 1 rows"},
        {"list count 0x7FFFFFFF",
         [&](CorruptInputTest& t) {
             return (t.*model)(magic + SStr("*.txt") + positions + I32(0x7FFFFFFF) + "ab");
         },
         "refused"},
        {"second list cut short",
         [&](CorruptInputTest& t) {
             return (t.*model)(magic + SStr("") + positions + I32(0) + I32(2) + I32(1) + "x");
         },
         "refused"},
        {"vector count 2^31-1 and 20 bytes",
         [&](CorruptInputTest& t) {
             return (t.*buffer)(bufferHead.substr(0, bufferHead.size() - 4) + I32(0) +
                                I32(0x7FFFFFFF) + std::string(20, '\1'));
         },
         "Stream read error"},
        {"test count beyond the bytes",
         [&](CorruptInputTest& t) {
             return (t.*buffer)(SStr("Ver 1.0") + I32(0) + I32(0) + I32(1000));
         },
         "Stream read error"},
        {"second test cut inside its vectors",
         [&](CorruptInputTest& t) {
             return (t.*buffer)(SStr("Ver 1.0") + I32(0) + I32(0) + I32(2) + SStr("") + I32(0) +
                                I32(0) + I32(0) + I32(0) + SStr("") + I32(0) + I32(0) + I32(0) +
                                I32(1) + I32(3) + SStr("1"));
         },
         "Stream read error"},
        {"100,000 opening brackets",
         [&](CorruptInputTest&) { return expression(std::string(100000, '(') + "1"); },
         "Expression too complex"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.answer(*this), c.expected);
    }
}

} // namespace
} // namespace vx
