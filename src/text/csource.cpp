// Helpers for C-like source text: comments, string-literal bodies, identifiers.
#include <zuvuvur/csource.h>

#include <cstring>
#include <utility>

#include "kxtl.h"

namespace {

// Past the comments at `p` and the blanks each one takes with it; a line
// break after a comment stops it, so the lines of the text stay as they were.
const char* PastComments(const char* p) {
    for (const char* next = kxtl::skip_c_comment(p); next > p; next = kxtl::skip_c_comment(p))
        p = next;
    return p;
}

// Past the comments at `p` and all white space between and after them: the
// first character of code.
const char* PastLeadingComments(const char* p) {
    for (;;) {
        const char* next = PastComments(p);
        while (kxtl::get_char_class(*next) == kxtl::CC_SPACE) ++next;
        if (next == p) return p;
        p = next;
    }
}

}  // namespace

int kxu_skip_C_comments(CString* text, int leadingOnly) {
    if (!text) return -1;
    CString copy(*text);
    copy.Trim();
    if (leadingOnly != 0) {
        *text = PastLeadingComments(copy);
        return 1;
    }
    const char* code = PastComments(copy);
    // The output is never longer than the trimmed copy, so the text's own
    // buffer holds it without growing.
    char* const out = text->GetBuffer(copy.GetLength());
    int written = 0;
    while (*code != '\0') {
        const char* comment = kxtl::find_c_comment(code);
        if (!comment) break;
        std::memcpy(out + written, code, static_cast<std::size_t>(comment - code));
        written += static_cast<int>(comment - code);
        code = PastComments(comment);
    }
    text->ReleaseBuffer(written);
    return 1;
}

void kxu_make_C_string_from_ascii(const char* source, CString* output) {
    if (!output) return;
    if (!source) {
        output->Empty();
        return;
    }
    // Built aside and handed over at the end, so a failed allocation leaves
    // the output as it was rather than half escaped.
    CString built;
    built.Preallocate(static_cast<int>(std::strlen(source)));
    for (const char* p = source; *p != '\0'; ++p) {
        char escape[16];
        if (kxtl::escape_c_char(static_cast<signed char>(*p), escape, 0) != 0)
            built += escape;
        else
            built += *p;
    }
    *output = std::move(built);
}

namespace {
bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }
}  // namespace

// Bytes are dropped by compacting the buffer once rather than deleting them
// one at a time, which would move the tail per byte.
void kxuMakeValidCName(CString* name, char prefix) {
    if (!name || name->IsEmpty()) return;
    const bool prefixed = IsAsciiLetter(prefix) || prefix == '_';
    const int length = name->GetLength();
    // Room for the prefix up front: the one allocation comes before any byte
    // moves, so running out of memory leaves the name as it was.
    char* const p = name->GetBuffer(length + 1);
    int kept = 0;
    for (int i = 0; i < length; ++i)
        if (IsAsciiLetter(p[i]) || IsAsciiDigit(p[i]) || p[i] == '_') p[kept++] = p[i];
    int digits = 0;
    while (digits < kept && IsAsciiDigit(p[digits])) ++digits;
    if (!prefixed && digits > 0) {
        std::memmove(p, p + digits, static_cast<std::size_t>(kept - digits));
        kept -= digits;
    } else if (prefixed && digits > 0) {
        std::memmove(p + 1, p, static_cast<std::size_t>(kept));
        p[0] = prefix;
        ++kept;
    }
    name->ReleaseBuffer(kept);
}
