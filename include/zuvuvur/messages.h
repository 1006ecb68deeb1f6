// Numbered messages: warning and error texts with their headings, filled
// placeholders, message boxes, and the script engine's runtime texts.
//
//     CString s;
//     int n = 3;
//     kxu_err_msg_heading(15000, &s);                         // 1, "ERR0015000"
//     kxu_load_err_msg_str(15001, &s, -1);                    // 1, "ERR0015001: Cannot open %s"
//     kxu_load_msg_str(15001, &s, "a.txt", 0, 0, -1);         // 1, "ERR0015001: Cannot open a.txt"
//     kxu_load_msg_str(10006, &s, "a.csv", &n, 0, -1);        // 1, "WARN0010006: a.csv was read
//                                                             //     up to line 3 only."
//     kxu_err_msgbox(15001, MB_OK | MB_ICONSTOP, "a.txt", 0, 0);  // the box's answer, IDOK
//     kxu_load_runtime_err(1, &s);                            // 17, "Division by zero."
//
// The texts live in two message modules beside the host executable:
// kxErrMsg_64.dll (warnings, errors and other messages) and KXSmsg9_64.dll
// (runtime texts), found in the folder of the module whose instance handle
// the framework's current module state holds (AfxGetModuleState) — during a
// host's call, the host executable. When that folder lacks one, it is looked
// for where an installed library keeps its modules: the folder "zuvuvur"
// beside the library's own file (/usr/lib/zuvuvur on a Debian install), so a
// host that ships no modules of its own still finds the library's; a host's
// own copy always comes first. This project builds both modules from the
// catalogs resources/kxErrMsg_64.txt and resources/KXSmsg9_64.txt.
//
// Headings: ids 10000..14999 are warnings ("WARN" and the id in seven digits,
// "WARN0010001"), ids 15000..19999 errors ("ERR0015000"); other ids, negative
// ones included, have none. A text from kxErrMsg_64.dll with a heading reads
// "HEADING: text". Runtime texts never get one.
//
// State: the first load of kxErrMsg_64.dll is kept for the whole process, and
// so is a failure: once it could not be loaded, every later call answers 0
// without trying again, even after the file appears. KXSmsg9_64.dll is looked
// for afresh on every call. Modules are never unloaded.
//
// Choices of this library where the behaviour is otherwise open:
// - A message that asks for more arguments than the row chosen supplies, or
//   for other kinds (a "%s" beside the "%d" of an integer alone, a third
//   "%s", a "%5d" beside the "%s" of a string alone, a "%*d", a "%ld"), is
//   not formatted: the call answers 0 and leaves the output untouched, as
//   when no row applies, instead of reading arguments that were never
//   passed. Messages whose conversions are all supplied are formatted
//   exactly as printf does, "%%" included, and extra arguments are ignored
//   as printf ignores them.
// - A null heading pointer for kxu_err_msg_heading answers 0.
// - When the host executable's path cannot be told or does not fit in the
//   260 bytes the lookup reads it into, its folder is not searched (a cut
//   path would name some other folder); the library's module folder still is.
#pragma once

#include "afx/afx.h"
#include "export.h"

// Puts the heading of `id` ("WARN0010000".."WARN0014999",
// "ERR0015000".."ERR0019999") into `heading` and returns 1; returns 0 and
// leaves `heading` untouched for any other id.
KXU_EXPORT int kxu_err_msg_heading(int id, CString* heading);

// Text `id` of kxErrMsg_64.dll into `text`, after its heading when it has
// one: 1 when found; 0 when the module is missing or has no such id (`text`
// untouched). A null `text` only loads the module: 1 once it is loaded.
// Texts are read into 4096 bytes; a longer one is cut there. `unused` has no
// effect (callers pass -1 or their own last argument).
KXU_EXPORT int kxu_load_err_msg_str(int id, CString* text, int unused);

// Text `id` (headed as above) with its placeholders filled, into `text`.
// Only the exact "%d" and "%s" count; the first matching row decides:
//
//   message holds               arguments given                 output
//   2+ "%s", no "%d"            first, second, number null      (first, second)
//   "%s" and "%d"               first, number                   both, in the message's order
//   "%d"                        number, first null              (*number)
//   "%s"                        first, number null              (first)
//   neither "%d" nor "%s"       any                             the message as it stands
//   otherwise                   -                               0, `text` untouched
//
//     "%s has %d", "x", 3    -> "x has 3"
//     "Done: 100%% ...", any -> "Done: 100%% ..."  (no placeholder: copied, not formatted)
//     "Cannot open %s", 3    -> 0
//
// `second` is read only in the first row, *number when formatting. Returns
// 1 when a text was produced, or when `text` is null and the message exists;
// 0 when the message cannot be loaded. `last` goes to kxu_load_err_msg_str.
KXU_EXPORT int kxu_load_msg_str(int id, CString* text, const char* first, int* number,
                                const char* second, int last);

// Shows message `id` with AfxMessageBox(text, type, 0) and returns its
// result (the button chosen). With all of first, number and second null the
// text is kxu_load_err_msg_str's, otherwise kxu_load_msg_str's; a message
// that cannot be loaded or filled shows an empty box.
KXU_EXPORT int kxu_err_msgbox(int id, UINT type, const char* first, int* number,
                              const char* second);

// Runtime text `id` of KXSmsg9_64.dll into `text`, never headed, read into
// 1024 bytes (a longer text is cut there). Returns 0 when `text` is null or
// the module is missing (`text` untouched); otherwise the companion's
// load_resource_string result: the text's whole length, or 0 for an unknown
// id (`text` untouched).
KXU_EXPORT int kxu_load_runtime_err(int id, CString* text);
