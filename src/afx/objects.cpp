#include <zuvuvur/afx/objects.h>

#include <cstdio>

const CRuntimeClass CObject::classCObject = {"CObject", sizeof(CObject), nullptr};

const CRuntimeClass* CObject::GetRuntimeClass() const { return &classCObject; }
CObject::~CObject() = default;

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const noexcept {
    for (const CRuntimeClass* c = this; c; c = c->m_pBaseClass)
        if (c == base) return TRUE;
    return FALSE;
}

BOOL CObject::IsKindOf(const CRuntimeClass* cls) const noexcept {
    return GetRuntimeClass()->IsDerivedFrom(cls);
}

IMPLEMENT_DYNAMIC(CException, CObject)
IMPLEMENT_DYNAMIC(CMemoryException, CException)
IMPLEMENT_DYNAMIC(CInvalidArgException, CException)

CException::~CException() = default;

void CException::Delete() noexcept {
    if (m_bAutoDelete) delete this;
}

namespace {
BOOL CopyMessage(const char* text, char* buffer, UINT maxLength) {
    if (!buffer || maxLength == 0) return FALSE;
    std::snprintf(buffer, maxLength, "%s", text);
    return TRUE;
}
}  // namespace

BOOL CException::GetErrorMessage(char* buffer, UINT maxLength, UINT* helpContext) const {
    if (helpContext) *helpContext = 0;
    return CopyMessage("Unknown error", buffer, maxLength);
}

BOOL CMemoryException::GetErrorMessage(char* buffer, UINT maxLength, UINT* helpContext) const {
    if (helpContext) *helpContext = 0;
    return CopyMessage("Out of memory", buffer, maxLength);
}

BOOL CInvalidArgException::GetErrorMessage(char* buffer, UINT maxLength, UINT* helpContext) const {
    if (helpContext) *helpContext = 0;
    return CopyMessage("Invalid argument", buffer, maxLength);
}

void AfxThrowInvalidArgException() { throw new CInvalidArgException(); }

void AfxThrowMemoryException() {
    // Preallocated and never deleted (Delete() leaves it alone): reporting that
    // memory ran out must not need memory.
    static CMemoryException outOfMemory(FALSE);
    throw &outOfMemory;
}
