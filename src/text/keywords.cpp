// Whole-word keyword replacement and script conditions in C operator notation.
#include <zuvuvur/keywords.h>

#include <cstring>
#include <utility>

#include "kxplatform.h"
#include "kxtl.h"

namespace {

constexpr unsigned short kIgnoreCase = 0x1000;

bool IsWordChar(unsigned char c) {
    if (c >= '0' && c <= '9') return true;
    if (kxp::is_char_alpha(c)) return true;
    return c != 0 && std::strchr("$%*:@\\^_~", c) != nullptr;
}

bool StandsAlone(unsigned char before, unsigned char after) {
    if (IsWordChar(before) || IsWordChar(after)) return false;
    return !(before == '(' && after == ')');
}

}  // namespace

// Splicing each replacement into the string would move the whole tail once per
// match. Instead the result is built in one pass beside the original, which
// stays intact for the searches. Every search starts at or after the end of
// the last replacement, so the text it sees there is still the original;
// only the neighbour before an occurrence that starts right at that point
// comes from the output (the replacement's last byte), and `joinByte` keeps it.
int kxu_keyword_replace(CString* text, const char* keyword, const char* replacement,
                        bool ignoreCase) {
    if (!text) return -1;
    if (text->IsEmpty()) return 0;
    if (!keyword || !replacement) return -1;
    const int k = static_cast<int>(std::strlen(keyword));
    if (k == 0) return -1;
    const int r = static_cast<int>(std::strlen(replacement));
    const unsigned short options = ignoreCase ? kIgnoreCase : 0;

    char* const source = text->GetBuffer(0);  // unshared now; only read below
    const int n = static_cast<int>(std::strlen(source));

    CString out;
    int copied = 0;              // source bytes before this are already in `out`
    int resume = 0;              // where the untouched source starts after the last replacement
    unsigned char joinByte = 0;  // the output's byte just before `resume` (0: none)
    int count = 0;
    for (char* hit = kxtl::find_substring(keyword, source, options); hit;
         hit = kxtl::find_substring(keyword, hit + k, options)) {
        const int p = static_cast<int>(hit - source);
        const auto before = p > resume ? static_cast<unsigned char>(source[p - 1]) : joinByte;
        const auto after = static_cast<unsigned char>(source[p + k]);  // the NUL at the end
        if (!StandsAlone(before, after)) continue;
        if (count == 0) out.Preallocate(r <= k ? n : n + n / 4 + r);
        out.Append(source + copied, p - copied);
        out.Append(replacement, r);
        copied = resume = p + k;
        joinByte = r > 0 ? static_cast<unsigned char>(replacement[r - 1]) : before;
        ++count;
    }
    if (count == 0) {
        text->ReleaseBuffer(-1);
        return 0;
    }
    out.Append(source + copied, n - copied);
    text->ReleaseBuffer(-1);
    *text = std::move(out);
    return count;
}

namespace {

bool IsDoubledOperator(char c) { return c == '&' || c == '=' || c == '|'; }

// Doubles each lone '&', '=', '|' and turns line feeds into spaces, in one
// pass. Inserting the copy in place would shift the tail per operator; the
// neighbours seen in place are still the original ones (a copy lands before
// its operator, and the byte after has not been touched), so reading them
// from the source gives the same decisions.
CString DoubleOperators(const CString& text) {
    const int n = text.GetLength();
    const char* s = text;
    CString out;
    out.Preallocate(n + n / 8);
    for (int i = 0; i < n; ++i) {
        const char c = s[i];
        const char b = i > 0 ? s[i - 1] : '\0';
        const char a = i + 1 < n ? s[i + 1] : '\0';
        if (IsDoubledOperator(c) && b != c && a != c &&
            !(c == '=' && (b == '!' || b == '<' || b == '>')))
            out += c;
        out += c == '\n' ? ' ' : c;
    }
    return out;
}

}  // namespace

int kxu_get_correct_SK_expression(const char* source, CString* result) {
    if (!result) return 0;
    *result = source;
    if (result->IsEmpty()) return 0;
    const int length = result->GetLength();
    kxtl::preprocess_expression(result->GetBuffer(length + 1), -1);
    result->ReleaseBuffer(-1);
    *result = DoubleOperators(*result);
    kxu_keyword_replace(result, "and", "&&", true);
    kxu_keyword_replace(result, "or", "||", true);
    kxu_keyword_replace(result, "not", "!", true);
    return 1;
}
