// A path expressed relative to the folder of another, as text alone.
#include <zuvuvur/files.h>

#include <cstring>
#include <utility>

// The two paths are only compared and counted where they stand; the one string made is the
// answer, and `result` takes it at the end, so either path may be `result`'s own text.
int kxu_make_relative_path(CString& result, const char* base, const char* target, int maxLevels) {
    if (base == nullptr) base = "";
    if (target == nullptr) target = "";
    const char* lastSlash = std::strrchr(target, '\\');
    if (lastSlash == nullptr || lastSlash - target < 2) return -1;  // "\y.txt", "C\y.txt"

    // The common folder ends at the last backslash of the run where both agree (none follows
    // the target's folder); a backslash at index 0 is no folder of its own.
    std::size_t common = 0;
    for (std::size_t k = 0; base[k] != '\0' && base[k] == target[k]; ++k)
        if (k >= 1 && base[k] == '\\') common = k + 1;
    if (common == 0) return -2;

    // Each backslash of what base keeps after the common folder, past its first byte, is a
    // folder to climb out of.
    long long levels = 0;
    if (base[common] != '\0')
        for (const char* p = base + common + 1; *p != '\0'; ++p) levels += *p == '\\';
    if (levels > maxLevels) return -3;

    CString relative;
    for (long long i = 0; i < levels; ++i) relative.Append("..\\", 3);
    relative += target + common;
    result = std::move(relative);
    return 0;
}
