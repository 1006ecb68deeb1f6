// The general token splitter: cuts a text at a separator character, with
// quote and bracket awareness, and finishes each token by the quote mode.
//
//     int state = 0;
//     kxutilsGetTokens("a,b,", &tokens, ',', &state, 0, 0);         // 3: "a", "b", ""
//     kxutilsGetTokens("x\r\ny\r", &tokens, '\n', &state, 0, 0);    // 2: "x", "y"
//     kxutilsGetTokens(" a , \"b,c\"", &tokens, ',', &state, '"', 0);
//                                                                   // 2: "a", "b,c"
//     kxutilsGetTokens("  (a b)  c ", &tokens, 0, &state, '(', 0);  // 2: "a b", "c"
//     kxutilsGetTokens("f(a,b),<c,d>", &tokens, ',', &state, QUOTE_MODE_ANGLE, 0);
//                                                                   // 2: "f(a,b)", "<c,d>"
//
// Where separators are looked for: a separator inside balanced (), [] or {}
// does not cut; inside "..." it does not cut either (a doubled quote stays
// inside the stretch). Angle brackets <> count as brackets only while the
// companion library's angle-bracket switch is on; QUOTE_MODE_ANGLE turns it
// on for the searches of one call and restores the earlier setting before the
// last token is finished. A bracket or quote that is never closed protects
// nothing, so no separator is lost: "(a,b" gives "(a" and "b".
//
// Separator 0 is white-space mode: runs of white space (space, \t, \n, \v, \f,
// \r) separate tokens, and white space at both ends of the text is dropped.
// Otherwise a text ending with the separator has a final empty token.
//
// How each token is finished, with a separator:
//   - '\n': a carriage return at the end of the token is dropped;
//   - quoteMode 32 (' '): white space trimmed from both ends;
//   - quoteMode 34 ('"') with ',' only: trimmed, and a token that then starts
//     with '"' has its CSV quoting undone ("" becomes ", the closing quote
//     ends the cell, what follows it is dropped unless GT_UNQUOTE_OPTION);
//   - any other combination: the token as found.
// In white-space mode: quoteMode -2 or above 0 trims the token; then a token
// that starts with the character quoteMode (or any token with quoteMode -1)
// loses one enclosing pair: "" '' () [] {} <> (a doubled quote inside a
// stripped quote pair becomes one).
//
// Cost: time linear in the text, whatever it holds. A search that meets a
// bracket or quote that never closes (a line of ":(" cells) has to read to the
// end of the text to learn it; what it learns there, where each later group
// closes, is kept for the rest of the call, so no later search reads it again.
#pragma once

#include "afx/afx.h"
#include "export.h"

// quoteMode: finish tokens as found, and count <> as brackets while searching.
inline constexpr int QUOTE_MODE_ANGLE = -2;

// Bits of `options`; other bits are ignored.
inline constexpr int GT_ALT_SEARCH = 0x1;      // plain quote-aware search, brackets ignored
                                               // (not in white-space mode)
inline constexpr int GT_EX_SEARCH = 0x2;       // the extended search (no escape byte here)
inline constexpr int GT_UNQUOTE_OPTION = 0x4;  // quoteMode 34: keep what follows a
                                               // closing quote ("ab"x -> abx)

// Splits `text` into `tokens` and returns the number of tokens.
//   text      never changed; null is split as an empty copy (one empty token,
//             or none in white-space mode), "" gives 0.
//   tokens    emptied first, then filled in order; null only counts.
//   separator the separator character; 0 for white-space mode.
//   state     handed to the companion's separator search on every search and
//             neither read nor written here; the address of a local int (null
//             is accepted).
//   quoteMode how tokens are finished, see above.
//   options   GT_ALT_SEARCH, GT_EX_SEARCH, GT_UNQUOTE_OPTION.
KXU_EXPORT int kxutilsGetTokens(const char* text, CStringArray* tokens, char separator, int* state,
                                int quoteMode, int options);
