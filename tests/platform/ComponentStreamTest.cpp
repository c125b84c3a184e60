#include "MetaFixtures.h"
#include "support/TestSupport.h"

#include "platform/runtime/ComponentStream.h"
#include "platform/runtime/Streams.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace vx;
using vx::test::FromHex;
using vx::test::HexBytes;
using vx::test::TTestColumn;
using vx::test::TTestWidget;

namespace {

std::string SStr(std::string_view s) {
    return std::string(1, static_cast<char>(s.size())) + std::string(s);
}

// One property entry: its name and the value bytes given in hex.
std::string Entry(std::string_view name, std::string_view hexValue) {
    return SStr(name) + FromHex(hexValue);
}

std::string Head(std::string_view name = "W1") {
    return "TPF0" + SStr("TTestWidget") + SStr(name);
}

// The entries a new widget always writes: Count (no default), Maximum (not 0), Formato (not
// empty) and Color (no default, named).
const std::string countZero = Entry("Count", "02 00");
const std::string tail = Entry("Maximum", "05 00 00 00 00 00 00 00 C8 05 40") +
                         Entry("Formato", "06 03") + "0.0" + Entry("Color", "07 07") + "clWhite";
const std::string end = FromHex("00 00");

std::string Written(const TTestWidget& w) {
    return ComponentToBytes(w);
}

std::string ReadError(std::string_view bytes, TPersistent& into) {
    try {
        ComponentFromBytes(bytes, into);
    } catch (const EReadError& e) {
        return e.Message;
    }
    return "no error";
}

} // namespace

TEST(ComponentStreamTest, NewObjectWritesOnlyWhatDiffersFromItsDefaults) {
    TTestWidget w;
    w.SetName("W1");
    EXPECT_EQ(HexBytes(Written(w)), HexBytes(Head() + countZero + tail + end));

    TTestWidget back;
    back.Count = 9;
    back.Maximum = 1;
    ComponentFromBytes(Written(w), back);
    EXPECT_EQ(back.Name(), "W1");
    EXPECT_EQ(back.Count, 0);
    EXPECT_EQ(back.Maximum, 100);
    EXPECT_EQ(back.Formato, "0.0");
    EXPECT_EQ(back.Color, 0xFFFFFF);
    EXPECT_EQ(back.Kind, vx::test::TTestKind::tkLine);
    EXPECT_EQ(back.LoadedCalls, 1);
    EXPECT_EQ(back.ComponentState() & (csLoading | csReading), 0u);
}

TEST(ComponentStreamTest, IntegersTakeTheSmallestTag) {
    struct Case {
        int32_t value;
        const char* hex;
    } cases[] = {{127, "02 7F"},
                 {128, "03 80 00"},
                 {40000, "04 40 9C 00 00"},
                 {-129, "03 7F FF"},
                 {-128, "02 80"},
                 {-32768, "03 00 80"},
                 {-32769, "04 FF 7F FF FF"},
                 {INT32_MIN, "04 00 00 00 80"}};
    for (const Case& c : cases) {
        TTestWidget w;
        w.SetName("W1");
        w.Count = c.value;
        EXPECT_EQ(HexBytes(Written(w)), HexBytes(Head() + Entry("Count", c.hex) + tail + end))
            << c.value;
        TTestWidget back;
        ComponentFromBytes(Written(w), back);
        EXPECT_EQ(back.Count, c.value);
    }
}

TEST(ComponentStreamTest, Int64UsesItsOwnTagOnlyOutsideThe32BitRange) {
    TTestWidget w;
    w.SetName("W1");
    w.Big = int64_t(1) << 40;
    std::string expected = Head() + countZero + Entry("Big", "13 00 00 00 00 00 01 00 00") + tail;
    EXPECT_EQ(HexBytes(Written(w)), HexBytes(expected + end));
    TTestWidget back;
    ComponentFromBytes(Written(w), back);
    EXPECT_EQ(back.Big, int64_t(1) << 40);
    w.Big = -5;
    EXPECT_EQ(HexBytes(Written(w)),
              HexBytes(Head() + countZero + Entry("Big", "02 FB") + tail + end));
}

TEST(ComponentStreamTest, FloatsAreExtendedAndRoundTripExactly) {
    TTestWidget w;
    w.SetName("W1");
    w.Maximum = 1.0;
    std::string bytes = Written(w);
    std::string one = Entry("Maximum", "05 00 00 00 00 00 00 00 80 FF 3F");
    EXPECT_NE(bytes.find(one), std::string::npos) << HexBytes(bytes);

    for (double v : {0.1, 1.0 / 3, -1e300, 5e-324, 123456.789, -0.0 + 1e-310}) {
        w.Minimum = v;
        TTestWidget back;
        ComponentFromBytes(Written(w), back);
        EXPECT_EQ(back.Minimum, v);
    }
}

TEST(ComponentStreamTest, ZeroAndEmptyAreWrittenWhenTheConstructorSetsOtherwise) {
    TTestWidget w;
    w.SetName("W1");
    w.Maximum = 0;  // the constructor sets 100
    w.Formato = ""; // the constructor sets "0.0"
    w.Minimum = 0;  // the constructor sets 0 as well: left out
    std::string expected = Head() + countZero +
                           Entry("Maximum", "05 00 00 00 00 00 00 00 00 00 00") +
                           Entry("Formato", "06 00") + Entry("Color", "07 07") + "clWhite";
    EXPECT_EQ(HexBytes(Written(w)), HexBytes(expected + end));
    TTestWidget back;
    ComponentFromBytes(Written(w), back);
    EXPECT_EQ(back.Maximum, 0);
    EXPECT_EQ(back.Formato, "");
}

TEST(ComponentStreamTest, StringsByLength) {
    TTestWidget w;
    w.SetName("W1");
    w.Caption = std::string(255, 'a');
    EXPECT_EQ(HexBytes(Written(w)),
              HexBytes(Head() + countZero + tail.substr(0, 19) + Entry("Caption", "06 FF") +
                       std::string(255, 'a') + tail.substr(19) + end));
    w.Caption = std::string(256, 'b');
    std::string bytes = Written(w);
    std::string longEntry = Entry("Caption", "0C 00 01 00 00") + std::string(256, 'b');
    EXPECT_NE(bytes.find(longEntry), std::string::npos);

    // A ShortString property keeps 255 bytes of a longer stored text; a long string keeps all.
    TTestWidget back;
    ComponentFromBytes(bytes, back);
    EXPECT_EQ(back.Caption, std::string(255, 'b'));
    w.Formula = std::string(300, 'x');
    ComponentFromBytes(Written(w), back);
    EXPECT_EQ(back.Formula, std::string(300, 'x'));
}

TEST(ComponentStreamTest, TextsBeyondAsciiTravelAsUtf8) {
    TTestWidget w;
    w.SetName("W1");
    w.Caption = "\xA7 1";
    std::string bytes = Written(w);
    EXPECT_NE(bytes.find(Entry("Caption", "14 04 00 00 00 C2 A7 20 31")), std::string::npos);
    TTestWidget back;
    ComponentFromBytes(bytes, back);
    EXPECT_EQ(back.Caption, "\xA7 1");

    // UTF-16 strings of other writers are read as well.
    std::string wide = Head() + Entry("Caption", "12 02 00 00 00 A7 00 AC 20") + end;
    ComponentFromBytes(wide, back);
    EXPECT_EQ(back.Caption, "\xA7\x80");
}

TEST(ComponentStreamTest, BooleansEnumerationsAndSets) {
    TTestWidget w;
    w.SetName("W1");
    w.Flag = true;
    w.Kind = vx::test::TTestKind::tkBar;
    w.Options = 0b101;
    std::string expected = Head() + countZero + tail.substr(0, 19) + tail.substr(19, 13) +
                           Entry("Flag", "09") + Entry("Kind", "07 05") + "tkBar" +
                           Entry("Options", "0B 06") + "toBold" + SStr("toUnderline") +
                           FromHex("00") + tail.substr(32) + end;
    EXPECT_EQ(HexBytes(Written(w)), HexBytes(expected));
    TTestWidget back;
    ComponentFromBytes(Written(w), back);
    EXPECT_TRUE(back.Flag);
    EXPECT_EQ(back.Kind, vx::test::TTestKind::tkBar);
    EXPECT_EQ(back.Options, 0b101u);
}

TEST(ComponentStreamTest, ColoursAreWrittenByNameWhenTheyHaveOne) {
    TTestWidget w;
    w.SetName("W1");
    w.Color = 0x123456;
    std::string bytes = Written(w);
    EXPECT_NE(bytes.find(Entry("Color", "04 56 34 12 00")), std::string::npos);

    TTestWidget back;
    back.Color = 0;
    ComponentFromBytes(Head() + Entry("Color", "07 07") + "clWhite" + end, back);
    EXPECT_EQ(back.Color, 0xFFFFFF);
    EXPECT_EQ(ReadError(Head() + Entry("Color", "07 05") + "clRed" + end, back),
              "Error reading W1.Color: Invalid property value");
}

TEST(ComponentStreamTest, NestedObjectsUseDottedPaths) {
    TTestWidget w;
    w.SetName("W1");
    w.Border->Width = 3;
    w.Border->Color = 0xFFFFFF;
    w.Border->Visible = false;
    std::string expected = Head() + countZero + tail + Entry("Border.Visible", "08") +
                           Entry("Border.Width", "02 03") + Entry("Border.Color", "07 07") +
                           "clWhite" + end;
    EXPECT_EQ(HexBytes(Written(w)), HexBytes(expected));
    TTestWidget back;
    ComponentFromBytes(Written(w), back);
    EXPECT_EQ(back.Border->Width, 3);
    EXPECT_EQ(back.Border->Color, 0xFFFFFF);
    EXPECT_FALSE(back.Border->Visible);
}

TEST(ComponentStreamTest, StringListsBitmapsReferencesAndBinaryProperties) {
    TComponent owner;
    auto* other = new TComponent(&owner);
    other->SetName("Other");
    auto* w = new TTestWidget(&owner);
    w->SetName("W1");
    w->Items.Add("a");
    w->Items.Add("bb");
    const std::string bmp = "BM" + FromHex("06 00 00 00");
    w->Picture = bmp;
    w->Buddy = other;
    w->Private = "xyz";
    std::string expected =
        Head() + countZero + tail + Entry("Items.Strings", "01 06 01") + "a" + FromHex("06 02") +
        "bb" + FromHex("00") + Entry("Picture.Data", "0A 0A 00 00 00 06 00 00 00") + bmp +
        Entry("Buddy", "07 05") + "Other" + Entry("Blob", "0A 03 00 00 00") + "xyz" + end;
    EXPECT_EQ(HexBytes(Written(*w)), HexBytes(expected));

    auto* back = new TTestWidget(&owner);
    ComponentFromBytes(Written(*w), *back);
    EXPECT_EQ(back->Name(), "W1_1");
    EXPECT_EQ(back->Items.Text(), "a\r\nbb\r\n");
    EXPECT_EQ(back->Picture, bmp);
    EXPECT_EQ(back->Buddy, other);
    EXPECT_EQ(back->Private, "xyz");
}

TEST(ComponentStreamTest, EmptyBitmapIsLeftOut) {
    TTestWidget w;
    w.Picture = "";
    EXPECT_EQ(Written(w).find("Picture"), std::string::npos);
}

TEST(ComponentStreamTest, ReadErrorsCarryTheClassLibraryTexts) {
    TTestWidget w;
    EXPECT_EQ(ReadError("TPF1" + SStr("TTestWidget") + SStr("W1") + end, w),
              "Invalid stream format");
    EXPECT_EQ(ReadError("TP", w), "Invalid stream format");
    EXPECT_EQ(ReadError(Head() + Entry("Foo", "02 01") + end, w),
              "Error reading W1.Foo: Property Foo does not exist");
    EXPECT_EQ(ReadError(Head() + Entry("Border.Foo", "02 01") + end, w),
              "Error reading W1.Border.Foo: Property Foo does not exist");
    EXPECT_EQ(ReadError(Head() + Entry("Count", "06 01") + "x" + end, w),
              "Error reading W1.Count: Invalid property value");
    EXPECT_EQ(ReadError(Head() + Entry("Kind", "07 05") + "tkFoo" + end, w),
              "Error reading W1.Kind: Invalid property value");
    TTestWidget unnamed;
    EXPECT_EQ(ReadError(Head("") + Entry("Foo", "02 01") + end, unnamed),
              "Error reading TTestWidget.Foo: Property Foo does not exist");
}

TEST(ComponentStreamTest, ClassNameIsIgnoredWhenReadingIntoAnObject) {
    TTestWidget w;
    ComponentFromBytes("TPF0" + SStr("TFoo") + SStr("X") + Entry("Count", "02 05") + end, w);
    EXPECT_EQ(w.Count, 5);
    EXPECT_EQ(w.Name(), "X");
}

TEST(ComponentStreamTest, RegistryMakesObjectsByStoredClassName) {
    RegisterClass(TTestWidget::StaticClassInfo());
    TComponent owner;
    TMemoryStream s{Head("New") + Entry("Count", "02 07") + end};
    TPersistent* made = ReadNewComponent(s, &owner);
    auto* w = dynamic_cast<TTestWidget*>(made);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->Count, 7);
    EXPECT_EQ(owner.FindComponent("new"), w);

    TMemoryStream foo{"TPF0" + SStr("TFoo") + SStr("X") + end};
    try {
        ReadNewComponent(foo, &owner);
        FAIL();
    } catch (const EClassNotFound& e) {
        EXPECT_EQ(e.Message, "Class TFoo not found");
    }
    // A read that fails leaves no half-made object behind.
    TMemoryStream bad{Head("Bad") + Entry("Foo", "02 01") + end};
    EXPECT_THROW(ReadNewComponent(bad, &owner), EReadError);
    EXPECT_EQ(owner.ComponentCount(), 1);
}

TEST(ComponentStreamTest, AcceptsTheBasePropertiesOfTheClassLibrary) {
    std::string bytes = Head() + Entry("Tag", "02 05") + Entry("Left", "03 10 01") +
                        Entry("Top", "02 08") + Entry("Width", "03 20 03") +
                        Entry("Height", "03 58 02") + Entry("Cursor", "07 0B") + "crHandPoint" +
                        Entry("Hint", "06 02") + "hi" + Entry("HelpType", "07 09") + "htKeyword" +
                        Entry("HelpKeyword", "06 01") + "k" + Entry("HelpContext", "02 03") +
                        Entry("Visible", "08") + Entry("Enabled", "09") +
                        Entry("OnClick", "07 07") + "W1Click" + Entry("Count", "02 02") + end;
    TTestWidget w;
    ComponentFromBytes(bytes, w);
    EXPECT_EQ(w.Tag, 5);
    EXPECT_EQ(w.Count, 2);
}

TEST(ComponentStreamTest, ChildObjectsOfOtherWritersArePassedOver) {
    std::string child = SStr("TTestWidget") + SStr("C") + Entry("Count", "02 01") +
                        Entry("L", "01 01 02 01 00 00") + end;
    std::string bytes = Head() + Entry("Count", "02 04") + FromHex("00") + child + FromHex("00");
    TTestWidget w;
    TMemoryStream s{bytes};
    ReadComponent(s, w);
    EXPECT_EQ(w.Count, 4);
    EXPECT_EQ(s.Remaining(), 0);
}

TEST(ComponentStreamTest, ReadsStopAfterTheObjectsOwnBytes) {
    TTestWidget a;
    a.SetName("A");
    a.Count = 1;
    TMemoryStream s;
    WriteComponent(s, a);
    s.WriteI32(77);
    s.SetPosition(0);
    TTestWidget back;
    ReadComponent(s, back);
    EXPECT_EQ(s.ReadI32(), 77);
}

TEST(ComponentStreamTest, CorruptStreamsFailCleanly) {
    TTestWidget w;
    w.SetName("W1");
    w.Caption = "caption";
    w.Items.Add("item");
    w.Picture = "BM" + FromHex("06 00 00 00");
    w.Border->Width = 4;
    std::string bytes = Written(w);
    // Every truncation is an error, never a crash or a hang.
    for (size_t n = 0; n < bytes.size(); ++n) {
        TTestWidget into;
        EXPECT_THROW(ComponentFromBytes(bytes.substr(0, n), into), EReadError) << n;
    }
    // Lengths beyond the stream are refused before anything is allocated.
    TTestWidget into;
    into.Formula = "kept";
    EXPECT_EQ(ReadError(Head() + Entry("Formula", "0C FF FF FF FF") + "abc" + end, into),
              "Error reading W1.Formula: Stream read error");
    EXPECT_EQ(into.Formula, "kept");
    EXPECT_THROW(ComponentFromBytes(Head() +
                                        Entry("Picture.Data", "0A 08 00 00 00 FF 00 00 00 "
                                                              "42 4D 00 00") +
                                        end,
                                    into),
                 EReadError);
    // A list that is cut short leaves the old items.
    into.Items.Add("old");
    EXPECT_THROW(ComponentFromBytes(Head() + Entry("Items.Strings", "01 06 01") + "a", into),
                 EReadError);
    EXPECT_EQ(into.Items.Text(), "old\r\n");
    // Deeply nested values of a property that is passed over.
    std::string deep =
        Head() + SStr("OnClick") + std::string(100, '\x01') + std::string(100, '\x00') + end;
    EXPECT_THROW(ComponentFromBytes(deep, into), EReadError);
}

namespace {

std::string SheetHead() {
    return "TPF0" + SStr("TTestSheet") + SStr("S1");
}

} // namespace

TEST(ComponentStreamTest, CollectionsWriteEachItemAsAListOfItsProperties) {
    vx::test::TTestSheet sheet;
    sheet.SetName("S1");
    EXPECT_EQ(HexBytes(ComponentToBytes(sheet)), HexBytes(SheetHead() + end));

    TTestColumn& a = sheet.Columns.Add();
    a.Title = "A";
    a.Width = 300;
    a.Raw = "xy";
    sheet.Columns.Add();
    const std::string expected = SheetHead() + SStr("Columns") + FromHex("0E 01") +
                                 Entry("Title", "06 01") + "A" + Entry("Width", "03 2C 01") +
                                 Entry("Data", "0A 02 00 00 00") + "xy" + FromHex("00 01 00 00") +
                                 end;
    EXPECT_EQ(HexBytes(ComponentToBytes(sheet)), HexBytes(expected));

    vx::test::TTestSheet back;
    back.Columns.Add().Title = "old";
    ComponentFromBytes(expected, back);
    ASSERT_EQ(back.Columns.Count(), 2);
    EXPECT_EQ(back.Columns.Items(0).Title, "A");
    EXPECT_EQ(back.Columns.Items(0).Width, 300);
    EXPECT_EQ(back.Columns.Items(0).Raw, "xy");
    EXPECT_EQ(back.Columns.Items(1).Title, "");
}

TEST(ComponentStreamTest, CollectionItemsMayCarryOrderNumbers) {
    // Another writer puts an order number before an item's list; an empty collection keeps
    // the items there are.
    vx::test::TTestSheet back;
    ComponentFromBytes(SheetHead() + SStr("Columns") + FromHex("0E 02 05 01") +
                           Entry("Title", "06 01") + "B" + FromHex("00 00") + end,
                       back);
    ASSERT_EQ(back.Columns.Count(), 1);
    EXPECT_EQ(back.Columns.Items(0).Title, "B");
    ComponentFromBytes(SheetHead() + SStr("Columns") + FromHex("0E 00") + end, back);
    EXPECT_EQ(back.Columns.Count(), 1);
}

TEST(ComponentStreamTest, ListsWithASetterAreHandedOverWhole) {
    vx::test::TTestSheet sheet;
    sheet.SetName("S1");
    sheet.Names.Add("a");
    const std::string bytes = ComponentToBytes(sheet);
    EXPECT_EQ(HexBytes(bytes), HexBytes(SheetHead() + Entry("Names.Strings", "01 06 01") + "a" +
                                        FromHex("00") + end));
    vx::test::TTestSheet back;
    ComponentFromBytes(bytes, back);
    EXPECT_EQ(back.Names.Text(), "a\r\n");
    EXPECT_EQ(back.NamesSet, 1);
}

TEST(ComponentStreamTest, CorruptCollectionsFailCleanly) {
    vx::test::TTestSheet sheet;
    sheet.SetName("S1");
    sheet.Columns.Add().Title = "A";
    const std::string bytes = ComponentToBytes(sheet);
    for (size_t n = 0; n < bytes.size(); ++n) {
        vx::test::TTestSheet into;
        EXPECT_THROW(ComponentFromBytes(bytes.substr(0, n), into), EReadError) << n;
    }
    vx::test::TTestSheet into;
    // An unknown property of an item, and a value of another kind.
    EXPECT_THROW(ComponentFromBytes(SheetHead() + SStr("Columns") + FromHex("0E 01") +
                                        Entry("Nope", "02 01") + FromHex("00 00") + end,
                                    into),
                 EReadError);
    EXPECT_THROW(ComponentFromBytes(SheetHead() + Entry("Columns", "01 00") + end, into),
                 EReadError);
}
