// Splitting at a separator string and joining with a separator.
//
//     kxutilsSeparateByStr("a,,b", &pieces, ",")   // 3: "a", "", "b"
//     kxutilsSeparateByStr("xabab", &pieces, "ab") // 3: "x", "", ""
//     kxutilsSetTokensByStr(joined, pieces, "; ")  // "a; ; b", returns 3
//
// The split is exact and case-sensitive; occurrences are taken from left to
// right and never overlap; quotes and brackets mean nothing here. The joiners
// empty `joined` first. The flat entry points answer -1 when any of their
// three pointers is null, before asking the host for the array.
#pragma once

#include "afx/afx.h"
#include "export.h"
#include "host.h"

// Pieces of `text` between occurrences of `separator`, emptied first.
// 0 for a null or empty text (pieces emptied when given); -1 for a null or
// empty separator (pieces untouched), and -1 for a text to split without an
// array to put the pieces in.
KXU_EXPORT int kxutilsSeparateByStr(const char* text, CStringArray* pieces, const char* separator);
KXU_EXPORT int kxu_separate_by_str(const char* text, CHostObject* pieces, const char* separator);

// Joins the tokens with a one-character or a string separator (a null string
// separator joins with nothing). Returns the number of tokens.
KXU_EXPORT int kxutilsSetTokens(CString& joined, const CStringArray& tokens, char separator);
KXU_EXPORT int kxutilsSetTokensByStr(CString& joined, const CStringArray& tokens,
                                     const char* separator);
// -1 also when the host has no array behind `tokens`.
KXU_EXPORT int kxu_set_tokens_by_str(CString* joined, CHostObject* tokens, const char* separator);
