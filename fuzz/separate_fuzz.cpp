// Separating by a string and joining back with it gives the text again.
#include "fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const std::string separator = in.ConsumeRandomLengthString(4);
    const std::string text = in.ConsumeRemainingBytesAsString();
    CStringArray pieces;
    pieces.Add("old");
    const int count = kxutilsSeparateByStr(text.c_str(), &pieces, separator.c_str());
    const std::string c_text = text.c_str();  // the entry sees up to the first NUL
    if (separator.c_str()[0] == '\0' && !c_text.empty()) {
        KX_CHECK(count == -1);
        return 0;
    }
    KX_CHECK(count == pieces.GetSize());
    CString joined("junk");
    KX_CHECK(kxutilsSetTokensByStr(joined, pieces, separator.c_str()) == count);
    KX_CHECK(ToStd(joined) == c_text);
    return 0;
}
