// Multi-string reorder, through the export, with test host objects.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/test_host.h"

namespace {

TEST(Reorder, FillsTheDestinationInTheGivenOrder) {
    const struct {
        int n;
        std::vector<int> order;
        int sourceSize, result;
        Strings destination;  // after the call, from {"x", "y", "z"}
    } rows[] = {
        {2, {2, 0}, 3, 1, {"c", "a", "z"}}, {2, {2, 0}, 2, -2, {"x", "y", "z"}},
        {1, {-1}, 3, -2, {"x", "y", "z"}},  {0, {0}, 1, 1, {"x", "y", "z"}},
        {0, {0}, 0, -2, {"x", "y", "z"}},
    };
    for (const auto& r : rows) {
        TestStrings destination{"x", "y", "z"}, source{"a", "b", "c"};
        EXPECT_EQ(kxu_multi_str_reorder(r.n, &destination, r.order.data(), r.sourceSize, &source),
                  r.result);
        EXPECT_EQ(destination.Values(), r.destination);
    }
    TestStrings both{"a", "b"};  // reads what earlier steps wrote
    const int swap[] = {1, 0};
    EXPECT_EQ(kxu_multi_str_reorder(2, &both, swap, 2, &both), 1);
    EXPECT_EQ(both.Values(), (Strings{"b", "b"}));
}

TEST(Reorder, IndexPastTheRealArrayRaisesAfterTheEarlierEntries) {
    TestStrings destination{"x", "y", "z"}, source{"a", "b"};
    const int order[] = {1, 5, 0};  // within the caller's bound, past the source's end
    try {
        kxu_multi_str_reorder(3, &destination, order, 9, &source);
        ADD_FAILURE() << "no exception";
    } catch (CInvalidArgException* e) {
        e->Delete();  // thrown by pointer, as the framework does
    }
    EXPECT_EQ(destination.Values(), (Strings{"b", "y", "z"}));
}

}  // namespace
