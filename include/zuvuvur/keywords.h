// Whole-word keyword replacement, and script conditions in C operator notation.
//
//     CString s("band and brand");
//     kxu_keyword_replace(&s, "and", "&&", false);   // 1: "band && brand"
//
//     CString c;
//     kxu_get_correct_SK_expression("a=1 and b<>2 or not c", &c);
//                                                    // 1: "a==1 && b<>2 || ! c"
//
// A word character is a digit, a letter of the code page (kxp::is_char_alpha:
// Windows-1252 letters, 0xE9 'é' included) or one of  $ % * : @ \ ^ _ ~.  An
// occurrence is replaced only when neither neighbour is a word character, and
// not when it sits directly between '(' and ')': "(and)" stays, "(and )" does
// not. The neighbour before is read from the text as it stands after earlier
// replacements, so it may be the last byte of one just made; the search goes
// on after the inserted text, which is never searched again. Quotes mean
// nothing here: "s=\"a and b\"" loses its "and" as well.
//
// Both functions take time linear in the text, however many replacements.
#pragma once

#include "afx/afx.h"
#include "export.h"

// Replaces every whole-word `keyword` in `text` by `replacement` and returns
// how many. `ignoreCase` true matches bytes that fold to the same Windows-1252
// lower-case letter ("AND", "And" and "and" alike; 0xC9 'É' and 0xE9 'é');
// false matches bytes exactly.
// Checks, in this order: null `text` -1; empty `text` 0 (the rest unread);
// null `keyword` or `replacement` -1; empty `keyword` -1. The text is cut at
// its first NUL, if it holds one, whether or not anything is replaced.
// -1 also, with the text unchanged, when the result would be longer than a
// string can hold (the room for it cannot be had). Running out of memory
// raises the framework's memory exception, also before anything is changed:
// there is never a half-replaced text.
KXU_EXPORT int kxu_keyword_replace(CString* text, const char* keyword, const char* replacement,
                                   bool ignoreCase);

// Rewrites the script condition `source` (null reads as empty) into `result`:
//   1. carriage returns and tabs outside quotes become spaces, and the words
//      AND, OR, NOT in any case outside quotes become lower case; nothing
//      else moves (quoted text is left as written);
//   2. a lone '&', '=' or '|' is doubled ("a=b" -> "a==b"), except '=' after
//      '!', '<' or '>'; pairs and longer runs stay; line feeds become spaces;
//   3. the words and, or, not become &&, ||, ! (whole words, any case,
//      quoted or not).
// 1 after a conversion; 0 with nothing done for a null `result`, and 0 with
// `result` emptied for a null or empty source.
KXU_EXPORT int kxu_get_correct_SK_expression(const char* source, CString* result);
