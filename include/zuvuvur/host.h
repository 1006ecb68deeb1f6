// Host objects: how the host's script arrays reach the library.
//
// The host hands a flat entry point a host object for each script array. The
// library asks it once for the container behind it and works on that
// container in place; what it changes is what the script sees afterwards.
//
//     class ScriptArray : public CHostObject {
//         CStringArray strings;
//         void* GetContainer(unsigned int type, void*) override {
//             return type == HOST_TYPE_STRING_ARRAY ? &strings : nullptr;
//         }
//     };
#pragma once

#include <cstdint>

// Type codes of GetContainer.
inline constexpr unsigned int HOST_TYPE_STRING_ARRAY = 0x1001B;  // answers a CStringArray*
inline constexpr unsigned int HOST_TYPE_INT_ARRAY = 0x10008;     // answers a CArray<int,int>*

// The argument of a HOST_TYPE_INT_ARRAY request: three zeroed fields on the
// caller's stack. The library never reads it back.
struct HostIntArrayRequest {
    std::int64_t first;
    std::int64_t second;
    std::int32_t third;
};

// Anything that implements GetContainer can be a host. The one virtual
// operation answers the container behind the object for a type code, or null.
class CHostObject {
  public:
    virtual void* GetContainer(unsigned int type, void* arg) = 0;

  protected:
    CHostObject() = default;
    CHostObject(const CHostObject&) = default;
    CHostObject& operator=(const CHostObject&) = default;
    ~CHostObject() = default;
};
