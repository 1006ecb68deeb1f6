// Splitting at a separator string and joining, through the exported entries.
#include <gtest/gtest.h>

#include "support/test_host.h"

namespace {

using Strings = std::vector<std::string>;

struct SplitRow {
    const char* text;
    const char* separator;
    int result;
    Strings pieces;
};

void PrintTo(const SplitRow& row, std::ostream* os) {
    *os << '"' << row.text << "\" by \"" << (row.separator ? row.separator : "(null)") << '"';
}

class SeparateByStr : public testing::TestWithParam<SplitRow> {};

TEST_P(SeparateByStr, CutsAtEveryOccurrence) {
    const SplitRow& row = GetParam();
    TestStrings pieces{"old"};
    EXPECT_EQ(kxu_separate_by_str(row.text, &pieces, row.separator), row.result);
    EXPECT_EQ(pieces.Values(), row.pieces);
    // The working function gives the same answer on an array of its own.
    CStringArray direct;
    direct.Add("old");
    EXPECT_EQ(kxutilsSeparateByStr(row.text, &direct, row.separator), row.result);
    EXPECT_EQ(ToVector(direct), row.pieces);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SeparateByStr,
    testing::Values(SplitRow{"a,,b", ",", 3, {"a", "", "b"}}, SplitRow{"a,", ",", 2, {"a", ""}},
                    SplitRow{",a", ",", 2, {"", "a"}}, SplitRow{"xabab", "ab", 3, {"x", "", ""}},
                    SplitRow{"aaa", "aa", 2, {"", "a"}},  // occurrences never overlap
                    SplitRow{"abc", ";", 1, {"abc"}}, SplitRow{"a, b, c", ", ", 3, {"a", "b", "c"}},
                    SplitRow{"AbA", "b", 2, {"A", "A"}}, SplitRow{"AbA", "B", 1, {"AbA"}},
                    SplitRow{"", ",", 0, {}},         // empty text empties the array
                    SplitRow{"a,b", "", -1, {"old"}}  // empty separator leaves it alone
                    ));

TEST(SeparateByStrEntry, NullArgumentsAnswerMinusOneBeforeAskingTheHost) {
    TestStrings pieces{"old"};
    EXPECT_EQ(kxu_separate_by_str(nullptr, &pieces, ","), -1);
    EXPECT_EQ(kxu_separate_by_str("a,b", &pieces, nullptr), -1);
    EXPECT_EQ(kxu_separate_by_str("a,b", nullptr, ","), -1);
    EXPECT_TRUE(pieces.requests.empty());
    EXPECT_EQ(pieces.Values(), Strings{"old"});
}

TEST(SeparateByStrEntry, AsksTheHostOnceForAStringArray) {
    TestStrings pieces;
    EXPECT_EQ(kxu_separate_by_str("a b", &pieces, " "), 2);
    ASSERT_EQ(pieces.requests.size(), 1u);
    EXPECT_EQ(pieces.requests[0], HOST_TYPE_STRING_ARRAY);
    EXPECT_EQ(pieces.args[0], nullptr);
}

TEST(SeparateByStrEntry, HostWithoutArrayIsRefusedUnlessThereIsNothingToSplit) {
    TestStrings pieces;
    pieces.answerNull = true;
    EXPECT_EQ(kxu_separate_by_str("a,b", &pieces, ","), -1);
    EXPECT_EQ(kxu_separate_by_str("", &pieces, ","), 0);
    EXPECT_EQ(kxutilsSeparateByStr(nullptr, nullptr, ","), 0);
}

TEST(SeparateByStr, ManyPiecesInOneText) {
    std::string text;
    for (int i = 0; i < 50000; ++i) text += "x--";
    CStringArray pieces;
    EXPECT_EQ(kxutilsSeparateByStr(text.c_str(), &pieces, "--"), 50001);
    EXPECT_STREQ(pieces[49999], "x");
    EXPECT_STREQ(pieces[50000], "");
}

TEST(SetTokens, JoinsWithACharacterOrAString) {
    CStringArray tokens;
    tokens.Add("a");
    tokens.Add("");
    tokens.Add("b");
    CString joined("stale");
    EXPECT_EQ(kxutilsSetTokens(joined, tokens, ','), 3);
    EXPECT_STREQ(joined, "a,,b");
    EXPECT_EQ(kxutilsSetTokensByStr(joined, tokens, " | "), 3);
    EXPECT_STREQ(joined, "a |  | b");
    EXPECT_EQ(kxutilsSetTokensByStr(joined, tokens, nullptr), 3);
    EXPECT_STREQ(joined, "ab");
    CStringArray none;
    EXPECT_EQ(kxutilsSetTokens(joined, none, ','), 0);
    EXPECT_STREQ(joined, "");
}

TEST(SetTokensEntry, JoinsTheHostArrayAndChecksPointersFirst) {
    TestStrings tokens{"x", "y"};
    CString joined("stale");
    EXPECT_EQ(kxu_set_tokens_by_str(&joined, &tokens, "--"), 2);
    EXPECT_STREQ(joined, "x--y");
    EXPECT_EQ(tokens.requests, std::vector<unsigned int>{HOST_TYPE_STRING_ARRAY});

    TestStrings untouched{"x"};
    EXPECT_EQ(kxu_set_tokens_by_str(nullptr, &untouched, ","), -1);
    EXPECT_EQ(kxu_set_tokens_by_str(&joined, nullptr, ","), -1);
    EXPECT_EQ(kxu_set_tokens_by_str(&joined, &untouched, nullptr), -1);
    EXPECT_TRUE(untouched.requests.empty());
    EXPECT_STREQ(joined, "x--y");

    untouched.answerNull = true;
    EXPECT_EQ(kxu_set_tokens_by_str(&joined, &untouched, ","), -1);
    EXPECT_STREQ(joined, "x--y");
}

}  // namespace
