// Whole-word keyword replacement and script conditions, through the exports.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <random>
#include <string>

#include "support/test_host.h"

namespace {

TEST(KeywordReplace, Table) {
    const struct {
        const char *text, *keyword, *replacement, *expected;
        int result;
    } rows[] = {
        {"band and brand", "and", "&&", "band && brand", 1},
        {"and x and", "and", "&&", "&& x &&", 2},  // keywords at both ends
        {"(and) (and ) ( and)", "and", "&&", "(and) (&& ) ( &&)", 2},
        {"x.and s=\"a and b\" <and>", "and", "&", "x.& s=\"a & b\" <&>", 3},
        {"x_and and2 $and %and *and :and @and \\and ^and ~and and\xE9", "and", "&&",
         "x_and and2 $and %and *and :and @and \\and ^and ~and and\xE9", 0},
        {"and and and", "and", "<and-also>", "<and-also> <and-also> <and-also>", 3},
        {"--", "-", "x", "x-", 1},  // the neighbour can be a replacement just made
        {"+--", "-", "", "+", 2},
        {"x ---", "--", "=", "x =-", 1},  // a rejected occurrence hides overlapping ones
        {"x---", "--", "=", "x---", 0},
        {"a b", "", "x", "a b", -1},
    };
    for (const auto& r : rows) {
        CString text(r.text);
        EXPECT_EQ(kxu_keyword_replace(&text, r.keyword, r.replacement, false), r.result) << r.text;
        EXPECT_STREQ(text, r.expected);
    }
    CString text("A AND b And");
    EXPECT_EQ(kxu_keyword_replace(&text, "and", "&&", true), 2);
    EXPECT_STREQ(text, "A && b &&");
}

// The method as first described: splice each replacement into the text and
// search on after it. The export must agree with it on every input.
int SpliceModel(std::string& t, const std::string& key, const std::string& rep, bool anyCase) {
    auto word = [](int c) { return std::isalnum(c) || (c && std::strchr("$%*:@\\^_~", c)); };
    auto same = [anyCase](char a, char b) { return anyCase ? (a | 32) == (b | 32) : a == b; };
    int count = 0;
    for (std::size_t p = 0; p + key.size() <= t.size(); ++p) {
        if (!std::equal(key.begin(), key.end(), t.begin() + static_cast<long>(p), same)) continue;
        const int before = p > 0 ? t[p - 1] : 0,
                  after = p + key.size() < t.size() ? t[p + key.size()] : 0;
        const bool alone = !word(before) && !word(after) && !(before == '(' && after == ')');
        if (alone) t.replace(p, key.size(), rep), ++count;
        p += (alone ? rep.size() : key.size()) - 1;
    }
    return count;
}

TEST(KeywordReplace, AgreesWithSplicingOnRandomTexts) {
    const char alphabet[] = "aAnd -()_x";
    const char* keys[] = {"and", "a", "-", "--", "a-", "(a", "d)"};
    const char* reps[] = {"", "&&", "x", "-", "((", ")", "a longer one", "a"};
    std::mt19937 rng(5);
    for (int round = 0; round < 4000; ++round) {
        std::string text(rng() % 24, ' ');
        for (char& c : text) c = alphabet[rng() % (sizeof alphabet - 1)];
        const std::string key = keys[rng() % 7], rep = reps[rng() % 8];
        const bool anyCase = rng() % 2 == 0;
        std::string expected = text;
        const int count = text.empty() ? 0 : SpliceModel(expected, key, rep, anyCase);
        CString s(text.c_str());
        ASSERT_EQ(kxu_keyword_replace(&s, key.c_str(), rep.c_str(), anyCase), count)
            << '"' << text << "\" '" << key << "' -> '" << rep << "' " << anyCase;
        ASSERT_EQ(std::string(s), expected) << '"' << text << "\" '" << key << "'";
    }
}

TEST(KeywordReplace, KeywordAndReplacementMayBePiecesOfTheTextItself) {
    CString longer("ab x ab"), shorter("and x and");
    EXPECT_EQ(kxu_keyword_replace(&longer, longer.GetString() + 5, longer.GetString() + 3, 0), 2);
    EXPECT_STREQ(longer, "x ab x x ab");
    EXPECT_EQ(kxu_keyword_replace(&shorter, shorter.GetString() + 6, shorter.GetString() + 8, 0),
              2);
    EXPECT_STREQ(shorter, "d x d");
}

TEST(Expression, BecomesCOperators) {
    const char* rows[][2] = {
        {"a=1 and b<>2 or not c", "a==1 && b<>2 || ! c"},
        {"x = 1; x != 1; x <= 1; x >= 1; x == 1; a===b",
         "x == 1; x != 1; x <= 1; x >= 1; x == 1; a===b"},
        {"a&b|c =a=\nb\r\nc", "a&&b||c ==a== b  c"},  // line breaks become spaces
        {"A AND B Or NOT(c) (not) s=\"a and b\"", "A && B || !(c) (not) s==\"a && b\""},
    };
    for (const auto& r : rows) {
        CString result("stale");
        EXPECT_EQ(kxu_get_correct_SK_expression(r[0], &result), 1);
        EXPECT_STREQ(result, r[1]);
    }
}

}  // namespace
