// The companion's resource lookup, against the built error-message module.
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

int load(kxp::ModuleHandle module, int id, char* buffer, int size) {
    return kxtl::load_resource_string(module, id, buffer, size, 0, 0, nullptr);
}

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
    static inline kxp::ModuleHandle module_ = nullptr;
    static inline const KxStringTable* table_ = nullptr;
};

TEST_F(LoadResourceString, FindsEveryIdOfTheTableAndNothingBetween) {
    char buffer[8192];
    EXPECT_EQ(load(module_, table_->entries[0].id - 1, buffer, 16), 0);
    for (std::uint32_t i = 0; i < table_->count; ++i) {
        const KxStringEntry& e = table_->entries[i];
        EXPECT_EQ(load(module_, e.id, buffer, sizeof buffer), static_cast<int>(e.length));
        EXPECT_STREQ(buffer, e.text);
        // Ids between two of the table's are missing (the catalogs leave gaps).
        if (i + 1 == table_->count || table_->entries[i + 1].id > e.id + 1) {
            EXPECT_EQ(load(module_, e.id + 1, buffer, 16), 0) << e.id + 1;
        }
    }
}

// Cut to the buffer and never written past it; nothing written for a missing id, a null module,
// a module without a table (the program itself) or no room.
TEST_F(LoadResourceString, CutsToTheBufferAndWritesNothingWhenMissing) {
    const kxp::ModuleHandle none = nullptr, program = kxp::executable_module();
    const struct {
        kxp::ModuleHandle module;
        int id;  // 15001 is "Cannot open %s", 14 bytes
        int size;
        const char* expected;  // null: nothing written
        int result;
    } rows[] = {
        {module_, 15001, 15, "Cannot open %s", 14},
        {module_, 15001, 14, "Cannot open %", 14},
        {module_, 15001, 1, "", 14},
        {module_, 15001, 0, nullptr, 0},
        {module_, 15001, -5, nullptr, 0},
        {module_, 12345, 64, nullptr, 0},
        {none, 15001, 64, nullptr, 0},
        {program, 15001, 64, nullptr, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << "id " << row.id << " size " << row.size);
        char buffer[80];
        std::memset(buffer, '#', sizeof buffer);
        EXPECT_EQ(load(row.module, row.id, buffer + 8, row.size), row.result);
        // Guard bytes on both sides.
        const std::string text = row.expected ? std::string(row.expected) + '\0' : "";
        EXPECT_EQ(std::string(buffer, sizeof buffer),
                  std::string(8, '#') + text + std::string(72 - text.size(), '#'));
    }
    EXPECT_EQ(load(module_, 15001, nullptr, 16), 0);
}

}  // namespace
