// One line of comma-separated values into cells, and the file entry that reads
// nothing.
#include <zuvuvur/csv.h>

#include <bit>
#include <cstdint>
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
[[gnu::noinline]] int UnquoteCsvCell(char* p, int* length) {
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
        for (int i = 1; i <= n - 2; ++i) {
            const char c = p[i];
            p[out++] = c;
            if (c != kQuote) continue;
            // A doubled quote, read as a pair even when its second quote is
            // the cell's last character, which then closes the cell as well.
            if (p[i + 1] != kQuote) {
                --out;
                result = -1;
                break;
            }
            ++i;
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

// How far a cell can be read: the splitter's working buffer is padded so that
// 32 bytes can be read from any token in it.
constexpr int kSpan = 32;

// The quotes among the 32 bytes at `p`, a bit a byte (bit i: byte i). A word
// at a time: the exact zero-byte test on the word XOR '"' sets the high bit of
// each quote byte, and a multiplication gathers those eight bits.
std::uint32_t QuoteMask(const char* p) {
    constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
    std::uint64_t w[kSpan / 8];
    std::memcpy(w, p, sizeof w);
    std::uint32_t mask = 0;
    for (int i = 0; i < kSpan / 8; ++i) {
        const std::uint64_t x = w[i] ^ 0x2222222222222222ull;
        const std::uint64_t high = ~(((x & kLow7) + kLow7) | x) & ~kLow7;
        mask |= static_cast<std::uint32_t>(((high >> 7) * 0x0102040810204080ull) >> 56) << (8 * i);
    }
    return mask;
}

// Unquotes each cell as the splitter cuts it. With ',' and QUOTE_MODE_ANGLE
// the splitter hands over every cell exactly as found, and only a cell that
// holds a quote, or is a lone line feed, comes out of UnquoteCsvCell changed.
// The splitter tells most cells without a quote. For a short cell the quotes
// are found a word at a time: "text" is its text where it stands, and "text
// ""with"" pairs" is put together in the unquoter's own room, so that the
// working buffer is only read; anything else goes through UnquoteCsvCell.
class CsvUnquoter {
  public:
    static constexpr bool kWantsQuotes = true;

    int Refine(char*& cell, int length, const std::uint64_t* known) {
        std::uint64_t quotes = 0;
        if (known != nullptr) {
            quotes = *known;
        } else if (std::endian::native == std::endian::little && length < kSpan) {
            quotes = QuoteMask(cell) & ((std::uint64_t{1} << length) - 1);
        } else {
            if (std::memchr(cell, kQuote, static_cast<std::size_t>(length)) != nullptr ||
                (length == 1 && cell[0] == '\n'))
                UnquoteCsvCell(cell, &length);
            return length;
        }
        // The common quoted cell, "text" with no quote inside, is its text
        // where it stands, taken without a branch.
        const std::uint64_t ends = (std::uint64_t{1} << ((length - 1) & 63)) | 1;
        const int plain = static_cast<int>(length >= 2) & static_cast<int>(quotes == ends);
        // A lone line feed; the cell can be read whatever its length.
        const int feed = static_cast<int>(length == 1) & static_cast<int>(cell[0] == '\n');
        if (((quotes != 0) & (plain == 0)) | (feed != 0)) {
            if (quotes == 0 || !JoinPairs(cell, length, quotes, ends))
                UnquoteCsvCell(cell, &length);  // a malformed cell keeps its partial content
            return length;
        }
        cell += plain;
        return length - 2 * plain;
    }

  private:
    // A quoted cell of `length` bytes (its quotes in `quotes`, `ends` the bits
    // of its first and last byte) whose inner quotes all come in doubled pairs:
    // joined in the room here, `cell` pointed at it and `length` set. False,
    // with nothing changed, for any other cell.
    bool JoinPairs(char*& cell, int& length, std::uint64_t quotes, std::uint64_t ends) {
        if (length < 2 || length >= kSpan || (quotes & ends) != ends) return false;
        const auto inner = static_cast<std::uint32_t>(quotes & ~ends);
        int out = 0;
        int from = 1;
        for (std::uint32_t left = inner; left != 0; left &= left - 1) {
            const int quote = std::countr_zero(left);
            if ((left & (std::uint32_t{2} << quote)) == 0) return false;  // a lone quote
            left &= ~(std::uint32_t{1} << quote);
            // A block of kSpan bytes, of which the run up to and with the first quote counts.
            std::memcpy(room_ + out, cell + from, kSpan);
            out += quote + 1 - from;
            from = quote + 2;
        }
        std::memcpy(room_ + out, cell + from, kSpan);
        out += length - 1 - from;
        cell = room_;
        length = out;
        return true;
    }

    char room_[3 * kSpan];  // a joined cell and the kSpan bytes that may be read from it
};

}  // namespace

int kxutilsTokenizeOneCSVLine(const char* line, CStringArray* cells) {
    // Counting would give 0 only for an empty line; any other line has cells
    // and nowhere to put them.
    if (cells == nullptr) return line != nullptr && *line == '\0' ? 0 : -1;
    int state = 0;
    // The cells are unquoted on the way into the array rather than in it
    // afterwards: the same cells, without a second walk over them.
    CsvUnquoter unquote;
    return SplitTokens(line, cells, ',', &state, QUOTE_MODE_ANGLE, 0, unquote);
}

int kxu_tokenize_one_csv_line(const char* line, CHostObject* cells) {
    return kxutilsTokenizeOneCSVLine(line, HostStringArray(cells));
}

int kxutilsReadCSVFile(const char*, CStringArray, int, int) { return 1; }
