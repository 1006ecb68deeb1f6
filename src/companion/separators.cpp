// Tokenizing primitives of Kxtl9_64: the separator searches, white-space skipping, pair
// stripping, CSV unquoting, the angle-bracket switch and the byte classes.
//
// Example, as the token splitter uses them on the writable buffer `a,"b,c",(d,e)`:
//
//     find_separator(buf, ',', FS_QUOTES, &state)      -> buf + 1  (state 0)
//     find_separator(buf + 2, ',', FS_QUOTES, &state)  -> buf + 7  (the quoted comma is skipped)
//     find_separator(buf + 8, ',', FS_QUOTES, &state)  -> null     (so is the bracketed one)
//
// Every operation works inside the caller's buffer, never reads past its terminating NUL and
// runs in time linear in the length of the text it looks at.
#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "kxplatform.h"
#include "kxtl.h"

namespace kxtl {
namespace {

// The one piece of process-wide state the library keeps: whether '<' ... '>' count as brackets
// in the separator searches. The token splitter turns it on for a call and restores it.
int g_angleBrackets = 0;

constexpr char kQuote = '"';

// The six white-space bytes: space, tab, line feed, vertical tab, form feed, carriage return.
// 0xA0 (no-break space) is deliberately not among them: it joins words.
bool is_white(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// The closer of bracket opener `c` ("(", "[", "{" or "<"), or 0 for any other byte. Asked for
// nearly every byte a search reads, so it is a switch rather than a library call.
char bracket_closer(char c) {
    switch (c) {
        case '(':
            return ')';
        case '[':
            return ']';
        case '{':
            return '}';
        case '<':
            return '>';
        default:
            return '\0';
    }
}

// What one separator search honours; fixed for the whole scan.
struct Rules {
    unsigned char separator;  // 0: any white-space byte
    const char* extra;        // further separator bytes, or null
    unsigned char escape;     // 0: none
    bool quotes;              // double-quoted stretches protect their separators
    bool brackets;            // (), [], {} protect theirs
    bool angles;              // and so do <> (only together with `brackets`)

    bool is_separator(unsigned char c) const {
        if (separator == 0 ? is_white(c) : c == separator) return true;
        return extra != nullptr && std::strchr(extra, c) != nullptr;
    }

    // The closer that matches opener `c`, or 0 when `c` opens nothing under these rules.
    char closer_of(unsigned char c) const {
        if (quotes && c == kQuote) return kQuote;
        if (!brackets) return 0;
        const char closer = bracket_closer(static_cast<char>(c));
        return closer == '>' && !angles ? 0 : closer;
    }
};

// A stack whose first levels live in the object itself, so that ordinary text never allocates;
// deeper nesting spills into a vector. push may throw std::bad_alloc.
template <class T, std::size_t kInline>
class SmallStack {
  public:
    SmallStack() = default;
    SmallStack(const SmallStack&) = delete;
    SmallStack& operator=(const SmallStack&) = delete;

    bool empty() const { return size_ == 0; }
    std::size_t size() const { return size_; }
    T& top() { return data_[size_ - 1]; }
    const T& bottom() const { return data_[0]; }
    void pop() { --size_; }
    void push(const T& value) {
        if (size_ == capacity_) grow();
        data_[size_++] = value;
    }

  private:
    // The new block is left unwritten beyond what is copied: a deep stack of a long text
    // touches only the pages it reaches.
    void grow() {
        auto bigger = std::make_unique_for_overwrite<T[]>(capacity_ * 2);
        std::memcpy(bigger.get(), data_, size_ * sizeof(T));
        heap_ = std::move(bigger);
        data_ = heap_.get();
        capacity_ *= 2;
    }

    T inline_[kInline];
    std::unique_ptr<T[]> heap_;
    T* data_ = inline_;
    std::size_t capacity_ = kInline;
    std::size_t size_ = 0;
};

// The groups still open during a scan: the closer each waits for, one byte a level, and the
// first separator met directly inside a group (the one that counts should the group never
// close), kept apart for the few groups that have one; a level's high bit says it has one
// (every closer is ASCII). Of the groups open at once, an outer one's separator comes before
// an inner one's opener, so the earliest pending separator is the outermost one's.
class GroupStack {
  public:
    bool empty() const { return closers_.empty(); }
    char top() { return static_cast<char>(closers_.top() & ~kWaiting); }
    void push(char closer) { closers_.push(static_cast<unsigned char>(closer)); }
    void pop() {
        if ((closers_.top() & kWaiting) != 0) pending_.pop();
        closers_.pop();
    }
    // A separator met directly inside the innermost group: kept when it is its first.
    void wait(char* separator) {
        if ((closers_.top() & kWaiting) != 0) return;
        pending_.push(separator);
        closers_.top() |= kWaiting;
    }
    // The earliest separator pending in any group that is still open, or null.
    char* earliest_pending() const { return pending_.empty() ? nullptr : pending_.bottom(); }

  private:
    static constexpr unsigned char kWaiting = 0x80;
    SmallStack<unsigned char, 64> closers_;
    SmallStack<char*, 8> pending_;
};

// The plain search, used only when the group stack cannot grow: the first separator byte that
// is not escaped. Nothing is protected, so no separator is lost.
char* scan_plain(char* text, const Rules& rules) {
    for (char* p = text; *p != '\0'; ++p) {
        const auto c = static_cast<unsigned char>(*p);
        if (rules.escape != 0 && c == rules.escape) {
            if (p[1] != '\0') ++p;
            continue;
        }
        if (rules.is_separator(c)) return p;
    }
    return nullptr;
}

// Bytes that can open or close a group under some rules, and the NUL. The search skips every
// other byte in a tight loop when the separator is one plain byte.
constexpr auto kGroupBytes = [] {
    std::array<bool, 256> bytes{};
    for (unsigned char c : {'\0', '"', '(', ')', '[', ']', '{', '}', '<', '>'}) bytes[c] = true;
    return bytes;
}();

// The one-pass search behind all three separator operations. A separator met outside every
// group is the answer at once. One met inside a group waits as that group's pending separator:
// when the group closes it was protected and is forgotten; when the text ends with the group
// still open, the group protected nothing and the earliest pending separator is the answer.
// Each byte is looked at once, so "((((((((," costs no more than "abcdefgh,".
char* scan(char* text, const Rules& given, int* unclosed) {
    const Rules rules = given;  // a copy the compiler may keep in registers across the pushes
    const bool plainSeparator = rules.separator != 0 && rules.extra == nullptr && rules.escape == 0;
    GroupStack open;
    for (char* p = text;; ++p) {
        if (plainSeparator)
            while (static_cast<unsigned char>(*p) != rules.separator &&
                   !kGroupBytes[static_cast<unsigned char>(*p)])
                ++p;
        const auto c = static_cast<unsigned char>(*p);
        if (c == '\0') break;
        // The escape comes first: neither it nor the byte after it is a separator, quote or
        // bracket. An escape right before the NUL escapes nothing and the loop ends there.
        if (rules.escape != 0 && c == rules.escape) {
            if (p[1] != '\0') ++p;
            continue;
        }
        // A separator byte is only ever a separator, even when it could open or close a group.
        if (rules.is_separator(c)) {
            if (open.empty()) {
                *unclosed = 0;
                return p;
            }
            open.wait(p);
            continue;
        }
        if (!open.empty() && open.top() == kQuote) {
            // Inside a quoted stretch only the quote matters. A doubled quote "" needs no rule
            // of its own: it closes the stretch and at once opens the next, with nothing in
            // between that could be a separator, so the stretch goes on as one.
            if (c == kQuote) open.pop();
            continue;
        }
        if (const char closer = rules.closer_of(c); closer != 0) {
            open.push(closer);
        } else if (!open.empty() && open.top() == static_cast<char>(c)) {
            open.pop();  // a closer that does not match the innermost group is an ordinary byte
        }
    }
    *unclosed = open.empty() ? 0 : 1;
    return open.earliest_pending();
}

// The NUL and the bytes that may open a group under some rules.
constexpr auto kMayOpen = [] {
    std::array<bool, 256> bytes{};
    for (unsigned char c : {'\0', '"', '(', '[', '{', '<'}) bytes[c] = true;
    return bytes;
}();

// The search for one plain separator byte (no escape, no extra set) up to the first bracket
// that opens a group. Most tokens hold no bracket, and until one opens, no stack is needed:
// outside every group a separator is the answer and a closer is an ordinary byte, and inside a
// quoted stretch only the quote matters, with the stretch's first separator waiting in case
// the stretch is never closed. Answers and returns true, or returns false with `*text` moved
// to the bracket, from which the full scan answers as it would have from the start.
bool search_top_level(char*& text, const Rules& rules, char** found, int* unclosed) {
    const auto separator = static_cast<char>(rules.separator);
    char* p = text;
    for (;;) {
        while (*p != separator && !kMayOpen[static_cast<unsigned char>(*p)]) ++p;
        const char c = *p;
        if (c == separator || c == '\0') {
            *found = c == '\0' ? nullptr : p;
            *unclosed = 0;
            return true;
        }
        if (c == kQuote && rules.quotes) {
            char* waiting = nullptr;
            for (++p; *p != kQuote && *p != '\0'; ++p)
                if (*p == separator && waiting == nullptr) waiting = p;
            if (*p == '\0') {
                *found = waiting;
                *unclosed = 1;
                return true;
            }
        } else if (rules.closer_of(static_cast<unsigned char>(c)) != 0) {
            text = p;
            return false;
        }
        ++p;
    }
}

// The scan of a search that started at `text`, from `from` on, where nothing before has
// answered yet.
char* scan_from(char* text, char* from, const Rules& rules, int* unclosed) {
    try {
        return scan(from, rules, unclosed);
    } catch (const std::bad_alloc&) {
        // Nesting deeper than memory allows: fall back to the search that protects nothing.
        *unclosed = 1;
        return scan_plain(text, rules);
    }
}

// Inlined into each search operation, which then pays one call per token, not two.
[[gnu::always_inline]] inline char* search(char* text, const Rules& rules, int* state) {
    int unclosed = 0;
    char* found = nullptr;
    char* from = text;
    const bool plain = rules.separator != 0 && rules.extra == nullptr && rules.escape == 0;
    if (text != nullptr && (!plain || !search_top_level(from, rules, &found, &unclosed))) {
        found = scan_from(text, from, rules, &unclosed);
    }
    if (state != nullptr) *state = unclosed;
    return found;
}

// ---- The memo of a split ----------------------------------------------------------------------
//
// Where a group opened at p closes depends only on the bytes after p: while it is open it is the
// innermost group or holds the ones opened since, a closer that does not match the innermost is
// ordinary, and the escape parity starts afresh after an opener. So "the group at p closes at q"
// or "never closes", once learned, holds for every later search that meets p as an opener, from
// wherever it started. Any search that meets p treats it so when the byte is an opener under the
// same rules and p does not lie inside a quoted stretch of that search; the memo is recorded from
// the byte after an answer, the way the next search starts, so the two agree except behind a
// quote that never closes, and a search that meets an opener the memo does not know simply scans.

constexpr std::uint32_t kNever = 0xFFFFFFFFu;

// One opener met by the recording, at offset `open` from the recording's start, and where its
// group closes (kNever: it does not).
struct Opener {
    std::uint32_t open;
    std::uint32_t close;
};

struct MemoTable {
    Rules rules{};
    char* base = nullptr;  // where the recording started
    char* end = nullptr;   // the NUL it reached
    std::vector<Opener> openers;
    std::size_t cursor = 0;  // openers before it lie before the last lookup

    bool serves(const char* text, const Rules& given) const {
        return base != nullptr && text >= base && text <= end &&
               given.separator == rules.separator && given.extra == rules.extra &&
               given.escape == rules.escape && given.quotes == rules.quotes &&
               given.angles == rules.angles;
    }

    // The opener recorded at `p`, or null. Lookups mostly go forwards, so the cursor only moves
    // on; a lookup behind it searches afresh.
    const Opener* find(const char* p) {
        const auto at = static_cast<std::uint32_t>(p - base);
        if (cursor > 0 && openers[cursor - 1].open >= at) cursor = 0;
        while (cursor < openers.size() && openers[cursor].open < at) ++cursor;
        return cursor < openers.size() && openers[cursor].open == at ? &openers[cursor] : nullptr;
    }
};

// Records, from `from` to the NUL, where each group opens and closes. Throws std::bad_alloc;
// the table is then left empty. A line of hostile brackets holds an opener every few bytes, so
// the list is made once at the size a first count gives, and the groups still open need no
// stack of their own: while a group is open its `close` holds the index of the group around it
// (kNever for none), and the groups left open at the end are marked along that chain.
void record(MemoTable& table, char* from, const Rules& rules) {
    table.base = nullptr;
    table.openers.clear();
    table.cursor = 0;
    const std::size_t length = std::strlen(from);
    if (length >= kNever) return;  // offsets are 32 bits; such a text goes without a memo
    std::array<unsigned char, 256> opens{};
    for (unsigned char& entry : opens)
        entry = rules.closer_of(static_cast<unsigned char>(&entry - opens.data())) != 0;
    std::size_t count = 0;
    for (const char* p = from; *p != '\0'; ++p) count += opens[static_cast<unsigned char>(*p)];
    table.openers.reserve(count);
    std::uint32_t inner = kNever;  // the innermost open group
    for (char* p = from; *p != '\0'; ++p) {
        const auto c = static_cast<unsigned char>(*p);
        if (rules.escape != 0 && c == rules.escape) {
            if (p[1] != '\0') ++p;
            continue;
        }
        if (rules.is_separator(c)) continue;
        const auto at = static_cast<std::uint32_t>(p - from);
        if (inner != kNever) {
            Opener& group = table.openers[inner];
            const char closer = rules.closer_of(static_cast<unsigned char>(from[group.open]));
            if (closer == kQuote ? c == kQuote : c == static_cast<unsigned char>(closer)) {
                inner = group.close;
                group.close = at;
                continue;
            }
            if (closer == kQuote) continue;
        }
        if (opens[c] != 0) {
            table.openers.push_back(Opener{at, inner});
            inner = static_cast<std::uint32_t>(table.openers.size() - 1);
        }
    }
    while (inner != kNever) {
        Opener& group = table.openers[inner];
        inner = group.close;
        group.close = kNever;
    }
    table.rules = rules;
    table.base = from;
    table.end = from + length;
}

// Keeps what a search that read past its answer learned: the recording starts where the next
// search will. Without memory the memo is simply not kept.
void remember(SeparatorMemo* memo, char* found, const Rules& rules) {
    try {
        auto* table = static_cast<MemoTable*>(memo->groups);
        if (table == nullptr) memo->groups = table = new MemoTable;
        record(*table, found + 1, rules);
    } catch (const std::bad_alloc&) {
        release_separator_memo(memo);
    }
}

// The search over a text whose openers the memo knows: a group that closes is passed over at
// once; inside a group that never closes the first separator is the answer, as it would be the
// first one pending when the text ends. An opener the memo does not know is scanned for.
char* walk(char* text, const Rules& rules, SeparatorMemo* memo, int* unclosed) {
    MemoTable& table = *static_cast<MemoTable*>(memo->groups);
    const bool plainSeparator = rules.separator != 0 && rules.extra == nullptr && rules.escape == 0;
    bool inside = false;  // in a group that never closes
    for (char* p = text;; ++p) {
        if (plainSeparator)
            while (static_cast<unsigned char>(*p) != rules.separator &&
                   !kMayOpen[static_cast<unsigned char>(*p)])
                ++p;
        const auto c = static_cast<unsigned char>(*p);
        if (c == '\0') {
            *unclosed = inside ? 1 : 0;
            return nullptr;
        }
        if (rules.escape != 0 && c == rules.escape) {
            if (p[1] != '\0') ++p;
            continue;
        }
        if (rules.is_separator(c)) {
            *unclosed = inside ? 1 : 0;
            return p;
        }
        if (rules.closer_of(c) == 0) continue;  // closers too: none can match an open group here
        const Opener* opener = table.find(p);
        if (opener == nullptr) {
            // From here on the scan answers as the whole search would. The walk cannot be inside
            // a group here: the recording met that group's opener as this walk did, and from a
            // group that never closes on, both read every byte alike, so they know the same
            // openers.
            char* found = scan_from(text, p, rules, unclosed);
            if (found != nullptr && *unclosed != 0) remember(memo, found, rules);
            return found;
        }
        if (opener->close != kNever) {
            p = table.base + opener->close;
        } else if (c == kQuote) {
            // Nothing after a quote that never closes is a quote, and no bracket counts in it.
            *unclosed = 1;
            return scan_plain(p + 1, rules);
        } else {
            inside = true;
        }
    }
}

// The rules of find_separator and find_separator_ex. (The plain search does not go through the
// exported extended one: it runs once per token, and a call between exports costs a jump
// through the symbol table.)
Rules separator_rules(int separator, int options, int escape, const char* extra) {
    Rules rules{};
    rules.separator = static_cast<unsigned char>(separator);
    rules.extra = extra;
    rules.escape = static_cast<unsigned char>(escape);
    rules.quotes = (options & FS_QUOTES) != 0;
    rules.brackets = true;
    rules.angles = g_angleBrackets != 0;
    return rules;
}

// ---- The answers ahead --------------------------------------------------------------------------
//
// For one plain separator byte, the answers of a split's searches are the separators that stand
// outside every quoted stretch, as long as no bracket opens: a search that starts right after
// the answer before starts outside every stretch too. The memo reads the text 64 bytes at a
// time into bit masks, one bit a byte: the separators, the quotes, the brackets that open.
// Whether a byte lies inside a stretch is the parity of the quotes up to it, a prefix XOR of
// the quote mask; the separators outside make the window's answers, and a search takes the
// lowest one left. The list stops at the first bracket outside a stretch, and at the end of a
// text whose last quote never closes; from there on the searches answer as any other does.

constexpr std::uint32_t kInQuote = 1;  // the window ends inside a quoted stretch
constexpr std::uint32_t kStopped = 2;  // a bracket, or a quote that never closes, ends the list

std::uint32_t list_key(unsigned char separator, bool quotes, bool angles) {
    return separator | (quotes ? 0x100u : 0) | (angles ? 0x200u : 0) | 0x400u;
}

// Each bit of the result: the parity of the bits of `bits` at and below it.
std::uint64_t prefix_parity(std::uint64_t bits) {
    for (int shift = 1; shift < 64; shift *= 2) bits ^= bits << shift;
    return bits;
}

// The three masks of up to 64 bytes from `p`, a bit a byte. The quotes are all the quote bytes
// that are not separators, whether the rules honour quotes or not.
struct Masks {
    std::uint64_t separators = 0, quotes = 0, opens = 0;
};

// A byte at a time: short texts, and everything on a processor without wide comparisons.
Masks read_bytes(const char* p, int length, char separator, bool angles) {
    Masks m;
    for (int i = 0; i < length; ++i) {
        const char c = p[i];
        const std::uint64_t bit = std::uint64_t{1} << i;
        if (c == separator) {
            m.separators |= bit;  // a byte equal to the separator is only ever a separator
        } else if (c == kQuote) {
            m.quotes |= bit;
        } else if (c == '(' || c == '[' || c == '{' || (c == '<' && angles)) {
            m.opens |= bit;
        }
    }
    return m;
}

#if defined(__SSE2__)
// Sixteen bytes at a time. A window's last block, when it is short, is read as the sixteen
// bytes that end where the window does, the ones before it left out, so that nothing past the
// text is read; the caller makes sure those sixteen lie in the text.
Masks read_blocks(const char* p, int length, char separator, bool angles) {
    // A rule that is off compares with the separator a second time, which adds nothing.
    const __m128i sep = _mm_set1_epi8(separator);
    const __m128i quote = _mm_set1_epi8(kQuote);
    const __m128i angle = _mm_set1_epi8(angles ? '<' : separator);
    const __m128i round = _mm_set1_epi8('('), square = _mm_set1_epi8('['),
                  curly = _mm_set1_epi8('{');
    Masks m;
    for (int at = 0; at < length; at += 16) {
        const int back = length - at >= 16 ? 0 : 16 - (length - at);
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + at - back));
        const auto seps = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, sep)));
        const auto quoteBits =
            static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, quote)));
        const auto opens = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_or_si128(
            _mm_or_si128(_mm_cmpeq_epi8(bytes, round), _mm_cmpeq_epi8(bytes, square)),
            _mm_or_si128(_mm_cmpeq_epi8(bytes, curly), _mm_cmpeq_epi8(bytes, angle)))));
        m.separators |= std::uint64_t{seps >> back} << at;
        m.quotes |= std::uint64_t{(quoteBits & ~seps) >> back} << at;
        m.opens |= std::uint64_t{(opens & ~seps) >> back} << at;
    }
    return m;
}
#endif

// Reads the next window, from where the last one ended, into the memo's answers.
void list_window(SeparatorMemo* memo) {
    const auto separator = static_cast<char>(memo->key & 0xFF);
    const bool quotes = (memo->key & 0x100) != 0;
    const bool angles = (memo->key & 0x200) != 0;
    char* p = memo->scanned;
    const int length = static_cast<int>(std::min<std::ptrdiff_t>(memo->end - p, 64));
#if defined(__SSE2__)
    const Masks m = length >= 16 || p - memo->base >= 16 - length
                        ? read_blocks(p, length, separator, angles)
                        : read_bytes(p, length, separator, angles);
#else
    const Masks m = read_bytes(p, length, separator, angles);
#endif
    const std::uint64_t inside = prefix_parity(quotes ? m.quotes : 0) ^
                                 ((memo->flags & kInQuote) != 0 ? ~std::uint64_t{0} : 0);
    std::uint64_t answers = m.separators & ~inside;
    const std::uint64_t opensOutside = m.opens & ~inside;
    memo->window = p;
    memo->quotes = m.quotes;
    if (opensOutside != 0) {
        const int at = std::countr_zero(opensOutside);
        answers &= (std::uint64_t{1} << at) - 1;
        memo->scanned = p + at;
        memo->flags = kStopped;
    } else {
        memo->scanned = p + length;
        const bool inQuote = length > 0 && ((inside >> (length - 1)) & 1) != 0;
        memo->flags =
            (inQuote ? kInQuote : 0) | (inQuote && memo->scanned == memo->end ? kStopped : 0);
    }
    memo->answers = answers;
}

// Starts the list of a split at `text`: its end is measured once, and a later start inside the
// same text keeps it.
void start_list(SeparatorMemo* memo, char* text, std::uint32_t key) {
    if (memo->base == nullptr || text < memo->base || text > memo->end) {
        // A caller that knows where the text ends may have said so.
        memo->end = memo->base == nullptr && memo->end != nullptr && memo->end >= text
                        ? memo->end
                        : text + std::strlen(text);
        memo->base = text;
    }
    memo->key = key;
    memo->scanned = text;
    memo->flags = 0;
    memo->answers = 0;
    // Until the list gives an answer, no start is the next one of its split: a start left over
    // from a list under other rules would take this list's end for that start's answer.
    memo->expect = nullptr;
}

// The search of a plain separator byte from where the list stands. False: the list cannot
// answer it.
bool listed_answer(SeparatorMemo* memo, char** found) {
    for (;;) {
        if (memo->answers != 0) {
            *found = memo->window + std::countr_zero(memo->answers);
            memo->answers &= memo->answers - 1;
            memo->expect = *found + 1;
            return true;
        }
        if ((memo->flags & kStopped) != 0) return false;
        if (memo->scanned >= memo->end) {
            *found = nullptr;
            return true;
        }
        list_window(memo);
    }
}

// The search of find_separator_memo past its shortcut.
[[gnu::noinline]] char* search_memo(char* text, int separator, int options, int* state, int escape,
                                    const char* extra, SeparatorMemo* memo) {
    const Rules rules = separator_rules(separator, options, escape, extra);
    if (memo == nullptr || text == nullptr) return search(text, rules, state);
    if (rules.separator != 0 && rules.escape == 0 && rules.extra == nullptr) {
        // The list answers a search that starts where the split's next one does; any other
        // start, or other rules, starts it afresh.
        const std::uint32_t key = list_key(rules.separator, rules.quotes, rules.angles);
        if (memo->base == nullptr || memo->key != key || memo->expect != text)
            start_list(memo, text, key);
        char* found = nullptr;
        if (listed_answer(memo, &found)) {
            if (state != nullptr) *state = 0;
            return found;
        }
        memo->expect = nullptr;  // what follows is answered below; the next search starts anew
    }
    int unclosed = 0;
    char* found = nullptr;
    auto* table = static_cast<MemoTable*>(memo->groups);
    if (table != nullptr && table->serves(text, rules)) {
        found = walk(text, rules, memo, &unclosed);
    } else {
        found = search(text, rules, &unclosed);
        // Past an answer held by a group that never closes, the search read the whole text.
        if (found != nullptr && unclosed != 0) remember(memo, found, rules);
    }
    if (state != nullptr) *state = unclosed;
    return found;
}

}  // namespace

extern "C" {

// ---- Separator searches ---------------------------------------------------------------------
//
// find_separator(text, separator, options, state)
//   Returns the first separator of `text` that no group protects, as a pointer into the same
//   buffer, or null when there is none or `text` is null.
//   - `separator` (low 8 bits): the separator byte; 0 means white space (space, \t, \n, \v, \f,
//     \r; not 0xA0), and the result is then the first byte of the next white-space run.
//   - Groups: balanced (), [] and {} always; <> only while set_parenth_use_angle_brackets is on;
//     with FS_QUOTES (64) in `options` also "..." stretches, in which "" stays inside and
//     brackets are ordinary bytes. Groups nest; a closer that does not match the innermost open
//     group is an ordinary byte. Outside FS_QUOTES a quote is an ordinary byte.
//   - A separator inside a group that is closed later is skipped. An opener that is never closed
//     protects nothing: the separators after it are still found ("(a,b" -> the comma).
//   - A byte equal to the separator is always a separator, never an opener or closer.
//   - `state`, when not null, receives 1 when the scan ended with a quote or bracket still open
//     (the text was unbalanced), 0 otherwise (null text included). It describes only the bytes
//     scanned: a search that stops at a separator outside every group reports 0 (`a,(b` -> 1,
//     state 0), whatever follows.
//   - Other option bits are ignored. One pass, linear in the bytes scanned; never reads past the
//     NUL. Nesting deeper than 64 levels takes heap memory; should that fail, the search falls
//     back to the first unescaped separator byte, protecting nothing (state 1).
//   Examples (',' and FS_QUOTES): `a,b` -> 1; `"a,b",c` -> 5; `f(a,b),c` -> 6; `(a,b` -> 2
//   with state 1; `a"b,c` -> 3 with state 1; `x]y,z` -> 3.
char* find_separator(char* text, int separator, int options, int* state) {
    return search(text, separator_rules(separator, options, 0, nullptr), state);
}

// find_separator_ex(text, separator, options, state, escape, extra)
//   As find_separator, plus:
//   - `escape` (low 8 bits; 0 for none): the escape byte and the byte after it are ordinary
//     bytes, never separators, quotes or brackets, also inside quoted stretches. An escape
//     right before the NUL escapes nothing. The escape takes precedence over every other role.
//   - `extra`: a NUL-terminated set of further separator bytes (null for none); they count in
//     addition to `separator`, white-space mode included.
//   Examples (',' and FS_QUOTES): escape '\\' and `a\,b,c` -> 4; extra ";" and `a;b,c` -> 1.
char* find_separator_ex(char* text, int separator, int options, int* state, int escape,
                        const char* extra) {
    return search(text, separator_rules(separator, options, escape, extra), state);
}

// find_separator_memo(text, separator, options, state, escape, extra, memo)
//   As find_separator_ex, remembering in `memo` where the groups of the text close (kxtl.h states
//   the contract), so that the searches of one split together read each byte a bounded number of
//   times: "(a," repeated, searched separator after separator, costs one pass instead of one per
//   separator.
char* find_separator_memo(char* text, int separator, int options, int* state, int escape,
                          const char* extra, SeparatorMemo* memo) {
    // The next search of a split, whose answer is listed: answered in a few instructions, with
    // the rest out of line so that this needs no stack frame.
    if (memo != nullptr && text != nullptr && text == memo->expect && (escape & 0xFF) == 0 &&
        extra == nullptr &&
        memo->key == list_key(static_cast<unsigned char>(separator), (options & FS_QUOTES) != 0,
                              g_angleBrackets != 0)) {
        char* found = nullptr;
        if (memo->answers != 0) {
            found = memo->window + std::countr_zero(memo->answers);
            memo->answers &= memo->answers - 1;
            memo->expect = found + 1;
        } else if (memo->scanned < memo->end || (memo->flags & kStopped) != 0) {
            return search_memo(text, separator, options, state, escape, extra, memo);
        }
        if (state != nullptr) *state = 0;  // the text's last token: no separator is left
        return found;
    }
    return search_memo(text, separator, options, state, escape, extra, memo);
}

void release_separator_memo(SeparatorMemo* memo) {
    if (memo == nullptr) return;
    delete static_cast<MemoTable*>(memo->groups);
    memo->groups = nullptr;
    memo->base = nullptr;
}

// find_separator_alt(text, separator, quotes)
//   Brackets are ignored (the angle-bracket switch too). `quotes` nonzero: separators inside
//   "..." stretches are skipped, with the same rules as FS_QUOTES above ("" stays inside, an
//   unclosed quote protects nothing); `quotes` zero: the first occurrence. `separator` 0 means
//   white space as above. Null for a null text or when there is no separator.
//   Examples (','): `(a,b)` -> 2; with quotes, `"a,b",c` -> 5 and `"a,b` -> 2.
char* find_separator_alt(char* text, int separator, int quotes) {
    Rules rules{};
    rules.separator = static_cast<unsigned char>(separator);
    rules.quotes = quotes != 0;
    return search(text, rules, nullptr);
}

// ---- White space ----------------------------------------------------------------------------
//
// skip_white_space(text)
//   Returns the first byte of `text` that is not white space (the six bytes above) and cuts the
//   trailing white space in place by writing a NUL after the last non-white byte (nothing is
//   written when there is no trailing white space). Null when `text` is null or holds nothing
//   but white space, the empty text included; such a text is left unchanged.
//   Examples: `  a b \t` -> `a b` (NUL written at offset 5); `a` -> `a`; ` \r\n` -> null.
char* skip_white_space(char* text) {
    if (text == nullptr) return nullptr;
    while (is_white(static_cast<unsigned char>(*text))) ++text;
    if (*text == '\0') return nullptr;
    char* end = text + 1;  // one past the last non-white byte seen so far
    char* p = end;
    for (; *p != '\0'; ++p)
        if (!is_white(static_cast<unsigned char>(*p))) end = p + 1;
    if (end != p) *end = '\0';
    return text;
}

// skip_white_space_run(text)
//   Returns the first byte of `text` that is not white space; the text is not changed. Null when
//   `text` is null or the run reaches the end (empty or all-white text).
//   Examples: `  a ` -> `a `; `a` -> `a`; `` -> null; ` \t` -> null.
char* skip_white_space_run(char* text) {
    if (text == nullptr) return nullptr;
    while (is_white(static_cast<unsigned char>(*text))) ++text;
    return *text == '\0' ? nullptr : text;
}

// ---- Pairs and CSV quoting ------------------------------------------------------------------
//
// strip_enclosing_pair(text, flags)
//   When the token, exactly as given (no trimming), is at least 2 bytes long, starts with one of
//   " ' ( [ { < and ends with the matching closer (" ' ) ] } >), the closer is overwritten with
//   NUL and text + 1 is returned. Otherwise `text` comes back unchanged. Only the first and the
//   last byte are looked at: `(a)(b)` becomes `a)(b`. <> pairs are stripped whatever the
//   angle-bracket switch says. Null text -> null.
//   `flags` is read, never written (null reads as 0). Nonzero: after stripping a "..." or '...'
//   pair, each doubled enclosing quote inside becomes one (`"a""b"` -> `a"b`, `'it''s'` ->
//   `it's`); a lone quote inside stays. Whether a pair was removed is told by the result: it is
//   text + 1 then, text otherwise.
char* strip_enclosing_pair(char* text, int* flags) {
    if (text == nullptr) return nullptr;
    const char closer = text[0] == '"' || text[0] == '\'' ? text[0] : bracket_closer(text[0]);
    if (closer == '\0') return text;
    const std::size_t length = std::strlen(text);
    if (length < 2 || text[length - 1] != closer) return text;
    text[length - 1] = '\0';
    char* inner = text + 1;
    if (flags != nullptr && *flags != 0 && (closer == '"' || closer == '\'')) {
        char* out = inner;
        for (const char* in = inner; *in != '\0'; ++in) {
            *out++ = *in;
            if (*in == closer && in[1] == closer) ++in;
        }
        *out = '\0';
    }
    return inner;
}

// unquote_cell(text, flags, options)
//   Undoes CSV quoting in place. When `text` starts with '"': the opening quote is dropped,
//   each doubled quote "" becomes one ", and the first lone quote is the closing quote. The
//   content is written from text + 1 on, NUL-terminated, and text + 1 is returned.
//   - No closing quote: the content runs to the end (`"ab` -> `ab`; `"ab""` -> `ab"`, the last
//     pair being read as a doubled quote).
//   - Bytes after the closing quote (`"ab"x`): with 0x2000 in `options` they are kept, copied
//     unchanged after the content (`abx`; quotes among them are copied as they are), which is
//     how spreadsheet programs read such a cell; without 0x2000 they are dropped (`ab`).
//   - A text that does not start with '"' comes back unchanged (leading blanks are not skipped;
//     the token splitter trims first). Null text -> null.
//   `flags`, when not null, is written, never read: 0 for a null or unquoted text, otherwise
//   1 (quoted) plus 2 when bytes followed the closing quote, plus 4 when there was no closing
//   quote. So 1 means a well-formed quoted cell. Other option bits are ignored.
//   Examples: `"a,b"` -> `a,b` (1); `"d""e"` -> `d"e` (1); `""` -> `` (1); `"` -> `` (5);
//   `"ab"x` -> `ab` (3), with 0x2000 `abx` (3).
char* unquote_cell(char* text, int* flags, int options) {
    int outcome = 0;
    char* result = text;
    if (text != nullptr && text[0] == kQuote) {
        outcome = 1;
        const bool keepTail = (options & 0x2000) != 0;
        char* out = text + 1;
        const char* in = text + 1;
        for (;;) {
            if (*in == '\0') {
                outcome |= 4;
                break;
            }
            if (*in != kQuote) {
                *out++ = *in++;
            } else if (in[1] == kQuote) {
                *out++ = kQuote;
                in += 2;
            } else {
                ++in;  // the closing quote
                if (*in != '\0') {
                    outcome |= 2;
                    if (keepTail)
                        while (*in != '\0') *out++ = *in++;
                }
                break;
            }
        }
        *out = '\0';
        result = text + 1;
    }
    if (flags != nullptr) *flags = outcome;
    return result;
}

// ---- Switch and classes ---------------------------------------------------------------------
//
// set_parenth_use_angle_brackets(on)
//   Sets the process-wide angle-bracket switch (nonzero: on) and returns its previous setting
//   as 0 or 1. Initially 0. Unguarded: callers run in one thread.
int set_parenth_use_angle_brackets(int on) {
    const int previous = g_angleBrackets;
    g_angleBrackets = on != 0 ? 1 : 0;
    return previous;
}

// get_char_class(ch)
//   Class of the byte ch & 0xFF (so a sign-extended char, -128..-1, means 0x80..0xFF):
//   - CC_SPACE (8): exactly space, \t, \n, \v, \f, \r. Not 0xA0.
//   - CC_DIGIT (1): '0'..'9'.
//   - CC_UPPER (2) / CC_LOWER (4): the Windows-1252 letters by case (kxp::cp_is_upper,
//     cp_is_lower). The letters without case (0xAA ª, 0xBA º) are CC_LOWER, as Unicode's
//     Lowercase property has them, so (class & (CC_UPPER | CC_LOWER)) tests "is a letter".
//   - CC_CONTROL (32): the other bytes below 0x20 (NUL included) and 0x7F.
//   - CC_PUNCT (16): ASCII punctuation, !"#$%&'()*+,-./ :;<=>?@ [\]^_` {|}~.
//   - CC_OTHER (0): everything else, i.e. the non-letters from 0x80 up (0xA0, €, “, ×, ...).
int get_char_class(int ch) {
    const auto c = static_cast<unsigned char>(ch & 0xFF);
    if (is_white(c)) return CC_SPACE;
    if (c >= '0' && c <= '9') return CC_DIGIT;
    if (kxp::cp_is_upper(c)) return CC_UPPER;
    if (kxp::cp_is_lower(c) || kxp::cp_is_alpha(c)) return CC_LOWER;
    if (c < 0x20 || c == 0x7F) return CC_CONTROL;
    if (c < 0x80) return CC_PUNCT;  // what is left below 0x80 is ASCII punctuation
    return CC_OTHER;
}

}  // extern "C"

}  // namespace kxtl
