// The general token splitter, through its export.
#include <gtest/gtest.h>

#include <string>

#include "kxtl.h"
#include "support/test_host.h"

namespace {

constexpr int kQ = '"';

TEST(GetTokens, SplitsAndFinishes) {
    const struct {
        const char* text;
        char separator;
        int quoteMode;
        int options;
        Strings tokens;
    } rows[] = {{"", ',', 0, 0, {}},
                {"a,b,", ',', 0, 0, {"a", "b", ""}},  // the final empty token
                {"f(a,b),[c,d],\"e,f\"", ',', 0, 0, {"f(a,b)", "[c,d]", "\"e,f\""}},
                {"x\r\ny\r", '\n', 0, 0, {"x", "y"}},               // CR before LF dropped
                {"a\r\r\n\"b\" ", '\n', kQ, 0, {"a\r", "\"b\" "}},  // one CR; LF rule first
                {" a , ,b ", ',', ' ', 0, {"a", "", "b"}},
                {" \"a,b\" , \"d\"\"e\",", ',', kQ, 0, {"a,b", "d\"e", ""}},
                {"\"ab\"x", ',', kQ, GT_UNQUOTE_OPTION, {"abx"}},
                {" \"a\" ; b ", ';', kQ, 0, {" \"a\" ", " b "}},  // 34 only with ','
                {"<a,b>,c", ',', QUOTE_MODE_ANGLE, 0, {"<a,b>", "c"}},
                {"  a \t b\r\n", 0, 0, 0, {"a", "b"}},
                {nullptr, 0, 0, 0, {}},
                {"(a b) [c] \"d\"\"e\"", 0, '(', 0, {"a b", "[c]", "\"d\"\"e\""}},
                {"(a b) [c] \"d\"\"e\"", 0, -1, 0, {"a b", "c", "d\"e"}},
                {"(a,b),\"c,d\"", ',', 0, GT_ALT_SEARCH, {"(a", "b)", "\"c,d\""}},
                {"(a b) c", 0, 0, GT_ALT_SEARCH, {"(a b)", "c"}},  // not in white-space mode
                {"(a,b),c", ',', 0, GT_EX_SEARCH, {"(a,b)", "c"}}};
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << (row.text ? row.text : "(null)") << " mode "
                                        << row.quoteMode << " options " << row.options);
        CStringArray tokens;
        tokens.Add("stale");
        const int count =
            kxutilsGetTokens(row.text, &tokens, row.separator, nullptr, row.quoteMode, row.options);
        EXPECT_EQ(count, static_cast<int>(row.tokens.size()));
        EXPECT_EQ(ToVector(tokens), row.tokens);
        // Counting alone gives the same number.
        EXPECT_EQ(
            kxutilsGetTokens(row.text, nullptr, row.separator, nullptr, row.quoteMode, row.options),
            count);
    }
}

TEST(GetTokensSwitch, AngleModeRestoresTheEarlierSetting) {
    for (int earlier : {0, 1}) {
        SCOPED_TRACE(earlier);
        const int outside = kxtl::set_parenth_use_angle_brackets(earlier);
        CStringArray tokens;
        EXPECT_EQ(kxutilsGetTokens("<a,b>,c", &tokens, ',', nullptr, QUOTE_MODE_ANGLE, 0), 2);
        // Other quote modes leave the switch as they find it, and obey it.
        EXPECT_EQ(kxutilsGetTokens("<a,b>,c", &tokens, ',', nullptr, 0, 0), earlier ? 2 : 3);
        EXPECT_EQ(kxtl::set_parenth_use_angle_brackets(outside), earlier);
    }
}

// The array's old strings are reused; it must still end as if emptied and filled, with a
// string shared elsewhere left alone, and with a text that is one of its own strings.
TEST(GetTokensArray, EndsAsIfEmptiedThenFilled) {
    CStringArray tokens;
    for (const char* old : {"1", "22", "a,bbbbbbbbbbbbbbbbbb", "4444"}) tokens.Add(old);
    const CString shared = tokens[0];
    EXPECT_EQ(kxutilsGetTokens(tokens[2], &tokens, ',', nullptr, 0, 0), 2);
    EXPECT_EQ(ToVector(tokens), (Strings{"a", "bbbbbbbbbbbbbbbbbb"}));
    EXPECT_STREQ(shared, "1");
    EXPECT_EQ(kxutilsGetTokens("x,,z", &tokens, ',', nullptr, 0, 0), 3);
    EXPECT_EQ(ToVector(tokens), (Strings{"x", "", "z"}));
}

}  // namespace
