// Label letters with numeric suffixes: a compact text such as "LUP1D2" names
// the labels L, U, P1 and D2.
//
//     kxutilsSeparateCharWithNumericSuffix("LUP1D2", &labels, "LUCSREGF", "PDO", 0);
//                                                    // 4: L U P1 D2
//     kxutilsSeparateCharWithNumericSuffix("L1", &labels, "LUCSREGF", "PDO", 0);
//                                                    // -99: L is not a suffix letter
//     kxutilsSeparateWksLabelsChar("lu p1", &labels, 0);  // 3: L U P1
//
// Each character of the text, in order: white space is skipped; a letter of
// `suffixLetters` or `letters` (case matters) appends itself as a label; a
// decimal digit is added to the last label, and is allowed only right after a
// digit or a suffix letter (white space in between counts as something else).
// Labels are appended after what the array already holds, and when duplicates
// are not allowed a label may not repeat any label of the array, old or new,
// at any length it passes through: "P1P12" stops at the second P1.
//
// Result: the array's size afterwards, or the first fault met:
//   -97  a label would repeat one already in the array
//   -98  a character that is no white space, allowed letter or digit
//   -99  a digit after something other than a digit or a suffix letter
//   -100 the text starts with a digit
// Labels appended before a fault stay in the array ("LX": L stays, -98).
//
// Missing pieces: without an array (a null host object, or a host that has no
// string array, through the script entry) the result is -1 and nothing is
// done. A null text is an empty text (the array's size comes back); null
// letter sets are empty sets.
#pragma once

#include "afx/afx.h"
#include "export.h"
#include "host.h"

KXU_EXPORT int kxutilsSeparateCharWithNumericSuffix(const char* text, CStringArray* labels,
                                                    const char* letters, const char* suffixLetters,
                                                    int allowDuplicates);

// The script's entry: duplicates are not allowed.
KXU_EXPORT int kxu_separate_char_with_numeric_suffix(const char* text, CHostObject* labels,
                                                     const char* letters,
                                                     const char* suffixLetters);

// Worksheet labels: the text is upper-cased, the letters are "LUCSREGF" ("LUCSREF"
// with bit 0x2 of `flags`) and the suffix letters "PDO"; bit 0x1 allows
// duplicates.
KXU_EXPORT int kxutilsSeparateWksLabelsChar(const char* text, CStringArray* labels, int flags);
