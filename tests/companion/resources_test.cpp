// The companion's resource lookup, against the built error-message module. The message entries
// of tests/messages find and miss their texts through it; these rows hold its own arguments.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>

#include "kxplatform.h"
#include "kxtl.h"

namespace {

// Cut to the buffer and never written past it; nothing written for a missing id, a null module,
// a module without a table (the program itself) or no room.
TEST(LoadResourceString, CutsToTheBufferAndWritesNothingWhenMissing) {
    const kxp::ModuleHandle module = kxp::load_module(KX_ERRMSG_MODULE);
    ASSERT_NE(module, nullptr) << KX_ERRMSG_MODULE;
    const kxp::ModuleHandle none = nullptr, program = kxp::executable_module();
    // Module, id (15001 is "Cannot open %s", 14 bytes), size; the text (null: nothing written)
    // and the result.
    const std::tuple<kxp::ModuleHandle, int, int, const char*, int> rows[] = {
        {module, 15001, 15, "Cannot open %s", 14},
        {module, 15001, 14, "Cannot open %", 14},
        {module, 15001, 1, "", 14},
        {module, 15001, 0, nullptr, 0},
        {module, 15001, -5, nullptr, 0},
        {module, 12345, 64, nullptr, 0},
        {none, 15001, 64, nullptr, 0},
        {program, 15001, 64, nullptr, 0},
    };
    for (const auto& [from, id, size, expected, result] : rows) {
        SCOPED_TRACE(::testing::Message() << "id " << id << " size " << size);
        char buffer[80];
        std::memset(buffer, '#', sizeof buffer);
        EXPECT_EQ(kxtl::load_resource_string(from, id, buffer + 8, size, 0, 0, nullptr), result);
        // Guard bytes on both sides.
        const std::string text = expected ? std::string(expected) + '\0' : "";
        EXPECT_EQ(std::string(buffer, sizeof buffer),
                  std::string(8, '#') + text + std::string(72 - text.size(), '#'));
    }
    EXPECT_EQ(kxtl::load_resource_string(module, 15001, nullptr, 16, 0, 0, nullptr), 0);
}

}  // namespace
