// One CSV line into cells, through the exported entries and a test host.
#include <gtest/gtest.h>

#include <string>

#include "support/test_host.h"

namespace {

using Strings = std::vector<std::string>;

struct CsvRow {
    const char* line;
    int result;
    Strings cells;
};

void PrintTo(const CsvRow& row, std::ostream* os) {
    *os << (row.line ? testing::PrintToString(std::string(row.line)) : "(null)");
}

class TokenizeOneCsvLine : public testing::TestWithParam<CsvRow> {};

TEST_P(TokenizeOneCsvLine, CellsThroughTheHost) {
    const CsvRow& row = GetParam();
    TestStrings cells{"old", "older"};
    EXPECT_EQ(kxu_tokenize_one_csv_line(row.line, &cells), row.result);
    EXPECT_EQ(cells.Values(), row.cells);
    EXPECT_EQ(cells.requests, std::vector<unsigned int>{HOST_TYPE_STRING_ARRAY});
    EXPECT_EQ(cells.args[0], nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, TokenizeOneCsvLine,
    testing::Values(CsvRow{"a,\"b,c\",\"d\"\"e\"", 3, {"a", "b,c", "d\"e"}},
                    CsvRow{"", 0, {}}, CsvRow{nullptr, 1, {""}}, CsvRow{"a,", 2, {"a", ""}},
                    CsvRow{",,", 3, {"", "", ""}},
                    CsvRow{"f(1,2),<x,y>,{p,q},[r,s]", 4, {"f(1,2)", "<x,y>", "{p,q}", "[r,s]"}},
                    CsvRow{" a , b ", 2, {" a ", " b "}},  // cells are not trimmed
                    CsvRow{"a,\n", 2, {"a", ""}},          // a lone line feed is dropped
                    CsvRow{"a,b\n", 2, {"a", "b\n"}},      // any other stays
                    CsvRow{"\"a,b", 2, {"", "b"}}));       // unclosed quote protects nothing

// One cell at a time: the quoting rules, malformed cells included.
INSTANTIATE_TEST_SUITE_P(
    Cells, TokenizeOneCsvLine,
    testing::Values(CsvRow{"\"\"", 1, {""}}, CsvRow{"\"", 1, {""}}, CsvRow{"x", 1, {"x"}},
                    CsvRow{"a\"b", 1, {"a"}},     // lone quote inside: cut there
                    CsvRow{"\"ab", 1, {"a"}},     // no closing quote: last byte lost
                    CsvRow{"ab\"", 1, {"ab"}},    // trailing quote of a plain cell dropped
                    CsvRow{"\"ab\"\"", 1, {"ab\""}},  // the pair read, then closing
                    CsvRow{"\"ab\"\"\"", 1, {"ab\""}},
                    CsvRow{"\"a\"b\"", 1, {"a"}}, CsvRow{"\"ab\"x", 1, {"ab"}},
                    CsvRow{" \"a\"", 1, {" "}}, CsvRow{"\"\"\"\"", 1, {"\""}},
                    CsvRow{"a\"\"b", 1, {"a\"b"}}, CsvRow{"\n\n", 1, {"\n\n"}}));

TEST(TokenizeOneCsvLineEntry, NoArrayCountsNothingAndChangesNothing) {
    EXPECT_EQ(kxu_tokenize_one_csv_line("a,b", nullptr), -1);
    EXPECT_EQ(kxu_tokenize_one_csv_line(nullptr, nullptr), -1);
    EXPECT_EQ(kxu_tokenize_one_csv_line("", nullptr), 0);
    TestStrings refusing{"kept"};
    refusing.answerNull = true;
    EXPECT_EQ(kxu_tokenize_one_csv_line("a", &refusing), -1);
    EXPECT_EQ(kxu_tokenize_one_csv_line("", &refusing), 0);
    EXPECT_EQ(refusing.Values(), Strings{"kept"});
    EXPECT_EQ(kxutilsTokenizeOneCSVLine("a", nullptr), -1);
}

TEST(TokenizeOneCsvLine, LongLine) {
    std::string line;
    for (int i = 0; i < 100000; ++i) line += i % 5 ? "plain," : "\"q,\"\"x\"\"\",";
    CStringArray cells;
    EXPECT_EQ(kxutilsTokenizeOneCSVLine(line.c_str(), &cells), 100001);
    EXPECT_STREQ(cells[0], "q,\"x\"");
    EXPECT_STREQ(cells[1], "plain");
    EXPECT_STREQ(cells[100000], "");
}

TEST(ReadCsvFile, ReadsNothingAndAnswersOne) {
    CStringArray cells;
    cells.Add("kept");
    EXPECT_EQ(kxutilsReadCSVFile("/no/such/file.csv", cells, 0, 0), 1);
    EXPECT_EQ(kxutilsReadCSVFile(nullptr, cells, 1, 2), 1);
    EXPECT_EQ(ToVector(cells), Strings{"kept"});
}

}  // namespace
