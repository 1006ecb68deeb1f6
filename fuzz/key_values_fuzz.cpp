// key=value splitting answers as the plain way does (the splitter's tokens,
// each cut at its first '=' and trimmed), into arrays that hold strings from
// before and into one array for both; joining the pairs back counts the same
// pairs and appends after what `joined` held.
#include "fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const char separator = in.PickValueInArray({';', ',', '\n', ' ', '=', '\0'});
    const int before = in.ConsumeIntegralInRange(0, 3);  // strings the arrays held
    const std::string text = in.ConsumeRemainingBytesAsString();

    CStringArray tokens;
    int state = 0;
    const int expected = kxutilsGetTokens(text.c_str(), &tokens, separator, &state, '"', 0);
    CStringArray keys, values, both;
    for (int i = 0; i < before; ++i) {
        keys.Add("old key");
        values.Add(CString('v', i * 20));
        both.Add("old");
    }
    const int count = kxutilsSeparateKeyValues(text.c_str(), &keys, &values, separator);
    KX_CHECK(count == expected && keys.GetSize() == count && values.GetSize() == count);
    KX_CHECK(kxutilsSeparateKeyValues(text.c_str(), &both, &both, separator) == count);
    KX_CHECK(both.GetSize() == 2 * static_cast<INT_PTR>(count));
    for (int i = 0; i < count; ++i) {
        const CString& pair = tokens[i];
        const int equals = pair.Find('=');
        CString key = equals < 0 ? CString() : pair.Left(equals);
        CString value = equals < 0 ? pair : pair.Mid(equals + 1);
        key.Trim();
        value.Trim();
        KX_CHECK(keys[i] == key && values[i] == value);
        KX_CHECK(both[2 * i] == key && both[2 * i + 1] == value);
    }

    CString joined("p");
    KX_CHECK(kxutilsMakeKeyValuesStr(joined, keys, values, separator) == count);
    KX_CHECK(joined.GetLength() >= 1 && joined[0] == 'p');
    return 0;
}
