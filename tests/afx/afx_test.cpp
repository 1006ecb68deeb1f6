// The framework types as a host uses them: strings, arrays, exceptions and
// message boxes. What the library's own entries already drive through the
// same code is left to their tests; here are the members they never call.
#include <zuvuvur/afx/afx.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>
#include <set>
#include <string>

#include "support/test_host.h"

namespace {

// Runs f and reports which framework exception, if any, it threw (by pointer).
std::string Thrown(const std::function<void()>& f) {
    try {
        f();
    } catch (CInvalidArgException* e) {
        e->Delete();
        return "invalid-arg";
    } catch (CMemoryException* e) {
        e->Delete();
        return "memory";
    }
    return "none";
}

TEST(CString, ExtractionAndSearchAreClampedToTheString) {
    const CString s("abcdef"), t("abcabcABC");
    const struct {
        CString got;
        const char* want;
    } rows[] = {
        {s.Left(-1), ""},          {s.Left(3), "abc"},       {s.Left(99), "abcdef"},
        {s.Mid(2), "cdef"},        {s.Mid(-5), "abcdef"},    {s.Mid(99), ""},
        {s.Mid(1, 2), "bc"},       {s.Mid(4, 99), "ef"},     {s.Mid(1, -1), ""},
        {s.Right(2), "ef"},        {s.Right(99), "abcdef"},  {s.Right(-3), ""},
        {CString(nullptr, 3), ""}, {CString('x', 3), "xxx"},
    };
    for (const auto& r : rows) EXPECT_STREQ(r.got, r.want);
    const struct {
        int got, want;
    } finds[] = {
        {t.Find('b', 2), 4},      {t.Find('B'), 7},           {t.Find('z'), -1},
        {t.Find('a', 99), -1},    {t.Find("abc", 1), 3},      {t.Find("abc", 4), -1},
        {t.Find("x", 99), -1},    {t.Find(nullptr), -1},      {t.ReverseFind('b'), 4},
        {s.ReverseFind('a'), 0},  {t.ReverseFind('z'), -1},   {t.FindOneOf("Cx"), 8},
        {t.FindOneOf("xyz"), -1}, {t.FindOneOf(nullptr), -1},
    };
    for (const auto& f : finds) EXPECT_EQ(f.got, f.want);
}

TEST(CString, EditsGiveTheirTextAndCount) {
    const struct {
        const char* before;
        std::function<int(CString&)> edit;
        const char* after;
        int result;
    } rows[] = {
        {" \t\n\v\f\r\x08x\x0e \r", [](CString& s) { return s.TrimLeft().TrimRight().GetLength(); },
         "\x08x\x0e", 3},
        {"xxaxx", [](CString& s) { return s.TrimLeft('x').TrimRight('x').GetLength(); }, "a", 1},
        {",;a;,", [](CString& s) { return s.TrimLeft(",;").TrimRight(",;").GetLength(); }, "a", 1},
        {",a,",
         [](CString& s) {
             return s.TrimLeft("").TrimRight(nullptr).TrimLeft(nullptr).TrimRight("").GetLength();
         },
         ",a,", 3},
        {"\xE9t\xE9 x", [](CString& s) { return s.MakeUpper().GetLength(); }, "\xC9T\xC9 X", 5},
        {"\xC9T\xC9 X", [](CString& s) { return s.MakeLower().GetLength(); }, "\xE9t\xE9 x", 5},
        {",a,b,,", [](CString& s) { return s.Remove(','); }, "ab", 4},
        {"abc", [](CString& s) { return s.Remove('z'); }, "abc", 0},
        {"abca", [](CString& s) { return s.Replace('a', 'b'); }, "bbcb", 2},
        {"aba", [](CString& s) { return s.Replace('z', 'y') + s.Replace('a', 'a'); }, "aba", 0},
        {"a-b-c", [](CString& s) { return s.Replace("-", "--"); }, "a--b--c", 2},
        {"a--b", [](CString& s) { return s.Replace("--", nullptr); }, "ab", 1},
        {"abc", [](CString& s) { return s.Replace("", "x") + s.Replace("z", "y"); }, "abc", 0},
        {"ac", [](CString& s) { return s.Insert(1, "XY"); }, "aXYc", 4},
        {"ab", [](CString& s) { return s.Insert(1, ""); }, "ab", 2},
        {"ab", [](CString& s) { return s.Insert(9, 'c'); }, "abc", 3},
        {"abcd", [](CString& s) { return s.Delete(1, 2); }, "ad", 2},
        {"abcd", [](CString& s) { return s.Delete(2, 99); }, "ab", 2},
        {"abcd", [](CString& s) { return s.Delete(9, 1); }, "abcd", 4},
        {"ab", [](CString& s) { return (s += s).GetLength(); }, "abab", 4},
        {"ab", [](CString& s) { return (s += static_cast<const char*>(s) + 1).GetLength(); }, "abb",
         3},
        {"abc", [](CString& s) { return s.SetAt(0, 'S'), s.GetBuffer(0)[1] = 'H', 0; }, "SHc", 0},
        {"x", [](CString& s) { return s.Format("%s%07d", "ERR", 15000), s.GetLength(); },
         "ERR0015000", 10},
    };
    for (const auto& r : rows) {
        CString s(r.before);
        const CString copy = s;  // shares the text until s is written
        const int result = r.edit(s);
        s.ReleaseBuffer();
        EXPECT_EQ(result, r.result) << r.before;
        EXPECT_STREQ(s, r.after) << r.before;
        EXPECT_STREQ(copy, r.before);
    }
}

TEST(CString, CompareByUnsignedBytesAndNoCaseFoldsWindows1252) {
    const struct {
        bool noCase;
        const char* a;
        const char* b;
        int sign;
    } rows[] = {
        {false, "B", "a", -1},      {false, "\xE9", "z", 1},  // 0xE9 above 'z'
        {false, "ab", "abc", -1},   {false, "", nullptr, 0},
        {true, "abc", "ABC", 0},    {true, "\xC9T\xC9", "\xE9t\xE9", 0},
        {true, "\x8A", "\x9A", 0},  {true, "\x9F", "\xFF", 0},
        {true, "_", "a", -1},       {true, "_", "A", -1},  // folds to lower case, not upper
        {true, "\xD7", "\xF7", -1},  // multiplication and division signs differ
        {true, "abc", nullptr, 1},
    };
    for (const auto& r : rows) {
        const int got = r.noCase ? CString(r.a).CompareNoCase(r.b) : CString(r.a).Compare(r.b);
        EXPECT_EQ((got > 0) - (got < 0), r.sign) << r.a << " vs " << (r.b ? r.b : "null");
    }
}

// Every index check of the framework's containers throws CInvalidArgException
// by pointer; an impossible size throws CMemoryException.
TEST(Containers, BoundsAndSizesThrowByPointer) {
    CString s("abc");
    CStringArray a;
    CArray<int, int> n;
    const struct {
        std::function<void()> f;
        const char* thrown;
    } rows[] = {
        {[&] { s.GetAt(3); }, "invalid-arg"},
        {[&] { s.SetAt(-1, 'x'); }, "invalid-arg"},
        {[&] { s.GetAt(2); }, "none"},
        {[&] { s.GetBuffer(INT_MAX); }, "memory"},
        {[&] { s.SetString(nullptr, 2); }, "invalid-arg"},
        {[&] { s.SetString("x", -1); }, "invalid-arg"},
        {[&] { a.GetAt(4); }, "invalid-arg"},
        {[&] { a.ElementAt(-1); }, "invalid-arg"},
        {[&] { a.SetAt(4, "z"); }, "invalid-arg"},
        {[&] { a.SetAtGrow(-1, "z"); }, "invalid-arg"},
        {[&] { a.InsertAt(-1, "z"); }, "invalid-arg"},
        {[&] { a.InsertAt(0, "z", 0); }, "invalid-arg"},
        {[&] { a.RemoveAt(-1, 1); }, "invalid-arg"},
        {[&] { a.RemoveAt(0, -1); }, "invalid-arg"},
        {[&] { a.RemoveAt(5, 0); }, "invalid-arg"},
        {[&] { a.RemoveAt(2, 3); }, "invalid-arg"},
        {[&] { a.RemoveAt(4, 0); }, "none"},
        {[&] { a.RemoveAt(0, 0); }, "none"},
        {[&] { n.GetAt(10); }, "invalid-arg"},
        {[&] { n[-1] = 0; }, "invalid-arg"},
        {[&] { n.RemoveAt(8, 3); }, "invalid-arg"},
        {[&] { n.SetSize(-1); }, "invalid-arg"},
        // So many elements that their bytes would wrap around to almost none.
        {[&] { n.SetSize(PTRDIFF_MAX / 2 + 1); }, "memory"},
        {[&] { a.SetSize(PTRDIFF_MAX / 4 + 1); }, "memory"},
    };
    for (const auto& r : rows) {
        a.SetSize(0);
        for (const char* v : {"a", "b", "c", "d"}) a.Add(v);
        n.SetSize(10);
        EXPECT_EQ(Thrown(r.f), r.thrown);
        EXPECT_STREQ(s, "abc");
        EXPECT_EQ(ToVector(a), (Strings{"a", "b", "c", "d"}));
        EXPECT_EQ(n.GetSize(), 10);
    }
}

TEST(CStringArray, GrowsInsertsAndRemovesAroundItsOwnValues) {
    CStringArray a;
    a.Add(static_cast<const char*>(nullptr));
    a.SetAtGrow(3, "y");  // grows with empty strings
    EXPECT_EQ(ToVector(a), (Strings{"", "", "", "y"}));
    a.RemoveAt(1, 2);
    a.SetAtGrow(0, a[1]);  // the value lives inside the array itself
    a.InsertAt(0, CString("new"), 2);
    a.InsertAt(6, CString("end"), 2);  // past the end: the gap is filled with empty strings
    a.Append(a);
    EXPECT_EQ(ToVector(a), (Strings{"new", "new", "y", "y", "", "", "end", "end", "new", "new", "y",
                                    "y", "", "", "end", "end"}));
    a.RemoveAt(1, 15);  // up to the end
    a.FreeExtra();
    CStringArray copy(a);
    a.SetSize(0);
    EXPECT_EQ(ToVector(copy), Strings{"new"});
    for (int i = 0; i < 200000; ++i) a.Add(i % 2 ? "odd" : "even");
    EXPECT_STREQ(a[199999], "odd");
}

TEST(CArray, RemovesInsertsAndZeroFills) {
    CArray<int, int> a;
    for (int i = 0; i < 10; ++i) a.Add(i);
    a.RemoveAt(2, 3);
    a.InsertAt(0, -1);
    a.SetSize(20);
    const int want[] = {-1, 0, 1, 5, 6, 7, 8, 9};
    for (int i = 0; i < 20; ++i) EXPECT_EQ(a[i], i < 8 ? want[i] : 0) << i;
}

// Each cause says its own words and names the file, except the four the
// framework has no words for; no message is written where there is no room.
TEST(Exceptions, KnowTheirKindAndSayWhatWentWrong) {
    char text[96];
    UINT help = 7;
    std::set<std::string> said;
    for (int cause = CFileException::none; cause <= CFileException::endOfFile; ++cause) {
        ASSERT_TRUE(CFileException(cause, 0, "f.txt").GetErrorMessage(text, sizeof text, &help));
        EXPECT_EQ(help, 0u);
        EXPECT_EQ(std::string(text).find("f.txt") == std::string::npos, cause == 0) << text;
        said.insert(text);
    }
    EXPECT_EQ(said.size(), 12u);
    CMemoryException memory;
    CInvalidArgException invalid;
    CFileException file;
    for (const CException* e :
         {static_cast<CException*>(&memory), static_cast<CException*>(&invalid),
          static_cast<CException*>(&file)}) {
        EXPECT_FALSE(e->GetErrorMessage(nullptr, 8));
        EXPECT_FALSE(e->GetErrorMessage(text, 0));
        EXPECT_TRUE(e->GetErrorMessage(text, 4));
        EXPECT_EQ(std::strlen(text), 3u);
        EXPECT_TRUE(e->IsKindOf(RUNTIME_CLASS(CException)));
    }
    EXPECT_FALSE(invalid.IsKindOf(RUNTIME_CLASS(CMemoryException)));
}

// Enter chooses the default button of the set; the help button never answers.
TEST(MessageBox, TheTerminalAnswersWithTheDefaultButton) {
    const struct {
        UINT type;
        int answer;
    } rows[] = {
        {MB_OK, IDOK},
        {MB_OK | MB_DEFBUTTON2, IDOK},  // no second button: the first
        {MB_OKCANCEL | MB_DEFBUTTON2, IDCANCEL},
        {MB_ABORTRETRYIGNORE | MB_DEFBUTTON3, IDIGNORE},
        {MB_ABORTRETRYIGNORE | MB_DEFBUTTON4, IDABORT},
        {MB_YESNOCANCEL | MB_ICONQUESTION, IDYES},
        {MB_YESNO | MB_DEFBUTTON2 | MB_ICONWARNING | MB_TOPMOST, IDNO},
        {MB_RETRYCANCEL, IDRETRY},
        {MB_CANCELTRYCONTINUE | MB_DEFBUTTON3, IDCONTINUE},
        {MB_YESNO | MB_HELP | MB_DEFBUTTON3, IDYES},
        {7, 0},
        {MB_TYPEMASK, 0},
    };
    for (const auto& row : rows) {
        testing::internal::CaptureStderr();
        EXPECT_EQ(AfxMessageBox("Go on?", row.type), row.answer) << std::hex << row.type;
        EXPECT_EQ(testing::internal::GetCapturedStderr(), row.answer ? "Go on?\n" : "");
    }
    testing::internal::CaptureStderr();
    EXPECT_EQ(AfxMessageBox(nullptr), IDOK);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "\n");
}

std::string g_seen;
int RecordingHandler(const char* text, UINT type, UINT helpId) {
    g_seen = std::string(text) + "|" + std::to_string(type) + "|" + std::to_string(helpId);
    return IDNO;
}

TEST(MessageBox, AnInstalledHandlerShowsTheBoxUntilNullPutsTheTerminalBack) {
    EXPECT_EQ(AfxSetMessageBoxHandler(&RecordingHandler), nullptr);
    testing::internal::CaptureStderr();
    EXPECT_EQ(AfxMessageBox(nullptr, 99, 42), IDNO);  // even a type the terminal refuses
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(g_seen, "|99|42");
    EXPECT_EQ(AfxSetMessageBoxHandler(nullptr), &RecordingHandler);
    testing::internal::CaptureStderr();
    EXPECT_EQ(AfxMessageBox("Replace it?", MB_YESNO | MB_DEFBUTTON2), IDNO);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Replace it?\n");
}

}  // namespace
