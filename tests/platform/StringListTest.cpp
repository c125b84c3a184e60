#include "platform/runtime/StringList.h"
#include "platform/runtime/Exceptions.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

TEST(StringList, AddInsertDeleteAndBounds) {
    TStringList l;
    l.Add("b");
    l.Insert(0, "a");
    l.Add("c");
    EXPECT_EQ(l.Text(), "a\r\nb\r\nc\r\n");
    l.Delete(1);
    EXPECT_EQ(l.Count(), 2);
    try {
        (void)l[2];
        FAIL();
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message, "List index out of bounds (2)");
    }
    EXPECT_THROW(l.Delete(-1), EListError);
    EXPECT_THROW(l.Insert(3, "x"), EListError);
}

TEST(StringList, IndexOfIgnoresCaseUnlessExact) {
    TStringList l;
    l.Add("Speed");
    l.Add("\xC8t\xE0");
    EXPECT_EQ(l.IndexOf("SPEED"), 0);
    EXPECT_EQ(l.IndexOf("\xE8T\xC0"), 1);
    l.SetCaseSensitive(true);
    EXPECT_EQ(l.IndexOf("SPEED"), -1);
    EXPECT_EQ(l.IndexOf("Speed"), 0);
}

TEST(StringList, SortedAddsAndDuplicates) {
    TStringList l;
    l.SetSorted(true);
    for (const char* s : {"pear", "Apple", "fig", "apple"})
        l.Add(s);
    EXPECT_EQ(l.CommaText(), "Apple,fig,pear");
    l.SetDuplicates(TDuplicates::dupError);
    EXPECT_THROW(l.Add("FIG"), EListError);
    int index;
    EXPECT_FALSE(l.Find("grape", index));
    EXPECT_EQ(index, 2);
    EXPECT_THROW(l.Insert(0, "x"), EListError);
}

TEST(StringList, TextSplitsEveryLineEnd) {
    TStringList l;
    l.SetText("a\r\nb\nc\rd\r\n");
    EXPECT_EQ(l.Count(), 4);
    EXPECT_EQ(l[3], "d");
    l.SetText("x\r\n\r\ny");
    EXPECT_EQ(l.Count(), 3);
    EXPECT_EQ(l[1], "");
    l.SetText("");
    EXPECT_EQ(l.Count(), 0);
}

TEST(StringList, CommaTextQuotesAsTheClassLibrary) {
    struct Case {
        std::vector<std::string> items;
        const char* text;
    } cases[] = {
        {{"a", "b c", "d\"e"}, "a,\"b c\",\"d\"\"e\""},
        {{""}, "\"\""},
        {{"a", ""}, "a,"},
        {{"x,y"}, "\"x,y\""},
    };
    for (const auto& c : cases) {
        TStringList l;
        for (const auto& s : c.items)
            l.Add(s);
        EXPECT_EQ(l.CommaText(), c.text);
        TStringList back;
        back.SetCommaText(c.text);
        EXPECT_EQ(back.Items(), c.items) << c.text;
    }
    TStringList blanks;
    blanks.SetCommaText(" a b ,c");
    EXPECT_EQ(blanks.Items(), (std::vector<std::string>{"a", "b", "c"}));
}

TEST(StringList, NameValuePairs) {
    TStringList l;
    l.Add("Port=2000");
    l.Add("Name=x=y");
    EXPECT_EQ(l.Values("port"), "2000");
    EXPECT_EQ(l.Values("Name"), "x=y");
    EXPECT_EQ(l.Names(1), "Name");
    l.SetValue("Port", "3000");
    EXPECT_EQ(l[0], "Port=3000");
    l.SetValue("New", "1");
    EXPECT_EQ(l.Count(), 3);
    l.SetValue("Port", "");
    EXPECT_EQ(l.IndexOfName("Port"), -1);
}

} // namespace
} // namespace vx
