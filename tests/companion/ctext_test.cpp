// Tests of the companion text transforms (src/companion/ctext.cpp).
#include "kxtl.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>

namespace {

// ---- find_substring --------------------------------------------------------

struct FindRow {
    const char* text;
    const char* keyword;
    unsigned short options;
    int from;      // start offset of the search
    int expected;  // offset of the result, -1 for null
};

TEST(FindSubstring, Table) {
    const FindRow rows[] = {
        {"band and brand", "and", 0, 0, 1},
        {"band and brand", "and", 0, 2, 5},
        {"band and brand", "and", 0, 6, 11},
        {"band and brand", "and", 0, 12, -1},
        {"and", "and", 0, 0, 0},    // at the start, whole text
        {"x and", "and", 0, 0, 2},  // at the end
        {"x an", "and", 0, 0, -1},  // text ends inside the keyword
        {"AND", "and", 0, 0, -1},   // exact: case matters
        {"AND", "and", 0x1000, 0, 0},
        {"x AnD y", "aNd", 0x1000, 0, 2},
        {"aaaa", "aa", 0, 1, 1},  // overlapping occurrences
        {"aaaa", "aa", 0, 2, 2},
        {"aaaa", "aa", 0, 3, -1},
        {"aAaA", "AA", 0x1000, 3, -1},
        {"aAaA", "AA", 0x1000, 1, 1},
        {"abababc", "ababc", 0x1000, 0, 2},        // partial match then restart
        {"\xC9t\xC9", "\xE9t\xE9", 0x1000, 0, 0},  // E acute, both cases
        {"\xC9t\xC9", "\xE9t\xE9", 0, 0, -1},
        {"x\x8A", "\x9A", 0x1000, 0, 1},  // S caron
        {"\xFF", "\x9F", 0x1000, 0, 0},   // Y diaeresis
        {"\xB5", "\xB5", 0x1000, 0, 0},   // micro sign: no upper case
        {"\xD7", "\xF7", 0x1000, 0, -1},  // multiplication vs division sign
        {"or", "or", 0x1001, 0, 0},       // other option bits ignored
        {"OR", "or", 0x0001, 0, -1},
        {"", "a", 0x1000, 0, -1},
        {"abc", "", 0, 0, -1},  // empty keyword
        {"abc", "", 0x1000, 0, -1},
    };
    for (const FindRow& r : rows) {
        std::string buf = r.text;
        char* const base = buf.data();
        char* const got = kxtl::find_substring(r.keyword, base + r.from, r.options);
        const int off = got == nullptr ? -1 : static_cast<int>(got - base);
        EXPECT_EQ(off, r.expected) << "text '" << r.text << "' keyword '" << r.keyword
                                   << "' options " << r.options << " from " << r.from;
    }
}

TEST(FindSubstring, NullArguments) {
    char text[] = "abc";
    EXPECT_EQ(kxtl::find_substring(nullptr, text, 0), nullptr);
    EXPECT_EQ(kxtl::find_substring("a", nullptr, 0x1000), nullptr);
}

TEST(FindSubstring, LargeTextEveryOccurrence) {
    std::string text;
    for (int i = 0; i < 20000; ++i) text += (i % 2 != 0) ? "xx AND " : "yy and ";
    int count = 0;
    for (char* p = kxtl::find_substring("and", text.data(), 0x1000); p != nullptr;
         p = kxtl::find_substring("and", p + 3, 0x1000))
        ++count;
    EXPECT_EQ(count, 20000);
}

// ---- preprocess_expression -------------------------------------------------

struct PrepRow {
    const char* in;
    const char* out;
};

TEST(PreprocessExpression, Table) {
    const PrepRow rows[] = {
        {"a=1 and b<>2 or not c", "a=1 and b<>2 or not c"},
        {"a=1 AND b<>2 Or NOT c", "a=1 and b<>2 or not c"},
        {"a\r\n\tb", "a \n b"},
        {"(AND)", "(and)"},
        {"ANDY OR_X xOR NOT2 $AND", "ANDY OR_X xOR NOT2 $AND"},  // not whole words
        {"x.AND(y)", "x.and(y)"},
        {"s=\"A AND\tB\" AND t='OR\r'", "s=\"A AND\tB\" and t='OR\r'"},
        {"s=\"unclosed AND", "s=\"unclosed AND"},
        {"'it''s' OR x", "'it''s' or x"},
        {"\xC9OR OR\xC9", "\xC9OR OR\xC9"},  // a code-page letter joins the word
        {"", ""},
        {"NOT", "not"},
    };
    for (const PrepRow& r : rows) {
        const std::size_t n = std::strlen(r.in);
        // Exactly length + 1 bytes on the heap, so ASan catches any growth.
        char* const exact = new char[n + 1];
        std::memcpy(exact, r.in, n + 1);
        EXPECT_EQ(kxtl::preprocess_expression(exact, -1), static_cast<int>(n)) << r.in;
        EXPECT_STREQ(exact, r.out);
        std::memcpy(exact, r.in, n + 1);
        EXPECT_EQ(kxtl::preprocess_expression(exact, static_cast<int>(n)), static_cast<int>(n));
        EXPECT_STREQ(exact, r.out);
        delete[] exact;
    }
}

TEST(PreprocessExpression, LengthLimitsAndNull) {
    char text[] = "AND OR";
    EXPECT_EQ(kxtl::preprocess_expression(text, 3), 3);  // only "AND" is looked at
    EXPECT_STREQ(text, "and OR");
    char cut[] = "OR\0AND";
    EXPECT_EQ(kxtl::preprocess_expression(cut, 6), 2);  // stops at the NUL
    EXPECT_EQ(std::memcmp(cut, "or\0AND", 7), 0);
    EXPECT_EQ(kxtl::preprocess_expression(nullptr, -1), -1);
}

// ---- escape_c_char ---------------------------------------------------------

TEST(EscapeCChar, NamedEscapes) {
    const struct {
        int ch;
        const char* out;
    } rows[] = {{'\a', "\\a"},
                {'\b', "\\b"},
                {'\f', "\\f"},
                {'\n', "\\n"},
                {'\r', "\\r"},
                {'\t', "\\t"},
                {'\v', "\\v"},
                {'"', "\\\""},
                {'\\', "\\\\"},
                {0, "\\000"},
                {1, "\\001"},
                {0x1B, "\\033"},
                {0x7F, "\\177"},
                {0x80, "\\200"},
                {0xFF, "\\377"},
                {-1, "\\377"},
                {static_cast<char>('\xE9'), "\\351"}};
    for (const auto& r : rows) {
        char out[16];
        EXPECT_NE(kxtl::escape_c_char(r.ch, out, 0), 0) << r.ch;
        EXPECT_STREQ(out, r.out) << r.ch;
    }
}

TEST(EscapeCChar, AllBytes) {
    for (int c = -128; c < 256; ++c) {
        char out[16];
        std::memset(out, '#', sizeof out);
        const int escaped = kxtl::escape_c_char(c, out, 7);  // options ignored
        const unsigned char b = static_cast<unsigned char>(c);
        const bool plain = b >= 0x20 && b < 0x7F && b != '"' && b != '\\';
        EXPECT_EQ(escaped == 0, plain) << c;
        if (escaped == 0) {
            EXPECT_EQ(std::string(out, 16), std::string(16, '#')) << c;  // untouched
        } else {
            EXPECT_NE(std::memchr(out, '\0', 16), nullptr) << c;
            EXPECT_EQ(out[0], '\\') << c;
        }
    }
}

// Decodes the body of a C string literal (simple, octal and hex escapes).
std::string decode_c_body(const std::string& s) {
    std::string r;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\') {
            r += s[i];
            continue;
        }
        const char e = s[++i];
        if (e >= '0' && e <= '7') {  // up to three octal digits, as C reads them
            int v = 0;
            std::size_t k = 0;
            for (; k < 3 && i + k < s.size() && s[i + k] >= '0' && s[i + k] <= '7'; ++k)
                v = v * 8 + (s[i + k] - '0');
            i += k - 1;
            r += static_cast<char>(v);
            continue;
        }
        if (e == 'x') {  // hex: every hex digit that follows, as C reads them
            int v = 0;
            while (i + 1 < s.size() && std::isxdigit(static_cast<unsigned char>(s[i + 1])) != 0) {
                const char d = s[++i];
                v = v * 16 + (d <= '9' ? d - '0' : (d | 0x20) - 'a' + 10);
            }
            r += static_cast<char>(v);
            continue;
        }
        static const char kLetters[] = "abfnrtv";
        static const char kBytes[] = "\a\b\f\n\r\t\v";
        const char* const hit = e != 0 ? std::strchr(kLetters, e) : nullptr;
        r += hit != nullptr ? kBytes[hit - kLetters] : e;  // else \" \\ \' \?
    }
    return r;
}

TEST(EscapeCChar, RoundTripAllBytesFollowedByDigits) {
    std::string original;
    for (int c = 0; c < 256; ++c) {
        original += static_cast<char>(c);
        original += static_cast<char>('0' + c % 8);  // a digit after every byte
    }
    std::string body;
    for (char ch : original) {
        char out[16];
        if (kxtl::escape_c_char(ch, out, 0) != 0)
            body += out;
        else
            body += ch;
    }
    EXPECT_EQ(decode_c_body(body), original);
}

// ---- skip_c_comment / find_c_comment ---------------------------------------

struct CommentRow {
    const char* text;
    int expected;  // offset of the result; -1 for the terminating NUL
};

TEST(SkipCComment, Table) {
    const CommentRow rows[] = {
        {"/* x */", -1},
        {"/* x */code", 7},
        {"/* x */ \n\t code", 11},  // white space after the comment is skipped
        {"// x\ncode", 5},          // the line feed goes with it
        {"// x", -1},
        {"/* /* */ y", 9},  // no nesting
        {"/*/ x */z", 8},   // "/*/" does not close
        {"/* unterminated", -1},
        {"/**/x", 4},
        {"code /* x */", 0},  // no comment at p
        {"  /* x */", 0},     // white space at p is not skipped
        {"a / b", 0},
        {"/ b", 0},
        {"/", 0},
        {"", 0},
    };
    for (const CommentRow& r : rows) {
        const char* got = kxtl::skip_c_comment(r.text);
        const int len = static_cast<int>(std::strlen(r.text));
        EXPECT_EQ(got - r.text, r.expected < 0 ? len : r.expected) << r.text;
    }
    EXPECT_EQ(kxtl::skip_c_comment(nullptr), nullptr);
}

TEST(SkipCComment, RepeatedCallsPassLeadingComments) {
    const char* text = "/* a */\n/* b */ // c\n  code /* d */";
    const char* p = text;
    for (const char* q = kxtl::skip_c_comment(p); q > p; q = kxtl::skip_c_comment(p)) p = q;
    EXPECT_STREQ(p, "code /* d */");
}

TEST(FindCComment, Table) {
    const CommentRow rows[] = {
        {"/* x */", 0},
        {"a = 1; /* x */", 7},
        {"a; // x\n", 3},
        {"a / b", -1},  // division
        {"a / *b", -1},
        {"a /= b", -1},
        {"s = \"/* no */\"; /* yes */", 16},
        {"c = '/'; /* yes */", 9},
        {"c = '\"'; // yes", 9},  // a quote inside a char literal
        {"\"a\\\"/*\" /**/", 8},  // escaped quote inside a string
        {"\"a\\\\\"/**/", 5},     // escaped backslash ends before the quote
        {"\"unclosed /* no", -1},
        {"don't\n/* yes */", 6},  // a literal ends at the line feed
        {"'\\\n/* no */'", -1},   // an escaped line feed continues it
        {"", -1},
        {"plain", -1},
    };
    for (const CommentRow& r : rows) {
        const char* got = kxtl::find_c_comment(r.text);
        const int len = static_cast<int>(std::strlen(r.text));
        EXPECT_EQ(got - r.text, r.expected < 0 ? len : r.expected) << r.text;
    }
    EXPECT_EQ(kxtl::find_c_comment(nullptr), nullptr);
}

// The library's comment-removal loop, driven by both helpers.
std::string remove_comments(const std::string& text, bool leadingOnly) {
    std::string out;
    const char* p = text.c_str();
    for (;;) {
        const char* c = p;
        for (const char* q = kxtl::skip_c_comment(c); q > c; q = kxtl::skip_c_comment(c)) c = q;
        if (leadingOnly) return c;
        if (*c == '\0') return out;
        const char* q = kxtl::find_c_comment(c);
        out.append(c, q);
        if (q == nullptr) return out;
        p = q;
    }
}

TEST(CommentHelpers, CallerLoop) {
    EXPECT_EQ(remove_comments("/* a */\n/* b */ code", true), "code");
    EXPECT_EQ(remove_comments("/* a */ x = 1; /* b */ y", true), "x = 1; /* b */ y");
    EXPECT_EQ(remove_comments("x = 1; /* b */ y = \"/*\"; // z", false), "x = 1; y = \"/*\"; ");
    EXPECT_EQ(remove_comments("a; // c\nb;", false), "a; b;");
    EXPECT_EQ(remove_comments("a /* open", false), "a ");
}

}  // namespace
