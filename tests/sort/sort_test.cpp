// The typed sorts, through the exported entries, for all twelve element types.
#include <gtest/gtest.h>
#include <zuvuvur/zuvuvur.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <limits>
#include <numeric>
#include <random>
#include <type_traits>
#include <vector>

namespace {

// A monotonic map from keys 0..199 into each element type, so that the order of
// the keys tells the expected order for every type. Strings are zero-padded
// digits: their text order is their numeric order, whatever the case rule.
template <class T>
struct Elem {
    using Array = CArray<T, T>;
    static T Make(int key) {
        if constexpr (std::is_floating_point_v<T>) return static_cast<T>(key - 100) + T(0.25);
        if constexpr (std::is_signed_v<T>) return static_cast<T>(key - 100);
        return static_cast<T>(key);
    }
};
template <>
struct Elem<CString> {
    using Array = CStringArray;
    static CString Make(int key) {
        char text[8];
        std::snprintf(text, sizeof text, "%03d", key);
        return CString(text);
    }
};

template <class T>
class TypedSort : public testing::Test {};
using ElementTypes =
    testing::Types<char, unsigned char, short, int, unsigned int, long, unsigned long, float,
                   double, CString, long long, unsigned long long>;
TYPED_TEST_SUITE(TypedSort, ElementTypes);

TYPED_TEST(TypedSort, MatchesAStableSortOfACopyAndTheIndexFollows) {
    using T = TypeParam;
    std::mt19937 rng(7);
    for (int n : {0, 1, 2, 3, 40, 2000}) {
        for (std::uint32_t flags : {0u, SORT_DESCENDING}) {
            for (bool throughArray : {true, false}) {
                std::vector<int> keys(static_cast<std::size_t>(n));
                for (int& k : keys) k = static_cast<int>(rng() % 200);
                typename Elem<T>::Array array;
                CArray<int, int> index;
                for (int i = 0; i < n; ++i) {
                    array.Add(Elem<T>::Make(keys[static_cast<std::size_t>(i)]));
                    index.Add(i);
                }
                index.Add(-1);  // past the count: never moved
                if (throughArray)
                    kxutilsSort(array, flags, &index);
                else
                    kxutilsSortBuff(array.GetData(), n, flags, &index);

                std::vector<int> expected = keys;
                std::stable_sort(expected.begin(), expected.end(), [&](int a, int b) {
                    return flags & SORT_DESCENDING ? b < a : a < b;
                });
                std::vector<int> seen;
                for (int i = 0; i < n; ++i) {
                    ASSERT_TRUE(array[i] == Elem<T>::Make(expected[static_cast<std::size_t>(i)]))
                        << "n " << n << " flags " << flags << " at " << i;
                    int from = index[i];
                    ASSERT_TRUE(from >= 0 && from < n && array[i] == Elem<T>::Make(keys[from]));
                    seen.push_back(from);
                }
                std::sort(seen.begin(), seen.end());
                std::vector<int> all(static_cast<std::size_t>(n));
                std::iota(all.begin(), all.end(), 0);
                EXPECT_EQ(seen, all);
                EXPECT_EQ(index[n], -1);
            }
        }
    }
}

TYPED_TEST(TypedSort, UsesTheFullWidthAndSignednessOfTheType) {
    using T = TypeParam;
    if constexpr (!std::is_same_v<T, CString>) {
        using L = std::numeric_limits<T>;
        std::vector<T> values = {L::max(),       L::lowest(),         T(0),
                                 T(1),           T(L::max() / 2 + 1), T(L::lowest() / 2),
                                 T(L::max() - 1)};
        std::vector<T> expected = values;
        std::stable_sort(expected.begin(), expected.end());
        kxutilsSortBuff(values.data(), static_cast<long long>(values.size()), 0, nullptr);
        EXPECT_EQ(values, expected);
    }
}

TYPED_TEST(TypedSort, RefusedCallsTouchNeitherDataNorIndex) {
    using T = TypeParam;
    std::vector<T> data = {Elem<T>::Make(3), Elem<T>::Make(2), Elem<T>::Make(1)};
    const std::vector<T> before = data;
    CArray<int, int> shortIndex;
    shortIndex.Add(0);
    shortIndex.Add(1);
    kxutilsSortBuff(data.data(), 3, 0, &shortIndex);          // index shorter than count
    kxutilsSortBuff(data.data(), 2LL + INT_MAX, 0, nullptr);  // last index past 32 bits
    kxutilsSortBuff(data.data(), -5, 0, &shortIndex);
    kxutilsSortBuff(static_cast<T*>(nullptr), 3, 0, nullptr);
    EXPECT_EQ(data, before);
    EXPECT_EQ(shortIndex[0], 0);
    EXPECT_EQ(shortIndex[1], 1);
}

constexpr double N = NANUM;

bool SameValues(const CArray<double, double>& got, const std::vector<double>& want) {
    if (got.GetSize() != static_cast<INT_PTR>(want.size())) return false;
    for (INT_PTR i = 0; i < got.GetSize(); ++i) {
        double a = got[i], b = want[static_cast<std::size_t>(i)];
        if (!(a == b || (std::isnan(a) && std::isnan(b)))) return false;
    }
    return true;
}

struct DoubleRow {
    std::uint32_t flags;
    std::vector<double> input, sorted;
};

TEST(DoubleSort, MissingValueModesAndTheirReversal) {
    const double nan = std::nan("");
    const DoubleRow rows[] = {
        {1, {3, N, 1}, {N, 1, 3}},
        {2, {3, N, 1}, {1, 3, N}},
        {0, {3, N, 1}, {N, 1, 3}},  // plain: NANUM is a tiny negative number
        {0, {-2, N, 0}, {-2, N, 0}},
        {3, {0, N, -1e-310}, {N, -1e-310, 0}},  // modes past 2 give no special rank
        {1 | SORT_DESCENDING, {3, N, 1}, {3, 1, N}},
        {2 | SORT_DESCENDING, {3, N, 1}, {N, 3, 1}},
        {1, {nan, N}, {N, nan}},  // a NaN is never the missing value
        {2, {N, nan}, {nan, N}},
        {0x12, {N, 5, N, -1, 7}, {N, N, 7, 5, -1}},  // unknown bits ignored
    };
    for (const DoubleRow& row : rows) {
        CArray<double, double> array;
        for (double v : row.input) array.Add(v);
        kxutilsSort(array, row.flags, nullptr);
        EXPECT_TRUE(SameValues(array, row.sorted)) << "flags " << row.flags;
    }
}

TEST(DoubleSort, IndexArrayRecordsWhereEachValueCameFrom) {
    CArray<double, double> values;
    CArray<int, int> index;
    for (double v : {30.0, 10.0, 20.0}) index.Add(static_cast<int>(values.Add(v)));
    kxutilsSort(values, 0, &index);
    EXPECT_EQ(index[0], 1);
    EXPECT_EQ(index[1], 2);
    EXPECT_EQ(index[2], 0);
}

struct StringRow {
    std::uint32_t flags;
    std::vector<const char*> input, sorted;
};

TEST(StringSort, CaseRulesAndNumericText) {
    const StringRow rows[] = {
        {SORT_CASE_SENSITIVE, {"b", "B", "a"}, {"B", "a", "b"}},
        {0, {"b", "a", "C"}, {"a", "b", "C"}},
        {SORT_DESCENDING, {"b", "a", "C"}, {"C", "b", "a"}},
        {0, {"10", "9", "2.5"}, {"10", "2.5", "9"}},
        {SORT_NUMERIC_STRINGS, {"10", "9", "2.5"}, {"2.5", "9", "10"}},
        {SORT_NUMERIC_STRINGS | SORT_CASE_SENSITIVE, {"10", "9", " -1e1"}, {" -1e1", "9", "10"}},
        {SORT_NUMERIC_STRINGS | SORT_MISSING_LARGEST, {"x", "3", "1"}, {"1", "3", "x"}},
        {SORT_NUMERIC_STRINGS | SORT_MISSING_SMALLEST | SORT_DESCENDING,
         {"1", "x", "3"},
         {"3", "1", "x"}},
    };
    for (const StringRow& row : rows) {
        CStringArray array;
        for (const char* s : row.input) array.Add(s);
        kxutilsSort(array, row.flags, nullptr);
        std::vector<std::string> got, want(row.sorted.begin(), row.sorted.end());
        for (INT_PTR i = 0; i < array.GetSize(); ++i) got.emplace_back(array[i]);
        EXPECT_EQ(got, want) << "flags " << row.flags;
    }
}

TEST(StringSort, CaseVariantsRankEqualWithoutTheCaseBit) {
    CStringArray array;
    for (const char* s : {"b", "B", "a"}) array.Add(s);
    kxutilsSort(array, 0, nullptr);
    EXPECT_STREQ(array[0], "a");
    EXPECT_EQ(array[1].CompareNoCase("b"), 0);
    EXPECT_EQ(array[2].CompareNoCase("b"), 0);
    EXPECT_NE(array[1].Compare(array[2]), 0);
}

TEST(Comparators, AnswerForFlagsHeldAsAValue) {
    struct Row {
        double a, b;
        std::uint32_t flags;
        int result;
    };
    const Row rows[] = {{1, 2, 0, -1},     {1, 2, SORT_DESCENDING, 1},
                        {-0.0, 0.0, 0, 0}, {std::nan(""), 1, 0, 0},
                        {N, -5, 0, 1},     {N, -5, 1, -1},
                        {N, -5, 2, 1},     {N, N, 1, 0}};
    for (Row r : rows)
        EXPECT_EQ(SortDoubleGenericCallBack(&r.a, &r.b, r.flags), r.result)
            << r.a << " " << r.b << " flags " << r.flags;
    EXPECT_EQ(SortDoubleGenericCallBack(nullptr, nullptr, 0), 0);

    CString a("a"), upperB("B"), ten("10"), nine("9");
    EXPECT_LT(SortStringGenericCallBack(&a, &upperB, 0), 0);
    EXPECT_GT(SortStringGenericCallBack(&a, &upperB, SORT_CASE_SENSITIVE), 0);
    EXPECT_LT(SortStringGenericCallBack(&ten, &nine, 0), 0);
    EXPECT_EQ(SortStringGenericCallBack(&ten, &nine, SORT_NUMERIC_STRINGS), 1);
    EXPECT_EQ(SortStringGenericCallBack(&ten, &nine, SORT_NUMERIC_STRINGS | SORT_DESCENDING), -1);
    EXPECT_EQ(SortStringGenericCallBack(&a, nullptr, 0), 0);
}

TEST(Comparators, StringsAnswerTheStringsOwnComparison) {
    const char* texts[] = {"", "a", "A", "ab", "_", "Z", "\xC9t\xE9", "\xE9T\xC9", "\xFF", "a\x80"};
    for (const char* x : texts) {
        for (const char* y : texts) {
            CString a(x), b(y);
            EXPECT_EQ(SortStringGenericCallBack(&a, &b, 0), a.CompareNoCase(b)) << x << " " << y;
            EXPECT_EQ(SortStringGenericCallBack(&a, &b, SORT_DESCENDING), -a.CompareNoCase(b));
            EXPECT_EQ(SortStringGenericCallBack(&a, &b, SORT_CASE_SENSITIVE), a.Compare(b));
        }
    }
}

}  // namespace
