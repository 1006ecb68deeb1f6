// A small test host: host objects that record the requests they receive and
// can be told to answer null, as a host without that array would.
#pragma once

#include <zuvuvur/zuvuvur.h>

#include <initializer_list>
#include <string>
#include <vector>

// What a string array holds, as the tests spell their expectations.
using Strings = std::vector<std::string>;

// A host array of type `kType`, holding `Array` of `Value`s (`Value` as the
// tests spell an element).
template <class Array, class Value, unsigned int kType>
class TestArray final : public CHostObject {
  public:
    template <class T>
    TestArray(std::initializer_list<T> values) {
        for (const T& v : values) array.Add(v);
    }
    TestArray() = default;
    void* GetContainer(unsigned int type, void* arg) override {
        requests.push_back(type);
        args.push_back(arg);
        return answerNull || type != kType ? nullptr : &array;
    }
    std::vector<Value> Values() const {
        return std::vector<Value>(array.GetData(), array.GetData() + array.GetSize());
    }

    Array array;
    bool answerNull = false;
    std::vector<unsigned int> requests;
    std::vector<void*> args;
};

using TestStrings = TestArray<CStringArray, std::string, HOST_TYPE_STRING_ARRAY>;
using TestInts = TestArray<CArray<int, int>, int, HOST_TYPE_INT_ARRAY>;

inline Strings ToVector(const CStringArray& array) {
    return Strings(array.GetData(), array.GetData() + array.GetSize());
}
