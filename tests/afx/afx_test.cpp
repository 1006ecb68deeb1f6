// The framework types as a host uses them. The library's entries drive most
// of their code already (and kxhost's tests the message box's default
// button); here are the members the entries never call and the edges they
// never reach.
#include <zuvuvur/afx/afx.h>

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <set>
#include <string>

#include "support/test_host.h"

namespace {

TEST(CString, ExtractionAndSearchAreClampedToTheString) {
    const CString s("abcdef"), t("abcabcABC");
    const std::pair<CString, const char*> rows[] = {
        {s.Mid(-5, 2), "ab"}, {s.Mid(99), ""},         {s.Mid(4, 99), "ef"},
        {s.Right(-3), ""},    {s.Right(99), "abcdef"}, {CString(nullptr, 3), ""},
    };
    for (const auto& [got, want] : rows) EXPECT_STREQ(got, want);
    const int finds[][2] = {
        {t.Find('a', 99), -1},    {t.Find("x", 99), -1},    {t.Find(nullptr), -1},
        {t.ReverseFind('z'), -1}, {t.FindOneOf("xyz"), -1}, {t.FindOneOf(nullptr), -1},
    };
    for (const auto& f : finds) EXPECT_EQ(f[0], f[1]);
}

// Each edit on a string that shares its text with a copy, which must not change.
TEST(CString, EditsGiveTheirTextAndCount) {
    const struct {
        const char* before;
        std::function<int(CString&)> edit;
        const char* after;
        int result;
    } rows[] = {
        {" \t\n\v\f\r\x08x\x0e \r", [](CString& s) { return s.TrimLeft().TrimRight().GetLength(); },
         "\x08x\x0e", 3},
        {",;a;,", [](CString& s) { return s.TrimLeft(",;").TrimRight(",;").GetLength(); }, "a", 1},
        {"xxaxx", [](CString& s) { return s.TrimLeft('x').TrimRight('x').GetLength(); }, "a", 1},
        {",a,", [](CString& s) { return s.TrimLeft("").TrimRight(nullptr).GetLength(); }, ",a,", 3},
        {",a,", [](CString& s) { return s.TrimLeft(nullptr).TrimRight("").GetLength(); }, ",a,", 3},
        {",a,b,,", [](CString& s) { return s.Remove(',') * 10 + s.Remove('z'); }, "ab", 40},
        {"a--b-", [](CString& s) { return s.Replace("--", nullptr) + s.Replace("", "x"); }, "ab-",
         1},
        {"ac", [](CString& s) { return s.Insert(1, "XY") == 4 ? s.Delete(2, 99) : -1; }, "aX", 2},
        {"abca", [](CString& s) { return s.Replace('a', 'b') * 10 + s.Replace('c', 'c'); }, "bbcb",
         20},
        {"abc", [](CString& s) { return s.SetAt(0, 'S'), s.GetBuffer(0)[1] = 'H', 0; }, "SHc", 0},
    };
    for (const auto& r : rows) {
        CString s(r.before);
        const CString copy = s;
        EXPECT_EQ(r.edit(s), r.result) << r.before;
        s.ReleaseBuffer();
        EXPECT_STREQ(s, r.after) << r.before;
        EXPECT_STREQ(copy, r.before);
    }
}

// Every index check throws CInvalidArgException by pointer, an impossible size
// CMemoryException (so many elements that their bytes would wrap around to
// almost none), and neither changes the container.
TEST(Containers, BoundsAndSizesThrowByPointer) {
    CString s("abc");
    CStringArray a;
    const std::pair<std::function<void()>, const char*> rows[] = {
        {[&] { s.GetAt(3); }, "invalid"},
        {[&] { s.GetBuffer(INT_MAX); }, "memory"},
        {[&] { s.SetString(nullptr, 2); }, "invalid"},
        {[&] { a.GetAt(4); }, "invalid"},
        {[&] { a.SetAtGrow(-1, "z"); }, "invalid"},
        {[&] { a.InsertAt(0, "z", 0); }, "invalid"},
        {[&] { a.RemoveAt(0, -1); }, "invalid"},
        {[&] { a.RemoveAt(5, 0); }, "invalid"},
        {[&] { a.RemoveAt(2, 3); }, "invalid"},
        {[&] { a.RemoveAt(4, 0); }, "none"},
        {[&] { a.SetSize(PTRDIFF_MAX / 4 + 1); }, "memory"},
    };
    for (const auto& [f, want] : rows) {
        a.SetSize(0);
        for (const char* v : {"a", "b", "c", "d"}) a.Add(v);
        std::string thrown = "none";
        try {
            f();
        } catch (CInvalidArgException* e) {
            e->Delete(), thrown = "invalid";
        } catch (CMemoryException* e) {
            e->Delete(), thrown = "memory";
        }
        EXPECT_EQ(thrown, want);
        EXPECT_STREQ(s, "abc");
        EXPECT_EQ(ToVector(a), (Strings{"a", "b", "c", "d"}));
    }
}

TEST(Containers, GrowInsertAndRemoveAroundTheirOwnValues) {
    CStringArray a;
    a.Add(static_cast<const char*>(nullptr));
    a.SetAtGrow(3, "y");  // grows with empty strings
    a.RemoveAt(1, 2);
    a.SetAtGrow(0, a[1]);  // the value lives inside the array itself
    a.InsertAt(0, CString("new"), 2);
    a.InsertAt(6, CString("end"), 2);  // past the end: the gap is filled with empty strings
    a.Append(a);
    EXPECT_EQ(ToVector(a), (Strings{"new", "new", "y", "y", "", "", "end", "end", "new", "new", "y",
                                    "y", "", "", "end", "end"}));
    a.RemoveAt(1, 15);  // up to the end
    a.FreeExtra();
    EXPECT_EQ(ToVector(CStringArray(a)), Strings{"new"});
}

// Each cause of a file exception says its own words.
TEST(Exceptions, SayWhatWentWrong) {
    std::set<std::string> said;
    for (int cause = CFileException::none; cause <= CFileException::endOfFile; ++cause) {
        char text[96] = "";
        CFileException(cause, 0, "f.txt").GetErrorMessage(text, sizeof text);
        said.insert(text);
    }
    EXPECT_EQ(said.size(), 12u);
    // Nor is an invalid argument a memory exception; no message is written
    // where there is no room.
    EXPECT_FALSE(CInvalidArgException().IsKindOf(RUNTIME_CLASS(CMemoryException)) ||
                 CInvalidArgException().GetErrorMessage(nullptr, 8));
}

}  // namespace
