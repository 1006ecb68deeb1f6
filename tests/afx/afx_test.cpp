#include <zuvuvur/afx/afx.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

namespace {

// Runs f and reports which framework exception, if any, it threw (by pointer).
template <class F>
std::string Thrown(F f) {
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
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_STREQ(s, "");
    s = "x";
    s = static_cast<const char*>(nullptr);
    EXPECT_EQ(s.GetLength(), 0);
    s += static_cast<const char*>(nullptr);
    EXPECT_EQ(s.GetLength(), 0);
}

TEST(CString, ExtractionIsClampedToTheString) {
    const CString s("abcdef");
    struct Row {
        CString got;
        const char* want;
    } rows[] = {
        {s.Left(-1), ""},     {s.Left(0), ""},       {s.Left(3), "abc"}, {s.Left(99), "abcdef"},
        {s.Mid(2), "cdef"},   {s.Mid(-5), "abcdef"}, {s.Mid(99), ""},    {s.Mid(1, 2), "bc"},
        {s.Mid(4, 99), "ef"}, {s.Mid(1, -1), ""},    {s.Right(2), "ef"}, {s.Right(99), "abcdef"},
        {s.Right(-3), ""},
    };
    for (const Row& r : rows) EXPECT_STREQ(r.got, r.want);
}

TEST(CString, FindIsFirstExactMatchOrMinusOne) {
    const CString s("abcabcABC");
    EXPECT_EQ(s.Find('b'), 1);
    EXPECT_EQ(s.Find('b', 2), 4);
    EXPECT_EQ(s.Find('B'), 7);
    EXPECT_EQ(s.Find('z'), -1);
    EXPECT_EQ(s.Find("ca"), 2);
    EXPECT_EQ(s.Find("abc", 1), 3);
    EXPECT_EQ(s.Find("abc", 4), -1);  // case-sensitive: ABC does not match
    EXPECT_EQ(s.Find("x", 99), -1);
    EXPECT_EQ(s.ReverseFind('a'), 3);
    EXPECT_EQ(s.ReverseFind('z'), -1);
}

TEST(CString, ReleaseBufferRemeasuresUpToFirstNul) {
    CString s("hello");
    char* p = s.GetBuffer(20);
    std::strcpy(p, "hi there");
    p[2] = '\0';
    s.ReleaseBuffer();
    EXPECT_EQ(s.GetLength(), 2);
    EXPECT_STREQ(s, "hi");
    p = s.GetBuffer(10);
    std::memcpy(p, "abcdef", 6);
    s.ReleaseBuffer(4);
    EXPECT_STREQ(s, "abcd");
}

TEST(CString, CopiesAreIndependent) {
    CString a("shared");
    CString b = a;
    CString c;
    c = a;
    EXPECT_EQ(static_cast<const char*>(a), static_cast<const char*>(b));  // one block until written
    b.SetAt(0, 'S');
    c.GetBuffer(0)[1] = 'H';
    c.ReleaseBuffer();
    a += "!";
    EXPECT_STREQ(a, "shared!");
    EXPECT_STREQ(b, "Shared");
    EXPECT_STREQ(c, "sHared");
}

TEST(CString, SetStringTakesACountedTextAndLeavesSharersAlone) {
    CString s("abcdef");
    const char* block = s;
    s.SetString(static_cast<const char*>(s) + 2, 3);  // a part of itself
    EXPECT_STREQ(s, "cde");
    EXPECT_EQ(static_cast<const char*>(s), block);  // written into its own block
    CString sharer = s;
    s.SetString("q", 1);
    EXPECT_STREQ(sharer, "cde");
    EXPECT_STREQ(s, "q");
    EXPECT_EQ(Thrown([&] { s.SetString(nullptr, 2); }), "invalid-arg");
}

TEST(CString, MovesAsRawBytes) {
    // A sort relocates strings with memcpy; the text must follow untouched.
    alignas(CString) unsigned char raw[2][sizeof(CString)];
    new (raw[0]) CString("moved text");
    std::memcpy(raw[1], raw[0], sizeof(CString));
    auto* moved = std::launder(reinterpret_cast<CString*>(raw[1]));
    EXPECT_STREQ(*moved, "moved text");
    moved->~CString();
}

TEST(CString, CompareOrdersByUnsignedBytes) {
    EXPECT_LT(CString("a").Compare("b"), 0);
    EXPECT_LT(CString("B").Compare("a"), 0);
    EXPECT_GT(CString("\xE9").Compare("z"), 0);  // 0xE9 above 'z'
    EXPECT_LT(CString("ab").Compare("abc"), 0);
    EXPECT_EQ(CString("").Compare(nullptr), 0);
}

TEST(CString, CompareNoCaseFoldsWindows1252) {
    struct Row {
        const char* a;
        const char* b;
        int sign;
    } rows[] = {
        {"abc", "ABC", 0},   {"\xC9T\xC9", "\xE9t\xE9", 0},
        {"\x8A", "\x9A", 0}, {"\x9F", "\xFF", 0},
        {"_", "a", -1},      {"_", "A", -1},
        {"b", "A", 1},       {"\xD7", "\xF7", -1},  // multiplication and division signs differ
        {"abc", "abcd", -1},
    };
    for (const Row& r : rows) {
        int got = CString(r.a).CompareNoCase(r.b);
        EXPECT_EQ((got > 0) - (got < 0), r.sign) << r.a << " vs " << r.b;
    }
}

TEST(CString, EditingOperations) {
    CString s("  a,b,,c  ");
    s.TrimLeft();
    s.TrimRight();
    EXPECT_STREQ(s, "a,b,,c");
    EXPECT_EQ(s.Remove(','), 3);
    EXPECT_STREQ(s, "abc");
    EXPECT_EQ(s.Insert(1, "XY"), 5);
    EXPECT_STREQ(s, "aXYbc");
    EXPECT_EQ(s.Delete(1, 2), 3);
    EXPECT_EQ(s.Delete(2, 99), 2);
    EXPECT_STREQ(s, "ab");
    CString r("a-b-c");
    EXPECT_EQ(r.Replace("-", "--"), 2);
    EXPECT_STREQ(r, "a--b--c");
    EXPECT_EQ(r.Replace("--", ""), 2);
    EXPECT_STREQ(r, "abc");
    CString t("x\\\\");
    t.TrimRight('\\');
    EXPECT_STREQ(t, "x");
    CString u("\xE9t\xE9 x");
    u.MakeUpper();
    EXPECT_STREQ(u, "\xC9T\xC9 X");
    CString f;
    f.Format("%s%07d", "ERR", 15000);
    EXPECT_STREQ(f, "ERR0015000");
}

TEST(CString, AppendingManyCharactersStaysCorrect) {
    CString s;
    std::string expected;
    for (int i = 0; i < 100000; ++i) {
        s += static_cast<char>('a' + i % 26);
        expected += static_cast<char>('a' + i % 26);
    }
    EXPECT_EQ(std::string(s), expected);
    s += s;  // appending itself
    EXPECT_EQ(s.GetLength(), 200000);
}

TEST(CString, OutOfRangeAndOutOfMemoryThrowByPointer) {
    CString s("abc");
    EXPECT_EQ(Thrown([&] { s.GetAt(3); }), "invalid-arg");
    EXPECT_EQ(Thrown([&] { s.SetAt(-1, 'x'); }), "invalid-arg");
    EXPECT_EQ(Thrown([&] { s.GetBuffer(INT_MAX); }), "memory");
    EXPECT_STREQ(s, "abc");  // untouched by the failed request
    EXPECT_EQ(Thrown([&] { s.GetAt(2); }), "none");
}

TEST(CStringArray, AppendsNullAsEmptyAndChecksBounds) {
    CStringArray a;
    a.SetAtGrow(a.GetSize(), "x");
    a.Add(static_cast<const char*>(nullptr));
    a.SetAtGrow(3, "y");  // grows with empty strings
    ASSERT_EQ(a.GetSize(), 4);
    EXPECT_STREQ(a[1], "");
    EXPECT_STREQ(a[2], "");
    EXPECT_STREQ(a[3], "y");
    EXPECT_EQ(Thrown([&] { a.GetAt(4); }), "invalid-arg");
    EXPECT_EQ(Thrown([&] { a.GetAt(-1); }), "invalid-arg");
    EXPECT_EQ(Thrown([&] { a.SetAt(4, "z"); }), "invalid-arg");
    EXPECT_EQ(Thrown([&] { a.RemoveAt(3, 2); }), "invalid-arg");
    EXPECT_EQ(Thrown([&] { a.SetAtGrow(-1, "z"); }), "invalid-arg");
    a.RemoveAt(1, 2);
    ASSERT_EQ(a.GetSize(), 2);
    EXPECT_STREQ(a[1], "y");
    a.SetAtGrow(0, a[1]);  // the value lives inside the array itself
    EXPECT_STREQ(a[0], "y");
    CStringArray copy(a);
    a.SetSize(0);
    EXPECT_EQ(copy.GetSize(), 2);
}

TEST(CStringArray, GrowsToManyElements) {
    CStringArray a;
    for (int i = 0; i < 200000; ++i) a.Add(i % 2 ? "odd" : "even");
    ASSERT_EQ(a.GetSize(), 200000);
    EXPECT_STREQ(a[199999], "odd");
    a.InsertAt(1, CString("new"), 2);
    EXPECT_STREQ(a[2], "new");
    EXPECT_STREQ(a[3], "odd");
}

TEST(CArray, ChecksBoundsAndMovesValues) {
    CArray<int, int> a;
    for (int i = 0; i < 10; ++i) a.Add(i);
    EXPECT_EQ(Thrown([&] { a.GetAt(10); }), "invalid-arg");
    EXPECT_EQ(Thrown([&] { a[-1] = 0; }), "invalid-arg");
    EXPECT_EQ(Thrown([&] { a.RemoveAt(8, 3); }), "invalid-arg");
    EXPECT_EQ(Thrown([&] { a.SetSize(-1); }), "invalid-arg");
    a.RemoveAt(2, 3);
    ASSERT_EQ(a.GetSize(), 7);
    EXPECT_EQ(a[2], 5);
    a.InsertAt(0, -1);
    EXPECT_EQ(a[0], -1);
    EXPECT_EQ(a[1], 0);
    a.SetSize(20);
    EXPECT_EQ(a[19], 0);
    EXPECT_EQ(Thrown([&] {
                  CArray<double, double> d;
                  d.SetSize(PTRDIFF_MAX);
              }),
              "memory");
}

TEST(Runtime, ClassNamesAndKinds) {
    CInvalidArgException e;
    EXPECT_STREQ(e.GetRuntimeClass()->m_lpszClassName, "CInvalidArgException");
    EXPECT_TRUE(e.IsKindOf(RUNTIME_CLASS(CException)));
    EXPECT_FALSE(e.IsKindOf(RUNTIME_CLASS(CMemoryException)));
}

}  // namespace
