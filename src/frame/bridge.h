// The host string-array bridge: how flat entry points turn host objects into
// the library's containers. Each host object gets one request; a null object
// gives null without a request, and so does a host that answers null.
#pragma once

#include <zuvuvur/afx/afx.h>
#include <zuvuvur/host.h>

inline CStringArray* HostStringArray(CHostObject* object) {
    if (!object) return nullptr;
    return static_cast<CStringArray*>(object->GetContainer(HOST_TYPE_STRING_ARRAY, nullptr));
}

inline CArray<int, int>* HostIntArray(CHostObject* object) {
    if (!object) return nullptr;
    HostIntArrayRequest request{};  // zeroed, on our stack, never read back
    return static_cast<CArray<int, int>*>(object->GetContainer(HOST_TYPE_INT_ARRAY, &request));
}
