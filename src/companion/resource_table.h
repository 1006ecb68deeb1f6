// The string table a message module carries, as load_resource_string reads it.
//
// A message module (kxErrMsg_64.dll, KXSmsg9_64.dll) is a loadable module
// whose only export is the data symbol named by kStringTableSymbol: a
// KxStringTable whose entries are sorted by strictly increasing id. Each text
// is NUL-terminated, `length` bytes long (the NUL not counted) and never
// empty. The modules are generated from the catalogs in resources/ by kxrc,
// which guarantees all of this; a table with another `version` is not read.
//
// This header is shared by the generated module sources and by the companion
// library, so the layout is written down once. Plain C types only: the
// modules link nothing.
#pragma once

#include <cstdint>

inline constexpr char kStringTableSymbol[] = "kx_string_table";
inline constexpr std::uint32_t kStringTableVersion = 1;

// How a generated module marks its table as its export. A program that
// compiles a table into itself, as a reference, defines this empty.
#if defined(KX_STRING_TABLE_EXPORT)
#elif defined(_WIN32)
#define KX_STRING_TABLE_EXPORT __declspec(dllexport)
#else
#define KX_STRING_TABLE_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {

struct KxStringEntry {
    std::int32_t id;
    std::uint32_t length;
    const char* text;
};

struct KxStringTable {
    std::uint32_t version;  // kStringTableVersion
    std::uint32_t count;
    const KxStringEntry* entries;
};

}  // extern "C"
