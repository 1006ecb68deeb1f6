// A host whose folder holds no shell module: creates fail with 15053, after
// the name was converted, so the locale is "C" all the same.
#include <gtest/gtest.h>
#include <zuvuvur/zuvuvur.h>

#include <clocale>
#include <filesystem>
#include <string>

#include "kxplatform.h"

TEST(NoShell, CreateFailsAndLeavesTheHandle) {
    std::string exe = kxp::module_path(kxp::executable_module());
    std::filesystem::path folder = std::filesystem::path(exe).parent_path();
    ASSERT_FALSE(std::filesystem::exists(folder / kxp::SHELL_MODULE_NAME));

    std::setlocale(LC_ALL, "C.UTF-8");
    unsigned int handle = 42;
    EXPECT_EQ(kxu_shell_item(&handle, 0, reinterpret_cast<INT_PTR>(exe.c_str()), nullptr, 0),
              15053);
    EXPECT_EQ(handle, 42u);
    EXPECT_STREQ(std::setlocale(LC_ALL, nullptr), "C");
}
