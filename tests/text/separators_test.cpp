// Splitting at a separator string and joining, through the exported entries.
#include <gtest/gtest.h>

#include "support/test_host.h"

namespace {

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
    EXPECT_EQ(pieces.requests, std::vector<unsigned int>{HOST_TYPE_STRING_ARRAY});
    EXPECT_EQ(pieces.args, std::vector<void*>{nullptr});
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

TEST(SeparateByStr, ManyPiecesInOneText) {
    std::string text;
    for (int i = 0; i < 50000; ++i) text += "x--";
    CStringArray pieces;
    EXPECT_EQ(kxutilsSeparateByStr(text.c_str(), &pieces, "--"), 50001);
    EXPECT_STREQ(pieces[49999], "x");
    EXPECT_STREQ(pieces[50000], "");
}

TEST(SetTokens, JoinsWithACharacterOrAString) {
    TestStrings tokens{"a", "", "b"};
    CString joined("stale");
    EXPECT_EQ(kxutilsSetTokens(joined, tokens.array, ','), 3);
    EXPECT_STREQ(joined, "a,,b");
    EXPECT_EQ(kxu_set_tokens_by_str(&joined, &tokens, " | "), 3);
    EXPECT_STREQ(joined, "a |  | b");
    EXPECT_EQ(kxutilsSetTokensByStr(joined, tokens.array, nullptr), 3);
    EXPECT_STREQ(joined, "ab");
    EXPECT_EQ(kxutilsSetTokens(joined, CStringArray(), ','), 0);
    EXPECT_STREQ(joined, "");
}

}  // namespace
