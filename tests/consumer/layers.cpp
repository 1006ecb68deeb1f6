// The platform layer and the companion library of an installed tree: where
// the library keeps its modules, and a runtime text read from one by name.
#include <cstdio>

#include "kxplatform.h"
#include "kxtl.h"

int main() {
    std::printf("%s\n", kxp::library_module_folder().c_str());
    char text[64] = "";
    kxtl::load_resource_string(kxp::load_module("KXSmsg9_64.dll"), 1, text, sizeof text, 0, 0,
                               nullptr);
    std::printf("%s\n", text);
}
