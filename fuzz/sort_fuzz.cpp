// The string sort under every flag combination, and the double sort: the
// result is ordered under the sort's own comparator, is a permutation of the
// input, and the index array moves with the data. An index array shorter than
// the count leaves both untouched.
#include "fuzz.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

namespace {

constexpr int kIndexBase = 1000;

// Index values kIndexBase + i, either one short of the data or one longer,
// the extra one past the count (it must stay where it is).
void FillIndex(CArray<int, int>& index, INT_PTR size, bool shortByOne) {
    for (INT_PTR i = 0; i < size - (shortByOne ? 1 : 0); ++i)
        index.Add(kIndexBase + static_cast<int>(i));
    if (!shortByOne) index.Add(-7);
}

// The sorted elements (as comparable values) are the input's, each beside
// the index of the place it came from when an index array went along.
template <class V>
void CheckMoved(std::vector<V> before, std::vector<V> after, const CArray<int, int>& index,
                bool withIndex) {
    const auto n = static_cast<int>(after.size());
    if (withIndex && n >= 2) {
        for (int i = 0; i < n; ++i) {
            const int from = index[i] - kIndexBase;
            KX_CHECK(from >= 0 && from < n &&
                     after[static_cast<std::size_t>(i)] == before[static_cast<std::size_t>(from)]);
        }
    }
    std::sort(before.begin(), before.end());
    std::sort(after.begin(), after.end());
    KX_CHECK(before == after);
}

void SortStrings(FuzzedDataProvider& in) {
    const std::uint32_t flags = in.ConsumeIntegral<std::uint32_t>();
    const bool withIndex = in.ConsumeBool();
    const bool shortIndex = in.ConsumeBool();
    CStringArray a;
    SplitInto(a, in);
    std::vector<std::string> before;
    for (INT_PTR i = 0; i < a.GetSize(); ++i) before.push_back(ToStd(a[i]));
    CArray<int, int> index;
    FillIndex(index, a.GetSize(), shortIndex);
    const INT_PTR indexSize = index.GetSize();

    kxutilsSort(a, flags, withIndex ? &index : nullptr);

    KX_CHECK(a.GetSize() == static_cast<INT_PTR>(before.size()));
    KX_CHECK(index.GetSize() == indexSize);
    if (shortIndex) {
        for (INT_PTR i = 0; i < indexSize; ++i) KX_CHECK(index[i] == kIndexBase + i);
        if (withIndex) {
            for (INT_PTR i = 0; i < a.GetSize(); ++i) KX_CHECK(ToStd(a[i]) == before[i]);
            return;
        }
    } else {
        KX_CHECK(index[indexSize - 1] == -7);
    }
    for (INT_PTR i = 0; i + 1 < a.GetSize(); ++i)
        KX_CHECK(SortStringGenericCallBack(&a[i], &a[i + 1], flags) <= 0);
    std::vector<std::string> after;
    for (INT_PTR i = 0; i < a.GetSize(); ++i) after.push_back(ToStd(a[i]));
    CheckMoved(std::move(before), std::move(after), index, withIndex);
}

std::uint64_t Bits(double d) {
    std::uint64_t b;
    std::memcpy(&b, &d, sizeof b);
    return b;
}

void SortDoubles(FuzzedDataProvider& in) {
    const std::uint32_t flags = in.ConsumeIntegral<std::uint32_t>();
    const bool withIndex = in.ConsumeBool();
    // A small palette, so repeats and the special values are common.
    const double palette[] = {NANUM,   0.0,      -0.0,      1.0,          -1.0, 1e-300,
                              -1e-300, HUGE_VAL, -HUGE_VAL, std::nan(""), 2.5,  -2.5};
    CArray<double, double> a;
    bool hasNaN = false;
    while (in.remaining_bytes() > 0) {
        const double d =
            in.ConsumeBool() ? in.PickValueInArray(palette) : in.ConsumeFloatingPoint<double>();
        hasNaN = hasNaN || std::isnan(d);
        a.Add(d);
    }
    std::vector<std::uint64_t> before;
    for (INT_PTR i = 0; i < a.GetSize(); ++i) before.push_back(Bits(a[i]));
    CArray<int, int> index;
    FillIndex(index, a.GetSize(), false);

    kxutilsSort(a, flags, withIndex ? &index : nullptr);

    KX_CHECK(index[index.GetSize() - 1] == -7);
    // A NaN ranks equal to everything, which is no order to check against.
    if (!hasNaN) {
        for (INT_PTR i = 0; i + 1 < a.GetSize(); ++i)
            KX_CHECK(SortDoubleGenericCallBack(&a[i], &a[i + 1], flags) <= 0);
    }
    std::vector<std::uint64_t> after;
    for (INT_PTR i = 0; i < a.GetSize(); ++i) after.push_back(Bits(a[i]));
    CheckMoved(std::move(before), std::move(after), index, withIndex);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    if (in.ConsumeBool())
        SortStrings(in);
    else
        SortDoubles(in);
    return 0;
}
