// Wrapping either refuses with -1 and the text as it was, or gives lines none
// wider than the width plus its break character (and the indent after the first).
#include "fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const int width = in.ConsumeIntegralInRange(-2, 40);
    const int indent = in.ConsumeIntegralInRange(-3, 8);
    const std::string text = in.ConsumeRemainingBytesAsString();
    CString s(text.c_str());
    const std::string before = ToStd(s);
    const int r = kxu_wrap_text(&s, width, indent);
    const std::string out = ToStd(s);
    if (r <= 0) {
        KX_CHECK(out == before);
        KX_CHECK(r == (before.empty() && width >= 1 ? 0 : -1));
        return 0;
    }
    const std::size_t pad = indent > 0 ? static_cast<std::size_t>(indent) : 0;
    std::size_t start = 0;
    int lines = 0;
    while (start <= out.size()) {
        std::size_t end = out.find('\n', start);
        if (end == std::string::npos) end = out.size();
        const std::size_t allowed = static_cast<std::size_t>(width) + 1 + (lines > 0 ? pad : 0);
        KX_CHECK(end - start <= allowed);
        ++lines;
        start = end + 1;
    }
    KX_CHECK(out.size() >= before.size());
    return 0;
}
