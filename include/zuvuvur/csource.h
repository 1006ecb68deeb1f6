// Helpers for C-like source text: removing comments, building the body of a
// string literal, and making a valid identifier.
//
//     CString code("  /* head */ x = 1; // note\n y = \"/*\";  ");
//     kxu_skip_C_comments(&code, 0);          // 1: "x = 1; \n y = \"/*\";"
//     kxu_skip_C_comments(&code, 1);          // leading comments only
//
//     CString body;
//     kxu_make_C_string_from_ascii("say \"hi\"\n", &body);   // say \"hi\"\n
//
//     CString name("2nd value!");
//     kxuMakeValidCName(&name, '_');          // "_2ndvalue"
//
// Comments are /* ... */ (not nested; an unclosed one runs to the end) and
// // up to the end of the line, which a backslash right before the line break
// continues, as in C. An opener inside a "..." or '...' literal is not a
// comment. Text is 8-bit; bytes of 0x80 and above are ordinary characters.
//
// Removing comments keeps the lines: a comment takes along the blanks after
// it on its line, never the line break, so "#define A 1 /* one */\nint x;"
// becomes "#define A 1 \nint x;" and a directive stays on a line of its own.
// The lines inside a /* */ comment go with it. Nothing is put in a comment's
// place: "a/**/b" becomes "ab", where a C compiler reads two names.
#pragma once

#include "afx/afx.h"
#include "export.h"

// Trims white space from both ends of `text`, then removes every comment
// (`leadingOnly` zero) or only the comments at its start (nonzero: the text
// from its first character of code on, so the white space between and after
// the leading comments goes too; a comment after the first code stays).
// Returns 1; -1 for a null `text`. With every comment removed, a text of only
// white space and comments becomes empty or the line breaks that ended its
// comments. The text is read up to its first NUL.
KXU_EXPORT int kxu_skip_C_comments(CString* text, int leadingOnly);

// Sets `output` to `source` written as the body of a C string literal, with
// no quotes around it: \a \b \t \n \v \f \r \" \? and \\ for those bytes,
// \ooo with three octal digits for the other control bytes, 0x7F and every
// byte of 0x80 and above (so a digit after one is never read into the
// escape), and every other byte as itself (the single quote included). Every
// '?' is escaped, so no trigraph can form: "??=" gives \?\?=, which a
// compiler in ISO C mode reads back as ??=, not as #.
// A null `output` does nothing; a null `source` empties `output`.
KXU_EXPORT void kxu_make_C_string_from_ascii(const char* source, CString* output);

// Makes `name` a valid C identifier in place: drops every byte that is not an
// ASCII letter, digit or '_', then deals with a leading digit: when `prefix`
// is an ASCII letter or '_' it goes in front ("42" -> "x42" with 'x');
// otherwise (0 included) the leading digits are dropped, all of them ("(42)"
// -> ""). A null or empty `name` is left alone. Linear in the name's length.
KXU_EXPORT void kxuMakeValidCName(CString* name, char prefix);
