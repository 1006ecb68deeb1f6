// Dynamic modules: the executable, loading by path, symbols. The portable
// part is the contract in kxplatform.h; the per-system code follows.
#include "kxplatform.h"

#include <cstring>
#include <new>

namespace kxp {

std::uint32_t module_file_name(ModuleHandle module, char* buffer, std::uint32_t size) noexcept {
    if (!buffer || size == 0) return 0;
    std::string path;
    try {
        path = module_path(module);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    if (path.empty()) return 0;
    // Cut rather than fail, so a caller with a fixed buffer still sees what
    // fits; the result equal to `size` is how it learns the path was cut.
    const bool fits = path.size() < size;
    const std::size_t n = fits ? path.size() : size - 1;
    std::memcpy(buffer, path.data(), n);
    buffer[n] = '\0';
    return fits ? static_cast<std::uint32_t>(n) : size;
}

std::string library_folder() noexcept {
    // Any address inside this library names its file; a constant of its own
    // is the plainest such address.
    static constexpr char kInsideThisLibrary = 0;
    try {
        std::string path = module_path(module_of_address(&kInsideThisLibrary));
        std::size_t separator = path.rfind(kPathSeparator);
        if (separator == std::string::npos) return {};
        path.resize(separator + 1);
        return path;
    } catch (const std::bad_alloc&) {
        return {};
    }
}

std::string library_module_folder() noexcept {
    std::string folder = library_folder();
    if (folder.empty()) return {};
    try {
        folder += "zuvuvur";
        folder += kPathSeparator;
        return folder;
    } catch (const std::bad_alloc&) {
        return {};
    }
}

}  // namespace kxp

#if defined(_WIN32)
#include "win32/modules.inc"
#else
#include "posix/modules.inc"
#endif
