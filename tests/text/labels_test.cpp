// Label letters with numeric suffixes, through the exported entries.
#include <gtest/gtest.h>

#include <string>

#include "support/test_host.h"

namespace {

using Strings = std::vector<std::string>;

constexpr const char* kLetters = "LUCSREGF";
constexpr const char* kSuffixes = "PDO";

struct LabelRow {
    const char* text;
    int allowDuplicates;
    Strings before;  // what the array holds before the call
    int result;
    Strings after;
};

void PrintTo(const LabelRow& row, std::ostream* os) {
    *os << testing::PrintToString(std::string(row.text)) << " duplicates " << row.allowDuplicates
        << " onto " << row.before.size();
}

class SeparateCharWithNumericSuffix : public testing::TestWithParam<LabelRow> {};

TEST_P(SeparateCharWithNumericSuffix, AppendsUntilTheFirstFault) {
    const LabelRow& row = GetParam();
    CStringArray labels;
    for (const auto& s : row.before) labels.Add(s.c_str());
    EXPECT_EQ(kxutilsSeparateCharWithNumericSuffix(row.text, &labels, kLetters, kSuffixes,
                                                   row.allowDuplicates),
              row.result);
    EXPECT_EQ(ToVector(labels), row.after);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SeparateCharWithNumericSuffix,
    testing::Values(
        LabelRow{"LUP1D2", 0, {}, 4, {"L", "U", "P1", "D2"}},
        LabelRow{" L\tP1 ", 0, {}, 2, {"L", "P1"}}, LabelRow{"P007D12", 0, {}, 2, {"P007", "D12"}},
        LabelRow{"", 0, {"x", "y"}, 2, {"x", "y"}}, LabelRow{"U", 0, {"x"}, 2, {"x", "U"}},
        // The codes, and the labels that stay after a stop.
        LabelRow{"P 1", 0, {}, -99, {"P"}},  // a blank before the digit
        LabelRow{"L1", 0, {}, -99, {"L"}},   // L takes no suffix
        LabelRow{"1P", 0, {}, -100, {}}, LabelRow{"LX", 0, {}, -98, {"L"}},
        LabelRow{"l", 0, {}, -98, {}},  // case matters
        LabelRow{"LL", 0, {}, -97, {"L"}}, LabelRow{"LL", 1, {}, 2, {"L", "L"}},
        LabelRow{"U", 0, {"U"}, -97, {"U"}},  // old labels count too
        // A suffixed label is checked at every length it passes through,
        // after its digit is in: the repeat stays in the array.
        LabelRow{"P1P1", 0, {}, -97, {"P1", "P1"}}, LabelRow{"P1P2", 0, {}, 2, {"P1", "P2"}},
        LabelRow{"P1P12", 0, {}, -97, {"P1", "P1"}}, LabelRow{"P12P1", 0, {}, 2, {"P12", "P1"}},
        LabelRow{"P12", 0, {"P1"}, -97, {"P1", "P1"}},
        LabelRow{"PP1", 0, {}, 2, {"P", "P1"}},  // P1 is not looked for as P
        LabelRow{"P1P", 0, {}, 2, {"P1", "P"}}, LabelRow{"P1P1", 1, {}, 2, {"P1", "P1"}}));

TEST(SeparateWksLabelsChar, UpperCasesAndTakesTheFlags) {
    const struct {
        const char* text;
        int flags;
        int result;
        Strings after;
    } rows[] = {
        {"lu", 0, 2, {"L", "U"}}, {"p1d2o3", 0, 3, {"P1", "D2", "O3"}},
        {"g", 0, 1, {"G"}},       {"G", 0x2, -98, {}},
        {"ll", 0, -97, {"L"}},    {"ll", 0x1, 2, {"L", "L"}},
        {"cG", 0x3, -98, {"C"}},  {"fx", 0, -98, {"F"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        CStringArray labels;
        EXPECT_EQ(kxutilsSeparateWksLabelsChar(row.text, &labels, row.flags), row.result);
        EXPECT_EQ(ToVector(labels), row.after);
    }
}

TEST(SeparateCharWithNumericSuffixEntry, AsksTheHostAndForbidsRepeats) {
    TestStrings labels{"L"};
    EXPECT_EQ(kxu_separate_char_with_numeric_suffix("UL", &labels, kLetters, kSuffixes), -97);
    EXPECT_EQ(labels.Values(), (Strings{"L", "U"}));
    EXPECT_EQ(labels.requests, std::vector<unsigned int>{HOST_TYPE_STRING_ARRAY});
}

TEST(SeparateCharWithNumericSuffixEntry, NoArrayIsMinusOne) {
    EXPECT_EQ(kxu_separate_char_with_numeric_suffix("L", nullptr, kLetters, kSuffixes), -1);
    EXPECT_EQ(kxu_separate_char_with_numeric_suffix("", nullptr, kLetters, kSuffixes), -1);
    TestStrings refusing;
    refusing.answerNull = true;
    EXPECT_EQ(kxu_separate_char_with_numeric_suffix("L", &refusing, kLetters, kSuffixes), -1);
    EXPECT_EQ(kxutilsSeparateWksLabelsChar("L", nullptr, 0), -1);
}

TEST(SeparateCharWithNumericSuffix, NullTextAndLetterSets) {
    TestStrings labels{"x"};
    EXPECT_EQ(kxu_separate_char_with_numeric_suffix(nullptr, &labels, kLetters, kSuffixes), 1);
    EXPECT_EQ(kxu_separate_char_with_numeric_suffix("L", &labels, nullptr, nullptr), -98);
    EXPECT_EQ(kxu_separate_char_with_numeric_suffix("P1", &labels, nullptr, "P"), 2);
    EXPECT_EQ(labels.Values(), (Strings{"x", "P1"}));
}

TEST(SeparateCharWithNumericSuffix, LargeArraysAndLongSuffixes) {
    CStringArray labels;
    for (int i = 0; i < 30000; ++i) labels.Add(CString("P") + std::to_string(i + 10).c_str());
    EXPECT_EQ(kxutilsSeparateCharWithNumericSuffix("LUD2P9", &labels, kLetters, kSuffixes, 0),
              30004);
    // A repeat is found however far back its first one is.
    EXPECT_EQ(kxutilsSeparateCharWithNumericSuffix("D3P29", &labels, kLetters, kSuffixes, 0), -97);
    EXPECT_EQ(labels.GetSize(), 30006);
    EXPECT_STREQ(labels[30005], "P29");

    const CString longSuffix = CString("P") + CString('7', 200000);
    labels.SetSize(0);
    EXPECT_EQ(kxutilsSeparateCharWithNumericSuffix(longSuffix, &labels, "", "P", 0), 1);
    EXPECT_EQ(labels[0].GetLength(), 200001);
}

}  // namespace
