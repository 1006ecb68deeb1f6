// Kxtl9_64 — the companion library of text, file, sort and resource primitives.
//
// zuVuvur9_64 calls these operations and relies on exactly the results written
// beside each one. The library hands them positions inside its own writable
// buffers; every text is narrow (8-bit, Windows-1252 assumed above 0x7F) and
// NUL-terminated, and no operation ever reads past the terminating NUL.
//
// Linkage: every operation has C linkage under its own name, reached from C++
// as kxtl::name. The one exception is kxtl::log: a C-linkage `log` would be the
// C library's own function, so ours keeps C++ linkage inside the namespace.
//
// An operation declared here but not yet defined in a .cpp of this folder is
// not built yet; nothing here pretends to work.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(_WIN32)
#if defined(KXTL_BUILD)
#define KXTL_API __declspec(dllexport)
#else
#define KXTL_API __declspec(dllimport)
#endif
#else
#define KXTL_API __attribute__((visibility("default")))
#endif

namespace kxtl {

// Comparator handed to sort_range_with_companion: negative when *a goes
// before *b, zero when they rank equal, positive otherwise. `context` is
// passed through unchanged from the sort call.
using SortCompareFn = int (*)(const void* a, const void* b, void* context);

// The record through which a sort mirrors its moves on a second buffer
// (the index permutation). 16 bytes; all zero when there is no companion.
struct SortCompanion {
    void* data;                // first element of the companion buffer
    std::int32_t elementSize;  // size of one companion element (4 for int)
    std::int32_t reserved;     // zero
};
static_assert(sizeof(SortCompanion) == 16);

// The host's missing value; text_to_double answers it for text without a number.
inline constexpr double NANUM = -1.23456789e-300;

// Options of the separator searches.
inline constexpr int FS_QUOTES = 64;  // honour double-quoted stretches

// Class codes of get_char_class.
inline constexpr int CC_OTHER = 0;
inline constexpr int CC_DIGIT = 1;
inline constexpr int CC_UPPER = 2;
inline constexpr int CC_LOWER = 4;
inline constexpr int CC_SPACE = 8;
inline constexpr int CC_PUNCT = 16;
inline constexpr int CC_CONTROL = 32;

extern "C" {

// ---- Tokenizing -----------------------------------------------------------

// find_separator(text, separator, options, state)
// First separator of `text` that no group protects (pointer into the same buffer), or null
// when there is none or `text` is null. `separator` (low 8 bits) 0 means white space (space,
// \t, \n, \v, \f, \r; not 0xA0): the result is the first byte of the next white-space run.
// Groups: balanced (), [], {} always; <> only while the angle-bracket switch is on; with
// FS_QUOTES also "..." stretches ("" stays inside; brackets inside are ordinary). Groups nest;
// a closer that does not match the innermost open group is an ordinary byte. A separator inside
// a group closed later is skipped; an opener never closed protects nothing ("(a,b" -> 2). A
// byte equal to the separator is always a separator. `state` (may be null) receives 1 when the
// scan ended with a quote or bracket still open, else 0; it covers only the bytes scanned
// ("a,(b" -> 1, state 0). Other option bits are ignored. One pass, linear time.
KXTL_API char* find_separator(char* text, int separator, int options, int* state);

// As find_separator, plus `escape` (low 8 bits, 0 for none): the escape byte and the byte after
// it are ordinary, also inside quotes, and beat every other role; an escape right before the
// NUL escapes nothing. `extra`: NUL-terminated set of further separator bytes (null for none),
// counted in white-space mode too.
KXTL_API char* find_separator_ex(char* text, int separator, int options, int* state, int escape,
                                 const char* extra);

// As find_separator_ex, with `memo`: what the earlier searches of this buffer learned.
// - Where groups close. A search that has to read to the end of the text before it can answer
//   (a group that never closes holds its separator) keeps, for every opener after its answer,
//   where that opener closes or that it never does; a later search passes over each group at
//   once instead of reading the rest of the text again. Without the memo a text such as "(a,"
//   repeated costs time in the square of its length.
// - The answers ahead. For one plain separator byte (no escape, no extra set) the first search
//   reads on, a window at a time, and lists the separators that stand outside every quoted
//   stretch, up to the first bracket (or to a quote that never closes); the searches of a split
//   that start right after the answer before then take the next one from the list. Sixteen bytes
//   are read at a time where the processor compares that many at once, so a split of short
//   tokens costs little more than the reading of its text.
// A whole split (each search starting after the answer of the one before, white space between
// them skipped or not) then costs time linear in the text, whatever its brackets and quotes.
// Answers and states are exactly those of find_separator_ex with the same arguments.
// Before its first search the record holds null in `groups`, `base` and `expect` (zero-
// initialising it does that), and in `end` null or, to spare the search a pass, the NUL of the
// text that first search starts in. The caller passes it to every search over one buffer (a search
// with other rules, or before or past what the memo knows, starts it afresh), and releases it
// with release_separator_memo. Between searches it may rewrite bytes before the next search's
// start (cut a token, unquote it), never at or after it. A null `memo` is find_separator_ex.
// When no memory is left for what groups the memo would keep, the search answers as
// find_separator_ex and keeps nothing. The fields are the companion's.
struct SeparatorMemo {
    void* groups;           // where groups close, once a search had to learn it; null before
    char* base;             // where the list began; null: nothing listed yet
    char* end;              // the text's NUL
    char* expect;           // where the next search of the split starts, as the list sees it
    char* scanned;          // the list covers the text before this
    char* window;           // the first byte of the window
    std::uint64_t answers;  // a bit for each answer of the window not yet given
    // Readable by the caller: after a search that the list answered (the answer is then
    // `expect` - 1), a bit for each byte '"' (not the separator) at window + i, i < 64. A
    // splitter that undoes quoting learns from it which tokens hold no quote.
    std::uint64_t quotes;
    std::uint32_t key;    // the rules the list was made under
    std::uint32_t flags;  // inside a quote where the window ends; a bracket or open quote stops it
};
KXTL_API char* find_separator_memo(char* text, int separator, int options, int* state, int escape,
                                   const char* extra, SeparatorMemo* memo);

// Frees what the searches kept in `memo` and zeroes it. Null and a zeroed memo are accepted.
KXTL_API void release_separator_memo(SeparatorMemo* memo);

// Search for `separator` (0 = white space, as above) with brackets and the switch ignored.
// `quotes` nonzero: separators inside "..." stretches are skipped ("" stays inside, an unclosed
// quote protects nothing); zero: first occurrence. Null for a null text or no separator.
KXTL_API char* find_separator_alt(char* text, int separator, int quotes);

// Skips leading white space (the six bytes above) and cuts trailing white space in place (a
// NUL after the last non-white byte, written only when there is trailing white space). Returns
// the first non-white byte, or null when `text` is null or holds only white space (empty too).
KXTL_API char* skip_white_space(char* text);

// Skips a run of white space without changing the text. Returns the first non-white byte, or
// null when `text` is null or the run reaches the end (empty text included).
KXTL_API char* skip_white_space_run(char* text);

// When the token as given (no trimming) has length >= 2, starts with " ' ( [ { < and ends with
// the matching closer, overwrites the closer with NUL and returns text + 1; otherwise returns
// `text` unchanged (only first and last byte are looked at; <> regardless of the switch). Null
// text -> null. `flags` is read, never written (null reads as 0): nonzero turns each doubled
// enclosing quote inside a stripped "..." or '...' pair into one ("a""b" -> a"b).
KXTL_API char* strip_enclosing_pair(char* text, int* flags);

// Undoes CSV quoting in place. A text starting with '"': drops it, turns each "" into ", stops
// at the first lone quote (the closing one); content from text + 1, NUL-terminated, returned.
// No closing quote: content runs to the end ("ab"" -> ab"). Bytes after the closing quote are
// kept unchanged with 0x2000 in `options` ("ab"x -> abx), dropped without (ab). Other texts come
// back unchanged; null -> null. `flags` (may be null) is written, never read: 0 unquoted or
// null; else 1, +2 bytes followed the closing quote, +4 no closing quote. Other bits ignored.
KXTL_API char* unquote_cell(char* text, int* flags, int options);

// Turns the process-wide angle-bracket switch on (nonzero) or off (zero) and returns its
// previous setting (0 or 1). Initially off. Unguarded.
KXTL_API int set_parenth_use_angle_brackets(int on);

// Class of the byte ch & 0xFF (a sign-extended char works): CC_SPACE (8) for exactly space,
// \t, \n, \v, \f, \r (not 0xA0); CC_DIGIT for 0-9; CC_UPPER / CC_LOWER for Windows-1252 letters
// by case, the caseless 0xAA and 0xBA counting as CC_LOWER; CC_CONTROL for the other bytes
// below 0x20 and 0x7F; CC_PUNCT for ASCII punctuation; CC_OTHER for the rest (non-letters
// from 0x80 up).
KXTL_API int get_char_class(int ch);

// ---- Text transforms ------------------------------------------------------

// First occurrence of `keyword` that starts at or after `from` (searching up to
// the NUL), or null. Null `keyword`/`from` or an empty `keyword` give null.
// `options` 0x1000: bytes match when they fold to the same byte under the
// Windows-1252 lower-case table (kxp::cp_lower_table: 'A'~'a', 0xC9~0xE9);
// 0: exact bytes. Other option bits are ignored. No state is kept between
// calls, so the caller may change the buffer between searches.
KXTL_API char* find_substring(const char* keyword, char* from, unsigned short options);

// As find_substring, for a text whose NUL stands at `end` (at or after `from`; nothing past it
// is read). Knowing the end, the search goes sixteen bytes at a time from one candidate for the
// keyword's first byte (in either case) to the next, and compares on only there; a keyword
// that keeps matching far from many places goes to a way that reads each byte a bounded number
// of times. Linear in the text and the keyword together. Null `end`, or one before `from`,
// gives null.
KXTL_API char* find_substring_in(const char* keyword, char* from, const char* end,
                                 unsigned short options);

// Normalises a script condition in place and returns its length, which never
// changes (no byte is inserted or removed). `length` is the text's length
// (clipped at an earlier NUL) or negative to measure it. Null `buffer` gives -1.
// Outside single- or double-quoted stretches (no escapes; an unclosed quote runs
// to the end): carriage returns and tabs become spaces, and the whole words
// AND, OR, NOT in any case become lower case (word characters as in the
// keyword replacement: digits, code-page letters, $ % * : @ \ ^ _ ~). Nothing
// else changes: `a=1 and b<>2 or not c` comes back unchanged.
KXTL_API int preprocess_expression(char* buffer, int length);

// `ch`: a byte passed sign-extended (low 8 bits count). When it cannot stand as
// itself in a C string literal, writes its escape into `out` (at most 5 bytes
// with the NUL; 16 available) and returns 1: \a \b \t \n \v \f \r \" \? and a
// doubled backslash; other bytes below 0x20 (NUL included), 0x7F and 0x80-0xFF
// become \ooo with exactly three octal digits (never swallows a following
// digit). Otherwise returns 0 and leaves `out` untouched: printable ASCII other
// than ", ? and backslash, including '. `options` is ignored. Every '?' is
// escaped, as a byte alone cannot tell whether it starts a trigraph (`??=` is
// '#' to an ISO C compiler before C23); \? is '?' in every C and C++ standard.
KXTL_API int escape_c_char(int ch, char* out, int options);

// When a comment starts exactly at `p` (/* ... */ without nesting, or // up to
// the line break, continued by a backslash right before it), returns the
// position past it and past the blanks after it on its line: space, \t, \v,
// \f and a \r that does not begin "\r\n". The line break itself ("\n" or
// "\r\n") is never passed, so cutting out what this passes keeps the lines.
// An unclosed /* gives the NUL. Otherwise returns `p` itself, even if `p` is
// white space. Null `p` gives null; never null otherwise. Repeating the call
// while the result advances passes a run of comments on one line.
KXTL_API const char* skip_c_comment(const char* p);

// Start of the next /* or // at or after `p`, or the terminating NUL when none;
// null only for null `p`. Openers inside "..." or '...' literals (backslash
// escapes honoured; a literal also ends at an unescaped line feed) don't count.
KXTL_API const char* find_c_comment(const char* p);

// ---- Sorting and numbers --------------------------------------------------

// Sorts elements first..last (inclusive) of `base` in place into the ascending order of
// `compare`: pattern-defeating quicksort, O(n log n) worst case, not stable. Elements move as
// raw blocks of `elementSize` bytes (never constructed or destroyed), so they must be trivially
// relocatable. Nothing outside first..last is read or written whatever the comparator answers;
// an inconsistent one (NaN equal to everything) leaves an unspecified permutation of the range.
// `compare` gets two element pointers (into the range or to an aligned scratch copy) and
// `context` unchanged; a branch-free comparator sorts random input about twice as fast.
// When `hasCompanion` is nonzero, companion->data is a buffer parallel to `base` (element i
// beside data element i, companion->elementSize bytes each) and every move is mirrored on it;
// when zero, `companion` is not read. Returns 0 (also for last < first and for one element),
// -1 null base or compare, -2 elementSize < 1, -3 first < 0, -4 bad companion record,
// -5 no memory for the scratch element (only sizes above 256 bytes allocate); on a negative
// result nothing is touched.
KXTL_API int sort_range_with_companion(void* base, int first, int last, int elementSize,
                                       SortCompareFn compare, SortCompanion* companion,
                                       int hasCompanion, void* context);

// Value of the decimal number that starts `text` after leading white space:
// [+|-] digits [. digits] [(e|E) [+|-] digits] with at least one mantissa digit; the rest is
// ignored ("12abc" -> 12). Exact and locale-independent. Text without a number (null, "",
// "abc", ".", "-", "inf", "nan") yields NANUM, so the missing-value sort modes place such
// strings first or last. Overflow gives +-HUGE_VAL, underflow +-0.0.
KXTL_API double text_to_double(const char* text);

// ---- Files ----------------------------------------------------------------

// Paths are backslash-separated (on POSIX each backslash is read as '/').

// 1 when `dir` (usually ending in a backslash) leads to a directory, a link to
// one included; 0 when it does not, or for a null path.
KXTL_API int dir_exists(const char* dir);

// Copies the plain file `source` to the file path `destination`; returns 0 when
// done, otherwise a nonzero error number (kxplatform's ERR_…). Modes:
//   COPY_REPLACE (0)        an existing destination file is replaced, unless it
//                           is read-only (owner write bit clear): ERR_ACCESS_DENIED;
//   COPY_KEEP_EXISTING (2)  an existing destination is left as it is and the
//                           answer is 0; only a missing one is written.
// Any other mode, or a null path, gives ERR_INVALID_PARAMETER. A destination
// that is a directory is never touched (ERR_ACCESS_DENIED); nor is a source
// that is not a plain file accepted. The data go to a hidden temporary file
// beside the destination that is renamed over it when complete, so a failed
// copy leaves the destination as it was, never half-written. The copy keeps
// the source's modification time and permission bits (less the umask).
KXTL_API int copy_one_file(const char* source, const char* destination, int mode);
inline constexpr int COPY_REPLACE = 0;
inline constexpr int COPY_KEEP_EXISTING = 2;

// ---- Resources ------------------------------------------------------------

// Text `id` of a message module loaded with kxp::load_module (on Windows a
// resource DLL whose STRINGTABLE is read with LoadStringA; elsewhere one whose
// table resource_table.h describes) into `buffer` of `size` bytes. When the module
// holds the id: copies the text, cut to size - 1 bytes when longer, always
// NUL-terminated, and returns the text's whole length (never 0, as tables hold
// no empty texts; a result >= size tells the text was cut). Returns 0 and
// writes nothing when the id is missing, `module` is null or carries no table
// of this layout, `buffer` is null or `size` <= 0. Never writes past `size`
// bytes. Lookup is a binary search. A table holds one language and has no
// variants, so `lang`, `flags` and `reserved` (0, 0 and null from every caller)
// are not looked at. On Windows string-table ids are 16 bits: an id outside
// -32768..65535 is missing, and an id is found by its low 16 bits (-1 and
// 65535 name the same text; kxrc refuses a catalog that holds both).
KXTL_API int load_resource_string(void* module, int id, char* buffer, int size, unsigned short lang,
                                  unsigned int flags, void* reserved);

}  // extern "C"

// Natural logarithm, as std::log: log(-1.0) is a quiet NaN. (C++ linkage: see the top of
// this file.)
KXTL_API double log(double x);

}  // namespace kxtl
