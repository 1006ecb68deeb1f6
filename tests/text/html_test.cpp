// HTML escaping and unescaping, through the exports.
#include <gtest/gtest.h>

#include "support/test_host.h"

namespace {

TEST(Html, RewritesTheSelectedCharacters) {
    const struct {
        const char *target, *selection;  // null selection: the target's own text
        int direction;
        const char* expected;
    } rows[] = {
        {"a<b & c", nullptr, 0, "a&lt;b&nbsp;&amp;&nbsp;c"},
        {"x-1 \"q\"\n", nullptr, 0, "x&#8722;1&nbsp;&quot;q&quot;<br>"},
        {"a<b & c", "<", 0, "a&lt;b & c"},  // unselected characters stay
        {"&lt;p&gt;", "<", 1, "<p&gt;"},
        {"&lt;p&gt;", "", 1, "&lt;p&gt;"},
        {"&amp;lt;", "&<", -3, "&lt;"},  // "&amp;" goes last
    };
    for (const auto& r : rows) {
        CString target(r.target);
        kxu_check_escape_html_charcters(&target, r.selection ? r.selection : r.target, r.direction);
        EXPECT_STREQ(target, r.expected) << r.target;
    }
}

TEST(Html, EscapingThenUnescapingGivesTheTextBack) {
    for (const char* text : {"a < b && c-d \"e\"\nf", "&lt; is text", "<br>\n", "&&&amp;;"}) {
        CString s(text);
        kxutilsCheckEscapeHTMLCharcters(&s, "&<>-\" \n", 0);
        kxutilsCheckEscapeHTMLCharcters(&s, "&<>-\" \n", 1);
        EXPECT_STREQ(s, text);
    }
}

}  // namespace
