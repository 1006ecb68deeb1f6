// C-source helpers, through the exports.
#include <gtest/gtest.h>

#include "support/test_host.h"

namespace {

TEST(SkipComments, CutsCommentsOutOfTheTrimmedText) {
    const char* all[][2] = {
        {" \t\n ", ""},
        {"  /* a */ x = 1; /* c */ y  ", "x = 1; y"},
        {"x = \"/*\"; c = '/'; // z", "x = \"/*\"; c = '/'; "},
        {"#define A 1 /* one */\nint x = A; // c \\\n d\r\nb;", "#define A 1 \nint x = A; \r\nb;"},
        {"x/**/y a /* never closed", "xy a "},
    };
    for (const auto& r : all) {
        CString text(r[0]);
        EXPECT_EQ(kxu_skip_C_comments(&text, 0), 1);
        EXPECT_STREQ(text, r[1]) << r[0];
    }
    CString text("  /* a */\n// b\n x = 1; /* c */ y  ");
    EXPECT_EQ(kxu_skip_C_comments(&text, 1), 1);
    EXPECT_STREQ(text, "x = 1; /* c */ y");
}

TEST(CStringBody, EscapesWhatCannotStandInALiteral) {
    CString out("stale");
    kxu_make_C_string_from_ascii("say \"hi\"\n 'q'?\?= \0017 caf\xE9", &out);
    EXPECT_STREQ(out, "say \\\"hi\\\"\\n 'q'\\?\\?= \\0017 caf\\351");  // no quotes around it
    kxu_make_C_string_from_ascii("", &out);
    EXPECT_STREQ(out, "");
}

TEST(ValidCName, DropsInvalidBytesAndDealsWithALeadingDigit) {
    const struct {
        const char *name, *prefixes, *expected;  // the same result for each prefix
    } rows[] = {
        {"2nd value!", "_", "_2ndvalue"},
        {"2nd value!", "-7(", "ndvalue"},
        {"(42)", "x", "x42"},
        {"(42)", "7", ""},
        {"abc", "9_", "abc"},
        {"caf\xE9 au_lait", "x", "cafau_lait"},
    };
    for (const auto& r : rows)
        for (const char* p = r.prefixes; *p; ++p) {
            CString name(r.name);
            kxuMakeValidCName(&name, *p);
            EXPECT_STREQ(name, r.expected) << r.name << " prefix " << *p;
        }
    CString name("2x");
    kxuMakeValidCName(&name, '\0');
    EXPECT_STREQ(name, "x");
}

}  // namespace
