#include "data/ProvaText.h"

#include "data/Databuff.h"
#include "data/Settings.h"
#include "platform/runtime/Streams.h"
#include "platform/system/Files.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace vx {
namespace {

std::vector<std::string> Items(const TStringList& list) {
    return list.Items();
}

std::vector<std::string> Texts(const Tdatavector& v) {
    std::vector<std::string> out;
    for (int i = 0; i < v.Count(); ++i)
        out.push_back(v.GetText(i));
    return out;
}

// The whole buffer in its stored form: two imports read alike when these bytes are equal.
std::string Stored(const TDatabuffer& buffer) {
    TMemoryStream stream;
    buffer.SaveToStream(stream);
    return stream.Bytes();
}

class ProvaTextTest : public ::testing::Test {
protected:
    void SetUp() override {
        FormatSettings().DecimalSeparator = '.';
        DocDecimalSeparator = '.';
        ImpostazioniRec.Clear();
    }
    void TearDown() override {
        ImpostazioniRec = savedRecord_;
        DocDecimalSeparator = savedDoc_;
    }

    // The names row from the first line of each file.
    static void NamesRowFromLineOne() { ImpostazioniRec.SetLoadType(1); }

    std::string Write(std::string_view bytes, std::string_view name = "test.txt") {
        const std::string path = dir_.File(name);
        test::WriteFile(path, bytes);
        return path;
    }

    std::string Load(TDatabuffer& buffer, std::string_view bytes) {
        const std::string path = Write(bytes);
        LoadProvaText(buffer, path);
        return path;
    }

    test::TempDir dir_;
    test::ScopedUi ui_;

private:
    test::ScopedFormatSettings format_;
    TImpostazioniRec savedRecord_ = ImpostazioniRec;
    char savedDoc_ = DocDecimalSeparator;
};

TEST_F(ProvaTextTest, NamesRowFromLineOneWithHeaderCells) {
    NamesRowFromLineOne();
    TDatabuffer buffer;
    const std::string path = Load(buffer, "3\tTest bench\r\n"
                                          " Operator \t\t  \tRossi\r\n"
                                          "Time\tSpeed\r\n"
                                          "s\trpm\r\n"
                                          "not read\tx\r\n"
                                          "0.5\t1200\r\n"
                                          "1\t-30.25\r\n");
    ASSERT_EQ(buffer.ProvaCount(), 1);
    const TdataProva& test = buffer.GetProva(0);
    EXPECT_EQ(Items(test.HeaderCells),
              (std::vector<std::string>{"1,1#3", "2,1#Test bench", "1,2#Operator", "4,2#Rossi"}));
    EXPECT_EQ(Items(test.ChannelNames), (std::vector<std::string>{"Time", "Speed"}));
    EXPECT_EQ(Items(test.Units), (std::vector<std::string>{"s", "rpm"}));
    ASSERT_EQ(test.VectorCount(), 3);
    EXPECT_EQ(Texts(test.GetChannel(0)), (std::vector<std::string>{"0.5", "1"}));
    EXPECT_EQ(Texts(test.GetChannel(1)), (std::vector<std::string>{"1200", "-30.25"}));
    EXPECT_EQ(test.GetChannel(2).Count(), 0);
    EXPECT_EQ(Texts(test.RowIndex), (std::vector<std::string>{"0", "1"}));
    EXPECT_EQ(test.GetChannel(1).Max(), 1200);
    EXPECT_EQ(test.GetChannel(1).Min(), -30.25);
    EXPECT_EQ(test.FileName, path);
    EXPECT_FALSE(ui_.ui.Busy);
}

TEST_F(ProvaTextTest, LineOneThatIsNoNumberPutsTheNamesOnLineOne) {
    NamesRowFromLineOne();
    TDatabuffer buffer;
    Load(buffer, "abc\r\nu\r\nskip\r\n7\r\n");
    ASSERT_EQ(buffer.ProvaCount(), 1);
    const TdataProva& test = buffer.GetProva(0);
    EXPECT_TRUE(test.HeaderCells.Empty());
    EXPECT_EQ(Items(test.ChannelNames), (std::vector<std::string>{"abc"}));
    EXPECT_EQ(Items(test.Units), (std::vector<std::string>{"u"}));
    EXPECT_EQ(Texts(test.GetChannel(0)), (std::vector<std::string>{"7"}));
}

TEST_F(ProvaTextTest, NamesRowRule) {
    NamesRowFromLineOne();
    struct Case {
        const char* lineOne;
        int32_t row;
    } const cases[] = {
        {"3\tTest bench\r\n", 3},
        {"3", 3},
        {"abc\t5", 1},
        {"", 1},
        {"  12\t", 12},
        {"-2\r\n4", -2},
        {"5 \t", 1},
        {"99999999999\tx", 1},
        {"2147483647", 2147483647},
        {"-2147483649", 1},
        {"\t7", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lineOne);
        TCellPos pos{9, 9};
        EXPECT_TRUE(GetProvaNamesRow(Write(c.lineOne), pos));
        EXPECT_EQ(pos, (TCellPos{0, c.row}));
    }

    TCellPos pos{9, 9};
    EXPECT_FALSE(GetProvaNamesRow(dir_.File("missing.txt"), pos));
    EXPECT_EQ(pos, (TCellPos{0, 0}));

    // With the load type clear the row is the settings' one and the file is not opened.
    ImpostazioniRec.SetLoadType(0);
    ImpostazioniRec.SetNamesRow(4);
    EXPECT_TRUE(GetProvaNamesRow(dir_.File("missing.txt"), pos));
    EXPECT_EQ(pos, (TCellPos{0, 4}));
}

TEST_F(ProvaTextTest, NamesRowThatLeavesNoDataRowAddsNoTest) {
    NamesRowFromLineOne();
    for (const char* file : {"", "\r\n", "1\r\nn\r\nu\r\n", "2147483647\r\n1\r\n2\r\n3\r\n4\r\n",
                             "2147483645\tx\r\n", "-3\r\n1\r\n2\r\n"}) {
        SCOPED_TRACE(file);
        TDatabuffer buffer;
        Load(buffer, file);
        EXPECT_EQ(buffer.ProvaCount(), 0);
        EXPECT_FALSE(ui_.ui.Busy);
    }
    // A missing file, a folder and a device without a size end at once.
    for (const std::string& path :
         {dir_.File("missing.txt"), dir_.Path(), std::string("/dev/zero")}) {
        SCOPED_TRACE(path);
        TDatabuffer buffer;
        LoadProvaText(buffer, path);
        EXPECT_EQ(buffer.ProvaCount(), 0);
    }
}

TEST_F(ProvaTextTest, FirstDataRowSetsTheChannelsAndNamesAreFittedToThem) {
    ImpostazioniRec.SetNamesRow(1);
    struct Case {
        const char* names;
        std::vector<std::string> expected;
    } const cases[] = {
        {"a\tb\tc", {"a", "b", "c", "?????"}},
        {"a\tb\tc\td\te\tf", {"a", "b", "c", "d"}},
        {"", {"?????", "?????", "?????", "?????"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.names);
        TDatabuffer buffer;
        Load(buffer, std::string(c.names) + "\nu1\tu2\tu3\tu4\tu5\n-\n1\t2\t3\t4\n5\t6\t7\t8\n");
        ASSERT_EQ(buffer.ProvaCount(), 1);
        const TdataProva& test = buffer.GetProva(0);
        EXPECT_EQ(test.VectorCount(), 5);
        EXPECT_EQ(test.ChannelCount(), 4);
        EXPECT_EQ(test.GetChannel(4).Count(), 0);
        EXPECT_EQ(Texts(test.GetChannel(3)), (std::vector<std::string>{"4", "8"}));
        EXPECT_EQ(Items(test.ChannelNames), c.expected);
        EXPECT_EQ(Items(test.Units), (std::vector<std::string>{"u1", "u2", "u3", "u4"}));
    }
}

TEST_F(ProvaTextTest, RaggedRowsAndFieldSplitting) {
    ImpostazioniRec.SetNamesRow(1);
    TDatabuffer buffer;
    Load(buffer,
         "a\tb\tc\n"
         "\n"
         "\n"
         "1\t2\t3\n"       // sets three channels
         "4\t5\t6\t7\t8\n" // extra fields are dropped
         "9\n"             // later channels get no value
         "\n"              // a row number, no value
         "\t\t10\t\n"      // empty fields are values; one trailing TAB adds no field
         " x \t\ty\t\t\n"  // texts stay as they are, the last empty field is dropped
         "11\t12");        // a last line without its line end
    const TdataProva& test = buffer.GetProva(0);
    ASSERT_EQ(test.ChannelCount(), 3);
    EXPECT_EQ(Texts(test.GetChannel(0)),
              (std::vector<std::string>{"1", "4", "9", "", " x ", "11"}));
    EXPECT_EQ(Texts(test.GetChannel(1)), (std::vector<std::string>{"2", "5", "", "", "12"}));
    EXPECT_EQ(Texts(test.GetChannel(2)), (std::vector<std::string>{"3", "6", "10", "y"}));
    EXPECT_EQ(Texts(test.RowIndex), (std::vector<std::string>{"0", "1", "2", "3", "4", "5", "6"}));
    // Texts that are no numbers make the caches 0 when they are recomputed.
    EXPECT_EQ(test.GetChannel(0).Max(), 0);
    EXPECT_EQ(test.GetChannel(2).Min(), 0);
}

TEST_F(ProvaTextTest, LineEndsReadAlike) {
    ImpostazioniRec.SetNamesRow(2);
    const std::vector<std::string> lines = {"head\t1", "n1\tn2", "u1\tu2", "skip",
                                            "1.5\t2",  "",       "3\t4",   "\t5"};
    auto Joined = [&](const std::vector<std::string>& ends, bool final) {
        std::string file;
        for (size_t i = 0; i < lines.size(); ++i) {
            file += lines[i];
            if (i + 1 < lines.size() || final)
                file += ends[i % ends.size()];
        }
        return file;
    };
    TDatabuffer reference;
    const std::string path = Load(reference, Joined({"\r\n"}, true));
    ASSERT_EQ(reference.GetProva(0).RowIndex.Count(), 4);
    const std::string expected = Stored(reference);
    struct Case {
        std::vector<std::string> ends;
        bool final;
    } const cases[] = {
        {{"\n"}, true},
        {{"\r"}, true},
        {{"\r\n"}, false},
        {{"\n"}, false},
        {{"\r", "\n", "\r\n"}, true},
    };
    for (const Case& c : cases) {
        TDatabuffer buffer;
        test::WriteFile(path, Joined(c.ends, c.final));
        LoadProvaText(buffer, path);
        EXPECT_EQ(Stored(buffer), expected) << c.ends.size() << c.ends[0].size() << c.final;
    }
}

TEST_F(ProvaTextTest, LineEndsAndLastFieldsTable) {
    ImpostazioniRec.SetNamesRow(1);
    struct Case {
        const char* name;
        std::string file;
        std::vector<std::vector<std::string>> channels;
        int rows;
    } const cases[] = {
        {"CR LF", "a\tb\r\nu\tv\r\n-\r\n1\t2\r\n3\t4\r\n", {{"1", "3"}, {"2", "4"}}, 2},
        {"LF", "a\tb\nu\tv\n-\n1\t2\n3\t4\n", {{"1", "3"}, {"2", "4"}}, 2},
        {"CR", "a\tb\ru\tv\r-\r1\t2\r3\t4\r", {{"1", "3"}, {"2", "4"}}, 2},
        {"no last end", "a\tb\r\nu\tv\r\n-\r\n1\t2\r\n3\t4", {{"1", "3"}, {"2", "4"}}, 2},
        {"empty last field", "a\tb\r\nu\tv\r\n-\r\n1\t2\t\r\n3\t\r\n", {{"1", "3"}, {"2"}}, 2},
        {"empty last field, no end", "a\tb\nu\tv\n-\n1\t2\n3\t", {{"1", "3"}, {"2"}}, 2},
        {"empty first field", "a\tb\nu\tv\n-\n1\t2\n\t4\n", {{"1", ""}, {"2", "4"}}, 2},
        {"blank last lines", "a\tb\r\nu\tv\r\n-\r\n1\t2\r\n\r\n\n", {{"1"}, {"2"}}, 3},
        {"CR CR LF", "a\tb\nu\tv\n-\n1\t2\r\r\n3\t4", {{"1", "3"}, {"2", "4"}}, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TDatabuffer buffer;
        Load(buffer, c.file);
        ASSERT_EQ(buffer.ProvaCount(), 1);
        const TdataProva& test = buffer.GetProva(0);
        EXPECT_EQ(Items(test.ChannelNames), (std::vector<std::string>{"a", "b"}));
        EXPECT_EQ(Items(test.Units), (std::vector<std::string>{"u", "v"}));
        ASSERT_EQ(test.ChannelCount(), 2);
        EXPECT_EQ(Texts(test.GetChannel(0)), c.channels[0]);
        EXPECT_EQ(Texts(test.GetChannel(1)), c.channels[1]);
        EXPECT_EQ(test.RowIndex.Count(), c.rows);
        EXPECT_EQ(test.GetChannel(2).Count(), 0);
    }
}

TEST_F(ProvaTextTest, RowsThatGrowWiderThanTheFirstRows) {
    // The first rows are narrow, so the room reserved from them is far too small for the
    // rest; every text must arrive whole and in order all the same, long ones included.
    ImpostazioniRec.SetNamesRow(1);
    std::string file = "x\ty\tz\r\nu\r\n-\r\n";
    std::vector<std::vector<std::string>> expected(3);
    int rows = 0;
    for (; rows < 6000; ++rows) {
        const std::string v = std::to_string(rows % 10);
        file += v + "\t" + v + "\t" + v + "\r\n";
        for (auto& channel : expected)
            channel.push_back(v);
    }
    for (int i = 0; i < 40000; ++i, ++rows) {
        const size_t width = i % 500 == 0 ? 300 : 20 + static_cast<size_t>(i % 37);
        const std::string wide(width, static_cast<char>('a' + i % 26));
        const std::string number = std::to_string(i) + ".25";
        if (i % 7 == 0) { // a short row: the third channel gets no value
            file += wide + "\t" + number + "\n";
            expected[0].push_back(wide);
            expected[1].push_back(number);
            continue;
        }
        file += wide + "\t" + number + "\t" + wide + "\textra\tfields\r\n";
        expected[0].push_back(wide);
        expected[1].push_back(number);
        expected[2].push_back(wide);
    }
    TDatabuffer buffer;
    Load(buffer, file);
    ASSERT_EQ(buffer.ProvaCount(), 1);
    const TdataProva& test = buffer.GetProva(0);
    ASSERT_EQ(test.ChannelCount(), 3);
    for (int c = 0; c < 3; ++c) {
        SCOPED_TRACE(c);
        EXPECT_EQ(Texts(test.GetChannel(c)), expected[static_cast<size_t>(c)]);
    }
    ASSERT_EQ(test.RowIndex.Count(), rows);
    EXPECT_EQ(test.RowIndex.GetText(rows - 1), std::to_string(rows - 1));
    EXPECT_EQ(test.GetChannel(1).Max(), 39999.25);
    EXPECT_EQ(test.GetChannel(1).Min(), 0);
    EXPECT_EQ(test.GetChannel(0).Max(), 0); // texts that are no numbers
}

TEST_F(ProvaTextTest, LinesLongerThanTheReadChunk) {
    // Lines of several megabytes, and a CR LF that straddles the reader's 1 MiB chunks.
    ImpostazioniRec.SetNamesRow(1);
    const std::string longName(3 << 20, 'n');
    std::string file = longName + "\r\nu\r\n";
    file += std::string((1 << 20) - 1 - file.size() % (1 << 20), 's') + "\r\n";
    ASSERT_EQ(file.size() % (1 << 20), 1u); // the CR ends a chunk, its LF opens the next
    const std::string longValue(5 << 20, '7');
    file += longValue + "\r\n1\r\n";
    TDatabuffer buffer;
    Load(buffer, file);
    ASSERT_EQ(buffer.ProvaCount(), 1);
    const TdataProva& test = buffer.GetProva(0);
    EXPECT_EQ(test.ChannelNames[0], longName);
    EXPECT_EQ(test.Units[0], "u");
    ASSERT_EQ(test.GetChannel(0).Count(), 2);
    EXPECT_EQ(test.GetChannel(0).GetText(0), longValue);
    EXPECT_EQ(test.GetChannel(0).GetText(1), "1");
}

TEST_F(ProvaTextTest, FileCutInsideADataRowKeepsAShortLastRow) {
    ImpostazioniRec.SetNamesRow(1);
    TDatabuffer buffer;
    Load(buffer, "a\tb\tc\nu\n\n1\t2\t3\n4\t5");
    const TdataProva& test = buffer.GetProva(0);
    EXPECT_EQ(Texts(test.GetChannel(1)), (std::vector<std::string>{"2", "5"}));
    EXPECT_EQ(Texts(test.GetChannel(2)), (std::vector<std::string>{"3"}));
}

TEST_F(ProvaTextTest, PositionsOfALoadModel) {
    // Names from the third field, units from the second, values from the second field of
    // line 2: the first data row has 4 fields.
    const std::string path = Write("x\ta\tb\tc\n"
                                   "#\t1\t2\t3\t4\n"
                                   "y\tu\tv\n"
                                   "#\t5\t6\t7\t8\t9\n");
    int vectors = 0;
    ASSERT_TRUE(CountProvaColumns(2, 2, path, vectors));
    EXPECT_EQ(vectors, 5);
    TdataProva test;
    test.AddChannels(vectors);
    ReadProvaText({}, TCellPos{3, 1}, TCellPos{2, 3}, path, test, TCellPos{2, 2});
    EXPECT_TRUE(test.HeaderCells.Empty());
    EXPECT_EQ(Items(test.ChannelNames), (std::vector<std::string>{"b", "c", "?????", "?????"}));
    EXPECT_EQ(Items(test.Units), (std::vector<std::string>{"u", "v", "?????", "?????"}));
    EXPECT_EQ(Texts(test.GetChannel(0)), (std::vector<std::string>{"1", "u", "5"}));
    EXPECT_EQ(Texts(test.GetChannel(3)), (std::vector<std::string>{"4", "8"}));
}

TEST_F(ProvaTextTest, CountProvaColumnsCases) {
    const std::string path = Write("a\tb\tc\td\n\n\t\n");
    struct Case {
        int32_t startCol;
        int32_t lineNo;
        bool ok;
        int vectors;
    } const cases[] = {
        {0, 1, true, 5}, {1, 1, true, 5}, {3, 1, true, 3},  {4, 1, true, 2},  {9, 1, true, 1},
        {0, 2, true, 1}, {0, 3, true, 2}, {0, 4, false, 0}, {0, 0, false, 0}, {-4, 1, true, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.startCol << "," << c.lineNo);
        int vectors = 0;
        EXPECT_EQ(CountProvaColumns(c.startCol, c.lineNo, path, vectors), c.ok);
        if (c.ok) {
            EXPECT_EQ(vectors, c.vectors);
        }
    }
    int vectors = 0;
    EXPECT_FALSE(CountProvaColumns(0, 1, dir_.File("missing.txt"), vectors));
}

TEST_F(ProvaTextTest, ProgressRunsFromZeroToTheFileSize) {
    std::string file = "n\nu\n-\n";
    for (int i = 0; i < 100000; ++i)
        file += std::to_string(i) + "\t" + std::to_string(i * 3) + "\r\n";
    const std::string path = Write(file);
    std::vector<std::pair<int64_t, int64_t>> calls;
    TdataProva test;
    test.AddChannels(3);
    ReadProvaText([&](int64_t position, int64_t maximum) { calls.emplace_back(position, maximum); },
                  TCellPos{0, 1}, TCellPos{0, 2}, path, test, TCellPos{0, 4});
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls.front(), std::make_pair(int64_t{0}, static_cast<int64_t>(file.size())));
    EXPECT_EQ(calls.back(),
              std::make_pair(static_cast<int64_t>(file.size()), static_cast<int64_t>(file.size())));
    for (size_t i = 1; i < calls.size(); ++i)
        EXPECT_LT(calls[i - 1].first, calls[i].first);
    EXPECT_EQ(test.GetChannel(1).Count(), 100000);
    EXPECT_EQ(test.GetChannel(1).Max(), 99999 * 3);
}

TEST_F(ProvaTextTest, FileNameIsCutToAShortString) {
    ImpostazioniRec.SetNamesRow(1);
    const std::string folder = std::string(200, 'a') + "/";
    ASSERT_TRUE(ForceDirectories(dir_.File(folder)));
    TDatabuffer buffer;
    const std::string path = Write("n\nu\n-\n1\n", folder + std::string(100, 'b'));
    LoadProvaText(buffer, path);
    ASSERT_EQ(buffer.ProvaCount(), 1);
    EXPECT_EQ(buffer.GetProva(0).FileName, path.substr(0, 255));
}

TEST_F(ProvaTextTest, BinaryFilesImportWithoutHarm) {
    NamesRowFromLineOne();
    std::mt19937 random(7);
    int imported = 0;
    for (int round = 0; round < 40; ++round) {
        std::string file(static_cast<size_t>(random() % 5000), '\0');
        for (char& c : file) {
            const unsigned r = random() % 16;
            c = r == 0 ? '\t' : r == 1 ? '\r' : r == 2 ? '\n' : static_cast<char>(random());
        }
        if (round % 2 == 0 && !file.empty())
            file[0] = static_cast<char>('0' + round % 4);
        TDatabuffer buffer;
        Load(buffer, file);
        ASSERT_LE(buffer.ProvaCount(), 1);
        if (buffer.ProvaCount() == 0)
            continue;
        ++imported;
        const TdataProva& test = buffer.GetProva(0);
        EXPECT_EQ(test.ChannelNames.Count(), test.ChannelCount());
        EXPECT_EQ(test.Units.Count(), test.ChannelCount());
        EXPECT_EQ(test.GetChannel(test.ChannelCount()).Count(), 0);
        for (int c = 0; c < test.ChannelCount(); ++c)
            EXPECT_LE(test.GetChannel(c).Count(), test.RowIndex.Count());
    }
    EXPECT_GT(imported, 5);
}

} // namespace
} // namespace vx
