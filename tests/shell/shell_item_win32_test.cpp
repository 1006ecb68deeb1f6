// Shell items on Windows, through the system's shell32: what a plain file
// offers there (no document properties of its own, times from the file).
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

int Create(unsigned int& handle, const char* name) {
    return kxu_shell_item(&handle, 0, reinterpret_cast<INT_PTR>(name), nullptr, 0);
}
int Release(unsigned int handle) { return kxu_shell_item(&handle, 1, 0, nullptr, 0); }
int Query(unsigned int handle, unsigned int op, INT_PTR index, void* out, int size = 0) {
    return kxu_shell_item(&handle, op, index, out, size);
}

// A fresh folder of plain files, removed at exit. The shell wants full paths
// in the system's own form.
const fs::path g_dir =
    (fs::temp_directory_path() / ("kxshell-" + std::to_string(::_getpid()))).make_preferred();
std::string Make(const std::string& name) {
    std::ofstream(g_dir / name) << "content\n";
    return (g_dir / name).string();
}

bool UnderWine() {
    return kxp::find_symbol(kxp::load_module("ntdll.dll"), "wine_get_version") != nullptr;
}

// Release before any create, and a create from a thread of the
// multithreaded apartment, which cannot make the item table.
int g_firstRelease = 0, g_fromMta = 0;

class FirstCalls : public testing::Environment {
    void SetUp() override {
        fs::create_directories(g_dir);
        std::string file = Make("first.txt");
        g_firstRelease = Release(1);
        std::thread([&file] {
            kxp::CoInitializeEx(nullptr, kxp::COINIT_MULTITHREADED);
            unsigned int handle = 77;
            g_fromMta = Create(handle, file.c_str());
            kxp::CoUninitialize();
        }).join();
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(g_dir, ignored);
    }
};
[[maybe_unused]] testing::Environment* const g_env =
    testing::AddGlobalTestEnvironment(new FirstCalls);

TEST(ShellItemFirstCalls, NothingBeforeTheFirstCreateAndNoManagerFromAnMtaThread) {
    EXPECT_EQ(g_firstRelease, 15054);
    EXPECT_EQ(g_fromMta, 15051);
}

TEST(ShellItemWin32, HandlesAndNames) {
    std::string a = Make("a.txt");
    unsigned int first = 0, second = 0;
    ASSERT_EQ(Create(first, a.c_str()), 0);
    ASSERT_EQ(Create(second, g_dir.string().c_str()), 0);
    EXPECT_EQ(second, first + 1);
    EXPECT_EQ(Query(first, 7, 0, nullptr), 15055);
    EXPECT_EQ(Query(first, 4, SHELL_PROP_COUNT, nullptr, 0), 15056);
    unsigned int untouched = 99;
    EXPECT_EQ(Create(untouched, (g_dir / "missing.txt").string().c_str()), 15053);
    EXPECT_EQ(untouched, 99u);
    EXPECT_EQ(Release(second), 0);
    EXPECT_EQ(Release(second), 15054);
    EXPECT_EQ(Release(first), 0);
}

// A text file has no property handler, so nothing to read; its times are
// the file's. Wine's IShellItem2 answers E_NOTIMPL for all three (seen with
// wine 8): the failed read's own code.
TEST(ShellItemWin32, WhatAPlainFileOffers) {
    unsigned int h = 0;
    ASSERT_EQ(Create(h, Make("bare.txt").c_str()), 0);
    char title[16] = "untouched";
    unsigned int rating = 7;
    std::uint64_t modified = 0;
    const int titleResult = Query(h, 4, SHELL_PROP_TITLE, title, sizeof title);
    const int ratingResult = Query(h, 5, SHELL_PROP_RATING, &rating);
    const int timeResult = Query(h, 3, SHELL_PROP_DATE_MODIFIED, &modified);
    if (UnderWine()) {
        EXPECT_EQ(titleResult, 15057);
        EXPECT_EQ(ratingResult, 15058);
        EXPECT_EQ(timeResult, 15060);
        EXPECT_EQ(modified, 0u);
    } else {
        EXPECT_TRUE(titleResult == 15061 || titleResult == 15057) << titleResult;
        EXPECT_TRUE(ratingResult == 15061 || ratingResult == 15058) << ratingResult;
        EXPECT_EQ(timeResult, 0);
        EXPECT_GT(modified, 0u);
    }
    EXPECT_STREQ(title, "untouched");
    EXPECT_EQ(rating, 7u);
    EXPECT_EQ(Release(h), 0);
}

}  // namespace
