// What every fuzz target shares: the library's umbrella header, the input
// splitter, and a check that stops the run with the input that broke it.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>
#include <zuvuvur/zuvuvur.h>

#include <cstdio>
#include <cstdlib>
#include <string>

// A property that must always hold; a failure aborts so libFuzzer keeps the input.
#define KX_CHECK(cond)                                                               \
    do {                                                                             \
        if (!(cond)) {                                                               \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, \
                         #cond);                                                     \
            std::abort();                                                            \
        }                                                                            \
    } while (0)

inline std::string ToStd(const CString& s) { return std::string(s, static_cast<std::size_t>(s.GetLength())); }
