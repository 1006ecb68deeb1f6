// Typed in-place sorts: the entry points and the comparators they hand to the
// companion's sort.
#include <zuvuvur/sort.h>

#include <climits>
#include <type_traits>

#include "kxtl.h"

namespace {

// +1, or -1 under SORT_DESCENDING. The comparators multiply by it instead of
// branching: the companion's partition consumes comparator answers without a
// branch, and a comparator that branches on data throws that away.
inline int Direction(std::uint32_t flags) {
    return 1 - static_cast<int>((flags & SORT_DESCENDING) >> 3);
}

template <class T>
inline int Ordered(T a, T b) {
    return (a > b) - (a < b);  // NaN: both tests fail, so equal to everything
}

int CompareDoubles(double a, double b, std::uint32_t flags) {
    int r = Ordered(a, b);
    // NANUM is rare, so this test is almost never taken and predicts well.
    if (a == NANUM || b == NANUM) {
        std::uint32_t mode = flags & SORT_MISSING_MASK;
        if (mode == SORT_MISSING_SMALLEST || mode == SORT_MISSING_LARGEST) {
            r = (b == NANUM) - (a == NANUM);
            if (mode == SORT_MISSING_LARGEST) r = -r;
        }
    }
    return r * Direction(flags);
}

int CompareStrings(const CString& a, const CString& b, std::uint32_t flags) {
    if (flags & SORT_NUMERIC_STRINGS) {
        double x = kxtl::text_to_double(a);
        double y = kxtl::text_to_double(b);
        return CompareDoubles(x, y, flags);
    }
    int r = (flags & SORT_CASE_SENSITIVE) ? a.Compare(b) : a.CompareNoCase(b);
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
        return Ordered(x, y) * Direction(flags);
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
                                                                 std::uint32_t,
                                                                 CArray<int, int>*);

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
