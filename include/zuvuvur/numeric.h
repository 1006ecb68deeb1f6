// Numeric data utilities around the host's missing value NANUM: conversion
// to and from NaN and the infinities, counts of distinct strings, and the
// removal of items that did not change since a reference set.
//
//     double v[] = {1.0, NANUM, INFINITY, NAN};
//     kxu_nan_inf_to_NANUM(v, 4);  // 2: {1.0, NANUM, NANUM, NANUM}
//     kxu_NANUM_to_nan(v, 4);      // 3: {1.0, NaN, NaN, NaN}
//
//     // source {"b", "a", "b"}, distinct {}
//     kxu_discrete_frequencies(&source, &distinct, counts, &n, 0);
//     // 1: source {"a", "b", "b"}, distinct {"a", "b"}, counts {1.0, 2.0}, n 2
//
//     // reference {1 "Alpha", 2 "Beta"}, current {1 "alpha", 2 "Gamma", 3 "Delta"}
//     kxu_remove_unchanged_items_by_id(&refIds, &refTexts, &ids, &texts, nullptr);
//     // 1: current {2 "Gamma", 3 "Delta"}
//
// Choices of this library where the behaviour is otherwise open:
// - The missing-value conversions take the count as unsigned, and a count
//   above 2,147,483,647 (what a negative count turns into) is refused with
//   -1, the buffer untouched: their int result could not tell how many
//   elements changed. A null buffer with a count above 0 answers -1 too.
// - kxu_discrete_frequencies answers -1 for a null counts buffer or a null
//   distinct-count pointer when the source holds strings, before anything
//   is trimmed, sorted or appended.
// - kxu_remove_unchanged_items_by_id judges every item against the
//   reference as it stood when the call began, and an extra array that is
//   the texts array itself loses each removed item once, not twice.
#pragma once

#include <cstdint>

#include "afx/afx.h"
#include "export.h"
#include "host.h"
#include "sort.h"

// Options of kxu_discrete_frequencies; other bits are ignored.
inline constexpr std::uint32_t FREQ_CASE_SENSITIVE = 1;  // group by Compare, not CompareNoCase
inline constexpr std::uint32_t FREQ_TRIM = 2;  // trim white space off every source string first

// Turns every element equal to NANUM into a NaN; returns how many. A NaN or
// a value one bit away from NANUM is left alone. 0 for a count of 0.
KXU_EXPORT int kxu_NANUM_to_nan(double* data, std::uint32_t count);

// Turns every NaN (any payload, either sign) and both infinities into NANUM,
// bit for bit; returns how many. NANUM itself is finite and not counted.
KXU_EXPORT int kxu_nan_inf_to_NANUM(double* data, std::uint32_t count);

// Counts the distinct strings of the host array `source`: appends each, in
// sorted order, to the host array `distinct` (not emptied first), puts its
// count into counts[0], counts[1], … and their number into *distinctCount.
// `counts` must have room for as many doubles as `source` has strings.
// The source is left sorted, and trimmed with FREQ_TRIM. Case-insensitive
// groups are represented by one of their spellings, whichever the sort put
// first. Returns 1; 0 for an empty source (nothing written); -1 when either
// host object is null or has no string array (nothing changed).
KXU_EXPORT int kxu_discrete_frequencies(CHostObject* source, CHostObject* distinct, double* counts,
                                        std::uint32_t* distinctCount, std::uint32_t options);

// Removes from the current items (ids, texts and the optional extra array,
// all parallel) every item whose id occurs in the reference (referenceIds
// and referenceTexts, parallel) with the same text ignoring case; only the
// first reference item with that id counts. The rest keep their order.
// Returns the number of items removed; -1 when one of the first four host
// objects is null or a string array is missing; -2 when the current arrays
// are missing, empty or of different sizes (extra included); -3 when the
// reference arrays are. Nothing is changed on a negative result. Linear in
// the sizes of both sets on ordinary ids, and never worse than n log n, not
// even for ids picked to collide in the lookup table.
KXU_EXPORT int kxu_remove_unchanged_items_by_id(CHostObject* referenceIds,
                                                CHostObject* referenceTexts, CHostObject* ids,
                                                CHostObject* texts, CHostObject* extra);
