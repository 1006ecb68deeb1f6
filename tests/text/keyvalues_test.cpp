// key=value lists, through the exported entries and a test host.
#include <gtest/gtest.h>

#include <string>

#include "support/test_host.h"

namespace {

using Strings = std::vector<std::string>;

struct SplitRow {
    const char* text;
    char separator;
    int result;
    Strings keys;
    Strings values;
};

void PrintTo(const SplitRow& row, std::ostream* os) {
    *os << (row.text ? testing::PrintToString(std::string(row.text)) : "(null)") << " by "
        << static_cast<int>(row.separator);
}

class SeparateKeyValues : public testing::TestWithParam<SplitRow> {};

TEST_P(SeparateKeyValues, OnePairPerToken) {
    const SplitRow& row = GetParam();
    TestStrings keys{"old"}, values{"old", "older"};
    EXPECT_EQ(kxu_separate_key_values(row.text, &keys, &values, row.separator), row.result);
    EXPECT_EQ(keys.Values(), row.keys);
    EXPECT_EQ(values.Values(), row.values);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SeparateKeyValues,
    testing::Values(SplitRow{"a = 1; b=2", ';', 2, {"a", "b"}, {"1", "2"}},
                    SplitRow{"x", ',', 1, {""}, {"x"}}, SplitRow{"k=v=w", ',', 1, {"k"}, {"v=w"}},
                    SplitRow{"=v,k=", ',', 2, {"", "k"}, {"v", ""}}, SplitRow{"", ',', 0, {}, {}},
                    SplitRow{nullptr, ',', 1, {""}, {""}},
                    SplitRow{"a=1;", ';', 2, {"a", ""}, {"1", ""}},
                    // With ',' a pair that is one quoted stretch is unquoted first.
                    SplitRow{"\"a=1,b\" , c=2", ',', 2, {"a", "c"}, {"1,b", "2"}},
                    SplitRow{" k = \"1,5\" , m=(2,3)", ',', 2, {"k", "m"}, {"\"1,5\"", "(2,3)"}},
                    SplitRow{"\"a=1;b\";c=2", ';', 2, {"\"a", "c"}, {"1;b\"", "2"}},
                    SplitRow{"  a=1 \t b=2 ", 0, 2, {"a", "b"}, {"1", "2"}}));

// Records the order in which several host objects are asked.
class LoggedStrings final : public CHostObject {
  public:
    LoggedStrings(std::string name, std::vector<std::string>& log) : name_(name), log_(log) {}
    void* GetContainer(unsigned int type, void*) override {
        log_.push_back(name_);
        return type == HOST_TYPE_STRING_ARRAY ? &array : nullptr;
    }
    CStringArray array;

  private:
    std::string name_;
    std::vector<std::string>& log_;
};

TEST(KeyValuesEntries, AskKeysThenValuesOnce) {
    std::vector<std::string> log;
    LoggedStrings keys("keys", log), values("values", log);
    EXPECT_EQ(kxu_separate_key_values("a=1", &keys, &values, ','), 1);
    CString joined;
    EXPECT_EQ(kxu_make_key_values_str(&joined, &keys, &values, ','), 1);
    EXPECT_STREQ(joined, "a=1");
    EXPECT_EQ(log, (Strings{"keys", "values", "keys", "values"}));
}

TEST(KeyValuesEntries, MissingArrayIsRefusedAndNothingChanges) {
    TestStrings keys{"k"}, values{"v"}, refusing;
    refusing.answerNull = true;
    EXPECT_EQ(kxu_separate_key_values("a=1", nullptr, &values, ','), -1);
    EXPECT_EQ(kxu_separate_key_values("a=1", &keys, &refusing, ','), -1);
    EXPECT_EQ(kxu_separate_key_values("", &keys, nullptr, ','), -1);
    EXPECT_EQ(keys.Values(), Strings{"k"});
    EXPECT_EQ(values.Values(), Strings{"v"});
    EXPECT_EQ(values.requests.size(), 1u);  // asked although the keys were missing

    CString joined("p");
    EXPECT_EQ(kxu_make_key_values_str(&joined, nullptr, &values, ','), -1);
    EXPECT_EQ(kxu_make_key_values_str(&joined, &keys, &refusing, ','), -1);
    EXPECT_EQ(kxu_make_key_values_str(nullptr, &keys, &values, ','), -1);
    EXPECT_STREQ(joined, "p");
}

TEST(MakeKeyValuesStr, AppendsPairsOrNothing) {
    CStringArray keys, values, three;
    for (const char* s : {"a", "b"}) keys.Add(s);
    for (const char* s : {"1", "2"}) values.Add(s);
    for (const char* s : {"1", "2", "3"}) three.Add(s);

    CString joined("p");
    EXPECT_EQ(kxutilsMakeKeyValuesStr(joined, keys, values, ','), 2);
    EXPECT_STREQ(joined, "pa=1,b=2");  // appended, not replaced
    EXPECT_EQ(kxutilsMakeKeyValuesStr(joined, keys, three, ','), 0);
    EXPECT_STREQ(joined, "pa=1,b=2");
    CStringArray none;
    EXPECT_EQ(kxutilsMakeKeyValuesStr(joined, none, none, ','), 0);
    EXPECT_STREQ(joined, "pa=1,b=2");

    // joined may be one of the keys.
    EXPECT_EQ(kxutilsMakeKeyValuesStr(keys.ElementAt(0), keys, values, ';'), 2);
    EXPECT_STREQ(keys[0], "aa=1;b=2");
}

TEST(KeyValues, JoinThenSplitGivesThePairsBack) {
    TestStrings keys{"name", "size", "empty"}, values{"x y", "(3,4)", ""};
    CString joined;
    EXPECT_EQ(kxu_make_key_values_str(&joined, &keys, &values, ';'), 3);
    EXPECT_STREQ(joined, "name=x y;size=(3,4);empty=");
    TestStrings keysBack, valuesBack;
    EXPECT_EQ(kxu_separate_key_values(joined, &keysBack, &valuesBack, ';'), 3);
    EXPECT_EQ(keysBack.Values(), keys.Values());
    EXPECT_EQ(valuesBack.Values(), values.Values());
}

}  // namespace
