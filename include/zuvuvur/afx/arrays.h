// The framework's growable arrays: CStringArray and CArray<T, ARG_T>.
//
//     CStringArray a;
//     a.SetAtGrow(a.GetSize(), "x");  // append
//     a.Add(nullptr);                 // appends an empty string
//     a.GetAt(5);                     // throws CInvalidArgException*
//
// Both hold a data pointer and a 64-bit size. An index outside the bounds
// raises the invalid-argument exception; running out of memory raises the
// memory exception and leaves the array as it was. Growth is geometric, so
// appending n elements one by one costs O(n) moves in all; elements are moved
// as raw bytes (CString is trivially relocatable), never copied.
#pragma once

#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>

#include "objects.h"
#include "string.h"

namespace afx_detail {
// New capacity for at least `needed` elements, given the current one and an
// explicit growth step (0 or less: geometric).
KXAFX_API INT_PTR GrowCapacity(INT_PTR current, INT_PTR needed, INT_PTR growBy,
                               std::size_t elementSize);
// malloc and realloc that raise the memory exception instead of returning
// null. A failed Reallocate leaves `block` as it was. Every heap block of the
// framework (string texts, array storage, file buffers) comes from these two.
KXAFX_API void* Allocate(std::size_t bytes);
KXAFX_API void* Reallocate(void* block, std::size_t bytes);

// A test's way to exhaust the heap on cue: the n-th call of Allocate or
// Reallocate from now on fails as if the heap were exhausted, once; 0 disarms.
// One atomic counter, inert (0) unless a test arms it; nothing else reads it.
KXAFX_API void SetAllocationFailureCountdown(long n);
}  // namespace afx_detail

class KXAFX_API CStringArray : public CObject {
    DECLARE_DYNAMIC(CStringArray)
  public:
    CStringArray() noexcept = default;
    CStringArray(const CStringArray& other);
    CStringArray& operator=(const CStringArray& other);
    ~CStringArray() override;

    INT_PTR GetSize() const noexcept { return m_nSize; }
    INT_PTR GetCount() const noexcept { return m_nSize; }
    INT_PTR GetUpperBound() const noexcept { return m_nSize - 1; }
    bool IsEmpty() const noexcept { return m_nSize == 0; }
    // Shrinks (destroying the tail) or grows (with empty strings) to newSize.
    void SetSize(INT_PTR newSize, INT_PTR growBy = -1);
    void RemoveAll() noexcept;
    void FreeExtra();

    const CString& GetAt(INT_PTR index) const;
    void SetAt(INT_PTR index, const char* text);
    void SetAt(INT_PTR index, const CString& text);
    CString& ElementAt(INT_PTR index);
    const CString& operator[](INT_PTR index) const { return GetAt(index); }
    CString& operator[](INT_PTR index) { return ElementAt(index); }
    const CString* GetData() const noexcept { return m_pData; }
    CString* GetData() noexcept { return m_pData; }

    // Stores at index, growing the array when index is at or past the end.
    void SetAtGrow(INT_PTR index, const char* text);
    void SetAtGrow(INT_PTR index, const CString& text);
    INT_PTR Add(const char* text);
    INT_PTR Add(const CString& text);
    INT_PTR Append(const CStringArray& other);
    void Copy(const CStringArray& other);
    void InsertAt(INT_PTR index, const CString& text, INT_PTR count = 1);
    // Removes count elements from index; a range outside the array throws.
    void RemoveAt(INT_PTR index, INT_PTR count = 1);

  private:
    void Reserve(INT_PTR capacity);

    CString* m_pData = nullptr;
    INT_PTR m_nSize = 0;
    INT_PTR m_nMaxSize = 0;
    INT_PTR m_nGrowBy = 0;
};

// CArray of plain values (numbers, pointers). T must be trivially copyable:
// the array moves its elements as bytes.
template <class TYPE, class ARG_TYPE = const TYPE&>
class CArray : public CObject {
    static_assert(std::is_trivially_copyable_v<TYPE>, "CArray holds plain values");

  public:
    CArray() noexcept = default;
    CArray(const CArray& other) : CObject() { Copy(other); }
    CArray& operator=(const CArray& other) {
        if (this != &other) Copy(other);
        return *this;
    }
    ~CArray() override { std::free(m_pData); }

    INT_PTR GetSize() const noexcept { return m_nSize; }
    INT_PTR GetCount() const noexcept { return m_nSize; }
    INT_PTR GetUpperBound() const noexcept { return m_nSize - 1; }
    bool IsEmpty() const noexcept { return m_nSize == 0; }

    // Grows with zeroed elements or shrinks to newSize.
    void SetSize(INT_PTR newSize, INT_PTR growBy = -1) {
        if (newSize < 0) AfxThrowInvalidArgException();
        if (growBy >= 0) m_nGrowBy = growBy;
        if (newSize > m_nMaxSize) Reserve(newSize);
        if (newSize > m_nSize)
            std::memset(static_cast<void*>(m_pData + m_nSize), 0,
                        static_cast<std::size_t>(newSize - m_nSize) * sizeof(TYPE));
        m_nSize = newSize;
    }
    void RemoveAll() noexcept { m_nSize = 0; }

    const TYPE& GetAt(INT_PTR index) const {
        Check(index);
        return m_pData[index];
    }
    void SetAt(INT_PTR index, ARG_TYPE value) {
        Check(index);
        m_pData[index] = value;
    }
    TYPE& ElementAt(INT_PTR index) {
        Check(index);
        return m_pData[index];
    }
    const TYPE& operator[](INT_PTR index) const { return GetAt(index); }
    TYPE& operator[](INT_PTR index) { return ElementAt(index); }
    const TYPE* GetData() const noexcept { return m_pData; }
    TYPE* GetData() noexcept { return m_pData; }

    void SetAtGrow(INT_PTR index, ARG_TYPE value) {
        if (index < 0) AfxThrowInvalidArgException();
        TYPE copy = value;  // value may live inside this array
        if (index >= m_nSize) SetSize(index + 1);
        m_pData[index] = copy;
    }
    INT_PTR Add(ARG_TYPE value) {
        INT_PTR index = m_nSize;
        SetAtGrow(index, value);
        return index;
    }
    void Copy(const CArray& other) {
        if (this == &other) return;
        if (other.m_nSize > m_nMaxSize) Reserve(other.m_nSize);
        if (other.m_nSize > 0)
            std::memcpy(static_cast<void*>(m_pData), other.m_pData,
                        static_cast<std::size_t>(other.m_nSize) * sizeof(TYPE));
        m_nSize = other.m_nSize;
    }
    void InsertAt(INT_PTR index, ARG_TYPE value, INT_PTR count = 1) {
        if (index < 0 || count <= 0) AfxThrowInvalidArgException();
        TYPE copy = value;
        INT_PTR oldSize = m_nSize;
        if (index >= oldSize) {
            SetSize(index + count);
        } else {
            SetSize(oldSize + count);
            std::memmove(static_cast<void*>(m_pData + index + count), m_pData + index,
                         static_cast<std::size_t>(oldSize - index) * sizeof(TYPE));
        }
        for (INT_PTR i = 0; i < count; ++i) m_pData[index + i] = copy;
    }
    void RemoveAt(INT_PTR index, INT_PTR count = 1) {
        if (index < 0 || count < 0 || index > m_nSize || count > m_nSize - index)
            AfxThrowInvalidArgException();
        std::memmove(static_cast<void*>(m_pData + index), m_pData + index + count,
                     static_cast<std::size_t>(m_nSize - index - count) * sizeof(TYPE));
        m_nSize -= count;
    }

  private:
    void Check(INT_PTR index) const {
        if (index < 0 || index >= m_nSize) AfxThrowInvalidArgException();
    }
    void Reserve(INT_PTR needed) {
        INT_PTR capacity = afx_detail::GrowCapacity(m_nMaxSize, needed, m_nGrowBy, sizeof(TYPE));
        m_pData = static_cast<TYPE*>(
            afx_detail::Reallocate(m_pData, static_cast<std::size_t>(capacity) * sizeof(TYPE)));
        m_nMaxSize = capacity;
    }

    TYPE* m_pData = nullptr;
    INT_PTR m_nSize = 0;
    INT_PTR m_nMaxSize = 0;
    INT_PTR m_nGrowBy = 0;
};
