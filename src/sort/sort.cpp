// Typed in-place sorts: the entry points and the comparators they hand to the
// companion's sort.
#include <zuvuvur/sort.h>

#include <array>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <type_traits>

#include "kxplatform.h"
#include "kxtl.h"

namespace {

// r, or -r under SORT_DESCENDING, without a branch: the companion's
// partition consumes comparator answers without branching, and a comparator
// that branches on data would throw that away.
inline int Directed(int r, std::uint32_t flags) {
    const int negate = -static_cast<int>((flags & SORT_DESCENDING) >> 4);  // 0 or all ones
    return (r ^ negate) - negate;
}

template <class T>
inline int Ordered(T a, T b) {
    return (a > b) - (a < b);  // NaN: both tests fail, so equal to everything
}

int CompareDoubles(double a, double b, std::uint32_t flags) {
    int r = Ordered(a, b);
    // The mode is the same for the whole sort, so this test predicts
    // perfectly, and outside modes 1 and 2 NANUM costs nothing to look for.
    const std::uint32_t mode = flags & SORT_MISSING_MASK;
    if (mode - 1 < 2 && (a == NANUM || b == NANUM)) {  // modes 1 and 2, one unsigned test
        r = (b == NANUM) - (a == NANUM);
        if (mode == SORT_MISSING_LARGEST) r = -r;
    }
    return Directed(r, flags);
}

int CompareStrings(const CString& a, const CString& b, std::uint32_t flags) {
    if (flags & SORT_NUMERIC_STRINGS) {
        double x = kxtl::text_to_double(a);
        double y = kxtl::text_to_double(b);
        return CompareDoubles(x, y, flags);
    }
    int r = (flags & SORT_CASE_SENSITIVE) ? a.Compare(b) : kxp::cp_compare_no_case(a, b);
    if (flags & SORT_DESCENDING) r = r == INT_MIN ? INT_MAX : -r;
    return r;
}

// The comparator of the companion's sort; `context` is the caller's flags word.
template <class T>
int SortCompare(const void* a, const void* b, void* context) {
    const std::uint32_t flags = *static_cast<const std::uint32_t*>(context);
    const T& x = *static_cast<const T*>(a);
    const T& y = *static_cast<const T*>(b);
    if constexpr (std::is_same_v<T, CString>) {
        return CompareStrings(x, y, flags);
    } else if constexpr (std::is_same_v<T, double>) {
        return CompareDoubles(x, y, flags);
    } else {
        return Directed(Ordered(x, y), flags);
    }
}

// ---- Strings by key -------------------------------------------------------
//
// A comparison of two CStrings reaches each one's text through a pointer, so
// a string sort spends its time waiting on memory. Sorting records that carry
// each string's first eight bytes (folded when the case is ignored) as one
// big-endian integer decides most comparisons without touching the text; only
// records with equal keys and longer texts look further. In numeric mode the
// record carries the string's value, read once instead of at every
// comparison. The records' order is then applied to the strings (and the
// index array) in one pass. Equal-ranked strings may end in another order
// than the direct sort would give them, which the sort never promised.

struct KeyRecord {
    std::uint64_t key;  // numeric mode: the bits of the value, a double
    const char* text;
};
static_assert(sizeof(KeyRecord) == 16);

// Below this many strings the scratch space costs more than it saves.
constexpr long long kKeyedSortMinimum = 64;

// The byte table of the case-sensitive rule: every byte stands for itself.
constexpr auto kBytesAsThey = [] {
    std::array<unsigned char, 256> t{};
    for (std::size_t c = 0; c < t.size(); ++c) t[c] = static_cast<unsigned char>(c);
    return t;
}();

// The records' rule, answering with the sign the direct comparison would.
template <bool kFolded>
int CompareKeyed(const void* a, const void* b, void* context) {
    const std::uint32_t flags = *static_cast<const std::uint32_t*>(context);
    const auto& x = *static_cast<const KeyRecord*>(a);
    const auto& y = *static_cast<const KeyRecord*>(b);
    int r = (x.key > y.key) - (x.key < y.key);
    // Equal keys whose last byte is not the end of both texts: the texts go on.
    if (r == 0 && (x.key & 0xFF) != 0) {
        if constexpr (kFolded) {
            r = kxp::cp_compare_no_case(x.text + 8, y.text + 8);
        } else {
            r = std::strcmp(x.text + 8, y.text + 8);
        }
        r = (r > 0) - (r < 0);
    }
    return Directed(r, flags);
}

int CompareNumericKeyed(const void* a, const void* b, void* context) {
    double x, y;
    std::memcpy(&x, &static_cast<const KeyRecord*>(a)->key, sizeof x);
    std::memcpy(&y, &static_cast<const KeyRecord*>(b)->key, sizeof y);
    return CompareDoubles(x, y, *static_cast<const std::uint32_t*>(context));
}

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
template <class T>
std::unique_ptr<T[], FreeDeleter> Scratch(long long n) {
    return std::unique_ptr<T[], FreeDeleter>(
        static_cast<T*>(std::malloc(static_cast<std::size_t>(n) * sizeof(T))));
}

// Sorts by key; false, with nothing touched, when the scratch space is not to
// be had (the caller then sorts directly, which needs none).
bool SortStringsByKey(CString* strings, int count, std::uint32_t flags, int* index) {
    auto records = Scratch<KeyRecord>(count);
    auto from = Scratch<int>(count);  // from[k]: the position whose string ends at k
    auto moved = Scratch<CString*>(count);
    auto indexCopy = Scratch<int>(index ? count : 0);
    if (!records || !from || !moved || (index && !indexCopy)) return false;

    const bool numeric = (flags & SORT_NUMERIC_STRINGS) != 0;
    const bool folded = !numeric && !(flags & SORT_CASE_SENSITIVE);
    const unsigned char* fold = kxp::cp_lower_table();
    for (int i = 0; i < count; ++i) {
        const char* text = strings[i];
        if (numeric) {
            const double value = kxtl::text_to_double(text);
            std::memcpy(&records[i].key, &value, sizeof value);
        } else {
            records[i].key = kxp::prefix_key(text, folded ? fold : kBytesAsThey.data());
        }
        records[i].text = text;
        from[i] = i;
    }
    kxtl::SortCompanion companion{from.get(), sizeof(int), 0};
    kxtl::sort_range_with_companion(records.get(), 0, count - 1, sizeof(KeyRecord),
                                    numeric  ? &CompareNumericKeyed
                                    : folded ? &CompareKeyed<true>
                                             : &CompareKeyed<false>,
                                    &companion, 1, &flags);

    // CString is one pointer that may be moved as bytes; each string is
    // moved exactly once, so nothing is shared, lost or released.
    static_assert(sizeof(CString) == sizeof(CString*));
    std::memcpy(static_cast<void*>(moved.get()), static_cast<const void*>(strings),
                static_cast<std::size_t>(count) * sizeof(CString));
    for (int k = 0; k < count; ++k)
        std::memcpy(static_cast<void*>(strings + k), &moved[from[k]], sizeof(CString));
    if (index) {
        std::memcpy(indexCopy.get(), index, static_cast<std::size_t>(count) * sizeof(int));
        for (int k = 0; k < count; ++k) index[k] = indexCopy[from[k]];
    }
    return true;
}

}  // namespace

template <class T>
void kxutilsSortBuff(T* buffer, long long count, std::uint32_t flags, CArray<int, int>* index) {
    if (count <= 1) return;
    if (count - 1 > INT_MAX) return;                // the last index would not fit: see the header
    if (index && index->GetSize() < count) return;  // see the header
    if constexpr (std::is_same_v<T, CString>) {
        if (buffer && count >= kKeyedSortMinimum && count <= INT_MAX &&
            SortStringsByKey(buffer, static_cast<int>(count), flags,
                             index ? index->GetData() : nullptr))
            return;
    }
    kxtl::SortCompanion companion{};
    if (index) {
        companion.data = index->GetData();
        companion.elementSize = sizeof(int);
    }
    kxtl::sort_range_with_companion(buffer, 0, static_cast<int>(count - 1),
                                    static_cast<int>(sizeof(T)), &SortCompare<T>, &companion,
                                    index ? 1 : 0, &flags);
}

template KXU_EXPORT_CPP void kxutilsSortBuff<char>(char*, long long, std::uint32_t,
                                                   CArray<int, int>*);
template KXU_EXPORT_CPP void kxutilsSortBuff<unsigned char>(unsigned char*, long long,
                                                            std::uint32_t, CArray<int, int>*);
template KXU_EXPORT_CPP void kxutilsSortBuff<short>(short*, long long, std::uint32_t,
                                                    CArray<int, int>*);
template KXU_EXPORT_CPP void kxutilsSortBuff<int>(int*, long long, std::uint32_t,
                                                  CArray<int, int>*);
template KXU_EXPORT_CPP void kxutilsSortBuff<unsigned int>(unsigned int*, long long, std::uint32_t,
                                                           CArray<int, int>*);
template KXU_EXPORT_CPP void kxutilsSortBuff<long>(long*, long long, std::uint32_t,
                                                   CArray<int, int>*);
template KXU_EXPORT_CPP void kxutilsSortBuff<unsigned long>(unsigned long*, long long,
                                                            std::uint32_t, CArray<int, int>*);
template KXU_EXPORT_CPP void kxutilsSortBuff<float>(float*, long long, std::uint32_t,
                                                    CArray<int, int>*);
template KXU_EXPORT_CPP void kxutilsSortBuff<double>(double*, long long, std::uint32_t,
                                                     CArray<int, int>*);
template KXU_EXPORT_CPP void kxutilsSortBuff<CString>(CString*, long long, std::uint32_t,
                                                      CArray<int, int>*);
template KXU_EXPORT_CPP void kxutilsSortBuff<long long>(long long*, long long, std::uint32_t,
                                                        CArray<int, int>*);
template KXU_EXPORT_CPP void kxutilsSortBuff<unsigned long long>(unsigned long long*, long long,
                                                                 std::uint32_t, CArray<int, int>*);

void kxutilsSort(CArray<char, char>& array, std::uint32_t flags, CArray<int, int>* index) {
    kxutilsSortBuff(array.GetData(), array.GetSize(), flags, index);
}
void kxutilsSort(CArray<unsigned char, unsigned char>& array, std::uint32_t flags,
                 CArray<int, int>* index) {
    kxutilsSortBuff(array.GetData(), array.GetSize(), flags, index);
}
void kxutilsSort(CArray<short, short>& array, std::uint32_t flags, CArray<int, int>* index) {
    kxutilsSortBuff(array.GetData(), array.GetSize(), flags, index);
}
void kxutilsSort(CArray<int, int>& array, std::uint32_t flags, CArray<int, int>* index) {
    kxutilsSortBuff(array.GetData(), array.GetSize(), flags, index);
}
void kxutilsSort(CArray<unsigned int, unsigned int>& array, std::uint32_t flags,
                 CArray<int, int>* index) {
    kxutilsSortBuff(array.GetData(), array.GetSize(), flags, index);
}
void kxutilsSort(CArray<long, long>& array, std::uint32_t flags, CArray<int, int>* index) {
    kxutilsSortBuff(array.GetData(), array.GetSize(), flags, index);
}
void kxutilsSort(CArray<unsigned long, unsigned long>& array, std::uint32_t flags,
                 CArray<int, int>* index) {
    kxutilsSortBuff(array.GetData(), array.GetSize(), flags, index);
}
void kxutilsSort(CArray<float, float>& array, std::uint32_t flags, CArray<int, int>* index) {
    kxutilsSortBuff(array.GetData(), array.GetSize(), flags, index);
}
void kxutilsSort(CArray<double, double>& array, std::uint32_t flags, CArray<int, int>* index) {
    kxutilsSortBuff(array.GetData(), array.GetSize(), flags, index);
}
void kxutilsSort(CStringArray& array, std::uint32_t flags, CArray<int, int>* index) {
    kxutilsSortBuff(array.GetData(), array.GetSize(), flags, index);
}
void kxutilsSort(CArray<long long, long long>& array, std::uint32_t flags,
                 CArray<int, int>* index) {
    kxutilsSortBuff(array.GetData(), array.GetSize(), flags, index);
}
void kxutilsSort(CArray<unsigned long long, unsigned long long>& array, std::uint32_t flags,
                 CArray<int, int>* index) {
    kxutilsSortBuff(array.GetData(), array.GetSize(), flags, index);
}

int SortDoubleGenericCallBack(double* a, double* b, std::uint32_t flags) {
    if (!a || !b) return 0;
    return SortCompare<double>(a, b, &flags);
}

int SortStringGenericCallBack(CString* a, CString* b, std::uint32_t flags) {
    if (!a || !b) return 0;
    return SortCompare<CString>(a, b, &flags);
}
