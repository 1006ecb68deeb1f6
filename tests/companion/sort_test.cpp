// Tests of sort_range_with_companion, text_to_double and kxtl::log.
#include "kxtl.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <numeric>
#include <random>
#include <string>
#include <type_traits>
#include <vector>

namespace {

using kxtl::SortCompanion;
using kxtl::sort_range_with_companion;

struct Big24 {
    std::int64_t key;
    std::int64_t id;  // distinguishes equal keys, so the permutation check is strict
    std::int64_t check;
};

template <class T> auto key_of(const T& v) { return v; }
auto key_of(const Big24& v) { return v.key; }

// Maps v in [0, range) monotonically into T, using negative values and the high bits.
template <class T> T make(std::int64_t v, std::int64_t range, std::int64_t id) {
    std::int64_t half = range / 2;
    if constexpr (std::is_same_v<T, std::int8_t>) {
        return static_cast<T>(v * 255 / std::max<std::int64_t>(range - 1, 1) - 128);
    } else if constexpr (std::is_same_v<T, double>) {
        return static_cast<double>(v - half) + 0.5;
    } else if constexpr (std::is_same_v<T, std::int64_t>) {
        return (v - half) * 1000000007LL;
    } else if constexpr (std::is_same_v<T, Big24>) {
        return Big24{v - half, id, ~id};
    } else {
        return static_cast<T>(v - half);
    }
}

// The comparator checks that it always gets the context of the current sort.
struct Ctx {
    long long calls = 0;
    long long badContext = 0;  // calls that got another context (counted on the expected one)
};
Ctx* g_expected = nullptr;
long long g_strayCalls = 0;  // calls while no sort expected any

template <class T> int compare(const void* a, const void* b, void* context) {
    if (g_expected == nullptr) {
        ++g_strayCalls;
    } else if (context != g_expected) {
        ++g_expected->badContext;
    } else {
        ++g_expected->calls;
    }
    auto ka = key_of(*static_cast<const T*>(a));
    auto kb = key_of(*static_cast<const T*>(b));
    return ka < kb ? -1 : (kb < ka ? 1 : 0);
}

enum class Shape { Random, Sorted, Reversed, AllEqual, FewDistinct, OrganPipe, Sawtooth };
const Shape kShapes[] = {Shape::Random,      Shape::Sorted,    Shape::Reversed, Shape::AllEqual,
                         Shape::FewDistinct, Shape::OrganPipe, Shape::Sawtooth};
const int kSizes[] = {0, 1, 2, 3, 23, 24, 25, 1000, 100000};

template <class T> std::vector<T> generate(Shape shape, int n, std::uint32_t seed) {
    std::mt19937 rng(seed);
    std::int64_t range = std::max(n, 1);
    std::vector<T> out;
    for (int i = 0; i < n; ++i) {
        std::int64_t v = 0;
        switch (shape) {
        case Shape::Random: v = rng() % range; break;
        case Shape::Sorted: v = i; break;
        case Shape::Reversed: v = n - 1 - i; break;
        case Shape::AllEqual: v = range / 3; break;
        case Shape::FewDistinct: v = (rng() % 4) * (range / 4); break;
        case Shape::OrganPipe: v = i < n / 2 ? 2 * i : 2 * (n - 1 - i); break;
        case Shape::Sawtooth: v = (i % 37) * (range / 37); break;
        }
        out.push_back(make<T>(v, range, i));
    }
    return out;
}

template <class T> bool same_bytes(const T& a, const T& b) {
    return std::memcmp(&a, &b, sizeof(T)) == 0;
}

// Sorts data in full with an index companion 0..n-1 and checks the result.
template <class T> void sort_and_check(const std::vector<T>& original, long long* calls = nullptr) {
    std::vector<T> data = original;
    int n = static_cast<int>(data.size());
    std::vector<std::int32_t> index(data.size());
    std::iota(index.begin(), index.end(), 0);
    SortCompanion companion{index.data(), 4, 0};
    Ctx ctx;
    g_expected = &ctx;
    ASSERT_EQ(0, sort_range_with_companion(data.data(), 0, n - 1, sizeof(T), compare<T>,
                                           &companion, 1, &ctx));
    g_expected = nullptr;
    EXPECT_EQ(0, ctx.badContext);
    EXPECT_LE(ctx.calls, 2.0 * n * std::log2(n + 1) + 30 * n);  // O(n log n) on every shape
    if (calls != nullptr) *calls = ctx.calls;
    for (int k = 1; k < n; ++k) {
        ASSERT_FALSE(key_of(data[k]) < key_of(data[k - 1])) << "unordered at " << k;
    }
    std::vector<bool> seen(data.size());
    for (int k = 0; k < n; ++k) {
        ASSERT_TRUE(index[k] >= 0 && index[k] < n && !seen[index[k]]) << "not a permutation";
        seen[index[k]] = true;
        ASSERT_TRUE(same_bytes(data[k], original[index[k]])) << "companion lost at " << k;
    }
}

template <class T> class SortTyped : public ::testing::Test {};
using ElementTypes = ::testing::Types<std::int8_t, std::int32_t, double, std::int64_t, Big24>;
TYPED_TEST_SUITE(SortTyped, ElementTypes);

TYPED_TEST(SortTyped, EveryShapeAndSizeSortsWithCompanionFollowing) {
    for (Shape shape : kShapes) {
        for (int n : kSizes) {
            SCOPED_TRACE("shape " + std::to_string(static_cast<int>(shape)) + " n " +
                         std::to_string(n));
            sort_and_check(generate<TypeParam>(shape, n, 1234u + n));
        }
    }
}

TEST(Sort, SortedReversedAndManyEqualInputsTakeLinearComparisons) {
    for (Shape shape : {Shape::Sorted, Shape::Reversed, Shape::AllEqual, Shape::FewDistinct}) {
        SCOPED_TRACE(static_cast<int>(shape));
        long long calls = 0;
        sort_and_check(generate<std::int32_t>(shape, 100000, 8u), &calls);
        EXPECT_LT(calls, 5 * 100000);  // pdqsort needs 2n to 3.5n here
    }
}

TYPED_TEST(SortTyped, WithoutCompanionResultIsSortedPermutation) {
    for (Shape shape : {Shape::Random, Shape::FewDistinct, Shape::OrganPipe}) {
        std::vector<TypeParam> original = generate<TypeParam>(shape, 5000, 99u);
        std::vector<TypeParam> data = original;
        SortCompanion none{nullptr, 0, 0};
        Ctx ctx;
        g_expected = &ctx;
        ASSERT_EQ(0, sort_range_with_companion(data.data(), 0, 4999, sizeof(TypeParam),
                                               compare<TypeParam>, &none, 0, &ctx));
        g_expected = nullptr;
        EXPECT_EQ(0, ctx.badContext);
        EXPECT_TRUE(std::is_sorted(data.begin(), data.end(), [](const auto& a, const auto& b) {
            return key_of(a) < key_of(b);
        }));
        auto bytewise = [](const TypeParam& a, const TypeParam& b) {
            return std::memcmp(&a, &b, sizeof(TypeParam)) < 0;
        };
        std::sort(original.begin(), original.end(), bytewise);
        std::sort(data.begin(), data.end(), bytewise);
        EXPECT_EQ(0, std::memcmp(data.data(), original.data(), sizeof(TypeParam) * 5000));
    }
}

TEST(Sort, CompanionsOfOtherSizesFollow) {
    std::vector<std::int32_t> original = generate<std::int32_t>(Shape::Random, 3000, 7u);
    std::vector<std::int32_t> data = original;
    std::vector<std::int64_t> wide(3000);
    std::iota(wide.begin(), wide.end(), std::int64_t{1} << 40);
    SortCompanion companion{wide.data(), 8, 0};
    Ctx ctx;
    g_expected = &ctx;
    ASSERT_EQ(0, sort_range_with_companion(data.data(), 0, 2999, 4, compare<std::int32_t>,
                                           &companion, 1, &ctx));
    std::vector<std::uint16_t> narrow(3000);
    std::iota(narrow.begin(), narrow.end(), 0);
    std::vector<std::int32_t> data2 = original;
    companion = {narrow.data(), 2, 0};
    ASSERT_EQ(0, sort_range_with_companion(data2.data(), 0, 2999, 4, compare<std::int32_t>,
                                           &companion, 1, &ctx));
    g_expected = nullptr;
    for (int k = 0; k < 3000; ++k) {
        ASSERT_EQ(data[k], original[wide[k] - (std::int64_t{1} << 40)]);
        ASSERT_EQ(data2[k], original[narrow[k]]);
    }
}

TEST(Sort, LargeAndOddElementSizes) {
    struct Odd { unsigned char b[3]; };
    struct Huge { std::int64_t key; unsigned char fill[300]; };  // scratch on the heap
    std::mt19937 rng(5);
    std::vector<Odd> odd(777);
    std::vector<Huge> huge(777);
    for (auto& e : odd) e = Odd{{static_cast<unsigned char>(rng()), 1, 2}};
    for (auto& e : huge) { e.key = rng() % 100; std::memset(e.fill, int(e.key), sizeof e.fill); }
    auto oddCmp = [](const void* a, const void* b, void*) {
        return int(static_cast<const Odd*>(a)->b[0]) - int(static_cast<const Odd*>(b)->b[0]);
    };
    auto hugeCmp = [](const void* a, const void* b, void*) {
        auto x = static_cast<const Huge*>(a)->key, y = static_cast<const Huge*>(b)->key;
        return x < y ? -1 : (y < x ? 1 : 0);
    };
    SortCompanion none{};
    ASSERT_EQ(0, sort_range_with_companion(odd.data(), 0, 776, 3, oddCmp, &none, 0, nullptr));
    ASSERT_EQ(0, sort_range_with_companion(huge.data(), 0, 776, sizeof(Huge), hugeCmp, &none, 0,
                                           nullptr));
    for (int k = 1; k < 777; ++k) {
        ASSERT_LE(odd[k - 1].b[0], odd[k].b[0]);
        ASSERT_TRUE(odd[k].b[1] == 1 && odd[k].b[2] == 2);
        ASSERT_LE(huge[k - 1].key, huge[k].key);
        ASSERT_EQ(huge[k].fill[299], static_cast<unsigned char>(huge[k].key));
    }
}

// Comparators that break the rules, over a buffer with guard zones around the sorted range.
struct Hostile {
    const unsigned char* lo;  // the range [lo, hi) may be handed to the comparator ...
    const unsigned char* hi;
    const unsigned char* bufLo;  // ... but nothing else of [bufLo, bufHi)
    const unsigned char* bufHi;
    std::mt19937 rng{11};
    int mode = 0;
    int phase = 0;
    long long calls = 0;
    long long strayPointers = 0;
};

int hostile_compare(const void* a, const void* b, void* context) {
    auto* h = static_cast<Hostile*>(context);
    ++h->calls;
    for (const void* p : {a, b}) {
        auto* q = static_cast<const unsigned char*>(p);
        if (q >= h->bufLo && q < h->bufHi && (q < h->lo || q >= h->hi)) ++h->strayPointers;
    }
    double x = *static_cast<const double*>(a), y = *static_cast<const double*>(b);
    auto slot = [h](const void* p) {
        auto* q = static_cast<const unsigned char*>(p);
        return q >= h->lo && q < h->hi ? (q - h->lo) / 8 : -1000;
    };
    auto ia = slot(a), ib = slot(b);
    switch (h->mode) {
    case 0: return static_cast<int>(h->rng() % 3) - 1;          // random answers
    case 1: return -1;                                          // everything is less
    case 2: return 1;                                           // everything is greater
    case 3: return h->rng() % 16 == 0 ? 1 : -1;                 // mostly less, long runs
    case 4: return (ia <= ib) == (h->rng() % 8 != 0) ? -1 : 1;  // mostly lower slot first
    case 5:  // by slot, stateful: the first pivot lands at slot 1 and the range after it
    case 6:  // starts with a copy of it; then mode 5 calls everything less (tempting scans to
             // run off), mode 6 everything but a slot and the next (peeling one at a time)
        if (h->phase == 1) return h->mode == 5 || ia + 1 != ib ? -1 : 1;
        if (ia == 1 && ib == 2) h->phase = 1;
        return ib == 0 ? (ia == 1 ? -1 : 1) : (h->phase == 1 ? 1 : -1);
    default: return y > x ? -1 : (x > y ? 1 : 0);               // NaN equal to everything
    }
}

TEST(Sort, InconsistentComparatorsNeverLeaveTheRange) {
    const int guard = 40;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (int mode = 0; mode < 8; ++mode) {
        std::vector<int> sizes = {2, 3, 23, 24, 25, 200, 5000, 100000};
        for (int n = 26; n < 160; ++n) sizes.push_back(n);  // many pivots near the edges
        for (int n : sizes) {
            SCOPED_TRACE("mode " + std::to_string(mode) + " n " + std::to_string(n));
            std::mt19937 rng(n);
            std::vector<double> buf(n + 2 * guard, -777.0);
            std::vector<std::int32_t> index(n + 2 * guard, -5);
            for (int i = guard; i < guard + n; ++i) {
                buf[i] = rng() % 5 == 0 ? nan : static_cast<double>(rng() % 50);
                index[i] = i;
            }
            std::vector<double> original = buf;
            auto* bytes = reinterpret_cast<const unsigned char*>(buf.data());
            Hostile h{bytes + guard * 8, bytes + (guard + n) * 8, bytes,
                      bytes + buf.size() * 8};
            h.mode = mode;
            SortCompanion companion{index.data(), 4, 0};
            ASSERT_EQ(0, sort_range_with_companion(buf.data(), guard, guard + n - 1, 8,
                                                   hostile_compare, &companion, 1, &h));
            EXPECT_EQ(0, h.strayPointers);
            EXPECT_LT(h.calls, 4.0 * n * std::log2(n) + 1000);  // no quadratic trap either
            for (int i = 0; i < guard; ++i) {
                ASSERT_EQ(-777.0, buf[i]);
                ASSERT_EQ(-777.0, buf[guard + n + i]);
                ASSERT_EQ(-5, index[i]);
                ASSERT_EQ(-5, index[guard + n + i]);
            }
            std::vector<bool> seen(buf.size());
            for (int k = guard; k < guard + n; ++k) {
                ASSERT_TRUE(index[k] >= guard && index[k] < guard + n && !seen[index[k]]);
                seen[index[k]] = true;
                ASSERT_TRUE(same_bytes(buf[k], original[index[k]]));
            }
        }
    }
}

TEST(Sort, SubRangeLeavesTheRestUntouched) {
    std::vector<std::int32_t> original = generate<std::int32_t>(Shape::Random, 1000, 3u);
    std::vector<std::int32_t> data = original;
    std::vector<std::int32_t> index(1000);
    std::iota(index.begin(), index.end(), 0);
    SortCompanion companion{index.data(), 4, 0};
    Ctx ctx;
    g_expected = &ctx;
    ASSERT_EQ(0, sort_range_with_companion(data.data(), 100, 899, 4, compare<std::int32_t>,
                                           &companion, 1, &ctx));
    g_expected = nullptr;
    for (int k = 0; k < 1000; ++k) {
        if (k < 100 || k > 899) {
            ASSERT_EQ(original[k], data[k]);
            ASSERT_EQ(k, index[k]);
        } else {
            ASSERT_TRUE(index[k] >= 100 && index[k] <= 899);
            ASSERT_EQ(original[index[k]], data[k]);
            if (k > 100) {
                ASSERT_LE(data[k - 1], data[k]);
            }
        }
    }
}

// McIlroy's adversary ("A Killer Adversary for Quicksort"): decides the order lazily so that
// every pivot candidate ends up as small as possible. Forces quadratic time on a plain quicksort.
struct Adversary {
    std::vector<int> val;
    int gas;
    int solid = 0;
    int candidate = 0;
    long long calls = 0;
};

int adversary_compare(const void* pa, const void* pb, void* context) {
    auto* a = static_cast<Adversary*>(context);
    int x = *static_cast<const int*>(pa), y = *static_cast<const int*>(pb);
    ++a->calls;
    if (a->val[x] == a->gas && a->val[y] == a->gas) a->val[x == a->candidate ? x : y] = a->solid++;
    if (a->val[x] == a->gas) a->candidate = x;
    else if (a->val[y] == a->gas) a->candidate = y;
    return a->val[x] - a->val[y];
}

TEST(Sort, AdversarialInputsFinishInNLogN) {
    const int n = 100000;
    const double bound = 4.0 * n * std::log2(n);  // pdqsort needs about 1-2 n log2 n
    Adversary adv{std::vector<int>(n, n), n};
    std::vector<int> items(n);
    std::iota(items.begin(), items.end(), 0);
    SortCompanion none{};
    ASSERT_EQ(0, sort_range_with_companion(items.data(), 0, n - 1, 4, adversary_compare, &none,
                                           0, &adv));
    EXPECT_LT(adv.calls, bound);
    for (int k = 1; k < n; ++k) ASSERT_LE(adv.val[items[k - 1]], adv.val[items[k]]);

    // Many equal keys in patterns that defeat simple pivot choices.
    std::vector<std::vector<std::int32_t>> inputs(4, std::vector<std::int32_t>(n));
    for (int i = 0; i < n; ++i) {
        inputs[0][i] = i % 2 == 0 ? i % 3 : n - i % 5;     // interleaved few-distinct
        inputs[1][i] = i < n / 2 ? i % 16 : (n - i) % 16;  // organ pipe of sawtooth
        inputs[2][i] = i == n - 1 ? -1 : i / (n / 8);      // sorted runs, min at the end
        inputs[3][i] = i % 2 == 0 ? i : n / 2;             // half equal, half ascending
    }
    for (auto& data : inputs) {
        Ctx ctx;
        g_expected = &ctx;
        ASSERT_EQ(0, sort_range_with_companion(data.data(), 0, n - 1, 4, compare<std::int32_t>,
                                               &none, 0, &ctx));
        g_expected = nullptr;
        EXPECT_TRUE(std::is_sorted(data.begin(), data.end()));
        EXPECT_LT(ctx.calls, bound);
    }
}

TEST(Sort, ArgumentChecks) {
    int data[4] = {4, 3, 2, 1};
    int index[4] = {0, 1, 2, 3};
    SortCompanion companion{index, 4, 0};
    SortCompanion broken{nullptr, 4, 0};
    auto cmp = compare<int>;
    Ctx ctx;
    g_expected = &ctx;
    EXPECT_EQ(0, sort_range_with_companion(nullptr, 0, -1, 4, nullptr, nullptr, 1, nullptr));
    EXPECT_EQ(0, sort_range_with_companion(data, 5, 2, 0, cmp, nullptr, 1, &ctx));
    EXPECT_EQ(-1, sort_range_with_companion(nullptr, 0, 3, 4, cmp, &companion, 1, &ctx));
    EXPECT_EQ(-1, sort_range_with_companion(data, 0, 3, 4, nullptr, &companion, 1, &ctx));
    EXPECT_EQ(-2, sort_range_with_companion(data, 0, 3, 0, cmp, &companion, 1, &ctx));
    EXPECT_EQ(-2, sort_range_with_companion(data, 0, 3, -4, cmp, &companion, 1, &ctx));
    EXPECT_EQ(-3, sort_range_with_companion(data, -1, 3, 4, cmp, &companion, 1, &ctx));
    EXPECT_EQ(-4, sort_range_with_companion(data, 0, 3, 4, cmp, nullptr, 1, &ctx));
    EXPECT_EQ(-4, sort_range_with_companion(data, 0, 3, 4, cmp, &broken, 1, &ctx));
    EXPECT_EQ((std::vector<int>{4, 3, 2, 1}), std::vector<int>(data, data + 4));
    EXPECT_EQ(0, sort_range_with_companion(data, 2, 2, 4, cmp, &companion, 1, &ctx));
    EXPECT_EQ(0, ctx.calls);
    EXPECT_EQ(0, sort_range_with_companion(data, 0, 3, 4, cmp, nullptr, 0, &ctx));
    EXPECT_EQ((std::vector<int>{1, 2, 3, 4}), std::vector<int>(data, data + 4));
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3}), std::vector<int>(index, index + 4));
    g_expected = nullptr;
    EXPECT_EQ(0, g_strayCalls);
}

TEST(TextToDouble, Table) {
    const double inf = HUGE_VAL;
    const double nanum = kxtl::NANUM;
    struct Row {
        const char* text;
        double expected;
    };
    const Row rows[] = {
        {"0", 0.0},          {"12", 12.0},          {"-12", -12.0},       {"+12", 12.0},
        {"3.25", 3.25},      {".5", 0.5},           {"5.", 5.0},          {"-.5e1", -5.0},
        {"1e3", 1000.0},     {"1E+3", 1000.0},      {"2.5e-3", 0.0025},   {"  \t\n42", 42.0},
        {"12abc", 12.0},     {"12e", 12.0},         {"12e+", 12.0},       {"12e-x", 12.0},
        {"1,5", 1.0},        {"0x1A", 0.0},         {"1.2.3", 1.2},       {"7 8", 7.0},
        {"0.1", 0.1},        {"1e400", inf},        {"-1e400", -inf},     {"1e-400", 0.0},
        {"9007199254740993", 9007199254740992.0},   {"-1.23456789e-300", nanum},
        {"1.7976931348623157e308", 1.7976931348623157e308},
        {"4.9406564584124654e-324", 4.9406564584124654e-324},
        {"000000000000000000000000000000001.5", 1.5},
        {"", nanum},         {"   ", nanum},         {"abc", nanum},       {".", nanum},
        {"-", nanum},        {"+", nanum},          {"e5", nanum},        {"- 1", nanum},
        {".e1", nanum},      {"inf", nanum},        {"-infinity", nanum}, {"nan", nanum},
        {"NAN", nanum},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(row.expected, kxtl::text_to_double(row.text));
    }
    EXPECT_EQ(nanum, kxtl::text_to_double(nullptr));
    EXPECT_TRUE(std::signbit(kxtl::text_to_double("-0")));
    EXPECT_TRUE(std::signbit(kxtl::text_to_double("-1e-999")));
    EXPECT_EQ(inf, kxtl::text_to_double("1e99999999999999999999"));
    EXPECT_EQ(0.0, kxtl::text_to_double("0e99999999999999999999"));
    EXPECT_EQ(1e300, kxtl::text_to_double(("1" + std::string(300, '0')).c_str()));
    EXPECT_EQ(1e-5, kxtl::text_to_double(("0." + std::string(4, '0') + "1").c_str()));
    EXPECT_EQ(inf, kxtl::text_to_double(("1" + std::string(400, '0') + ".5").c_str()));
    EXPECT_EQ(0.0, kxtl::text_to_double(("0." + std::string(400, '0') + "1").c_str()));
}

TEST(TextToDouble, ShortestRoundTripIsExact) {
    std::mt19937_64 rng(17);
    for (int i = 0; i < 20000; ++i) {
        std::uint64_t bits = rng();
        double value;
        std::memcpy(&value, &bits, sizeof value);
        if (!std::isfinite(value)) continue;
        char text[40];
        std::snprintf(text, sizeof text, "  %.17g;", value);
        ASSERT_EQ(bits, [&] {
            double back = kxtl::text_to_double(text);
            std::uint64_t b;
            std::memcpy(&b, &back, sizeof b);
            return b;
        }()) << text;
    }
}

TEST(Log, NaturalLogarithmAndNaNForNegative) {
    EXPECT_TRUE(std::isnan(kxtl::log(-1.0)));
    EXPECT_EQ(0.0, kxtl::log(1.0));
    EXPECT_DOUBLE_EQ(1.0, kxtl::log(std::exp(1.0)));
    EXPECT_EQ(-HUGE_VAL, kxtl::log(0.0));
}

}  // namespace
