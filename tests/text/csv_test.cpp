// One CSV line into cells, through the exported entries and a test host.
#include <gtest/gtest.h>

#include <string>

#include "support/test_host.h"

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

// The unquoting rules step by step, on a copy.
std::string UnquotedByTheRules(const std::string& raw) {
    const std::size_t n = raw.size();
    if (n == 0 || raw == "\n") return "";
    const bool quoted = raw[0] == '"';
    std::string cell = quoted ? "" : raw.substr(0, 1);
    for (std::size_t i = 1; i + 2 <= n; ++i) {
        if (raw[i] != '"') {
            cell += raw[i];
        } else if (raw[i + 1] == '"') {
            cell += '"';
            ++i;
        } else {
            return cell;
        }
    }
    if (quoted) return cell;  // the closing quote dropped, or none there (-2)
    if (n >= 2 && raw[n - 1] != '"') cell += raw[n - 1];
    return cell;
}

// Random lines over the bytes that matter: the cells must be the splitter's raw cells, each
// unquoted by the rules, whatever shortcut the tokenizer takes to find the ones to rewrite.
TEST(TokenizeOneCsvLine, EqualsTheRawCellsUnquotedOneByOne) {
    const std::string alphabet = "ab,,\"\"\n(<)";
    unsigned state = 12345;
    CStringArray cells, raw;
    for (int round = 0; round < 20000; ++round) {
        std::string line;
        state = state * 1103515245u + 12345u;
        const unsigned length = (state >> 16) % 16;
        for (unsigned i = 0; i < length; ++i) {
            state = state * 1103515245u + 12345u;
            line += alphabet[(state >> 16) % alphabet.size()];
        }
        const int count = kxutilsTokenizeOneCSVLine(line.c_str(), &cells);
        ASSERT_EQ(count, kxutilsGetTokens(line.c_str(), &raw, ',', nullptr, QUOTE_MODE_ANGLE, 0));
        for (int i = 0; i < count; ++i)
            ASSERT_EQ(std::string(cells[i]), UnquotedByTheRules(std::string(raw[i])))
                << testing::PrintToString(line) << " cell " << i;
    }
}

TEST(ReadCsvFile, ReadsNothingAndAnswersOne) {
    EXPECT_EQ(kxutilsReadCSVFile("/no/such/file.csv", CStringArray(), 0, 0), 1);
}

}  // namespace
