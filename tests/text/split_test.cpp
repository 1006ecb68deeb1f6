// Splitting and joining: tokens, CSV cells, separator strings, key=value lists and labels,
// through the exported entries and test hosts.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "kxtl.h"
#include "support/test_host.h"
#include "text/csv_reference.h"

namespace {

using Requests = std::vector<unsigned int>;

TEST(GetTokens, SplitsAndFinishes) {
    constexpr int Q = '"', Alt = GT_ALT_SEARCH;
    // Text, separator, quote mode, options; the tokens.
    const std::tuple<const char*, char, int, int, Strings> rows[] = {
        {"", ',', 0, 0, {}},
        {"a,b,", ',', 0, 0, {"a", "b", ""}},  // the final empty token
        {"f(a,b),[c,d],\"e,f\"", ',', 0, 0, {"f(a,b)", "[c,d]", "\"e,f\""}},
        {"x\r\ny\r", '\n', 0, 0, {"x", "y"}},              // CR before LF dropped
        {"a\r\r\n\"b\" ", '\n', Q, 0, {"a\r", "\"b\" "}},  // one CR; LF rule first
        {" a , ,b ", ',', ' ', 0, {"a", "", "b"}},
        {" \"a,b\" , \"d\"\"e\",", ',', Q, 0, {"a,b", "d\"e", ""}},
        {"\"ab\"x", ',', Q, GT_UNQUOTE_OPTION, {"abx"}},
        {" \"a\" ; b ", ';', Q, 0, {" \"a\" ", " b "}},  // 34 only with ','
        {"<a,b>,c", ',', QUOTE_MODE_ANGLE, 0, {"<a,b>", "c"}},
        {"  a \t b\r\n", 0, 0, 0, {"a", "b"}},
        {"(a b) [c] \"d\"\"e\"", 0, '(', 0, {"a b", "[c]", "\"d\"\"e\""}},
        {"(a b) [c] \"d\"\"e\"", 0, -1, 0, {"a b", "c", "d\"e"}},
        // A doubled enclosing quote inside becomes one, a lone one stays; brackets never collapse.
        {"(a))b) 'it''s' (a]", 0, -1, 0, {"a))b", "it's", "(a]"}},
        {"\"a\"b\"", 0, -1, 0, {"a\"b"}},
        {"\"ab\"\",\"ab\"x\"\"y", ',', Q, GT_UNQUOTE_OPTION, {"ab\",ab\"x\"\"y"}},  // tail kept
        {"(a,b),\"c,d\"", ',', 0, Alt, {"(a", "b)", "\"c,d\""}},
        {"(a b) c", 0, 0, Alt, {"(a b)", "c"}},  // not in white-space mode
        {"(a,b),c", ',', 0, GT_EX_SEARCH, {"(a,b)", "c"}},
    };
    for (const auto& [text, separator, mode, options, expected] : rows) {
        SCOPED_TRACE(testing::Message() << (text ? text : "(null)") << " mode " << mode);
        CStringArray tokens;
        tokens.Add("stale");
        EXPECT_EQ(kxutilsGetTokens(text, &tokens, separator, nullptr, mode, options),
                  static_cast<int>(expected.size()));
        EXPECT_EQ(ToVector(tokens), expected);
        // Counting alone gives the same number.
        EXPECT_EQ(kxutilsGetTokens(text, nullptr, separator, nullptr, mode, options),
                  static_cast<int>(expected.size()));
    }
}

TEST(GetTokens, AngleModeRestoresTheEarlierSetting) {
    for (int earlier : {0, 1}) {
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
TEST(GetTokens, EndsAsIfEmptiedThenFilled) {
    CStringArray tokens;
    for (const char* old : {"1", "22", "a,bbbbbbbbbbbbbbbbbb", "4444"}) tokens.Add(old);
    const CString shared = tokens[0];
    EXPECT_EQ(kxutilsGetTokens(tokens[2], &tokens, ',', nullptr, 0, 0), 2);
    EXPECT_EQ(ToVector(tokens), (Strings{"a", "bbbbbbbbbbbbbbbbbb"}));
    EXPECT_STREQ(shared, "1");
    EXPECT_EQ(kxutilsGetTokens("x,,z", &tokens, ',', nullptr, 0, 0), 3);
    EXPECT_EQ(ToVector(tokens), (Strings{"x", "", "z"}));
}

// Random lines over the bytes that matter, short ones and ones that span several of the
// search's 64-byte windows: the cells must be the raw cells, each unquoted by the rules,
// whatever shortcut the tokenizer takes to find the ones to rewrite.
TEST(TokenizeOneCsvLine, EqualsTheRawCellsUnquotedOneByOne) {
    const std::string alphabet = "ab,,\"\"\"\n(<)>x";
    unsigned state = 12345;
    const auto next = [&state] { return (state = state * 1103515245u + 12345u) >> 16; };
    CStringArray cells;
    for (int round = 0; round < 20000; ++round) {
        std::string line;
        const unsigned length = next() % 4 == 0 ? next() % 200 : next() % 16;
        while (line.size() < length) {
            // Runs of one byte make long cells and long quoted stretches likely too.
            const char c = alphabet[next() % alphabet.size()];
            line.append(next() % 8 == 0 ? next() % 40 : 1, c);
        }
        const std::vector<std::string> raw = RawCells(line);
        ASSERT_EQ(kxutilsTokenizeOneCSVLine(line.c_str(), &cells),
                  line.empty() ? 0 : static_cast<int>(raw.size()));
        for (std::size_t i = 0; i < raw.size() && !line.empty(); ++i)
            ASSERT_EQ(std::string(cells[static_cast<INT_PTR>(i)]), UnquotedByTheRules(raw[i]))
                << testing::PrintToString(line) << " cell " << i;
    }
}

TEST(SeparateByStr, CutsAtEveryOccurrence) {
    const std::tuple<const char*, const char*, int, Strings> rows[] = {
        {"a,,b", ",", 3, {"a", "", "b"}}, {"a,", ",", 2, {"a", ""}},
        {",a", ",", 2, {"", "a"}},        {"xabab", "ab", 3, {"x", "", ""}},
        {"aaa", "aa", 2, {"", "a"}},  // occurrences never overlap
        {"abc", ";", 1, {"abc"}},         {"a, b, c", ", ", 3, {"a", "b", "c"}},
        {"AbA", "B", 1, {"AbA"}},         {"", ",", 0, {}},  // empty text empties the array
        {"a,b", "", -1, {"old"}},                            // empty separator leaves it alone
    };
    for (const auto& [text, separator, result, pieces] : rows) {
        TestStrings host{"old"};
        EXPECT_EQ(kxu_separate_by_str(text, &host, separator), result) << text << separator;
        EXPECT_EQ(host.Values(), pieces);
        EXPECT_EQ(host.requests, Requests{HOST_TYPE_STRING_ARRAY});
        EXPECT_EQ(host.args, std::vector<void*>{nullptr});
    }
    TestStrings own{"x;y", ";"};  // the text and the separator may be the array's own strings
    EXPECT_EQ(kxutilsSeparateByStr(own.array[0], &own.array, own.array[1]), 2);
    EXPECT_EQ(own.Values(), (Strings{"x", "y"}));
    // The CSV entry fills its host the same way, its cells neither trimmed nor angle-split.
    TestStrings cells{"old", "older", "oldest"};
    EXPECT_EQ(kxu_tokenize_one_csv_line(" <x,y> ,\"d\"\"e\"", &cells), 2);
    EXPECT_EQ(cells.Values(), (Strings{" <x,y> ", "d\"e"}));
    EXPECT_EQ(cells.requests, Requests{HOST_TYPE_STRING_ARRAY});
    EXPECT_EQ(kxutilsReadCSVFile("/no/such/file.csv", CStringArray(), 0, 0), 1);
}

TEST(Join, TokensWithACharacterOrAStringAndPairs) {
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
    // Pairs are appended, not replaced, or nothing when the arrays differ in size; the string
    // may be one of the keys.
    TestStrings keys{"a", "b"}, values{"1", "2"}, three{"1", "2", "3"};
    joined = "p";
    EXPECT_EQ(kxu_make_key_values_str(&joined, &keys, &values, ','), 2);
    EXPECT_EQ(kxu_make_key_values_str(&joined, &keys, &three, ','), 0);
    EXPECT_STREQ(joined, "pa=1,b=2");
    EXPECT_EQ(kxutilsMakeKeyValuesStr(keys.array.ElementAt(0), keys.array, values.array, ';'), 2);
    EXPECT_STREQ(keys.array[0], "aa=1;b=2");
}

TEST(SeparateKeyValues, OnePairPerToken) {
    // Text, separator, result; keys and values.
    const std::tuple<const char*, char, int, Strings, Strings> rows[] = {
        {"\ta = 1\r;; b=2", ';', 3, {"a", "", "b"}, {"1", "", "2"}},
        {"x,k=v=w,=v", ',', 3, {"", "k", ""}, {"x", "v=w", "v"}},
        {"", ',', 0, {}, {}},
        // With ',' a pair that is one quoted stretch is unquoted first.
        {"\"a=1,b\" , c=(2,3)", ',', 2, {"a", "c"}, {"1,b", "(2,3)"}},
        {"\"a=1;b\";c=2", ';', 2, {"\"a", "c"}, {"1;b\"", "2"}},
        {"  a=1 \t b=2 ", 0, 2, {"a", "b"}, {"1", "2"}},
    };
    for (const auto& [text, separator, result, keys, values] : rows) {
        TestStrings keyHost{"old"}, valueHost{"old", "older"};
        EXPECT_EQ(kxu_separate_key_values(text, &keyHost, &valueHost, separator), result);
        EXPECT_EQ(keyHost.Values(), keys);
        EXPECT_EQ(valueHost.Values(), values);
    }
}

// With the worksheet's letters: single L U C S R E G F, suffixed P D O.
TEST(SeparateLabels, AppendsUntilTheFirstFault) {
    // Text, what the array holds before, flags (0x1: repeats allowed, 0x2: no G); the result
    // and what it holds after. Lower case is taken as upper.
    const std::tuple<const char*, Strings, int, int, Strings> rows[] = {
        {"LUP1D2", {}, 0, 4, {"L", "U", "P1", "D2"}},
        {" l\tp10 ", {"x"}, 0, 3, {"x", "L", "P10"}},
        {"", {"x", "y"}, 0, 2, {"x", "y"}},
        // The codes, and the labels that stay after a stop.
        {"P 1", {}, 0, -99, {"P"}},  // a blank before the digit
        {"L1", {}, 0, -99, {"L"}},   // L takes no suffix
        {"1P", {}, 0, -100, {}},
        {"LX", {}, 0, -98, {"L"}},
        {"cG", {}, 0x2, -98, {"C"}},
        {"LL", {}, 0, -97, {"L"}},
        {"ll", {}, 0x1, 2, {"L", "L"}},
        {"U", {"U"}, 0, -97, {"U"}},                  // old labels count too
        {"UP", {"P", "P"}, 0, -97, {"P", "P", "U"}},  // repeated ones as well
        // Enough labels that the repeat check's table grows on the way, and the first old one.
        {"P1P2P3P4P5P6P7P8P9U",
         {"U"},
         0,
         -97,
         {"U", "P1", "P2", "P3", "P4", "P5", "P6", "P7", "P8", "P9"}},
        // A suffixed label is checked at every length it passes through, after its digit is
        // in: the repeat stays in the array.
        {"P1P12", {}, 0, -97, {"P1", "P1"}},
        {"P12P1", {}, 0, 2, {"P12", "P1"}},
        {"PP1", {}, 0, 2, {"P", "P1"}},
    };
    for (const auto& [text, before, flags, result, after] : rows) {
        SCOPED_TRACE(text);
        CStringArray labels;
        for (const auto& s : before) labels.Add(s.c_str());
        EXPECT_EQ(kxutilsSeparateWksLabelsChar(text, &labels, flags), result);
        EXPECT_EQ(ToVector(labels), after);
    }
    // Through the host, without letters: only the suffix letters are allowed, case counts.
    TestStrings labels{"x"};
    EXPECT_EQ(kxu_separate_char_with_numeric_suffix("P1p", &labels, nullptr, "P"), -98);
    EXPECT_EQ(labels.Values(), (Strings{"x", "P1"}));
}

}  // namespace
