// Whole-word keyword replacement and script conditions, through the exports.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <iterator>
#include <random>
#include <string>

#include "support/test_host.h"

namespace {

struct ReplaceRow {
    const char* text;
    const char* keyword;
    const char* replacement;
    bool ignoreCase;
    const char* expected;
    int result;
};

void PrintTo(const ReplaceRow& row, std::ostream* os) {
    *os << '"' << row.text << "\" '" << row.keyword << "' -> '" << row.replacement << '\'';
}

class KeywordReplace : public testing::TestWithParam<ReplaceRow> {};

TEST_P(KeywordReplace, ReplacesOnlyWholeWords) {
    const ReplaceRow& row = GetParam();
    CString text(row.text);
    EXPECT_EQ(kxu_keyword_replace(&text, row.keyword, row.replacement, row.ignoreCase), row.result);
    EXPECT_STREQ(text, row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Neighbours, KeywordReplace,
    testing::Values(ReplaceRow{"band and brand", "and", "&&", false, "band && brand", 1},
                    ReplaceRow{"and x", "and", "&&", false, "&& x", 1},  // at both ends of the text
                    ReplaceRow{"x and", "and", "&&", false, "x &&", 1},
                    ReplaceRow{"and", "and", "&&", false, "&&", 1},
                    ReplaceRow{"(and)", "and", "&&", false, "(and)", 0},
                    ReplaceRow{"(and )", "and", "&&", false, "(&& )", 1},
                    ReplaceRow{"( and)", "and", "&&", false, "( &&)", 1},
                    ReplaceRow{"x.and", "and", "&&", false, "x.&&", 1},
                    ReplaceRow{"a\tand\nand\rand;and,and=and!", "and", "|", false,
                               "a\t|\n|\r|;|,|=|!", 6},
                    ReplaceRow{"s=\"a and b\"", "and", "&&", false, "s=\"a && b\"", 1},
                    ReplaceRow{"<and>+and-and/and'and'", "and", "&", false, "<&>+&-&/&'&'", 5}));

// Every word character, before and after, keeps the keyword.
INSTANTIATE_TEST_SUITE_P(
    WordCharacters, KeywordReplace,
    testing::Values(ReplaceRow{"x_and", "and", "&&", false, "x_and", 0},
                    ReplaceRow{"and2", "and", "&&", false, "and2", 0},
                    ReplaceRow{"$and %and *and :and @and \\and ^and ~and", "and", "&&", false,
                               "$and %and *and :and @and \\and ^and ~and", 0},
                    ReplaceRow{"and$ and% and* and: and@ and\\ and^ and~", "and", "&&", false,
                               "and$ and% and* and: and@ and\\ and^ and~", 0},
                    ReplaceRow{"zand andZ 9and", "and", "&&", false, "zand andZ 9and", 0},
                    ReplaceRow{"\xE9"
                               "and and\xC9",
                               "and", "&&", false,
                               "\xE9"
                               "and and\xC9",
                               0},
                    ReplaceRow{"\xD7"
                               "and",
                               "and", "&&", false, "\xD7&&", 1}));  // '×' is no letter

INSTANTIATE_TEST_SUITE_P(
    SearchOrder, KeywordReplace,
    testing::Values(
        // The neighbour before is the last byte of the replacement just made.
        ReplaceRow{"--", "-", "x", false, "x-", 1}, ReplaceRow{"--", "-", ".", false, "..", 2},
        ReplaceRow{"+--", "-", "", false, "+", 2},  // removed: the neighbour is what preceded it
        ReplaceRow{"--", "-", "", false, "", 2},    // ... or nothing at all
        // A rejected occurrence hides the ones overlapping it.
        ReplaceRow{"x---", "--", "=", false, "x---", 0},
        ReplaceRow{"x ---", "--", "=", false, "x =-", 1},
        // The inserted text is not searched again.
        ReplaceRow{"a and b", "and", "and and", false, "a and and b", 1},
        ReplaceRow{"A AND b And", "and", "&&", true, "A && b &&", 2},
        ReplaceRow{"A AND b And", "and", "&&", false, "A AND b And", 0},
        ReplaceRow{"caf\xC9 \xC9t\xC9", "\xE9t\xE9", "summer", true, "caf\xC9 summer", 1}));

INSTANTIATE_TEST_SUITE_P(Arguments, KeywordReplace,
                         testing::Values(ReplaceRow{"", nullptr, nullptr, false, "",
                                                    0},  // empty text first
                                         ReplaceRow{"a b", nullptr, "x", false, "a b", -1},
                                         ReplaceRow{"a b", "a", nullptr, false, "a b", -1},
                                         ReplaceRow{"a b", "", "x", false, "a b", -1},
                                         ReplaceRow{"a b", "c", "x", false, "a b", 0}));

TEST(KeywordReplaceEntry, NullTextIsRefused) {
    EXPECT_EQ(kxu_keyword_replace(nullptr, "a", "b", false), -1);
}

TEST(KeywordReplaceEntry, LongerReplacementOnATextOfNothingButKeywords) {
    std::string text;
    std::string expected;
    for (int i = 0; i < 5000; ++i) {
        text += i ? " and" : "and";
        expected += i ? " <and-also>" : "<and-also>";
    }
    CString s(text.c_str());
    EXPECT_EQ(kxu_keyword_replace(&s, "and", "<and-also>", false), 5000);
    EXPECT_EQ(std::string(s), expected);
}

TEST(KeywordReplaceEntry, LeavesOtherHoldersOfTheSameTextAlone) {
    CString original("x and y");
    CString shared(original);
    EXPECT_EQ(kxu_keyword_replace(&shared, "and", "&&", false), 1);
    EXPECT_STREQ(shared, "x && y");
    EXPECT_STREQ(original, "x and y");
}

TEST(KeywordReplaceEntry, KeywordAndReplacementMayBePiecesOfTheTextItself) {
    CString longer("ab x ab");
    const char* own = longer;
    EXPECT_EQ(kxu_keyword_replace(&longer, own + 5, own + 3, false), 2);  // "ab" -> "x ab"
    EXPECT_STREQ(longer, "x ab x x ab");
    CString shorter("and x and");
    own = shorter;
    EXPECT_EQ(kxu_keyword_replace(&shorter, own + 6, own + 8, false), 2);  // "and" -> "d"
    EXPECT_STREQ(shorter, "d x d");
}

// The rules as the original method states them: splice each replacement into
// the text and search on from there. The export must agree on every input.
int SpliceModel(std::string& text, const std::string& key, const std::string& rep,
                bool ignoreCase) {
    auto word = [](unsigned char c) {
        return std::isalnum(c) != 0 || (c != 0 && std::strchr("$%*:@\\^_~", c) != nullptr);
    };
    auto same = [ignoreCase](char a, char b) {
        return ignoreCase ? std::tolower(static_cast<unsigned char>(a)) ==
                                std::tolower(static_cast<unsigned char>(b))
                          : a == b;
    };
    int count = 0;
    for (std::size_t pos = 0; pos + key.size() <= text.size();) {
        std::size_t p = pos;
        while (p + key.size() <= text.size() &&
               !std::equal(key.begin(), key.end(), text.begin() + static_cast<long>(p), same))
            ++p;
        if (p + key.size() > text.size()) break;
        const unsigned char before = p > 0 ? text[p - 1] : 0;
        const unsigned char after = p + key.size() < text.size() ? text[p + key.size()] : 0;
        if (!word(before) && !word(after) && !(before == '(' && after == ')')) {
            text.replace(p, key.size(), rep);
            ++count;
            pos = p + rep.size();
        } else {
            pos = p + key.size();
        }
    }
    return count;
}

TEST(KeywordReplaceEntry, AgreesWithSplicingOnRandomTexts) {
    const char alphabet[] = "aAnd -()_x";
    const char* keys[] = {"and", "a", "-", "--", "a-", "(a", "d)"};
    const char* reps[] = {"", "&&", "x", "-", "((", ")", "a longer one", "a"};
    std::mt19937 rng(5);
    for (int round = 0; round < 4000; ++round) {
        std::string text(rng() % 24, ' ');
        for (char& c : text) c = alphabet[rng() % (sizeof alphabet - 1)];
        const std::string key = keys[rng() % std::size(keys)];
        const std::string rep = reps[rng() % std::size(reps)];
        const bool ignoreCase = rng() % 2 == 0;
        std::string expected = text;
        const int count = text.empty() ? 0 : SpliceModel(expected, key, rep, ignoreCase);
        CString s(text.c_str());
        ASSERT_EQ(kxu_keyword_replace(&s, key.c_str(), rep.c_str(), ignoreCase), count)
            << '"' << text << "\" '" << key << "' -> '" << rep << "' " << ignoreCase;
        ASSERT_EQ(std::string(s), expected) << '"' << text << "\" '" << key << "'";
    }
}

// ---- Script conditions ------------------------------------------------------

struct ExpressionRow {
    const char* source;
    const char* expected;
};

class Expression : public testing::TestWithParam<ExpressionRow> {};

TEST_P(Expression, BecomesCOperators) {
    CString result("stale");
    EXPECT_EQ(kxu_get_correct_SK_expression(GetParam().source, &result), 1);
    EXPECT_STREQ(result, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Expression,
    testing::Values(ExpressionRow{"a=1 and b<>2 or not c", "a==1 && b<>2 || ! c"},
                    ExpressionRow{"x = 1", "x == 1"}, ExpressionRow{"x != 1", "x != 1"},
                    ExpressionRow{"x <= 1", "x <= 1"}, ExpressionRow{"x >= 1", "x >= 1"},
                    ExpressionRow{"x == 1", "x == 1"}, ExpressionRow{"a===b", "a===b"},
                    ExpressionRow{"a&b|c", "a&&b||c"}, ExpressionRow{"a&&b||c", "a&&b||c"},
                    ExpressionRow{"=a=", "==a=="}, ExpressionRow{"a=\nb", "a== b"},
                    ExpressionRow{"a\r\nb", "a  b"},  // the carriage return became a space too
                    ExpressionRow{"A AND B Or NOT(c)", "A && B || !(c)"},
                    ExpressionRow{"(not) andor", "(not) andor"},
                    ExpressionRow{"s=\"a AND b\"", "s==\"a && b\""},
                    ExpressionRow{"a=1\tOR\tb=2", "a==1 || b==2"}));

TEST(ExpressionEntry, NothingToConvert) {
    CString result("stale");
    EXPECT_EQ(kxu_get_correct_SK_expression(nullptr, &result), 0);
    EXPECT_STREQ(result, "");
    result = "stale";
    EXPECT_EQ(kxu_get_correct_SK_expression("", &result), 0);
    EXPECT_STREQ(result, "");
    EXPECT_EQ(kxu_get_correct_SK_expression("a=b", nullptr), 0);
}

TEST(ExpressionEntry, ManyOperatorsInOneCondition) {
    std::string source;
    std::string expected;
    for (int i = 0; i < 20000; ++i) {
        source += "x=1 and ";
        expected += "x==1 && ";
    }
    source += "y";
    expected += "y";
    CString result;
    EXPECT_EQ(kxu_get_correct_SK_expression(source.c_str(), &result), 1);
    EXPECT_EQ(std::string(result), expected);
}

}  // namespace
