// Real files with real extended attributes for the shell-item tests: a fresh
// folder per process, in the build tree when its file system keeps user
// attributes, else in /tmp or /dev/shm; removed again at exit.
#pragma once

#include <gtest/gtest.h>
#include <sys/xattr.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

class ShellFiles {
  public:
    using Attributes = std::vector<std::pair<std::string, std::string>>;

    ShellFiles() {
        for (const char* root : {KX_TEST_FILES_DIR, "/tmp", "/dev/shm"}) {
            std::filesystem::create_directories(root);
            std::string pattern = std::string(root) + "/shell-XXXXXX";
            if (!mkdtemp(pattern.data())) continue;
            const std::string probe = pattern + "/probe";
            std::ofstream(probe).put('x');
            const bool ok = setxattr(probe.c_str(), "user.probe", "1", 1, 0) == 0;
            std::filesystem::remove(probe);
            // The first folder made serves when none keeps attributes.
            if (!dir_.empty()) std::filesystem::remove_all(ok ? dir_ : pattern);
            if (dir_.empty() || ok) dir_ = pattern;
            xattrs_ = ok;
            if (ok) break;
        }
    }
    ~ShellFiles() {
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
    ShellFiles(const ShellFiles&) = delete;
    ShellFiles& operator=(const ShellFiles&) = delete;

    const std::string& Dir() const { return dir_; }
    bool Xattrs() const { return xattrs_; }

    // A file `name` in the folder, with the given attributes set on it.
    std::string Make(const std::string& name, const Attributes& attributes = {}) const {
        std::string path = dir_ + "/" + name;
        std::ofstream(path) << "content\n";
        for (const auto& [key, value] : attributes)
            EXPECT_EQ(setxattr(path.c_str(), key.c_str(), value.data(), value.size(), 0), 0) << key;
        return path;
    }

  private:
    std::string dir_;
    bool xattrs_ = false;
};

#define KX_REQUIRE_XATTRS(files)                                                           \
    if (!(files).Xattrs())                                                                 \
    GTEST_SKIP() << "no file system here keeps user extended attributes (tried the build " \
                    "tree, /tmp and /dev/shm)"
