// Relative paths: pure text, so a table says it all.
#include <gtest/gtest.h>

#include <zuvuvur/zuvuvur.h>

namespace {

TEST(RelativePath, Table) {
    const struct {
        const char* base;
        const char* target;
        int maxLevels;
        int result;
        const char* path;  // the result string afterwards; "untouched" on failure
    } rows[] = {
        {"C:\\a\\b\\x.txt", "C:\\a\\c\\y.txt", 1, 0, "..\\c\\y.txt"},
        {"C:\\a\\b\\", "C:\\a\\b\\y.txt", 0, 0, "y.txt"},
        {"C:\\a\\b", "C:\\a\\b\\y.txt", 0, 0, "b\\y.txt"},  // b read as a file
        {"C:\\a\\x.txt", "C:\\a\\b\\c\\y.txt", 0, 0, "b\\c\\y.txt"},
        {"C:\\a\\b\\c\\x.txt", "C:\\y.txt", 3, 0, "..\\..\\..\\y.txt"},
        {"C:\\a\\b\\c\\x.txt", "C:\\y.txt", 2, -3, "untouched"},
        {"C:\\a\\x.txt", "C:\\a\\y.txt", -1, -3, "untouched"},  // negative refuses all
        {"C:\\ab\\x.txt", "C:\\abc\\y.txt", 5, 0, "..\\abc\\y.txt"},
        {"a\\b\\x.txt", "a\\c\\y.txt", 1, 0, "..\\c\\y.txt"},  // a folder of one byte
        {"c:\\a\\x.txt", "C:\\a\\y.txt", 5, -2, "untouched"},
        {"\\x.txt", "\\y\\z.txt", 5, -2, "untouched"},  // index 0 is no folder
        {"\\\\srv\\s\\a\\x.txt", "\\\\srv\\s\\b\\y.txt", 1, 0, "..\\b\\y.txt"},
        {"C:\\a\\x.txt", "C\\y.txt", 5, -1, "untouched"},
        {"C:/a/x.txt", "C:/a/y.txt", 5, -1, "untouched"},  // '/' separates nothing
        {"C:\\a\\%s\\x.txt", "C:\\a\\%d\\y%%.txt", 1, 0, "..\\%d\\y%%.txt"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message()
                     << row.base << " -> " << row.target << " max " << row.maxLevels);
        CString result("untouched");
        EXPECT_EQ(kxu_make_relative_path(result, row.base, row.target, row.maxLevels), row.result);
        EXPECT_STREQ(result, row.path);
    }
}

// A script may pass the result variable's own text as a path.
TEST(RelativePath, ResultMayBeAPath) {
    CString path("C:\\a\\b\\x.txt");
    EXPECT_EQ(kxu_make_relative_path(path, "C:\\a\\c\\y.txt", path.GetString(), 1), 0);
    EXPECT_STREQ(path, "..\\b\\x.txt");
}

}  // namespace
