#include <zuvuvur/afx/afx.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>
#include <string>

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

TEST(CString, NullPointerMakesEmptyString) {
    CString s(static_cast<const char*>(nullptr));
    EXPECT_STREQ(s, "");
    s = "x";
    s = static_cast<const char*>(nullptr);
    s += static_cast<const char*>(nullptr);
    EXPECT_TRUE(s.IsEmpty());
}

TEST(CString, ExtractionAndSearchAreClampedToTheString) {
    const CString s("abcdef");
    const struct {
        CString got;
        const char* want;
    } rows[] = {
        {s.Left(-1), ""},      {s.Left(3), "abc"}, {s.Left(99), "abcdef"},  {s.Mid(2), "cdef"},
        {s.Mid(-5), "abcdef"}, {s.Mid(99), ""},    {s.Mid(1, 2), "bc"},     {s.Mid(4, 99), "ef"},
        {s.Mid(1, -1), ""},    {s.Right(2), "ef"}, {s.Right(99), "abcdef"}, {s.Right(-3), ""},
    };
    for (const auto& r : rows) EXPECT_STREQ(r.got, r.want);
    const CString t("abcabcABC");
    const struct {
        int got, want;
    } finds[] = {
        {t.Find('b', 2), 4},     {t.Find('B'), 7},         {t.Find('z'), -1},
        {t.Find("abc", 1), 3},   {t.Find("abc", 4), -1},   {t.Find("x", 99), -1},
        {t.ReverseFind('a'), 3}, {t.ReverseFind('z'), -1},
    };
    for (const auto& f : finds) EXPECT_EQ(f.got, f.want);
}

TEST(CString, ReleaseBufferRemeasuresUpToFirstNul) {
    CString s("hello");
    char* p = s.GetBuffer(20);
    std::strcpy(p, "hi there");
    p[2] = '\0';
    s.ReleaseBuffer();
    EXPECT_EQ(s.GetLength(), 2);
    EXPECT_STREQ(s, "hi");
    std::memcpy(s.GetBuffer(10), "abcdef", 6);
    s.ReleaseBuffer(4);
    EXPECT_STREQ(s, "abcd");
}

TEST(CString, CopiesShareUntilWrittenAndMoveAsRawBytes) {
    CString a("shared"), b = a, c, d;
    c = a;
    d = a;
    EXPECT_EQ(static_cast<const char*>(a), static_cast<const char*>(b));  // one block until written
    b.SetAt(0, 'S');
    c.GetBuffer(0)[1] = 'H';
    c.ReleaseBuffer();
    d.SetString(static_cast<const char*>(d) + 2, 3);  // a part of its own (shared) text
    a += "!";
    EXPECT_STREQ(a, "shared!");
    EXPECT_STREQ(b, "Shared");
    EXPECT_STREQ(c, "sHared");
    EXPECT_STREQ(d, "are");
    // A sort relocates strings with memcpy; the text must follow untouched.
    alignas(CString) unsigned char raw[2][sizeof(CString)];
    new (raw[0]) CString("moved text");
    std::memcpy(raw[1], raw[0], sizeof(CString));
    auto* moved = std::launder(reinterpret_cast<CString*>(raw[1]));
    EXPECT_STREQ(*moved, "moved text");
    moved->~CString();
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
        {true, "abc", "abcd", -1},
    };
    for (const auto& r : rows) {
        const int got = r.noCase ? CString(r.a).CompareNoCase(r.b) : CString(r.a).Compare(r.b);
        EXPECT_EQ((got > 0) - (got < 0), r.sign) << r.a << " vs " << (r.b ? r.b : "null");
    }
}

TEST(CString, EditingOperations) {
    CString s("  a,b,,c  ");
    s.TrimLeft();
    s.TrimRight();
    EXPECT_EQ(s.Remove(','), 3);
    EXPECT_EQ(s.Insert(1, "XY"), 5);
    EXPECT_STREQ(s, "aXYbc");
    EXPECT_EQ(s.Delete(1, 2), 3);
    EXPECT_EQ(s.Delete(2, 99), 2);
    EXPECT_STREQ(s, "ab");
    CString r("a-b-c");
    EXPECT_EQ(r.Replace("-", "--"), 2);
    EXPECT_EQ(r.Replace("--", ""), 2);
    EXPECT_STREQ(r, "abc");
    CString u("\xE9t\xE9 x\\\\");
    u.TrimRight('\\');
    u.MakeUpper();
    EXPECT_STREQ(u, "\xC9T\xC9 X");
    u.Format("%s%07d", "ERR", 15000);
    u += u;  // appending itself
    EXPECT_STREQ(u, "ERR0015000ERR0015000");
}

// Every index check of the framework's containers throws CInvalidArgException by pointer; an
// impossible size throws CMemoryException, and nothing changes.
TEST(Containers, BoundsAndMemoryFailuresThrowByPointer) {
    CString s("abc");
    CStringArray a;
    a.Add("x");
    CArray<int, int> n;
    n.SetSize(10);
    const struct {
        std::function<void()> f;
        const char* thrown;
    } rows[] = {
        {[&] { s.GetAt(3); }, "invalid-arg"},
        {[&] { s.SetAt(-1, 'x'); }, "invalid-arg"},
        {[&] { s.GetAt(2); }, "none"},
        {[&] { s.GetBuffer(INT_MAX); }, "memory"},
        {[&] { s.SetString(nullptr, 2); }, "invalid-arg"},
        {[&] { a.GetAt(1); }, "invalid-arg"},
        {[&] { a.GetAt(-1); }, "invalid-arg"},
        {[&] { a.SetAt(1, "z"); }, "invalid-arg"},
        {[&] { a.RemoveAt(0, 2); }, "invalid-arg"},
        {[&] { a.SetAtGrow(-1, "z"); }, "invalid-arg"},
        {[&] { n.GetAt(10); }, "invalid-arg"},
        {[&] { n[-1] = 0; }, "invalid-arg"},
        {[&] { n.RemoveAt(8, 3); }, "invalid-arg"},
        {[&] { n.SetSize(-1); }, "invalid-arg"},
        {[&] { CArray<double, double>().SetSize(PTRDIFF_MAX); }, "memory"},
    };
    for (const auto& r : rows) EXPECT_EQ(Thrown(r.f), r.thrown);
    EXPECT_STREQ(s, "abc");
    EXPECT_EQ(a.GetSize(), 1);
    EXPECT_EQ(n.GetSize(), 10);
}

TEST(CStringArray, GrowsWithEmptyStringsAndTakesValuesFromItself) {
    CStringArray a;
    a.Add(static_cast<const char*>(nullptr));
    a.SetAtGrow(3, "y");  // grows with empty strings
    ASSERT_EQ(a.GetSize(), 4);
    EXPECT_STREQ(a[0], "");
    EXPECT_STREQ(a[2], "");
    a.RemoveAt(1, 2);
    a.SetAtGrow(0, a[1]);  // the value lives inside the array itself
    a.InsertAt(1, CString("new"), 2);
    ASSERT_EQ(a.GetSize(), 4);
    EXPECT_STREQ(a[0], "y");
    EXPECT_STREQ(a[2], "new");
    EXPECT_STREQ(a[3], "y");
    CStringArray copy(a);
    a.SetSize(0);
    EXPECT_EQ(copy.GetSize(), 4);
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

TEST(Runtime, ExceptionsKnowTheirKind) {
    CInvalidArgException e;
    EXPECT_TRUE(e.IsKindOf(RUNTIME_CLASS(CException)));
    EXPECT_FALSE(e.IsKindOf(RUNTIME_CLASS(CMemoryException)));
}

}  // namespace
