// One line of comma-separated values into cells.
//
//     kxutilsTokenizeOneCSVLine("a,\"b,c\",\"d\"\"e\"", &cells);  // 3: a | b,c | d"e
//     kxutilsTokenizeOneCSVLine("f(1,2),<x,y>,", &cells);        // 3: f(1,2) | <x,y> | (empty)
//     kxutilsTokenizeOneCSVLine("", &cells);                     // 0, cells emptied
//     kxutilsTokenizeOneCSVLine(nullptr, &cells);                // 1: one empty cell
//
// The line is cut at every comma that is not inside a "..." stretch or inside
// balanced (), [], {} or <> (see tokens.h); a line ending with a comma has a
// final empty cell. The cells are not trimmed. Each cell is then unquoted:
//   - "..." : the enclosing quotes go and each "" becomes ". A lone quote inside
//     ends the cell there ("a"b" -> a); a missing closing quote drops the last
//     character ("ab -> a). A final "" counts as a doubled quote and as the
//     closing quote at once ("ab"" -> ab").
//   - an unquoted cell keeps its text up to a lone quote inside it (a"b -> a),
//     and a quote at its end is dropped (ab" -> ab); a cell of one character
//     stays as it is.
//   - a cell that is exactly a line feed becomes empty (any other line feed or
//     carriage return stays in the cell: the caller cuts the line ending).
// A malformed cell keeps what was read of it; the count is not affected.
//
// Cost: linear in the line, except for a line with many brackets that are
// never closed (cells like ":("), as tokens.h explains.
#pragma once

#include "afx/afx.h"
#include "export.h"
#include "host.h"

// Fills `cells` (emptied first) with the cells of `line` and returns their
// number: 0 for an empty line, 1 (one empty cell) for a null line.
// Without an array: 0 for an empty line, -1 for any other, nothing done.
KXU_EXPORT int kxutilsTokenizeOneCSVLine(const char* line, CStringArray* cells);

// The script's entry: the cells go into the host's string array. A null host
// object, or a host that has no string array, means no array (see above).
KXU_EXPORT int kxu_tokenize_one_csv_line(const char* line, CHostObject* cells);

// Reads nothing and returns 1, whatever the path: it does not open the file,
// and the array it gets is its own copy, so the caller's array is unchanged.
KXU_EXPORT_CPP int kxutilsReadCSVFile(const char* path, CStringArray cells, int, int);
