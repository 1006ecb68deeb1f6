// The reference host's script arrays: host objects that own their containers
// and answer GetContainer for their own type code only.
#pragma once

#include <zuvuvur/zuvuvur.h>

#include <string>
#include <vector>

class StringArrayObject final : public CHostObject {
  public:
    StringArrayObject() = default;
    explicit StringArrayObject(const std::vector<std::string>& values) {
        for (const auto& v : values) strings.Add(CString(v.data(), static_cast<int>(v.size())));
    }
    void* GetContainer(unsigned int type, void*) override {
        return type == HOST_TYPE_STRING_ARRAY ? &strings : nullptr;
    }
    CStringArray strings;
};

class IntArrayObject final : public CHostObject {
  public:
    IntArrayObject() = default;
    explicit IntArrayObject(const std::vector<int>& values) {
        for (int v : values) ints.Add(v);
    }
    void* GetContainer(unsigned int type, void*) override {
        return type == HOST_TYPE_INT_ARRAY ? &ints : nullptr;
    }
    CArray<int, int> ints;
};
