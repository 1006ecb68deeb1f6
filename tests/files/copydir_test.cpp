// Directory copy on real trees, through the exported entries.
#include <sys/stat.h>

#include "files/scratch.h"
#include "support/test_host.h"

namespace {

using Names = std::set<std::string>;

class CopyDirectory : public ScratchTest {
  protected:
    // src: two files on top, a tree two levels deep, folders and files named
    // to be excluded at every depth in assorted letter case.
    void MakeSource() {
        Write("src/keep.txt", "keep");
        Write("src/README.txt", "top readme");
        Write("src/CVS/entries", "cvs");
        Write("src/a/x.txt", "x");
        Write("src/a/README.TXT", "a readme");
        Write("src/a/cvs/entries", "cvs");
        Write("src/a/b/Cvs/entries", "cvs");
        Write("src/a/b/y.txt", "y");
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
    EXPECT_EQ(Copy("src", "dst", 1), 1);
    EXPECT_EQ(Tree("dst"), kWholeTree);  // no temporary file left behind either
    EXPECT_EQ(Read("dst/a/b/y.txt"), "y");
    EXPECT_EQ(Read("dst/a/README.TXT"), "a readme");
    EXPECT_EQ(fs::last_write_time(At("dst/a/b/y.txt")), old);
#if defined(_WIN32)
    // Windows has no execute bit: writable is all there is to carry over.
    constexpr auto kOwner = fs::perms::owner_read | fs::perms::owner_write;
#else
    constexpr auto kOwner = fs::perms::owner_all;
#endif
    EXPECT_EQ(fs::status(At("dst/a/x.txt")).permissions() & kOwner, kOwner);
}

TEST_F(CopyDirectory, WithoutRecursionSubfoldersAreNeitherMadeNorCopied) {
    MakeSource();
    EXPECT_EQ(Copy("src\\", "dst\\", 0), 1);
    EXPECT_EQ(Tree("dst"), (Names{"keep.txt", "README.txt"}));
}

TEST_F(CopyDirectory, EmptySourceGivesAnEmptyDestinationMadeWhenMissing) {
    fs::create_directories(At("src"));
    EXPECT_EQ(Copy("src", "dst", 1), 1);
    EXPECT_TRUE(fs::is_directory(At("dst")));
    EXPECT_EQ(Copy("src", "dst", 1), 1);  // existing destination: fine as well
    EXPECT_TRUE(Tree("dst").empty());
}

TEST_F(CopyDirectory, MissingSourceFailsAfterTheDestinationIsMade) {
    EXPECT_EQ(Copy("nowhere", "dst", 1), 0);
    EXPECT_TRUE(fs::is_directory(At("dst")));
}

TEST_F(CopyDirectory, MissingParentOfTheDestinationFailsAndCopiesNothing) {
    MakeSource();
    EXPECT_EQ(Copy("src", "missing/dst", 1), 0);
    EXPECT_FALSE(Exists("missing"));
}

TEST_F(CopyDirectory, NullPathsTouchNothing) {
    MakeSource();
    EXPECT_EQ(kxuCopyDirectory(nullptr, Lib("dst").c_str(), 1, nullptr, nullptr, 1), 0);
    EXPECT_EQ(kxuCopyDirectory(Lib("src").c_str(), nullptr, 1, nullptr, nullptr, 1), 0);
    EXPECT_FALSE(Exists("dst"));
}

// Dot names as hidden, FIFOs and links as system entries: the POSIX mapping.
// Windows marks hidden and system entries by attribute instead.
#if !defined(_WIN32)
TEST_F(CopyDirectory, HiddenSystemAndUnspeakableEntriesStayBehind) {
    Write("src/plain.txt", "p");
    Write("src/.hidden", "h");
    Write("src/.hiddendir/inner.txt", "i");
    Write("src/sub/deep.txt", "d");
    Write("src/..\\..\\escaped.txt", "must not leave the destination");
    ASSERT_EQ(mkfifo(At("src/pipe").c_str(), 0644), 0);
    fs::create_symlink("plain.txt", At("src/link.txt"));
    fs::create_directory_symlink("..", At("src/sub/loop"));  // a cycle if followed
    EXPECT_EQ(Copy("src", "out/dst", 1), 0);                 // parent "out" is missing
    fs::create_directories(At("out"));
    EXPECT_EQ(Copy("src", "out/dst", 1), 1);
    EXPECT_EQ(Tree("out"), (Names{"dst/", "dst/plain.txt", "dst/sub/", "dst/sub/deep.txt"}));
    EXPECT_FALSE(Exists("escaped.txt"));
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

struct ExclusionRow {
    const char* label;
    std::vector<const char*> dirs;   // empty: no list at all
    std::vector<const char*> files;  // empty: no list at all
    Names missing;                   // entries of the whole tree that are not copied
};

void PrintTo(const ExclusionRow& row, std::ostream* os) { *os << row.label; }

class CopyExclusions : public CopyDirectory, public testing::WithParamInterface<ExclusionRow> {};

CStringArray* MakeList(const std::vector<const char*>& elements, CStringArray& storage) {
    if (elements.empty()) return nullptr;
    for (const char* e : elements) storage.Add(e);
    return &storage;
}

TEST_P(CopyExclusions, ApplyToBareNamesAtEveryDepth) {
    const ExclusionRow& row = GetParam();
    MakeSource();
    CStringArray dirStorage, fileStorage;
    EXPECT_EQ(
        Copy("src", "dst", 1, MakeList(row.dirs, dirStorage), MakeList(row.files, fileStorage)), 1);
    Names expected;
    std::set_difference(kWholeTree.begin(), kWholeTree.end(), row.missing.begin(),
                        row.missing.end(), std::inserter(expected, expected.end()));
    EXPECT_EQ(Tree("dst"), expected);
}

const Names kAllCvs = {"CVS/",          "CVS/entries", "a/cvs/",
                       "a/cvs/entries", "a/b/Cvs/",    "a/b/Cvs/entries"};

INSTANTIATE_TEST_SUITE_P(
    Rows, CopyExclusions,
    testing::Values(ExclusionRow{"DirInAnyCase", {"cvs"}, {}, kAllCvs},
                    ExclusionRow{"DirWithTrailingBackslashes", {"CVS\\\\"}, {}, kAllCvs},
                    ExclusionRow{"DirAsAPathNeverMatches", {"a\\cvs", "C:\\src\\CVS"}, {}, {}},
                    ExclusionRow{"SecondElementMatches",
                                 {"nothing", "A"},
                                 {},
                                 {"a/", "a/x.txt", "a/README.TXT", "a/cvs/", "a/cvs/entries",
                                  "a/b/", "a/b/Cvs/", "a/b/Cvs/entries", "a/b/y.txt"}},
                    ExclusionRow{"FileInAnyCaseAtEveryDepth",
                                 {},
                                 {"readme.TXT"},
                                 {"README.txt", "a/README.TXT"}},
                    ExclusionRow{"FileWithTrailingBackslashNeverMatches", {}, {"README.txt\\"}, {}},
                    ExclusionRow{"FileListDoesNotExcludeFolders", {}, {"cvs"}, {}},
                    ExclusionRow{"DirListDoesNotExcludeFiles", {"keep.txt"}, {}, {}}),
    [](const testing::TestParamInfo<ExclusionRow>& info) { return info.param.label; });

struct ModeRow {
    int option;
    const char* top;    // top-level file afterwards
    const char* inner;  // file of a subfolder afterwards
};

class CopyOption : public CopyDirectory, public testing::WithParamInterface<ModeRow> {};

TEST_P(CopyOption, OnlyTopLevelFilesMayBeKept) {
    Write("src/top.txt", "new");
    Write("src/sub/inner.txt", "new");
    Write("src/fresh.txt", "new");
    Write("dst/top.txt", "old");
    Write("dst/sub/inner.txt", "old");
    EXPECT_EQ(Copy("src", "dst", 1, nullptr, nullptr, GetParam().option), 1);
    EXPECT_EQ(Read("dst/top.txt"), GetParam().top);
    EXPECT_EQ(Read("dst/sub/inner.txt"), GetParam().inner);
    EXPECT_EQ(Read("dst/fresh.txt"), "new");
}

INSTANTIATE_TEST_SUITE_P(Rows, CopyOption,
                         testing::Values(ModeRow{0, "old", "new"}, ModeRow{1, "new", "new"},
                                         ModeRow{-7, "new", "new"}));

TEST_F(CopyDirectory, ReadOnlyDestinationFileStopsItsLevelOnly) {
    Write("src/sub/locked.txt", "new");
    Write("src/top.txt", "new");
    Write("dst/sub/locked.txt", "old");
    fs::permissions(At("dst/sub/locked.txt"), fs::perms::owner_read | fs::perms::group_read);
    EXPECT_EQ(Copy("src", "dst", 1), 1);  // the failure below does not reach the top
    EXPECT_EQ(Read("dst/sub/locked.txt"), "old");
    EXPECT_EQ(Read("dst/top.txt"), "new");
    EXPECT_EQ(Copy("src/sub", "dst/sub", 1), 0);  // at the top level it does
    EXPECT_EQ(Tree("dst/sub"), Names{"locked.txt"});
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

TEST_F(CopyDirectory, FlatEntryAsksForDirectoriesThenFilesAndTakesNullAsNoList) {
    MakeSource();
    std::vector<std::string> asked;
    struct Recorder : CHostObject {
        std::vector<std::string>* log;
        const char* label;
        CStringArray array;
        void* GetContainer(unsigned int type, void*) override {
            log->push_back(label);
            return type == HOST_TYPE_STRING_ARRAY ? &array : nullptr;
        }
    } dirs, files;
    dirs.log = files.log = &asked;
    dirs.label = "dirs";
    files.label = "files";
    dirs.array.Add("CVS");
    files.array.Add("readme.txt");
    EXPECT_EQ(kxu_copy_directory(Lib("src").c_str(), Lib("dst").c_str(), 1, &dirs, &files, 1), 1);
    EXPECT_EQ(asked, (std::vector<std::string>{"dirs", "files"}));
    EXPECT_EQ(Tree("dst"), (Names{"keep.txt", "a/", "a/x.txt", "a/b/", "a/b/y.txt"}));

    TestStrings silent{"CVS"};
    silent.answerNull = true;
    EXPECT_EQ(kxu_copy_directory(Lib("src").c_str(), Lib("two").c_str(), 1, &silent, nullptr, 1),
              1);
    EXPECT_EQ(Tree("two"), kWholeTree);
}

}  // namespace
