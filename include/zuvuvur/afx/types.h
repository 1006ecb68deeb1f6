// Basic types and export macros of kxafx, the application framework under
// zuVuvur9_64. The names are the framework's own, so code written against the
// framework reads the same here.
#pragma once

#include <cstdint>

#if defined(_WIN32)
#if defined(KXAFX_BUILD)
#define KXAFX_API __declspec(dllexport)
#else
#define KXAFX_API __declspec(dllimport)
#endif
#else
#define KXAFX_API __attribute__((visibility("default")))
#endif

#if defined(__GNUC__)
#define KXAFX_PRINTF(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define KXAFX_PRINTF(fmt, args)
#endif

using BOOL = int;
using UINT = unsigned int;
using INT_PTR = std::intptr_t;
using UINT_PTR = std::uintptr_t;
using HINSTANCE = void*;
using HMODULE = void*;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif
