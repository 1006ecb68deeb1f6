// CString: the framework's narrow string with value semantics.
//
//     CString s("a,b");
//     s += ",c";                  // "a,b,c"
//     s.Left(3);                  // "a,b"
//     s.Find(',', 2);             // 3
//     char* p = s.GetBuffer(10);  // in-place work ...
//     s.ReleaseBuffer();          // ... length re-measured up to the first NUL
//
// Representation: one pointer to the characters of a reference-counted block
// that holds the reference count and the lengths just before them. So
// sizeof(CString) is one pointer, copies share the block until one of them
// is written (copy-on-write), and a CString is trivially relocatable: moving
// its 8 bytes elsewhere (a sort does) moves the string without touching the
// text. A host string variable has this same layout.
//
// Text is 8-bit in the ANSI code page (Windows-1252 assumed); every length,
// index and count is in bytes. Lengths are int, as in the framework; a string
// longer than INT_MAX - 64 bytes cannot be made and raises the memory
// exception, as does running out of memory. Index arguments of Mid, Left,
// Right, Insert and Delete are clamped to the string as the framework does;
// GetAt and SetAt with an index outside the string raise the invalid-argument
// exception.
//
// Comparison: Compare orders by unsigned byte value. CompareNoCase folds each
// byte to lower case under Windows-1252 (so 'A' == 'a' and 0xC9 'É' == 0xE9
// 'é') and then orders by unsigned byte value of the folded bytes; because it
// folds to lower case, '_' (0x5F) sorts before letters.
//
// White space for TrimLeft()/TrimRight() without arguments: space, tab, line
// feed, vertical tab, form feed and carriage return.
#pragma once

#include <cstdarg>
#include <cstring>

#include "types.h"

class KXAFX_API CString {
  public:
    CString() noexcept;
    CString(const char* text);  // NOLINT: implicit, as in the framework; null gives ""
    CString(const char* text, int length);
    CString(char ch, int repeat = 1);
    CString(const CString& other) noexcept;
    CString(CString&& other) noexcept;
    ~CString();

    CString& operator=(const CString& other);
    CString& operator=(CString&& other) noexcept;
    CString& operator=(const char* text);
    CString& operator=(char ch);
    // The first `length` characters of `text` (which may lie inside this
    // string), written into the string's own block when it is unshared and
    // big enough. A negative length, or a null text with a positive one,
    // raises the invalid-argument exception.
    void SetString(const char* text, int length) {
        // Inline for its common case: a token array refilled line after line
        // sets every string once per line.
        Data* h = Header();
        if (h->refs == 1 && h->capacity >= length && length >= 0 && (text || length == 0)) {
            if (length > 0) std::memmove(m_pszData, text, static_cast<std::size_t>(length));
            h->length = length;
            m_pszData[length] = '\0';
        } else {
            SetStringSlow(text, length);
        }
    }

    // As SetString, for a text that lies outside this string and is followed by
    // readable bytes up to text + 16 at least (a slice of a padded buffer): a text
    // of up to 15 characters is copied as one block of 16 bytes, with no branch on
    // its length, into the block every string of that size has room for.
    void SetStringPadded(const char* text, int length) {
        Data* h = Header();
        if (static_cast<unsigned>(length) <= 15 && h->refs == 1 && h->capacity >= 15 && text) {
            std::memcpy(m_pszData, text, 16);
            h->length = length;
            m_pszData[length] = '\0';
        } else {
            SetString(text, length);
        }
    }

    // ---- Attributes ---------------------------------------------------------
    int GetLength() const noexcept { return Header()->length; }
    bool IsEmpty() const noexcept { return GetLength() == 0; }
    void Empty() noexcept;
    char GetAt(int index) const;
    char operator[](int index) const { return GetAt(index); }
    void SetAt(int index, char ch);
    operator const char*() const noexcept { return m_pszData; }
    const char* GetString() const noexcept { return m_pszData; }

    // ---- Concatenation ------------------------------------------------------
    CString& operator+=(const CString& text);
    CString& operator+=(const char* text);
    CString& operator+=(char ch);
    void Append(const char* text, int length);
    void AppendChar(char ch) { *this += ch; }

    // ---- Comparison ---------------------------------------------------------
    int Compare(const char* text) const noexcept;
    int CompareNoCase(const char* text) const noexcept;

    // ---- Extraction ---------------------------------------------------------
    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    CString Left(int count) const;
    CString Right(int count) const;

    // ---- Searching: index of the first exact match at or after start, or -1.
    int Find(char ch, int start = 0) const noexcept;
    int Find(const char* sub, int start = 0) const noexcept;
    int ReverseFind(char ch) const noexcept;
    int FindOneOf(const char* set) const noexcept;

    // ---- Changing -----------------------------------------------------------
    CString& TrimLeft();
    CString& TrimRight();
    CString& TrimLeft(char ch);
    CString& TrimRight(char ch);
    CString& TrimLeft(const char* set);
    CString& TrimRight(const char* set);
    CString& Trim() { return TrimRight().TrimLeft(); }
    CString& MakeUpper();
    CString& MakeLower();
    int Remove(char ch);
    int Replace(char oldCh, char newCh);
    int Replace(const char* oldText, const char* newText);
    int Insert(int index, char ch);
    int Insert(int index, const char* text);
    int Delete(int index, int count = 1);

    void Format(const char* format, ...) KXAFX_PRINTF(2, 3);
    void FormatV(const char* format, va_list args);
    void AppendFormat(const char* format, ...) KXAFX_PRINTF(2, 3);

    // ---- Buffer access ------------------------------------------------------
    // A writable buffer of at least minLength characters plus a NUL, holding
    // the current text; the string must be given back with ReleaseBuffer.
    char* GetBuffer(int minLength);
    char* GetBuffer() { return GetBuffer(0); }
    char* GetBufferSetLength(int length);
    // newLength -1: the length becomes the distance to the first NUL.
    void ReleaseBuffer(int newLength = -1);
    void Preallocate(int length);

  private:
    struct Data {
        int refs;      // -1 marks the shared empty block, which is never counted
        int length;    // characters, not counting the NUL
        int capacity;  // characters that fit, not counting the NUL
        int reserved;
    };
    Data* Header() const noexcept { return reinterpret_cast<Data*>(m_pszData) - 1; }
    void Release() noexcept;
    char* Writable(int minCapacity, bool keepText);  // unique block of that capacity
    void AssignRange(const char* text, int length);
    void SetStringSlow(const char* text, int length);

    char* m_pszData;
};

static_assert(sizeof(CString) == sizeof(void*), "a CString is one pointer");

KXAFX_API CString operator+(const CString& a, const CString& b);
KXAFX_API CString operator+(const CString& a, const char* b);
KXAFX_API CString operator+(const char* a, const CString& b);
KXAFX_API CString operator+(const CString& a, char b);

inline bool operator==(const CString& a, const CString& b) noexcept { return a.Compare(b) == 0; }
inline bool operator==(const CString& a, const char* b) noexcept { return a.Compare(b) == 0; }
inline bool operator<(const CString& a, const CString& b) noexcept { return a.Compare(b) < 0; }
