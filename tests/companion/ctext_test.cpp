// Tests of the companion text transforms (src/companion/ctext.cpp).
#include "kxtl.h"

#include <gtest/gtest.h>

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
        {"band and brand", "and", 0, 2, 5},
        {"band and brand", "and", 0, 12, -1},
        {"and", "and", 0, 0, 0},
        {"x an", "and", 0, 0, -1},  // text ends inside the keyword
        {"AND", "and", 0, 0, -1},   // exact: case matters
        {"x AnD y", "aNd", 0x1000, 0, 2},
        {"aaaa", "aa", 0, 2, 2},  // overlapping occurrences
        {"aAaA", "AA", 0x1000, 3, -1},
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
    }
    EXPECT_EQ(kxtl::find_substring("a", nullptr, 0x1000), nullptr);
}

TEST(PreprocessExpression, Table) {
    const struct {
        const char* in;
        const char* out;
    } rows[] = {
        {"a=1 and b<>2 or not c", "a=1 and b<>2 or not c"},
        {"a=1 AND b<>2 Or NOT c", "a=1 and b<>2 or not c"},
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

// Decodes the body of a C string literal: simple escapes and up to three octal digits.
std::string decode_c_body(const std::string& s) {
    std::string r;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\') {
            r += s[i];
        } else if (s[++i] >= '0' && s[i] <= '7') {
            int v = 0;
            for (std::size_t k = 0; k < 3 && s[i] >= '0' && s[i] <= '7'; ++k)
                v = v * 8 + s[i++] - '0';
            r += static_cast<char>(v);
            --i;
        } else {
            const char* const hit = std::strchr("a\ab\bf\fn\nr\rt\tv\v", s[i]);
            r += hit != nullptr ? hit[1] : s[i];  // else \" \\ ...
        }
    }
    return r;
}

TEST(EscapeCChar, ExactFormsAndRoundTripOfEveryByte) {
    const struct {
        int ch;
        const char* out;
    } rows[] = {{'\a', "\\a"}, {'\n', "\\n"},   {'"', "\\\""},   {'\\', "\\\\"},
                {0, "\\000"},  {0x7F, "\\177"}, {0xFF, "\\377"}, {-1, "\\377"}};
    for (const auto& r : rows) {
        char out[16];
        EXPECT_NE(kxtl::escape_c_char(r.ch, out, 0), 0) << r.ch;
        EXPECT_STREQ(out, r.out) << r.ch;
    }
    // Every byte, sign-extended as a char, each followed by a digit an escape must not swallow.
    std::string original, body;
    for (int c = 0; c < 256; ++c) {
        const char ch = static_cast<char>(c), digit = static_cast<char>('0' + c % 8);
        original += {ch, digit};
        char out[16];
        std::memset(out, '#', sizeof out);
        const bool plain = c >= 0x20 && c < 0x7F && c != '"' && c != '\\';
        EXPECT_EQ(kxtl::escape_c_char(ch, out, 7) == 0, plain) << c;          // options ignored
        EXPECT_EQ(std::string(out, 16) == std::string(16, '#'), plain) << c;  // plain: untouched
        body += plain ? std::string(1, ch) : std::string(out);
        body += digit;
    }
    EXPECT_EQ(decode_c_body(body), original);
}

TEST(CComments, SkipAndFind) {
    const struct {
        bool find;  // find_c_comment, else skip_c_comment
        const char* text;
        int expected;  // offset of the result; -1 for the terminating NUL
    } rows[] = {
        {false, "/* x */code", 7},
        {false, "/* x */ \n\t code", 11},  // white space after the comment is skipped
        {false, "// x\ncode", 5},          // the line feed goes with it
        {false, "// x", -1},
        {false, "/* /* */ y", 9},  // no nesting
        {false, "/*/ x */z", 8},   // "/*/" does not close
        {false, "/* unterminated", -1},
        {false, "code /* x */", 0},  // no comment at p
        {false, "  /* x */", 0},     // white space at p is not skipped
        {false, "/", 0},
        {true, "a = 1; /* x */", 7},
        {true, "a; // x\n", 3},
        {true, "a / *b /= c", -1},
        {true, "s = \"/* no */\"; /* yes */", 16},
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

// The library's comment-removal loop, driven by both helpers.
std::string remove_comments(const std::string& text, bool leadingOnly) {
    std::string out;
    for (const char* p = text.c_str();;) {
        for (const char* q = kxtl::skip_c_comment(p); q > p; q = kxtl::skip_c_comment(p)) p = q;
        if (leadingOnly || *p == '\0') return leadingOnly ? p : out;
        const char* q = kxtl::find_c_comment(p);
        out.append(p, q);
        p = q;
    }
}

TEST(CComments, CallerLoop) {
    EXPECT_EQ(remove_comments("/* a */\n/* b */ // c\n  code /* d */", true), "code /* d */");
    EXPECT_EQ(remove_comments("x = 1; /* b */ y = \"/*\"; // z", false), "x = 1; y = \"/*\"; ");
    EXPECT_EQ(remove_comments("a; // c\nb;", false), "a; b;");
    EXPECT_EQ(remove_comments("a /* open", false), "a ");
}

}  // namespace
