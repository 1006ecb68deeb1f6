// Typed in-place sorts: twelve element types, ascending or descending, with
// the host's missing value placed first or last, strings by case rule or by
// numeric value, and an optional index array that follows the data.
//
//     double v[] = {3, NANUM, 1};
//     kxutilsSortBuff(v, 3, SORT_MISSING_LARGEST, nullptr);      // {1, 3, NANUM}
//     kxutilsSortBuff(v, 3, SORT_MISSING_SMALLEST | SORT_DESCENDING, nullptr);
//                                                                 // {3, 1, NANUM}
//
//     CArray<double, double> a;  // {30, 10, 20}
//     CArray<int, int> index;    // {0, 1, 2}: filled by the caller, never by the sort
//     kxutilsSort(a, 0, &index); // a {10, 20, 30}, index {1, 2, 0}
//
//     CStringArray s;                           // {"10", "9", "2.5"}
//     kxutilsSort(s, 0, nullptr);               // "10", "2.5", "9"
//     kxutilsSort(s, SORT_NUMERIC_STRINGS, nullptr);  // "2.5", "9", "10"
//
// Comparison rules, by element type:
// - Integers compare by value in their own signedness: a `char` 0x80 is -128
//   and goes before 0x7F, an `unsigned char` 0x80 goes after it. `long` and
//   `unsigned long` are the platform's own: 64 bits on LP64 systems.
// - `float` and `double`: a NaN ranks equal to everything (so where it ends
//   up, and the order around it, is the sort's business), and -0.0 equals
//   0.0. `double` alone reads the missing-value mode (flags & 0x0F): with
//   SORT_MISSING_SMALLEST NANUM ranks below every other value, with
//   SORT_MISSING_LARGEST above it; a NaN is never NANUM. Other modes leave
//   NANUM a tiny negative number, between the negatives and zero.
// - `CString`: case-insensitive (CompareNoCase) unless SORT_CASE_SENSITIVE
//   (Compare, by byte value); with SORT_NUMERIC_STRINGS, whatever the case
//   bit, each text is read as a number and compared by the `double` rule,
//   missing-value mode included. Text that holds no number ("", "abc") reads
//   as NANUM, so the missing-value modes place it first or last.
// - SORT_DESCENDING reverses every comparison, the missing-value ranking
//   included: with it, SORT_MISSING_SMALLEST puts NANUM last.
// The sort is not stable: elements that rank equal end in no particular
// order. Strings move as whole objects; their text is never copied.
// Sorting 64 strings or more takes 32 bytes of scratch space per string for
// the time of the call (each string's key and place); where that cannot be
// had the strings are sorted in place, more slowly, and never fail for it.
//
// Choices of this library where the behaviour is otherwise open:
// - An index array shorter than the count: nothing is sorted and neither the
//   data nor the index array is touched, as the data could not be sorted
//   without losing the correspondence the caller asked to keep.
// - The last index travels to the sort as a 32-bit int, so one call sorts at
//   most 2,147,483,648 elements. A longer count sorts nothing and touches
//   nothing, rather than sort some of it and leave a buffer that looks sorted.
// - A null buffer with a count of 2 or more does nothing.
// - The exported comparators answer 0 (equal) when given a null pointer.
#pragma once

#include <cstdint>

#include "afx/afx.h"
#include "export.h"

// The host's missing value. It is an ordinary finite double and is told apart
// by exact equality only.
inline constexpr double NANUM = -1.23456789e-300;

// Sort flags: one 32-bit word; bits not listed are ignored.
inline constexpr std::uint32_t SORT_MISSING_MASK = 0x0F;     // missing-value mode, 0..15
inline constexpr std::uint32_t SORT_MISSING_SMALLEST = 1;    // NANUM below everything
inline constexpr std::uint32_t SORT_MISSING_LARGEST = 2;     // NANUM above everything
inline constexpr std::uint32_t SORT_DESCENDING = 0x10;       // reverse every comparison
inline constexpr std::uint32_t SORT_CASE_SENSITIVE = 0x20;   // strings by byte value
inline constexpr std::uint32_t SORT_NUMERIC_STRINGS = 0x40;  // strings by numeric value

// Sorts `count` elements at `buffer` in place. A count of 1 or less (negative
// included) returns at once and leaves `index` untouched. `index`, when not
// null, must hold at least `count` elements; its first `count` are moved
// exactly as the data elements are, so that index[k] afterwards is the one
// that stood beside the element now at k.
template <class T>
void kxutilsSortBuff(T* buffer, long long count, std::uint32_t flags, CArray<int, int>* index);

// The twelve element types the library exports; no other is built.
extern template KXU_EXPORT_CPP void kxutilsSortBuff<char>(char*, long long, std::uint32_t,
                                                          CArray<int, int>*);
extern template KXU_EXPORT_CPP void kxutilsSortBuff<unsigned char>(unsigned char*, long long,
                                                                   std::uint32_t,
                                                                   CArray<int, int>*);
extern template KXU_EXPORT_CPP void kxutilsSortBuff<short>(short*, long long, std::uint32_t,
                                                           CArray<int, int>*);
extern template KXU_EXPORT_CPP void kxutilsSortBuff<int>(int*, long long, std::uint32_t,
                                                         CArray<int, int>*);
extern template KXU_EXPORT_CPP void kxutilsSortBuff<unsigned int>(unsigned int*, long long,
                                                                  std::uint32_t, CArray<int, int>*);
extern template KXU_EXPORT_CPP void kxutilsSortBuff<long>(long*, long long, std::uint32_t,
                                                          CArray<int, int>*);
extern template KXU_EXPORT_CPP void kxutilsSortBuff<unsigned long>(unsigned long*, long long,
                                                                   std::uint32_t,
                                                                   CArray<int, int>*);
extern template KXU_EXPORT_CPP void kxutilsSortBuff<float>(float*, long long, std::uint32_t,
                                                           CArray<int, int>*);
extern template KXU_EXPORT_CPP void kxutilsSortBuff<double>(double*, long long, std::uint32_t,
                                                            CArray<int, int>*);
extern template KXU_EXPORT_CPP void kxutilsSortBuff<CString>(CString*, long long, std::uint32_t,
                                                             CArray<int, int>*);
extern template KXU_EXPORT_CPP void kxutilsSortBuff<long long>(long long*, long long, std::uint32_t,
                                                               CArray<int, int>*);
extern template KXU_EXPORT_CPP void kxutilsSortBuff<unsigned long long>(unsigned long long*,
                                                                        long long, std::uint32_t,
                                                                        CArray<int, int>*);

// Sorts a whole array: its data and current size go to kxutilsSortBuff of
// its element type, with the same flags and index array.
KXU_EXPORT_CPP void kxutilsSort(CArray<char, char>& array, std::uint32_t flags,
                                CArray<int, int>* index);
KXU_EXPORT_CPP void kxutilsSort(CArray<unsigned char, unsigned char>& array, std::uint32_t flags,
                                CArray<int, int>* index);
KXU_EXPORT_CPP void kxutilsSort(CArray<short, short>& array, std::uint32_t flags,
                                CArray<int, int>* index);
KXU_EXPORT_CPP void kxutilsSort(CArray<int, int>& array, std::uint32_t flags,
                                CArray<int, int>* index);
KXU_EXPORT_CPP void kxutilsSort(CArray<unsigned int, unsigned int>& array, std::uint32_t flags,
                                CArray<int, int>* index);
KXU_EXPORT_CPP void kxutilsSort(CArray<long, long>& array, std::uint32_t flags,
                                CArray<int, int>* index);
KXU_EXPORT_CPP void kxutilsSort(CArray<unsigned long, unsigned long>& array, std::uint32_t flags,
                                CArray<int, int>* index);
KXU_EXPORT_CPP void kxutilsSort(CArray<float, float>& array, std::uint32_t flags,
                                CArray<int, int>* index);
KXU_EXPORT_CPP void kxutilsSort(CArray<double, double>& array, std::uint32_t flags,
                                CArray<int, int>* index);
KXU_EXPORT_CPP void kxutilsSort(CStringArray& array, std::uint32_t flags, CArray<int, int>* index);
KXU_EXPORT_CPP void kxutilsSort(CArray<long long, long long>& array, std::uint32_t flags,
                                CArray<int, int>* index);
KXU_EXPORT_CPP void kxutilsSort(CArray<unsigned long long, unsigned long long>& array,
                                std::uint32_t flags, CArray<int, int>* index);

// The comparators of the sorts, for callers that hold the flags as a value:
// negative when a goes first, 0 when they rank equal, positive otherwise.
//
//     double one = 1, two = 2;
//     SortDoubleGenericCallBack(&one, &two, 0);                // -1
//     SortDoubleGenericCallBack(&one, &two, SORT_DESCENDING);  // +1
//
// The string comparator answers the case comparison's own value (any sign
// and size), except in numeric mode, where it answers -1, 0 or +1.
KXU_EXPORT_CPP int SortDoubleGenericCallBack(double* a, double* b, std::uint32_t flags);
KXU_EXPORT_CPP int SortStringGenericCallBack(CString* a, CString* b, std::uint32_t flags);
