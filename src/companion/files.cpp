// Kxtl9_64 — file primitives: whether a directory exists, copying one file.
// Both take the library's backslash paths; the platform layer speaks to the
// system.
#include "kxtl.h"

#include "kxplatform.h"

namespace kxtl {

int dir_exists(const char* dir) { return kxp::directory_exists(dir) ? 1 : 0; }

int copy_one_file(const char* source, const char* destination, int mode) {
    if (!source || !destination) return static_cast<int>(kxp::ERR_INVALID_PARAMETER);
    kxp::ExistingFile existing;
    switch (mode) {
        case COPY_REPLACE:
            existing = kxp::ExistingFile::Replace;
            break;
        case COPY_KEEP_EXISTING:
            existing = kxp::ExistingFile::Keep;
            break;
        default:
            return static_cast<int>(kxp::ERR_INVALID_PARAMETER);
    }
    return static_cast<int>(kxp::copy_file(source, destination, existing));
}

}  // namespace kxtl
