// Resource primitive of Kxtl9_64: numbered texts of a message module.
//
// A message module carries its texts as one sorted table under a single data
// symbol (resource_table.h), so a lookup is a symbol search followed by a
// binary search, and the module needs no code of its own.
#include <algorithm>
#include <climits>
#include <cstring>

#include "kxplatform.h"
#include "kxtl.h"
#include "resource_table.h"

namespace kxtl {

int load_resource_string(void* module, int id, char* buffer, int size, unsigned short /*lang*/,
                         unsigned int /*flags*/, void* /*reserved*/) {
    if (!module || !buffer || size <= 0) return 0;
    const auto* table =
        static_cast<const KxStringTable*>(kxp::find_symbol(module, kStringTableSymbol));
    // A module built against another layout is read as one without texts
    // rather than misread.
    if (!table || table->version != kStringTableVersion || !table->entries) return 0;
    const KxStringEntry* first = table->entries;
    const KxStringEntry* last = first + table->count;
    const KxStringEntry* hit = std::lower_bound(
        first, last, id, [](const KxStringEntry& e, int wanted) { return e.id < wanted; });
    if (hit == last || hit->id != id) return 0;
    const std::size_t room = static_cast<std::size_t>(size) - 1;
    const std::size_t n = std::min<std::size_t>(hit->length, room);
    std::memcpy(buffer, hit->text, n);
    buffer[n] = '\0';
    return static_cast<int>(std::min<std::uint32_t>(hit->length, INT_MAX));
}

}  // namespace kxtl
