// Word wrapping and padding, through the exports.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "support/test_host.h"

namespace {

struct WrapRow {
    const char* text;
    int width;
    int indent;
    const char* expected;
    int lines;
};

void PrintTo(const WrapRow& row, std::ostream* os) {
    *os << '"' << row.text << "\" width " << row.width << " indent " << row.indent;
}

class Wrap : public testing::TestWithParam<WrapRow> {};

TEST_P(Wrap, BreaksAfterWhiteSpaceWithAHangingIndent) {
    const WrapRow& row = GetParam();
    CString text(row.text);
    EXPECT_EQ(kxu_wrap_text(&text, row.width, row.indent), row.lines);
    EXPECT_STREQ(text, row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Wrap,
    testing::Values(WrapRow{"aaa bbb ccc", 4, 0, "aaa \nbbb \nccc", 3},
                    WrapRow{"aaa bbb ccc", 4, 2, "aaa \n  bbb \n  ccc", 3},
                    WrapRow{"aaa bbb ccc", 4, -2, "aaa \nbbb \nccc", 3},
                    WrapRow{"aaa bbb", 3, 0, "aaa \nbbb", 2},  // the space just past the width
                    WrapRow{"aaa bbb", 7, 0, "aaa bbb", 1},    // exactly the width
                    WrapRow{"aa bb cc dd", 6, 0, "aa bb \ncc dd", 2},  // the right-most break wins
                    WrapRow{"aa\tbb", 2, 0, "aa\t\nbb", 2}, WrapRow{"ab\ncd", 10, 1, "ab\n cd", 2},
                    WrapRow{"ab\n", 10, 2, "ab\n", 1},              // no empty last line
                    WrapRow{"ab\n\ncd", 10, 2, "ab\n  \n  cd", 3},  // an empty line is indented too
                    WrapRow{"\nab", 10, 1, "\n ab", 2},
                    // A break just before a line feed leaves an empty line behind it.
                    WrapRow{"aaaa \nb", 4, 1, "aaaa \n \n b", 3},
                    WrapRow{"a b c d", 1, 3, "a \n   b \n   c \n   d", 4},
                    WrapRow{"", 5, 0, "", 0}));

// A line without a break leaves the whole text as it came, even after breaks.
INSTANTIATE_TEST_SUITE_P(Refused, Wrap,
                         testing::Values(WrapRow{"abcdefgh", 3, 0, "abcdefgh", -1},
                                         WrapRow{"aa bb cccccc dd", 3, 2, "aa bb cccccc dd", -1},
                                         WrapRow{" abc", 2, 0, " abc",
                                                 -1},  // breaks at 0, then no break fits
                                         WrapRow{"ab\nabcdef ab", 4, 0, "ab\nabcdef ab", -1},
                                         WrapRow{"aaa bbb", 0, 0, "aaa bbb", -1},
                                         WrapRow{"aaa bbb", -5, 0, "aaa bbb", -1}));

TEST(WrapEntry, NullTextIsRefused) { EXPECT_EQ(kxu_wrap_text(nullptr, 10, 0), -1); }

TEST(WrapEntry, HugeWidthKeepsTheText) {
    CString text("a b c");
    EXPECT_EQ(kxu_wrap_text(&text, 2147483647, 0), 1);
    EXPECT_STREQ(text, "a b c");
}

// The rules as the original method states them: insert line feeds and the
// indent into the text line by line. The export must agree on every input.
int InsertModel(std::string& t, int width, int indent) {
    const std::string pad(indent > 0 ? static_cast<std::size_t>(indent) : 0, ' ');
    const std::string saved = t;
    long s = 0, e = -1;
    int n = 0;
    auto len = [&t] { return static_cast<long>(t.size()); };
    while (s < len()) {
        if (s > e) {
            const std::size_t f = t.find('\n', static_cast<std::size_t>(s));
            e = f == std::string::npos ? len() : static_cast<long>(f);
        }
        const long b = s + width;
        if (b >= e) {
            if (n > 0)
                t.insert(static_cast<std::size_t>(s), pad), e += static_cast<long>(pad.size());
            s = e + 1;
        } else {
            long q = b;
            while (q >= s && t[static_cast<std::size_t>(q)] != ' ' &&
                   t[static_cast<std::size_t>(q)] != '\n')
                --q;
            if (q < s) {
                t = saved;
                return -1;
            }
            t.insert(static_cast<std::size_t>(q + 1), 1, '\n');
            ++e;
            if (n > 0) {
                t.insert(static_cast<std::size_t>(s), pad);
                q += static_cast<long>(pad.size());
                e += static_cast<long>(pad.size());
            }
            s = q + 2;
        }
        ++n;
    }
    return n;
}

TEST(WrapEntry, AgreesWithInsertingOnRandomTexts) {
    const char alphabet[] = "aab  \n";
    std::mt19937 rng(7);
    for (int round = 0; round < 4000; ++round) {
        std::string text(rng() % 30, ' ');
        for (char& c : text) c = alphabet[rng() % (sizeof alphabet - 1)];
        const int width = 1 + static_cast<int>(rng() % 6);
        const int indent = static_cast<int>(rng() % 4) - 1;
        std::string expected = text;
        const int lines = text.empty() ? 0 : InsertModel(expected, width, indent);
        CString s(text.c_str());
        ASSERT_EQ(kxu_wrap_text(&s, width, indent), lines)
            << '"' << text << "\" " << width << ' ' << indent;
        ASSERT_EQ(std::string(s), expected) << '"' << text << "\" " << width << ' ' << indent;
    }
}

// ---- Padding ----------------------------------------------------------------

struct PadRow {
    const char* text;
    int width;
    int align;
    char fill;
    const char* expected;
};

TEST(PadEntry, PlacesTheTextInAFieldOfExactlyTheWidth) {
    const PadRow rows[] = {
        {"ab", 5, 0, '*', "ab***"},     {"ab", 5, 1, '*', "*ab**"},
        {"ab", 5, 2, '*', "***ab"},     {"ab", 5, 7, '*', "ab***"},
        {"ab", 5, -1, '*', "ab***"},    {"ab", 3, 1, '*', "ab*"},
        {"ab", 6, 1, '*', "**ab**"},    {"abcdef", 4, 0, '*', "abcd"},
        {"abcdef", 4, 1, '*', "abcd"},  {"abcdef", 4, 2, '*', "abcd"},
        {"ab", 2, 2, '*', "ab"},        {"", 3, 1, '-', "---"},
        {nullptr, 2, 0, '-', "--"},     {"ab", 0, 2, '*', ""},
        {"ab", -4, 0, '*', ""},         {"ab", 5, 0, '\0', "ab"},
        {"ab", 5, 1, '\0', "ab"},       {"ab", 5, 2, '\0', "ab"},
        {"abcdef", 4, 2, '\0', "abcd"},
    };
    for (const PadRow& r : rows) {
        const CString padded = kxu_str_pad_char(r.text, r.width, r.align, r.fill);
        EXPECT_STREQ(padded, r.expected) << (r.text ? r.text : "(null)") << ' ' << r.width << ' '
                                         << r.align << " '" << r.fill << '\'';
        EXPECT_EQ(padded.GetLength(), static_cast<int>(std::strlen(r.expected)));
    }
}

}  // namespace
