// key=value lists: split into two parallel arrays, and build one back.
//
//     kxutilsSeparateKeyValues("a = 1; b=2", &keys, &values, ';');   // 2: a b | 1 2
//     kxutilsSeparateKeyValues("x, k=v=w", &keys, &values, ',');     // 2: "" k | x v=w
//     kxutilsSeparateKeyValues(" k = \"1,5\" ", &keys, &values, ',');  // 1: k | "1,5"
//     // joined "p", keys a b, values 1 2:
//     kxutilsMakeKeyValuesStr(joined, keys, values, ',');             // 2, joined "pa=1,b=2"
//
// Splitting: the pairs are cut by the token splitter (tokens.h) at `separator`
// with quote mode 34, so a separator inside "..." or balanced brackets does not
// cut, and with ',' alone each pair is trimmed and a pair that is one quoted
// stretch is unquoted. Each pair is then cut at its first "="; key and value
// are trimmed of white space. A pair without "=" has an empty key and is all
// value. Both arrays end with one element per pair and nothing else (the
// strings they held are written over). Given one array for both, keys and
// values alternate in it: key, value, key, value.
//
// Joining appends key=value items, separated by `separator`, to what `joined`
// already holds; nothing is quoted or escaped, so a key or value holding "="
// or the separator does not come back the same through the splitter. A
// separator 0 puts a NUL byte between the items, as formatting it with %c does.
//
// Missing arrays: these functions need both arrays. Given a null array (a null
// host object, or a host without a string array, through the script entries)
// they return -1 and change nothing; so does the script's join for a null
// `joined`.
#pragma once

#include "afx/afx.h"
#include "export.h"
#include "host.h"

// Splits `text` into `keys` and `values`; returns the number of pairs. A null
// text is split as an empty copy (one pair, both empty); "" gives 0.
KXU_EXPORT int kxutilsSeparateKeyValues(const char* text, CStringArray* keys, CStringArray* values,
                                        char separator);
KXU_EXPORT int kxu_separate_key_values(const char* text, CHostObject* keys, CHostObject* values,
                                       char separator);

// Appends key=value items to `joined`; returns the number of pairs, or 0 with
// `joined` unchanged when the arrays differ in size.
KXU_EXPORT int kxutilsMakeKeyValuesStr(CString& joined, const CStringArray& keys,
                                       const CStringArray& values, char separator);
KXU_EXPORT int kxu_make_key_values_str(CString* joined, CHostObject* keys, CHostObject* values,
                                       char separator);
