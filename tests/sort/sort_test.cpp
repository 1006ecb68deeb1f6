// The typed sorts, through the exported entries, for all twelve element types.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <limits>
#include <random>
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>

#include "support/test_host.h"

namespace {

// Small values of each type; strings of digits, whose order does not depend on case.
template <class T>
T Make(int key) {
    if constexpr (std::is_same_v<T, CString>)
        return CString(std::to_string(1000 + key).c_str() + 1);
    else
        return static_cast<T>(key - 100 * std::is_signed_v<T>) + static_cast<T>(0.25);
}
template <class T>
using ArrayOf = std::conditional_t<std::is_same_v<T, CString>, CStringArray, CArray<T, T>>;

template <class T>
class TypedSort : public testing::Test {};
using ElementTypes =
    testing::Types<char, unsigned char, short, int, unsigned int, long, unsigned long, float,
                   double, CString, long long, unsigned long long>;
TYPED_TEST_SUITE(TypedSort, ElementTypes);

// Ascending through the array overload, descending through the buffer one. Equal elements may
// come in any order: the data must be in order, and each index must point at the element now in
// its place, each position once.
TYPED_TEST(TypedSort, MatchesASortedCopyAndTheIndexFollows) {
    using T = TypeParam;
    std::mt19937 rng(7);
    for (int n : {2, 3, 40, 2000}) {
        for (std::uint32_t flags : {0u, SORT_DESCENDING}) {
            std::vector<T> values;
            for (int i = 0; i < n; ++i) values.push_back(Make<T>(static_cast<int>(rng() % 200)));
            if constexpr (!std::is_same_v<T, CString>) {  // the type's full width and sign
                using L = std::numeric_limits<T>;
                if (n > 3)
                    values.insert(values.end(), {L::max(), L::lowest(), T(L::max() / 2 + 1)});
            }
            ArrayOf<T> array;
            CArray<int, int> index;
            for (const T& v : values) index.Add(static_cast<int>(array.Add(v)));
            index.Add(-1);  // past the count: never moved
            const auto count = static_cast<INT_PTR>(values.size());
            flags ? kxutilsSortBuff(array.GetData(), count, flags, &index)
                  : kxutilsSort(array, flags, &index);
            std::vector<bool> seen(values.size());
            for (INT_PTR i = 0; i < count; ++i) {
                const auto from = static_cast<std::size_t>(index[i]);
                ASSERT_TRUE(from < seen.size() && !seen[from] && array[i] == values[from]);
                seen[from] = true;
                ASSERT_FALSE(i > 0 && (flags ? array[i - 1] < array[i] : array[i] < array[i - 1]))
                    << n << " " << flags << " " << i;
            }
            EXPECT_EQ(index[count], -1);
        }
    }
    // Calls that are refused, or have nothing to do, touch neither data nor index.
    std::vector<T> data = {Make<T>(3), Make<T>(2), Make<T>(1)};
    const std::vector<T> before = data;
    CArray<int, int> shortIndex;
    shortIndex.Add(7);
    shortIndex.Add(8);
    kxutilsSortBuff(data.data(), 3, 0, &shortIndex);          // index shorter than count
    kxutilsSortBuff(data.data(), 2LL + INT_MAX, 0, nullptr);  // last index past 32 bits
    kxutilsSortBuff(data.data(), -5, 0, &shortIndex);
    kxutilsSortBuff(data.data(), 1, 0, &shortIndex);
    kxutilsSortBuff(static_cast<T*>(nullptr), 100, 0, nullptr);
    EXPECT_EQ(data, before);
    EXPECT_TRUE(shortIndex[0] == 7 && shortIndex[1] == 8);
}

// The comparators the sorts hand to the companion's, exported for callers that hold the flags
// as a value: the sign of their answer, by rule and missing-value mode. NANUM is a tiny negative
// number unless mode 1 or 2 ranks it; a NaN ranks equal to everything and is never NANUM; a
// string without a number reads as NANUM; other flag bits are ignored.
TEST(Comparators, RankByTheFlags) {
    constexpr double N = NANUM, NaN = std::numeric_limits<double>::quiet_NaN();
    constexpr std::uint32_t Desc = SORT_DESCENDING;
    const std::tuple<std::uint32_t, double, double, int> doubles[] = {
        {0, 1, 2, -1},      {Desc, 1, 2, 1},   {0, -0.0, 0, 0},     {0, NaN, 1, 0},
        {0, 1, NaN, 0},     {0, -2, N, -1},    {0, N, 0, -1},       {3, N, -1, 1},
        {1, N, -1e300, -1}, {1, -1e300, N, 1}, {2, 1e300, N, -1},   {2, N, 1e300, 1},
        {1, N, N, 0},       {2, N, N, 0},      {1 | Desc, N, 1, 1}, {2 | Desc, N, 1, -1},
        {1, NaN, N, 1},     {2, NaN, N, -1},   {0x182, N, 1, 1},
    };
    for (auto [flags, a, b, order] : doubles)
        EXPECT_EQ(SortDoubleGenericCallBack(&a, &b, flags), order) << flags << " " << a << " " << b;
    // Flags 0x10 descending, 0x20 case-sensitive, 0x40 numeric, 1 and 2 the missing-value modes.
    const std::tuple<std::uint32_t, const char*, const char*, int> strings[] = {
        {0x20, "B", "a", -1},  {0, "B", "a", 1},         {0, "b", "B", 0},
        {0x10, "a", "C", 1},   {0, "10", "9", -1},       {0x40, "10", "9", 1},
        {0x50, "10", "9", -1}, {0x60, " -1e1", "9", -1}, {0x40, "x", "-1", 1},
        {0x41, "x", "-1", -1}, {0x52, "x", "1", -1}};
    for (const auto& [flags, x, y, sign] : strings) {
        CString a(x), b(y);
        const int r = SortStringGenericCallBack(&a, &b, flags);
        EXPECT_EQ((r > 0) - (r < 0), sign) << flags << " " << x << " " << y;
    }
    // Otherwise the string's own comparison, value and all; null pointers rank equal.
    CString a("a"), c("C");
    double one = 1;
    EXPECT_EQ(SortStringGenericCallBack(&a, &c, 0), a.CompareNoCase(c));
    EXPECT_EQ(SortStringGenericCallBack(&a, &c, SORT_CASE_SENSITIVE), a.Compare(c));
    EXPECT_TRUE(SortDoubleGenericCallBack(nullptr, &one, 0) == 0 &&
                SortStringGenericCallBack(&a, nullptr, 0) == 0);
}

// Large string arrays sort through per-string keys: every flag combination must still give an
// order the comparator accepts, with the index following. The palette ('|' between its strings)
// shares long prefixes, differs in case and above 0x7F, and mixes numbers and text without one.
TEST(StringSort, LargeArraysUnderEveryFlagCombination) {
    const std::string text =
        "|a|A|abcdefgh|ABCDEFGH|abcdefghi|abcdefghI|abcdefg|\xE9t\xE9|\xC9T\xC9zzzzzzz|"
        "abcdefgh\xFF|10|9|2.5| -3e1|x7|zzzzzzzzzzzz|ZZZZZZZZZZZY";
    Strings palette;
    for (std::size_t at = 0, bar = 0; bar < text.size(); at = bar + 1)
        palette.push_back(text.substr(at, (bar = std::min(text.find('|', at), text.size())) - at));
    std::mt19937 random(7);
    for (std::uint32_t flags = 0; flags < 0x80; ++flags) {
        if ((flags & SORT_MISSING_MASK) > 2) continue;
        CStringArray a;
        CArray<int, int> index;
        Strings before;
        for (int i = 0; i < 300; ++i) {
            before.push_back(palette[random() % palette.size()]);
            a.Add(before.back().c_str());
            index.Add(i);
        }
        kxutilsSort(a, flags, &index);
        std::vector<bool> seen(before.size());
        for (INT_PTR i = 0; i < a.GetSize(); ++i) {
            const auto from = static_cast<std::size_t>(index[i]);
            ASSERT_FALSE(seen[from]) << flags;
            seen[from] = true;
            ASSERT_EQ(std::string(a[i]), before[from]) << flags;
            ASSERT_LE(i > 0 ? SortStringGenericCallBack(&a[i - 1], &a[i], flags) : 0, 0) << flags;
        }
    }
}

}  // namespace
