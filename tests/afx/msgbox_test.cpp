// AfxMessageBox: the terminal default and a host's handler.
#include <zuvuvur/afx/afx.h>

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(MessageBox, EnterChoosesTheDefaultButtonOfTheSet) {
    struct Row {
        UINT type;
        int answer;
    };
    const Row rows[] = {
        {MB_OK, IDOK},
        {MB_OK | MB_DEFBUTTON2, IDOK},  // no second button: the first
        {MB_OKCANCEL | MB_DEFBUTTON2, IDCANCEL},
        {MB_ABORTRETRYIGNORE | MB_DEFBUTTON3, IDIGNORE},
        {MB_ABORTRETRYIGNORE | MB_DEFBUTTON4, IDABORT},
        {MB_YESNOCANCEL | MB_ICONQUESTION, IDYES},
        {MB_YESNO | MB_DEFBUTTON2 | MB_ICONWARNING | MB_TOPMOST, IDNO},
        {MB_RETRYCANCEL, IDRETRY},
        {MB_CANCELTRYCONTINUE | MB_DEFBUTTON3, IDCONTINUE},
        {MB_YESNO | MB_HELP | MB_DEFBUTTON3, IDYES},  // the help button never answers
        {7, 0},
        {MB_TYPEMASK, 0},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(AfxMessageBoxDefaultResult(row.type), row.answer) << std::hex << row.type;
        testing::internal::CaptureStderr();
        EXPECT_EQ(AfxMessageBox("Go on?", row.type), row.answer) << std::hex << row.type;
        EXPECT_EQ(testing::internal::GetCapturedStderr(), row.answer ? "Go on?\n" : "");
    }
    testing::internal::CaptureStderr();
    EXPECT_EQ(AfxMessageBox(nullptr), IDOK);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "\n");
}

struct Seen {
    std::string text;
    UINT type = 0;
    UINT helpId = 0;
};
Seen g_seen;

int RecordingHandler(const char* text, UINT type, UINT helpId) {
    g_seen = {text, type, helpId};
    return IDNO;
}

TEST(MessageBox, AnInstalledHandlerShowsTheBoxAndAnswers) {
    EXPECT_EQ(AfxSetMessageBoxHandler(&RecordingHandler), nullptr);
    testing::internal::CaptureStderr();
    EXPECT_EQ(AfxMessageBox(nullptr, 99), IDNO);  // even a type the default refuses
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(g_seen.text, "");
    EXPECT_EQ(g_seen.type, 99u);
    EXPECT_EQ(AfxMessageBox("Replace it?", MB_YESNO | MB_ICONQUESTION, 42), IDNO);
    EXPECT_EQ(g_seen.text, "Replace it?");
    EXPECT_EQ(g_seen.type, MB_YESNO | MB_ICONQUESTION);
    EXPECT_EQ(g_seen.helpId, 42u);
    // Null puts the terminal default back.
    EXPECT_EQ(AfxSetMessageBoxHandler(nullptr), &RecordingHandler);
    testing::internal::CaptureStderr();
    EXPECT_EQ(AfxMessageBox("Replace it?", MB_YESNO | MB_DEFBUTTON2), IDNO);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Replace it?\n");
}

}  // namespace
