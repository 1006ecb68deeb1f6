// Counts of distinct strings, through the exported entry and test hosts.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <random>
#include <string>

#include "support/test_host.h"

namespace {

using Strings = std::vector<std::string>;

struct FreqRow {
    std::uint32_t options;
    Strings source, sortedSource, distinct;
    std::vector<double> counts;
};

TEST(Frequencies, GroupsSortedStringsAndCountsThem) {
    const FreqRow rows[] = {
        {0, {"b", "a", "b"}, {"a", "b", "b"}, {"a", "b"}, {1, 2}},
        {0, {"x"}, {"x"}, {"x"}, {1}},
        {0,
         {"c", "a", "c", "b", "c", "a"},
         {"a", "a", "b", "c", "c", "c"},
         {"a", "b", "c"},
         {2, 1, 3}},
        {FREQ_CASE_SENSITIVE, {"A", "a", "B"}, {"A", "B", "a"}, {"A", "B", "a"}, {1, 1, 1}},
        {FREQ_TRIM, {" a", "a "}, {"a", "a"}, {"a"}, {2}},
        {0, {" a", "a "}, {" a", "a "}, {" a", "a "}, {1, 1}},
        {0xF0, {"10", "9", "10"}, {"10", "10", "9"}, {"10", "9"}, {2, 1}},  // text, not numbers
    };
    for (const FreqRow& row : rows) {
        TestStrings source;
        for (const std::string& s : row.source) source.array.Add(s.c_str());
        TestStrings distinct;
        std::vector<double> counts(row.source.size(), -1.0);
        std::uint32_t groups = 0;
        EXPECT_EQ(kxu_discrete_frequencies(&source, &distinct, counts.data(), &groups, row.options),
                  1);
        EXPECT_EQ(source.Values(), row.sortedSource);
        EXPECT_EQ(distinct.Values(), row.distinct);
        EXPECT_EQ(groups, row.counts.size());
        counts.resize(row.counts.size());
        EXPECT_EQ(counts, row.counts);
    }
}

TEST(Frequencies, CaseVariantsFormOneGroupRepresentedByOneOfThem) {
    TestStrings source{"A", "a", "B"};
    TestStrings distinct;
    double counts[3];
    std::uint32_t groups = 0;
    ASSERT_EQ(kxu_discrete_frequencies(&source, &distinct, counts, &groups, 0), 1);
    ASSERT_EQ(groups, 2u);
    EXPECT_EQ(distinct.array[0].CompareNoCase("a"), 0);
    EXPECT_STREQ(distinct.array[1], "B");
    EXPECT_EQ(counts[0], 2.0);
    EXPECT_EQ(counts[1], 1.0);
}

TEST(Frequencies, AppendsAfterWhatTheDistinctArrayHeld) {
    TestStrings source{"q", "p"};
    TestStrings distinct{"old1", "old2"};
    double counts[2];
    std::uint32_t groups = 0;
    ASSERT_EQ(kxu_discrete_frequencies(&source, &distinct, counts, &groups, 0), 1);
    EXPECT_EQ(distinct.Values(), (Strings{"old1", "old2", "p", "q"}));
    EXPECT_EQ(groups, 2u);
    EXPECT_EQ(counts[0], 1.0);
}

TEST(Frequencies, AgreesWithACountingMapOnManyStrings) {
    std::mt19937 rng(11);
    TestStrings source;
    std::map<std::string, double> expected;
    for (int i = 0; i < 20000; ++i) {
        char s[16];
        std::snprintf(s, sizeof s, "v%u", static_cast<unsigned>(rng() % 700));
        source.array.Add(s);
        expected[s] += 1;
    }
    TestStrings distinct;
    std::vector<double> counts(20000);
    std::uint32_t groups = 0;
    ASSERT_EQ(
        kxu_discrete_frequencies(&source, &distinct, counts.data(), &groups, FREQ_CASE_SENSITIVE),
        1);
    ASSERT_EQ(groups, expected.size());
    std::size_t k = 0;
    for (const auto& [text, count] : expected) {
        EXPECT_EQ(distinct.Values()[k], text);
        EXPECT_EQ(counts[k++], count);
    }
}

TEST(Frequencies, RefusalsAndEmptySourceChangeNothing) {
    double counts[2] = {-1, -1};
    std::uint32_t groups = 99;
    TestStrings source{"b", "a"};
    TestStrings distinct;
    EXPECT_EQ(kxu_discrete_frequencies(nullptr, &distinct, counts, &groups, 0), -1);
    EXPECT_TRUE(distinct.requests.empty());
    EXPECT_EQ(kxu_discrete_frequencies(&source, nullptr, counts, &groups, 0), -1);
    EXPECT_EQ(source.requests.size(), 1u);  // asked before the missing distinct is noticed
    distinct.answerNull = true;
    EXPECT_EQ(kxu_discrete_frequencies(&source, &distinct, counts, &groups, 0), -1);
    distinct.answerNull = false;
    EXPECT_EQ(kxu_discrete_frequencies(&source, &distinct, nullptr, &groups, 0), -1);
    EXPECT_EQ(kxu_discrete_frequencies(&source, &distinct, counts, nullptr, 0), -1);
    EXPECT_EQ(source.Values(), (Strings{"b", "a"}));

    TestStrings empty;
    EXPECT_EQ(kxu_discrete_frequencies(&empty, &distinct, counts, &groups, 0), 0);
    EXPECT_TRUE(distinct.array.IsEmpty());
    EXPECT_EQ(counts[0], -1.0);
    EXPECT_EQ(groups, 99u);
}

}  // namespace
