#include "report/LBSTRParser.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vx {
namespace {

std::vector<TLBFRAG> Fragments(const TLBSTRParser& p) {
    std::vector<TLBFRAG> out;
    for (int i = 0; i < p.FragmentCount(); ++i)
        out.push_back(p.GetFragment(i));
    return out;
}

TLBSTRParser PlaceholderParser() {
    TLBSTRParser p;
    p.AddDelimiters("&<CHN", ">");
    p.AddDelimiters("&<", ")>");
    return p;
}

TEST(LBSTRParserTest, FragmentsComeInTextOrderWithThePairThatFoundThem) {
    struct Case {
        std::string text;
        std::vector<TLBFRAG> expected;
    };
    const Case cases[] = {
        {"&<1;2;3(t)>x&<CHN;1;0;MAX;0.1>", {{1, 11, 1}, {13, 18, 0}}},
        {"a&<CHN;1;1;0;0.1>b&<1;2;3(t)>c", {{2, 16, 0}, {19, 11, 1}}},
        // The channel pair blanks its fragment, so the ">" inside cannot close the other.
        {"&<CHN;1;0;0;0.1>)>", {{1, 16, 0}}},
        // An opening never closed yields nothing and ends that pair's search.
        {"&<1;2;3(t)> &<CHN;1", {{1, 11, 1}}},
        {"&<1;2 b &<CHN;1;2;3;0.1>", {{9, 16, 0}}},
        {"no placeholders", {}},
        {"", {}},
    };
    for (const Case& c : cases) {
        TLBSTRParser p = PlaceholderParser();
        p.Parse(c.text);
        EXPECT_EQ(Fragments(p), c.expected) << c.text;
    }
}

TEST(LBSTRParserTest, AnEmptyClosingEndsTheFragmentWithItsOpening) {
    TLBSTRParser p;
    p.AddDelimiters("ab", "");
    p.Parse("xabyab");
    EXPECT_EQ(Fragments(p), (std::vector<TLBFRAG>{{2, 2, 0}, {5, 2, 0}}));
    EXPECT_EQ(p.GetFragment(1).End(), 7);
}

TEST(LBSTRParserTest, EachParseStartsAfreshAndBadIndicesRaise) {
    TLBSTRParser p = PlaceholderParser();
    p.Parse("&<1;2;3(t)>x&<CHN;1;0;MAX;0.1>");
    for (int bad : {-1, 2}) {
        try {
            p.GetFragment(bad);
            ADD_FAILURE() << bad;
        } catch (const EListError& e) {
            EXPECT_EQ(e.Message, "Invalid index!");
        }
    }
    p.Parse("plain");
    EXPECT_EQ(p.FragmentCount(), 0);
    TLBSTRParser none;
    none.Parse("&<1;2;3(t)>");
    EXPECT_EQ(none.FragmentCount(), 0);
}

} // namespace
} // namespace vx
