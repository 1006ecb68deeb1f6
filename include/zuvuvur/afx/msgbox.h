// Message boxes: AfxMessageBox, its type flags and results (the Windows
// values), and the handler through which a host shows the boxes.
//
//     AfxSetMessageBoxHandler(&ShowInMyWindow);  // a host with windows, once
//     if (AfxMessageBox("Replace it?", MB_YESNO | MB_ICONQUESTION) == IDYES) ...
//
// The framework draws nothing itself. A host with a user interface installs a
// handler that shows the box and returns the button chosen; whatever the
// handler returns is what AfxMessageBox returns.
//
// Without a handler (a terminal host, a test program) the box goes to
// standard error as its text and a line feed, and is answered at once with
// the button a user gets by pressing Enter: the default button of the set
// (MB_DEFBUTTON1..4; the first button when the flag names none of the set).
// Waiting for a keyboard answer was ruled out, because scripts also run
// unattended and a box must never hang them. A type whose button set is not
// one of the seven (type & MB_TYPEMASK above 6) makes no box: nothing is
// written and the result is 0, the framework's answer for a box that could
// not be shown. A null text shows as an empty box.
#pragma once

#include "types.h"

// Button sets (type & MB_TYPEMASK).
#ifndef MB_OK
#define MB_OK 0x00000000u
#define MB_OKCANCEL 0x00000001u
#define MB_ABORTRETRYIGNORE 0x00000002u
#define MB_YESNOCANCEL 0x00000003u
#define MB_YESNO 0x00000004u
#define MB_RETRYCANCEL 0x00000005u
#define MB_CANCELTRYCONTINUE 0x00000006u
// Icons (type & MB_ICONMASK).
#define MB_ICONHAND 0x00000010u
#define MB_ICONQUESTION 0x00000020u
#define MB_ICONEXCLAMATION 0x00000030u
#define MB_ICONASTERISK 0x00000040u
#define MB_ICONERROR MB_ICONHAND
#define MB_ICONSTOP MB_ICONHAND
#define MB_ICONWARNING MB_ICONEXCLAMATION
#define MB_ICONINFORMATION MB_ICONASTERISK
// Default button (type & MB_DEFMASK).
#define MB_DEFBUTTON1 0x00000000u
#define MB_DEFBUTTON2 0x00000100u
#define MB_DEFBUTTON3 0x00000200u
#define MB_DEFBUTTON4 0x00000300u
// Modality and extras.
#define MB_APPLMODAL 0x00000000u
#define MB_SYSTEMMODAL 0x00001000u
#define MB_TASKMODAL 0x00002000u
#define MB_HELP 0x00004000u
#define MB_SETFOREGROUND 0x00010000u
#define MB_TOPMOST 0x00040000u
// Masks.
#define MB_TYPEMASK 0x0000000Fu
#define MB_ICONMASK 0x000000F0u
#define MB_DEFMASK 0x00000F00u
#define MB_MODEMASK 0x00003000u
#endif

// Results: the button chosen.
#ifndef IDOK
#define IDOK 1
#define IDCANCEL 2
#define IDABORT 3
#define IDRETRY 4
#define IDIGNORE 5
#define IDYES 6
#define IDNO 7
#define IDCLOSE 8
#define IDHELP 9
#define IDTRYAGAIN 10
#define IDCONTINUE 11
#endif

// Shows `text` (null: empty) in a box of `type` and returns the button chosen.
KXAFX_API int AfxMessageBox(const char* text, UINT type = MB_OK, UINT helpId = 0);

// A host's way of showing a box: gets AfxMessageBox's arguments (text never
// null) and returns the button chosen, or 0 when it cannot show the box.
using AFX_MSGBOX_HANDLER = int (*)(const char* text, UINT type, UINT helpId);

// Installs `handler` for every later AfxMessageBox of the process (null
// restores the terminal default) and returns the one it replaces (null for
// the default). Process-wide and unguarded, like the rest of the framework's
// state: install it before scripts run.
KXAFX_API AFX_MSGBOX_HANDLER AfxSetMessageBoxHandler(AFX_MSGBOX_HANDLER handler);

// The button that pressing Enter chooses in a box of `type` (see the top of
// this file); 0 when the button set is not one of the seven. For handlers
// that answer without asking.
KXAFX_API int AfxMessageBoxDefaultResult(UINT type);
