// sort_range_with_companion: a pattern-defeating introspective quicksort over raw byte blocks.
//
// The algorithm follows pdqsort (Orson Peters, "Pattern-defeating Quicksort", 2021): introsort
// with median-of-3 / ninther pivots, a partition that gathers elements equal to the pivot on one
// side, detection of already-partitioned ranges with a bounded insertion sort, pattern breaking
// after unbalanced partitions and a heapsort fallback, plus the block partition of BlockQuicksort
// (Edelkamp and Weiss) that turns comparator answers into data instead of branches.
//
// Differences forced by this library's contract:
// - Elements are anonymous blocks moved with memmove, never constructed or destroyed; every move
//   is mirrored on the companion buffer. Sizes 1, 2, 4 and 8 get specialised movers.
// - The comparator is an opaque indirect call that may be inconsistent (NaN ranks equal to
//   everything, or it answers at random). Every scan is bounded by an index test, never by a
//   sentinel that the comparator is trusted to stop at, so no answer can lead outside the range.
//   The extra integer comparison is cheap next to the indirect call it guards.
// - The element that is held aside (the insertion-sort hole, the cycle of the block swap) lives
//   in a scratch block; the pivot never leaves the array (it stays at the range's first slot
//   until the partition ends), so one scratch element suffices.
#include "kxtl.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace kxtl {
namespace {

using Idx = std::ptrdiff_t;

// Result codes of sort_range_with_companion (documented at the function).
constexpr int kSortOk = 0;
constexpr int kSortBadPointer = -1;
constexpr int kSortBadElementSize = -2;
constexpr int kSortBadRange = -3;
constexpr int kSortBadCompanion = -4;
constexpr int kSortNoMemory = -5;

// Ranges shorter than this are insertion sorted.
constexpr Idx kInsertionSortThreshold = 24;
// Ranges longer than this take the ninther (median of three medians) as pivot.
constexpr Idx kNintherThreshold = 128;
// A partial insertion sort gives up after moving this many elements in total.
constexpr Idx kPartialInsertionSortLimit = 8;
// Elements examined per side per round of the block partition (offsets fit in a byte).
constexpr Idx kBlockSize = 64;
// Scratch kept on the stack for one data element (rounded up to 16 bytes) plus one companion
// element; larger sizes take one heap block per call.
constexpr std::size_t kStackScratch = 256;

constexpr int kRuntimeSize = 0;  // size known only at run time
constexpr int kNoCompanion = -1;

// Copies one element. With a constant size the compiler turns this into a plain load and store;
// memmove keeps a self-move (dst == src) well defined.
template <int N>
inline void copy_block(unsigned char* dst, const unsigned char* src, std::size_t n) {
    if constexpr (N > 0) {
        std::memmove(dst, src, N);
    } else {
        std::memmove(dst, src, n);
    }
}

// Exchanges two elements (possibly the same one) without touching the scratch block.
template <int N>
inline void swap_block(unsigned char* a, unsigned char* b, std::size_t n) {
    if constexpr (N > 0) {
        unsigned char t[N];
        std::memcpy(t, a, N);
        std::memmove(a, b, N);
        std::memcpy(b, t, N);
    } else {
        for (; n >= 8; n -= 8, a += 8, b += 8) {
            std::uint64_t x, y;
            std::memcpy(&x, a, 8);
            std::memcpy(&y, b, 8);
            std::memcpy(a, &y, 8);
            std::memcpy(b, &x, 8);
        }
        for (; n > 0; --n, ++a, ++b) {
            unsigned char t = *a;
            *a = *b;
            *b = t;
        }
    }
}

// The range being sorted: slot i is data element i plus, when CS != kNoCompanion, companion
// element i. DS and CS are the element sizes, or kRuntimeSize when only known at run time.
template <int DS, int CS>
struct Slots {
    unsigned char* data;
    std::size_t dataSize;
    unsigned char* comp;
    std::size_t compSize;
    unsigned char* dataTmp;  // scratch for one data element (aligned for any scalar)
    unsigned char* compTmp;  // scratch for one companion element
    SortCompareFn fn;
    void* context;

    Idx dsize() const {
        if constexpr (DS > 0)
            return DS;
        else
            return static_cast<Idx>(dataSize);
    }
    Idx csize() const {
        if constexpr (CS > 0)
            return CS;
        else
            return static_cast<Idx>(compSize);
    }
    unsigned char* at(Idx i) const { return data + i * dsize(); }
    unsigned char* cat(Idx i) const { return comp + i * csize(); }

    bool less(Idx a, Idx b) const { return fn(at(a), at(b), context) < 0; }
    bool tmp_less(Idx b) const { return fn(dataTmp, at(b), context) < 0; }

    void move(Idx dst, Idx src) const {
        copy_block<DS>(at(dst), at(src), dataSize);
        if constexpr (CS != kNoCompanion) copy_block<CS>(cat(dst), cat(src), compSize);
    }
    void save(Idx src) const {
        copy_block<DS>(dataTmp, at(src), dataSize);
        if constexpr (CS != kNoCompanion) copy_block<CS>(compTmp, cat(src), compSize);
    }
    void restore(Idx dst) const {
        copy_block<DS>(at(dst), dataTmp, dataSize);
        if constexpr (CS != kNoCompanion) copy_block<CS>(cat(dst), compTmp, compSize);
    }
    void swap(Idx a, Idx b) const {
        swap_block<DS>(at(a), at(b), dataSize);
        if constexpr (CS != kNoCompanion) swap_block<CS>(cat(a), cat(b), compSize);
    }
};

// Moves element cur, which belongs before cur - 1, left into place; returns where it landed.
// The hole stops at begin whatever the comparator says.
template <class S>
Idx insert_left(const S& s, Idx begin, Idx cur) {
    s.save(cur);
    Idx hole = cur;
    do {
        s.move(hole, hole - 1);
        --hole;
    } while (hole > begin && s.tmp_less(hole - 1));
    s.restore(hole);
    return hole;
}

// Guarded insertion sort of [begin, end).
template <class S>
void insertion_sort(const S& s, Idx begin, Idx end) {
    for (Idx cur = begin + 1; cur < end; ++cur)
        if (s.less(cur, cur - 1)) insert_left(s, begin, cur);
}

// Insertion sort that gives up once it has moved more than kPartialInsertionSortLimit elements.
// Returns whether [begin, end) ended sorted. Cheap detection of (nearly) sorted inputs.
template <class S>
bool partial_insertion_sort(const S& s, Idx begin, Idx end) {
    Idx moved = 0;
    for (Idx cur = begin + 1; cur < end; ++cur) {
        if (!s.less(cur, cur - 1)) continue;
        moved += cur - insert_left(s, begin, cur);
        if (moved > kPartialInsertionSortLimit) return false;
    }
    return true;
}

template <class S>
void sort2(const S& s, Idx a, Idx b) {
    if (s.less(b, a)) s.swap(a, b);
}

// Leaves the median of a, b, c at b.
template <class S>
void sort3(const S& s, Idx a, Idx b, Idx c) {
    sort2(s, a, b);
    sort2(s, b, c);
    sort2(s, a, b);
}

// Worst-case fallback: O(n log n) whatever the input. Structural indices only, so an
// inconsistent comparator cannot push it out of [begin, end).
template <class S>
void sift_down(const S& s, Idx begin, Idx root, Idx n) {
    for (;;) {
        Idx child = 2 * root + 1;
        if (child >= n) return;
        if (child + 1 < n && s.less(begin + child, begin + child + 1)) ++child;
        if (!s.less(begin + root, begin + child)) return;
        s.swap(begin + root, begin + child);
        root = child;
    }
}

template <class S>
void heap_sort(const S& s, Idx begin, Idx end) {
    Idx n = end - begin;
    for (Idx i = n / 2; i-- > 0;) sift_down(s, begin, i, n);
    for (Idx last = n - 1; last > 0; --last) {
        s.swap(begin, begin + last);
        sift_down(s, begin, 0, last);
    }
}

struct PartitionResult {
    Idx pivot;
    bool alreadyPartitioned;
};

// Moves the first `num` pairs of misplaced elements (left offsets from lbase, right offsets
// back from rbase) across. A cycle through the scratch element needs one move per element
// instead of three; equal counts use plain swaps, which keeps descending input linear.
template <class S>
void swap_offsets(const S& s, Idx lbase, Idx rbase, const unsigned char* offl,
                  const unsigned char* offr, Idx num, bool useSwaps) {
    if (useSwaps) {
        for (Idx i = 0; i < num; ++i) s.swap(lbase + offl[i], rbase - offr[i]);
    } else if (num > 0) {
        Idx l = lbase + offl[0];
        Idx r = rbase - offr[0];
        s.save(l);
        s.move(l, r);
        for (Idx i = 1; i < num; ++i) {
            l = lbase + offl[i];
            s.move(r, l);
            r = rbase - offr[i];
            s.move(l, r);
        }
        s.restore(r);
    }
}

// Partitions [begin, end) around the pivot at begin: elements less than it end up left of the
// returned position, the rest right of it, the pivot at it. Block partition of BlockQuicksort:
// each round records the offsets of misplaced elements of a block per side, consuming comparator
// answers as counter increments (no data-dependent branch of ours), then swaps the recorded
// pairs. Measured against a classic Hoare partition with 1M random doubles: equal speed with a
// comparator that branches inside, twice as fast with a branch-free one, so it is always used.
template <class S>
PartitionResult partition_right(const S& s, Idx begin, Idx end) {
    // The first misplaced pair. Both scans are bounded (`first` never passes `last` and vice
    // versa) instead of trusting the comparator to stop at a median-of-3 sentinel.
    Idx first = begin;
    Idx last = end;
    while (++first < last && s.less(first, begin)) {
    }
    while (first < last && !s.less(--last, begin)) {
    }
    // No misplaced pair: the range was already partitioned, a hint of (nearly) sorted input.
    bool already = first >= last;
    if (!already) {
        s.swap(first, last);
        ++first;
        alignas(64) unsigned char offl[kBlockSize];
        alignas(64) unsigned char offr[kBlockSize];
        Idx lbase = first, rbase = last;
        Idx numl = 0, numr = 0, startl = 0, startr = 0;
        const unsigned char* pivot = s.at(begin);
        while (first < last) {
            // Split the unknown middle between the sides whose offset buffers are empty.
            Idx unknown = last - first;
            Idx lsplit = numl == 0 ? (numr == 0 ? unknown / 2 : unknown) : 0;
            Idx rsplit = numr == 0 ? unknown - lsplit : 0;
            if (lsplit > kBlockSize) lsplit = kBlockSize;
            if (rsplit > kBlockSize) rsplit = kBlockSize;
            for (Idx i = 0; i < lsplit; ++i) {
                offl[numl] = static_cast<unsigned char>(i);
                numl += !(s.fn(s.at(first), pivot, s.context) < 0);
                ++first;
            }
            for (Idx i = 0; i < rsplit;) {
                offr[numr] = static_cast<unsigned char>(++i);
                numr += s.fn(s.at(--last), pivot, s.context) < 0;
            }
            Idx num = numl < numr ? numl : numr;
            swap_offsets(s, lbase, rbase, offl + startl, offr + startr, num, numl == numr);
            numl -= num;
            numr -= num;
            startl += num;
            startr += num;
            if (numl == 0) {
                startl = 0;
                lbase = first;
            }
            if (numr == 0) {
                startr = 0;
                rbase = last;
            }
        }
        // The middle is classified; park the leftovers of one side at the boundary.
        if (numl > 0) {
            while (numl-- > 0) s.swap(lbase + offl[startl + numl], --last);
            first = last;
        }
        if (numr > 0) {
            while (numr-- > 0) s.swap(rbase - offr[startr + numr], first++);
            last = first;
        }
    }
    Idx pivot = first - 1;
    s.swap(begin, pivot);
    return {pivot, already};
}

// Partitions [begin, end) so that elements not greater than the pivot at begin go left; returns
// the pivot's final position. Used when the pivot equals the element before the range, so the
// left part holds only copies of the pivot and is already in place: many-equal inputs finish in
// linear time.
template <class S>
Idx partition_left(const S& s, Idx begin, Idx end) {
    Idx first = begin;
    Idx last = end;
    while (--last > first && s.less(begin, last)) {
    }
    while (first < last && !s.less(begin, ++first)) {
    }
    while (first < last) {
        s.swap(first, last);
        while (--last > first && s.less(begin, last)) {
        }
        while (first < last && !s.less(begin, ++first)) {
        }
    }
    s.swap(begin, last);
    return last;
}

template <class S>
void pdq_loop(const S& s, Idx begin, Idx end, int badAllowed, bool leftmost) {
    for (;;) {
        Idx size = end - begin;
        if (size < kInsertionSortThreshold) {
            insertion_sort(s, begin, end);
            return;
        }

        // Pivot to begin: median of first, middle, last, or for long ranges the ninther, which
        // resists median-of-3 killer inputs.
        Idx half = size / 2;
        if (size > kNintherThreshold) {
            sort3(s, begin, begin + half, end - 1);
            sort3(s, begin + 1, begin + half - 1, end - 2);
            sort3(s, begin + 2, begin + half + 1, end - 3);
            sort3(s, begin + half - 1, begin + half, begin + half + 1);
            s.swap(begin, begin + half);
        } else {
            sort3(s, begin + half, begin, end - 1);
        }

        // The element before a non-leftmost range is the pivot of an earlier partition and
        // ranks at most the range's smallest. If our pivot ranks equal to it, the pivot is
        // that smallest value: put all its copies left and never look at them again.
        if (!leftmost && !s.less(begin - 1, begin)) {
            Idx cut = partition_left(s, begin, end) + 1;
            // A consistent comparator cannot send the rest straight back here, but an
            // inconsistent one could peel off one element per O(n) pass: count a small cut as
            // a bad partition so that heapsort still caps the work.
            if (cut - begin < size / 8 && --badAllowed == 0) {
                heap_sort(s, cut, end);
                return;
            }
            begin = cut;
            continue;
        }

        PartitionResult pr = partition_right(s, begin, end);
        Idx pivot = pr.pivot;
        Idx lsize = pivot - begin;
        Idx rsize = end - (pivot + 1);
        if (lsize < size / 8 || rsize < size / 8) {
            // Too unbalanced: after log2(n) such partitions switch to heapsort, so the worst
            // case stays O(n log n).
            if (--badAllowed == 0) {
                heap_sort(s, begin, end);
                return;
            }
            // Break patterns that fool the pivot choice by swapping a few elements into the
            // places that the next pivot selection samples.
            if (lsize >= kInsertionSortThreshold) {
                s.swap(begin, begin + lsize / 4);
                s.swap(pivot - 1, pivot - lsize / 4);
                if (lsize > kNintherThreshold) {
                    s.swap(begin + 1, begin + (lsize / 4 + 1));
                    s.swap(begin + 2, begin + (lsize / 4 + 2));
                    s.swap(pivot - 2, pivot - (lsize / 4 + 1));
                    s.swap(pivot - 3, pivot - (lsize / 4 + 2));
                }
            }
            if (rsize >= kInsertionSortThreshold) {
                s.swap(pivot + 1, pivot + (1 + rsize / 4));
                s.swap(end - 1, end - rsize / 4);
                if (rsize > kNintherThreshold) {
                    s.swap(pivot + 2, pivot + (2 + rsize / 4));
                    s.swap(pivot + 3, pivot + (3 + rsize / 4));
                    s.swap(end - 2, end - (1 + rsize / 4));
                    s.swap(end - 3, end - (2 + rsize / 4));
                }
            }
        } else if (pr.alreadyPartitioned && partial_insertion_sort(s, begin, pivot) &&
                   partial_insertion_sort(s, pivot + 1, end)) {
            // A balanced partition that moved nothing suggests sorted input; if both sides
            // are sorted after a few moves, we are done.
            return;
        }

        // Recurse into the smaller side and loop on the larger: stack depth stays log2(n).
        if (lsize < rsize) {
            pdq_loop(s, begin, pivot, badAllowed, leftmost);
            begin = pivot + 1;
            leftmost = false;
        } else {
            pdq_loop(s, pivot + 1, end, badAllowed, false);
            end = pivot;
        }
    }
}

int floor_log2(Idx n) {
    int log = 0;
    while (n >>= 1) ++log;
    return log;
}

template <int DS, int CS>
void run(unsigned char* data, std::size_t dataSize, unsigned char* comp, std::size_t compSize,
         unsigned char* dataTmp, unsigned char* compTmp, SortCompareFn fn, void* context, Idx n) {
    const Slots<DS, CS> s{data, dataSize, comp, compSize, dataTmp, compTmp, fn, context};
    pdq_loop(s, 0, n, floor_log2(n), true);
}

template <int DS>
void run_with_companion(unsigned char* data, std::size_t dataSize, unsigned char* comp,
                        std::size_t compSize, unsigned char* dataTmp, unsigned char* compTmp,
                        SortCompareFn fn, void* context, Idx n) {
    if (comp == nullptr) {
        run<DS, kNoCompanion>(data, dataSize, comp, compSize, dataTmp, compTmp, fn, context, n);
    } else if (compSize == 4) {
        run<DS, 4>(data, dataSize, comp, compSize, dataTmp, compTmp, fn, context, n);
    } else {
        run<DS, kRuntimeSize>(data, dataSize, comp, compSize, dataTmp, compTmp, fn, context, n);
    }
}

constexpr std::size_t round_up(std::size_t n) {
    constexpr std::size_t a = alignof(std::max_align_t);
    return (n + a - 1) / a * a;
}

}  // namespace

extern "C" {

// Sorts elements first..last (inclusive) of `base` in place into the ascending order of
// `compare`. Not stable. Element i occupies bytes [i * elementSize, (i + 1) * elementSize) of
// `base`; elements are relocated as raw bytes (never constructed, copied by value semantics or
// destroyed), so they must be trivially relocatable. Elements outside first..last are neither
// read nor written, whatever the comparator answers: an inconsistent comparator (NaN ranking
// equal to everything, random answers) yields an unspecified order of the range, but still a
// permutation of it, in O(n log n) comparisons.
//
// `compare(a, b, context)` gets pointers to two elements (inside the range, or to a scratch copy
// of one of its elements, aligned for any scalar type) and `context` unchanged. Only the sign
// of its result is used. Speed: the partition consumes the answers without branching, so a
// comparator that does not branch either, e.g. `(x > y) - (x < y)` for doubles, sorts random
// input about twice as fast as `y > x ? -1 : (x > y ? 1 : 0)`, whose inner branch mispredicts.
//
// When `hasCompanion` is nonzero, `companion->data` is a buffer parallel to `base` with elements
// of `companion->elementSize` bytes: companion element i stands beside data element i, for the
// same first..last. Every data move is mirrored on it, so that afterwards companion element k is
// the one that stood beside the data element now at k. When `hasCompanion` is zero, `companion`
// is not read.
//
// Results:
//    0  sorted; also when last < first (nothing to do: no argument is examined) and for a
//       single element with valid arguments (nothing moves, the comparator is not called);
//   -1  `base` or `compare` is null (non-empty range);
//   -2  elementSize < 1;
//   -3  first < 0;
//   -4  hasCompanion nonzero but `companion` or `companion->data` is null, or its elementSize < 1;
//   -5  no memory for the scratch element, which is only allocated when elementSize (rounded
//       up to 16) plus the companion's element size exceeds 256 bytes.
// On a negative result nothing has been touched.
KXTL_API int sort_range_with_companion(void* base, int first, int last, int elementSize,
                                       SortCompareFn compare, SortCompanion* companion,
                                       int hasCompanion, void* context) {
    if (last < first) return kSortOk;
    if (base == nullptr || compare == nullptr) return kSortBadPointer;
    if (elementSize < 1) return kSortBadElementSize;
    if (first < 0) return kSortBadRange;
    unsigned char* comp = nullptr;
    std::size_t compSize = 0;
    if (hasCompanion != 0) {
        if (companion == nullptr || companion->data == nullptr || companion->elementSize < 1) {
            return kSortBadCompanion;
        }
        compSize = static_cast<std::size_t>(companion->elementSize);
        comp = static_cast<unsigned char*>(companion->data) + compSize * first;
    }
    Idx n = static_cast<Idx>(last) - first + 1;
    if (n < 2) return kSortOk;

    std::size_t dataSize = static_cast<std::size_t>(elementSize);
    unsigned char* data = static_cast<unsigned char*>(base) + dataSize * first;

    // One scratch data element and one companion element: on the stack when they fit.
    alignas(std::max_align_t) unsigned char stackScratch[kStackScratch];
    std::size_t need = round_up(dataSize) + compSize;
    unsigned char* scratch = stackScratch;
    if (need > kStackScratch) {
        scratch = static_cast<unsigned char*>(std::malloc(need));
        if (scratch == nullptr) return kSortNoMemory;
    }
    unsigned char* dataTmp = scratch;
    unsigned char* compTmp = scratch + round_up(dataSize);

    switch (elementSize) {
        case 1:
            run_with_companion<1>(data, dataSize, comp, compSize, dataTmp, compTmp, compare,
                                  context, n);
            break;
        case 2:
            run_with_companion<2>(data, dataSize, comp, compSize, dataTmp, compTmp, compare,
                                  context, n);
            break;
        case 4:
            run_with_companion<4>(data, dataSize, comp, compSize, dataTmp, compTmp, compare,
                                  context, n);
            break;
        case 8:
            run_with_companion<8>(data, dataSize, comp, compSize, dataTmp, compTmp, compare,
                                  context, n);
            break;
        default:
            run_with_companion<kRuntimeSize>(data, dataSize, comp, compSize, dataTmp, compTmp,
                                             compare, context, n);
            break;
    }

    if (scratch != stackScratch) std::free(scratch);
    return kSortOk;
}

}  // extern "C"
}  // namespace kxtl
