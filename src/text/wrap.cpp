// Word wrapping with a hanging indent, and padding to a fixed width.
#include <zuvuvur/wrap.h>

#include <climits>
#include <cstring>

#include "kxtl.h"

namespace {

bool IsBreak(char c) {
    // The class is asked for the byte sign-extended, as a char argument is.
    return kxtl::get_char_class(static_cast<signed char>(c)) == kxtl::CC_SPACE;
}

}  // namespace

// Inserting a line feed and an indent per line would move the tail of the text
// each time. The lines are found first instead, on the text as it came, and
// the text is then grown once and rewritten back to front. Inserting only
// ever happens at or before the start of the line being looked at, so what
// lies from there on is still the original text and the breaks found there
// are the same ones. A line that cannot be broken is found before anything is
// written, so the text is left as it came.
int kxu_wrap_text(CString* text, int width, int indent) {
    if (!text || width < 1) return -1;
    const int n = text->GetLength();
    if (n == 0) return 0;
    const char* s = *text;

    CArray<int, int> starts;  // where each line after the first begins
    long long start = 0;      // first byte of the current line
    long long lineEnd = -1;   // the line feed that ends the current source line, or n;
                              // below `start` while it is only known to lie past the window
    long long clearTo = 0;    // no line feed from the current line's start up to here
    int breaks = 0;           // line feeds to insert
    bool brokeLast = false;   // the last line ended at a break: its line feed ends the text
    while (start < n) {
        if (start > lineEnd) {
            // Only the line's window (width + 1 bytes) is searched, so a long
            // source line is read once, a window at a time, while in cache.
            const long long from = start > clearTo ? start : clearTo;
            const long long to = n - start > width ? start + width + 1 : n;
            const void* feed =
                from < to ? std::memchr(s + from, '\n', static_cast<std::size_t>(to - from))
                          : nullptr;
            if (feed)
                lineEnd = static_cast<const char*>(feed) - s;
            else if (to == n)
                lineEnd = n;
            else
                clearTo = to;
        }
        if (start > 0) starts.Add(static_cast<int>(start));
        if (lineEnd >= start && start + width >= lineEnd) {
            start = lineEnd + 1;  // the rest of the source line fits, its line feed included
            brokeLast = false;
        } else {
            long long q = start + width;
            while (q >= start && !IsBreak(s[q])) --q;
            if (q < start) return -1;
            start = q + 1;
            ++breaks;
            brokeLast = true;
        }
    }
    const int lines = static_cast<int>(starts.GetSize()) + 1;

    const int pad = indent > 0 ? indent : 0;
    const long long length = n + breaks + static_cast<long long>(pad) * (lines - 1);
    if (length > INT_MAX) AfxThrowMemoryException();  // no string holds it
    char* const buffer = text->GetBuffer(static_cast<int>(length));
    int to = static_cast<int>(length);
    if (brokeLast) buffer[--to] = '\n';
    int end = n;
    for (int i = lines - 2; i >= 0; --i) {
        const int lineStart = starts[i];
        // Every later line starts just after a line feed of the text or just
        // after a break, which is never a line feed (a line stops at its own).
        const bool broken = buffer[lineStart - 1] != '\n';
        to -= end - lineStart;
        std::memmove(buffer + to, buffer + lineStart, static_cast<std::size_t>(end - lineStart));
        to -= pad;
        std::memset(buffer + to, ' ', static_cast<std::size_t>(pad));
        if (broken) buffer[--to] = '\n';
        end = lineStart;
    }
    text->ReleaseBuffer(static_cast<int>(length));
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
