// CObject with its run-time class information, and the framework's
// exceptions.
//
// Exceptions are thrown as the framework throws them: by pointer. The catcher
// owns the object and calls Delete(), which frees a heap exception and leaves
// the preallocated memory exception alone:
//
//     try { arr.GetAt(99); }
//     catch (CInvalidArgException* e) { e->Delete(); }
#pragma once

#include "types.h"

class CObject;

// Run-time class information: a name and a link to the base class.
struct KXAFX_API CRuntimeClass {
    const char* m_lpszClassName;
    int m_nObjectSize;
    const CRuntimeClass* m_pBaseClass;

    BOOL IsDerivedFrom(const CRuntimeClass* base) const noexcept;
};

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

#define DECLARE_DYNAMIC(class_name)               \
  public:                                         \
    static const CRuntimeClass class##class_name; \
    const CRuntimeClass* GetRuntimeClass() const override;

#define IMPLEMENT_DYNAMIC(class_name, base_class_name)                                    \
    const CRuntimeClass class_name::class##class_name = {#class_name, sizeof(class_name), \
                                                         RUNTIME_CLASS(base_class_name)}; \
    const CRuntimeClass* class_name::GetRuntimeClass() const { return RUNTIME_CLASS(class_name); }

class KXAFX_API CObject {
  public:
    static const CRuntimeClass classCObject;
    virtual const CRuntimeClass* GetRuntimeClass() const;
    virtual ~CObject();

    BOOL IsKindOf(const CRuntimeClass* cls) const noexcept;

  protected:
    CObject() noexcept = default;
    CObject(const CObject&) noexcept = default;
    CObject& operator=(const CObject&) noexcept = default;
};

class KXAFX_API CException : public CObject {
    DECLARE_DYNAMIC(CException)
  public:
    explicit CException(BOOL autoDelete = TRUE) noexcept : m_bAutoDelete(autoDelete) {}
    ~CException() override;

    // Frees the exception unless it is a preallocated one.
    void Delete() noexcept;
    // Writes a short description, NUL-terminated, into buffer (maxLength bytes).
    virtual BOOL GetErrorMessage(char* buffer, UINT maxLength, UINT* helpContext = nullptr) const;

  protected:
    BOOL m_bAutoDelete;
};

class KXAFX_API CMemoryException : public CException {
    DECLARE_DYNAMIC(CMemoryException)
  public:
    explicit CMemoryException(BOOL autoDelete = TRUE) noexcept : CException(autoDelete) {}
    BOOL GetErrorMessage(char* buffer, UINT maxLength, UINT* helpContext = nullptr) const override;
};

class KXAFX_API CInvalidArgException : public CException {
    DECLARE_DYNAMIC(CInvalidArgException)
  public:
    explicit CInvalidArgException(BOOL autoDelete = TRUE) noexcept : CException(autoDelete) {}
    BOOL GetErrorMessage(char* buffer, UINT maxLength, UINT* helpContext = nullptr) const override;
};

// Throws a new CInvalidArgException*.
[[noreturn]] KXAFX_API void AfxThrowInvalidArgException();
// Throws the preallocated CMemoryException*: running out of memory must not
// need memory to report it.
[[noreturn]] KXAFX_API void AfxThrowMemoryException();
