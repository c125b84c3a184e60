#include "platform/graphics/FontSubset.h"

#include "support/TestSupport.h"

#include <QByteArray>
#include <QImage>
#include <QPainterPath>
#include <QRawFont>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace vx {
namespace {

using test::FromHex;
using test::HexBytes;

// ---- Reading sfnt data, independently of the code under test ----

uint16_t U16At(std::string_view b, size_t at) {
    return static_cast<uint16_t>(uint8_t(b[at]) << 8 | uint8_t(b[at + 1]));
}

uint32_t U32At(std::string_view b, size_t at) {
    return uint32_t(U16At(b, at)) << 16 | U16At(b, at + 2);
}

uint32_t WordSum(std::string_view b) {
    std::string padded(b);
    padded.append((4 - padded.size() % 4) % 4, '\0');
    uint32_t sum = 0;
    for (size_t at = 0; at < padded.size(); at += 4)
        sum += U32At(padded, at);
    return sum;
}

struct TableEntry {
    uint32_t CheckSum;
    uint32_t Offset;
    uint32_t Length;
};

std::map<std::string, TableEntry> Directory(std::string_view font) {
    std::map<std::string, TableEntry> out;
    const uint16_t n = U16At(font, 4);
    for (size_t i = 0; i < n; ++i) {
        const size_t r = 12 + 16 * i;
        out[std::string(font.substr(r, 4))] = {U32At(font, r + 4), U32At(font, r + 8),
                                               U32At(font, r + 12)};
    }
    return out;
}

std::string_view TableData(std::string_view font, const std::string& tag) {
    const auto dir = Directory(font);
    auto it = dir.find(tag);
    if (it == dir.end())
        return {};
    return font.substr(it->second.Offset, it->second.Length);
}

uint16_t NumGlyphs(std::string_view font) {
    return U16At(TableData(font, "maxp"), 4);
}

// The bytes loca gives the glyph, as a reader finds them.
std::string_view GlyphData(std::string_view font, uint32_t glyph) {
    const bool longLoca = U16At(TableData(font, "head"), 50) == 1;
    const std::string_view loca = TableData(font, "loca");
    const std::string_view glyf = TableData(font, "glyf");
    const uint32_t start = longLoca ? U32At(loca, glyph * 4) : U16At(loca, glyph * 2) * 2u;
    const uint32_t end = longLoca ? U32At(loca, glyph * 4 + 4) : U16At(loca, glyph * 2 + 2) * 2u;
    return glyf.substr(start, end - start);
}

// Everything a reader checks in the table directory, plus the checksums.
void ExpectWellFormed(std::string_view font) {
    ASSERT_GE(font.size(), 12u);
    EXPECT_EQ(U32At(font, 0), 0x00010000u);
    const uint16_t n = U16At(font, 4);
    ASSERT_GE(font.size(), 12u + 16u * n);
    uint16_t power = 1;
    uint16_t log2 = 0;
    while (power * 2 <= n) {
        power *= 2;
        ++log2;
    }
    EXPECT_EQ(U16At(font, 6), power * 16);
    EXPECT_EQ(U16At(font, 8), log2);
    EXPECT_EQ(U16At(font, 10), n * 16 - power * 16);
    size_t expectedOffset = 12 + 16 * n;
    for (size_t i = 0; i < n; ++i) {
        const size_t r = 12 + 16 * i;
        const std::string tag(font.substr(r, 4));
        if (i > 0) {
            EXPECT_LT(U32At(font, r - 16), U32At(font, r)) << "tags out of order at " << tag;
        }
        const uint32_t offset = U32At(font, r + 8);
        const uint32_t length = U32At(font, r + 12);
        EXPECT_EQ(offset, expectedOffset) << tag;
        ASSERT_LE(size_t(offset) + length, font.size()) << tag;
        const size_t padded = (length + 3) / 4 * 4;
        ASSERT_LE(offset + padded, font.size()) << tag;
        EXPECT_EQ(font.substr(offset + length, padded - length), std::string(padded - length, '\0'))
            << tag;
        std::string data(font.substr(offset, length));
        if (tag == "head")
            data.replace(8, 4, 4, '\0');
        EXPECT_EQ(U32At(font, r + 4), WordSum(data)) << tag;
        expectedOffset = offset + padded;
    }
    EXPECT_EQ(expectedOffset, font.size());
    EXPECT_EQ(WordSum(font), 0xB1B0AFBAu);
}

// ---- A font of a few glyphs, built here byte by byte ----

std::string Be16(uint16_t v) {
    return {char(v >> 8), char(v)};
}

std::string Be32(uint32_t v) {
    return Be16(uint16_t(v >> 16)) + Be16(uint16_t(v));
}

// One contour of one point, 18 bytes (a length that needs padding to a word).
std::string SimpleGlyph(uint8_t size) {
    return FromHex("0001 0000 0000") + Be16(size) + Be16(size) + FromHex("0000 0000 37") +
           std::string(2, char(size)) + std::string(1, '\0');
}

struct Component {
    uint16_t Flags;
    uint16_t Glyph;
};

// Arguments and transform are filled with zeros of the size the flags announce.
std::string CompositeGlyph(const std::vector<Component>& components) {
    std::string g = FromHex("FFFF 0000 0000 0000 0000");
    for (const Component& c : components) {
        g += Be16(c.Flags) + Be16(c.Glyph);
        size_t extra = (c.Flags & 0x0001) ? 4 : 2;
        if (c.Flags & 0x0008)
            extra += 2;
        else if (c.Flags & 0x0040)
            extra += 4;
        else if (c.Flags & 0x0080)
            extra += 8;
        g.append(extra, '\x11');
    }
    return g;
}

using Tables = std::vector<std::pair<std::string, std::string>>;

// Tables in the order given, each padded to a word except the last, so that cutting any
// byte off the end cuts a table.
std::string Sfnt(const Tables& tables, uint32_t version = 0x00010000) {
    std::string dir = Be32(version) + Be16(uint16_t(tables.size())) + FromHex("0000 0000 0000");
    std::string body;
    size_t offset = 12 + 16 * tables.size();
    for (size_t i = 0; i < tables.size(); ++i) {
        const auto& [tag, data] = tables[i];
        dir += tag + Be32(0) + Be32(uint32_t(offset)) + Be32(uint32_t(data.size()));
        body += data;
        if (i + 1 < tables.size())
            body.append((4 - body.size() % 4) % 4, '\0');
        offset = 12 + 16 * tables.size() + body.size();
    }
    return dir + body;
}

std::string Head(uint16_t indexToLocFormat) {
    return FromHex("00010000 00010000 12345678 5F0F3CF5 000B 03E8") + std::string(16, '\x01') +
           FromHex("0000 0000 03E8 03E8 0000 0008 0002") + Be16(indexToLocFormat) + FromHex("0000");
}

struct Tiny {
    std::vector<std::string> Glyphs;
    bool LongLoca = false;
    int NumGlyphs = -1; // the glyph count unless set
    std::string HeadTable;

    Tables Build() const {
        std::string glyf;
        std::string loca;
        for (const std::string& g : Glyphs) {
            loca += LongLoca ? Be32(uint32_t(glyf.size())) : Be16(uint16_t(glyf.size() / 2));
            glyf += g;
        }
        loca += LongLoca ? Be32(uint32_t(glyf.size())) : Be16(uint16_t(glyf.size() / 2));
        const uint16_t n = uint16_t(NumGlyphs < 0 ? Glyphs.size() : NumGlyphs);
        return {{"head", HeadTable.empty() ? Head(LongLoca ? 1 : 0) : HeadTable},
                {"maxp", FromHex("00005000") + Be16(n)},
                {"loca", loca},
                {"kern", FromHex("0000 0000")},
                {"glyf", glyf}};
    }
    std::string Font() const { return Sfnt(Build()); }
};

// 0..3 simple, 4 = 1 moved, 5 = 1 + 3 + 6 with every kind of argument and transform.
Tiny TinyFont() {
    Tiny t;
    t.Glyphs = {SimpleGlyph(10),
                SimpleGlyph(11),
                SimpleGlyph(12),
                SimpleGlyph(13),
                CompositeGlyph({{0x0002, 1}}),
                CompositeGlyph({{0x0001 | 0x0002 | 0x0008 | 0x0020, 1},
                                {0x0002 | 0x0040 | 0x0020, 3},
                                {0x0002 | 0x0080, 6}}),
                SimpleGlyph(16)};
    return t;
}

// A copy in a buffer of its own exact size, so that reading past the end is caught.
std::string Subset(std::string_view font, const std::vector<uint32_t>& glyphs) {
    const std::unique_ptr<char[]> exact(new char[font.size() + 1]);
    std::copy(font.begin(), font.end(), exact.get());
    return SubsetTrueType(std::string_view(exact.get(), font.size()), glyphs);
}

std::string LiberationFile(const std::string& name) {
    for (const char* folder :
         {"/usr/share/fonts/truetype/liberation2/", "/usr/share/fonts/truetype/liberation/"})
        if (std::filesystem::exists(folder + name))
            return folder + name;
    return {};
}

std::string LiberationSans() {
    const std::string file = LiberationFile("LiberationSans-Regular.ttf");
    EXPECT_FALSE(file.empty()) << "Liberation Sans is not installed";
    return file.empty() ? std::string() : test::ReadFile(file);
}

QRawFont RawFont(const std::string& font, double pixelSize = 2048,
                 QFont::HintingPreference hinting = QFont::PreferNoHinting) {
    return QRawFont(QByteArray(font.data(), qsizetype(font.size())), pixelSize, hinting);
}

std::vector<uint32_t> GlyphsFor(const QRawFont& font, const QString& text) {
    std::vector<uint32_t> out;
    for (quint32 g : font.glyphIndexesForString(text))
        out.push_back(g);
    return out;
}

// ---- The byte layout ----

TEST(FontSubsetTest, GoldenBytesOfASmallFont) {
    Tiny t;
    t.Glyphs = {SimpleGlyph(10), SimpleGlyph(11), CompositeGlyph({{0x0002, 1}}), SimpleGlyph(13)};
    const std::string subset = Subset(t.Font(), {2});
    // Sorted directory without kern; every glyph padded to a word, glyph 3 empty; short loca
    // kept; head's checkSumAdjustment makes the whole come to B1B0AFBA.
    EXPECT_EQ(HexBytes(subset),
              HexBytes(FromHex("00010000 0004 0040 0002 0000"
                               "676C7966 15177F3D 0000004C 00000038" // glyf
                               "68656164 670A48D1 00000084 00000036" // head
                               "6C6F6361 00300026 000000BC 0000000A" // loca
                               "6D617870 00045000 000000C8 00000006" // maxp
                               "0001 0000 0000 000A 000A 0000 0000 37 0A0A 00 0000"
                               "0001 0000 0000 000B 000B 0000 0000 37 0B0B 00 0000"
                               "FFFF 0000 0000 0000 0000 0002 0001 1111"
                               "00010000 00010000 0F5AC5A5 5F0F3CF5 000B 03E8"
                               "01010101 01010101 01010101 01010101"
                               "0000 0000 03E8 03E8 0000 0008 0002 0000 0000 0000"
                               "0000 000A 0014 001C 001C 0000"
                               "00005000 0004 0000")));
    ExpectWellFormed(subset);
}

TEST(FontSubsetTest, KeepsListedGlyphsGlyphZeroAndComponents) {
    const std::string font = TinyFont().Font();
    struct Case {
        std::vector<uint32_t> Asked;
        std::set<uint32_t> Kept;
    };
    const Case cases[] = {
        {{}, {0}},
        {{2}, {0, 2}},
        {{4}, {0, 1, 4}},
        {{5}, {0, 1, 3, 5, 6}},
        {{5, 4, 5, 2}, {0, 1, 2, 3, 4, 5, 6}},
        // Past the last glyph, also where a 16-bit truncation would land on a real one.
        {{7, 1000, 65536 + 2, 0xFFFFFFFF}, {0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.Asked));
        const std::string subset = Subset(font, c.Asked);
        ASSERT_FALSE(subset.empty());
        ExpectWellFormed(subset);
        ASSERT_EQ(NumGlyphs(subset), 7);
        for (uint32_t g = 0; g < 7; ++g) {
            const std::string_view data = GlyphData(subset, g);
            if (!c.Kept.count(g)) {
                EXPECT_TRUE(data.empty()) << g;
                continue;
            }
            const std::string_view original = GlyphData(font, g);
            EXPECT_EQ(data.substr(0, original.size()), original) << g;
            EXPECT_EQ(data.size(), (original.size() + 3) / 4 * 4) << g;
        }
    }
}

TEST(FontSubsetTest, ShortLocaTurnsLongWhenPaddingOverrunsIt) {
    // Three glyphs of 43682 bytes fit the short form (up to 131070) only without padding.
    Tiny t;
    const std::string big = FromHex("0000 0000 0000 0000 0000") + std::string(43672, '\0');
    t.Glyphs = {SimpleGlyph(10), big, big, big};
    const std::string font = t.Font();
    ASSERT_EQ(TableData(font, "glyf").size(), 131064u);

    const std::string all = Subset(font, {1, 2, 3});
    ExpectWellFormed(all);
    EXPECT_EQ(U16At(TableData(all, "head"), 50), 1);
    EXPECT_EQ(HexBytes(TableData(all, "loca")),
              HexBytes(FromHex("00000000 00000014 0000AAB8 0001555C 00020000")));

    const std::string some = Subset(font, {1, 2});
    ExpectWellFormed(some);
    EXPECT_EQ(U16At(TableData(some, "head"), 50), 0);
    EXPECT_EQ(HexBytes(TableData(some, "loca")), HexBytes(FromHex("0000 000A 555C AAAE AAAE")));
}

TEST(FontSubsetTest, LongLocaStaysLong) {
    Tiny t = TinyFont();
    t.LongLoca = true;
    const std::string subset = Subset(t.Font(), {4});
    ExpectWellFormed(subset);
    EXPECT_EQ(U16At(TableData(subset, "head"), 50), 1);
    EXPECT_EQ(HexBytes(TableData(subset, "loca")),
              HexBytes(FromHex("00000000 00000014 00000028 00000028 00000028 00000038 "
                               "00000038 00000038")));
}

// ---- Malformed input ----

TEST(FontSubsetTest, EveryTruncationIsRejected) {
    const std::string font = TinyFont().Font();
    ASSERT_FALSE(Subset(font, {5}).empty());
    for (size_t size = 0; size < font.size(); ++size)
        EXPECT_EQ(Subset(font.substr(0, size), {5}), "") << size;
}

TEST(FontSubsetTest, MalformedFontsGiveNothing) {
    const std::string sans = LiberationSans();
    ASSERT_FALSE(sans.empty());
    const auto sansDir = Directory(sans);
    const TableEntry glyf = sansDir.at("glyf");
    size_t end = 0;
    for (const auto& entry : sansDir)
        end = std::max<size_t>(end, entry.second.Offset + entry.second.Length);
    const size_t glyfRecord = [&] {
        for (size_t r = 12;; r += 16)
            if (sans.substr(r, 4) == "glyf")
                return r;
    }();

    auto tiny = [](const std::function<void(Tiny&)>& change) {
        Tiny t = TinyFont();
        change(t);
        return t.Font();
    };
    auto tinyTables = [](const std::function<void(Tables&)>& change) {
        Tables tables = TinyFont().Build();
        change(tables);
        return Sfnt(tables);
    };
    auto patched = [](std::string bytes, size_t at, const std::string& with) {
        return bytes.replace(at, with.size(), with);
    };

    struct Case {
        const char* Name;
        std::string Font;
        std::vector<uint32_t> Glyphs;
    };
    const Case cases[] = {
        {"empty", "", {1}},
        {"header cut", sans.substr(0, 11), {1}},
        {"directory cut", sans.substr(0, 12 + 16 * sansDir.size() - 1), {1}},
        {"glyf cut", sans.substr(0, glyf.Offset + glyf.Length / 2), {1}},
        {"last table cut", sans.substr(0, end - 1), {1}},
        {"CFF outlines", patched(sans, 0, "OTTO"), {1}},
        {"collection", patched(sans, 0, "ttcf"), {1}},
        {"unknown version", patched(sans, 0, Be32(0x00020000)), {1}},
        {"table past the end", patched(sans, glyfRecord + 8, Be32(0xFFFFFFF0)), {1}},
        {"length past the end", patched(sans, glyfRecord + 12, Be32(0xFFFFFFF0)), {1}},
        {"loca past glyf",
         tinyTables([](Tables& t) { t[2].second.replace(14, 2, Be16(0x0100)); }),
         {1}},
        {"loca backwards for a kept glyph",
         tinyTables([](Tables& t) { t[2].second.replace(4, 2, Be16(0x0020)); }),
         {2}},
        {"composite uses itself",
         tiny([](Tiny& t) {
             t.Glyphs[4] = CompositeGlyph({{0x0002, 4}});
         }),
         {4}},
        {"composites use each other",
         tiny([](Tiny& t) {
             t.Glyphs[4] = CompositeGlyph({{0x0002 | 0x0020, 1}, {0x0002, 5}});
             t.Glyphs[5] = CompositeGlyph({{0x0002, 4}});
         }),
         {5}},
        {"component past the last glyph",
         tiny([](Tiny& t) {
             t.Glyphs[4] = CompositeGlyph({{0x0002, 7}});
         }),
         {4}},
        {"more components promised",
         tiny([](Tiny& t) {
             t.Glyphs[4] = CompositeGlyph({{0x0002 | 0x0020, 1}});
         }),
         {4}},
        {"component transform cut",
         tiny([](Tiny& t) {
             t.Glyphs[4] = CompositeGlyph({{0x0002 | 0x0080, 1}}).substr(0, 20);
         }),
         {4}},
        {"glyph shorter than its header",
         tiny([](Tiny& t) { t.Glyphs[1] = FromHex("0001 0000"); }),
         {1}},
        {"glyph 0 broken",
         tiny([](Tiny& t) {
             t.Glyphs[0] = CompositeGlyph({{0x0002, 0}});
         }),
         {}},
        {"no glyphs", tiny([](Tiny& t) { t.NumGlyphs = 0; }), {}},
        {"loca shorter than the glyph count", tiny([](Tiny& t) { t.NumGlyphs = 8; }), {1}},
        {"unknown loca format", tiny([](Tiny& t) { t.HeadTable = Head(2); }), {1}},
        {"head cut", tiny([](Tiny& t) { t.HeadTable = Head(0).substr(0, 52); }), {1}},
        {"no loca", tinyTables([](Tables& t) { t.erase(t.begin() + 2); }), {1}},
        {"no glyf",
         Sfnt([] {
             Tiny t;
             t.Glyphs = {"", ""};
             Tables tables = t.Build();
             tables.pop_back();
             return tables;
         }()),
         {}},
        {"twice the same table", tinyTables([](Tables& t) { t[3] = t[1]; }), {1}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Subset(c.Font, c.Glyphs), "") << c.Name;
}

TEST(FontSubsetTest, DamagedBytesNeverCrash) {
    // Whatever the damage, the answer is nothing or a font whose directory holds.
    const std::string font = TinyFont().Font();
    uint32_t seed = 12345;
    for (int round = 0; round < 2000; ++round) {
        std::string damaged = font;
        for (int i = 0; i < 3; ++i) {
            seed = seed * 1103515245u + 12345u;
            damaged[(seed >> 8) % damaged.size()] = char(seed >> 24);
        }
        const std::string subset = Subset(damaged, {1, 4, 5});
        if (!subset.empty())
            ExpectWellFormed(subset);
    }
}

// ---- A real font, read back by Qt ----

TEST(FontSubsetTest, KeptGlyphsDrawAsBeforeAndOthersAreEmpty) {
    const std::string sans = LiberationSans();
    ASSERT_FALSE(sans.empty());
    const QRawFont original = RawFont(sans);
    ASSERT_TRUE(original.isValid());
    const std::vector<uint32_t> hello = GlyphsFor(original, "Hello");
    const std::string subset = Subset(sans, hello);
    ExpectWellFormed(subset);
    const QRawFont raw = RawFont(subset);
    ASSERT_TRUE(raw.isValid());

    EXPECT_LT(subset.size(), sans.size() / 5);
    EXPECT_EQ(GlyphsFor(raw, "Hello"), hello); // the cmap still finds the glyphs

    std::set<uint32_t> kept(hello.begin(), hello.end());
    kept.insert(0);
    const uint16_t numGlyphs = NumGlyphs(sans);
    ASSERT_EQ(NumGlyphs(subset), numGlyphs);
    QList<quint32> all;
    for (uint32_t g = 0; g < numGlyphs; ++g) {
        all.push_back(g);
        const QPainterPath before = original.pathForGlyph(g);
        const QPainterPath after = raw.pathForGlyph(g);
        if (kept.count(g)) {
            EXPECT_FALSE(after.isEmpty()) << g;
            EXPECT_TRUE(after == before) << g;
        } else {
            EXPECT_TRUE(after.isEmpty()) << g;
        }
    }
    EXPECT_EQ(raw.advancesForGlyphIndexes(all, QRawFont::UseDesignMetrics),
              original.advancesForGlyphIndexes(all, QRawFont::UseDesignMetrics));
}

TEST(FontSubsetTest, HintedGlyphsRasteriseAsBefore) {
    // Hinting runs the font's programs on its control values: without them small sizes snap
    // differently (outlines from Qt are never hinted, rasterised glyphs are).
    const std::string sans = LiberationSans();
    ASSERT_FALSE(sans.empty());
    const std::vector<uint32_t> glyphs = GlyphsFor(RawFont(sans), "Hamburgefonts");
    const std::string subset = Subset(sans, glyphs);
    for (double size : {9.0, 11.0, 13.0, 17.0}) {
        const QRawFont before = RawFont(sans, size, QFont::PreferFullHinting);
        const QRawFont after = RawFont(subset, size, QFont::PreferFullHinting);
        ASSERT_TRUE(after.isValid());
        for (uint32_t g : glyphs)
            EXPECT_TRUE(after.alphaMapForGlyph(g) == before.alphaMapForGlyph(g))
                << size << " " << g;
    }
}

TEST(FontSubsetTest, AccentedLettersBringTheirParts) {
    // In Liberation Sans these are composites of the base letter and the accent.
    const std::string sans = LiberationSans();
    ASSERT_FALSE(sans.empty());
    const QRawFont original = RawFont(sans);
    const uint16_t numGlyphs = NumGlyphs(sans);
    struct Case {
        QString Letter;
        QString Base;
        int Drawn; // .notdef, the letter, its base and its accents
    };
    const Case cases[] = {{"Å", "A", 4}, {"ö", "o", 4}, {"é", "e", 4}, {"ǻ", "a", 5}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Letter.toStdString());
        const uint32_t letter = GlyphsFor(original, c.Letter).at(0);
        const uint32_t base = GlyphsFor(original, c.Base).at(0);
        ASSERT_LT(int16_t(U16At(GlyphData(sans, letter), 0)), 0) << "not a composite";
        const std::string subset = Subset(sans, {letter});
        const QRawFont raw = RawFont(subset);
        ASSERT_TRUE(raw.isValid());
        EXPECT_FALSE(raw.pathForGlyph(letter).isEmpty());
        EXPECT_TRUE(raw.pathForGlyph(letter) == original.pathForGlyph(letter));
        EXPECT_TRUE(raw.pathForGlyph(base) == original.pathForGlyph(base));
        int drawn = 0;
        for (uint32_t g = 0; g < numGlyphs; ++g)
            drawn += !GlyphData(subset, g).empty();
        EXPECT_EQ(drawn, c.Drawn);
    }
}

TEST(FontSubsetTest, EveryLiberationFaceKeepsTheTablesAViewerNeeds) {
    const std::set<std::string> kept = {"head", "hhea", "hmtx", "maxp", "loca", "glyf", "cvt ",
                                        "fpgm", "prep", "cmap", "name", "OS/2", "post", "gasp"};
    int faces = 0;
    for (const char* family : {"Sans", "Serif", "Mono"}) {
        for (const char* style : {"Regular", "Bold", "Italic", "BoldItalic"}) {
            const std::string file =
                LiberationFile(std::string("Liberation") + family + "-" + style + ".ttf");
            if (file.empty())
                continue;
            SCOPED_TRACE(file);
            ++faces;
            const std::string font = test::ReadFile(file);
            const QRawFont original = RawFont(font);
            const std::string subset = Subset(font, GlyphsFor(original, "Ärger über Öl, 0-9 €"));
            ExpectWellFormed(subset);
            std::set<std::string> expected;
            for (const auto& entry : Directory(font))
                if (kept.count(entry.first))
                    expected.insert(entry.first);
            std::set<std::string> tags;
            for (const auto& entry : Directory(subset))
                tags.insert(entry.first);
            EXPECT_EQ(tags, expected);
            for (const std::string& tag : expected) {
                if (tag != "head" && tag != "loca" && tag != "glyf") {
                    EXPECT_EQ(TableData(subset, tag), TableData(font, tag)) << tag;
                }
            }
            const QRawFont raw = RawFont(subset);
            EXPECT_TRUE(raw.isValid());
            EXPECT_EQ(raw.familyName(), original.familyName());
        }
    }
    EXPECT_EQ(faces, 12);
}

} // namespace
} // namespace vx
