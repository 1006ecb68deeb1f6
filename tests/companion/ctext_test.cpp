// The companion's substring searches. The keyword replacement of tests/text drives
// find_substring_in on short texts only; these hold both searches to a plain one on long texts,
// where the sixteen-byte scan and the way for self-repeating keywords come into play.
#include "kxplatform.h"
#include "kxtl.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// Random texts over few letters, with keywords that repeat themselves (so that candidates keep
// matching far and the bounded search changes its way), in both letter cases, from every start;
// the bounded search also with an end before the NUL, which it must not look past.
TEST(FindSubstring, AgreesWithAPlainSearch) {
    const unsigned char* lower = kxp::cp_lower_table();
    unsigned state = 99;
    const auto next = [&state] { return (state = state * 1103515245u + 12345u) >> 16; };
    const std::string letters = "aAab\xC9\xE9";
    for (int round = 0; round < 3000; ++round) {
        std::string text(next() % 300, 'a'), keyword(1 + next() % 12, 'a');
        for (char& c : text) c = next() % 4 == 0 ? letters[next() % letters.size()] : 'a';
        for (char& c : keyword) c = next() % 6 == 0 ? letters[next() % letters.size()] : 'A';
        // Other option bits are ignored.
        const unsigned short options = (next() % 3 == 0 ? 0 : 0x1000) | (next() % 2);
        const auto same = [&](unsigned char x, unsigned char y) {
            return options & 0x1000 ? lower[x] == lower[y] : x == y;
        };
        const auto expected = [&](std::size_t from, std::size_t end) {
            for (std::size_t p = from; p + keyword.size() <= end; ++p) {
                std::size_t i = 0;
                while (i < keyword.size() && same(text[p + i], keyword[i])) ++i;
                if (i == keyword.size()) return p;
            }
            return std::string::npos;
        };
        for (std::size_t from = 0; from <= text.size(); from += 1 + next() % 40) {
            std::string buf = text;
            const auto offset = [&](const char* p) {
                return p == nullptr ? std::string::npos : static_cast<std::size_t>(p - buf.data());
            };
            const std::size_t end =
                next() % 4 == 0 ? from + next() % (text.size() - from + 1) : text.size();
            ASSERT_EQ(offset(kxtl::find_substring(keyword.c_str(), buf.data() + from, options)),
                      expected(from, text.size()))
                << text << " / " << keyword << " from " << from;
            ASSERT_EQ(offset(kxtl::find_substring_in(keyword.c_str(), buf.data() + from,
                                                     buf.data() + end, options)),
                      expected(from, end))
                << text << " / " << keyword << " from " << from << " to " << end;
        }
    }
    char text[] = "abc";
    EXPECT_EQ(kxtl::find_substring_in("b", text + 2, text + 1, 0), nullptr);
    EXPECT_EQ(kxtl::find_substring("", text, 0x1000), nullptr);
}

// The host's expression entry lower-cases nothing it could see, so the words are checked here.
TEST(PreprocessExpression, LowersWholeOperatorWordsOutsideQuotes) {
    const struct {
        const char* in;
        const char* out;
    } rows[] = {
        {"a\r\n\tb", "a \n b"},
        {"ANDY OR_X xOR NOT2 $AND AND", "ANDY OR_X xOR NOT2 $AND and"},
        {"s=\"A AND\tB\" AND t='OR\r' Not", "s=\"A AND\tB\" and t='OR\r' not"},
        {"'it''s' OR x \"unclosed AND", "'it''s' or x \"unclosed AND"},
        {"\xC9OR OR\xC9", "\xC9OR OR\xC9"},  // a code-page letter joins the word
    };
    for (const auto& r : rows) {
        std::string text = r.in;
        EXPECT_EQ(kxtl::preprocess_expression(text.data(), -1), static_cast<int>(text.size()));
        EXPECT_EQ(text, r.out);
    }
    char text[] = "AND OR\0AND";
    EXPECT_EQ(kxtl::preprocess_expression(text, 3), 3);      // only "AND" is looked at
    EXPECT_EQ(kxtl::preprocess_expression(text + 4, 6), 2);  // stops at the NUL
    EXPECT_EQ(std::memcmp(text, "and or\0AND", 11), 0);
}

}  // namespace
