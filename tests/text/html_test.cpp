// HTML escaping and unescaping, through the exports.
#include <gtest/gtest.h>

#include <string>

#include "support/test_host.h"

namespace {

struct HtmlRow {
    const char* target;
    const char* selection;  // null: the target's own text
    int direction;
    const char* expected;
};

void PrintTo(const HtmlRow& row, std::ostream* os) {
    *os << '"' << row.target << "\" selecting \"" << (row.selection ? row.selection : "(itself)")
        << "\" direction " << row.direction;
}

class Html : public testing::TestWithParam<HtmlRow> {};

TEST_P(Html, RewritesTheSelectedCharacters) {
    const HtmlRow& row = GetParam();
    CString target(row.target);
    const CString selection(row.selection ? row.selection : row.target);
    kxu_check_escape_html_charcters(&target, selection, row.direction);
    EXPECT_STREQ(target, row.expected);
    // The working function gives the same answer.
    CString direct(row.target);
    kxutilsCheckEscapeHTMLCharcters(&direct, selection, row.direction);
    EXPECT_STREQ(direct, row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Escape, Html,
    testing::Values(HtmlRow{"a<b & c", nullptr, 0, "a&lt;b&nbsp;&amp;&nbsp;c"},
                    HtmlRow{"x-1", nullptr, 0, "x&#8722;1"}, HtmlRow{"a\nb", nullptr, 0, "a<br>b"},
                    HtmlRow{"\"q\" > p", nullptr, 0, "&quot;q&quot;&nbsp;&gt;&nbsp;p"},
                    HtmlRow{"a<b>\n&", "\n<&>", 0, "a&lt;b&gt;<br>&amp;"},  // tags stay intact
                    HtmlRow{"a<b & c", "<", 0, "a&lt;b & c"},  // unselected characters stay
                    HtmlRow{"a<b", "", 0, "a<b"}));

INSTANTIATE_TEST_SUITE_P(
    Unescape, Html,
    testing::Values(HtmlRow{"&lt;p&gt;", "<>", 1, "<p>"}, HtmlRow{"&lt;p&gt;", "<", 1, "<p&gt;"},
                    HtmlRow{"&lt;p&gt;", "", 1, "&lt;p&gt;"},
                    HtmlRow{"&amp;lt;", "&<", 1, "&lt;"},  // "&amp;" goes last
                    HtmlRow{"&amp;lt;", "&<", -3, "&lt;"},
                    HtmlRow{"a&nbsp;b<br>c&#8722;d&quot;", " \n-\"", 1, "a b\nc-d\""},
                    HtmlRow{"&lt;br&gt;<br>", "<>\n", 1, "<br>\n"}));

TEST(HtmlEntry, EscapingThenUnescapingGivesTheTextBack) {
    const char* texts[] = {"a < b && c-d \"e\"\nf", "&lt; is already escaped", "<br>\n<br>",
                           "&&&amp;;", "no special bytes"};
    for (const char* text : texts) {
        CString s(text);
        kxu_check_escape_html_charcters(&s, "&<>-\" \n", 0);
        kxu_check_escape_html_charcters(&s, "&<>-\" \n", 1);
        EXPECT_STREQ(s, text);
    }
}

TEST(HtmlEntry, NullArgumentsChangeNothing) {
    CString s("a<b");
    kxu_check_escape_html_charcters(&s, nullptr, 0);
    EXPECT_STREQ(s, "a<b");
    kxu_check_escape_html_charcters(nullptr, "<", 0);
    kxutilsCheckEscapeHTMLCharcters(nullptr, "<", 1);
}

}  // namespace
