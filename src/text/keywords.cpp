// Whole-word keyword replacement and script conditions in C operator notation.
#include <zuvuvur/keywords.h>

#include <array>
#include <climits>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <utility>

#include "kxplatform.h"
#include "kxtl.h"

namespace {

constexpr unsigned short kIgnoreCase = 0x1000;

// The word characters below 0x80, where every ANSI code page agrees on the
// letters; the code page is asked only about the bytes above.
constexpr auto kAsciiWord = [] {
    std::array<bool, 128> word{};
    for (int c = '0'; c <= '9'; ++c) word[c] = true;
    for (int c = 'A'; c <= 'Z'; ++c) word[c] = word[c + 32] = true;
    for (char c : std::string_view("$%*:@\\^_~")) word[static_cast<unsigned char>(c)] = true;
    return word;
}();

bool IsWordChar(unsigned char c) { return c < 128 ? kAsciiWord[c] : kxp::is_char_alpha(c); }

bool StandsAlone(unsigned char before, unsigned char after) {
    if (IsWordChar(before) || IsWordChar(after)) return false;
    return !(before == '(' && after == ')');
}

// Whether `p` points into the `length` bytes at `text`.
bool Inside(const char* p, const char* text, int length) {
    const auto at = reinterpret_cast<std::uintptr_t>(p);
    const auto base = reinterpret_cast<std::uintptr_t>(text);
    return at >= base && at - base <= static_cast<std::uintptr_t>(length);
}

}  // namespace

// Splicing each replacement in would move the whole tail once per match; this
// rewrites the text's own buffer in one sweep instead, with the same results.
// Every search starts at or after the end of the last replacement, so the text
// it sees there is still the original; only the neighbour before an
// occurrence that starts right at that point comes from the rewritten part
// (the replacement's last byte), and `joinByte` keeps it.
//   A replacement no longer than the keyword never makes the text longer than
// it was, so the rewritten part never overtakes the part still to be read and
// the text is rewritten front to back as the occurrences are found. A longer
// one needs the final length first: the occurrences are collected, the buffer
// grown once, and the text rewritten back to front.
int kxu_keyword_replace(CString* text, const char* keyword, const char* replacement,
                        bool ignoreCase) {
    if (!text) return -1;
    if (text->IsEmpty()) return 0;
    if (!keyword || !replacement) return -1;
    const int k = static_cast<int>(std::strlen(keyword));
    if (k == 0) return -1;
    const int r = static_cast<int>(std::strlen(replacement));
    const unsigned short options = ignoreCase ? kIgnoreCase : 0;

    char* buffer = text->GetBuffer(0);  // unshared from here on
    const int n = static_cast<int>(std::strlen(buffer));
    // A keyword or replacement that is a piece of the text itself must outlive
    // the rewriting of that text.
    CString ownKeyword, ownReplacement;
    if (Inside(keyword, buffer, n)) keyword = ownKeyword = keyword;
    if (Inside(replacement, buffer, n)) replacement = ownReplacement = replacement;

    CArray<int, int> hits;  // only for a longer replacement
    int count = 0;
    int write = 0;               // end of the rewritten part (front to back)
    int copied = 0;              // source bytes before this are rewritten
    unsigned char joinByte = 0;  // the rewritten part's last byte (0: none)
    // The search runs ahead of the rewriting, over original text that ends at n.
    const char* const textEnd = buffer + n;
    for (char* hit = kxtl::find_substring_in(keyword, buffer, textEnd, options); hit;
         hit = kxtl::find_substring_in(keyword, hit + k, textEnd, options)) {
        const int p = static_cast<int>(hit - buffer);
        const auto before = p > copied ? static_cast<unsigned char>(buffer[p - 1]) : joinByte;
        const auto after = static_cast<unsigned char>(buffer[p + k]);  // the NUL at the end
        if (!StandsAlone(before, after)) continue;
        if (r <= k) {
            if (write != copied)
                std::memmove(buffer + write, buffer + copied, static_cast<std::size_t>(p - copied));
            write += p - copied;
            std::memcpy(buffer + write, replacement, static_cast<std::size_t>(r));
            write += r;
        } else {
            hits.Add(p);
        }
        copied = p + k;
        joinByte = r > 0 ? static_cast<unsigned char>(replacement[r - 1]) : before;
        ++count;
    }
    if (r <= k) {
        if (write != copied)
            std::memmove(buffer + write, buffer + copied, static_cast<std::size_t>(n - copied));
        text->ReleaseBuffer(write + n - copied);
        return count;
    }
    const long long length = n + static_cast<long long>(count) * (r - k);
    if (count == 0 || length > INT_MAX) {
        text->ReleaseBuffer(n);
        return count == 0 ? 0 : -1;  // no string could hold the result
    }
    buffer = text->GetBuffer(static_cast<int>(length));  // may move the text
    int to = static_cast<int>(length);
    int end = n;
    for (int i = count - 1; i >= 0; --i) {
        const int p = hits[i];
        to -= end - (p + k);
        std::memmove(buffer + to, buffer + p + k, static_cast<std::size_t>(end - (p + k)));
        to -= r;
        std::memcpy(buffer + to, replacement, static_cast<std::size_t>(r));
        end = p;
    }
    text->ReleaseBuffer(static_cast<int>(length));
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
    // Converted aside and handed over at the end, so running out of memory
    // never leaves the result half converted.
    CString expression(source);
    if (expression.IsEmpty()) {
        *result = std::move(expression);
        return 0;
    }
    const int length = expression.GetLength();
    kxtl::preprocess_expression(expression.GetBuffer(length + 1), -1);
    expression.ReleaseBuffer(-1);
    expression = DoubleOperators(expression);
    kxu_keyword_replace(&expression, "and", "&&", true);
    kxu_keyword_replace(&expression, "or", "||", true);
    kxu_keyword_replace(&expression, "not", "!", true);
    *result = std::move(expression);
    return 1;
}
