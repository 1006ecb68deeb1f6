// Labels: the result is the array's size or one of the four codes, and every
// label is one allowed letter followed by digits.
#include <cstring>

#include "fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const int flags = in.ConsumeIntegralInRange(0, 3);
    const bool worksheet = in.ConsumeBool();
    const std::string text = in.ConsumeRemainingBytesAsString();
    CStringArray labels;
    const int r = worksheet ? kxutilsSeparateWksLabelsChar(text.c_str(), &labels, flags)
                            : kxutilsSeparateCharWithNumericSuffix(text.c_str(), &labels,
                                                                   "LUCSREGF", "PDO", flags & 1);
    KX_CHECK(r == labels.GetSize() || (r >= -100 && r <= -97));
    for (INT_PTR i = 0; i < labels.GetSize(); ++i) {
        const CString& label = labels[i];
        KX_CHECK(label.GetLength() >= 1 && std::strchr("LUCSREGFPDO", label[0]));
        for (int j = 1; j < label.GetLength(); ++j) KX_CHECK(label[j] >= '0' && label[j] <= '9');
    }
    return 0;
}
