// What the copy and the deletion share: folder paths with their trailing
// backslash, exclusion lists, and a directory search that is closed on every
// way out, exceptions included.
#pragma once

#include <zuvuvur/afx/afx.h>

#include "kxplatform.h"

namespace kxfiles {

// A folder path ends with exactly the one backslash this appends when it is
// missing; "" becomes "\".
inline void NormaliseDirectory(CString& directory) {
    int length = directory.GetLength();
    if (length == 0 || directory.GetString()[length - 1] != '\\') directory += '\\';
}

// True when `name` equals an element of `list` regardless of letter case; the
// elements are taken in order and the first match ends the look. Directory
// elements lose their trailing backslashes first, file elements do not.
inline bool IsExcluded(const char* name, const CStringArray* list, bool trimBackslashes) {
    if (!list) return false;
    for (INT_PTR i = 0; i < list->GetSize(); ++i) {
        const CString& element = list->GetAt(i);
        if (!trimBackslashes) {
            if (element.CompareNoCase(name) == 0) return true;
            continue;
        }
        CString trimmed(element);
        trimmed.TrimRight('\\');
        if (trimmed.CompareNoCase(name) == 0) return true;
    }
    return false;
}

class Search {
  public:
    explicit Search(const char* searchPath)
        : handle_(kxp::find_first(searchPath, &entry, &error)) {}
    Search(const Search&) = delete;
    Search& operator=(const Search&) = delete;
    ~Search() { kxp::find_close(handle_); }

    bool Started() const noexcept { return handle_ != nullptr; }
    // Moves `entry` on; false at the end or on an error, which `error` tells.
    bool Next() noexcept { return kxp::find_next(handle_, &entry, &error); }

    // Declared before handle_: they must exist, initialised, when the
    // constructor's find_first writes the first entry and its error into them.
    kxp::FindData entry{};
    std::uint32_t error = kxp::ERR_SUCCESS;

  private:
    kxp::SearchHandle handle_;
};

}  // namespace kxfiles
