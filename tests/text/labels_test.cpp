// Label letters with numeric suffixes, through the exported entries.
#include <gtest/gtest.h>

#include <string>

#include "support/test_host.h"

namespace {

constexpr const char* kLetters = "LUCSREGF";
constexpr const char* kSuffixes = "PDO";

// With duplicates refused; the worksheet rows below allow them.
TEST(SeparateCharWithNumericSuffix, AppendsUntilTheFirstFault) {
    const struct {
        const char* text;
        Strings before;  // what the array holds before the call
        int result;
        Strings after;
    } rows[] = {
        {"LUP1D2", {}, 4, {"L", "U", "P1", "D2"}},
        {" L\tP10 ", {"x"}, 3, {"x", "L", "P10"}},
        {"", {"x", "y"}, 2, {"x", "y"}},
        // The codes, and the labels that stay after a stop.
        {"P 1", {}, -99, {"P"}},  // a blank before the digit
        {"L1", {}, -99, {"L"}},   // L takes no suffix
        {"1P", {}, -100, {}},
        {"LX", {}, -98, {"L"}},
        {"LL", {}, -97, {"L"}},
        {"U", {"U"}, -97, {"U"}},  // old labels count too
        // A suffixed label is checked at every length it passes through, after its digit is
        // in: the repeat stays in the array.
        {"P1P12", {}, -97, {"P1", "P1"}},
        {"P12P1", {}, 2, {"P12", "P1"}},
        {"PP1", {}, 2, {"P", "P1"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        CStringArray labels;
        for (const auto& s : row.before) labels.Add(s.c_str());
        EXPECT_EQ(kxutilsSeparateCharWithNumericSuffix(row.text, &labels, kLetters, kSuffixes, 0),
                  row.result);
        EXPECT_EQ(ToVector(labels), row.after);
    }
}

TEST(SeparateWksLabelsChar, UpperCasesAndTakesTheFlags) {
    const struct {
        const char* text;
        int flags;
        int result;
        Strings after;
    } rows[] = {
        {"lu", 0, 2, {"L", "U"}},
        {"p1g", 0, 2, {"P1", "G"}},
        {"cG", 0x2, -98, {"C"}},
        {"ll", 0x1, 2, {"L", "L"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        CStringArray labels;
        EXPECT_EQ(kxutilsSeparateWksLabelsChar(row.text, &labels, row.flags), row.result);
        EXPECT_EQ(ToVector(labels), row.after);
    }
}

// Without letters only the suffix letters are allowed.
TEST(SeparateCharWithNumericSuffixEntry, AppendsToTheHostArray) {
    TestStrings labels{"x"};
    EXPECT_EQ(kxu_separate_char_with_numeric_suffix("P1", &labels, nullptr, "P"), 2);
    EXPECT_EQ(labels.Values(), (Strings{"x", "P1"}));
}

}  // namespace
