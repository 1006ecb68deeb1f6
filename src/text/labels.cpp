// Label letters with numeric suffixes.
#include <zuvuvur/labels.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

#include "frame/bridge.h"
#include "kxtl.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// FNV-1a: a label's hash follows it as digits are appended, one byte at a time,
// so a long suffix is never hashed again from its start. The type is this
// file's own, which also keeps the hash table's code out of the export table.
//   Each call starts its hashes from a value of its own (`Unforeseeable`), so
// that no one can prepare labels whose hashes fall together, which would make
// every check walk all of them: from a known start, labels that share a
// bucket of the table are found by trying.
struct LabelHash {
    std::uint64_t value = 0;

    LabelHash More(char c) const {
        return {(value ^ static_cast<unsigned char>(c)) * 1099511628211ull};
    }
    LabelHash Then(const char* text) const {
        LabelHash hash = *this;
        for (; *text != '\0'; ++text) hash = hash.More(*text);
        return hash;
    }
    // The moment and where the call's data lie, neither known in advance.
    static LabelHash Unforeseeable(const void* where) {
        const auto ticks =
            static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
        const auto at = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(where));
        return {14695981039346656037ull ^ (ticks * 0x9E3779B97F4A7C15ull) ^ at};
    }
};

// Which texts the array's labels hold, by hash, so that the repeat check after
// every letter and digit costs the same however many labels there are. Each
// text is held once, however many elements repeat it (an array filled with
// duplicates allowed may hold thousands of "P"), so a lookup walks only the
// texts that share its hash. The label still growing by digits stays out of
// it until a new label starts: only then is its text final.
//   With tens of thousands of labels the table outgrows the caches, and every
// visit to it costs a miss. Most checks are of texts the array does not hold
// (a label on its way to its last digit), so a bit per hash, sixteen bits per
// text, answers those first; the table itself is one block of slots probed in
// line, so an entry costs no allocation of its own.
class LabelIndex {
  public:
    LabelIndex(const CStringArray& labels, LabelHash start) : labels_(labels) {
        Resize(4);
        for (INT_PTR i = 0; i < labels.GetSize(); ++i) Add(start.Then(labels[i]), i);
    }

    // Whether a label of the index equals `label` exactly.
    bool Holds(LabelHash hash, const char* label) const {
        if (!Marked(hash)) return false;
        for (std::size_t i = Home(hash);; i = (i + 1) & (slots_.size() - 1)) {
            const Slot& slot = slots_[i];
            if (slot.index < 0) return false;
            if (slot.hash == hash.value && labels_[slot.index].Compare(label) == 0) return true;
        }
    }
    // Adds the text of element `index` unless the index holds it already.
    void Add(LabelHash hash, INT_PTR index) {
        if (Holds(hash, labels_[index])) return;
        if ((used_ + 1) * 2 > slots_.size()) Resize(slotBits_ + 1);
        Place({hash.value, index});
        ++used_;
    }

  private:
    struct Slot {
        std::uint64_t hash;
        INT_PTR index;  // -1: empty
    };

    // The slot and the bit come from different bits of the hash.
    std::size_t Home(LabelHash hash) const {
        return static_cast<std::size_t>((hash.value * 0x9E3779B97F4A7C15ull) >> (64 - slotBits_));
    }
    std::size_t Bit(LabelHash hash) const {
        return static_cast<std::size_t>(hash.value >> (64 - (slotBits_ + kMarkShift)));
    }
    bool Marked(LabelHash hash) const {
        const std::size_t bit = Bit(hash);
        return (marks_[bit / 64] >> (bit % 64) & 1) != 0;
    }
    void Place(Slot slot) {
        std::size_t i = Home(LabelHash{slot.hash});
        while (slots_[i].index >= 0) i = (i + 1) & (slots_.size() - 1);
        slots_[i] = slot;
        const std::size_t bit = Bit(LabelHash{slot.hash});
        marks_[bit / 64] |= std::uint64_t{1} << (bit % 64);
    }
    // 2^bits slots, kept at most half full, and sixteen bits for each; the
    // texts held so far are placed again.
    void Resize(int bits) {
        std::vector<Slot> old(std::size_t{1} << bits, Slot{0, -1});
        old.swap(slots_);
        slotBits_ = bits;
        marks_.assign(std::size_t{1} << (bits + kMarkShift - 6), 0);
        for (const Slot& slot : old)
            if (slot.index >= 0) Place(slot);
    }

    static constexpr int kMarkShift = 4;  // 2^4 bits for each slot
    const CStringArray& labels_;
    int slotBits_ = 0;
    std::vector<Slot> slots_;
    std::vector<std::uint64_t> marks_;
    std::size_t used_ = 0;
};

// Which bytes a set of letters holds, read once so that the test for each byte
// of the text does not walk the set again.
class ByteSet {
  public:
    explicit ByteSet(const char* letters) {
        for (; letters != nullptr && *letters != '\0'; ++letters)
            in_[static_cast<unsigned char>(*letters)] = true;
    }
    bool operator()(char c) const { return in_[static_cast<unsigned char>(c)]; }

  private:
    std::array<bool, 256> in_{};
};

}  // namespace

int kxutilsSeparateCharWithNumericSuffix(const char* text, CStringArray* labels,
                                         const char* letters, const char* suffixLetters,
                                         int allowDuplicates) {
    if (labels == nullptr) return -1;
    // Own copies: the texts may live in the array that grows below.
    const CString source(text);
    const ByteSet suffixes(suffixLetters);
    const ByteSet single(letters);
    const int length = source.GetLength();
    if (length == 0) return static_cast<int>(labels->GetSize());

    const bool checkRepeats = allowDuplicates == 0;
    const LabelHash start = checkRepeats ? LabelHash::Unforeseeable(&source) : LabelHash{};
    std::optional<LabelIndex> index;
    if (checkRepeats) index.emplace(*labels, start);
    LabelHash lastHash;
    INT_PTR growing = -1;  // the label this call added last, outside the index
    for (int i = 0; i < length; ++i) {
        const char c = source[i];
        if (kxtl::get_char_class(c) == kxtl::CC_SPACE) continue;
        if (suffixes(c) || single(c)) {
            const char label[2] = {c, '\0'};
            if (checkRepeats && growing >= 0) index->Add(lastHash, growing);
            lastHash = start.More(c);
            // A letter that takes a suffix is checked at each length it passes
            // through once its digits are there, not on its own.
            const bool suffixFollows = i + 1 < length && IsDigit(source[i + 1]);
            if (checkRepeats && !suffixFollows && index->Holds(lastHash, label)) return -97;
            growing = labels->Add(label);
            continue;
        }
        if (!IsDigit(c)) return -98;
        if (i == 0) return -100;
        const char before = source[i - 1];
        if (!IsDigit(before) && !suffixes(before)) return -99;
        CString& label = labels->ElementAt(growing);
        label += c;
        if (checkRepeats) {
            lastHash = lastHash.More(c);
            if (index->Holds(lastHash, label)) return -97;
        }
    }
    return static_cast<int>(labels->GetSize());
}

int kxu_separate_char_with_numeric_suffix(const char* text, CHostObject* labels,
                                          const char* letters, const char* suffixLetters) {
    return kxutilsSeparateCharWithNumericSuffix(text, HostStringArray(labels), letters,
                                                suffixLetters, 0);
}

int kxutilsSeparateWksLabelsChar(const char* text, CStringArray* labels, int flags) {
    CString upper(text);
    upper.MakeUpper();
    CString letters("LUCSREGF");
    if ((flags & 0x2) != 0) letters.Remove('G');
    return kxutilsSeparateCharWithNumericSuffix(upper, labels, letters, "PDO", flags & 0x1);
}
