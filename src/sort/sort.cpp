// Typed in-place sorts: the entry points and the comparators they hand to the
// companion's sort.
#include <zuvuvur/sort.h>

#include <climits>
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

// CompareNoCase's own rule (Windows-1252 lower-case folding, then byte
// order) with its answer, inlined: a string sort spends its time here, and a
// call into the framework and from there into the code page for every
// comparison costs more than the comparison itself.
int CompareFolded(const char* a, const char* b) {
    const unsigned char* lower = kxp::cp_lower_table();
    auto x = reinterpret_cast<const unsigned char*>(a);
    auto y = reinterpret_cast<const unsigned char*>(b);
    for (;; ++x, ++y) {
        int cx = lower[*x];
        int cy = lower[*y];
        if (cx != cy) return cx - cy;
        if (cx == 0) return 0;
    }
}

int CompareStrings(const CString& a, const CString& b, std::uint32_t flags) {
    if (flags & SORT_NUMERIC_STRINGS) {
        double x = kxtl::text_to_double(a);
        double y = kxtl::text_to_double(b);
        return CompareDoubles(x, y, flags);
    }
    int r = (flags & SORT_CASE_SENSITIVE) ? a.Compare(b) : CompareFolded(a, b);
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

}  // namespace

template <class T>
void kxutilsSortBuff(T* buffer, long long count, std::uint32_t flags, CArray<int, int>* index) {
    if (count <= 1) return;
    if (count - 1 > INT_MAX) return;  // the last index would not fit: see the header
    kxtl::SortCompanion companion{};
    if (index) {
        if (index->GetSize() < count) return;  // see the header
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
