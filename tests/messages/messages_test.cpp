// Numbered messages through the exported entries, against the fixture
// catalogs of messages/catalogs/, built into modules beside this program.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <tuple>
#include <utility>

#include "support/test_host.h"

namespace {

const char kUntouched[] = "untouched";

constexpr const char* kPercents =
    "Done: 100%% of the rows; widths such as %5d or %ld are written as they stand.";

// What the box shows and answers, recorded.
std::tuple<std::string, UINT, UINT, int> g_box;

// Warnings 10000 to 14999 and errors 15000 to 19999 are headed, with seven
// digits. The message box shows the same text, or is empty when there is none.
TEST(LoadMsgStr, FillsByTheFirstMatchingRule) {
    AfxSetMessageBoxHandler([](const char* text, UINT type, UINT helpId) {
        g_box = {text, type, helpId, std::get<3>(g_box) + 1};
        return IDRETRY;
    });
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
        {10007, "data.csv", 12, "ignored", "WARN0010007: data.csv was read up to line 12 only."},
        // An integer alone.
        {10002, nullptr, 3, nullptr, "WARN0010002: 3 rows were skipped."},
        {10002, "x", 3, nullptr, nullptr},
        // A string alone.
        {15001, "a.txt", std::nullopt, nullptr, "ERR0015001: Cannot open a.txt"},
        {15001, "100%s", std::nullopt, nullptr, "ERR0015001: Cannot open 100%s"},
        // No placeholder: copied as it stands, whatever is given.
        {103, nullptr, std::nullopt, nullptr, kPercents},
        {104, nullptr, std::nullopt, nullptr,
         "\tIndented first line\nsecond line with a backslash \\ in it"},
        {9999, nullptr, std::nullopt, nullptr, "Last message without a heading."},
        {10000, nullptr, std::nullopt, nullptr, "WARN0010000: Warning."},
        {14999, nullptr, std::nullopt, nullptr, "WARN0014999: Last warning."},
        {15000, nullptr, std::nullopt, nullptr, "ERR0015000: First error."},
        {19999, nullptr, std::nullopt, nullptr,
         "ERR0019999: Too many errors; the rest are not shown."},
        {20000, nullptr, std::nullopt, nullptr, "First message after the error range."},
        {-1, nullptr, std::nullopt, nullptr, "The operation was cancelled."},
        {103, "x", 3, "y", kPercents},
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
        SCOPED_TRACE(&row - rows);
        int number = row.number.value_or(0);
        int* numberArg = row.number ? &number : nullptr;
        CString text(kUntouched);
        EXPECT_EQ(kxu_load_msg_str(row.id, &text, row.first, numberArg, row.second, -1),
                  row.expected ? 1 : 0);
        EXPECT_STREQ(text, row.expected ? row.expected : kUntouched);
        // A null output answers whether the message exists, fillable or not.
        EXPECT_EQ(kxu_load_msg_str(row.id, nullptr, row.first, numberArg, row.second, -1),
                  row.id == 12345 ? 0 : 1);
        // A null output only loads the module: no text is fetched, so none is missed.
        EXPECT_EQ(kxu_load_err_msg_str(row.id, nullptr, -1), 1);
        if (!row.first && !row.number && !row.second && !row.expected) continue;
        g_box = {};
        EXPECT_EQ(kxu_err_msgbox(row.id, MB_RETRYCANCEL, row.first, numberArg, row.second),
                  IDRETRY);
        EXPECT_EQ(g_box, std::make_tuple(std::string(row.expected ? row.expected : ""),
                                         UINT{MB_RETRYCANCEL}, 0u, 1));
    }
    // Without arguments the box shows the message as it stands, placeholders and all.
    EXPECT_EQ(kxu_err_msgbox(10002, MB_OK, nullptr, nullptr, nullptr), IDRETRY);
    EXPECT_EQ(std::get<0>(g_box), "WARN0010002: %d rows were skipped.");
    AfxSetMessageBoxHandler(nullptr);
}

// Texts without headings; the module's text replaces the old one entirely,
// cut to the buffer.
TEST(LoadRuntimeErr, TextsWithoutHeadings) {
    using Text = std::pair<int, const char*>;  // null: nothing, and the output left untouched
    for (const auto& [id, expected] : {Text{1, "Division by zero."},
                                       {6, "Function %s expects %d arguments."},
                                       {15001, "The runtime cannot open the script file."},
                                       {15000, nullptr}}) {
        CString text(kUntouched);
        EXPECT_EQ(kxu_load_runtime_err(id, &text),
                  expected ? static_cast<int>(std::strlen(expected)) : 0)
            << id;
        EXPECT_STREQ(text, expected ? expected : kUntouched) << id;
    }
    // An error text is cut to its 4096-byte buffer, then headed.
    CString text;
    ASSERT_EQ(kxu_load_err_msg_str(19998, &text, -1), 1);
    EXPECT_EQ(text.GetLength(), static_cast<int>(std::strlen("ERR0019998: ")) + 4095);
    text = std::string(3000, 'z').c_str();
    EXPECT_GT(kxu_load_runtime_err(900, &text), 1023);
    EXPECT_EQ(text.GetLength(), 1023);
    EXPECT_EQ(std::string(text).rfind("Long runtime text, kept", 0), 0u);
}

}  // namespace
