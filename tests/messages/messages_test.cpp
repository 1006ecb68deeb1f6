// Numbered messages through the exported entries, against the fixture
// catalogs of messages/catalogs/, built into modules beside this program.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <optional>
#include <string>

#include "support/test_host.h"

namespace {

const char kUntouched[] = "untouched";

// An id and what it yields; null: nothing, and the output left untouched.
struct Row {
    int id;
    const char* text;
};

TEST(ErrMsgHeading, RangesAndSevenDigits) {
    const Row rows[] = {
        {9999, nullptr},        {10000, "WARN0010000"}, {10001, "WARN0010001"},
        {14999, "WARN0014999"}, {15000, "ERR0015000"},  {19999, "ERR0019999"},
        {20000, nullptr},       {-1, nullptr},          {-10001, nullptr},
        {0, nullptr},           {INT_MIN, nullptr},     {INT_MAX, nullptr},
    };
    for (const Row& row : rows) {
        CString heading(kUntouched);
        EXPECT_EQ(kxu_err_msg_heading(row.id, &heading), row.text ? 1 : 0) << row.id;
        EXPECT_STREQ(heading, row.text ? row.text : kUntouched) << row.id;
    }
}

TEST(LoadErrMsgStr, HeadedTextsAndPlainOnes) {
    const Row rows[] = {
        {15001, "ERR0015001: Cannot open %s"},
        {10000, "WARN0010000: Warning."},
        {19999, "ERR0019999: Too many errors; the rest are not shown."},
        {9999, "Last message without a heading."},
        {20000, "First message after the error range."},
        {-1, "The operation was cancelled."},
        {103, "Done: 100%% of the rows; widths such as %5d or %ld are written as they stand."},
        {104, "\tIndented first line\nsecond line with a backslash \\ in it"},
        {12345, nullptr},
        {14998, nullptr},
    };
    for (const Row& row : rows) {
        CString text(kUntouched);
        EXPECT_EQ(kxu_load_err_msg_str(row.id, &text, -1), row.text ? 1 : 0) << row.id;
        EXPECT_STREQ(text, row.text ? row.text : kUntouched) << row.id;
        // A null output only loads the module: no text is fetched, so none is missed.
        EXPECT_EQ(kxu_load_err_msg_str(row.id, nullptr, -1), 1) << row.id;
    }
}

TEST(LoadErrMsgStr, ALongTextIsCutToItsBuffer) {
    CString text;
    ASSERT_EQ(kxu_load_err_msg_str(19998, &text, -1), 1);
    const std::string headed(text);
    EXPECT_EQ(headed.size(), std::string("ERR0019998: ").size() + 4095);
    EXPECT_EQ(headed.rfind("ERR0019998: Long text, kept", 0), 0u);
}

constexpr const char* kPercents =
    "Done: 100%% of the rows; widths such as %5d or %ld are written as they stand.";

TEST(LoadMsgStr, FillsByTheFirstMatchingRule) {
    const struct {
        int id;
        const char* first;
        std::optional<int> number;
        const char* second;
        const char* expected;  // null: 0 and the output untouched
    } rows[] = {
        // Two strings: "Cannot copy %s to %s."
        {15004, "a", std::nullopt, "b", "ERR0015004: Cannot copy a to b."},
        {15004, "a", 3, "b", nullptr},  // an integer rules the two strings out
        // A string and an integer, in the message's order.
        {101, "x", 3, nullptr, "3 of x"},
        {102, "x", 3, nullptr, "x has 3"},
        {10003, "B", 7, nullptr, "WARN0010003: Row 7 of column B holds no value."},
        {10007, "data.csv", 12, "ignored", "WARN0010007: data.csv was read up to line 12 only."},
        // An integer alone.
        {10002, nullptr, 3, nullptr, "WARN0010002: 3 rows were skipped."},
        {10002, "x", 3, nullptr, nullptr},
        // A string alone.
        {15001, "a.txt", std::nullopt, nullptr, "ERR0015001: Cannot open a.txt"},
        {15001, "100%s", std::nullopt, nullptr, "ERR0015001: Cannot open 100%s"},
        // No placeholder: copied as it stands, whatever is given.
        {103, nullptr, std::nullopt, nullptr, kPercents},
        {103, "x", 3, "y", kPercents},
        {10000, nullptr, 5, nullptr, "WARN0010000: Warning."},
        // Placeholders without their arguments.
        {15001, nullptr, 3, nullptr, nullptr},
        {10002, nullptr, std::nullopt, nullptr, nullptr},
        {106, nullptr, std::nullopt, nullptr, nullptr},  // the text opens with it
        // More conversions than the chosen rule passes: refused, never read.
        {101, nullptr, 3, nullptr, nullptr},         // %s beside the %d
        {15007, "a", std::nullopt, "b", nullptr},    // third %s
        {105, "x", std::nullopt, nullptr, nullptr},  // %5d beside the %s
        // No such message.
        {12345, "x", 3, "y", nullptr},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.id << " " << (row.first ? row.first : "null") << " "
                                        << row.number.value_or(-1));
        int number = row.number.value_or(0);
        int* numberArg = row.number ? &number : nullptr;
        CString text(kUntouched);
        EXPECT_EQ(kxu_load_msg_str(row.id, &text, row.first, numberArg, row.second, -1),
                  row.expected ? 1 : 0);
        EXPECT_STREQ(text, row.expected ? row.expected : kUntouched);
        // A null output answers whether the message exists, fillable or not.
        EXPECT_EQ(kxu_load_msg_str(row.id, nullptr, row.first, numberArg, row.second, -1),
                  row.id == 12345 ? 0 : 1);
    }
}

TEST(LoadRuntimeErr, TextsWithoutHeadings) {
    const Row rows[] = {
        {1, "Division by zero."},
        {6, "Function %s expects %d arguments."},
        {15001, "The runtime cannot open the script file."},  // no heading in any range
        {15000, nullptr},
    };
    for (const Row& row : rows) {
        CString text(kUntouched);
        EXPECT_EQ(kxu_load_runtime_err(row.id, &text),
                  row.text ? static_cast<int>(std::strlen(row.text)) : 0)
            << row.id;
        EXPECT_STREQ(text, row.text ? row.text : kUntouched) << row.id;
    }
}

// The module's text replaces the old one entirely, cut to the buffer.
TEST(LoadRuntimeErr, CutsToItsBuffer) {
    CString text(std::string(3000, 'z').c_str());
    EXPECT_GT(kxu_load_runtime_err(900, &text), 1023);
    EXPECT_EQ(text.GetLength(), 1023);
    EXPECT_EQ(std::string(text).rfind("Long runtime text, kept", 0), 0u);
}

struct Box {
    std::string text;
    UINT type = 0;
    UINT helpId = 99;
    int shown = 0;
};
Box g_box;

int RecordBox(const char* text, UINT type, UINT helpId) {
    g_box = {text, type, helpId, g_box.shown + 1};
    return IDRETRY;
}

TEST(ErrMsgBox, ShowsTheFilledMessageAndReturnsTheAnswer) {
    AfxSetMessageBoxHandler(&RecordBox);
    const struct {
        int id;
        const char* first;
        bool number;
        const char* shown;
    } rows[] = {
        {15001, "a.txt", false, "ERR0015001: Cannot open a.txt"},
        {15001, nullptr, false, "ERR0015001: Cannot open %s"},  // no arguments: not filled
        {101, "x", true, "3 of x"},
        {15001, nullptr, true, ""},  // cannot be filled: an empty box
        {12345, nullptr, false, ""},
    };
    for (const auto& row : rows) {
        g_box = {};
        int n = 3;
        EXPECT_EQ(kxu_err_msgbox(row.id, MB_RETRYCANCEL | MB_ICONSTOP, row.first,
                                 row.number ? &n : nullptr, nullptr),
                  IDRETRY);
        EXPECT_EQ(g_box.shown, 1);
        EXPECT_EQ(g_box.text, row.shown);
        EXPECT_EQ(g_box.type, MB_RETRYCANCEL | MB_ICONSTOP);
        EXPECT_EQ(g_box.helpId, 0u);
    }
    AfxSetMessageBoxHandler(nullptr);
}

}  // namespace
