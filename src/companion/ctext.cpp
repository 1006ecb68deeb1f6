// Kxtl9_64 — text transforms: keyword search, script-expression normalising,
// C-literal escaping and C-comment scanning.
//
// Every function reads its text only up to the terminating NUL and never writes
// outside the bytes it was given. None keeps state between calls: callers may
// modify the buffer freely between two calls.
#include "kxtl.h"

#include "kxplatform.h"

#include <bit>
#include <cstring>
#include <new>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kxtl {
namespace {

constexpr unsigned short kIgnoreCase = 0x1000;

// An expression word character, as in the caller's whole-word test:
// an ASCII digit, a letter of the code page, or one of $ % * : @ \ ^ _ ~.
bool is_word_char(unsigned char c) {
    if (c >= '0' && c <= '9') return true;
    if (kxp::cp_is_alpha(c)) return true;
    return c != 0 && std::strchr("$%*:@\\^_~", c) != nullptr;
}

// White space that is no part of a line break: a \r counts unless a line
// feed follows it.
bool is_blank_at(const char* p) {
    return *p == ' ' || *p == '\t' || *p == '\v' || *p == '\f' || (*p == '\r' && p[1] != '\n');
}

// The bytes that fold to the same byte as `c` under `lower` (the Windows-1252 case pairs are
// pairs: the byte itself and its other case), as `*first` and `*second` (the same when `c`
// has no other case).
void fold_partners(const unsigned char* lower, unsigned char c, unsigned char* first,
                   unsigned char* second) {
    *first = lower[c];
    const unsigned char upper = kxp::cp_to_upper(*first);
    *second = lower[upper] == *first ? upper : *first;
}

// Case-insensitive search up to the NUL: the candidates are the bytes that fold to the
// keyword's first byte, found with strchr or strpbrk; each is then compared byte by byte
// under the folding.
char* find_folded(const unsigned char* key, char* from) {
    const unsigned char* lower = kxp::cp_lower_table();
    unsigned char a = 0, b = 0;
    fold_partners(lower, key[0], &a, &b);
    const char accept[3] = {static_cast<char>(a), static_cast<char>(b), '\0'};
    char* p = from;
    for (;;) {
        p = a == b ? std::strchr(p, a) : std::strpbrk(p, accept);
        if (p == nullptr) return nullptr;
        const unsigned char* t = reinterpret_cast<const unsigned char*>(p);
        std::size_t i = 1;
        for (; key[i] != 0; ++i) {
            if (t[i] == 0) return nullptr;  // the text ends inside the keyword: no later match
            if (lower[t[i]] != lower[key[i]]) break;
        }
        if (key[i] == 0) return p;
        ++p;
    }
}

// The text's bytes as the search compares them: folded, or as they are.
struct Folding {
    const unsigned char* lower;  // null: exact
    unsigned char operator()(unsigned char c) const { return lower != nullptr ? lower[c] : c; }
};

// Knuth-Morris-Pratt from `p` to `end`, for keywords whose candidates keep matching far: each
// byte of the text is looked at a bounded number of times, whatever the keyword repeats.
// Null when the memory for its table is missing (the caller then goes on comparing).
const unsigned char* find_kmp(const unsigned char* key, std::size_t k, const unsigned char* p,
                              const unsigned char* end, Folding fold, bool* done) {
    std::vector<std::size_t> border;
    try {
        border.resize(k + 1);
    } catch (const std::bad_alloc&) {
        *done = false;
        return nullptr;
    }
    *done = true;
    border[0] = 0;
    border[1] = 0;
    for (std::size_t i = 1, b = 0; i < k; ++i) {
        while (b > 0 && fold(key[i]) != fold(key[b])) b = border[b];
        if (fold(key[i]) == fold(key[b])) ++b;
        border[i + 1] = b;
    }
    for (std::size_t m = 0; p < end; ++p) {
        while (m > 0 && fold(*p) != fold(key[m])) m = border[m];
        if (fold(*p) == fold(key[m])) ++m;
        if (m == k) return p + 1 - k;
    }
    return nullptr;
}

// The first position in [from, end) at or after which a byte equal to `a` or `b` stands, or
// `end`. Sixteen bytes at a time where the processor compares that many at once.
const unsigned char* find_either(const unsigned char* p, const unsigned char* end, unsigned char a,
                                 unsigned char b) {
#if defined(__SSE2__)
    const __m128i va = _mm_set1_epi8(static_cast<char>(a));
    const __m128i vb = _mm_set1_epi8(static_cast<char>(b));
    for (; end - p >= 16; p += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const int hits =
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(bytes, va), _mm_cmpeq_epi8(bytes, vb)));
        if (hits != 0) return p + std::countr_zero(static_cast<unsigned>(hits));
    }
#endif
    while (p < end && *p != a && *p != b) ++p;
    return p;
}

// The search of find_substring_in: from candidate to candidate for the keyword's first byte,
// each compared on; should the comparing come to more than twice the text passed, the rest
// goes to Knuth-Morris-Pratt, so that no keyword makes the search slower than linear.
char* find_bounded(const unsigned char* key, std::size_t k, unsigned char* from,
                   const unsigned char* end, Folding fold) {
    unsigned char a = key[0], b = key[0];
    if (fold.lower != nullptr) fold_partners(fold.lower, key[0], &a, &b);
    std::size_t compared = 0;
    for (const unsigned char* p = from; end - p >= static_cast<std::ptrdiff_t>(k);) {
        p = find_either(p, end - k + 1, a, b);
        if (end - p < static_cast<std::ptrdiff_t>(k)) break;
        std::size_t i = 1;
        while (i < k && fold(p[i]) == fold(key[i])) ++i;
        if (i == k) return const_cast<char*>(reinterpret_cast<const char*>(p));
        compared += i;
        if (compared > 2 * static_cast<std::size_t>(p - from) + 2 * k) {
            bool done = false;
            const unsigned char* hit = find_kmp(key, k, p + 1, end, fold, &done);
            if (done)
                return hit == nullptr ? nullptr
                                      : const_cast<char*>(reinterpret_cast<const char*>(hit));
            compared = 0;
        }
        ++p;
    }
    return nullptr;
}

// Length of the operator word AND, OR or NOT (any letter case) that starts at
// p, or 0. The caller checks the neighbours.
std::size_t operator_word_length(const unsigned char* p, const unsigned char* end) {
    static const char* const kWords[] = {"and", "or", "not"};
    for (const char* w : kWords) {
        const std::size_t n = std::strlen(w);
        if (static_cast<std::size_t>(end - p) < n) continue;
        std::size_t i = 0;
        while (i < n && (p[i] | 0x20) == static_cast<unsigned char>(w[i])) ++i;
        if (i == n) return n;
    }
    return 0;
}

// Past a string or character literal whose opening quote is at p; stops at the
// closing quote (returning the byte after it), at an unescaped line feed
// (returning the line feed) or at the NUL.
const char* skip_literal(const char* p) {
    const char quote = *p++;
    while (*p != '\0') {
        if (*p == '\\') {
            ++p;
            if (*p == '\0') break;
            ++p;
        } else if (*p == quote) {
            return p + 1;
        } else if (*p == '\n') {
            return p;
        } else {
            ++p;
        }
    }
    return p;
}

}  // namespace

extern "C" {

// find_substring(keyword, from, options)
// Returns a pointer (into `from`'s buffer) to the first occurrence of `keyword`
// that starts at or after `from`, searching up to the NUL of `from`; null when
// there is none. Null `keyword` or `from` and an empty `keyword` give null.
// `options` 0x1000: bytes compare equal when they fold to the same byte under
// the Windows-1252 lower-case table (kxp::cp_lower_table), so 'A' matches 'a'
// and 0xC9 matches 0xE9; without it bytes must be equal. All other option bits
// are ignored. Occurrences may overlap earlier ones: the search only looks at
// where it starts. Nothing is cached between calls. Exact search is the C
// library's strstr, linear in glibc but not in every C library (some compare
// the whole keyword at every byte); the case-insensitive search jumps between
// candidates for the keyword's first byte and stops as soon as the text ends
// inside a partial match, which is linear for keywords with no long
// self-repeating prefix. find_substring_in is linear on any input.
char* find_substring(const char* keyword, char* from, unsigned short options) {
    if (keyword == nullptr || from == nullptr || keyword[0] == '\0') return nullptr;
    if ((options & kIgnoreCase) == 0) return std::strstr(from, keyword);
    return find_folded(reinterpret_cast<const unsigned char*>(keyword), from);
}

// find_substring_in(keyword, from, end, options)
// As find_substring, for a text whose NUL stands at `end` (at or after `from`); nothing past
// it is read. Knowing where the text ends, the search reads it sixteen bytes at a time for
// the keyword's first byte in either case, as a first-byte scan does, and compares on only
// there; keywords that keep matching far from many places (a long run of one letter) go to
// a second way that looks at each byte a bounded number of times. Linear in the text and
// the keyword together, whatever either holds. Null `end`, or one before `from`, gives null.
char* find_substring_in(const char* keyword, char* from, const char* end, unsigned short options) {
    if (keyword == nullptr || from == nullptr || end == nullptr || end < from || keyword[0] == '\0')
        return nullptr;
    const Folding fold{(options & kIgnoreCase) != 0 ? kxp::cp_lower_table() : nullptr};
    return find_bounded(reinterpret_cast<const unsigned char*>(keyword), std::strlen(keyword),
                        reinterpret_cast<unsigned char*>(from),
                        reinterpret_cast<const unsigned char*>(end), fold);
}

// preprocess_expression(buffer, length)
// Normalises a script condition in place and returns its length (unchanged:
// the text is never lengthened nor shortened, no byte is inserted or removed
// and the NUL is not moved). `length` is the text's length; a negative value
// measures it up to the NUL. A given length is clipped at an earlier NUL, and
// no byte past it is read. Null `buffer` gives -1.
// Outside quoted stretches:
//   - each carriage return and tab becomes a space (line feeds are left to the
//     caller, which flattens them);
//   - each operator word AND, OR, NOT in any letter case that stands as a
//     whole word (neighbours are not expression word characters: digit,
//     code-page letter or one of $ % * : @ \ ^ _ ~) is written in lower case.
// A quoted stretch runs from a single or double quote to the next same quote
// (no escapes; a doubled quote closes and reopens it), or to the end when it is
// never closed; nothing inside it, quotes included, is touched.
// Nothing else changes: `=`, `<>`, `&`, `|` and spacing stay as written, so
// `a=1 and b<>2 or not c` comes back unchanged.
int preprocess_expression(char* buffer, int length) {
    if (buffer == nullptr) return -1;
    std::size_t n = 0;
    if (length < 0) {
        n = std::strlen(buffer);
    } else {
        while (n < static_cast<std::size_t>(length) && buffer[n] != '\0') ++n;
    }
    unsigned char* const text = reinterpret_cast<unsigned char*>(buffer);
    const unsigned char* const end = text + n;
    unsigned char quote = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char c = text[i];
        if (quote != 0) {
            if (c == quote) quote = 0;
            continue;
        }
        if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '\r' || c == '\t') {
            text[i] = ' ';
        } else if (is_word_char(c)) {
            // At the start of a word (the previous byte is a boundary, since
            // inner bytes of a word are skipped below).
            const std::size_t w = operator_word_length(text + i, end);
            std::size_t j = i;
            if (w != 0 && (i + w == n || !is_word_char(text[i + w]))) {
                for (; j < i + w; ++j) text[j] = static_cast<unsigned char>(text[j] | 0x20);
            }
            while (j < n && is_word_char(text[j])) ++j;  // past the rest of the word
            i = j - 1;
        }
    }
    return static_cast<int>(n);
}

// escape_c_char(ch, out, options)
// `ch` is a byte passed sign-extended (only its low 8 bits count). When the
// byte cannot stand as itself inside a C/C++ string literal, writes its escape
// text into `out` (at most 5 bytes with the NUL; `out` has 16) and returns 1;
// otherwise returns 0 and leaves `out` untouched. `options` is ignored.
//   0x07 0x08 0x09 0x0A 0x0B 0x0C 0x0D -> \a \b \t \n \v \f \r
//   " -> \"   \ -> \\   ? -> \?   (two bytes each)
//   other bytes below 0x20 (NUL included), 0x7F and 0x80..0xFF -> \ooo, always
//   three octal digits, so a following digit is never taken into the escape.
// Not escaped: every other printable ASCII byte, the single quote included.
// Every '?' is escaped because a compiler in ISO C mode before C23 reads
// `??=` and its kin as trigraphs, and one byte seen alone cannot tell whether
// it starts one; \? means '?' in every C and C++ standard.
int escape_c_char(int ch, char* out, int options) {
    static_cast<void>(options);
    const unsigned int c = static_cast<unsigned int>(ch) & 0xFFu;
    // The bytes with a one-letter escape, and their letters, position by position.
    static const char kSimple[] = "\a\b\t\n\v\f\r\"\\?";
    static const char kLetter[] = "abtnvfr\"\\?";
    const char* const hit = c != 0 ? std::strchr(kSimple, static_cast<int>(c)) : nullptr;
    const char simple = hit != nullptr ? kLetter[hit - kSimple] : '\0';
    if (simple != 0) {
        out[0] = '\\';
        out[1] = simple;
        out[2] = '\0';
        return 1;
    }
    if (c >= 0x20 && c < 0x7F) return 0;
    out[0] = '\\';
    out[1] = static_cast<char>('0' + ((c >> 6) & 7u));
    out[2] = static_cast<char>('0' + ((c >> 3) & 7u));
    out[3] = static_cast<char>('0' + (c & 7u));
    out[4] = '\0';
    return 1;
}

// skip_c_comment(p)
// When a comment starts exactly at `p`, returns the position past it and past
// the blanks (space, \t, \v, \f, and a \r that does not begin "\r\n") that
// follow it on its line; the line break after it ("\n" or "\r\n") is not
// passed, so a caller that cuts out what this passes keeps the text's lines.
// Otherwise returns `p` unchanged, even when `p` is white space. Null `p`
// gives null; the result is never null otherwise.
//   /* ... */  ends after the first */ that follows the opener (no nesting:
//              `/* /* */` is one comment; `/*/` is not closed). Unclosed, it
//              runs to the end: the result is the NUL.
//   // ...     runs up to the line break, which stays. A backslash right
//              before a line break continues the comment onto the next line,
//              as in C.
// A run of comments on one line is passed by repeating the call while the
// result advances: `/* a */ /* b */ code` ends at `code`; `/* a */\ncode`
// ends at the line feed, so a caller that wants the first code of a text
// skips the white space between comments itself.
const char* skip_c_comment(const char* p) {
    if (p == nullptr || p[0] != '/') return p;
    const char* q;
    if (p[1] == '*') {
        const char* close = std::strstr(p + 2, "*/");
        q = close != nullptr ? close + 2 : p + std::strlen(p);
    } else if (p[1] == '/') {
        q = p + 2;
        for (;;) {
            q = std::strchr(q, '\n');
            if (q == nullptr) return p + std::strlen(p);
            // A "\r\n" ending stays whole; a backslash before it splices the lines.
            const char* lineEnd = q[-1] == '\r' ? q - 1 : q;  // q - 1 is p + 1 at least
            if (lineEnd[-1] != '\\') return lineEnd;
            ++q;
        }
    } else {
        return p;
    }
    while (is_blank_at(q)) ++q;
    return q;
}

// find_c_comment(p)
// Returns the start of the first comment opener (`/*` or `//`) at or after
// `p`, or a pointer to the terminating NUL when there is none; never null
// unless `p` is null. Openers inside a string literal "..." or a character
// literal '...' do not count; in a literal a backslash escapes the next byte
// (so `"a\"/*"` holds no comment), and a literal ends at its closing quote, at
// an unescaped line feed (so a stray apostrophe hides nothing past its line)
// or at the end of the text. Raw strings R"(...)" are not recognised. A lone
// `/` (division) is not a comment. One pass: linear.
const char* find_c_comment(const char* p) {
    if (p == nullptr) return nullptr;
    while (*p != '\0') {
        if (*p == '"' || *p == '\'') {
            p = skip_literal(p);
        } else if (p[0] == '/' && (p[1] == '*' || p[1] == '/')) {
            return p;
        } else {
            ++p;
        }
    }
    return p;
}

}  // extern "C"
}  // namespace kxtl
