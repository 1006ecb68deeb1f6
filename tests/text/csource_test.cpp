// C-source helpers, through the exports.
#include <gtest/gtest.h>

#include <string>

#include "support/test_host.h"

namespace {

struct CommentRow {
    const char* text;
    int leadingOnly;
    const char* expected;
};

void PrintTo(const CommentRow& row, std::ostream* os) {
    *os << '"' << row.text << "\" leading " << row.leadingOnly;
}

class SkipComments : public testing::TestWithParam<CommentRow> {};

TEST_P(SkipComments, CutsCommentsOutOfTheTrimmedText) {
    CString text(GetParam().text);
    EXPECT_EQ(kxu_skip_C_comments(&text, GetParam().leadingOnly), 1);
    EXPECT_STREQ(text, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SkipComments,
    testing::Values(CommentRow{" \t\n ", 0, ""}, CommentRow{" \t\n ", 1, ""},
                    CommentRow{"/* only */", 0, ""}, CommentRow{"// only", 1, ""},
                    CommentRow{"  /* a */ x = 1; /* b */ y  ", 1, "x = 1; /* b */ y"},
                    CommentRow{"/* a */\n// b\n  x; // c", 1, "x; // c"},
                    CommentRow{"  /* a */ x = 1; /* b */ y  ", 0, "x = 1; y"},
                    CommentRow{"x = 1; /* b */ y = \"/*\"; // z", 0, "x = 1; y = \"/*\"; "},
                    CommentRow{"a; // c\nb;", 0, "a; b;"},  // the line break goes with the comment
                    CommentRow{"c = '/'; /* x */ d", 0, "c = '/'; d"},
                    CommentRow{"a /* never closed", 0, "a "}, CommentRow{"a/b /c", 0, "a/b /c"},
                    CommentRow{"x/**/y/**/z", 0, "xyz"},
                    CommentRow{"no comments at all", 1, "no comments at all"}));

TEST(SkipCommentsEntry, NullTextIsRefused) { EXPECT_EQ(kxu_skip_C_comments(nullptr, 0), -1); }

TEST(SkipCommentsEntry, LeavesOtherHoldersOfTheSameTextAlone) {
    CString original("a /* b */ c");
    CString shared(original);
    EXPECT_EQ(kxu_skip_C_comments(&shared, 0), 1);
    EXPECT_STREQ(shared, "a c");
    EXPECT_STREQ(original, "a /* b */ c");
}

TEST(CStringBody, EscapesWhatCannotStandInALiteral) {
    const struct {
        const char* source;
        const char* expected;
    } rows[] = {
        {"", ""},
        {"plain text, 'quoted'?", "plain text, 'quoted'?"},
        {"say \"hi\"\n", "say \\\"hi\\\"\\n"},
        {"tab\there\\", "tab\\there\\\\"},
        {"\x01"
         "7",
         "\\0017"},  // the digit after stays out of the escape
        {"caf\xE9", "caf\\351"},
        {"\a\b\f\r\v\x7F", "\\a\\b\\f\\r\\v\\177"},
    };
    for (const auto& r : rows) {
        CString out("stale");
        kxu_make_C_string_from_ascii(r.source, &out);
        EXPECT_STREQ(out, r.expected) << r.source;
    }
}

TEST(CStringBody, NullArguments) {
    kxu_make_C_string_from_ascii("x", nullptr);  // nothing to fill, nothing done
    CString out("stale");
    kxu_make_C_string_from_ascii(nullptr, &out);
    EXPECT_STREQ(out, "");
}

TEST(ValidCName, DropsInvalidBytesAndDealsWithALeadingDigit) {
    const struct {
        const char* name;
        char prefix;
        const char* expected;
    } rows[] = {
        {"2nd value!", '_', "_2ndvalue"},
        {"2nd value!", '\0', "ndvalue"},
        {"2nd value!", '-', "ndvalue"},
        {"(42)", '\0', ""},
        {"(42)", 'x', "x42"},
        {"(42)", 'Q', "Q42"},
        {"(42)", '7', ""},
        {"abc", '_', "abc"},
        {"abc", '\0', "abc"},
        {"abc", '9', "abc"},
        {"__9", '\0', "__9"},
        {"caf\xE9 au lait", 'x', "cafaulait"},
        {"!!!", 'x', ""},
        {" 1 2 3a", '\0', "a"},
        {"", 'x', ""},
    };
    for (const auto& r : rows) {
        CString name(r.name);
        kxuMakeValidCName(&name, r.prefix);
        EXPECT_STREQ(name, r.expected) << r.name << " prefix " << static_cast<int>(r.prefix);
    }
    kxuMakeValidCName(nullptr, 'x');  // nothing to change
}

}  // namespace
