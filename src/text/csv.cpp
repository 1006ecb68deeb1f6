// One line of comma-separated values into cells, and the file entry that reads
// nothing.
#include <zuvuvur/csv.h>

#include <cstring>

#include <zuvuvur/tokens.h>

#include "frame/bridge.h"

namespace {

constexpr char kQuote = '"';

// Undoes the quoting of one cell in place. Returns the new length, or -1 for a
// lone quote inside the cell, -2 for a quoted cell without its closing quote;
// the cell then keeps what was read before the fault.
int UnquoteCsvCell(CString& cell) {
    const int n = cell.GetLength();
    if (n == 0) return 0;
    if (n == 1 && cell[0] == '\n') {
        cell.Empty();
        return 0;
    }
    // Most cells hold no quote at all, and for them the rules give back the
    // text unchanged: leave the string alone rather than rebuild it.
    if (std::memchr(static_cast<const char*>(cell), kQuote, static_cast<std::size_t>(n)) ==
        nullptr)
        return n;

    // The result is never longer than the text read so far, so it is written
    // over the cell's own buffer from the front.
    char* p = cell.GetBuffer();
    const char last = p[n - 1];
    const bool quoted = p[0] == kQuote;
    int out = quoted ? 0 : 1;
    for (int i = 1; i <= n - 2; ++i) {
        if (p[i] != kQuote) {
            p[out++] = p[i];
        } else if (p[i + 1] == kQuote) {
            // A doubled quote, read as a pair even when its second quote is
            // the cell's last character, which then closes the cell as well.
            p[out++] = kQuote;
            ++i;
        } else {
            cell.ReleaseBuffer(out);
            return -1;
        }
    }
    if (quoted) {
        if (last != kQuote) {
            cell.ReleaseBuffer(out);
            return -2;
        }
    } else if (n >= 2 && last != kQuote) {
        p[out++] = last;
    }
    cell.ReleaseBuffer(out);
    return out;
}

}  // namespace

int kxutilsTokenizeOneCSVLine(const char* line, CStringArray* cells) {
    // Counting would give 0 only for an empty line; any other line has cells
    // and nowhere to put them.
    if (cells == nullptr) return line != nullptr && *line == '\0' ? 0 : -1;
    int state = 0;
    const int count = kxutilsGetTokens(line, cells, ',', &state, QUOTE_MODE_ANGLE, 0);
    if (count < 1) return count;
    // A malformed cell keeps its partial content and still counts.
    for (int i = 0; i < count; ++i) UnquoteCsvCell(cells->ElementAt(i));
    return count;
}

int kxu_tokenize_one_csv_line(const char* line, CHostObject* cells) {
    return kxutilsTokenizeOneCSVLine(line, HostStringArray(cells));
}

int kxutilsReadCSVFile(const char*, CStringArray, int, int) { return 1; }
