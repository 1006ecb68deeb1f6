// Removal of the items that did not change since a reference set.
//
// Judged item by item, from the last to the first, with a linear search of
// the reference ids and a removal that shifts the arrays' tails, the work
// grows with the product of the sizes. Here every item is judged first (an
// item's fate depends only on the arrays as they stood on entry, which the
// backward walk never disturbs below the item it visits), through a table of
// each reference id's first index, and the survivors are then moved down in
// one pass, keeping their order.
#include <zuvuvur/numeric.h>

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>

#include "frame/bridge.h"

namespace {

// Index of the first element of `ids` equal to `id`; -1 when there is none,
// or `ids` is null or empty.
INT_PTR FindIdIndex(const CArray<int, int>* ids, int id) {
    if (!ids) return -1;
    for (INT_PTR i = 0, n = ids->GetSize(); i < n; ++i)
        if (ids->GetAt(i) == id) return i;
    return -1;
}

// Below this many reference ids, a search is cheaper than building a table.
constexpr INT_PTR kTableThreshold = 16;
// How many items ahead the table slots are fetched into the cache.
constexpr INT_PTR kPrefetchDistance = 32;

inline void PrefetchRead(const void* p) {
#if defined(__GNUC__) || defined(__clang__)
    __builtin_prefetch(p);
#else
    (void)p;
#endif
}

// A reference id and its first index (plus one, so that 0 can mark an empty slot).
struct Slot {
    std::int32_t id;
    std::int32_t indexPlusOne;
};

// Probes past a slot's home that the table may spend per id it files or looks up, over the
// whole call, before it gives up. Ids spread over a half-full table take about one; ids a
// script picks so that their hashes fall together would cost each lookup the whole crowded
// stretch, which is the square of the ids over the call.
constexpr long long kProbesPerId = 4;

// Each reference id's first index: open addressing with linear probing in
// one flat block of 8-byte slots, at most half full. Ids are hashed apart,
// so slots are visited in no useful order; at 100,000 ids the block is 2 MB
// and every lookup would wait for memory if the slots of the items a little
// ahead were not fetched while the current one is judged. The block is a
// framework array, so running out of memory is the framework's exception.
//   The probes are counted against a budget for the reference and the
// `lookups` to come; once it is spent (`Overrun`), filing stops and the
// caller turns to `SortedFirstIndex` for the items still to judge.
class FirstIndexTable {
  public:
    // The reference must hold fewer than INT_MAX ids (the slots keep 32-bit indexes).
    FirstIndexTable(const CArray<int, int>& ids, INT_PTR lookups)
        : budget_(kProbesPerId * (ids.GetSize() + lookups)) {
        const INT_PTR n = ids.GetSize();
        int bits = 1;
        while ((INT_PTR{1} << bits) < 2 * n) ++bits;
        shift_ = 64 - bits;
        mask_ = (std::size_t{1} << bits) - 1;
        block_.SetSize(static_cast<INT_PTR>(mask_ + 1));  // zeroed: every slot empty
        slots_ = block_.GetData();
        const int* data = ids.GetData();
        for (INT_PTR i = 0; i < n && !Overrun(); ++i) {
            if (i + kPrefetchDistance < n) Prefetch(data[i + kPrefetchDistance]);
            Slot& s = slots_[Position(data[i])];
            if (s.indexPlusOne == 0)
                s = Slot{data[i], static_cast<std::int32_t>(i + 1)};  // first one wins
        }
    }
    bool Overrun() const { return probes_ > budget_; }
    INT_PTR Find(int id) { return INT_PTR{slots_[Position(id)].indexPlusOne} - 1; }
    void Prefetch(int id) const { PrefetchRead(&slots_[Home(id)]); }

  private:
    // Fibonacci hashing spreads runs of consecutive ids over the table.
    std::size_t Home(int id) const {
        return static_cast<std::size_t>(
            (std::uint64_t{static_cast<std::uint32_t>(id)} * 0x9E3779B97F4A7C15ULL) >> shift_);
    }
    // The slot holding `id`, or the empty slot where it would go.
    std::size_t Position(int id) {
        std::size_t h = Home(id);
        while (slots_[h].indexPlusOne != 0 && slots_[h].id != id) h = (h + 1) & mask_, ++probes_;
        return h;
    }

    CArray<Slot, Slot> block_;
    Slot* slots_ = nullptr;
    std::size_t mask_ = 0;
    int shift_ = 0;
    long long probes_ = 0;
    const long long budget_;
};

// The same answers from the reference sorted by id, and by index among equal
// ids, so that the first index comes first: a binary search per lookup, the
// same however the ids fall.
class SortedFirstIndex {
  public:
    explicit SortedFirstIndex(const CArray<int, int>& ids) {
        const INT_PTR n = ids.GetSize();
        sorted_.SetSize(n);
        Slot* s = sorted_.GetData();
        for (INT_PTR i = 0; i < n; ++i) s[i] = Slot{ids[i], static_cast<std::int32_t>(i + 1)};
        std::sort(s, s + n, [](Slot a, Slot b) {
            return a.id != b.id ? a.id < b.id : a.indexPlusOne < b.indexPlusOne;
        });
    }
    INT_PTR Find(int id) const {
        const Slot* begin = sorted_.GetData();
        const Slot* end = begin + sorted_.GetSize();
        const Slot* at = std::lower_bound(begin, end, id, [](Slot s, int v) { return s.id < v; });
        return at != end && at->id == id ? INT_PTR{at->indexPlusOne} - 1 : -1;
    }

  private:
    CArray<Slot, Slot> sorted_;
};

// Keeps the elements whose flag is set, in their order, and drops the rest.
void Compact(CArray<int, int>& array, const unsigned char* keep) {
    int* data = array.GetData();
    INT_PTR w = 0;
    for (INT_PTR i = 0, n = array.GetSize(); i < n; ++i)
        if (keep[i]) data[w++] = data[i];
    array.SetSize(w);
}

void Compact(CStringArray& array, const unsigned char* keep) {
    CString* data = array.GetData();
    INT_PTR w = 0;
    for (INT_PTR i = 0, n = array.GetSize(); i < n; ++i) {
        if (!keep[i]) continue;
        // Overwriting releases a dropped string (or an emptied one); the
        // dropped strings past the last survivor go with the SetSize below.
        if (i != w) data[w] = std::move(data[i]);
        ++w;
    }
    array.SetSize(w);
}

int RemoveUnchangedItemsById(CArray<int, int>* referenceIds, CStringArray* referenceTexts,
                             CArray<int, int>* ids, CStringArray* texts, CStringArray* extra) {
    if (!ids || ids->GetSize() == 0) return -2;
    if (!texts || texts->GetSize() == 0) return -2;
    if (ids->GetSize() != texts->GetSize()) return -2;
    if (extra && extra->GetSize() != texts->GetSize()) return -2;
    if (!referenceIds || referenceIds->GetSize() == 0) return -3;
    if (!referenceTexts || referenceTexts->GetSize() == 0) return -3;
    if (referenceIds->GetSize() != referenceTexts->GetSize()) return -3;

    const INT_PTR n = ids->GetSize();
    const INT_PTR m = referenceIds->GetSize();
    // Scratch space comes from the framework, which throws its own memory
    // exception; nothing has been changed when it does.
    CArray<INT_PTR, INT_PTR> foundArray;  // each item's reference index, or -1
    CArray<unsigned char, unsigned char> keepArray;
    foundArray.SetSize(n);
    keepArray.SetSize(n);
    INT_PTR* found = foundArray.GetData();
    unsigned char* keep = keepArray.GetData();
    std::memset(keep, 1, static_cast<std::size_t>(n));
    const int* current = ids->GetData();
    if (m >= kTableThreshold && m < INT_MAX) {
        INT_PTR i = 0;
        {
            FirstIndexTable table(*referenceIds, n);
            for (; i < n && !table.Overrun(); ++i) {
                if (i + kPrefetchDistance < n) table.Prefetch(current[i + kPrefetchDistance]);
                found[i] = table.Find(current[i]);
            }
        }
        if (i < n) {
            const SortedFirstIndex sorted(*referenceIds);
            for (; i < n; ++i) found[i] = sorted.Find(current[i]);
        }
    } else {
        for (INT_PTR i = 0; i < n; ++i) found[i] = FindIdIndex(referenceIds, current[i]);
    }

    // The reference texts are met in the order of the current ids, which need
    // not be theirs: fetch each one's string object, then its characters, a
    // little ahead of the comparison that needs them.
    const CString* refData = referenceTexts->GetData();
    const CString* textData = texts->GetData();
    INT_PTR removed = 0;
    for (INT_PTR i = 0; i < n; ++i) {
        if (i + 2 * kPrefetchDistance < n) {
            INT_PTR k = found[i + 2 * kPrefetchDistance];
            if (k >= 0) PrefetchRead(refData + k);
        }
        if (i + kPrefetchDistance < n) {
            INT_PTR k = found[i + kPrefetchDistance];
            if (k >= 0) PrefetchRead(refData[k].GetString());
            PrefetchRead(textData[i + kPrefetchDistance].GetString());
        }
        INT_PTR k = found[i];
        if (k >= 0 && refData[k].CompareNoCase(textData[i]) == 0) {
            keep[i] = 0;
            ++removed;
        }
    }
    if (removed == 0) return 0;
    Compact(*texts, keep);
    Compact(*ids, keep);
    if (extra && extra != texts) Compact(*extra, keep);
    return static_cast<int>(removed);
}

}  // namespace

int kxu_remove_unchanged_items_by_id(CHostObject* referenceIds, CHostObject* referenceTexts,
                                     CHostObject* ids, CHostObject* texts, CHostObject* extra) {
    if (!referenceIds || !referenceTexts || !ids || !texts) return -1;
    CArray<int, int>* refIdArray = HostIntArray(referenceIds);
    CStringArray* refTextArray = HostStringArray(referenceTexts);
    if (!refTextArray) return -1;
    CArray<int, int>* idArray = HostIntArray(ids);
    CStringArray* textArray = HostStringArray(texts);
    if (!textArray) return -1;
    CStringArray* extraArray = nullptr;
    if (extra) {
        extraArray = HostStringArray(extra);
        if (!extraArray) return -1;
    }
    return RemoveUnchangedItemsById(refIdArray, refTextArray, idArray, textArray, extraArray);
}
