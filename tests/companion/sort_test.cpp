// Tests of sort_range_with_companion and text_to_double.
#include "kxtl.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

using kxtl::sort_range_with_companion;
using kxtl::SortCompanion;

// The sort sees only blocks of bytes. Here a block's first min(size, 8) bytes are its key, most
// significant first, so the comparator is a memcmp of them; the rest of a wide block is fill.
struct Blocks {
    int size;
    long long calls = 0;
};

int compare_keys(const void* a, const void* b, void* context) {
    auto* blocks = static_cast<Blocks*>(context);
    ++blocks->calls;
    const int c = std::memcmp(a, b, static_cast<std::size_t>(std::min(blocks->size, 8)));
    return (c > 0) - (c < 0);
}

// Sorts n blocks of `size` bytes laid out in `shape` (random, sorted, reversed, all equal, few
// distinct, organ pipe, sawtooth), with a companion of `width` bytes per element (0: none), and
// checks the order, and that the pairs of block and companion element are those there were.
void sort_and_check(int size, int shape, int n, int width, long long& calls) {
    std::mt19937 rng(1234u + n);
    const std::int64_t range = std::max(n, 1);
    const int w = std::min(size, 8);
    // Keys spread over the key's whole width, so a mover that drops high bytes is seen.
    const std::uint64_t max = w == 8 ? UINT64_MAX : (std::uint64_t{1} << 8 * w) - 1;
    std::vector<unsigned char> data(static_cast<std::size_t>(n) * size), comp(n * width + 1);
    for (int i = 0; i < n; ++i) {
        const std::int64_t random = rng() % range, few = rng() % 4 * (range / 4);
        const std::int64_t pipe = i < n / 2 ? 2 * i : 2 * (n - 1 - i), saw = i % 37 * (range / 37);
        const std::int64_t v[] = {random, i, n - 1 - i, range / 3, few, pipe, saw};
        const std::uint64_t key = w <= 4 ? v[shape] * max / range : v[shape] * (max / range);
        for (int b = 0; b < size; ++b)
            data[i * size + b] = static_cast<unsigned char>(b < w ? key >> 8 * (w - 1 - b) : i + b);
        for (int j = 0; j < width; ++j)
            comp[i * width + j] = static_cast<unsigned char>(i >> j % 3 * 8);
    }
    const std::vector<unsigned char> original = data, originalComp = comp;
    SortCompanion companion{comp.data(), width, 0};
    Blocks blocks{size};
    ASSERT_EQ(0, sort_range_with_companion(data.data(), 0, n - 1, size, compare_keys,
                                           width != 0 ? &companion : nullptr, width, &blocks));
    calls = blocks.calls;
    for (int k = 1; k < n; ++k)
        ASSERT_LE(std::memcmp(&data[(k - 1) * size], &data[k * size], w), 0)
            << "unordered at " << k;
    // The pairs as a multiset: a sum of one hash per pair, blind to their order.
    const auto pairs = [&](const std::vector<unsigned char>& d,
                           const std::vector<unsigned char>& c) {
        std::uint64_t sum = 0;
        for (int k = 0; k < n; ++k) {
            std::uint64_t h = 14695981039346656037u;
            for (int b = 0; b < size; ++b) h = (h ^ d[k * size + b]) * 1099511628211u;
            for (int j = 0; j < width; ++j) h = (h ^ c[k * width + j]) * 1099511628211u;
            sum += h;
        }
        return sum;
    };
    EXPECT_EQ(pairs(original, originalComp), pairs(data, comp)) << "not a permutation";
}

// Element sizes with a dedicated mover (1, 2, 4, 8), without (24), and one whose scratch copy
// goes on the heap (316); every companion width (none, dedicated, odd) comes round once per few
// shapes and counts.
TEST(Sort, EveryShapeSizeAndWidthSortsWithTheCompanionFollowing) {
    const int counts[] = {0, 1, 2, 3, 23, 24, 25, 1000, 100000}, widths[] = {0, 4, 8, 12, 2, 1};
    for (const int size : {1, 2, 4, 8, 24, 316}) {
        for (int shape = 0; shape < 7; ++shape) {
            for (int z = 0; z < 9; ++z) {
                const int n = counts[z];
                const int width = widths[(shape + z) % 6];
                if (size > 64 && n > 5000) continue;
                SCOPED_TRACE(::testing::Message() << "size " << size << " shape " << shape << " n "
                                                  << n << " width " << width);
                long long calls = 0;
                sort_and_check(size, shape, n, width, calls);
                EXPECT_LE(calls, 2.0 * n * std::log2(n + 1) + 30 * n);  // O(n log n) on any shape
                if (n == 100000 && shape >= 1 && shape <= 4) {
                    EXPECT_LT(calls, 5 * n);  // sorted runs and equal keys take linear time
                }
            }
        }
    }
}

// Comparators that break the rules, over doubles with guard zones around the sorted range.
struct Hostile {
    const double *lo, *hi;        // the range [lo, hi) may be handed to the comparator ...
    const double *bufLo, *bufHi;  // ... but nothing else of [bufLo, bufHi)
    int mode;
    std::mt19937 rng{11};
    int phase = 0;
    long long calls = 0, strayPointers = 0;
    std::vector<int> value{};  // mode 9: the value of each element id, kGas until settled
    std::size_t settled = 0, candidate = 0;
};
constexpr int kGas = INT_MAX;

int hostile_compare(const void* a, const void* b, void* context) {
    auto* h = static_cast<Hostile*>(context);
    ++h->calls;
    auto slot = [h](const void* p) -> long {
        auto* q = static_cast<const double*>(p);
        if (q >= h->lo && q < h->hi) return q - h->lo;
        if (q >= h->bufLo && q < h->bufHi) ++h->strayPointers;
        return -1000;
    };
    const long ia = slot(a), ib = slot(b);
    const double x = *static_cast<const double*>(a), y = *static_cast<const double*>(b);
    if (h->mode == 0) return static_cast<int>(h->rng() % 3) - 1;          // random answers
    if (h->mode == 1 || h->mode == 2) return h->mode == 1 ? -1 : 1;       // all less, all greater
    if (h->mode == 3) return h->rng() % 16 == 0 ? 1 : -1;                 // mostly less, long runs
    if (h->mode == 4) return (ia <= ib) == (h->rng() % 8 != 0) ? -1 : 1;  // mostly slot order
    // 5 and 6 go by slot, statefully: the first pivot lands at slot 0 or 1 (by the parity of the
    // count) and the range after it starts with a copy of it; then mode 5 calls everything less
    // (tempting scans to run off), mode 6 everything but a slot and the next (peeling one at a
    // time).
    if (h->mode == 5 || h->mode == 6) {
        const long land = (h->hi - h->lo) % 2;
        if (h->phase == 1) return h->mode == 5 || ia + 1 != ib ? -1 : 1;
        if (ia == land && ib == land + 1) h->phase = 1;
        return ib == 0 ? (ia > 0 && ia <= land ? -1 : 1) : (h->phase == 1 ? 1 : -1);
    }
    if (h->mode == 9) {
        // McIlroy's adversary: the data are element ids whose values are settled only when a
        // comparison needs them, always so that the pivot candidate comes out small. The
        // answers stay consistent, so the range must come sorted all the same.
        const int i = static_cast<int>(x), j = static_cast<int>(y);
        if (i < 0 || j < 0) return 0;  // a guard, already counted
        std::vector<int>& v = h->value;
        if (v[i] == kGas && v[j] == kGas)
            v[i == static_cast<int>(h->candidate) ? i : j] = static_cast<int>(h->settled++);
        if (v[i] == kGas)
            h->candidate = i;
        else if (v[j] == kGas)
            h->candidate = j;
        return (v[i] > v[j]) - (v[i] < v[j]);
    }
    return (x > y) - (y > x);  // 7: NaN equal to everything; 8: no NaN, a proper order
}

// Also covers a sub-range with a companion: mode 8 is consistent, and its range must come sorted.
// Modes 1 to 3 defeat every pivot choice, as a killer input for quicksort does, so the bound on
// the calls holds only if the fallback to an O(n log n) sort works.
TEST(Sort, InconsistentComparatorsNeverLeaveTheRange) {
    const int guard = 40;
    std::vector<int> sizes = {2, 3, 23, 24, 25, 200, 5000, 100000};
    for (int n = 26; n < 160; ++n) sizes.push_back(n);  // many pivots near the edges
    for (int mode = 0; mode <= 9; ++mode) {
        for (const int n : sizes) {
            SCOPED_TRACE(::testing::Message() << "mode " << mode << " n " << n);
            std::mt19937 rng(n);
            const int total = n + 2 * guard;
            std::vector<double> buf(total, -777.0);
            std::vector<std::int32_t> index(total, -5);
            for (int i = guard; i < guard + n; ++i) {
                const bool nan = mode < 8 && rng() % 5 == 0;
                buf[i] = nan         ? std::numeric_limits<double>::quiet_NaN()
                         : mode == 9 ? i - guard
                                     : double(rng() % 50);
                index[i] = i;
            }
            const std::vector<double> original = buf;
            Hostile h{&buf[guard], &buf[guard] + n, buf.data(), buf.data() + total, mode};
            h.value.assign(n, kGas);
            const auto key = [&](double v) {
                return mode == 9 ? h.value[static_cast<std::size_t>(v)] : v;
            };
            SortCompanion companion{index.data(), 4, 0};
            ASSERT_EQ(0, sort_range_with_companion(buf.data(), guard, guard + n - 1, 8,
                                                   hostile_compare, &companion, 1, &h));
            EXPECT_EQ(0, h.strayPointers);
            EXPECT_LT(h.calls, 4.0 * n * std::log2(n) + 1000);  // no quadratic trap either
            std::vector<bool> seen(total);
            for (int k = 0; k < total; ++k) {  // the guards as they were, the range permuted
                const bool inside = k >= guard && k < guard + n;
                const int from = inside ? index[k] : k;
                ASSERT_TRUE(inside ? from >= guard && from < guard + n && !seen[from]
                                   : index[k] == -5)
                    << k;
                seen[from] = true;
                ASSERT_EQ(0, std::memcmp(&buf[k], &original[from], 8)) << k;
                if (mode >= 8 && inside && k > guard) {
                    ASSERT_LE(key(buf[k - 1]), key(buf[k]));
                }
            }
        }
    }
}

TEST(Sort, ArgumentChecksTouchNothing) {
    int data[4] = {4, 3, 2, 1}, index[4] = {0, 1, 2, 3};
    SortCompanion companion{index, 4, 0}, noData{nullptr, 4, 0}, noSize{index, 0, 0};
    const auto cmp = compare_keys;
    Blocks blocks{4};
    EXPECT_EQ(0, sort_range_with_companion(nullptr, 0, -1, 4, nullptr, nullptr, 1, nullptr));
    EXPECT_EQ(0, sort_range_with_companion(data, 5, 2, 0, cmp, nullptr, 1, &blocks));
    EXPECT_EQ(-1, sort_range_with_companion(nullptr, 0, 3, 4, cmp, &companion, 1, &blocks));
    EXPECT_EQ(-1, sort_range_with_companion(data, 0, 3, 4, nullptr, &companion, 1, &blocks));
    EXPECT_EQ(-2, sort_range_with_companion(data, 0, 3, 0, cmp, &companion, 1, &blocks));
    EXPECT_EQ(-3, sort_range_with_companion(data, -1, 3, 4, cmp, &companion, 1, &blocks));
    EXPECT_EQ(-4, sort_range_with_companion(data, 0, 3, 4, cmp, nullptr, 1, &blocks));
    EXPECT_EQ(-4, sort_range_with_companion(data, 0, 3, 4, cmp, &noData, 1, &blocks));
    EXPECT_EQ(-4, sort_range_with_companion(data, 0, 3, 4, cmp, &noSize, 1, &blocks));
    EXPECT_EQ(0, sort_range_with_companion(data, 2, 2, 4, cmp, &companion, 1, &blocks));
    EXPECT_EQ(0, blocks.calls);
    EXPECT_EQ((std::vector<int>{4, 3, 2, 1}), std::vector<int>(data, data + 4));
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3}), std::vector<int>(index, index + 4));
}

TEST(TextToDouble, Table) {
    const double inf = HUGE_VAL;
    const std::string zeros(400, '0'), nines(20, '9'), zeroE = "0e" + nines, hugeE = "1e" + nines;
    const std::string long1 = "1" + zeros + "e-9", lead0 = zeros + "1.5", tiny = "0." + zeros + "1",
                      e300 = "1" + zeros.substr(100), odd53 = "9007199254740993",
                      max = "1.7976931348623157e308", min = "4.9406564584124654e-324";
    // Signs are checked too; 2^53 + 1 ties to even and must not be rounded twice.
    struct Row {
        std::string text;
        double expected;
    };
    const Row rows[] = {
        {"0", 0.0},       {"-0", -0.0},       {"+12", 12.0},      {"-.5e1", -5.0}, {"5.", 5.0},
        {"1E+3", 1000.0}, {"2.5e-3", 0.0025}, {"  \t\n42", 42.0}, {"12abc", 12.0}, {"12e+", 12.0},
        {"12e-x", 12.0},  {"1,5", 1.0},       {"0x1A", 0.0},      {"1.2.3", 1.2},  {"1e400", inf},
        {"-1e400", -inf}, {"1e-400", 0.0},    {"-1e-999", -0.0},  {long1, inf},    {zeroE, 0.0},
        {hugeE, inf},     {lead0, 1.5},       {tiny, 0.0},        {e300, 1e300},   {odd53, 0x1p53},
        {max, DBL_MAX},   {min, 0x1p-1074},
    };
    for (const auto& row : rows) {
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

}  // namespace
