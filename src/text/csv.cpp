// One line of comma-separated values into cells, and the file entry that reads
// nothing.
#include <zuvuvur/csv.h>

#include <cstring>

#include <zuvuvur/tokens.h>

#include "frame/bridge.h"
#include "text/tokens_split.h"

namespace {

constexpr char kQuote = '"';

// Undoes the quoting of one cell of `*length` bytes in place and sets
// `*length` to what is kept. Returns the new length, or -1 for a lone quote
// inside the cell, -2 for a quoted cell without its closing quote; the cell
// then keeps what was read before the fault.
int UnquoteCsvCell(char* p, int* length) {
    const int n = *length;
    int out = 0;
    int result = 0;
    if (n == 0 || (n == 1 && p[0] == '\n')) {
        result = 0;
    } else {
        // The result is never longer than the text read so far, so it is
        // written over the cell from the front.
        const char last = p[n - 1];
        const bool quoted = p[0] == kQuote;
        out = quoted ? 0 : 1;
        result = 1;  // becomes the length unless a fault comes first
        for (int i = 1; i <= n - 2 && result > 0; ++i) {
            if (p[i] != kQuote) {
                p[out++] = p[i];
            } else if (p[i + 1] == kQuote) {
                // A doubled quote, read as a pair even when its second quote is
                // the cell's last character, which then closes the cell as well.
                p[out++] = kQuote;
                ++i;
            } else {
                result = -1;
            }
        }
        if (result > 0) {
            if (quoted && last != kQuote)
                result = -2;
            else if (!quoted && n >= 2 && last != kQuote)
                p[out++] = last;
        }
        if (result > 0) result = out;
    }
    p[out] = '\0';
    *length = out;
    return result;
}

// Unquotes each cell as the splitter cuts it. With ',' and QUOTE_MODE_ANGLE
// the splitter hands over every cell exactly as found, one comma after the
// other, so the line itself tells which cells hold a quote or a line feed;
// only those can change, and the others are passed through untouched.
class CsvUnquoter final : public TokenRefiner {
  public:
    explicit CsvUnquoter(const char* line) : at_(line), next_(std::strpbrk(line, "\"\n")) {}

    int Refine(char* cell, int length) override {
        const char* end = at_ + length;  // the cell's comma in the line, or its NUL
        if (next_ != nullptr && next_ < end) {
            UnquoteCsvCell(cell, &length);  // a malformed cell keeps its partial content
            next_ = std::strpbrk(end, "\"\n");
        }
        at_ = end + 1;
        return length;
    }

  private:
    const char* at_;    // where the next cell starts in the line
    const char* next_;  // the next quote or line feed in the line at or after it, or null
};

}  // namespace

int kxutilsTokenizeOneCSVLine(const char* line, CStringArray* cells) {
    // Counting would give 0 only for an empty line; any other line has cells
    // and nowhere to put them.
    if (cells == nullptr) return line != nullptr && *line == '\0' ? 0 : -1;
    int state = 0;
    // The cells are unquoted on the way into the array rather than in it
    // afterwards: the same cells, without a second walk over them.
    CsvUnquoter unquote(line != nullptr ? line : "");
    return SplitTokens(line, cells, ',', &state, QUOTE_MODE_ANGLE, 0, &unquote);
}

int kxu_tokenize_one_csv_line(const char* line, CHostObject* cells) {
    return kxutilsTokenizeOneCSVLine(line, HostStringArray(cells));
}

int kxutilsReadCSVFile(const char*, CStringArray, int, int) { return 1; }
