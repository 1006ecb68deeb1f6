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
    testing::Values(CsvRow{"a,\"b,c\",\"d\"\"e\"", 3, {"a", "b,c", "d\"e"}}, CsvRow{"", 0, {}},
                    CsvRow{nullptr, 1, {""}}, CsvRow{"a,", 2, {"a", ""}},
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
                    CsvRow{"a\"b", 1, {"a"}},         // lone quote inside: cut there
                    CsvRow{"\"ab", 1, {"a"}},         // no closing quote: last byte lost
                    CsvRow{"ab\"", 1, {"ab"}},        // trailing quote of a plain cell dropped
                    CsvRow{"\"ab\"\"", 1, {"ab\""}},  // the pair read, then closing
                    CsvRow{"\"ab\"\"\"", 1, {"ab\""}}, CsvRow{"\"a\"b\"", 1, {"a"}},
                    CsvRow{"\"ab\"x", 1, {"ab"}}, CsvRow{" \"a\"", 1, {" "}},
                    CsvRow{"\"\"\"\"", 1, {"\""}}, CsvRow{"a\"\"b", 1, {"a\"b"}},
                    CsvRow{"\n\n", 1, {"\n\n"}}));

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

// The unquoting rules step by step, on a copy, as the tokenizer's reference.
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
    CStringArray cells;
    cells.Add("kept");
    EXPECT_EQ(kxutilsReadCSVFile("/no/such/file.csv", cells, 0, 0), 1);
    EXPECT_EQ(kxutilsReadCSVFile(nullptr, cells, 1, 2), 1);
    EXPECT_EQ(ToVector(cells), Strings{"kept"});
}

}  // namespace
