// The token splitter in every quote mode: the count with an array equals the
// array's size and the count without one.
#include "fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    static const int kModes[] = {0, 32, 34, 39, 40, 60, 91, 123, -1, -2};
    const int mode = in.PickValueInArray(kModes);
    const char separator = in.PickValueInArray({',', ';', '\n', ' ', '\0', '|'});
    const int options = in.ConsumeBool() ? 64 : 0;
    const std::string text = in.ConsumeRemainingBytesAsString();
    CStringArray tokens;
    tokens.Add("old");
    int state = 0;
    const int count = kxutilsGetTokens(text.c_str(), &tokens, separator, &state, mode, options);
    KX_CHECK(count == tokens.GetSize());
    KX_CHECK(kxutilsGetTokens(text.c_str(), nullptr, separator, &state, mode, options) == count);
    return 0;
}
