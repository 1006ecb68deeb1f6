// Counts of the distinct strings of a host array: one sort, then one pass
// over the sorted strings in which each group costs one append.
#include <zuvuvur/numeric.h>

#include "frame/bridge.h"

int kxu_discrete_frequencies(CHostObject* source, CHostObject* distinct, double* counts,
                             std::uint32_t* distinctCount, std::uint32_t options) {
    if (!source) return -1;
    CStringArray* strings = HostStringArray(source);
    if (!strings) return -1;
    if (!distinct) return -1;
    CStringArray* groups = HostStringArray(distinct);
    if (!groups) return -1;

    const INT_PTR n = strings->GetSize();
    if (n < 1) return 0;
    if (!counts || !distinctCount) return -1;  // refused before the source is touched

    if (options & FREQ_TRIM) {
        for (INT_PTR i = 0; i < n; ++i) strings->ElementAt(i).TrimLeft().TrimRight();
    }
    const bool caseSensitive = (options & FREQ_CASE_SENSITIVE) != 0;
    kxutilsSort(*strings, caseSensitive ? SORT_CASE_SENSITIVE : 0, nullptr);

    // Elements are read by index on every step: `distinct` may be the very
    // array being counted, and an append may move its storage.
    auto same = [&](INT_PTR i) {
        const CString& a = strings->GetAt(i);
        const CString& b = strings->GetAt(i + 1);
        return (caseSensitive ? a.Compare(b) : a.CompareNoCase(b)) == 0;
    };
    INT_PTR run = 1;      // length of the current group so far
    std::uint32_t d = 0;  // completed groups: the current group's slot in counts
    for (INT_PTR i = 0; i + 1 < n; ++i) {
        if (!same(i)) {
            if (run == 1) {
                groups->Add(strings->GetAt(i));
                counts[d] = 1.0;
            } else {
                run = 1;
            }
            ++d;
        } else {
            if (run == 1) {
                groups->Add(strings->GetAt(i));
                counts[d] = 2.0;
            } else {
                counts[d] += 1.0;
            }
            ++run;
        }
    }
    if (run == 1) {
        groups->Add(strings->GetAt(n - 1));
        counts[d] = 1.0;
    }
    *distinctCount = d + 1;
    return 1;
}
