// Filling the first entries of one string array from another, in the order
// of an index list.
//
//     source {"a", "b", "c"}, order {2, 0}, destination {"x", "y", "z"}
//     kxu_multi_str_reorder(2, &destination, order, 3, &source);
//                                         // 1: destination {"c", "a", "z"}
#pragma once

#include "afx/afx.h"
#include "export.h"
#include "host.h"

// Destination entry i receives source entry order[i], for i from 0 to n - 1,
// one after the other: when both host objects hold the same array, a step
// reads what earlier steps wrote (order {1, 0} on {"a", "b"} gives {"b", "b"}).
// Returns 1; -1 when `destination`, `order` or `source` is null, or when the
// host has no string array behind either object (each object is asked once,
// the destination first); -2, with nothing changed, unless every index lies
// in 0 .. sourceSize - 1, which a `sourceSize` below 1 never allows, even for
// n <= 0. n <= 0 otherwise changes nothing.
// `sourceSize` is the caller's word for the source's size: an index below it
// but past the source array's real end, or an n past the destination's size,
// raises the framework's invalid-argument exception, with the entries before
// it already written. The destination never grows.
KXU_EXPORT int kxu_multi_str_reorder(int n, CHostObject* destination, const int* order,
                                     int sourceSize, CHostObject* source);
