// The library's dynamic symbol table holds exactly its exports: read from the
// built file's ELF dynamic symbols (on Windows, its PE export table), not from
// what the compiler was told.
#include <cxxabi.h>
#include <gtest/gtest.h>
#if defined(_WIN32)
#include <windows.h>
#else
#include <elf.h>
#endif

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

std::string Demangle(const char* name) {
    int status = 0;
    char* plain = abi::__cxa_demangle(name, nullptr, nullptr, &status);
    std::string out = status == 0 && plain ? plain : name;
    std::free(plain);
    return out;
}

#if defined(_WIN32)

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

// Names of the defined, globally visible symbols of a shared object.
std::set<std::string> DefinedDynamicSymbols(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::set<std::string> names;
    if (file.size() < sizeof(Elf64_Ehdr)) return names;
    const auto* eh = reinterpret_cast<const Elf64_Ehdr*>(file.data());
    const auto* sections = reinterpret_cast<const Elf64_Shdr*>(file.data() + eh->e_shoff);
    for (int i = 0; i < eh->e_shnum; ++i) {
        if (sections[i].sh_type != SHT_DYNSYM) continue;
        const char* strtab = file.data() + sections[sections[i].sh_link].sh_offset;
        const auto* syms = reinterpret_cast<const Elf64_Sym*>(file.data() + sections[i].sh_offset);
        std::size_t count = sections[i].sh_size / sizeof(Elf64_Sym);
        for (std::size_t k = 1; k < count; ++k) {
            const Elf64_Sym& s = syms[k];
            int bind = ELF64_ST_BIND(s.st_info);
            if (s.st_shndx == SHN_UNDEF || (bind != STB_GLOBAL && bind != STB_WEAK)) continue;
            if (ELF64_ST_VISIBILITY(s.st_other) != STV_DEFAULT) continue;
            names.insert(Demangle(strtab + s.st_name));
        }
    }
    return names;
}

#endif

TEST(Exports, DynamicSymbolTableIsExactlyTheExportList) {
    std::ifstream in(KX_EXPORTS_LIST);
    std::set<std::string> expected;
    for (std::string line; std::getline(in, line);)
        if (!line.empty() && line[0] != '#') expected.insert(line);
    ASSERT_FALSE(expected.empty());
    std::set<std::string> actual = DefinedDynamicSymbols(KX_LIBRARY_FILE);
    for (const auto& name : expected) EXPECT_TRUE(actual.count(name)) << "not exported: " << name;
    for (const auto& name : actual) EXPECT_TRUE(expected.count(name)) << "exported too: " << name;
}

}  // namespace
