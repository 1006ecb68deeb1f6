// Tests of sort_range_with_companion and text_to_double.
#include "kxtl.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
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
// significant first; the rest of a wide block is fill. The range sorted lies between guard
// blocks, its companion (`width` bytes an element, 0: none) between guard elements too, and the
// comparator must be handed nothing of the buffer outside the range.
struct Sorting {
    int size, mode;
    const unsigned char *lo = nullptr, *hi = nullptr, *bufLo = nullptr, *bufHi = nullptr;
    std::mt19937 rng{11};
    int phase = 0;
    long long calls = 0, strayPointers = 0;
};
constexpr unsigned char kNan[8] = {255, 255, 255, 255, 255, 255, 255, 255};

// Mode 0: the keys' order. The others break the rules: 1 random answers, 2 all less, 3 all
// greater, 4 mostly less in long runs, 5 mostly the order of the slots, 6 a key of all ones
// equal to everything, as a NaN is.
int compare(const void* a, const void* b, void* context) {
    auto* r = static_cast<Sorting*>(context);
    ++r->calls;
    const auto slot = [r](const void* p) -> long {
        auto* q = static_cast<const unsigned char*>(p);
        if (q >= r->lo && q < r->hi) return (q - r->lo) / r->size;
        if (q >= r->bufLo && q < r->bufHi) ++r->strayPointers;
        return -1000;
    };
    const long ia = slot(a), ib = slot(b);
    const auto w = static_cast<std::size_t>(std::min(r->size, 8));
    if (r->mode == 1) return static_cast<int>(r->rng() % 3) - 1;
    if (r->mode == 2 || r->mode == 3) return r->mode == 2 ? -1 : 1;
    if (r->mode == 4) return r->rng() % 16 == 0 ? 1 : -1;
    if (r->mode == 5) return (ia <= ib) == (r->rng() % 8 != 0) ? -1 : 1;
    // 7 and 8 go by slot, statefully: the first pivot lands at slot 0 or 1 (by the parity of n)
    // and the range after it starts with a copy of it; then 7 calls everything less (tempting
    // scans to run off), 8 everything but a slot and the next (peeling one at a time).
    if (r->mode >= 7) {
        const long land = (r->hi - r->lo) / r->size % 2;
        if (r->phase == 1) return r->mode == 7 || ia + 1 != ib ? -1 : 1;
        if (ia == land && ib == land + 1) r->phase = 1;
        return ib == 0 ? (ia > 0 && ia <= land ? -1 : 1) : (r->phase == 1 ? 1 : -1);
    }
    if (r->mode == 6 && (std::memcmp(a, kNan, w) == 0 || std::memcmp(b, kNan, w) == 0)) return 0;
    const int c = std::memcmp(a, b, w);
    return (c > 0) - (c < 0);
}

// Sorts n blocks laid out in `shape` (random, sorted, reversed, all equal, few distinct, organ
// pipe, sawtooth) and checks the guards, that the pairs of block and companion element are
// those there were, and under a consistent comparator the order. Returns the comparisons.
long long sort_and_check(int size, int shape, int n, int width, int mode) {
    constexpr int guard = 40;
    std::mt19937 rng(1234u + n);
    const std::int64_t range = std::max(n, 1);
    const int w = std::min(size, 8), total = n + 2 * guard;
    // Keys spread over the key's whole width, so a mover that drops high bytes is seen.
    const std::uint64_t max = w == 8 ? UINT64_MAX : (std::uint64_t{1} << 8 * w) - 1;
    std::vector<unsigned char> data(static_cast<std::size_t>(total) * size),
        comp(static_cast<std::size_t>(total) * width + 1);
    for (int i = 0; i < total; ++i) {
        const std::int64_t t = i - guard, random = rng() % range, few = rng() % 4 * (range / 4);
        const std::int64_t pipe = t < n / 2 ? 2 * t : 2 * (n - 1 - t), saw = t % 37 * (range / 37);
        const std::int64_t v[] = {random, t, n - 1 - t, range / 3, few, pipe, saw};
        const std::uint64_t key = w <= 4 ? v[shape] * max / range : v[shape] * (max / range);
        const bool nan = mode == 6 && rng() % 5 == 0;
        for (int b = 0; b < size; ++b)
            data[i * size + b] = static_cast<unsigned char>(nan     ? 255
                                                            : b < w ? key >> 8 * (w - 1 - b)
                                                                    : i + b);
        for (int j = 0; j < width; ++j)
            comp[i * width + j] = static_cast<unsigned char>(i >> j % 3 * 8);
    }
    const std::vector<unsigned char> original = data, originalComp = comp;
    SortCompanion companion{comp.data(), width, 0};
    unsigned char* const first = &data[guard * size];
    Sorting run{size, mode, first, first + n * size, data.data(), data.data() + data.size()};
    EXPECT_EQ(0, sort_range_with_companion(data.data(), guard, guard + n - 1, size, compare,
                                           width != 0 ? &companion : nullptr, width, &run));
    EXPECT_EQ(0, run.strayPointers);
    // The pairs as a multiset: a sum of one hash per pair, blind to their order; the guards
    // exactly as they were.
    const auto pairs = [&](const std::vector<unsigned char>& d,
                           const std::vector<unsigned char>& c) {
        std::uint64_t sum = 0;
        for (int k = guard; k < guard + n; ++k) {
            std::uint64_t h = 14695981039346656037u;
            for (int b = 0; b < size; ++b) h = (h ^ d[k * size + b]) * 1099511628211u;
            for (int j = 0; j < width; ++j) h = (h ^ c[k * width + j]) * 1099511628211u;
            sum += h;
        }
        return sum;
    };
    EXPECT_EQ(pairs(original, originalComp), pairs(data, comp)) << "not a permutation";
    for (int k = 0; k < total; k += k + 1 == guard ? n + 1 : 1) {
        EXPECT_EQ(0, std::memcmp(&data[k * size], &original[k * size], size)) << k;
        EXPECT_EQ(0, std::memcmp(&comp[k * width], &originalComp[k * width], width)) << k;
    }
    for (int k = guard + 1; k < guard + n && mode == 0; ++k)
        EXPECT_LE(std::memcmp(&data[(k - 1) * size], &data[k * size], w), 0)
            << "unordered at " << k;
    return run.calls;
}

// Element sizes with a dedicated mover (1, 2, 4, 8), without (24), and one whose scratch copy
// goes on the heap (316); every companion width (none, dedicated, odd) comes round once per few
// shapes and counts.
TEST(Sort, EveryShapeSizeAndWidthSortsWithTheCompanionFollowing) {
    const int counts[] = {0, 1, 2, 3, 23, 24, 25, 1000, 100000}, widths[] = {0, 4, 8, 12, 2, 1};
    for (const int size : {1, 2, 4, 8, 24, 316}) {
        for (int shape = 0; shape < 7; ++shape) {
            for (int z = 0; z < 9; ++z) {
                const int n = counts[z], width = widths[(shape + z) % 6];
                if (size > 64 && n > 5000) continue;
                SCOPED_TRACE(::testing::Message() << "size " << size << " shape " << shape << " n "
                                                  << n << " width " << width);
                const long long calls = sort_and_check(size, shape, n, width, 0);
                EXPECT_LE(calls, 2.0 * n * std::log2(n + 1) + 30 * n);  // O(n log n) on any shape
                if (n == 100000 && shape >= 1 && shape <= 4) {
                    EXPECT_LT(calls, 5 * n);  // sorted runs and equal keys take linear time
                }
            }
        }
    }
}

// Modes 2 to 4 defeat every pivot choice, as a killer input for quicksort does, so the bound on
// the calls holds only if the fallback to an O(n log n) sort works.
TEST(Sort, InconsistentComparatorsNeverLeaveTheRange) {
    std::vector<int> sizes = {2, 3, 23, 24, 25, 200, 5000, 100000};
    for (int n = 26; n < 160; ++n) sizes.push_back(n);  // many pivots near the edges
    for (int mode = 1; mode <= 8; ++mode) {
        for (const int n : sizes) {
            SCOPED_TRACE(::testing::Message() << "mode " << mode << " n " << n);
            EXPECT_LT(sort_and_check(8, 0, n, 4, mode), 4.0 * n * std::log2(n) + 1000);
        }
    }
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

}  // namespace
