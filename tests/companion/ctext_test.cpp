// The companion text transforms. The exports of tests/text drive them too; these rows hold what
// those never reach: code-page folding, option bits, the length argument, exact positions.
#include "kxplatform.h"
#include "kxtl.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <utility>

namespace {

// Option bits, empty keywords, and a bounded search that stops at its end.
TEST(FindSubstring, EdgesOfTheArguments) {
    char text[] = "abc", upper[] = "OR";
    EXPECT_EQ(kxtl::find_substring("or", upper, 0x1001), upper);  // other option bits ignored
    EXPECT_EQ(kxtl::find_substring("or", upper, 0x0001), nullptr);
    EXPECT_EQ(kxtl::find_substring("", text, 0x1000), nullptr);
    EXPECT_EQ(kxtl::find_substring(nullptr, text, 0), nullptr);
    EXPECT_EQ(kxtl::find_substring("a", nullptr, 0x1000), nullptr);
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
        {"ANDY OR_X xOR NOT2 $AND", "ANDY OR_X xOR NOT2 $AND"},  // not whole words
        {"s=\"A AND\tB\" AND t='OR\r'", "s=\"A AND\tB\" and t='OR\r'"},
        {"s=\"unclosed AND", "s=\"unclosed AND"},
        {"'it''s' OR x", "'it''s' or x"},
        {"\xC9OR OR\xC9", "\xC9OR OR\xC9"},  // a code-page letter joins the word
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

// The edges of the printable range, a byte passed sign-extended, and the NUL; nothing is
// written for a byte that stands for itself.
TEST(EscapeCChar, Edges) {
    const std::pair<int, const char*> rows[] = {{'\a', "\\a"},   {'?', "\\?"},   {0, "\\000"},
                                                {0x1F, "\\037"}, {' ', ""},      {'~', ""},
                                                {0x7F, "\\177"}, {-128, "\\200"}};
    for (const auto& [c, escaped] : rows) {
        char out[8] = "#";
        EXPECT_EQ(kxtl::escape_c_char(c, out, 7), *escaped != '\0') << c;
        EXPECT_STREQ(out, *escaped != '\0' ? escaped : "#") << c;
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
        {false, "code /* x */", 0},       // no comment at p
        {false, "  /* x */", 0},          // white space at p is not skipped
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
