// The library's dynamic symbol table holds exactly its exports: read from the
// built file (its ELF dynamic symbols, as nm lists them; on Windows its PE
// export table), not from what the compiler was told.
#include <gtest/gtest.h>
#if defined(_WIN32)
#include <cxxabi.h>
#include <windows.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <set>
#include <string>

namespace {

#if defined(_WIN32)

std::string Demangle(const char* name) {
    int status = 0;
    char* plain = abi::__cxa_demangle(name, nullptr, nullptr, &status);
    std::string out = status == 0 && plain ? plain : name;
    std::free(plain);
    return out;
}

// Names in the export table of a DLL, mapped as an image but not run.
// Mangled names are the compiler's own (the Itanium scheme under mingw),
// demangled as on Linux.
std::set<std::string> DefinedDynamicSymbols(const std::string& path) {
    const auto* base = reinterpret_cast<const char*>(
        LoadLibraryExA(path.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES));
    std::set<std::string> names;
    if (!base) return names;
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    const auto* exports =
        reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + dir.VirtualAddress);
    const auto* nameRvas = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    for (DWORD i = 0; dir.Size != 0 && i < exports->NumberOfNames; ++i)
        names.insert(Demangle(base + nameRvas[i]));
    return names;
}

#else

// The defined dynamic symbols of a shared object, demangled, as binutils'
// nm reads them from the file.
std::set<std::string> DefinedDynamicSymbols(const std::string& path) {
    std::set<std::string> names;
    FILE* nm = popen(("nm -D --defined-only -C --format=just-symbols '" + path + "'").c_str(), "r");
    for (char line[4096]; nm && std::fgets(line, sizeof line, nm);)
        names.insert(std::string(line, std::strcspn(line, "\n")));
    if (nm) pclose(nm);
    return names;
}

#endif

TEST(Exports, DynamicSymbolTableIsExactlyTheExportList) {
    std::ifstream in(KX_EXPORTS_LIST);
    std::set<std::string> expected;
    for (std::string line; std::getline(in, line);)
        if (!line.empty() && line[0] != '#') expected.insert(line);
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(DefinedDynamicSymbols(KX_LIBRARY_FILE), expected);
}

}  // namespace
