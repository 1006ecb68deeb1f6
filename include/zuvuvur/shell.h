// Shell items: open a file by its parsing name, read its document
// properties, release it again. Items stay open between calls and are known
// by small handles.
//
//     unsigned int item = 0;
//     kxu_shell_item(&item, 0, (INT_PTR)"/data/report.txt", nullptr, 0);  // 0; item is 1
//     char title[256];
//     kxu_shell_item(&item, 4, SHELL_PROP_TITLE, title, sizeof title);    // 0; "Q3 report"
//     unsigned int rating = 0;
//     kxu_shell_item(&item, 5, SHELL_PROP_RATING, &rating, 0);            // 0; 79
//     kxu_shell_item(&item, 5, SHELL_PROP_TITLE, &rating, 0);             // 15058: not a number
//     kxu_shell_item(&item, 1, 0, nullptr, 0);                            // 0; 1 is free again
//
// Operations (second argument):
//   0  create: the third argument is the parsing name (a path, ANSI code
//      page; backslashes separate as in the paths of the file functions,
//      so on POSIX \data\report.txt is /data/report.txt); the new handle
//      is stored through the first argument.
//   1  release the item the handle names.
//   2  property as a boolean, into a 4-byte BOOL.
//   3  property as a file time, into an 8-byte FILETIME: two 32-bit halves,
//      low first, of a count of 100-nanosecond intervals since 1601-01-01
//      UTC.
//   4  property as text, into a char buffer of `size` bytes.
//   5  property as an unsigned 32-bit number, into 4 bytes.
// For 2 to 5 the third argument is a SHELL_PROP_ index (its low 32 bits).
//
// Results: 0 on success, or
//   15050  the manager cannot be allocated
//   15051  COM cannot be initialised for the calling thread (it is in the
//          multithreaded apartment already); the next create tries again
//   15052  a new item cannot be allocated
//   15053  no item can be made from the name: the shell is unavailable, the
//          name is no existing file or directory, or cannot be converted
//   15054  no create yet, or the handle is 0, beyond the table, or released
//   15055  operation 6 or more on a valid handle (a bad handle wins: 15054)
//   15056  property index 6 or more; the shell is not asked
//   15057 / 15058 / 15059 / 15060  operation 4 / 5 / 2 / 3 failed, for
//          instance the property is not of that type
//   15061  the file does not carry the property, whatever the operation
// A failing create leaves the handle untouched; a failing query writes
// nothing into the output.
//
// Handles are 1-based slots of one table: a create takes the lowest empty
// slot, or a new one at the end. The first create makes the table and puts
// the calling thread into a single-threaded apartment; the table, and the
// items still open, live until the process ends. Every create converts the
// name under the user's default locale and then sets the C runtime locale of
// the whole process to "C", leaving it there.
//
// Where each property comes from on this system (extended attributes of the
// file, UTF-8):
//   SHELL_PROP_TITLE          user.dublincore.title
//   SHELL_PROP_SUBTITLE       user.dublincore.alternative
//   SHELL_PROP_RATING         user.baloo.rating, 0 to 10, read as 0 to 99:
//                             round(n * 9.9), so 5 -> 50 and 10 -> 99
//   SHELL_PROP_COMMENT        user.xdg.comment
//   SHELL_PROP_DATE_CREATED   the file's birth time; 15061 where the file
//                             system keeps none
//   SHELL_PROP_DATE_MODIFIED  the file's modification time
// Strings read only with operation 4, the rating only with 5, the times
// only with 3; none of them is a boolean.
//
// Decisions where the behaviour is ours to choose:
// - A name that converts to 1024 or more wide characters, or that does not
//   convert under the user's default locale, gets 15053; the conversion
//   never writes past its 1024-character buffer, and the locale is "C"
//   afterwards all the same. (Wide characters are UTF-32 here, so a
//   character outside the Basic Multilingual Plane counts once.)
// - Operation 4 always leaves a terminated string inside the buffer: a
//   value that needs `size` bytes or more is cut after the last whole
//   character that leaves room for the terminator. A character with no form
//   in the locale then in force ("C", ASCII, after any create) becomes '?'.
//   Both still return 0.
// - Operation 4 with a `size` of 0 or less asks the shell as usual and
//   writes nothing; it returns 0 when the property could be read.
// - Null pointers are refused rather than followed: a null handle pointer
//   gets 15053 from a create (before anything is done) and 15054 from every
//   other operation; a null name gets 15053; a null output gets the
//   operation's own failure code (15059, 15060, 15057, 15058).
#pragma once

#include "afx/types.h"
#include "export.h"

// Rows of the property table; the index is the third argument of a query.
inline constexpr unsigned int SHELL_PROP_TITLE = 0;
inline constexpr unsigned int SHELL_PROP_SUBTITLE = 1;
inline constexpr unsigned int SHELL_PROP_RATING = 2;
inline constexpr unsigned int SHELL_PROP_COMMENT = 3;
inline constexpr unsigned int SHELL_PROP_DATE_CREATED = 4;
inline constexpr unsigned int SHELL_PROP_DATE_MODIFIED = 5;
inline constexpr unsigned int SHELL_PROP_COUNT = 6;  // the sentinel: never a valid index

// Creates, releases or queries a shell item; see above.
KXU_EXPORT int kxu_shell_item(unsigned int* handle, unsigned int operation, INT_PTR nameOrIndex,
                              void* output, int size);
