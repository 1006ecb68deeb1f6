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

using kxtl::sort_range_with_companion;
using kxtl::SortCompanion;

// Sizes the sort has no dedicated mover for; `id` tells equal keys apart so the permutation check
// is strict, and 300 bytes of fill put the scratch element on the heap.
template <int Fill>
struct Wide {
    std::int64_t key, id;
    unsigned char fill[Fill];
    bool operator<(const Wide& o) const { return key < o.key; }
};

// Monotonic in v, reaching negative values and the high bits of T.
template <class T>
T make(std::int64_t v, std::int64_t range, std::int64_t id) {
    using L = std::numeric_limits<T>;
    if constexpr (std::is_class_v<T>) {
        T w{v - range / 2, id, {}};
        std::memset(w.fill, static_cast<int>(id), sizeof w.fill);
        return w;
    } else if constexpr (sizeof(T) <= 2) {
        return static_cast<T>(L::min() +
                              v * (L::max() - L::min()) / std::max<std::int64_t>(range, 2));
    } else {
        return static_cast<T>((v - range / 2) * (sizeof(T) == 8 ? 1000000007LL : 1));
    }
}

// Each sort passes its own counter as the context; a call with any other context is a stray.
struct Counter {
    long long calls = 0;
};
Counter* g_current = nullptr;
long long g_strays = 0;

template <class T>
int compare(const void* a, const void* b, void* context) {
    ++(context != nullptr && context == g_current ? g_current->calls : g_strays);
    const T &x = *static_cast<const T*>(a), &y = *static_cast<const T*>(b);
    return (y < x) - (x < y);
}

enum class Shape { Random, Sorted, Reversed, AllEqual, FewDistinct, OrganPipe, Sawtooth };

template <class T>
std::vector<T> generate(Shape shape, int n, std::uint32_t seed) {
    std::mt19937 rng(seed);
    const std::int64_t range = std::max(n, 1);
    std::vector<T> out;
    for (int i = 0; i < n; ++i) {
        const std::int64_t v[] = {static_cast<std::int64_t>(rng() % range),
                                  i,
                                  n - 1 - i,
                                  range / 3,
                                  static_cast<std::int64_t>(rng() % 4) * (range / 4),
                                  i < n / 2 ? 2 * i : 2 * (n - 1 - i),
                                  (i % 37) * (range / 37)};
        out.push_back(make<T>(v[static_cast<int>(shape)], range, i));
    }
    return out;
}

// Companion element i of `width` bytes: i in its first (up to) four bytes, then bytes of its own.
unsigned char code(int i, int j) {
    return static_cast<unsigned char>(j < 4 ? i >> 8 * j : i * 7 + j);
}

// Sorts a copy of `original` with such a companion (width 0: none) and checks order, permutation
// and that the companion followed its element.
template <class T>
void sort_and_check(const std::vector<T>& original, int width, long long& calls) {
    const int n = static_cast<int>(original.size());
    std::vector<T> data = original;
    std::vector<unsigned char> comp(static_cast<std::size_t>(n * width) + 1);
    for (int i = 0; i < n * width; ++i) comp[i] = code(i / width, i % width);
    SortCompanion companion{comp.data(), width, 0};
    Counter counter;
    g_current = &counter;
    ASSERT_EQ(0, sort_range_with_companion(data.data(), 0, n - 1, sizeof(T), compare<T>,
                                           width != 0 ? &companion : nullptr, width, &counter));
    g_current = nullptr;
    calls = counter.calls;
    ASSERT_EQ(0, g_strays);
    for (int k = 1; k < n; ++k) ASSERT_FALSE(data[k] < data[k - 1]) << "unordered at " << k;
    if (width == 0) {  // compare as multisets of byte blocks
        std::vector<T> want = original;
        auto bytewise = [](const T& a, const T& b) { return std::memcmp(&a, &b, sizeof(T)) < 0; };
        std::sort(want.begin(), want.end(), bytewise);
        std::sort(data.begin(), data.end(), bytewise);
        for (int k = 0; k < n; ++k) ASSERT_EQ(0, std::memcmp(&want[k], &data[k], sizeof(T)));
        return;
    }
    std::vector<bool> seen(n);
    for (int k = 0; k < n; ++k) {
        int i = 0;
        for (int j = std::min(width, 4) - 1; j >= 0; --j) i = i << 8 | comp[k * width + j];
        ASSERT_TRUE(i < n && !seen[i]) << "not a permutation at " << k;
        seen[i] = true;
        for (int j = 4; j < width; ++j) ASSERT_EQ(code(i, j), comp[k * width + j]);
        ASSERT_EQ(0, std::memcmp(&data[k], &original[i], sizeof(T))) << "companion lost at " << k;
    }
}

template <class T>
class SortTyped : public ::testing::Test {};
using ElementTypes = ::testing::Types<std::int8_t, std::int16_t, std::int32_t, double, std::int64_t,
                                      Wide<8>, Wide<300>>;
TYPED_TEST_SUITE(SortTyped, ElementTypes);

// Every companion width (none, dedicated, odd) comes round once per few shapes and sizes.
TYPED_TEST(SortTyped, EveryShapeAndSizeSortsWithCompanionFollowing) {
    const int sizes[] = {0, 1, 2, 3, 23, 24, 25, 1000, 100000}, widths[] = {0, 4, 8, 12, 2, 1};
    for (int s = 0; s <= static_cast<int>(Shape::Sawtooth); ++s) {
        for (int z = 0; z < 9; ++z) {
            const int n = sizes[z];
            int width = widths[(s + z) % 6];
            if (width == 1 && n > 255) width = 0;
            if (width == 2 && n > 65535) width = 4;
            if (sizeof(TypeParam) > 64 && n > 5000) continue;
            SCOPED_TRACE(::testing::Message() << "shape " << s << " n " << n << " width " << width);
            long long calls = 0;
            sort_and_check(generate<TypeParam>(Shape(s), n, 1234u + n), width, calls);
            EXPECT_LE(calls, 2.0 * n * std::log2(n + 1) + 30 * n);  // O(n log n) on every shape
            if (n == 100000 && s >= 1 && s <= 4) {
                EXPECT_LT(calls, 5 * n);  // sorted runs and equal keys take linear time
            }
        }
    }
}

// Comparators that break the rules, over a buffer with guard zones around the sorted range.
struct Hostile {
    const unsigned char *lo, *hi;        // the range [lo, hi) may be handed to the comparator ...
    const unsigned char *bufLo, *bufHi;  // ... but nothing else of [bufLo, bufHi)
    int mode;
    std::mt19937 rng{11};
    int phase = 0;
    long long calls = 0, strayPointers = 0;
};

int hostile_compare(const void* a, const void* b, void* context) {
    auto* h = static_cast<Hostile*>(context);
    ++h->calls;
    auto slot = [h](const void* p) -> long {
        auto* q = static_cast<const unsigned char*>(p);
        if (q >= h->lo && q < h->hi) return (q - h->lo) / 8;
        if (q >= h->bufLo && q < h->bufHi) ++h->strayPointers;
        return -1000;
    };
    const long ia = slot(a), ib = slot(b);
    const double x = *static_cast<const double*>(a), y = *static_cast<const double*>(b);
    if (h->mode == 0) return static_cast<int>(h->rng() % 3) - 1;          // random answers
    if (h->mode == 1 || h->mode == 2) return h->mode == 1 ? -1 : 1;       // all less, all greater
    if (h->mode == 3) return h->rng() % 16 == 0 ? 1 : -1;                 // mostly less, long runs
    if (h->mode == 4) return (ia <= ib) == (h->rng() % 8 != 0) ? -1 : 1;  // mostly slot order
    // 5 and 6 go by slot, statefully: the first pivot lands at slot 1 and the range after it
    // starts with a copy of it; then mode 5 calls everything less (tempting scans to run off),
    // mode 6 everything but a slot and the next (peeling one at a time).
    if (h->mode == 5 || h->mode == 6) {
        if (h->phase == 1) return h->mode == 5 || ia + 1 != ib ? -1 : 1;
        if (ia == 1 && ib == 2) h->phase = 1;
        return ib == 0 ? (ia == 1 ? -1 : 1) : (h->phase == 1 ? 1 : -1);
    }
    return (x > y) - (y > x);  // 7: NaN equal to everything; 8: no NaN, a proper order
}

// Also covers a sub-range with a companion: mode 8 is consistent, and its range must come sorted.
TEST(Sort, InconsistentComparatorsNeverLeaveTheRange) {
    const int guard = 40;
    std::vector<int> sizes = {2, 3, 23, 24, 25, 200, 5000, 100000};
    for (int n = 26; n < 160; ++n) sizes.push_back(n);  // many pivots near the edges
    for (int mode = 0; mode <= 8; ++mode) {
        for (int n : sizes) {
            SCOPED_TRACE(::testing::Message() << "mode " << mode << " n " << n);
            std::mt19937 rng(n);
            std::vector<double> buf(n + 2 * guard, -777.0);
            std::vector<std::int32_t> index(n + 2 * guard, -5);
            for (int i = guard; i < guard + n; ++i) {
                const bool nan = mode < 8 && rng() % 5 == 0;
                buf[i] = nan ? std::numeric_limits<double>::quiet_NaN() : double(rng() % 50);
                index[i] = i;
            }
            const std::vector<double> original = buf;
            auto* bytes = reinterpret_cast<const unsigned char*>(buf.data());
            Hostile h{bytes + guard * 8, bytes + (guard + n) * 8, bytes, bytes + buf.size() * 8,
                      mode};
            SortCompanion companion{index.data(), 4, 0};
            ASSERT_EQ(0, sort_range_with_companion(buf.data(), guard, guard + n - 1, 8,
                                                   hostile_compare, &companion, 1, &h));
            EXPECT_EQ(0, h.strayPointers);
            EXPECT_LT(h.calls, 4.0 * n * std::log2(n) + 1000);  // no quadratic trap either
            for (int i = 0; i < guard; ++i) {
                ASSERT_TRUE(buf[i] == -777.0 && buf[guard + n + i] == -777.0);
                ASSERT_TRUE(index[i] == -5 && index[guard + n + i] == -5);
            }
            std::vector<bool> seen(buf.size());
            for (int k = guard; k < guard + n; ++k) {
                ASSERT_TRUE(index[k] >= guard && index[k] < guard + n && !seen[index[k]]);
                seen[index[k]] = true;
                ASSERT_EQ(0, std::memcmp(&buf[k], &original[index[k]], 8));
                if (mode == 8 && k > guard) {
                    ASSERT_LE(buf[k - 1], buf[k]);
                }
            }
        }
    }
}

// McIlroy's adversary decides the order lazily so that every pivot candidate ends up as small as
// possible; a plain quicksort goes quadratic against it.
struct Adversary {
    std::vector<int> val;
    int gas, solid = 0, candidate = 0;
    long long calls = 0;
};

int adversary_compare(const void* pa, const void* pb, void* context) {
    auto* a = static_cast<Adversary*>(context);
    const int x = *static_cast<const int*>(pa), y = *static_cast<const int*>(pb);
    ++a->calls;
    if (a->val[x] == a->gas && a->val[y] == a->gas) a->val[x == a->candidate ? x : y] = a->solid++;
    if (a->val[x] == a->gas) {
        a->candidate = x;
    } else if (a->val[y] == a->gas) {
        a->candidate = y;
    }
    return a->val[x] - a->val[y];
}

TEST(Sort, AdversarialInputFinishesInNLogN) {
    const int n = 100000;
    Adversary adv{std::vector<int>(n, n), n};
    std::vector<int> items(n);
    std::iota(items.begin(), items.end(), 0);
    ASSERT_EQ(0, sort_range_with_companion(items.data(), 0, n - 1, 4, adversary_compare, nullptr, 0,
                                           &adv));
    EXPECT_LT(adv.calls, 4.0 * n * std::log2(n));
    for (int k = 1; k < n; ++k) ASSERT_LE(adv.val[items[k - 1]], adv.val[items[k]]);
}

TEST(Sort, ArgumentChecksTouchNothing) {
    int data[4] = {4, 3, 2, 1}, index[4] = {0, 1, 2, 3};
    SortCompanion companion{index, 4, 0}, broken{nullptr, 4, 0};
    const auto cmp = compare<int>;
    Counter counter;
    g_current = &counter;
    EXPECT_EQ(0, sort_range_with_companion(nullptr, 0, -1, 4, nullptr, nullptr, 1, nullptr));
    EXPECT_EQ(0, sort_range_with_companion(data, 5, 2, 0, cmp, nullptr, 1, &counter));
    EXPECT_EQ(-1, sort_range_with_companion(nullptr, 0, 3, 4, cmp, &companion, 1, &counter));
    EXPECT_EQ(-1, sort_range_with_companion(data, 0, 3, 4, nullptr, &companion, 1, &counter));
    EXPECT_EQ(-2, sort_range_with_companion(data, 0, 3, 0, cmp, &companion, 1, &counter));
    EXPECT_EQ(-3, sort_range_with_companion(data, -1, 3, 4, cmp, &companion, 1, &counter));
    EXPECT_EQ(-4, sort_range_with_companion(data, 0, 3, 4, cmp, nullptr, 1, &counter));
    EXPECT_EQ(-4, sort_range_with_companion(data, 0, 3, 4, cmp, &broken, 1, &counter));
    EXPECT_EQ(0, sort_range_with_companion(data, 2, 2, 4, cmp, &companion, 1, &counter));
    EXPECT_EQ(0, counter.calls);
    EXPECT_EQ((std::vector<int>{4, 3, 2, 1}), std::vector<int>(data, data + 4));
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3}), std::vector<int>(index, index + 4));
    g_current = nullptr;
}

TEST(TextToDouble, Table) {
    struct Row {
        std::string text;
        double expected;  // its sign is checked too
    };
    const double inf = HUGE_VAL;
    std::vector<Row> rows = {
        {"0", 0.0},       {"-0", -0.0},       {"+12", 12.0},      {"-.5e1", -5.0},   {"5.", 5.0},
        {"1E+3", 1000.0}, {"2.5e-3", 0.0025}, {"  \t\n42", 42.0}, {"12abc", 12.0},   {"12e+", 12.0},
        {"12e-x", 12.0},  {"1,5", 1.0},       {"0x1A", 0.0},      {"1.2.3", 1.2},    {"0.1", 0.1},
        {"1e400", inf},   {"-1e400", -inf},   {"1e-400", 0.0},    {"-1e-999", -0.0},
    };
    const std::string zeros(400, '0'), nines(20, '9');
    rows.insert(rows.end(),
                {
                    {"0e" + nines, 0.0},
                    {"1e" + nines, inf},
                    {"1" + zeros, inf},
                    {zeros + "1.5", 1.5},
                    {"0." + zeros + "1", 0.0},
                    {"1" + zeros.substr(100), 1e300},
                    {"9007199254740993", 9007199254740992.0},  // ties to even, not rounded twice
                    {"1.7976931348623157e308", 1.7976931348623157e308},
                    {"4.9406564584124654e-324", 4.9406564584124654e-324},
                });
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text.substr(0, 40));
        const double got = kxtl::text_to_double(row.text.c_str());
        EXPECT_EQ(row.expected, got);
        EXPECT_EQ(std::signbit(row.expected), std::signbit(got));
    }
    for (const char* text : {"", "   ", "abc", ".", "-", "e5", "- 1", ".e1", "-infinity", "nan",
                             "-1.23456789e-300", static_cast<const char*>(nullptr)}) {
        EXPECT_EQ(kxtl::NANUM, kxtl::text_to_double(text)) << (text ? text : "null");
    }
}

TEST(TextToDouble, ShortestRoundTripIsExact) {
    std::mt19937_64 rng(17);
    for (int i = 0; i < 20000; ++i) {
        const std::uint64_t bits = rng();
        double value, back;
        std::memcpy(&value, &bits, sizeof value);
        if (!std::isfinite(value)) continue;
        char text[40];
        std::snprintf(text, sizeof text, "  %.17g;", value);
        back = kxtl::text_to_double(text);
        ASSERT_EQ(0, std::memcmp(&back, &bits, sizeof back)) << text;
    }
}

TEST(Log, NaturalLogarithmAndNaNForNegative) {
    EXPECT_TRUE(std::isnan(kxtl::log(-1.0)));
    EXPECT_DOUBLE_EQ(1.0, kxtl::log(std::exp(1.0)));
    EXPECT_EQ(-HUGE_VAL, kxtl::log(0.0));
}

}  // namespace
