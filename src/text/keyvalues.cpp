// key=value lists: split into two parallel arrays, and build one back.
#include <zuvuvur/keyvalues.h>

#include <zuvuvur/tokens.h>

#include "frame/bridge.h"

int kxutilsSeparateKeyValues(const char* text, CStringArray* keys, CStringArray* values,
                             char separator) {
    if (keys == nullptr || values == nullptr) return -1;
    CStringArray pairs;
    int state = 0;
    const int count = kxutilsGetTokens(text, &pairs, separator, &state, '"', 0);
    keys->SetSize(0);
    values->SetSize(0);
    for (INT_PTR i = 0; i < pairs.GetSize(); ++i) {
        const CString& pair = pairs[i];
        const int equals = pair.Find('=');
        CString key = equals < 0 ? CString() : pair.Left(equals);
        CString value = equals < 0 ? pair : pair.Mid(equals + 1);
        keys->Add(key.Trim());
        values->Add(value.Trim());
    }
    return count;
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
