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
    // its own name. On POSIX also what the copy leaves behind everywhere: dot
    // names (hidden) and a FIFO (a system entry, as links are).
    void MakeSource() {
        for (const char* name : {"keep.txt", "README.txt", "CVS/entries", "a/x.txt", "a/README.TXT",
                                 "a/cvs/entries", "a/b/Cvs/entries", "a/b/y.txt"})
            Write(fs::path("src") / name, name);
#if !defined(_WIN32)
        for (const char* name : {".hidden", "a/..dots", "a/.hiddendir/inner.txt"})
            Write(fs::path("src") / name, name);
        ASSERT_EQ(mkfifo(At("src/a/b/pipe").c_str(), 0644), 0);
#endif
    }
    int Copy(const std::string& from, const std::string& to, int recurse,
             CStringArray* dirs = nullptr, CStringArray* files = nullptr, int option = 1) {
        return kxuCopyDirectory(Lib(from).c_str(), Lib(to).c_str(), recurse, dirs, files, option);
    }
};

const Names kWholeTree = {"keep.txt", "README.txt",      "CVS/",     "CVS/entries",   "a/",
                          "a/x.txt",  "a/README.TXT",    "a/cvs/",   "a/cvs/entries", "a/b/",
                          "a/b/Cvs/", "a/b/Cvs/entries", "a/b/y.txt"};

// Without recursion no subfolder is made or copied; exclusions apply to bare
// names at every depth. What is copied keeps its content and times, and
// folders take their source's bits and sticky bit, never its set-id bits.
TEST_F(CopyDirectory, WhatIsCopiedAndWhatIsLeftOut) {
    const std::vector<const char*> allCvs = {"CVS/", "a/cvs/", "a/b/Cvs/"};
    const struct {
        const char* label;
        int recurse;
        std::vector<const char*> dirs, files;  // empty: no list at all
        std::vector<const char*> gone;         // entries left out, with all below them
    } rows[] = {
        {"Everything", 1, {}, {}, {}},
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
    auto old = fs::file_time_type::clock::now() - std::chrono::hours(50);
    fs::last_write_time(At("src/a/b/y.txt"), old);
    old = fs::last_write_time(At("src/a/b/y.txt"));  // the host may keep fewer digits
    fs::permissions(At("src/a/x.txt"),
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::owner_exec);
#if !defined(_WIN32)
    const struct {
        const char* folder;
        mode_t source, copied;
    } modes[] = {{"", 0750, 0750}, {"a", 0700, 0700}, {"a/b", 03751, 01751}, {"CVS", 04555, 0555}};
    for (const auto& m : modes) chmod(At("src/" + std::string(m.folder)).c_str(), m.source);
#endif
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        CStringArray dirs, files;
        for (const char* e : row.dirs) dirs.Add(e);
        for (const char* e : row.files) files.Add(e);
        const std::string to = std::string("dst-") + row.label;
        EXPECT_EQ(Copy("src\\", to + "\\", row.recurse, row.dirs.empty() ? nullptr : &dirs,
                       row.files.empty() ? nullptr : &files),
                  1);
        Names expected;  // no temporary file left behind either
        for (const std::string& e : kWholeTree)
            if (std::none_of(row.gone.begin(), row.gone.end(),
                             [&e](const char* g) { return e.starts_with(g); }))
                expected.insert(e);
        EXPECT_EQ(Tree(to), expected);
    }
    EXPECT_EQ(Read("dst-Everything/a/b/y.txt"), "a/b/y.txt");
    EXPECT_EQ(Read("dst-Everything/a/README.TXT"), "a/README.TXT");
    EXPECT_EQ(fs::last_write_time(At("dst-Everything/a/b/y.txt")), old);
    EXPECT_EQ(fs::status(At("dst-Everything/a/x.txt")).permissions(),
              fs::status(At("src/a/x.txt")).permissions());
#if !defined(_WIN32)
    const mode_t mask = umask(0);
    umask(mask);
    struct stat st {};
    for (const auto& m : modes) {
        ASSERT_EQ(stat(At("dst-Everything/" + std::string(m.folder)).c_str(), &st), 0);
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

// Into a destination that holds files already: only top-level files may be
// kept, a read-only one below does not stop the level above, links there are
// never written through, and a destination inside the source is not copied
// into itself.
TEST_F(CopyDirectory, IntoWhatIsThereAlready) {
    for (const char* name : {"src/top.txt", "src/fresh.txt", "src/sub/inner.txt"})
        Write(name, "new");
    for (const int option : {0, 1, -7}) {
        SCOPED_TRACE(option);
        const std::string to = "dst" + std::to_string(option);
        Write(to + "/top.txt", "old");
        Write(to + "/sub/inner.txt", "old");
        EXPECT_EQ(Copy("src", to, 1, nullptr, nullptr, option), 1);
        EXPECT_EQ(Read(to + "/top.txt"), option == 0 ? "old" : "new");
        EXPECT_EQ(Read(to + "/sub/inner.txt"), "new");
        EXPECT_EQ(Read(to + "/fresh.txt"), "new");
    }
    Write("dst0/sub/inner.txt", "old");
    fs::permissions(At("dst0/sub/inner.txt"), fs::perms::owner_read | fs::perms::group_read);
    Write("dst0/top.txt", "old");
    EXPECT_EQ(Copy("src", "dst0", 1), 1);
    EXPECT_EQ(Read("dst0/sub/inner.txt"), "old");
    EXPECT_EQ(Read("dst0/top.txt"), "new");

    Write("outside/top.txt", "outside");
    fs::create_directories(At("linked"));
    if (Link(At("outside"), "linked/sub") && Link(At("outside/top.txt"), "linked/top.txt")) {
        EXPECT_EQ(Copy("src", "linked", 1), 1);
        EXPECT_EQ(Tree("outside"), Names{"top.txt"});
        EXPECT_EQ(Read("outside/top.txt"), "outside");
        EXPECT_EQ(Read("linked/top.txt"), "new");
    }

    EXPECT_EQ(Copy("src", "src/copy", 1), 1);
    EXPECT_EQ(Tree("src/copy"), (Names{"top.txt", "fresh.txt", "sub/", "sub/inner.txt"}));
}

#if !defined(_WIN32)
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

// /proc/self/mem opens like a file but fails to read at offset 0, where
// nothing is mapped: a real read error. Reading its lines raises the file
// exception and keeps what the array held; copying it fails the copy and
// leaves no partial file behind.
TEST_F(CopyDirectory, ReadErrorsOfARealFile) {
    CStringArray lines;
    lines.Add("before");
    try {
        kxuReadTextFileLines("\\proc\\self\\mem", &lines, 0);
        ADD_FAILURE() << "no exception";
    } catch (CFileException* e) {
        EXPECT_EQ(e->m_cause, CFileException::hardIO);
        EXPECT_STREQ(e->m_strFileName, "\\proc\\self\\mem");
        e->Delete();
    }
    EXPECT_EQ(ToVector(lines), Strings{"before"});
    Write("src/mem", "");
    if (mount("/proc/self/mem", At("src/mem").c_str(), nullptr, MS_BIND, nullptr) != 0)
        GTEST_SKIP() << "cannot bind-mount here";
    EXPECT_EQ(Copy("src", "dst", 0), 0);
    umount2(At("src/mem").c_str(), MNT_DETACH);
    EXPECT_EQ(Tree("dst"), Names{});
}
#endif

}  // namespace
