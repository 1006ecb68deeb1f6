// key=value splitting gives arrays of one size; joining them back counts the
// same pairs and appends after what `joined` held.
#include "fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const char separator = in.PickValueInArray({';', ',', '\n', ' ', '='});
    const std::string text = in.ConsumeRemainingBytesAsString();
    CStringArray keys, values;
    const int count = kxutilsSeparateKeyValues(text.c_str(), &keys, &values, separator);
    KX_CHECK(count == keys.GetSize() && count == values.GetSize());
    CString joined("p");
    KX_CHECK(kxutilsMakeKeyValuesStr(joined, keys, values, separator) == count);
    KX_CHECK(joined.GetLength() >= 1 && joined[0] == 'p');
    return 0;
}
