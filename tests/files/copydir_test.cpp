// Directory copy on real trees, through the exported entries.
#include <sys/stat.h>
#if !defined(_WIN32)
#include <sys/mount.h>
#include <sys/wait.h>
#endif

#include "files/scratch.h"
#include "support/test_host.h"

namespace {

using Names = std::set<std::string>;

#if defined(__linux__)
[[maybe_unused]] const bool kOwnMounts = OwnMountNamespace();
#endif

class CopyDirectory : public ScratchTest {
  protected:
    // src: two files on top, a tree two levels deep, folders and files named
    // to be excluded at every depth in assorted letter case. Each file holds
    // its own name.
    void MakeSource() {
        for (const char* name : {"keep.txt", "README.txt", "CVS/entries", "a/x.txt", "a/README.TXT",
                                 "a/cvs/entries", "a/b/Cvs/entries", "a/b/y.txt"})
            Write(fs::path("src") / name, name);
    }
    int Copy(const std::string& from, const std::string& to, int recurse,
             CStringArray* dirs = nullptr, CStringArray* files = nullptr, int option = 1) {
        return kxuCopyDirectory(Lib(from).c_str(), Lib(to).c_str(), recurse, dirs, files, option);
    }
};

const Names kWholeTree = {"keep.txt", "README.txt",      "CVS/",     "CVS/entries",   "a/",
                          "a/x.txt",  "a/README.TXT",    "a/cvs/",   "a/cvs/entries", "a/b/",
                          "a/b/Cvs/", "a/b/Cvs/entries", "a/b/y.txt"};

TEST_F(CopyDirectory, CopiesTheWholeTreeWithContentAndTimes) {
    MakeSource();
    auto old = fs::file_time_type::clock::now() - std::chrono::hours(50);
    fs::last_write_time(At("src/a/b/y.txt"), old);
    old = fs::last_write_time(At("src/a/b/y.txt"));  // the host may keep fewer digits
    fs::permissions(At("src/a/x.txt"),
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::owner_exec);
#if !defined(_WIN32)
    // Folders take their source's bits and sticky bit, never its set-id bits.
    const struct {
        const char* folder;
        mode_t source, copied;
    } modes[] = {{"", 0750, 0750}, {"a", 0700, 0700}, {"a/b", 03751, 01751}, {"CVS", 04555, 0555}};
    for (const auto& m : modes) chmod(At("src/" + std::string(m.folder)).c_str(), m.source);
#endif
    EXPECT_EQ(Copy("src", "dst", 1), 1);
    EXPECT_EQ(Tree("dst"), kWholeTree);  // no temporary file left behind either
    EXPECT_EQ(Read("dst/a/b/y.txt"), "a/b/y.txt");
    EXPECT_EQ(Read("dst/a/README.TXT"), "a/README.TXT");
    EXPECT_EQ(fs::last_write_time(At("dst/a/b/y.txt")), old);
#if defined(_WIN32)
    // Windows has no execute bit: writable is all there is to carry over.
    constexpr auto kOwner = fs::perms::owner_read | fs::perms::owner_write;
#else
    constexpr auto kOwner = fs::perms::owner_all;
#endif
    EXPECT_EQ(fs::status(At("dst/a/x.txt")).permissions() & kOwner, kOwner);
#if !defined(_WIN32)
    const mode_t mask = umask(0);
    umask(mask);
    struct stat st {};
    for (const auto& m : modes) {
        ASSERT_EQ(stat(At("dst/" + std::string(m.folder)).c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, m.copied & ~mask) << m.folder;
    }
#endif
}

// The destination is made before the source is searched, and only its last level.
TEST_F(CopyDirectory, EmptyOrMissingSourcesAndMissingParents) {
    fs::create_directories(At("empty"));
    EXPECT_EQ(Copy("empty", "dst", 1), 1);
    EXPECT_EQ(Copy("empty", "dst", 1), 1);  // existing destination: fine as well
    EXPECT_TRUE(fs::is_directory(At("dst")) && Tree("dst").empty());
    EXPECT_EQ(Copy("nowhere", "made", 1), 0);
    EXPECT_TRUE(fs::is_directory(At("made")));
    EXPECT_EQ(fs::status(At("made")).permissions() & fs::perms::owner_all, fs::perms::owner_all);
    EXPECT_EQ(Copy("empty", "missing/dst", 1), 0);
    EXPECT_FALSE(Exists("missing"));
}

// Dot names as hidden, FIFOs and links as system entries: the POSIX mapping.
// Windows marks hidden and system entries by attribute instead.
#if !defined(_WIN32)
TEST_F(CopyDirectory, HiddenAndSystemEntriesStayBehind) {
    for (const char* name : {"plain.txt", ".hidden", "..dots", ".hiddendir/inner.txt"})
        Write(fs::path("src") / name, name);
    ASSERT_EQ(mkfifo(At("src/pipe").c_str(), 0644), 0);
    fs::create_symlink("plain.txt", At("src/link.txt"));
    EXPECT_EQ(Copy("src", "dst", 1), 1);
    EXPECT_EQ(Tree("dst"), Names{"plain.txt"});
}

// A folder that may be listed but not searched tells only what readdir
// says: the subfolder is still made, the FIFO still left out. Root may
// search anything, so there the copy runs as nobody, into a folder open to all.
TEST_F(CopyDirectory, ListableButNotSearchableSource) {
    fs::create_directories(At("src/sub"));
    ASSERT_EQ(mkfifo(At("src/pipe").c_str(), 0644), 0);
    fs::create_directories(At("dst"));
    ASSERT_EQ(chmod(At("src").c_str(), 0444) | chmod(At("dst").c_str(), 0777), 0);
    const pid_t child = fork();
    if (child == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(2);
        _exit(Copy("src", "dst", 1));
    }
    int status = -1;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    chmod(At("src").c_str(), 0755);  // so that the owner may remove it, root or not
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
    EXPECT_EQ(Tree("dst"), Names{"sub/"});
}

// /proc/self/mem opens like a file but fails to read at offset 0: a read
// error halfway, which fails the copy and leaves no partial file behind.
TEST_F(CopyDirectory, ReadErrorLeavesNothingHalfWritten) {
    Write("src/mem", "");
    if (mount("/proc/self/mem", At("src/mem").c_str(), nullptr, MS_BIND, nullptr) != 0)
        GTEST_SKIP() << "cannot bind-mount here";
    EXPECT_EQ(Copy("src", "dst", 0), 0);
    umount2(At("src/mem").c_str(), MNT_DETACH);
    EXPECT_EQ(Tree("dst"), Names{});
}
#endif

TEST_F(CopyDirectory, NeverWritesThroughLinksInTheDestination) {
    Write("src/sub/f.txt", "new");
    Write("src/g.txt", "new");
    Write("outside/g.txt", "outside");
    fs::create_directories(At("dst"));
    if (!Link(At("outside"), "dst/sub", true) || !Link(At("outside/g.txt"), "dst/g.txt", false))
        GTEST_SKIP() << "no links on this host";
    EXPECT_EQ(Copy("src", "dst", 1), 1);
    EXPECT_EQ(Tree("outside"), Names{"g.txt"});
    EXPECT_EQ(Read("outside/g.txt"), "outside");
    EXPECT_EQ(Read("dst/g.txt"), "new");
    EXPECT_FALSE(fs::is_symlink(At("dst/g.txt")));
}

// Without recursion no subfolder is made or copied; exclusions apply to bare
// names at every depth.
TEST_F(CopyDirectory, WhatIsLeftOut) {
    const std::vector<const char*> allCvs = {"CVS/", "a/cvs/", "a/b/Cvs/"};
    const struct {
        const char* label;
        int recurse;
        std::vector<const char*> dirs, files;  // empty: no list at all
        std::vector<const char*> gone;         // entries left out, with all below them
    } rows[] = {
        {"WithoutRecursion", 0, {}, {}, {"CVS/", "a/"}},
        {"DirInAnyCase", 1, {"cvs"}, {}, allCvs},
        {"DirWithTrailingBackslashes", 1, {"CVS\\\\"}, {}, allCvs},
        {"DirAsAPathNeverMatches", 1, {"a\\cvs", "C:\\src\\CVS"}, {}, {}},
        {"SecondElementMatches", 1, {"nothing", "A"}, {}, {"a/"}},
        {"FileInAnyCaseAtEveryDepth", 1, {}, {"readme.TXT"}, {"README.txt", "a/README.TXT"}},
        {"FileWithTrailingBackslashNeverMatches", 1, {}, {"README.txt\\"}, {}},
        {"FileListDoesNotExcludeFolders", 1, {}, {"cvs"}, {}},
        {"DirListDoesNotExcludeFiles", 1, {"keep.txt"}, {}, {}},
    };
    MakeSource();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        CStringArray dirs, files;
        for (const char* e : row.dirs) dirs.Add(e);
        for (const char* e : row.files) files.Add(e);
        const std::string to = std::string("dst-") + row.label;
        EXPECT_EQ(Copy("src\\", to + "\\", row.recurse, row.dirs.empty() ? nullptr : &dirs,
                       row.files.empty() ? nullptr : &files),
                  1);
        Names expected;
        for (const std::string& e : kWholeTree)
            if (std::none_of(row.gone.begin(), row.gone.end(),
                             [&e](const char* g) { return e.starts_with(g); }))
                expected.insert(e);
        EXPECT_EQ(Tree(to), expected);
    }
}

TEST_F(CopyDirectory, OnlyTopLevelFilesMayBeKept) {
    Write("src/top.txt", "new");
    Write("src/sub/inner.txt", "new");
    Write("src/fresh.txt", "new");
    const struct {
        int option;
        const char* top;  // the top-level file afterwards
    } rows[] = {{0, "old"}, {1, "new"}, {-7, "new"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.option);
        const std::string to = "dst" + std::to_string(row.option);
        Write(to + "/top.txt", "old");
        Write(to + "/sub/inner.txt", "old");
        EXPECT_EQ(Copy("src", to, 1, nullptr, nullptr, row.option), 1);
        EXPECT_EQ(Read(to + "/top.txt"), row.top);
        EXPECT_EQ(Read(to + "/sub/inner.txt"), "new");
        EXPECT_EQ(Read(to + "/fresh.txt"), "new");
    }
}

TEST_F(CopyDirectory, ReadOnlyDestinationFileInASubfolderDoesNotStopTheTop) {
    Write("src/sub/locked.txt", "new");
    Write("src/top.txt", "new");
    Write("dst/sub/locked.txt", "old");
    fs::permissions(At("dst/sub/locked.txt"), fs::perms::owner_read | fs::perms::group_read);
    EXPECT_EQ(Copy("src", "dst", 1), 1);
    EXPECT_EQ(Read("dst/sub/locked.txt"), "old");
    EXPECT_EQ(Read("dst/top.txt"), "new");
}

TEST_F(CopyDirectory, NeverCopiesIntoItself) {
    Write("src/f.txt", "f");
    Write("src/sub/g.txt", "g");
    EXPECT_EQ(Copy("src", "src/copy", 1), 1);
    EXPECT_EQ(Tree("src/copy"), (Names{"f.txt", "sub/", "sub/g.txt"}));
    EXPECT_EQ(Copy("src", "src", 1), 1);
    EXPECT_EQ(Tree("src"), (Names{"f.txt", "sub/", "sub/g.txt", "copy/", "copy/f.txt", "copy/sub/",
                                  "copy/sub/g.txt"}));
}

}  // namespace
