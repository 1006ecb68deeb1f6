// The message modules missing from beside the program: this program is built
// into a folder of its own, without them, although it runs from the folder
// that has them (so the lookup is seen to follow the executable, not the
// working directory). Each test copies one module in halfway.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "kxplatform.h"
#include "support/test_host.h"

namespace {

namespace fs = std::filesystem;

// `name` beside this program, made sure to be missing. Windows keeps a loaded
// module's file, and the library never frees the runtime module, so the copy a
// test puts there is removed by the next run rather than at the end.
fs::path BesideMe(const char* name) {
    const fs::path path = fs::path(kxp::module_path(kxp::executable_module())).parent_path() / name;
    std::error_code ignored;
    fs::remove(path, ignored);
    return path;
}

// Every entry that needs kxErrMsg_64.dll answers 0 and writes nothing.
void ExpectNoMessages(const char* when) {
    CString text("untouched");
    EXPECT_EQ(kxu_load_err_msg_str(15001, &text, -1), 0) << when;
    EXPECT_EQ(kxu_load_err_msg_str(15001, nullptr, -1), 0) << when;
    EXPECT_EQ(kxu_load_msg_str(15001, &text, "a.txt", nullptr, nullptr, -1), 0) << when;
    EXPECT_STREQ(text, "untouched") << when;
    // Headings need no module.
    EXPECT_EQ(kxu_err_msg_heading(15001, &text), 1) << when;
}

TEST(MissingErrorModule, AFailedFirstLoadIsNeverRetried) {
    const fs::path module = BesideMe("kxErrMsg_64.dll");
    ExpectNoMessages("first calls");
    fs::copy_file(KX_ERRMSG_MODULE, module);
    ExpectNoMessages("after the module appeared");
}

TEST(MissingRuntimeModule, IsLookedForAgainOnEveryCall) {
    const fs::path module = BesideMe("KXSmsg9_64.dll");
    CString text("untouched");
    EXPECT_EQ(kxu_load_runtime_err(1, &text), 0);
    EXPECT_EQ(kxu_load_runtime_err(1, &text), 0);
    EXPECT_STREQ(text, "untouched");
    fs::copy_file(KX_RUNTIME_MODULE, module);
    EXPECT_GT(kxu_load_runtime_err(1, &text), 0);
    EXPECT_STREQ(text, "Division by zero.");
}

}  // namespace
