// key=value lists, through the exported entries and a test host.
#include <gtest/gtest.h>

#include <string>

#include "support/test_host.h"

namespace {

TEST(SeparateKeyValues, OnePairPerToken) {
    const struct {
        const char* text;
        char separator;
        int result;
        Strings keys, values;
    } rows[] = {{"a = 1; b=2", ';', 2, {"a", "b"}, {"1", "2"}},
                {"x,k=v=w,=v", ',', 3, {"", "k", ""}, {"x", "v=w", "v"}},
                {"", ',', 0, {}, {}},
                {nullptr, ',', 1, {""}, {""}},
                // With ',' a pair that is one quoted stretch is unquoted first.
                {"\"a=1,b\" , c=(2,3)", ',', 2, {"a", "c"}, {"1,b", "(2,3)"}},
                {"\"a=1;b\";c=2", ';', 2, {"\"a", "c"}, {"1;b\"", "2"}},
                {"  a=1 \t b=2 ", 0, 2, {"a", "b"}, {"1", "2"}}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text ? row.text : "(null)");
        TestStrings keys{"old"}, values{"old", "older"};
        EXPECT_EQ(kxu_separate_key_values(row.text, &keys, &values, row.separator), row.result);
        EXPECT_EQ(keys.Values(), row.keys);
        EXPECT_EQ(values.Values(), row.values);
    }
}

TEST(MakeKeyValuesStr, AppendsPairsOrNothing) {
    TestStrings keys{"a", "b"}, values{"1", "2"}, three{"1", "2", "3"};
    CString joined("p");
    EXPECT_EQ(kxu_make_key_values_str(&joined, &keys, &values, ','), 2);
    EXPECT_STREQ(joined, "pa=1,b=2");  // appended, not replaced
    EXPECT_EQ(kxu_make_key_values_str(&joined, &keys, &three, ','), 0);
    EXPECT_STREQ(joined, "pa=1,b=2");

    // The string may be one of the keys.
    EXPECT_EQ(kxutilsMakeKeyValuesStr(keys.array.ElementAt(0), keys.array, values.array, ';'), 2);
    EXPECT_STREQ(keys.array[0], "aa=1;b=2");
}

}  // namespace
