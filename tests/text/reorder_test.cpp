// Multi-string reorder, through the export, with test host objects.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/test_host.h"

namespace {

using Strings = std::vector<std::string>;

struct ReorderRow {
    int n;
    std::vector<int> order;
    int sourceSize;
    int result;
    Strings destination;  // after the call, from {"x", "y", "z"}
};

class Reorder : public testing::TestWithParam<ReorderRow> {};

TEST_P(Reorder, FillsTheDestinationInTheGivenOrder) {
    const ReorderRow& row = GetParam();
    TestStrings destination{"x", "y", "z"};
    TestStrings source{"a", "b", "c"};
    std::vector<int> order = row.order;
    order.push_back(0);  // never read past n; keeps data() valid for n 0
    EXPECT_EQ(kxu_multi_str_reorder(row.n, &destination, order.data(), row.sourceSize, &source),
              row.result);
    EXPECT_EQ(destination.Values(), row.destination);
    EXPECT_EQ(source.Values(), (Strings{"a", "b", "c"}));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Reorder,
    testing::Values(ReorderRow{2, {2, 0}, 3, 1, {"c", "a", "z"}},
                    ReorderRow{3, {1, 1, 1}, 3, 1, {"b", "b", "b"}},
                    ReorderRow{2, {2, 0}, 2, -2, {"x", "y", "z"}},   // 2 is past the bound
                    ReorderRow{2, {2, -1}, 3, -2, {"x", "y", "z"}},  // negative index
                    ReorderRow{0, {}, 1, 1, {"x", "y", "z"}},
                    ReorderRow{0, {}, 0, -2, {"x", "y", "z"}},  // a bound below 1 always fails
                    ReorderRow{-4, {}, 3, 1, {"x", "y", "z"}},
                    ReorderRow{1, {5}, 3, -2, {"x", "y", "z"}}));

TEST(ReorderEntry, OneArrayOnBothSidesReadsWhatEarlierStepsWrote) {
    TestStrings both{"a", "b"};
    const int order[] = {1, 0};
    EXPECT_EQ(kxu_multi_str_reorder(2, &both, order, 2, &both), 1);
    EXPECT_EQ(both.Values(), (Strings{"b", "b"}));
}

// Which framework exception f raised, if any.
template <class F>
std::string Thrown(F f) {
    try {
        f();
    } catch (CInvalidArgException* e) {
        e->Delete();
        return "invalid-arg";
    }
    return "none";
}

TEST(ReorderEntry, IndexPastTheRealArraysRaisesAfterTheEarlierEntries) {
    TestStrings destination{"x", "y", "z"};
    TestStrings source{"a", "b"};
    const int order[] = {1, 5, 0};  // within the caller's bound, past the source's end
    EXPECT_EQ(Thrown([&] { kxu_multi_str_reorder(3, &destination, order, 9, &source); }),
              "invalid-arg");
    EXPECT_EQ(destination.Values(), (Strings{"b", "y", "z"}));

    TestStrings shortDestination{"x"};
    const int inRange[] = {0, 1};
    EXPECT_EQ(Thrown([&] { kxu_multi_str_reorder(2, &shortDestination, inRange, 2, &source); }),
              "invalid-arg");
    EXPECT_EQ(shortDestination.Values(), (Strings{"a"}));  // never grown
}

TEST(ReorderEntry, NullArgumentsAndHostsWithoutArrays) {
    TestStrings destination{"x"};
    TestStrings source{"a"};
    const int order[] = {0};
    EXPECT_EQ(kxu_multi_str_reorder(1, nullptr, order, 1, &source), -1);
    EXPECT_EQ(kxu_multi_str_reorder(1, &destination, nullptr, 1, &source), -1);
    EXPECT_EQ(kxu_multi_str_reorder(1, &destination, order, 1, nullptr), -1);
    EXPECT_TRUE(destination.requests.empty());
    EXPECT_TRUE(source.requests.empty());

    source.answerNull = true;
    EXPECT_EQ(kxu_multi_str_reorder(1, &destination, order, 1, &source), -1);
    EXPECT_EQ(destination.requests, std::vector<unsigned int>{HOST_TYPE_STRING_ARRAY});
    EXPECT_EQ(source.requests, std::vector<unsigned int>{HOST_TYPE_STRING_ARRAY});
    EXPECT_EQ(destination.Values(), Strings{"x"});

    source.answerNull = false;
    destination.answerNull = true;
    EXPECT_EQ(kxu_multi_str_reorder(1, &destination, order, 1, &source), -1);
    EXPECT_EQ(source.Values(), Strings{"a"});
}

}  // namespace
