// kxplatform — the operating-system layer under zuVuvur9_64, with neutral names.
//
// Portable logic lives in src/platform/*.cpp; what differs per system lives in
// posix/*.inc (and win32/*.inc), included at the end of the portable file that
// needs it, so each contract is stated once, here.
//
// Code page: the library's text is 8-bit "ANSI". We assume Windows-1252, the
// common ANSI code page, for bytes 0x80 and above: its letters (Š Œ Ž š œ ž Ÿ ƒ
// ª µ º À–Ö Ø–ö ø–ÿ) are letters, and its case pairs fold into each other.
// Bytes that are unassigned in Windows-1252 (0x81 0x8D 0x8F 0x90 0x9D) are
// neither letters nor cased.
#pragma once

#include <cstdint>
#include <string>

#if defined(_WIN32)
#if defined(KXPLATFORM_BUILD)
#define KXPLATFORM_API __declspec(dllexport)
#else
#define KXPLATFORM_API __declspec(dllimport)
#endif
#else
#define KXPLATFORM_API __attribute__((visibility("default")))
#endif

namespace kxp {

// ---- Code page (Windows-1252) -------------------------------------------

// True for the code page's letters, as the platform's letter test judges
// them (IsCharAlphaA on Windows).
KXPLATFORM_API bool cp_is_alpha(unsigned char c) noexcept;
// The letter test behind the library's whole-word rules: the system's
// IsCharAlphaA on Windows, which judges bytes 0x80 and above by the user's
// ANSI code page; elsewhere, where no user code page exists, the Windows-1252
// test above.
KXPLATFORM_API bool is_char_alpha(unsigned char c) noexcept;
KXPLATFORM_API bool cp_is_upper(unsigned char c) noexcept;
KXPLATFORM_API bool cp_is_lower(unsigned char c) noexcept;
// Case mapping within the code page; bytes without a partner map to themselves.
KXPLATFORM_API unsigned char cp_to_upper(unsigned char c) noexcept;
KXPLATFORM_API unsigned char cp_to_lower(unsigned char c) noexcept;
// The 256-entry lower-case table behind cp_to_lower, for tight loops.
KXPLATFORM_API const unsigned char* cp_lower_table() noexcept;

// ---- Modules ----------------------------------------------------------------

// An opaque handle of a loaded module (HMODULE on Windows).
using ModuleHandle = void*;

// The handle of the process's executable.
KXPLATFORM_API ModuleHandle executable_module() noexcept;
// The file path of a loaded module, or "" when it cannot be told.
KXPLATFORM_API std::string module_path(ModuleHandle module);
// The module that holds `address` (code or data), or null.
KXPLATFORM_API ModuleHandle module_of_address(const void* address) noexcept;
// The file path of a loaded module into the caller's buffer of `size` bytes,
// as GetModuleFileNameA gives it: returns the bytes written before the NUL;
// a path that does not fit is cut to size - 1 bytes, still terminated, and
// the result is then `size`. 0 when the path cannot be told or `buffer` is
// null or `size` is 0 (nothing written then).
KXPLATFORM_API std::uint32_t module_file_name(ModuleHandle module, char* buffer,
                                              std::uint32_t size) noexcept;
// The byte that ends the folder part of the paths this layer reports.
#if defined(_WIN32)
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif
// Loads a module from `path` (never unloaded by this layer); null on failure.
// A bare file name (no '/') is looked for in the executable's folder only,
// the place Windows searches first for a module of the application; the
// loader's own search path is not used for it, because that would make
// whether a module is found depend on which library asks.
KXPLATFORM_API ModuleHandle load_module(const char* path) noexcept;
// Address of `symbol` in `module`, or null.
KXPLATFORM_API void* find_symbol(ModuleHandle module, const char* symbol) noexcept;
// Unloads a module that load_module gave (for hosts and tests that own it).
KXPLATFORM_API void unload_module(ModuleHandle module) noexcept;

}  // namespace kxp

#include "kxcom.h"
