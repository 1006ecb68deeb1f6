// Text transforms: keyword replacement and expressions, wrapping and padding, C-source helpers,
// HTML escaping and reordering, through the exported entries and test hosts.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "support/test_host.h"

namespace {

// The method as first described: splice each replacement into the text and
// search on after it. The export must agree with it on every input.
int SpliceModel(std::string& t, const std::string& key, const std::string& rep, bool anyCase) {
    auto word = [](unsigned char c) {
        return std::isalnum(c) || (c | 32) == 0xE9 || (c && std::strchr("$%*:@\\^_~", c));  // É é
    };
    auto same = [anyCase](char a, char b) { return anyCase ? (a | 32) == (b | 32) : a == b; };
    int count = 0;
    for (std::size_t p = 0; p + key.size() <= t.size(); ++p) {
        if (!std::equal(key.begin(), key.end(), t.begin() + static_cast<long>(p), same)) continue;
        const unsigned char before = p > 0 ? t[p - 1] : 0,
                            after = p + key.size() < t.size() ? t[p + key.size()] : 0;
        const bool alone = !word(before) && !word(after) && !(before == '(' && after == ')');
        if (alone) t.replace(p, key.size(), rep), ++count;
        p += (alone ? rep.size() : key.size()) - 1;
    }
    return count;
}

TEST(KeywordReplace, AgreesWithSplicingOnRandomTexts) {
    // Word characters and boundaries of every kind, case pairs, bytes above 0x7F (0x80, the euro
    // sign, is none of the code page's letters); an empty replacement that follows a word
    // character in memory. One round in four also draws on the rest of the word characters.
    static const char kAfterX[] = "x";
    const char alphabet[] = "aAnd -()_x$.9Z\xE9\xC9\x80%*:@\\^~";
    const char* keys[] = {"and", "a", "-", "--", "a-", "(a", "d)", "\xE9"};
    const char* reps[] = {kAfterX + 1, "&&", "x", "-", "((", ")", "a longer one", "a"};
    std::mt19937 rng(5);
    for (int round = 0; round < 10000; ++round) {
        std::string text(rng() % 24, ' ');
        for (char& c : text) c = alphabet[rng() % (round % 4 ? 17 : sizeof alphabet - 1)];
        const std::string key = keys[rng() % 8];
        const char* rep = reps[rng() % 8];
        const bool anyCase = rng() % 2 == 0;
        std::string expected = text;
        const int count = SpliceModel(expected, key, rep, anyCase);
        CString s(text.c_str());
        ASSERT_EQ(kxu_keyword_replace(&s, key.c_str(), rep, anyCase), count)
            << '"' << text << "\" '" << key << "' -> '" << rep << "' " << anyCase;
        ASSERT_EQ(std::string(s), expected) << '"' << text << "\" '" << key << "'";
    }
    CString text("a b");
    EXPECT_EQ(kxu_keyword_replace(&text, "", "x", false), -1);
    EXPECT_STREQ(text, "a b");
    // The keyword and the replacement may be pieces of the text itself, which the rewriting
    // moves or overwrites.
    CString longer("ab x ab"), shorter("and x and");
    EXPECT_EQ(kxu_keyword_replace(&longer, longer.GetString() + 5, longer.GetString() + 3, 0), 2);
    EXPECT_STREQ(longer, "x ab x x ab");
    EXPECT_EQ(kxu_keyword_replace(&shorter, shorter.GetString() + 6, shorter.GetString() + 8, 0),
              2);
    EXPECT_STREQ(shorter, "d x d");
    // A replacement that is the whole text, long enough that growing it hands the old block back
    // to the system.
    std::string big(1 << 18, 'x');  // made in place: no block of its size is freed before
    big.replace(0, 3, "ab ").replace(big.size() - 3, 3, " ab");
    CString whole(big.c_str());
    EXPECT_EQ(kxu_keyword_replace(&whole, "ab", whole.GetString(), 0), 2);
    EXPECT_EQ(std::string(whole), big + big.substr(2, big.size() - 4) + big);
}

// The method as first described: insert the line feed and the indent into
// the text line by line. The export must agree with it on every input.
int InsertModel(std::string& t, int width, int indent) {
    if (width < 1) return -1;
    const std::string pad(indent > 0 ? indent : 0, ' '), saved = t;
    long s = 0, e = -1, n = 0, k = static_cast<long>(pad.size());
    for (; s < static_cast<long>(t.size()); ++n) {
        if (s > e) e = static_cast<long>(std::min(t.find('\n', s), t.size()));
        long q = s + width;
        if (q >= e) {
            if (n > 0) t.insert(s, pad), e += k;
            s = e + 1;
            continue;
        }
        while (q >= s && t[q] != ' ' && t[q] != '\n') --q;
        if (q < s) return t = saved, -1;
        t.insert(q + 1, 1, '\n'), ++e;
        if (n > 0) t.insert(s, pad), q += k, e += k;
        s = q + 2;
    }
    return static_cast<int>(n);
}

TEST(Wrap, AgreesWithInsertingOnRandomTexts) {
    const char alphabet[] = "aab  \n";
    std::mt19937 rng(7);
    for (int round = 0; round < 4000; ++round) {
        std::string text(rng() % 30, ' ');
        for (char& c : text) c = alphabet[rng() % (sizeof alphabet - 1)];
        const int width = static_cast<int>(rng() % 7), indent = static_cast<int>(rng() % 4) - 1;
        std::string expected = text;
        const int lines = InsertModel(expected, width, indent);
        CString s(text.c_str());
        ASSERT_EQ(kxu_wrap_text(&s, width, indent), lines) << '"' << text << "\" " << width;
        ASSERT_EQ(std::string(s), expected) << '"' << text << "\" " << width << ' ' << indent;
    }
}

TEST(Pad, PlacesTheTextInAFieldOfExactlyTheWidth) {
    // Text, width, alignment, fill; the result.
    const std::tuple<const char*, int, int, char, const char*> rows[] = {
        {"ab", 5, 0, '*', "ab***"},  {"ab", 5, 1, '*', "*ab**"},  {"ab", 5, 2, '*', "***ab"},
        {"ab", 5, 7, '*', "ab***"},  {"ab", 5, -1, '*', "ab***"}, {"abcdefg", 5, 2, '*', "abcde"},
        {"ab", 6, 1, '-', "--ab--"}, {"ab", 5, 2, '\0', "ab"},  // a NUL fill: the text alone
        {"ab", 0, 0, '*', ""},
    };
    for (const auto& [text, width, align, fill, padded] : rows)
        EXPECT_STREQ(kxu_str_pad_char(text, width, align, fill), padded) << width << align;
}

// The entries that rewrite one string. Each row: the entry, its text, its number argument (the
// leading-only switch, the prefix, the direction), for HTML the selection (null: the text itself);
// the text after.
enum Entry { kExpression, kComments, kCBody, kCName, kHtml };

TEST(Rewrite, OneStringInOneStringOut) {
    const std::tuple<Entry, const char*, int, const char*, const char*> rows[] = {
        {kExpression, "a=1 and b<>2 or not c", 0, nullptr, "a==1 && b<>2 || ! c"},
        {kExpression, "x = 1; x != 1; x <= 1; x >= 1; x == 1; a===b", 0, nullptr,
         "x == 1; x != 1; x <= 1; x >= 1; x == 1; a===b"},
        {kExpression, "a&b|c =a=\nb\r\nc", 0, nullptr, "a&&b||c ==a== b  c"},  // line feeds go
        {kExpression, "A AND B Or NOT(c) (not) s=\"a and b\"", 0, nullptr,
         "A && B || !(c) (not) s==\"a && b\""},
        {kComments, " \t\n ", 0, nullptr, ""},
        {kComments, "  /* a */ x = 1; /* c */ y  ", 0, nullptr, "x = 1; y"},
        {kComments, "  /* a */\n// b\n x = 1; /* c */ y  ", 1, nullptr, "x = 1; /* c */ y"},
        {kComments, "x = \"/*\"; c = '/'; // z", 0, nullptr, "x = \"/*\"; c = '/'; "},
        {kComments, "#define A 1 /* one */\nint x = A; // c \\\n d\r\nb;", 0, nullptr,
         "#define A 1 \nint x = A; \r\nb;"},
        {kComments, "x/**/y a /* never closed", 0, nullptr, "xy a "},
        // No nesting; "/*/" does not close; openers inside literals do not count.
        {kComments, "a /* /* */ b/*/ x */z c = '\"'; // yes", 0, nullptr, "a bz c = '\"'; "},
        {kComments, "\"a\\\"/*\" x/**/y \"a\\\\\"/**/b / *c /= d", 0, nullptr,
         "\"a\\\"/*\" xy \"a\\\\\"b / *c /= d"},
        {kComments, "don't\n/* yes */x '\\\n/* no */' \"unclosed /* no", 0, nullptr,
         "don't\nx '\\\n/* no */' \"unclosed /* no"},
        // No quotes around the body.
        {kCBody, "say \"hi\"\n 'q'?\?= \0017 caf\xE9", 0, nullptr,
         "say \\\"hi\\\"\\n 'q'\\?\\?= \\0017 caf\\351"},
        {kCBody, "", 0, nullptr, ""},
        {kCBody, "\x1F\x7F~ \a", 0, nullptr,
         "\\037\\177~ \\a"},  // the edges of the printable range
        {kCName, "2nd value!", '_', nullptr, "_2ndvalue"},
        {kCName, "2nd value!", '7', nullptr, "ndvalue"},
        {kCName, "2nd value!", '\0', nullptr, "ndvalue"},
        {kCName, "(42)", 'x', nullptr, "x42"},
        {kCName, "(42)", '7', nullptr, ""},
        {kCName, "abc", '_', nullptr, "abc"},
        {kCName, "caf\xE9 au_lait", 'Z', nullptr, "cafau_lait"},
        {kHtml, "a<b & c", 0, nullptr, "a&lt;b&nbsp;&amp;&nbsp;c"},
        {kHtml, "x-1 \"q\"\n", 0, nullptr, "x&#8722;1&nbsp;&quot;q&quot;<br>"},
        {kHtml, "a<b & c", 0, "<", "a&lt;b & c"},  // unselected characters stay
        {kHtml, "&lt;p&gt;", 1, "<", "<p&gt;"},
        {kHtml, "&lt;p&gt;", 1, "", "&lt;p&gt;"},
        {kHtml, "&amp;lt;", -3, "&<", "&lt;"},  // "&amp;" goes last
    };
    for (const auto& [entry, text, n, selection, after] : rows) {
        CString s(text), out("stale");
        int result = 1;
        if (entry == kExpression) result = kxu_get_correct_SK_expression(text, &out);
        if (entry == kComments) result = kxu_skip_C_comments(&s, n);
        if (entry == kCBody) kxu_make_C_string_from_ascii(text, &out);
        if (entry == kCName) kxuMakeValidCName(&s, static_cast<char>(n));
        if (entry == kHtml) kxu_check_escape_html_charcters(&s, selection ? selection : text, n);
        EXPECT_EQ(result, 1);
        EXPECT_STREQ(entry == kExpression || entry == kCBody ? out : s, after) << entry << text;
    }
    std::string every;  // every byte but NUL: escaping then unescaping gives the text back
    for (int c = 1; c < 256; ++c) every += static_cast<char>(c);
    for (const char* text : {"a < b && c-d \"e\"\nf", "&lt; is text", "<br>\n", "&&&amp;;"}) {
        CString s(text);
        kxutilsCheckEscapeHTMLCharcters(&s, every.c_str(), 0);
        kxutilsCheckEscapeHTMLCharcters(&s, every.c_str(), 1);
        EXPECT_STREQ(s, text);
    }
}

TEST(Reorder, FillsTheDestinationInTheGivenOrder) {
    // n, order, source size bound; the result and the destination after, from {"x", "y", "z"}.
    // An index within the bound but past the source's end raises, after the earlier entries.
    const std::tuple<int, std::vector<int>, int, int, Strings> rows[] = {
        {2, {2, 0}, 3, 1, {"c", "a", "z"}}, {2, {2, 0}, 2, -2, {"x", "y", "z"}},
        {1, {-1}, 3, -2, {"x", "y", "z"}},  {0, {0}, 1, 1, {"x", "y", "z"}},
        {0, {0}, 0, -2, {"x", "y", "z"}},   {3, {1, 5, 0}, 9, 0, {"b", "y", "z"}},
    };
    for (const auto& [n, order, bound, result, after] : rows) {
        TestStrings destination{"x", "y", "z"}, source{"a", "b", "c"};
        source.array.SetSize(2 + (result != 0));
        try {
            EXPECT_EQ(kxu_multi_str_reorder(n, &destination, order.data(), bound, &source), result);
        } catch (CInvalidArgException* e) {
            EXPECT_EQ(result, 0);
            e->Delete();  // thrown by pointer, as the framework does
        }
        EXPECT_EQ(destination.Values(), after);
    }
    TestStrings both{"a", "b"};  // reads what earlier steps wrote
    const int swap[] = {1, 0};
    EXPECT_EQ(kxu_multi_str_reorder(2, &both, swap, 2, &both), 1);
    EXPECT_EQ(both.Values(), (Strings{"b", "b"}));
}

}  // namespace
