// What the copy and the deletion share: folder paths with their trailing
// backslash, exclusion lists, and a directory search that is closed on every
// way out, exceptions included.
#pragma once

#include <zuvuvur/afx/afx.h>

#include <algorithm>
#include <cstdint>

#include "kxplatform.h"

namespace kxfiles {

// A folder path ends with exactly the one backslash this appends when it is
// missing; "" becomes "\".
inline void NormaliseDirectory(CString& directory) {
    int length = directory.GetLength();
    if (length == 0 || directory.GetString()[length - 1] != '\\') directory += '\\';
}

// The names of an exclusion list, matched regardless of letter case. They are
// sorted once per call, so that each name a walk meets is looked up in time
// that grows with the logarithm of the list: looked through element by
// element, a long list and a large folder would cost their product.
// Directory elements lose their trailing backslashes first, file elements do
// not. A null list excludes nothing.
//   Beside each name lies its key, its first eight bytes folded
// (kxp::prefix_key): keys sort as their names do, so a lookup searches the
// keys, held together in one block, and reads names' texts only where keys are
// equal. Searching the names themselves would go to memory at every step once
// the list outgrows the caches.
class Exclusions {
  public:
    Exclusions(const CStringArray* list, bool trimBackslashes) {
        if (!list) return;
        names_.Copy(*list);
        CString* begin = names_.GetData();
        CString* end = begin + names_.GetSize();
        if (trimBackslashes)
            for (CString* name = begin; name != end; ++name) name->TrimRight('\\');
        std::sort(begin, end, [](const CString& a, const CString& b) {
            return kxp::cp_compare_no_case(a, b) < 0;
        });
        keys_.SetSize(names_.GetSize());
        for (INT_PTR i = 0; i < names_.GetSize(); ++i) keys_[i] = Key(begin[i]);
    }
    bool Holds(const char* name) const {
        const std::uint64_t* keys = keys_.GetData();
        const std::uint64_t key = Key(name);
        const auto [first, last] = std::equal_range(keys, keys + keys_.GetSize(), key);
        const CString* begin = names_.GetData() + (first - keys);
        const CString* end = names_.GetData() + (last - keys);
        const CString* at = std::lower_bound(begin, end, name, [](const CString& a, const char* b) {
            return kxp::cp_compare_no_case(a, b) < 0;
        });
        return at != end && kxp::cp_compare_no_case(*at, name) == 0;
    }

  private:
    static std::uint64_t Key(const char* name) {
        return kxp::prefix_key(name, kxp::cp_lower_table());
    }

    CStringArray names_;
    CArray<std::uint64_t, std::uint64_t> keys_;
};

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
