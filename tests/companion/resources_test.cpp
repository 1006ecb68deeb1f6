// Tests of the companion resource lookup (src/companion/resources.cpp),
// against the built error-message module.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "kxplatform.h"
#include "kxtl.h"
#include "resource_table.h"

#if defined(_WIN32)
// The catalog's own table, compiled into this program: what the module's
// STRINGTABLE, read through the system, must hold.
extern "C" const KxStringTable kx_string_table;
#endif

namespace {

class LoadResourceString : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        module_ = kxp::load_module(KX_ERRMSG_MODULE);
        ASSERT_NE(module_, nullptr) << KX_ERRMSG_MODULE;
#if defined(_WIN32)
        table_ = &kx_string_table;
#else
        table_ = static_cast<const KxStringTable*>(kxp::find_symbol(module_, kStringTableSymbol));
#endif
        ASSERT_NE(table_, nullptr);
    }
    static kxp::ModuleHandle module_;
    static const KxStringTable* table_;
};
kxp::ModuleHandle LoadResourceString::module_ = nullptr;
const KxStringTable* LoadResourceString::table_ = nullptr;

TEST_F(LoadResourceString, FindsEveryIdOfTheTableAndNothingBetween) {
    ASSERT_GT(table_->count, 10u);
    char buffer[8192];
    for (std::uint32_t i = 0; i < table_->count; ++i) {
        const KxStringEntry& e = table_->entries[i];
        EXPECT_EQ(kxtl::load_resource_string(module_, e.id, buffer, sizeof buffer, 0, 0, nullptr),
                  static_cast<int>(e.length));
        EXPECT_STREQ(buffer, e.text);
        // Ids between two of the table's are missing (the catalogs leave gaps).
        const bool gapAfter = i + 1 == table_->count || table_->entries[i + 1].id > e.id + 1;
        if (gapAfter) {
            EXPECT_EQ(kxtl::load_resource_string(module_, e.id + 1, buffer, 16, 0, 0, nullptr), 0)
                << e.id + 1;
        }
    }
    EXPECT_EQ(
        kxtl::load_resource_string(module_, table_->entries[0].id - 1, buffer, 16, 0, 0, nullptr),
        0);
}

TEST_F(LoadResourceString, CutsToTheBufferAndNeverWritesPastIt) {
    const int id = 15001;  // "Cannot open %s", 14 bytes
    struct Row {
        int size;
        const char* expected;  // null: nothing written
        int result;
    };
    const Row rows[] = {{64, "Cannot open %s", 14},
                        {15, "Cannot open %s", 14},
                        {14, "Cannot open %", 14},
                        {2, "C", 14},
                        {1, "", 14},
                        {0, nullptr, 0},
                        {-5, nullptr, 0}};
    for (const Row& row : rows) {
        char buffer[80];
        std::memset(buffer, '#', sizeof buffer);
        char* start = buffer + 8;  // guard bytes on both sides
        EXPECT_EQ(kxtl::load_resource_string(module_, id, start, row.size, 0, 0, nullptr),
                  row.result)
            << "size " << row.size;
        for (int k = 0; k < 8; ++k) EXPECT_EQ(buffer[k], '#');
        int written = row.expected ? static_cast<int>(std::strlen(row.expected)) + 1 : 0;
        if (row.expected) {
            EXPECT_STREQ(start, row.expected) << "size " << row.size;
        }
        for (int k = written; k < 64; ++k) EXPECT_EQ(start[k], '#') << "size " << row.size;
    }
}

TEST_F(LoadResourceString, MissingIdOrModuleWritesNothing) {
    char buffer[16] = "untouched";
    EXPECT_EQ(kxtl::load_resource_string(module_, 12345, buffer, 16, 0, 0, nullptr), 0);
    EXPECT_STREQ(buffer, "untouched");
    EXPECT_EQ(kxtl::load_resource_string(nullptr, 15001, buffer, 16, 0, 0, nullptr), 0);
    EXPECT_EQ(kxtl::load_resource_string(module_, 15001, nullptr, 16, 0, 0, nullptr), 0);
    // A module that carries no table: the program itself.
    EXPECT_EQ(
        kxtl::load_resource_string(kxp::executable_module(), 15001, buffer, 16, 0, 0, nullptr), 0);
    EXPECT_STREQ(buffer, "untouched");
}

}  // namespace
