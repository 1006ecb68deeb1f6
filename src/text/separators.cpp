// Splitting at a separator string and joining with a separator.
#include <zuvuvur/separators.h>

#include <cstring>
#include <utility>

#include "frame/bridge.h"
#include "kxtl.h"

int kxutilsSeparateByStr(const char* text, CStringArray* pieces, const char* separator) {
    if (!text || !*text) {
        if (pieces) pieces->SetSize(0);
        return 0;
    }
    std::size_t sepLength = separator ? std::strlen(separator) : 0;
    if (sepLength < 1) return -1;
    if (!pieces) return -1;  // a text to split needs an array; refuse rather than crash
    // Own copies: the text or the separator may be strings of the array emptied here.
    const CString source(text), cut(separator);
    pieces->SetSize(0);
    // One left-to-right scan; each piece is cut from the text directly rather
    // than by shortening a working copy, so a text with many pieces stays linear.
    // The companion's search, not strstr: a C library may compare the whole
    // separator at every byte, and a long separator that keeps almost matching
    // would make that the product of the two lengths.
    char* start = const_cast<char*>(source.GetString());  // only read
    const char* const end = start + source.GetLength();
    for (char* hit = kxtl::find_substring_in(cut, start, end, 0); hit;
         hit = kxtl::find_substring_in(cut, start, end, 0)) {
        pieces->Add(CString(start, static_cast<int>(hit - start)));
        start = hit + sepLength;
    }
    pieces->Add(start);
    return static_cast<int>(pieces->GetSize());
}

int kxu_separate_by_str(const char* text, CHostObject* pieces, const char* separator) {
    if (!text || !pieces || !separator) return -1;
    return kxutilsSeparateByStr(text, HostStringArray(pieces), separator);
}

namespace {
int Join(CString& joined, const CStringArray& tokens, const char* separator, int sepLength) {
    // Joined aside and handed over at the end: running out of memory leaves
    // `joined` as it was, and a token that is `joined` itself reads intact.
    CString built;
    INT_PTR count = tokens.GetSize();
    for (INT_PTR i = 0; i < count; ++i) {
        if (i > 0) built.Append(separator, sepLength);
        built += tokens.GetAt(i);
    }
    joined = std::move(built);
    return static_cast<int>(count);
}
}  // namespace

int kxutilsSetTokens(CString& joined, const CStringArray& tokens, char separator) {
    return Join(joined, tokens, &separator, 1);
}

int kxutilsSetTokensByStr(CString& joined, const CStringArray& tokens, const char* separator) {
    return Join(joined, tokens, separator,
                separator ? static_cast<int>(std::strlen(separator)) : 0);
}

int kxu_set_tokens_by_str(CString* joined, CHostObject* tokens, const char* separator) {
    if (!joined || !tokens || !separator) return -1;
    CStringArray* array = HostStringArray(tokens);
    if (!array) return -1;  // the joiner needs the array; a host that has none is refused
    return kxutilsSetTokensByStr(*joined, *array, separator);
}
