// The export macro of zuVuvur9_64. The library is built with hidden
// visibility; only what is marked here reaches its dynamic symbol table.
#pragma once

#if defined(_WIN32)
#if defined(ZUVUVUR_BUILD)
#define ZUVUVUR_API __declspec(dllexport)
#else
#define ZUVUVUR_API __declspec(dllimport)
#endif
#else
#define ZUVUVUR_API __attribute__((visibility("default")))
#endif

// An export under its bare name (C linkage).
#define KXU_EXPORT extern "C" ZUVUVUR_API
// An export under the compiler's decorated name (C++ linkage).
#define KXU_EXPORT_CPP ZUVUVUR_API
