#include <zuvuvur/afx/msgbox.h>

#include <cstdio>

namespace {

// The host's handler; null while the terminal default is in place.
AFX_MSGBOX_HANDLER g_messageBoxHandler = nullptr;

int TerminalMessageBox(const char* text, UINT type, UINT /*helpId*/) {
    int answer = AfxMessageBoxDefaultResult(type);
    if (answer == 0) return 0;
    std::fputs(text, stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
    return answer;
}

}  // namespace

int AfxMessageBoxDefaultResult(UINT type) {
    // The buttons of each set, left to right, as MB_DEFBUTTONn counts them.
    static constexpr int kSets[][4] = {
        {IDOK, 0, 0, 0},                        // MB_OK
        {IDOK, IDCANCEL, 0, 0},                 // MB_OKCANCEL
        {IDABORT, IDRETRY, IDIGNORE, 0},        // MB_ABORTRETRYIGNORE
        {IDYES, IDNO, IDCANCEL, 0},             // MB_YESNOCANCEL
        {IDYES, IDNO, 0, 0},                    // MB_YESNO
        {IDRETRY, IDCANCEL, 0, 0},              // MB_RETRYCANCEL
        {IDCANCEL, IDTRYAGAIN, IDCONTINUE, 0},  // MB_CANCELTRYCONTINUE
    };
    UINT set = type & MB_TYPEMASK;
    if (set >= sizeof kSets / sizeof kSets[0]) return 0;
    UINT index = (type & MB_DEFMASK) >> 8;
    int button = kSets[set][index];
    // A default beyond the set falls back to its first button. (MB_HELP's
    // extra button never closes a box, so it cannot be the answer.)
    return button != 0 ? button : kSets[set][0];
}

AFX_MSGBOX_HANDLER AfxSetMessageBoxHandler(AFX_MSGBOX_HANDLER handler) {
    AFX_MSGBOX_HANDLER previous = g_messageBoxHandler;
    g_messageBoxHandler = handler;
    return previous;
}

int AfxMessageBox(const char* text, UINT type, UINT helpId) {
    if (!text) text = "";
    AFX_MSGBOX_HANDLER handler = g_messageBoxHandler ? g_messageBoxHandler : TerminalMessageBox;
    return handler(text, type, helpId);
}
