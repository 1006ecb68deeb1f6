// Files and directories: name patterns and the library's backslash paths.
// The portable part is here; the per-system code follows at the end.
#include <cstring>

#include "kxplatform.h"

namespace kxp {
namespace {

// Longest path handed to the system, terminating NUL included.
constexpr std::size_t kMaxPath = 4096;

// A library path in the system's spelling, held on the stack: these calls
// run once per directory entry, and a path needs no allocation to be mapped.
class NativePath {
  public:
    explicit NativePath(const char* path) noexcept {
        if (!path) {
            error_ = ERR_INVALID_PARAMETER;
            return;
        }
        std::size_t length = std::strlen(path);
        if (length >= kMaxPath) {
            error_ = ERR_FILENAME_EXCED_RANGE;
            return;
        }
        std::memcpy(text_, path, length + 1);
        to_native_separators(text_);
        length_ = length;
    }
    NativePath(const NativePath&) = delete;
    NativePath& operator=(const NativePath&) = delete;

    std::uint32_t error() const noexcept { return error_; }
    const char* c_str() const noexcept { return text_; }
    char* data() noexcept { return text_; }
    std::size_t length() const noexcept { return length_; }

  private:
    char text_[kMaxPath] = {};
    std::size_t length_ = 0;
    std::uint32_t error_ = ERR_SUCCESS;
};

// Plain wildcard matching with backtracking to the last '*': each '*' is
// retried at most once per name position, so a match costs
// O(pattern × name) at worst and usually a single pass.
bool Glob(const unsigned char* p, std::size_t pn, const unsigned char* s, std::size_t sn) noexcept {
    const unsigned char* lower = cp_lower_table();
    std::size_t pi = 0, si = 0;
    std::size_t starP = pn, starS = 0;  // pn: no '*' seen yet
    while (si < sn) {
        if (pi < pn && p[pi] == '*') {
            starP = pi++;
            starS = si;
        } else if (pi < pn && (p[pi] == '?' || lower[p[pi]] == lower[s[si]])) {
            ++pi;
            ++si;
        } else if (starP != pn) {
            pi = starP + 1;  // let the last '*' swallow one byte more
            si = ++starS;
        } else {
            return false;
        }
    }
    while (pi < pn && p[pi] == '*') ++pi;
    return pi == pn;
}

}  // namespace

bool name_matches(const char* pattern, const char* name) noexcept {
    if (!pattern || !name) return false;
    auto p = reinterpret_cast<const unsigned char*>(pattern);
    auto s = reinterpret_cast<const unsigned char*>(name);
    std::size_t pn = std::strlen(pattern), sn = std::strlen(name);
    if (Glob(p, pn, s, sn)) return true;
    // A trailing ".*" may match nothing at all, dot included: "*.*" is "every name".
    if (pn >= 2 && p[pn - 2] == '.' && p[pn - 1] == '*') return Glob(p, pn - 2, s, sn);
    // A trailing lone "." stands for "no extension".
    if (pn >= 1 && p[pn - 1] == '.' && !std::strchr(name, '.')) return Glob(p, pn - 1, s, sn);
    return false;
}

}  // namespace kxp

#if defined(_WIN32)
#include "win32/files.inc"
#else
#include "posix/files.inc"
#endif
