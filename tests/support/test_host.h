// A small test host: host objects that record the requests they receive and
// can be told to answer null, as a host without that array would.
#pragma once

#include <zuvuvur/zuvuvur.h>

#include <initializer_list>
#include <string>
#include <vector>

// What a string array holds, as the tests spell their expectations.
using Strings = std::vector<std::string>;

class TestStrings final : public CHostObject {
  public:
    TestStrings(std::initializer_list<const char*> values = {}) {
        for (const char* v : values) array.Add(v);
    }
    void* GetContainer(unsigned int type, void* arg) override {
        requests.push_back(type);
        args.push_back(arg);
        if (answerNull || type != HOST_TYPE_STRING_ARRAY) return nullptr;
        return &array;
    }
    std::vector<std::string> Values() const {
        std::vector<std::string> out;
        for (INT_PTR i = 0; i < array.GetSize(); ++i) out.emplace_back(array[i]);
        return out;
    }

    CStringArray array;
    bool answerNull = false;
    std::vector<unsigned int> requests;
    std::vector<void*> args;
};

class TestInts final : public CHostObject {
  public:
    TestInts(std::initializer_list<int> values = {}) {
        for (int v : values) array.Add(v);
    }
    void* GetContainer(unsigned int type, void* arg) override {
        requests.push_back(type);
        args.push_back(arg);
        if (answerNull || type != HOST_TYPE_INT_ARRAY) return nullptr;
        return &array;
    }
    std::vector<int> Values() const {
        std::vector<int> out;
        for (INT_PTR i = 0; i < array.GetSize(); ++i) out.push_back(array[i]);
        return out;
    }

    CArray<int, int> array;
    bool answerNull = false;
    std::vector<unsigned int> requests;
    std::vector<void*> args;
};

inline std::vector<std::string> ToVector(const CStringArray& array) {
    std::vector<std::string> out;
    for (INT_PTR i = 0; i < array.GetSize(); ++i) out.emplace_back(array[i]);
    return out;
}
