#include <zuvuvur/afx/arrays.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

namespace afx_detail {

INT_PTR GrowCapacity(INT_PTR current, INT_PTR needed, INT_PTR growBy, std::size_t elementSize) {
    const INT_PTR limit = static_cast<INT_PTR>(PTRDIFF_MAX / static_cast<INT_PTR>(elementSize));
    if (needed < 0 || needed > limit) AfxThrowMemoryException();
    INT_PTR step = growBy > 0 ? growBy : current / 2;
    if (step < 4) step = 4;
    INT_PTR capacity = current > limit - step ? limit : current + step;
    return capacity < needed ? needed : capacity;
}

namespace {
std::atomic<long> failureCountdown{0};

// True for the one allocation that the armed countdown picks.
bool InjectedFailure() noexcept {
    long n = failureCountdown.load(std::memory_order_relaxed);
    while (n > 0)
        if (failureCountdown.compare_exchange_weak(n, n - 1, std::memory_order_relaxed))
            return n == 1;
    return false;
}
}  // namespace

void SetAllocationFailureCountdown(long n) {
    failureCountdown.store(n > 0 ? n : 0, std::memory_order_relaxed);
}

void* Allocate(std::size_t bytes) {
    void* block = InjectedFailure() ? nullptr : std::malloc(bytes == 0 ? 1 : bytes);
    if (!block) AfxThrowMemoryException();
    return block;
}

void* Reallocate(void* block, std::size_t bytes) {
    void* grown = InjectedFailure() ? nullptr : std::realloc(block, bytes == 0 ? 1 : bytes);
    if (!grown) AfxThrowMemoryException();
    return grown;
}

}  // namespace afx_detail

IMPLEMENT_DYNAMIC(CStringArray, CObject)

CStringArray::CStringArray(const CStringArray& other) : CObject() { Copy(other); }

CStringArray& CStringArray::operator=(const CStringArray& other) {
    Copy(other);
    return *this;
}

CStringArray::~CStringArray() {
    RemoveAll();
    std::free(m_pData);
}

void CStringArray::Reserve(INT_PTR needed) {
    if (needed <= m_nMaxSize) return;
    INT_PTR capacity = afx_detail::GrowCapacity(m_nMaxSize, needed, m_nGrowBy, sizeof(CString));
    // CString is one pointer and trivially relocatable: realloc moves the
    // strings without touching their text, and leaves them alone on failure.
    m_pData = static_cast<CString*>(
        afx_detail::Reallocate(m_pData, static_cast<std::size_t>(capacity) * sizeof(CString)));
    m_nMaxSize = capacity;
}

void CStringArray::SetSize(INT_PTR newSize, INT_PTR growBy) {
    if (newSize < 0) AfxThrowInvalidArgException();
    if (growBy >= 0) m_nGrowBy = growBy;
    if (newSize > m_nSize) {
        Reserve(newSize);
        for (INT_PTR i = m_nSize; i < newSize; ++i) new (&m_pData[i]) CString();
    } else {
        for (INT_PTR i = newSize; i < m_nSize; ++i) m_pData[i].~CString();
    }
    m_nSize = newSize;
}

void CStringArray::RemoveAll() noexcept {
    for (INT_PTR i = 0; i < m_nSize; ++i) m_pData[i].~CString();
    m_nSize = 0;
}

void CStringArray::FreeExtra() {
    if (m_nSize == m_nMaxSize) return;
    if (m_nSize == 0) {
        std::free(m_pData);
        m_pData = nullptr;
    } else {
        m_pData = static_cast<CString*>(
            afx_detail::Reallocate(m_pData, static_cast<std::size_t>(m_nSize) * sizeof(CString)));
    }
    m_nMaxSize = m_nSize;
}

const CString& CStringArray::GetAt(INT_PTR index) const {
    if (index < 0 || index >= m_nSize) AfxThrowInvalidArgException();
    return m_pData[index];
}

CString& CStringArray::ElementAt(INT_PTR index) {
    if (index < 0 || index >= m_nSize) AfxThrowInvalidArgException();
    return m_pData[index];
}

void CStringArray::SetAt(INT_PTR index, const char* text) { ElementAt(index) = text; }
void CStringArray::SetAt(INT_PTR index, const CString& text) { ElementAt(index) = text; }

void CStringArray::SetAtGrow(INT_PTR index, const char* text) {
    if (index < 0) AfxThrowInvalidArgException();
    CString value(text);  // made first: text may live inside this array
    if (index >= m_nSize) SetSize(index + 1);
    m_pData[index] = std::move(value);
}

void CStringArray::SetAtGrow(INT_PTR index, const CString& text) {
    if (index < 0) AfxThrowInvalidArgException();
    CString value(text);
    if (index >= m_nSize) SetSize(index + 1);
    m_pData[index] = std::move(value);
}

INT_PTR CStringArray::Add(const char* text) {
    INT_PTR index = m_nSize;
    SetAtGrow(index, text);
    return index;
}

INT_PTR CStringArray::Add(const CString& text) {
    INT_PTR index = m_nSize;
    SetAtGrow(index, text);
    return index;
}

INT_PTR CStringArray::Append(const CStringArray& other) {
    INT_PTR start = m_nSize;
    if (this == &other) {
        CStringArray copy(other);
        return Append(copy);
    }
    Reserve(m_nSize + other.m_nSize);
    for (INT_PTR i = 0; i < other.m_nSize; ++i)
        new (&m_pData[m_nSize + i]) CString(other.m_pData[i]);
    m_nSize += other.m_nSize;
    return start;
}

void CStringArray::Copy(const CStringArray& other) {
    if (this == &other) return;
    Reserve(other.m_nSize);
    RemoveAll();
    Append(other);
}

void CStringArray::InsertAt(INT_PTR index, const CString& text, INT_PTR count) {
    if (index < 0 || count <= 0) AfxThrowInvalidArgException();
    CString value(text);
    if (index >= m_nSize) {
        SetSize(index + count);
        for (INT_PTR i = 0; i < count; ++i) m_pData[index + i] = value;
        return;
    }
    Reserve(m_nSize + count);
    std::memmove(static_cast<void*>(m_pData + index + count), m_pData + index,
                 static_cast<std::size_t>(m_nSize - index) * sizeof(CString));
    for (INT_PTR i = 0; i < count; ++i) new (&m_pData[index + i]) CString(value);
    m_nSize += count;
}

void CStringArray::RemoveAt(INT_PTR index, INT_PTR count) {
    if (index < 0 || count < 0 || index > m_nSize || count > m_nSize - index)
        AfxThrowInvalidArgException();
    for (INT_PTR i = index; i < index + count; ++i) m_pData[i].~CString();
    std::memmove(static_cast<void*>(m_pData + index), m_pData + index + count,
                 static_cast<std::size_t>(m_nSize - index - count) * sizeof(CString));
    m_nSize -= count;
}
