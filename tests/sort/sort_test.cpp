// The typed sorts, through the exported entries, for all twelve element types.
#include <gtest/gtest.h>
#include <zuvuvur/zuvuvur.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <type_traits>
#include <vector>

namespace {

// Small values of each type; strings of digits, whose order does not depend
// on case.
template <class T>
T Make(int key) {
    if constexpr (std::is_same_v<T, CString>) {
        char text[8];
        std::snprintf(text, sizeof text, "%03d", key);
        return CString(text);
    } else if constexpr (std::is_floating_point_v<T>) {
        return static_cast<T>(key - 100) + T(0.25);
    } else {
        return static_cast<T>(std::is_signed_v<T> ? key - 100 : key);
    }
}
template <class T>
using ArrayOf = std::conditional_t<std::is_same_v<T, CString>, CStringArray, CArray<T, T>>;

template <class T>
class TypedSort : public testing::Test {};
using ElementTypes =
    testing::Types<char, unsigned char, short, int, unsigned int, long, unsigned long, float,
                   double, CString, long long, unsigned long long>;
TYPED_TEST_SUITE(TypedSort, ElementTypes);

// Ascending through the array overload, descending through the buffer one; equal elements may
// come in any order, so the data is compared with a sorted copy and the index only has to point
// at an equal element, each position once.
TYPED_TEST(TypedSort, MatchesASortedCopyAndTheIndexFollows) {
    using T = TypeParam;
    std::mt19937 rng(7);
    for (int n : {0, 1, 2, 3, 40, 2000}) {
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
            std::vector<T> sorted = values;
            std::sort(sorted.begin(), sorted.end(),
                      [&](const T& a, const T& b) { return flags ? b < a : a < b; });
            std::vector<bool> seen(values.size());
            for (INT_PTR i = 0; i < count; ++i) {
                const auto from = static_cast<std::size_t>(index[i]);
                ASSERT_TRUE(array[i] == sorted[static_cast<std::size_t>(i)]) << n << " " << flags;
                ASSERT_TRUE(from < seen.size() && !seen[from] && array[i] == values[from]);
                seen[from] = true;
            }
            EXPECT_EQ(index[count], -1);
        }
    }
}

TYPED_TEST(TypedSort, RefusedCallsTouchNeitherDataNorIndex) {
    using T = TypeParam;
    std::vector<T> data = {Make<T>(3), Make<T>(2), Make<T>(1)};
    const std::vector<T> before = data;
    CArray<int, int> shortIndex;
    shortIndex.Add(7);
    shortIndex.Add(8);
    kxutilsSortBuff(data.data(), 3, 0, &shortIndex);          // index shorter than count
    kxutilsSortBuff(data.data(), 2LL + INT_MAX, 0, nullptr);  // last index past 32 bits
    kxutilsSortBuff(data.data(), -5, 0, &shortIndex);
    kxutilsSortBuff(static_cast<T*>(nullptr), 3, 0, nullptr);
    EXPECT_EQ(data, before);
    EXPECT_TRUE(shortIndex[0] == 7 && shortIndex[1] == 8);
}

constexpr double N = NANUM;
const double kNaN = std::nan("");

bool Same(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }
bool Same(const CString& a, const char* b) { return a.Compare(b) == 0; }

template <class Array, class V>
void ExpectSorts(std::uint32_t flags, const std::vector<V>& input, const std::vector<V>& sorted) {
    Array array;
    for (const V& v : input) array.Add(v);
    kxutilsSort(array, flags, nullptr);
    for (std::size_t i = 0; i < sorted.size(); ++i)
        EXPECT_TRUE(Same(array[static_cast<INT_PTR>(i)], sorted[i]))
            << "flags " << flags << ", " << i;
}

TEST(DoubleSort, MissingValueModesAndTheirReversal) {
    using D = std::vector<double>;
    using A = CArray<double, double>;
    ExpectSorts<A>(1, D{3, N, 1}, D{N, 1, 3});
    ExpectSorts<A>(2, D{3, N, 1}, D{1, 3, N});
    ExpectSorts<A>(0, D{3, N, 1}, D{N, 1, 3});  // plain: NANUM is a tiny negative number
    ExpectSorts<A>(0, D{-2, N, 0}, D{-2, N, 0});
    ExpectSorts<A>(3, D{0, N, -1e-310}, D{N, -1e-310, 0});  // modes past 2: no special rank
    ExpectSorts<A>(1 | SORT_DESCENDING, D{3, N, 1}, D{3, 1, N});
    ExpectSorts<A>(2 | SORT_DESCENDING, D{3, N, 1}, D{N, 3, 1});
    ExpectSorts<A>(1, D{kNaN, N}, D{N, kNaN});  // a NaN is never the missing value
    ExpectSorts<A>(2, D{N, kNaN}, D{kNaN, N});
    ExpectSorts<A>(0x12, D{N, 5, N, -1, 7}, D{N, N, 7, 5, -1});  // unknown bits ignored
}

TEST(StringSort, CaseRulesAndNumericText) {
    using S = std::vector<const char*>;
    using A = CStringArray;
    constexpr std::uint32_t Case = SORT_CASE_SENSITIVE, Num = SORT_NUMERIC_STRINGS;
    ExpectSorts<A>(Case, S{"b", "B", "a"}, S{"B", "a", "b"});
    ExpectSorts<A>(0, S{"b", "a", "C"}, S{"a", "b", "C"});
    ExpectSorts<A>(SORT_DESCENDING, S{"b", "a", "C"}, S{"C", "b", "a"});
    ExpectSorts<A>(0, S{"10", "9", "2.5"}, S{"10", "2.5", "9"});
    ExpectSorts<A>(Num | Case, S{"10", "9", " -1e1"}, S{" -1e1", "9", "10"});  // numbers win
    ExpectSorts<A>(Num | SORT_MISSING_LARGEST, S{"x", "3", "1"}, S{"1", "3", "x"});
    ExpectSorts<A>(Num | SORT_MISSING_SMALLEST | SORT_DESCENDING, S{"1", "x", "3"},
                   S{"3", "1", "x"});
}

TEST(Comparators, AnswerForFlagsHeldAsAValue) {
    double one = 1, two = 2, zero = 0, negativeZero = -0.0, nan = kNaN, n = N;
    EXPECT_EQ(SortDoubleGenericCallBack(&one, &two, 0), -1);
    EXPECT_EQ(SortDoubleGenericCallBack(&one, &two, SORT_DESCENDING), 1);
    EXPECT_EQ(SortDoubleGenericCallBack(&negativeZero, &zero, 0), 0);
    EXPECT_EQ(SortDoubleGenericCallBack(&nan, &one, 0), 0);
    EXPECT_EQ(SortDoubleGenericCallBack(&n, &one, SORT_MISSING_LARGEST), 1);
    EXPECT_EQ(SortDoubleGenericCallBack(nullptr, &one, 0), 0);
    CString ten("10"), nine("9");
    EXPECT_EQ(SortStringGenericCallBack(&ten, &nine, SORT_NUMERIC_STRINGS | SORT_DESCENDING), -1);
    EXPECT_EQ(SortStringGenericCallBack(&ten, nullptr, 0), 0);
    // Otherwise the string's own comparison, value and all.
    const char* texts[] = {"", "a", "A", "ab", "_", "Z", "\xC9t\xE9", "\xE9T\xC9", "\xFF", "a\x80"};
    for (const char* x : texts) {
        for (const char* y : texts) {
            CString a(x), b(y);
            EXPECT_EQ(SortStringGenericCallBack(&a, &b, 0), a.CompareNoCase(b)) << x << " " << y;
            EXPECT_EQ(SortStringGenericCallBack(&a, &b, SORT_CASE_SENSITIVE), a.Compare(b));
        }
    }
}

// Large string arrays sort through per-string keys: every flag combination
// must still give an order the comparator accepts, with the index following.
// The palette shares long prefixes, differs in case and above 0x7F, and mixes
// numbers and text without one.
TEST(StringSort, LargeArraysUnderEveryFlagCombination) {
    const char* palette[] = {"",
                             "a",
                             "A",
                             "abcdefgh",
                             "ABCDEFGH",
                             "abcdefghi",
                             "abcdefghI",
                             "abcdefg",
                             "\xE9t\xE9",
                             "\xC9T\xC9zzzzzzz",
                             "abcdefgh\xFF",
                             "10",
                             "9",
                             "2.5",
                             " -3e1",
                             "x7",
                             "zzzzzzzzzzzz",
                             "ZZZZZZZZZZZY"};
    std::mt19937 random(7);
    for (std::uint32_t flags = 0; flags < 0x80; ++flags) {
        if ((flags & SORT_MISSING_MASK) > 2) continue;
        CStringArray a;
        CArray<int, int> index;
        std::vector<std::string> before;
        for (int i = 0; i < 300; ++i) {
            before.emplace_back(palette[random() % std::size(palette)]);
            a.Add(before.back().c_str());
            index.Add(i);
        }
        kxutilsSort(a, flags, &index);
        std::vector<bool> seen(before.size());
        for (INT_PTR i = 0; i < a.GetSize(); ++i) {
            ASSERT_FALSE(seen[static_cast<std::size_t>(index[i])]) << flags;
            seen[static_cast<std::size_t>(index[i])] = true;
            ASSERT_EQ(std::string(a[i]), before[static_cast<std::size_t>(index[i])]) << flags;
            if (i > 0) {
                ASSERT_LE(SortStringGenericCallBack(&a[i - 1], &a[i], flags), 0) << flags;
            }
        }
    }
}

}  // namespace
