// Filling one string array from another in the order of an index list.
#include <zuvuvur/reorder.h>

#include "frame/bridge.h"

int kxu_multi_str_reorder(int n, CHostObject* destination, const int* order, int sourceSize,
                          CHostObject* source) {
    if (!destination || !order || !source) return -1;
    CStringArray* to = HostStringArray(destination);
    CStringArray* from = HostStringArray(source);
    if (!to || !from) return -1;
    // Both bounds start at 0, so a size below 1 fails even with no index.
    int largest = 0;
    int smallest = 0;
    for (int i = 0; i < n; ++i) {
        if (order[i] > largest) largest = order[i];
        if (order[i] < smallest) smallest = order[i];
    }
    if (largest > static_cast<long long>(sourceSize) - 1 || smallest != 0) return -2;
    for (int i = 0; i < n; ++i) {
        // A copy first: with one array on both sides the entry read may be
        // the one about to be written.
        const CString entry = from->GetAt(order[i]);
        to->SetAt(i, entry);
    }
    return 1;
}
