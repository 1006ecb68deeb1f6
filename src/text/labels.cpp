// Label letters with numeric suffixes.
#include <zuvuvur/labels.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <optional>
#include <unordered_map>

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
    friend bool operator==(LabelHash, LabelHash) = default;
};

struct LabelHasher {
    std::size_t operator()(LabelHash hash) const { return static_cast<std::size_t>(hash.value); }
};

// Which labels the array holds, by hash, so that the repeat check after every
// letter and digit costs the same however many labels there are.
class LabelIndex {
  public:
    LabelIndex(const CStringArray& labels, LabelHash start) : labels_(labels) {
        for (INT_PTR i = 0; i < labels.GetSize(); ++i) byHash_.emplace(start.Then(labels[i]), i);
    }

    // Whether an element other than `skip` equals `label` exactly.
    bool Holds(LabelHash hash, const char* label, INT_PTR skip) const {
        auto [first, end] = byHash_.equal_range(hash);
        for (auto it = first; it != end; ++it)
            if (it->second != skip && labels_[it->second].Compare(label) == 0) return true;
        return false;
    }
    void Added(LabelHash hash, INT_PTR index) { byHash_.emplace(hash, index); }
    void Changed(LabelHash from, LabelHash to, INT_PTR index) {
        auto [first, end] = byHash_.equal_range(from);
        for (auto it = first; it != end; ++it)
            if (it->second == index) {
                byHash_.erase(it);
                break;
            }
        byHash_.emplace(to, index);
    }

  private:
    const CStringArray& labels_;
    std::unordered_multimap<LabelHash, INT_PTR, LabelHasher> byHash_;
};

}  // namespace

int kxutilsSeparateCharWithNumericSuffix(const char* text, CStringArray* labels,
                                         const char* letters, const char* suffixLetters,
                                         int allowDuplicates) {
    if (labels == nullptr) return -1;
    // Own copies: the texts may live in the array that grows below.
    const CString source(text);
    const CString suffixes(suffixLetters);
    const CString allowed = suffixes + letters;
    const int length = source.GetLength();
    if (length == 0) return static_cast<int>(labels->GetSize());

    const bool checkRepeats = allowDuplicates == 0;
    const LabelHash start = checkRepeats ? LabelHash::Unforeseeable(&source) : LabelHash{};
    std::optional<LabelIndex> index;
    if (checkRepeats) index.emplace(*labels, start);
    LabelHash lastHash;
    for (int i = 0; i < length; ++i) {
        const char c = source[i];
        if (kxtl::get_char_class(c) == kxtl::CC_SPACE) continue;
        if (std::strchr(allowed, c) != nullptr) {
            const char label[2] = {c, '\0'};
            lastHash = start.More(c);
            // A letter that takes a suffix is checked at each length it passes
            // through once its digits are there, not on its own.
            const bool suffixFollows = i + 1 < length && IsDigit(source[i + 1]);
            if (checkRepeats && !suffixFollows && index->Holds(lastHash, label, -1)) return -97;
            const INT_PTR at = labels->Add(label);
            if (checkRepeats) index->Added(lastHash, at);
            continue;
        }
        if (!IsDigit(c)) return -98;
        if (i == 0) return -100;
        const char before = source[i - 1];
        if (!IsDigit(before) && std::strchr(suffixes, before) == nullptr) return -99;
        const INT_PTR last = labels->GetSize() - 1;
        CString& label = labels->ElementAt(last);
        label += c;
        if (checkRepeats) {
            const LabelHash grown = lastHash.More(c);
            index->Changed(lastHash, grown, last);
            lastHash = grown;
            if (index->Holds(lastHash, label, last)) return -97;
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
