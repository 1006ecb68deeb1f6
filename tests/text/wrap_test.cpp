// Word wrapping and padding, through the exports.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "support/test_host.h"

namespace {

TEST(Wrap, Table) {
    const struct {
        const char* text;
        int width, indent;
        const char* expected;
        int lines;
    } rows[] = {
        {"aaa bbb ccc", 4, 2, "aaa \n  bbb \n  ccc", 3},
        {"aaa bbb", 3, -2, "aaa \nbbb", 2},          // the space just past the width
        {"aa bb cc dd", 6, 0, "aa bb \ncc dd", 2},   // the right-most break wins
        {"ab\n\ncd\n", 10, 2, "ab\n  \n  cd\n", 3},  // no empty last line
        {"aaaa \nb", 4, 1, "aaaa \n \n b", 3},       // a break just before a line feed
        {"", 5, 0, "", 0},
        {"aa bb cccccc dd", 3, 2, "aa bb cccccc dd", -1},  // left as it came
        {"aaa bbb", 0, 0, "aaa bbb", -1},
    };
    for (const auto& r : rows) {
        CString text(r.text);
        EXPECT_EQ(kxu_wrap_text(&text, r.width, r.indent), r.lines) << r.text << ' ' << r.width;
        EXPECT_STREQ(text, r.expected);
    }
}

// The method as first described: insert the line feed and the indent into
// the text line by line. The export must agree with it on every input.
int InsertModel(std::string& t, int width, int indent) {
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
        const int width = 1 + static_cast<int>(rng() % 6), indent = static_cast<int>(rng() % 4) - 1;
        std::string expected = text;
        const int lines = text.empty() ? 0 : InsertModel(expected, width, indent);
        CString s(text.c_str());
        ASSERT_EQ(kxu_wrap_text(&s, width, indent), lines) << '"' << text << "\" " << width;
        ASSERT_EQ(std::string(s), expected) << '"' << text << "\" " << width << ' ' << indent;
    }
}

TEST(Pad, PlacesTheTextInAFieldOfExactlyTheWidth) {
    // Width 5 and fill '*' unless the row says otherwise.
    const char* rows[][3] = {{"ab", "0", "ab***"},  {"ab", "1", "*ab**"},
                             {"ab", "2", "***ab"},  {"ab", "7", "ab***"},
                             {"ab", "-1", "ab***"}, {"abcdefg", "2", "abcde"}};
    for (const auto& r : rows) EXPECT_STREQ(kxu_str_pad_char(r[0], 5, std::atoi(r[1]), '*'), r[2]);
    EXPECT_STREQ(kxu_str_pad_char("ab", 6, 1, '-'), "--ab--");
    EXPECT_STREQ(kxu_str_pad_char("ab", 5, 2, '\0'), "ab");  // a NUL fill: the text alone
    EXPECT_STREQ(kxu_str_pad_char("ab", 0, 0, '*'), "");
}

}  // namespace
