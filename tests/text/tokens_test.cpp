// The general token splitter, through its export.
#include <gtest/gtest.h>

#include <string>

#include "kxtl.h"
#include "support/test_host.h"

namespace {

using Strings = std::vector<std::string>;

struct TokenRow {
    const char* text;
    char separator;
    int quoteMode;
    int options;
    Strings tokens;
};

void PrintTo(const TokenRow& row, std::ostream* os) {
    *os << (row.text ? testing::PrintToString(std::string(row.text)) : "(null)") << " sep "
        << static_cast<int>(row.separator) << " mode " << row.quoteMode << " options "
        << row.options;
}

class GetTokens : public testing::TestWithParam<TokenRow> {};

TEST_P(GetTokens, SplitsAndFinishes) {
    const TokenRow& row = GetParam();
    const std::string before = row.text ? row.text : "";
    CStringArray tokens;
    tokens.Add("stale");
    int state = 0;
    const int count =
        kxutilsGetTokens(row.text, &tokens, row.separator, &state, row.quoteMode, row.options);
    EXPECT_EQ(count, static_cast<int>(row.tokens.size()));
    EXPECT_EQ(ToVector(tokens), row.tokens);
    if (row.text) {
        EXPECT_EQ(std::string(row.text), before);  // worked on a copy
    }
    // Counting alone gives the same number.
    EXPECT_EQ(
        kxutilsGetTokens(row.text, nullptr, row.separator, nullptr, row.quoteMode, row.options),
        count);
}

constexpr int kQ = '"';

INSTANTIATE_TEST_SUITE_P(
    Separator, GetTokens,
    testing::Values(TokenRow{"", ',', 0, 0, {}}, TokenRow{nullptr, ',', 0, 0, {""}},
                    TokenRow{"a,b,", ',', 0, 0, {"a", "b", ""}},  // the final empty token
                    TokenRow{",", ',', 0, 0, {"", ""}}, TokenRow{"abc", ',', 0, 0, {"abc"}},
                    TokenRow{" a , b ", ',', 0, 0, {" a ", " b "}},
                    TokenRow{"f(a,b),[c,d],{e,f}", ',', 0, 0, {"f(a,b)", "[c,d]", "{e,f}"}},
                    TokenRow{"\"a,b\",c", ',', 0, 0, {"\"a,b\"", "c"}},
                    TokenRow{"(a,b", ',', 0, 0, {"(a", "b"}},  // unclosed: nothing lost
                    TokenRow{"a;b,c", ';', 0, 0, {"a", "b,c"}}));

INSTANTIATE_TEST_SUITE_P(
    QuoteModes, GetTokens,
    testing::Values(TokenRow{"x\r\ny\r", '\n', 0, 0, {"x", "y"}},  // CR before LF dropped
                    TokenRow{"\r\n\r", '\n', 0, 0, {"", ""}},
                    TokenRow{"a\r\r\n", '\n', 0, 0, {"a\r", ""}},           // only one CR
                    TokenRow{"a\r\n\"b\" ", '\n', kQ, 0, {"a", "\"b\" "}},  // LF rule comes first
                    TokenRow{" a , ,b ", ',', ' ', 0, {"a", "", "b"}},
                    TokenRow{" \"a,b\" , c", ',', kQ, 0, {"a,b", "c"}},
                    TokenRow{" \"d\"\"e\" ,\"\"", ',', kQ, 0, {"d\"e", ""}},
                    TokenRow{"\"ab\"x,y", ',', kQ, 0, {"ab", "y"}},
                    TokenRow{"\"ab\"x,y", ',', kQ, GT_UNQUOTE_OPTION, {"abx", "y"}},
                    TokenRow{"a, ,", ',', kQ, 0, {"a", "", ""}},
                    TokenRow{" \"a\" ; b ", ';', kQ, 0, {" \"a\" ", " b "}},  // 34 only with ','
                    TokenRow{" \"a\" , b ", ',', '\'', 0, {" \"a\" ", " b "}},
                    TokenRow{"<a,b>,c", ',', QUOTE_MODE_ANGLE, 0, {"<a,b>", "c"}},
                    TokenRow{"<a,b>,c", ',', 0, 0, {"<a", "b>", "c"}}));

INSTANTIATE_TEST_SUITE_P(
    WhiteSpace, GetTokens,
    testing::Values(TokenRow{"  a \t b\r\n", 0, 0, 0, {"a", "b"}}, TokenRow{" \t ", 0, 0, 0, {}},
                    TokenRow{nullptr, 0, 0, 0, {}},
                    TokenRow{"\"a b\"  c", 0, 0, 0, {"\"a b\"", "c"}},
                    TokenRow{"\"a b\"  c", 0, kQ, 0, {"a b", "c"}},
                    TokenRow{"(a b) [c] 'd'", 0, '(', 0, {"a b", "[c]", "'d'"}},
                    TokenRow{"(a b) [c] 'd'", 0, -1, 0, {"a b", "c", "d"}},
                    TokenRow{"\"a\"\"b\" ''", 0, -1, 0, {"a\"b", ""}},
                    TokenRow{"<a b> c", 0, QUOTE_MODE_ANGLE, 0, {"<a b>", "c"}},
                    TokenRow{"<a b> c", 0, 0, 0, {"<a", "b>", "c"}},
                    TokenRow{"(a b) c", 0, 0, GT_ALT_SEARCH, {"(a b)", "c"}}));

INSTANTIATE_TEST_SUITE_P(
    Searches, GetTokens,
    testing::Values(TokenRow{"(a,b),\"c,d\"", ',', 0, GT_ALT_SEARCH, {"(a", "b)", "\"c,d\""}},
                    TokenRow{"(a,b),\"c,d\"", ',', 0, GT_EX_SEARCH, {"(a,b)", "\"c,d\""}},
                    TokenRow{"(a,b),c", ',', 0, GT_ALT_SEARCH | GT_EX_SEARCH, {"(a", "b)", "c"}},
                    TokenRow{"a\377b", '\377', 0, 0, {"a", "b"}}));

class AngleBrackets {
  public:
    explicit AngleBrackets(int on) : previous_(kxtl::set_parenth_use_angle_brackets(on)) {}
    ~AngleBrackets() { kxtl::set_parenth_use_angle_brackets(previous_); }

  private:
    int previous_;
};

TEST(GetTokensSwitch, AngleModeRestoresTheEarlierSetting) {
    for (int earlier : {0, 1}) {
        SCOPED_TRACE(earlier);
        AngleBrackets setting(earlier);
        CStringArray tokens;
        EXPECT_EQ(kxutilsGetTokens("<a,b>,c", &tokens, ',', nullptr, QUOTE_MODE_ANGLE, 0), 2);
        EXPECT_EQ(kxtl::set_parenth_use_angle_brackets(earlier), earlier);
        // Other quote modes leave the switch as they find it, and obey it.
        EXPECT_EQ(kxutilsGetTokens("<a,b>,c", &tokens, ',', nullptr, 0, 0), earlier ? 2 : 3);
        EXPECT_EQ(kxtl::set_parenth_use_angle_brackets(earlier), earlier);
    }
}

TEST(GetTokensArray, EndsAsIfEmptiedThenFilled) {
    CStringArray tokens;
    for (const char* old : {"1", "22", "333", "4444"}) tokens.Add(old);
    const CString shared = tokens[0];  // shares its text with the array's first string
    EXPECT_EQ(kxutilsGetTokens("a,bbbbbbbbbbbbbbbbbbbb", &tokens, ',', nullptr, 0, 0), 2);
    EXPECT_EQ(ToVector(tokens), (Strings{"a", "bbbbbbbbbbbbbbbbbbbb"}));
    EXPECT_STREQ(shared, "1");
    EXPECT_EQ(kxutilsGetTokens("x,y,z", &tokens, ',', nullptr, 0, 0), 3);
    EXPECT_EQ(ToVector(tokens), (Strings{"x", "y", "z"}));
}

TEST(GetTokensArray, TextMayBeOneOfTheArraysStrings) {
    CStringArray tokens;
    tokens.Add("p");
    tokens.Add("a,b,c");
    EXPECT_EQ(kxutilsGetTokens(tokens[1], &tokens, ',', nullptr, 0, 0), 3);
    EXPECT_EQ(ToVector(tokens), (Strings{"a", "b", "c"}));
}

TEST(GetTokensArray, ManyTokens) {
    std::string text;
    for (int i = 0; i < 100000; ++i) text += "(x,y),";
    CStringArray tokens;
    EXPECT_EQ(kxutilsGetTokens(text.c_str(), &tokens, ',', nullptr, 0, 0), 100001);
    EXPECT_STREQ(tokens[99999], "(x,y)");
    EXPECT_STREQ(tokens[100000], "");
}

}  // namespace
