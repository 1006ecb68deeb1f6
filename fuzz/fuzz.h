// What every fuzz target shares: the library's umbrella header, the input
// splitter, and a check that stops the run with the input that broke it.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>
#include <zuvuvur/zuvuvur.h>

#include <cstdio>
#include <cstdlib>
#include <string>

// A property that must always hold; a failure aborts so libFuzzer keeps the input.
#define KX_CHECK(cond)                                                                       \
    do {                                                                                     \
        if (!(cond)) {                                                                       \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #cond); \
            std::abort();                                                                    \
        }                                                                                    \
    } while (0)

inline std::string ToStd(const CString& s) {
    return std::string(s, static_cast<std::size_t>(s.GetLength()));
}

// A host object with one string array, as a script array reaches the library.
class FuzzStrings final : public CHostObject {
  public:
    void* GetContainer(unsigned int type, void*) override {
        return type == HOST_TYPE_STRING_ARRAY ? &array : nullptr;
    }
    CStringArray array;
};

// Splits the rest of the input into strings at a byte that seldom occurs in
// text, so runs of ordinary bytes stay whole strings and repeats are common.
inline CStringArray& SplitInto(CStringArray& out, FuzzedDataProvider& in) {
    const std::string rest = in.ConsumeRemainingBytesAsString();
    std::size_t start = 0;
    for (std::size_t i = 0; i <= rest.size(); ++i) {
        if (i == rest.size() || rest[i] == '\x01') {
            out.Add(CString(rest.substr(start, i - start).c_str()));
            start = i + 1;
        }
    }
    return out;
}
