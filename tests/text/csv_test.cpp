// One CSV line into cells, through the exported entries and a test host.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/test_host.h"
#include "text/csv_reference.h"

namespace {

TEST(TokenizeOneCsvLine, CellsThroughTheHost) {
    const struct {
        const char* line;
        int result;
        Strings cells;
    } rows[] = {{"a,\"b,c\",\"d\"\"e\"", 3, {"a", "b,c", "d\"e"}},
                {"", 0, {}},
                {"f(1,2),<x,y>", 2, {"f(1,2)", "<x,y>"}},
                {" a ,\n", 2, {" a ", ""}},  // not trimmed; a lone line feed goes
                {"\"\",\"", 2, {"", ""}},
                {"a\"b", 1, {"a"}},
                {"\"ab", 1, {"a"}},
                {"ab\",x", 2, {"ab", "x"}},  // the open quote protects nothing
                {"\"ab\"\"", 1, {"ab\""}}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.line);
        TestStrings cells{"old", "older"};
        EXPECT_EQ(kxu_tokenize_one_csv_line(row.line, &cells), row.result);
        EXPECT_EQ(cells.Values(), row.cells);
        EXPECT_EQ(cells.requests, std::vector<unsigned int>{HOST_TYPE_STRING_ARRAY});
    }
}

// A null line is one empty cell, and so still needs the array an empty line can do without.
TEST(TokenizeOneCsvLineEntry, OnlyAnEmptyLineNeedsNoArray) {
    EXPECT_EQ(kxu_tokenize_one_csv_line("", nullptr), 0);
    EXPECT_EQ(kxu_tokenize_one_csv_line(nullptr, nullptr), -1);
}

// Random lines over the bytes that matter, short ones and ones that span several of the
// search's 64-byte windows: the cells must be the raw cells, each unquoted by the rules,
// whatever shortcut the tokenizer takes to find the ones to rewrite.
TEST(TokenizeOneCsvLine, EqualsTheRawCellsUnquotedOneByOne) {
    const std::string alphabet = "ab,,\"\"\"\n(<)x";
    unsigned state = 12345;
    const auto next = [&state] { return (state = state * 1103515245u + 12345u) >> 16; };
    CStringArray cells;
    for (int round = 0; round < 20000; ++round) {
        std::string line;
        const unsigned length = next() % 4 == 0 ? next() % 200 : next() % 16;
        while (line.size() < length) {
            // Runs of one byte make long cells and long quoted stretches likely too.
            const char c = alphabet[next() % alphabet.size()];
            line.append(next() % 8 == 0 ? next() % 40 : 1, c);
        }
        const std::vector<std::string> raw = RawCells(line);
        ASSERT_EQ(kxutilsTokenizeOneCSVLine(line.c_str(), &cells),
                  line.empty() ? 0 : static_cast<int>(raw.size()));
        for (std::size_t i = 0; i < raw.size() && !line.empty(); ++i)
            ASSERT_EQ(std::string(cells[static_cast<INT_PTR>(i)]), UnquotedByTheRules(raw[i]))
                << testing::PrintToString(line) << " cell " << i;
    }
}

TEST(ReadCsvFile, ReadsNothingAndAnswersOne) {
    EXPECT_EQ(kxutilsReadCSVFile("/no/such/file.csv", CStringArray(), 0, 0), 1);
}

}  // namespace
