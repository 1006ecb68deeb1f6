// Script-condition conversion: 0 exactly for an empty text, 1 otherwise.
#include "fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    CString result("old");
    const int r = kxu_get_correct_SK_expression(text.c_str(), &result);
    KX_CHECK(r == (text.c_str()[0] == '\0' ? 0 : 1));
    return 0;
}
