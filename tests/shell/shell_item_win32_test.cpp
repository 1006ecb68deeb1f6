// Shell items on Windows, through the system's shell32: what a plain file
// offers there (no document properties of its own, times from the file). One
// test, as the item table lives for the whole process and its first calls
// come first.
#include <gtest/gtest.h>
#include <zuvuvur/zuvuvur.h>

#include <process.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "kxplatform.h"

namespace {

namespace fs = std::filesystem;

int Create(unsigned int& handle, const std::string& name) {
    return kxu_shell_item(&handle, 0, reinterpret_cast<INT_PTR>(name.c_str()), nullptr, 0);
}
int Query(unsigned int handle, unsigned int op, INT_PTR index, void* out, int size = 0) {
    return kxu_shell_item(&handle, op, index, out, size);
}

// A text file has no property handler, so nothing to read; its times are the
// file's. Wine's IShellItem2 answers E_NOTIMPL for all three (seen with wine
// 8): the failed read's own code. The shell wants full paths in the system's
// own form.
TEST(ShellItemWin32, FirstCallsHandlesAndWhatAPlainFileOffers) {
    const fs::path dir =
        (fs::temp_directory_path() / ("kxshell-" + std::to_string(::_getpid()))).make_preferred();
    fs::create_directories(dir);
    const std::string file = (dir / "a.txt").string();
    std::ofstream(file) << "content\n";
    unsigned int first = 0, second = 0, untouched = 99;
    EXPECT_EQ(Query(1, 1, 0, nullptr), 15054);  // a release before any create
    std::thread([&] {  // the multithreaded apartment cannot make the item table
        kxp::CoInitializeEx(nullptr, kxp::COINIT_MULTITHREADED);
        EXPECT_EQ(Create(untouched, file), 15051);
        kxp::CoUninitialize();
    })
        .join();
    ASSERT_EQ(Create(first, file), 0);
    ASSERT_EQ(Create(second, dir.string()), 0);
    EXPECT_EQ(Create(untouched, (dir / "missing.txt").string()), 15053);
    EXPECT_EQ(untouched, 99u);
    EXPECT_EQ(Query(second, 1, 0, nullptr), 0);

    char title[16] = "untouched";
    unsigned int rating = 7;
    std::uint64_t modified = 0;
    const int titleResult = Query(first, 4, SHELL_PROP_TITLE, title, sizeof title);
    const int ratingResult = Query(first, 5, SHELL_PROP_RATING, &rating);
    const int timeResult = Query(first, 3, SHELL_PROP_DATE_MODIFIED, &modified);
    const bool wine = kxp::find_symbol(kxp::load_module("ntdll.dll"), "wine_get_version");
    EXPECT_TRUE(titleResult == 15057 || (!wine && titleResult == 15061)) << titleResult;
    EXPECT_TRUE(ratingResult == 15058 || (!wine && ratingResult == 15061)) << ratingResult;
    EXPECT_EQ(timeResult, wine ? 15060 : 0);
    EXPECT_EQ(modified > 0, !wine);
    EXPECT_STREQ(title, "untouched");
    EXPECT_EQ(rating, 7u);
    EXPECT_EQ(Query(first, 1, 0, nullptr), 0);
    std::error_code ignored;
    fs::remove_all(dir, ignored);
}

}  // namespace
