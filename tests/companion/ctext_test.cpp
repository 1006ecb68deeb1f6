// Tests of the companion text transforms (src/companion/ctext.cpp). Keyword replacement, script
// conditions and comment removal drive them through the exports in tests/text; these rows hold
// what those never reach: code-page folding, option bits, the length argument, exact positions.
#include "kxplatform.h"
#include "kxtl.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace {

TEST(FindSubstring, Table) {
    const struct {
        const char* text;
        const char* keyword;
        unsigned short options;
        int from;      // start offset of the search
        int expected;  // offset of the result, -1 for null
    } rows[] = {
        {"aAaA", "AA", 0x1000, 3, -1},             // text ends inside the keyword
        {"abababc", "ababc", 0x1000, 0, 2},        // partial match then restart
        {"\xC9t\xC9", "\xE9t\xE9", 0x1000, 0, 0},  // E acute, both cases
        {"\xC9t\xC9", "\xE9t\xE9", 0, 0, -1},
        {"x\x8A", "\x9A", 0x1000, 0, 1},  // S caron
        {"\xFF", "\x9F", 0x1000, 0, 0},   // Y diaeresis
        {"\xD7", "\xF7", 0x1000, 0, -1},  // multiplication vs division sign
        {"OR", "or", 0x1001, 0, 0},       // other option bits ignored
        {"OR", "or", 0x0001, 0, -1},
        {"abc", "", 0x1000, 0, -1},  // empty keyword
        {"abc", nullptr, 0, 0, -1},
    };
    for (const auto& r : rows) {
        std::string buf = r.text;
        char* const got = kxtl::find_substring(r.keyword, buf.data() + r.from, r.options);
        EXPECT_EQ(got == nullptr ? -1 : got - buf.data(), r.expected)
            << "text '" << r.text << "' options " << r.options << " from " << r.from;
        char* const bounded = kxtl::find_substring_in(r.keyword, buf.data() + r.from,
                                                      buf.data() + buf.size(), r.options);
        EXPECT_EQ(bounded == nullptr ? -1 : bounded - buf.data(), r.expected) << r.text;
    }
    EXPECT_EQ(kxtl::find_substring("a", nullptr, 0x1000), nullptr);
    char text[] = "abc";
    EXPECT_EQ(kxtl::find_substring_in("b", text, nullptr, 0), nullptr);
    EXPECT_EQ(kxtl::find_substring_in("b", text + 2, text + 1, 0), nullptr);
    EXPECT_EQ(kxtl::find_substring_in("c", text, text + 2, 0), nullptr);  // past the end given
}

// Both searches against a plain one on random texts over few letters, with keywords that
// repeat themselves (so that candidates keep matching far and the bounded search changes its
// way), in both letter cases, from every start. The folding of each byte must have at most
// one other case, as the candidate scan takes it.
TEST(FindSubstring, AgreesWithAPlainSearch) {
    const unsigned char* lower = kxp::cp_lower_table();
    for (int c = 0; c < 256; ++c) {
        int partners = 0;
        for (int b = 0; b < 256; ++b) partners += lower[b] == lower[c];
        EXPECT_LE(partners, 2) << c;
        if (partners == 2) {
            EXPECT_EQ(lower[kxp::cp_to_upper(lower[c])], lower[c]) << c;
        }
    }
    unsigned state = 99;
    const auto next = [&state] { return (state = state * 1103515245u + 12345u) >> 16; };
    const std::string letters = "aAab\xC9\xE9";
    for (int round = 0; round < 3000; ++round) {
        std::string text(next() % 300, 'a'), keyword(1 + next() % 12, 'a');
        for (char& c : text) c = next() % 4 == 0 ? letters[next() % letters.size()] : 'a';
        for (char& c : keyword) c = next() % 6 == 0 ? letters[next() % letters.size()] : 'A';
        const unsigned short options = next() % 3 == 0 ? 0 : 0x1000;
        const auto same = [&](unsigned char x, unsigned char y) {
            return options != 0 ? lower[x] == lower[y] : x == y;
        };
        for (std::size_t from = 0; from <= text.size(); from += 1 + next() % 40) {
            std::size_t expected = std::string::npos;
            for (std::size_t p = from; p + keyword.size() <= text.size(); ++p) {
                std::size_t i = 0;
                while (i < keyword.size() && same(text[p + i], keyword[i])) ++i;
                if (i == keyword.size()) {
                    expected = p;
                    break;
                }
            }
            std::string buf = text;
            const auto offset = [&](const char* p) {
                return p == nullptr ? std::string::npos : static_cast<std::size_t>(p - buf.data());
            };
            ASSERT_EQ(offset(kxtl::find_substring(keyword.c_str(), buf.data() + from, options)),
                      expected)
                << text << " / " << keyword << " from " << from;
            ASSERT_EQ(offset(kxtl::find_substring_in(keyword.c_str(), buf.data() + from,
                                                     buf.data() + buf.size(), options)),
                      expected)
                << text << " / " << keyword << " from " << from;
        }
    }
}

TEST(PreprocessExpression, Table) {
    const struct {
        const char* in;
        const char* out;
    } rows[] = {
        {"a\r\n\tb", "a \n b"},
        {"(AND)", "(and)"},
        {"ANDY OR_X xOR NOT2 $AND", "ANDY OR_X xOR NOT2 $AND"},  // not whole words
        {"s=\"A AND\tB\" AND t='OR\r'", "s=\"A AND\tB\" and t='OR\r'"},
        {"s=\"unclosed AND", "s=\"unclosed AND"},
        {"'it''s' OR x", "'it''s' or x"},
        {"\xC9OR OR\xC9", "\xC9OR OR\xC9"},  // a code-page letter joins the word
        {"", ""},
    };
    for (const auto& r : rows) {
        const int n = static_cast<int>(std::strlen(r.in));
        for (const int length : {-1, n}) {
            // Exactly length + 1 bytes on the heap, so ASan catches any growth.
            const std::unique_ptr<char[]> exact(new char[n + 1]);
            std::memcpy(exact.get(), r.in, n + 1);
            EXPECT_EQ(kxtl::preprocess_expression(exact.get(), length), n) << r.in;
            EXPECT_STREQ(exact.get(), r.out);
        }
    }
    char text[] = "AND OR\0AND";
    EXPECT_EQ(kxtl::preprocess_expression(text, 3), 3);      // only "AND" is looked at
    EXPECT_EQ(kxtl::preprocess_expression(text + 4, 6), 2);  // stops at the NUL
    EXPECT_EQ(std::memcmp(text, "and or\0AND", 11), 0);
    EXPECT_EQ(kxtl::preprocess_expression(nullptr, -1), -1);
}

// Every byte, passed sign-extended as a char: a one-letter escape, exactly three octal digits
// (so a digit after it is never swallowed), or nothing written at all.
TEST(EscapeCChar, EveryByte) {
    const std::string simple = "\a\b\t\n\v\f\r\"\\?", letters = "abtnvfr\"\\?";
    for (int c = 0; c < 256; ++c) {
        char out[16], want[16];
        std::memset(out, '#', sizeof out);
        const std::size_t k = c != 0 ? simple.find(static_cast<char>(c)) : std::string::npos;
        k != std::string::npos
            ? std::snprintf(want, sizeof want, "\\%c", letters[k])
            : std::snprintf(want, sizeof want, "\\%03o", static_cast<unsigned>(c));
        const bool plain = c >= 0x20 && c < 0x7F && k == std::string::npos;
        EXPECT_EQ(kxtl::escape_c_char(static_cast<signed char>(c), out, 7) == 0, plain) << c;
        // Up to the NUL; with no NUL written, all 16 bytes.
        EXPECT_EQ(std::string(out, std::find(out, out + 16, '\0')),
                  plain ? std::string(16, '#') : std::string(want))
            << c;
    }
}

TEST(CComments, SkipAndFind) {
    const struct {
        bool find;  // find_c_comment, else skip_c_comment
        const char* text;
        int expected;  // offset of the result; -1 for the terminating NUL
    } rows[] = {
        {false, "/* x */ \t\n code", 9},  // blanks after the comment go, the line break stays
        {false, "/* /* */ y", 9},         // no nesting
        {false, "/*/ x */z", 8},          // "/*/" does not close
        {false, "/* unterminated", -1},
        {false, "code /* x */", 0},  // no comment at p
        {false, "  /* x */", 0},     // white space at p is not skipped
        {false, "/", 0},
        {true, "a / *b /= c", -1},
        {true, "c = '\"'; // yes", 9},  // a quote inside a char literal
        {true, "\"a\\\"/*\" /**/", 8},  // escaped quote inside a string
        {true, "\"a\\\\\"/**/", 5},     // escaped backslash ends before the quote
        {true, "\"unclosed /* no", -1},
        {true, "don't\n/* yes */", 6},  // a literal ends at the line feed
        {true, "'\\\n/* no */'", -1},   // an escaped line feed continues it
    };
    for (const auto& r : rows) {
        const char* got = r.find ? kxtl::find_c_comment(r.text) : kxtl::skip_c_comment(r.text);
        EXPECT_EQ(got - r.text, r.expected < 0 ? std::strlen(r.text) : r.expected) << r.text;
    }
    EXPECT_EQ(kxtl::skip_c_comment(nullptr), nullptr);
    EXPECT_EQ(kxtl::find_c_comment(nullptr), nullptr);
}

}  // namespace
