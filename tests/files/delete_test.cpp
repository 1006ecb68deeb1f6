// Deletion by pattern on real folders, through the exported entries.
#include "files/scratch.h"
#include "support/test_host.h"

namespace {

using Names = std::set<std::string>;

const Names kFiles = {"a.txt", "B.TXT", "c.log", "noext", "x.tar.gz", ".hidden.txt", "d1.txt"};

class DeleteFiles : public ScratchTest {
  protected:
    // Also a folder whose name matches, and a link to it, which is a folder
    // too (where links can be made).
    void MakeFolder() {
        for (const auto& name : kFiles) Write("dir/" + name, name);
        Write("dir/sub.txt/inside.txt", "a folder whose name matches");
        linked_ = Link(At("dir/sub.txt"), "dir/link.txt");
    }
    // The files of the folder that are gone.
    Names Deleted() const {
        Names gone;
        for (const auto& name : kFiles)
            if (!Exists("dir/" + name)) gone.insert(name);
        return gone;
    }
    bool linked_ = false;
};

TEST_F(DeleteFiles, DeleteTheMatchingFilesOnly) {
    const struct {
        const char* pattern;
        int result;
        Names deleted;
    } rows[] = {
        {"*.*", 7, kFiles},  // every name, dotless ones too
        {"*.txt", 4, {"a.txt", "B.TXT", ".hidden.txt", "d1.txt"}},
        {"?.txt", 2, {"a.txt", "B.TXT"}},
#if !defined(_WIN32)  // wine's search reads "*." as "*", where Windows keeps names without a dot
        {"*.", 1, {"noext"}},  // a trailing dot is no extension
#endif
        {"A.TXT", 1, {"a.txt"}},
        {"*.GZ", 1, {"x.tar.gz"}},
        {"zz*", 0, {}},
        {"", 0, {}},
        {"sub.txt\\*.*", -2, {}},  // a pattern that names a folder is refused
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.pattern);
        fs::remove_all(At("dir"));
        MakeFolder();
        EXPECT_EQ(kxuDelFiles(Lib("dir").c_str(), row.pattern, nullptr), row.result);
        EXPECT_EQ(Deleted(), row.deleted);
        EXPECT_EQ(Tree("dir/sub.txt"), Names{"inside.txt"});  // never descends, never removes it
        EXPECT_EQ(Exists("dir/link.txt"), linked_);
    }
}

// Through the flat entry, the list as a host object: exclusions match bare
// names in any case, untrimmed; read-only files stay silently, even for root.
TEST_F(DeleteFiles, WhatStays) {
    Write("file.txt", "not a folder");
    EXPECT_EQ(kxuDelFiles(Lib("nowhere").c_str(), "*.*", nullptr), -1);
    EXPECT_EQ(kxuDelFiles(Lib("file.txt").c_str(), nullptr, nullptr), -1);
    EXPECT_TRUE(Exists("file.txt"));
    MakeFolder();
    fs::permissions(At("dir/d1.txt"), fs::perms::owner_read | fs::perms::others_write);
    TestStrings keep{"A.TXT", "c.log\\", "dir\\noext"};
    EXPECT_EQ(kxu_delete_files(Lib("dir\\").c_str(), nullptr, &keep), 5);
    EXPECT_EQ(keep.requests, std::vector<unsigned int>{HOST_TYPE_STRING_ARRAY});
    EXPECT_EQ(Deleted(), (Names{"B.TXT", "c.log", "noext", "x.tar.gz", ".hidden.txt"}));
}

}  // namespace
