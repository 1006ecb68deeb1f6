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

// Names in the export table of a DLL, read from the file. Mangled names are
// the compiler's own (the Itanium scheme under mingw), demangled as on Linux.
std::set<std::string> DefinedDynamicSymbols(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::set<std::string> names;
    if (file.size() < sizeof(IMAGE_DOS_HEADER)) return names;
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(file.data());
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(file.data() + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    if (dir.Size == 0) return names;
    const IMAGE_SECTION_HEADER* sections = IMAGE_FIRST_SECTION(nt);
    auto at = [&](DWORD rva) -> const char* {
        for (int i = 0; i < nt->FileHeader.NumberOfSections; ++i) {
            const IMAGE_SECTION_HEADER& s = sections[i];
            if (rva >= s.VirtualAddress && rva < s.VirtualAddress + s.Misc.VirtualSize)
                return file.data() + s.PointerToRawData + (rva - s.VirtualAddress);
        }
        return nullptr;
    };
    const auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(at(dir.VirtualAddress));
    const auto* nameRvas = reinterpret_cast<const DWORD*>(at(exports->AddressOfNames));
    for (DWORD i = 0; i < exports->NumberOfNames; ++i) names.insert(Demangle(at(nameRvas[i])));
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

std::set<std::string> ExpectedExports() {
    std::ifstream in(KX_EXPORTS_LIST);
    std::set<std::string> names;
    for (std::string line; std::getline(in, line);)
        if (!line.empty() && line[0] != '#') names.insert(line);
    return names;
}

TEST(Exports, DynamicSymbolTableIsExactlyTheExportList) {
    std::set<std::string> expected = ExpectedExports();
    ASSERT_FALSE(expected.empty());
    std::set<std::string> actual = DefinedDynamicSymbols(KX_LIBRARY_FILE);
    for (const auto& name : expected) EXPECT_TRUE(actual.count(name)) << "not exported: " << name;
    for (const auto& name : actual) EXPECT_TRUE(expected.count(name)) << "exported too: " << name;
}

}  // namespace
