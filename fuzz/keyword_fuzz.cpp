// Keyword replacement never leaves a whole-word occurrence behind.
#include <cctype>
#include <cstring>

#include "fuzz.h"
#include "kxplatform.h"

namespace {
bool IsWord(unsigned char c) {
    if (c >= 128) return kxp::is_char_alpha(c);
    return std::isalnum(c) || std::strchr("$%*:@\\^_~", c) != nullptr;
}
bool Same(const char* at, const std::string& keyword, bool ignoreCase) {
    for (std::size_t i = 0; i < keyword.size(); ++i) {
        const unsigned char a = static_cast<unsigned char>(at[i]);
        const unsigned char b = static_cast<unsigned char>(keyword[i]);
        if (a != b && !(ignoreCase && a < 128 && std::tolower(a) == std::tolower(b))) return false;
    }
    return true;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    std::string keyword = in.ConsumeRandomLengthString(6);
    for (char& c : keyword) c = "abcdAB01"[static_cast<unsigned char>(c) % 8];
    const char* replacement = in.PickValueInArray({"&&", "||", "!", "&&&&&&&&&&"});
    const bool ignoreCase = in.ConsumeBool();
    const std::string text = in.ConsumeRemainingBytesAsString();
    CString s(text.c_str());
    const CString before(s);
    const int r = kxu_keyword_replace(&s, keyword.c_str(), replacement, ignoreCase);
    if (before.IsEmpty()) KX_CHECK(r == 0);
    if (keyword.empty() && !before.IsEmpty()) KX_CHECK(r == -1 && s == before);
    if (r <= 0 || keyword.empty()) return 0;
    const std::string out = ToStd(s);
    for (std::size_t p = 0; p + keyword.size() <= out.size(); ++p) {
        if (!Same(out.c_str() + p, keyword, ignoreCase)) continue;
        const unsigned char b = p > 0 ? static_cast<unsigned char>(out[p - 1]) : 0;
        const unsigned char a = static_cast<unsigned char>(out[p + keyword.size()]);
        const bool alone = !IsWord(b) && !IsWord(a) && !(b == '(' && a == ')');
        KX_CHECK(!alone);
    }
    return 0;
}
