// Deletion of the files of one folder that match a pattern.
#include <zuvuvur/files.h>

#include <cstring>

#include "files/search.h"
#include "frame/bridge.h"
#include "kxplatform.h"
#include "kxtl.h"

int kxuDelFiles(const char* directory, const char* pattern, CStringArray* excludedFiles) {
    if (!directory) return -1;
    CString folder(directory);
    kxfiles::NormaliseDirectory(folder);
    if (!kxtl::dir_exists(folder)) return -1;
    // "sub\*.txt" would list sub's files and delete their names from here.
    if (pattern && std::strpbrk(pattern, "\\/")) return -2;

    const kxfiles::Exclusions excluded(excludedFiles, false);
    kxfiles::Search search(folder + (pattern ? pattern : "*.*"));
    if (!search.Started()) return search.error == kxp::ERR_FILE_NOT_FOUND ? 0 : -2;
    int count = 0;
    do {
        const kxp::FindData& entry = search.entry;
        if (entry.attributes & kxp::FILE_ATTR_DIRECTORY) continue;
        if (excluded.Holds(entry.name)) continue;
        // A file that will not go (read-only, in use) is simply not counted.
        if (kxp::delete_file(folder + entry.name) == kxp::ERR_SUCCESS) ++count;
    } while (search.Next());
    return search.error == kxp::ERR_NO_MORE_FILES ? count : -3;
}

int kxu_delete_files(const char* directory, const char* pattern, CHostObject* excludedFiles) {
    return kxuDelFiles(directory, pattern, HostStringArray(excludedFiles));
}
