// Deletion by pattern on real folders, through the exported entries.
#include "files/scratch.h"
#include "support/test_host.h"
#if defined(_WIN32)
#include "files/win32_writer.h"
#endif

namespace {

using Names = std::set<std::string>;

const Names kFiles = {"a.txt", "B.TXT", "c.log", "noext", "x.tar.gz", ".hidden.txt", "d1.txt"};

class DeleteFiles : public ScratchTest {
  protected:
    void MakeFolder() {
        for (const auto& name : kFiles) Write("dir/" + name, name);
        Write("dir/sub.txt/inside.txt", "a folder whose name matches");
    }
    // The files of the folder that are gone.
    Names Deleted() const {
        Names gone;
        for (const auto& name : kFiles)
            if (!Exists("dir/" + name)) gone.insert(name);
        return gone;
    }
};

struct PatternRow {
    const char* label;
    const char* pattern;
    int result;
    Names deleted;
};

void PrintTo(const PatternRow& row, std::ostream* os) { *os << row.label; }

class DeletePatterns : public DeleteFiles, public testing::WithParamInterface<PatternRow> {};

TEST_P(DeletePatterns, DeleteTheMatchingFilesOnly) {
    const PatternRow& row = GetParam();
#if defined(_WIN32)
    if (row.pattern && std::string_view(row.pattern) == "*." && RunningUnderWine())
        GTEST_SKIP() << "this host's search reads \"*.\" as \"*\"";
#endif
    MakeFolder();
    EXPECT_EQ(kxuDelFiles(Lib("dir").c_str(), row.pattern, nullptr), row.result);
    EXPECT_EQ(Deleted(), row.deleted);
    EXPECT_EQ(Tree("dir/sub.txt"), Names{"inside.txt"});  // never descends, never removes it
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DeletePatterns,
    testing::Values(PatternRow{"NullIsEveryName", nullptr, 7, kFiles},
                    PatternRow{"StarDotStarIsEveryName", "*.*", 7, kFiles},
                    PatternRow{
                        "Extension", "*.txt", 4, {"a.txt", "B.TXT", ".hidden.txt", "d1.txt"}},
                    PatternRow{"QuestionMarkIsOneCharacter", "?.txt", 2, {"a.txt", "B.TXT"}},
                    PatternRow{"TrailingDotIsNoExtension", "*.", 1, {"noext"}},
                    PatternRow{"LastExtension", "*.GZ", 1, {"x.tar.gz"}},
                    PatternRow{"ExactNameInAnotherCase", "A.TXT", 1, {"a.txt"}},
                    PatternRow{"NothingMatches", "zz*", 0, {}},
                    PatternRow{"EmptyPatternMatchesNothing", "", 0, {}},
                    PatternRow{"PatternWithAFolderIsRefused", "sub.txt\\*.*", -2, {}},
                    PatternRow{"PatternWithASlashIsRefused", "sub.txt/*", -2, {}}),
    [](const testing::TestParamInfo<PatternRow>& info) { return info.param.label; });

TEST_F(DeleteFiles, MissingFolderGivesMinusOne) {
    Write("file.txt", "not a folder");
    EXPECT_EQ(kxuDelFiles(Lib("nowhere").c_str(), "*.*", nullptr), -1);
    EXPECT_EQ(kxuDelFiles(Lib("file.txt").c_str(), nullptr, nullptr), -1);
    EXPECT_EQ(kxuDelFiles(nullptr, "*.*", nullptr), -1);
    EXPECT_TRUE(Exists("file.txt"));
}

TEST_F(DeleteFiles, ReadOnlyFilesAreSkippedSilentlyEvenForRoot) {
    MakeFolder();
    fs::permissions(At("dir/a.txt"), fs::perms::owner_read | fs::perms::others_write);
    EXPECT_EQ(kxuDelFiles(Lib("dir\\").c_str(), "*.txt", nullptr), 3);
    EXPECT_EQ(Deleted(), (Names{"B.TXT", ".hidden.txt", "d1.txt"}));
}

TEST_F(DeleteFiles, ExclusionsMatchBareNamesInAnyCaseUntrimmed) {
    MakeFolder();
    CStringArray keep;
    keep.Add("A.TXT");
    keep.Add("c.log\\");
    keep.Add("dir\\noext");
    EXPECT_EQ(kxuDelFiles(Lib("dir").c_str(), nullptr, &keep), 6);
    EXPECT_EQ(Deleted(), (Names{"B.TXT", "c.log", "noext", "x.tar.gz", ".hidden.txt", "d1.txt"}));
}

TEST_F(DeleteFiles, LinksGoThemselvesFoldersBehindThemStay) {
    Write("target/kept.txt", "k");
    Write("dir/real.txt", "r");
    if (!Link(At("dir/real.txt"), "dir/file-link", false) ||
        !Link(At("target"), "dir/folder-link", true))
        GTEST_SKIP() << "no links on this host";
    EXPECT_EQ(kxuDelFiles(Lib("dir").c_str(), "*link", nullptr), 1);
    EXPECT_FALSE(Exists("dir/file-link"));
    EXPECT_TRUE(Exists("dir/real.txt"));
    EXPECT_TRUE(Exists("dir/folder-link"));
    EXPECT_TRUE(Exists("target/kept.txt"));
}

// On Windows the backslash separates, so no such name can exist there.
#if !defined(_WIN32)
TEST_F(DeleteFiles, NamesWithABackslashNeverLeadOutOfTheFolder) {
    Write("victim.txt", "outside");
    Write("dir/..\\victim.txt", "a POSIX name with a backslash");
    EXPECT_EQ(kxuDelFiles(Lib("dir").c_str(), "*.*", nullptr), 0);
    EXPECT_TRUE(Exists("victim.txt"));
    EXPECT_TRUE(Exists("dir/..\\victim.txt"));
}
#endif

TEST_F(DeleteFiles, FlatEntryPassesTheListOrNull) {
    MakeFolder();
    TestStrings keep{"a.txt", "b.txt"};
    EXPECT_EQ(kxu_delete_files(Lib("dir").c_str(), "?.txt", &keep), 0);
    EXPECT_EQ(keep.requests, std::vector<unsigned int>{HOST_TYPE_STRING_ARRAY});
    TestStrings silent{"a.txt"};
    silent.answerNull = true;
    EXPECT_EQ(kxu_delete_files(Lib("dir").c_str(), "a.txt", &silent), 1);
    EXPECT_EQ(kxu_delete_files(Lib("dir").c_str(), "*.log", nullptr), 1);
    EXPECT_EQ(Deleted(), (Names{"a.txt", "c.log"}));
}

}  // namespace
