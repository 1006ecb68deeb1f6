// Word wrapping with a hanging indent, and padding to a fixed width.
#include <zuvuvur/wrap.h>

#include <cstring>
#include <utility>

#include "kxtl.h"

namespace {

bool IsBreak(char c) {
    // The class is asked for the byte sign-extended, as a char argument is.
    return kxtl::get_char_class(static_cast<signed char>(c)) == kxtl::CC_SPACE;
}

}  // namespace

// The wrap is built in one pass into a new string instead of inserting line
// feeds and indents into the text line by line (which moves the tail each
// time). Inserting only ever happens at or before the current line start, so
// everything from there on is still the original text: positions below are
// positions in the original, and the breaks found there are the same ones.
// On failure the original has not been touched.
int kxu_wrap_text(CString* text, int width, int indent) {
    if (!text || width < 1) return -1;
    const int n = text->GetLength();
    if (n == 0) return 0;
    const char* const s = *text;
    const CString indentText(' ', indent > 0 ? indent : 0);

    CString out;
    out.Preallocate(n + n / 16);
    long long start = 0;     // first byte of the current line
    long long lineEnd = -1;  // the line feed that ends the current source line, or n
    int lines = 0;
    while (start < n) {
        if (start > lineEnd) {
            const void* feed = std::memchr(s + start, '\n', static_cast<std::size_t>(n - start));
            lineEnd = feed ? static_cast<const char*>(feed) - s : n;
        }
        if (lines > 0) out += indentText;
        const long long limit = start + width;
        if (limit >= lineEnd) {
            // The rest of the source line fits, its line feed included.
            const long long stop = lineEnd < n ? lineEnd + 1 : n;
            out.Append(s + start, static_cast<int>(stop - start));
            start = lineEnd + 1;
        } else {
            long long q = limit;
            while (q >= start && !IsBreak(s[q])) --q;
            if (q < start) return -1;  // `out` is dropped; the text was never written
            out.Append(s + start, static_cast<int>(q + 1 - start));
            out += '\n';
            start = q + 1;
        }
        ++lines;
    }
    *text = std::move(out);
    return lines;
}

CString kxu_str_pad_char(const char* text, int width, int align, char fill) {
    if (width <= 0) return CString();
    const int length = text ? static_cast<int>(strnlen(text, static_cast<std::size_t>(width))) : 0;
    if (length >= width) return CString(text, width);
    if (fill == '\0') return CString(text, length);
    int before = 0;
    if (align == 1) before = (width - length) / 2;
    if (align == 2) before = width - length;
    CString result(fill, width);
    char* p = result.GetBuffer(width);
    if (length > 0) std::memcpy(p + before, text, static_cast<std::size_t>(length));
    result.ReleaseBuffer(width);
    return result;
}
