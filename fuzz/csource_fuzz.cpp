// C-source helpers: comment removal never grows the text; a C name holds only
// letters, digits and '_' and never starts with a digit unless prefixed; the
// C-string body holds no raw quote, backslash or control byte.
#include <algorithm>

#include "fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const int leading = in.ConsumeIntegralInRange(0, 1);
    const char prefix = in.PickValueInArray({'\0', '_', 'x', '-', '7'});
    const std::string text = in.ConsumeRemainingBytesAsString();

    CString code(text.c_str());
    const int before = code.GetLength();
    KX_CHECK(kxu_skip_C_comments(&code, leading) == 1);
    KX_CHECK(code.GetLength() <= before);

    CString name(text.c_str());
    kxuMakeValidCName(&name, prefix);
    const std::string n = ToStd(name);
    for (char c : n)
        KX_CHECK((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                 c == '_');
    if (!n.empty() && n[0] >= '0' && n[0] <= '9') KX_CHECK(false);

    CString body("old");
    kxu_make_C_string_from_ascii(text.c_str(), &body);
    KX_CHECK(body.GetLength() >= static_cast<int>(std::strlen(text.c_str())));
    return 0;
}
