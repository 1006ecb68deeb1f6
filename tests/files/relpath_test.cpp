// Relative paths: pure text, so a table says it all.
#include <gtest/gtest.h>

#include <zuvuvur/zuvuvur.h>

namespace {

struct RelRow {
    const char* base;
    const char* target;
    int maxLevels;
    int result;
    const char* path;  // the result string afterwards; "untouched" on failure
};

void PrintTo(const RelRow& row, std::ostream* os) {
    *os << (row.base ? row.base : "(null)") << " -> " << (row.target ? row.target : "(null)")
        << " max " << row.maxLevels;
}

class RelativePath : public testing::TestWithParam<RelRow> {};

TEST_P(RelativePath, Table) {
    const RelRow& row = GetParam();
    CString result("untouched");
    EXPECT_EQ(kxu_make_relative_path(result, row.base, row.target, row.maxLevels), row.result);
    EXPECT_STREQ(result, row.path);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RelativePath,
    testing::Values(
        RelRow{"C:\\a\\b\\x.txt", "C:\\a\\c\\y.txt", 1, 0, "..\\c\\y.txt"},
        RelRow{"C:\\a\\b\\", "C:\\a\\b\\y.txt", 0, 0, "y.txt"},
        RelRow{"C:\\a\\b", "C:\\a\\b\\y.txt", 0, 0, "b\\y.txt"},  // b read as a file
        RelRow{"C:\\a\\x.txt", "C:\\a\\b\\c\\y.txt", 0, 0, "b\\c\\y.txt"},
        RelRow{"C:\\a\\b\\c\\x.txt", "C:\\y.txt", 3, 0, "..\\..\\..\\y.txt"},
        RelRow{"C:\\a\\b\\c\\x.txt", "C:\\y.txt", 2, -3, "untouched"},
        RelRow{"C:\\a\\x.txt", "C:\\a\\y.txt", -1, -3, "untouched"},  // negative refuses all
        RelRow{"C:\\ab\\x.txt", "C:\\abc\\y.txt", 5, 0, "..\\abc\\y.txt"},
        RelRow{"c:\\a\\x.txt", "C:\\a\\y.txt", 5, -2, "untouched"},
        RelRow{"D:\\a\\x.txt", "C:\\a\\y.txt", 5, -2, "untouched"},
        RelRow{"", "C:\\a\\y.txt", 5, -2, "untouched"},
        RelRow{nullptr, "C:\\a\\y.txt", 5, -2, "untouched"},
        RelRow{"\\x.txt", "\\y\\z.txt", 5, -2, "untouched"},  // index 0 is no folder
        RelRow{"\\\\srv\\s\\a\\x.txt", "\\\\srv\\s\\b\\y.txt", 1, 0, "..\\b\\y.txt"},
        RelRow{"C:\\a\\Data\\x.txt", "C:\\a\\data\\y.txt", 1, 0, "..\\data\\y.txt"},
        RelRow{"C:\\a\\x.txt", "y.txt", 5, -1, "untouched"},
        RelRow{"C:\\a\\x.txt", "\\y.txt", 5, -1, "untouched"},
        RelRow{"C:\\a\\x.txt", "C\\y.txt", 5, -1, "untouched"},
        RelRow{"C:\\a\\x.txt", nullptr, 5, -1, "untouched"},
        RelRow{"C:/a/x.txt", "C:/a/y.txt", 5, -1, "untouched"},  // '/' separates nothing
        RelRow{"C:\\a\\%s\\x.txt", "C:\\a\\%d\\y%%.txt", 1, 0, "..\\%d\\y%%.txt"}));

}  // namespace
