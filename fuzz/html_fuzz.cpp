// Escaping then unescaping with the same selection gives the text back, for a
// selection that escapes '&' (else a literal entity in the text would be
// unescaped too) and '<' whenever it escapes line feeds (else a literal <br>).
#include "fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    std::string selection = "&";
    for (char c : {'<', '>', ' ', '-', '\n', '"', 'a'})
        if (in.ConsumeBool()) selection += c;
    if (selection.find('\n') != std::string::npos && selection.find('<') == std::string::npos)
        selection += '<';
    const std::string text = in.ConsumeRemainingBytesAsString();
    CString s(text.c_str());
    const std::string before = ToStd(s);
    kxu_check_escape_html_charcters(&s, selection.c_str(), 0);
    kxutilsCheckEscapeHTMLCharcters(&s, selection.c_str(), 1);
    KX_CHECK(ToStd(s) == before);
    return 0;
}
