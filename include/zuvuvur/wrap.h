// Word wrapping with a hanging indent, and padding to a fixed width.
//
//     CString t("aaa bbb ccc");
//     kxu_wrap_text(&t, 4, 2);              // 3: "aaa \n  bbb \n  ccc"
//     kxu_str_pad_char("ab", 5, 1, '*');    // "*ab**"
//
// Widths count bytes. A line breaks only after white space (space, tab, line
// feed, vertical tab, form feed, carriage return; not 0xA0), and that
// character stays at the end of the line, before the inserted line feed. The
// right-most white space within a line's first width + 1 bytes wins, so a
// line may hold `width` bytes plus the white space it breaks after:
// "aaa bbb" at width 3 gives "aaa \nbbb". Line feeds already in the text stay
// and start new lines; a carriage return is an ordinary byte.
#pragma once

#include "afx/afx.h"
#include "export.h"

// Wraps `text` in place to lines of at most `width` bytes before their break
// character, and puts `indent` spaces (none when `indent` <= 0) at the start
// of every line after the first: lines that began at a line feed of the text
// and empty lines too. The indent is added after the line's break is chosen,
// so it does not count against the width. A text ending in a line feed gets
// no empty last line. Returns the number of lines; 0 for an empty text; -1 for
// a null `text`, a `width` below 1, or a line with no white space within its
// first width + 1 bytes, in which case the text is left exactly as it was
// ("abcdefgh" at width 3). A result too long for a string raises the
// framework's memory exception, the text again unchanged. Linear in the
// length of the text.
KXU_EXPORT int kxu_wrap_text(CString* text, int width, int indent);

// Exactly `width` bytes: the first `width` bytes of `text` when it is that
// long or longer; otherwise `text` placed in a field of `fill` bytes by
// `align`: 0 left ("ab***"), 1 centre with the odd byte after ("*ab**"),
// 2 right ("***ab"), any other value left.
// Decisions: a NUL `fill` gives the text alone, unpadded, whatever `align`
// (the field ends at its first NUL, and the text is kept rather than cut off
// by the fill before it); a `width` of 0 or less gives an empty string; a null
// `text` reads as an empty one, so the result is all fill.
// Exported under its C++ (decorated) name, since it returns a CString.
KXU_EXPORT_CPP CString kxu_str_pad_char(const char* text, int width, int align, char fill);
