// A module's file name into a fixed buffer, as the message lookup reads it.
#include <gtest/gtest.h>

#include <string>

#include "kxplatform.h"

namespace {

TEST(ModuleFileName, WholePathOrCutAndTerminated) {
    const std::string path = kxp::module_path(kxp::executable_module());
    ASSERT_NE(path.find("platform_tests"), std::string::npos) << path;
    const auto length = static_cast<std::uint32_t>(path.size());
    const struct {
        std::uint32_t size, result;
        std::string written;  // what the buffer holds before its NUL
    } rows[] = {
        {length + 1, length, path},
        {length, length, path.substr(0, length - 1)},  // no room for the NUL: cut
        {1, 1, ""},
    };
    for (const auto& row : rows) {
        std::string buffer(length + 16, '#');
        EXPECT_EQ(kxp::module_file_name(kxp::executable_module(), buffer.data(), row.size),
                  row.result)
            << row.size;
        EXPECT_EQ(std::string(buffer.c_str()), row.written) << row.size;
        EXPECT_EQ(buffer[row.written.size() + 1], '#') << "wrote past the NUL, size " << row.size;
    }
    char buffer[] = "#";  // nothing to tell, nothing written
    EXPECT_EQ(kxp::module_file_name(kxp::executable_module(), buffer, 0), 0u);
    EXPECT_EQ(kxp::module_file_name(nullptr, buffer, sizeof buffer), 0u);
    EXPECT_EQ(kxp::module_file_name(kxp::executable_module(), nullptr, 260), 0u);
    EXPECT_STREQ(buffer, "#");
}

}  // namespace
