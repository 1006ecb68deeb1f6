// A module's file name into a fixed buffer, as the message lookup reads it.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "kxplatform.h"

namespace {

// The whole path and its length where it fits; else as much as fits before
// the NUL, and the size, which tells the caller that the path was cut.
TEST(ModuleFileName, WholePathOrCutAndTerminated) {
    const kxp::ModuleHandle self = kxp::executable_module();
    const std::string path = kxp::module_path(self);
    ASSERT_NE(path.find("platform_tests"), std::string::npos) << path;
    const auto length = static_cast<std::uint32_t>(path.size());
    for (const std::uint32_t size : {length + 1, length, 1u}) {
        const std::uint32_t kept = std::min(length, size - 1);
        std::string buffer(length + 16, '#');
        EXPECT_EQ(kxp::module_file_name(self, buffer.data(), size), size > length ? length : size);
        EXPECT_EQ(buffer.substr(0, kept + 2), path.substr(0, kept) + '\0' + '#') << size;
    }
    char buffer[] = "#";  // nothing to tell, nothing written
    EXPECT_EQ(kxp::module_file_name(self, buffer, 0), 0u);
    EXPECT_EQ(kxp::module_file_name(nullptr, buffer, sizeof buffer), 0u);
    EXPECT_EQ(kxp::module_file_name(self, nullptr, 260), 0u);
    EXPECT_STREQ(buffer, "#");
}

}  // namespace
