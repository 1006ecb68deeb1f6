// Relative paths: a failure code leaves the result as it was; success gives a
// path that ends with the target's file name.
#include "fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const int maxLevels = in.ConsumeIntegralInRange(-1, 10);
    const std::string base = in.ConsumeRandomLengthString(64);
    const std::string target = in.ConsumeRemainingBytesAsString();
    CString result("old");
    const int r = kxu_make_relative_path(result, base.c_str(), target.c_str(), maxLevels);
    KX_CHECK(r >= -3 && r <= 0);
    if (r < 0) {
        KX_CHECK(result == "old");
        return 0;
    }
    const std::string t = target.c_str();
    const std::string file = t.substr(t.rfind('\\') + 1);
    const std::string out = ToStd(result);
    KX_CHECK(out.size() >= file.size() &&
             out.compare(out.size() - file.size(), file.size(), file) == 0);
    return 0;
}
