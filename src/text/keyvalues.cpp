// key=value lists: split into two parallel arrays, and build one back.
#include <zuvuvur/keyvalues.h>

#include <cstring>

#include "frame/bridge.h"
#include "text/tokens_split.h"

namespace {

bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Splits each pair as the splitter finishes it, straight into the two arrays,
// writing over the strings they already hold (as TokenSink does for tokens):
// a long list costs no array of pairs beside the two, and a script that
// splits list after list into the same arrays allocates nothing per pair.
// Keys and values are trimmed as CString::Trim trims. When both arrays are
// one, keys and values alternate in it.
class PairSink {
  public:
    static constexpr bool kWantsQuotes = false;
    PairSink(CStringArray& keys, CStringArray& values)
        : keys_(keys), values_(values), stride_(&keys == &values ? 2 : 1) {}
    PairSink(const PairSink&) = delete;
    PairSink& operator=(const PairSink&) = delete;
    // On the way out, with or without an exception, drop what was not reused
    // (neither array ever holds fewer than the pairs put).
    ~PairSink() {
        keys_.SetSize(count_ * stride_);
        values_.SetSize(count_ * stride_);
    }

    void Put(token_split::Finished token, const std::uint64_t* = nullptr) {
        const char* begin = token.text;
        const int length = begin == nullptr    ? 0
                           : token.length >= 0 ? token.length
                                               : static_cast<int>(std::strlen(begin));
        const char* end = begin + length;
        const char* equals =
            length > 0 ? static_cast<const char*>(std::memchr(begin, '=', length)) : nullptr;
        const INT_PTR slot = count_ * stride_;
        Store(keys_, slot, begin, equals != nullptr ? equals : begin);
        Store(values_, slot + stride_ - 1, equals != nullptr ? equals + 1 : begin, end);
        ++count_;
    }
    int Count() const { return static_cast<int>(count_); }

  private:
    // [begin, end) lies in the splitter's padded copy, or is empty (and
    // begin then possibly null).
    static void Store(CStringArray& array, INT_PTR slot, const char* begin, const char* end) {
        while (begin < end && IsBlank(*begin)) ++begin;
        while (end > begin && IsBlank(end[-1])) --end;
        const int length = static_cast<int>(end - begin);
        if (slot < array.GetSize())
            array.GetData()[slot].SetStringPadded(begin, length);
        else
            array.Add(CString(begin, length));
    }

    CStringArray& keys_;
    CStringArray& values_;
    const INT_PTR stride_;
    INT_PTR count_ = 0;
};

}  // namespace

int kxutilsSeparateKeyValues(const char* text, CStringArray* keys, CStringArray* values,
                             char separator) {
    if (keys == nullptr || values == nullptr) return -1;
    int state = 0;
    token_split::WorkingCopy work(text);
    PairSink sink(*keys, *values);
    return SplitInto(text, work, sink, separator, &state, '"', 0);
}

int kxu_separate_key_values(const char* text, CHostObject* keys, CHostObject* values,
                            char separator) {
    CStringArray* keyArray = HostStringArray(keys);
    CStringArray* valueArray = HostStringArray(values);
    return kxutilsSeparateKeyValues(text, keyArray, valueArray, separator);
}

int kxutilsMakeKeyValuesStr(CString& joined, const CStringArray& keys, const CStringArray& values,
                            char separator) {
    const INT_PTR n = keys.GetSize();
    if (n != values.GetSize()) return 0;
    CString pairSeparator;
    pairSeparator.Format("%c", separator);
    // Built apart and appended once: `joined` may be one of the keys or values,
    // and a failure half-way leaves it as it was.
    CString items;
    for (INT_PTR i = 0; i < n; ++i) {
        items += keys[i];
        items += '=';
        items += values[i];
        if (i + 1 < n) items += pairSeparator;
    }
    joined += items;
    return static_cast<int>(n);
}

int kxu_make_key_values_str(CString* joined, CHostObject* keys, CHostObject* values,
                            char separator) {
    CStringArray* keyArray = HostStringArray(keys);
    CStringArray* valueArray = HostStringArray(values);
    if (joined == nullptr || keyArray == nullptr || valueArray == nullptr) return -1;
    return kxutilsMakeKeyValuesStr(*joined, *keyArray, *valueArray, separator);
}
