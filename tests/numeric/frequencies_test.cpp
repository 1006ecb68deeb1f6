// Counts of distinct strings, through the exported entry and test hosts.
#include <gtest/gtest.h>

#include <string>

#include "support/test_host.h"

namespace {

// Lower-cased where the case does not count: a group may be spelled as any member.
Strings Folded(Strings v, bool exact) {
    for (std::string& s : v)
        if (!exact) s = static_cast<const char*>(CString(s.c_str()).MakeLower());
    return v;
}

TEST(Frequencies, GroupsSortedStringsAndAppendsThemAfterWhatWasThere) {
    struct Row {
        std::uint32_t options;
        Strings source, sortedSource, distinct;
        std::vector<double> counts;
    } rows[] = {
        {0, {"b", "a", "b", "b"}, {"a", "b", "b", "b"}, {"old", "a", "b"}, {1, 3}},
        {0, {"x"}, {"x"}, {"old", "x"}, {1}},
        {FREQ_CASE_SENSITIVE, {"A", "a", "B"}, {"A", "B", "a"}, {"old", "A", "B", "a"}, {1, 1, 1}},
        {0, {"A", "a", "B"}, {"a", "a", "b"}, {"old", "a", "b"}, {2, 1}},
        {FREQ_TRIM, {" a", "a "}, {"a", "a"}, {"old", "a"}, {2}},
        {0, {" a", "a "}, {" a", "a "}, {"old", " a", "a "}, {1, 1}},
        {0xF0, {"10", "9", "10"}, {"10", "10", "9"}, {"old", "10", "9"}, {2, 1}},  // as text
    };
    for (const Row& row : rows) {
        TestStrings source, distinct{"old"};
        for (const std::string& s : row.source) source.array.Add(s.c_str());
        std::vector<double> counts(row.source.size(), -1.0);
        std::uint32_t groups = 0;
        EXPECT_EQ(kxu_discrete_frequencies(&source, &distinct, counts.data(), &groups, row.options),
                  1);
        const bool exact = row.options & FREQ_CASE_SENSITIVE;
        EXPECT_EQ(Folded(source.Values(), exact), row.sortedSource);
        EXPECT_EQ(Folded(distinct.Values(), exact), row.distinct);
        EXPECT_EQ(groups, row.counts.size());  // this call's groups only
        counts.resize(row.counts.size());
        EXPECT_EQ(counts, row.counts);
    }
}

// Null and answering-null arguments are rows of the null matrix.
TEST(Frequencies, AnEmptySourceChangesNothing) {
    double counts[1] = {-1};
    std::uint32_t groups = 99;
    TestStrings empty, distinct;
    EXPECT_EQ(kxu_discrete_frequencies(&empty, &distinct, counts, &groups, 0), 0);
    EXPECT_EQ(kxu_discrete_frequencies(&empty, &distinct, nullptr, nullptr, 0), 0);
    EXPECT_TRUE(distinct.array.IsEmpty() && counts[0] == -1 && groups == 99);
}

}  // namespace
