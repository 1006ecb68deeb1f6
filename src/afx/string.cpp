#include <zuvuvur/afx/string.h>

#include <zuvuvur/afx/arrays.h>
#include <zuvuvur/afx/objects.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "kxplatform.h"

namespace {

// The block every empty string shares. Its count is -1, so it is never
// counted or freed, and it is never written: every write first makes a block
// of its own.
struct alignas(16) NilBlock {
    int refs = -1;
    int length = 0;
    int capacity = 0;
    int reserved = 0;
    char text[16] = {};
};
constinit NilBlock nilBlock;

char* NilText() noexcept { return nilBlock.text; }

constexpr int kMaxLength = INT_MAX - 64;

bool IsSpace(unsigned char c) noexcept { return c == ' ' || (c >= '\t' && c <= '\r'); }

int CheckedLength(long long length) {
    if (length < 0 || length > kMaxLength) AfxThrowMemoryException();
    return static_cast<int>(length);
}

int MeasureLength(const char* text) {
    return text ? CheckedLength(static_cast<long long>(std::strlen(text))) : 0;
}

}  // namespace

// ---- Block management -----------------------------------------------------

CString::CString() noexcept : m_pszData(NilText()) {}

CString::CString(const char* text) : m_pszData(NilText()) {
    AssignRange(text, MeasureLength(text));
}

CString::CString(const char* text, int length) : m_pszData(NilText()) {
    if (text && length > 0) AssignRange(text, length);
}

CString::CString(char ch, int repeat) : m_pszData(NilText()) {
    if (repeat > 0) {
        char* p = Writable(repeat, false);
        std::memset(p, ch, static_cast<std::size_t>(repeat));
        ReleaseBuffer(repeat);
    }
}

CString::CString(const CString& other) noexcept : m_pszData(other.m_pszData) {
    Data* h = Header();
    if (h->refs > 0) __atomic_add_fetch(&h->refs, 1, __ATOMIC_RELAXED);
}

CString::CString(CString&& other) noexcept : m_pszData(other.m_pszData) {
    other.m_pszData = NilText();
}

CString::~CString() { Release(); }

void CString::Release() noexcept {
    Data* h = Header();
    if (h->refs > 0 && __atomic_sub_fetch(&h->refs, 1, __ATOMIC_ACQ_REL) == 0) std::free(h);
    m_pszData = NilText();
}

void CString::Empty() noexcept { Release(); }

// Makes the block unique with room for minCapacity characters. keepText:
// the current text (and length) survive; otherwise the length becomes 0.
char* CString::Writable(int minCapacity, bool keepText) {
    Data* h = Header();
    if (h->refs == 1 && h->capacity >= minCapacity) {
        if (!keepText) {
            h->length = 0;
            m_pszData[0] = '\0';
        }
        return m_pszData;
    }
    int keep = keepText ? h->length : 0;
    int capacity = minCapacity;
    if (keepText && h->refs == 1) {
        // Growing in place: grow geometrically so repeated appends stay linear.
        long long grown = static_cast<long long>(h->capacity) + h->capacity / 2;
        if (grown > capacity) capacity = static_cast<int>(grown > kMaxLength ? kMaxLength : grown);
    }
    if (capacity < keep) capacity = keep;
    CheckedLength(capacity);
    // Blocks come in steps of 16 bytes, the smallest holding 15 characters: the room costs
    // the allocator nothing it would not round to anyway, and a short string then takes any
    // other short text in place, as one block of 16 bytes (SetStringPadded).
    capacity = capacity > kMaxLength - 15 ? kMaxLength : capacity | 15;
    if (h->refs == 1 && keepText) {
        auto* grown = static_cast<Data*>(
            afx_detail::Reallocate(h, sizeof(Data) + static_cast<std::size_t>(capacity) + 1));
        grown->capacity = capacity;
        m_pszData = reinterpret_cast<char*>(grown + 1);
        return m_pszData;
    }
    auto* fresh = static_cast<Data*>(
        afx_detail::Allocate(sizeof(Data) + static_cast<std::size_t>(capacity) + 1));
    fresh->refs = 1;
    fresh->length = keep;
    fresh->capacity = capacity;
    fresh->reserved = 0;
    char* text = reinterpret_cast<char*>(fresh + 1);
    if (keep > 0) std::memcpy(text, m_pszData, static_cast<std::size_t>(keep));
    text[keep] = '\0';
    Release();
    m_pszData = text;
    return m_pszData;
}

void CString::AssignRange(const char* text, int length) {
    if (length <= 0) {
        Release();
        return;
    }
    Data* h = Header();
    if (h->refs == 1 && h->capacity >= length) {
        std::memmove(m_pszData, text, static_cast<std::size_t>(length));
    } else {
        // text may point into our own block: build the new one first.
        CString fresh;
        char* p = fresh.Writable(length, false);
        std::memcpy(p, text, static_cast<std::size_t>(length));
        fresh.ReleaseBuffer(length);
        *this = std::move(fresh);
        return;
    }
    ReleaseBuffer(length);
}

CString& CString::operator=(const CString& other) {
    if (m_pszData != other.m_pszData) {
        CString copy(other);
        *this = std::move(copy);
    }
    return *this;
}

CString& CString::operator=(CString&& other) noexcept {
    if (this != &other) {
        Release();
        m_pszData = other.m_pszData;
        other.m_pszData = NilText();
    }
    return *this;
}

CString& CString::operator=(const char* text) {
    AssignRange(text, MeasureLength(text));
    return *this;
}

// Unlike assigning "", setting an empty text keeps an unshared block (see
// SetString); this is the rest: a shared or small block, or bad arguments.
void CString::SetStringSlow(const char* text, int length) {
    if (length < 0 || (length > 0 && !text)) AfxThrowInvalidArgException();
    AssignRange(text, length);
}

CString& CString::operator=(char ch) {
    AssignRange(&ch, 1);
    return *this;
}

char* CString::GetBuffer(int minLength) {
    if (minLength < 0) minLength = 0;
    int length = GetLength();
    return Writable(minLength > length ? minLength : length, true);
}

char* CString::GetBufferSetLength(int length) {
    char* p = GetBuffer(length);
    ReleaseBuffer(length);
    return p;
}

void CString::ReleaseBuffer(int newLength) {
    Data* h = Header();
    if (h->refs < 0) return;  // the shared empty block: nothing was written
    if (newLength < 0)
        newLength = static_cast<int>(strnlen(m_pszData, static_cast<std::size_t>(h->capacity)));
    if (newLength > h->capacity) newLength = h->capacity;
    h->length = newLength;
    m_pszData[newLength] = '\0';
}

void CString::Preallocate(int length) {
    if (length > GetLength()) Writable(length, true);
}

// ---- Access -----------------------------------------------------------------

char CString::GetAt(int index) const {
    if (index < 0 || index >= GetLength()) AfxThrowInvalidArgException();
    return m_pszData[index];
}

void CString::SetAt(int index, char ch) {
    if (index < 0 || index >= GetLength()) AfxThrowInvalidArgException();
    Writable(GetLength(), true)[index] = ch;
}

// ---- Concatenation ------------------------------------------------------------

void CString::Append(const char* text, int length) {
    if (!text || length <= 0) return;
    int old = GetLength();
    int total = CheckedLength(static_cast<long long>(old) + length);
    const char* base = m_pszData;
    if (text >= base && text < base + old) {
        // Appending part of ourselves: copy it out before the block moves.
        CString part(text, length);
        Append(part.m_pszData, length);
        return;
    }
    char* p = Writable(total, true);
    std::memcpy(p + old, text, static_cast<std::size_t>(length));
    ReleaseBuffer(total);
}

CString& CString::operator+=(const CString& text) {
    if (text.m_pszData == m_pszData) {
        CString copy(text);
        Append(copy.m_pszData, copy.GetLength());
    } else {
        Append(text.m_pszData, text.GetLength());
    }
    return *this;
}

CString& CString::operator+=(const char* text) {
    Append(text, MeasureLength(text));
    return *this;
}

CString& CString::operator+=(char ch) {
    int old = GetLength();
    char* p = Writable(CheckedLength(static_cast<long long>(old) + 1), true);
    p[old] = ch;
    ReleaseBuffer(old + 1);
    return *this;
}

CString operator+(const CString& a, const CString& b) {
    CString r(a);
    r += b;
    return r;
}
CString operator+(const CString& a, const char* b) {
    CString r(a);
    r += b;
    return r;
}
CString operator+(const char* a, const CString& b) {
    CString r(a);
    r += b;
    return r;
}
CString operator+(const CString& a, char b) {
    CString r(a);
    r += b;
    return r;
}

// ---- Comparison ---------------------------------------------------------------

int CString::Compare(const char* text) const noexcept {
    if (!text) text = "";
    return std::strcmp(m_pszData, text);  // strcmp compares as unsigned char
}

int CString::CompareNoCase(const char* text) const noexcept {
    return kxp::cp_compare_no_case(m_pszData, text ? text : "");
}

// ---- Extraction ---------------------------------------------------------------

CString CString::Mid(int first) const { return Mid(first, GetLength()); }

CString CString::Mid(int first, int count) const {
    int length = GetLength();
    if (first < 0) first = 0;
    if (first > length) first = length;
    if (count < 0) count = 0;
    if (count > length - first) count = length - first;
    if (first == 0 && count == length) return *this;
    return CString(m_pszData + first, count);
}

CString CString::Left(int count) const { return Mid(0, count); }

CString CString::Right(int count) const {
    int length = GetLength();
    if (count < 0) count = 0;
    if (count > length) count = length;
    return Mid(length - count, count);
}

// ---- Searching ----------------------------------------------------------------

int CString::Find(char ch, int start) const noexcept {
    int length = GetLength();
    if (start < 0) start = 0;
    if (start >= length) return -1;
    const void* hit = std::memchr(m_pszData + start, ch, static_cast<std::size_t>(length - start));
    return hit ? static_cast<int>(static_cast<const char*>(hit) - m_pszData) : -1;
}

int CString::Find(const char* sub, int start) const noexcept {
    int length = GetLength();
    if (!sub) return -1;
    if (start < 0) start = 0;
    if (start > length) return -1;
    const char* hit = std::strstr(m_pszData + start, sub);
    return hit ? static_cast<int>(hit - m_pszData) : -1;
}

int CString::ReverseFind(char ch) const noexcept {
    for (int i = GetLength() - 1; i >= 0; --i)
        if (m_pszData[i] == ch) return i;
    return -1;
}

int CString::FindOneOf(const char* set) const noexcept {
    if (!set) return -1;
    std::size_t at = std::strcspn(m_pszData, set);
    return at < static_cast<std::size_t>(GetLength()) ? static_cast<int>(at) : -1;
}

// ---- Changing -----------------------------------------------------------------

namespace {
template <class Pred>
int LeadingRun(const char* text, int length, Pred pred) {
    int i = 0;
    while (i < length && pred(static_cast<unsigned char>(text[i]))) ++i;
    return i;
}
template <class Pred>
int TrailingRun(const char* text, int length, Pred pred) {
    int i = length;
    while (i > 0 && pred(static_cast<unsigned char>(text[i - 1]))) --i;
    return length - i;
}
}  // namespace

CString& CString::TrimLeft() {
    int n = LeadingRun(m_pszData, GetLength(), IsSpace);
    if (n > 0) Delete(0, n);
    return *this;
}

CString& CString::TrimRight() {
    int n = TrailingRun(m_pszData, GetLength(), IsSpace);
    if (n > 0) Delete(GetLength() - n, n);
    return *this;
}

CString& CString::TrimLeft(char ch) {
    auto c = static_cast<unsigned char>(ch);
    int n = LeadingRun(m_pszData, GetLength(), [c](unsigned char x) { return x == c; });
    if (n > 0) Delete(0, n);
    return *this;
}

CString& CString::TrimRight(char ch) {
    auto c = static_cast<unsigned char>(ch);
    int n = TrailingRun(m_pszData, GetLength(), [c](unsigned char x) { return x == c; });
    if (n > 0) Delete(GetLength() - n, n);
    return *this;
}

CString& CString::TrimLeft(const char* set) {
    if (!set || !*set) return *this;
    int n = LeadingRun(m_pszData, GetLength(),
                       [set](unsigned char x) { return x && std::strchr(set, x) != nullptr; });
    if (n > 0) Delete(0, n);
    return *this;
}

CString& CString::TrimRight(const char* set) {
    if (!set || !*set) return *this;
    int n = TrailingRun(m_pszData, GetLength(),
                        [set](unsigned char x) { return x && std::strchr(set, x) != nullptr; });
    if (n > 0) Delete(GetLength() - n, n);
    return *this;
}

CString& CString::MakeUpper() {
    int length = GetLength();
    if (length == 0) return *this;
    char* p = Writable(length, true);
    for (int i = 0; i < length; ++i)
        p[i] = static_cast<char>(kxp::cp_to_upper(static_cast<unsigned char>(p[i])));
    return *this;
}

CString& CString::MakeLower() {
    int length = GetLength();
    if (length == 0) return *this;
    char* p = Writable(length, true);
    const unsigned char* lower = kxp::cp_lower_table();
    for (int i = 0; i < length; ++i)
        p[i] = static_cast<char>(lower[static_cast<unsigned char>(p[i])]);
    return *this;
}

int CString::Remove(char ch) {
    int length = GetLength();
    if (Find(ch) < 0) return 0;
    char* p = Writable(length, true);
    int out = 0;
    for (int i = 0; i < length; ++i)
        if (p[i] != ch) p[out++] = p[i];
    ReleaseBuffer(out);
    return length - out;
}

int CString::Replace(char oldCh, char newCh) {
    if (oldCh == newCh || Find(oldCh) < 0) return 0;
    int length = GetLength();
    char* p = Writable(length, true);
    int count = 0;
    for (int i = 0; i < length; ++i)
        if (p[i] == oldCh) {
            p[i] = newCh;
            ++count;
        }
    return count;
}

// One pass into a new string: linear however many occurrences there are.
int CString::Replace(const char* oldText, const char* newText) {
    int oldLength = MeasureLength(oldText);
    if (oldLength == 0) return 0;
    int newLength = MeasureLength(newText);
    const char* text = m_pszData;
    const char* hit = std::strstr(text, oldText);
    if (!hit) return 0;
    CString result;
    result.Preallocate(GetLength());
    int count = 0;
    while (hit) {
        result.Append(text, static_cast<int>(hit - text));
        result.Append(newText, newLength);
        text = hit + oldLength;
        ++count;
        hit = std::strstr(text, oldText);
    }
    result.Append(text, static_cast<int>(m_pszData + GetLength() - text));
    *this = std::move(result);
    return count;
}

int CString::Insert(int index, char ch) { return Insert(index, CString(ch, 1)); }

int CString::Insert(int index, const char* text) {
    int length = GetLength();
    int add = MeasureLength(text);
    if (index < 0) index = 0;
    if (index > length) index = length;
    if (add == 0) return length;
    CString copy(text, add);  // text may live inside this string
    int total = CheckedLength(static_cast<long long>(length) + add);
    char* p = Writable(total, true);
    std::memmove(p + index + add, p + index, static_cast<std::size_t>(length - index));
    std::memcpy(p + index, copy.m_pszData, static_cast<std::size_t>(add));
    ReleaseBuffer(total);
    return total;
}

int CString::Delete(int index, int count) {
    int length = GetLength();
    if (index < 0) index = 0;
    if (count <= 0 || index >= length) return length;
    if (count > length - index) count = length - index;
    char* p = Writable(length, true);
    std::memmove(p + index, p + index + count, static_cast<std::size_t>(length - index - count));
    ReleaseBuffer(length - count);
    return length - count;
}

// ---- Formatting ---------------------------------------------------------------

void CString::FormatV(const char* format, va_list args) {
    if (!format) format = "";
    va_list probe;
    va_copy(probe, args);
    int length = std::vsnprintf(nullptr, 0, format, probe);
    va_end(probe);
    if (length < 0) AfxThrowInvalidArgException();  // a format the C library refuses
    CString result;
    char* p = result.Writable(CheckedLength(length), false);
    std::vsnprintf(p, static_cast<std::size_t>(length) + 1, format, args);
    result.ReleaseBuffer(length);
    *this = std::move(result);
}

void CString::Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    try {
        FormatV(format, args);
    } catch (...) {
        va_end(args);
        throw;
    }
    va_end(args);
}

void CString::AppendFormat(const char* format, ...) {
    CString part;
    va_list args;
    va_start(args, format);
    try {
        part.FormatV(format, args);
    } catch (...) {
        va_end(args);
        throw;
    }
    va_end(args);
    *this += part;
}
