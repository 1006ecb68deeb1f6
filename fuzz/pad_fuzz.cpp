// Padding: exactly `width` characters with the text inside, or the text cut.
#include <cstring>

#include "fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const int width = in.ConsumeIntegralInRange(-1, 300);
    const int align = in.ConsumeIntegralInRange(-1, 8);
    const char fill = in.ConsumeIntegral<char>();
    const std::string text = in.ConsumeRemainingBytesAsString();
    const CString padded = kxu_str_pad_char(text.c_str(), width, align, fill);
    const std::size_t length = std::strlen(text.c_str());
    if (width <= 0) {
        KX_CHECK(padded.IsEmpty());
        return 0;
    }
    const std::size_t w = static_cast<std::size_t>(width);
    if (fill == '\0' || length >= w) {
        KX_CHECK(ToStd(padded) == text.substr(0, std::min(length, w)));
        return 0;
    }
    KX_CHECK(static_cast<std::size_t>(padded.GetLength()) == w);
    KX_CHECK(ToStd(padded).find(text.c_str()) != std::string::npos);
    return 0;
}
