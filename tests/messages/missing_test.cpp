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

// Makes sure `name` is missing beside this program, and removes the copy
// that the test puts there once it is done.
class ModuleBesideMe {
  public:
    explicit ModuleBesideMe(const char* name)
        : path_(fs::path(kxp::module_path(kxp::executable_module())).parent_path() / name) {
        fs::remove(path_);
    }
    // Windows keeps a loaded module's file, and the library never frees the
    // runtime module; the next run's constructor removes it then.
    ~ModuleBesideMe() {
        std::error_code ignored;
        fs::remove(path_, ignored);
    }
    ModuleBesideMe(const ModuleBesideMe&) = delete;
    ModuleBesideMe& operator=(const ModuleBesideMe&) = delete;

    void CopyFrom(const char* built) { fs::copy_file(built, path_); }

  private:
    fs::path path_;
};

std::string g_shown = "no box";
int RecordBox(const char* text, UINT, UINT) {
    g_shown = text;
    return IDOK;
}

// Every entry that needs kxErrMsg_64.dll answers 0 and writes nothing.
void ExpectNoMessages(const char* when) {
    CString text("untouched");
    int n = 3;
    EXPECT_EQ(kxu_load_err_msg_str(15001, &text, -1), 0) << when;
    EXPECT_EQ(kxu_load_err_msg_str(15001, nullptr, -1), 0) << when;
    EXPECT_EQ(kxu_load_msg_str(15001, &text, "a.txt", nullptr, nullptr, -1), 0) << when;
    EXPECT_EQ(kxu_load_msg_str(103, nullptr, nullptr, &n, nullptr, -1), 0) << when;
    EXPECT_STREQ(text, "untouched") << when;
    g_shown = "no box";
    EXPECT_EQ(kxu_err_msgbox(15001, MB_OK, "a.txt", nullptr, nullptr), IDOK) << when;
    EXPECT_EQ(g_shown, "") << when;  // the box still shows, empty
    // Headings need no module.
    EXPECT_EQ(kxu_err_msg_heading(15001, &text), 1) << when;
}

TEST(MissingErrorModule, AFailedFirstLoadIsNeverRetried) {
    ModuleBesideMe module("kxErrMsg_64.dll");
    AfxSetMessageBoxHandler(&RecordBox);
    ExpectNoMessages("first calls");
    ExpectNoMessages("second calls");
    module.CopyFrom(KX_ERRMSG_MODULE);
    ExpectNoMessages("after the module appeared");
    AfxSetMessageBoxHandler(nullptr);
}

TEST(MissingRuntimeModule, IsLookedForAgainOnEveryCall) {
    ModuleBesideMe module("KXSmsg9_64.dll");
    CString text("untouched");
    EXPECT_EQ(kxu_load_runtime_err(1, &text), 0);
    EXPECT_EQ(kxu_load_runtime_err(1, &text), 0);
    EXPECT_STREQ(text, "untouched");
    module.CopyFrom(KX_RUNTIME_MODULE);
    EXPECT_GT(kxu_load_runtime_err(1, &text), 0);
    EXPECT_STREQ(text, "Division by zero.");
}

}  // namespace
