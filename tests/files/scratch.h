// A fresh folder under the build tree for each test, removed afterwards, and
// small helpers to build and read back real trees.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <string_view>

#if defined(__linux__)
#include <sched.h>
#include <sys/mount.h>
#endif

namespace fs = std::filesystem;

#if defined(__linux__)
// For the programs whose tests mount file systems into their scratch folders, called from a
// namespace-scope initializer (while the program has one thread): the mounts then live in a mount
// namespace of the program's own and end with it, so a test that dies half way leaves none in the
// build tree, where it would keep the folder from being removed. Where this is not allowed,
// mounting is not either, and those tests skip.
inline bool OwnMountNamespace() {
    return unshare(CLONE_NEWNS) == 0 &&
           mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}
#endif

class ScratchTest : public testing::Test {
  protected:
    void SetUp() override {
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(info->test_suite_name()) + "." + info->name();
        std::replace(name.begin(), name.end(), '/', '_');
        root_ = fs::path(KX_SCRATCH_DIR) / (name + "-" + std::to_string(getpid()));
        fs::remove_all(root_);
        fs::create_directories(root_);
    }
    void TearDown() override {
        // Windows refuses to remove read-only files, which some tests leave behind.
        std::error_code end;
        for (auto it = fs::recursive_directory_iterator(root_, end);
             !end && it != fs::recursive_directory_iterator(); it.increment(end)) {
            std::error_code ignored;
            if (!it->is_symlink(ignored))
                fs::permissions(it->path(), fs::perms::owner_write, fs::perm_options::add, ignored);
        }
        fs::remove_all(root_);
    }

    fs::path At(const fs::path& relative) const { return root_ / relative; }
    // The library's spelling of a path below the scratch folder: backslashes.
    std::string Lib(const fs::path& relative) const {
        std::string text = At(relative).string();
        std::replace(text.begin(), text.end(), '/', '\\');
        return text;
    }
    void Write(const fs::path& relative, std::string_view content) const {
        fs::create_directories(At(relative).parent_path());
        std::ofstream(At(relative), std::ios::binary) << content;
    }
    std::string Read(const fs::path& relative) const {
        std::ifstream in(At(relative), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    bool Exists(const fs::path& relative) const {
        return fs::exists(fs::symlink_status(At(relative)));
    }
    // A link at `relative` to `target`. This toolchain's library cannot make
    // links on Windows (and the system wants a privilege for them), so there
    // the caller skips; elsewhere a failure is the test's.
    bool Link(const fs::path& target, const fs::path& relative) const {
        std::error_code error;
        fs::create_symlink(target, At(relative), error);
#if !defined(_WIN32)
        EXPECT_FALSE(error) << error.message();
#endif
        return !error;
    }
    // Every entry below `relative`, '/'-separated on every host so one expected
    // set serves both; folders with a trailing '/'; links not followed.
    std::set<std::string> Tree(const fs::path& relative) const {
        std::set<std::string> out;
        fs::path top = At(relative);
        if (!fs::exists(top)) return out;
        for (const auto& e : fs::recursive_directory_iterator(top)) {
            std::string name = fs::relative(e.path(), top).generic_string();
            out.insert(e.is_directory() && !e.is_symlink() ? name + "/" : name);
        }
        return out;
    }

    fs::path root_;
};
