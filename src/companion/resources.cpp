// Resource primitive of Kxtl9_64: numbered texts of a message module.
//
// Where the texts live differs by system: on Windows a message module is a
// resource DLL with a STRINGTABLE, read by the system's LoadString; elsewhere
// it carries one sorted table under a single data symbol (resource_table.h).
// The contract, and the checks that keep it whatever the system, are here.
#include <climits>
#include <cstring>

#include "kxplatform.h"
#include "kxtl.h"

namespace kxtl {
namespace {

// Copies text `id` of `module` into `buffer` (size > 0), cut to size - 1
// bytes and terminated, and returns its whole length; returns 0 and writes
// nothing when the module has no such text.
int CopyModuleText(void* module, int id, char* buffer, int size);

}  // namespace

int load_resource_string(void* module, int id, char* buffer, int size, unsigned short /*lang*/,
                         unsigned int /*flags*/, void* /*reserved*/) {
    if (!module || !buffer || size <= 0) return 0;
    return CopyModuleText(module, id, buffer, size);
}

}  // namespace kxtl

#if defined(_WIN32)
#include "win32/resources.inc"
#else
#include "posix/resources.inc"
#endif
