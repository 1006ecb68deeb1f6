// Directory copy with exclusion lists.
#include <zuvuvur/files.h>

#include <cstring>

#include "files/search.h"
#include "frame/bridge.h"
#include "kxplatform.h"
#include "kxtl.h"

namespace {

// What every level of one copy knows: where the copy writes, so that a
// destination inside the source is not copied into itself.
struct CopyScope {
    kxp::FileId destination{};
    bool known = false;
};

bool IsDotOrDotDot(const char* name) {
    return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

// A destination folder this level made, given its source's permissions once
// the level is done with it, however it ends.
class MadeFolder {
  public:
    MadeFolder(const char* path, const char* source) : path_(path), source_(source) {}
    MadeFolder(const MadeFolder&) = delete;
    MadeFolder& operator=(const MadeFolder&) = delete;
    ~MadeFolder() {
        if (path_) kxp::finish_directory(path_, source_);
    }

  private:
    const char* path_;
    const char* source_;
};

int CopyLevel(const char* source, const char* destination, int recurse,
              const kxfiles::Exclusions& excludedDirs, const kxfiles::Exclusions& excludedFiles,
              int copyOption, CopyScope* scope) {
    CString from(source);
    CString to(destination);
    kxfiles::NormaliseDirectory(from);
    kxfiles::NormaliseDirectory(to);
    // Below the top, a destination folder that is a link would carry the copy
    // out of the destination tree: that subtree is not written.
    if (scope && kxp::is_symbolic_link(to)) return 0;
    // The destination is made before the source is looked at, so a missing
    // source still leaves the destination behind. A folder the copy makes
    // takes its source's permissions: what the owner kept private stays so.
    const bool made = !kxtl::dir_exists(to);
    if (made && kxp::create_directory(to, from) != kxp::ERR_SUCCESS) return 0;
    const MadeFolder finish(made ? static_cast<const char*>(to) : nullptr, from);

    CopyScope top;
    if (!scope) {
        scope = &top;
        top.known = kxp::file_id(to, &top.destination);
        kxp::FileId sourceId;
        if (top.known && kxp::file_id(from, &sourceId) && sourceId == top.destination) return 1;
    }

    kxfiles::Search search(from + "*.*");
    if (!search.Started()) return 0;
    do {
        const kxp::FindData& entry = search.entry;
        if (entry.attributes & (kxp::FILE_ATTR_HIDDEN | kxp::FILE_ATTR_SYSTEM)) continue;
        if (entry.attributes & kxp::FILE_ATTR_DIRECTORY) {
            if (!recurse || IsDotOrDotDot(entry.name)) continue;
            if (excludedDirs.Holds(entry.name)) continue;
            CString subdirectory = from + entry.name;
            kxp::FileId id;
            if (scope->known && kxp::file_id(subdirectory, &id) && id == scope->destination)
                continue;
            // Deeper levels always replace: only the top level may keep files.
            // A failure below does not stop this level.
            CopyLevel(subdirectory, to + entry.name, recurse, excludedDirs, excludedFiles, 1,
                      scope);
            continue;
        }
        if (excludedFiles.Holds(entry.name)) continue;
        int mode = copyOption ? kxtl::COPY_REPLACE : kxtl::COPY_KEEP_EXISTING;
        if (kxtl::copy_one_file(from + entry.name, to + entry.name, mode) != 0) return 0;
    } while (search.Next());
    return 1;
}

}  // namespace

int kxuCopyDirectory(const char* source, const char* destination, int recurse,
                     CStringArray* excludedDirs, CStringArray* excludedFiles, int copyOption) {
    if (!source || !destination) return 0;
    const kxfiles::Exclusions dirs(excludedDirs, true), files(excludedFiles, false);
    return CopyLevel(source, destination, recurse, dirs, files, copyOption, nullptr);
}

int kxu_copy_directory(const char* source, const char* destination, int recurse,
                       CHostObject* excludedDirs, CHostObject* excludedFiles, int copyOption) {
    CStringArray* dirs = HostStringArray(excludedDirs);
    CStringArray* files = HostStringArray(excludedFiles);
    return kxuCopyDirectory(source, destination, recurse, dirs, files, copyOption);
}
