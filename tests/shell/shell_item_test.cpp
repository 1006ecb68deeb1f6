// Shell items through the exported entry, on real files of the build tree.
// The item table and the C locale belong to the whole process, so this is a
// program of its own; what happens before the first create is recorded by
// the environment before any test runs, so test order does not matter.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <zuvuvur/zuvuvur.h>

#include <clocale>
#include <cstring>
#include <string>
#include <thread>

#include "kxplatform.h"
#include "support/shell_files.h"

namespace {

int Create(unsigned int& handle, const char* name) {
    return kxu_shell_item(&handle, 0, reinterpret_cast<INT_PTR>(name), nullptr, 0);
}
int Release(unsigned int handle) { return kxu_shell_item(&handle, 1, 0, nullptr, 0); }
int Query(unsigned int handle, unsigned int op, INT_PTR index, void* out, int size = 0) {
    return kxu_shell_item(&handle, op, index, out, size);
}

ShellFiles* g_files = nullptr;
// Release, query and a bad operation before any create; then two creates from
// a thread of the multithreaded apartment, and the handle after them.
std::vector<int> g_first;

class FirstCalls : public testing::Environment {
    void SetUp() override {
        g_files = new ShellFiles;
        std::string file = g_files->Make("first.txt");
        char out[8];
        g_first = {Release(1), Query(1, 4, SHELL_PROP_TITLE, out, sizeof out),
                   Query(0, 7, 0, nullptr)};
        std::thread([&file] {
            kxp::CoInitializeEx(nullptr, kxp::COINIT_MULTITHREADED);
            unsigned int handle = 77;
            g_first.push_back(Create(handle, file.c_str()));
            g_first.push_back(Create(handle, file.c_str()));  // the manager was not kept
            g_first.push_back(static_cast<int>(handle));
            kxp::CoUninitialize();
        }).join();
    }
    void TearDown() override { delete g_files; }
};
[[maybe_unused]] testing::Environment* const g_env =
    testing::AddGlobalTestEnvironment(new FirstCalls);

// Each test releases what it opened, so the table is all empty slots again.
class ShellItem : public testing::Test {
  protected:
    unsigned int Open(const std::string& path) {
        unsigned int handle = 0;
        EXPECT_EQ(Create(handle, path.c_str()), 0) << path;
        open_.push_back(handle);
        return handle;
    }
    void TearDown() override {
        for (unsigned int handle : open_) Release(handle);
    }
    std::vector<unsigned int> open_;
};

TEST_F(ShellItem, NothingBeforeTheFirstCreateThenHandlesAreTheLowestEmptySlots) {
    EXPECT_EQ(g_first, (std::vector<int>{15054, 15054, 15054, 15051, 15051, 77}));
    std::string a = g_files->Make("a.txt"), b = g_files->Make("b.txt");
    EXPECT_EQ(Open(a), 1u);
    EXPECT_EQ(Open(b), 2u);
    EXPECT_EQ(Release(1), 0);
    EXPECT_EQ(Release(1), 15054);  // a second release of the same handle
    EXPECT_EQ(Open(a), 1u);
    for (unsigned int next : {3u, 4u, 5u}) EXPECT_EQ(Open(a), next);
    EXPECT_EQ(Release(4), 0);
    EXPECT_EQ(Release(2), 0);
    for (unsigned int next : {2u, 4u, 6u}) EXPECT_EQ(Open(a), next);
    for (unsigned int bad : {0u, 7u, 1000u}) EXPECT_EQ(Release(bad), 15054) << bad;
    // A bad handle beats a bad operation.
    for (unsigned int op : {6u, 7u}) EXPECT_EQ(Query(6, op, 0, nullptr), 15055);
    EXPECT_EQ(Query(7, 7, 0, nullptr), 15054);
}

TEST_F(ShellItem, QueriesAnswerTheShellsValueOrTheOperationsCode) {
    KX_REQUIRE_XATTRS(*g_files);
    const unsigned int tagged =
        Open(g_files->Make("tagged.txt", {{"user.dublincore.title", "Quarterly report"},
                                          {"user.dublincore.alternative", "Third quarter"},
                                          {"user.xdg.comment", "draft"},
                                          {"user.baloo.rating", "8"}}));
    const unsigned int bare = Open(g_files->Make("bare.txt"));
    // Ratings are stored as 0 to 10 half stars, white space around; anything else is none.
    auto rated = [this, n = 0](const char* stored) mutable {
        return Open(g_files->Make("rated" + std::to_string(n++), {{"user.baloo.rating", stored}}));
    };
    constexpr INT_PTR kHigh = INT_PTR{1} << 32;             // only the low 32 bits are the index
    const std::string text(32, '#'), number = "589505315";  // the output untouched, as read back
    const struct {
        unsigned int handle, op;
        INT_PTR index;
        int result;
        std::string value;  // what lands in the output, as text or as a number
    } rows[] = {
        {tagged, 4, SHELL_PROP_TITLE, 0, "Quarterly report"},
        {tagged, 4, SHELL_PROP_SUBTITLE, 0, "Third quarter"},
        {tagged, 4, kHigh + SHELL_PROP_COMMENT, 0, "draft"},
        {tagged, 5, SHELL_PROP_RATING, 0, "79"},
        {tagged, 5, SHELL_PROP_TITLE, 15058, number},
        {tagged, 4, SHELL_PROP_RATING, 15057, text},
        {tagged, 2, SHELL_PROP_TITLE, 15059, number},
        {tagged, 3, SHELL_PROP_COMMENT, 15060, number},
        {bare, 4, SHELL_PROP_TITLE, 15061, text},
        {bare, 2, SHELL_PROP_COMMENT, 15061, number},
        {tagged, 4, SHELL_PROP_COUNT, 15056, text},
        {tagged, 3, kHigh - 1, 15056, number},
        {rated("1"), 5, SHELL_PROP_RATING, 0, "10"},
        {rated("10"), 5, SHELL_PROP_RATING, 0, "99"},
        {rated(" 7\n"), 5, SHELL_PROP_RATING, 0, "69"},
        {rated("11"), 5, SHELL_PROP_RATING, 15058, number},
        {rated("-1"), 5, SHELL_PROP_RATING, 15058, number},
        {rated(""), 5, SHELL_PROP_RATING, 15058, number},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(&r - rows);
        alignas(8) char out[33];
        std::memset(out, '#', 32);
        out[32] = '\0';
        EXPECT_EQ(Query(r.handle, r.op, r.index, out, 32), r.result);
        unsigned int read = 0;
        std::memcpy(&read, out, sizeof read);
        EXPECT_EQ(r.op == 4 ? std::string(out) : std::to_string(read), r.value);
    }
}

// Times in 100-ns ticks from 1601.
TEST_F(ShellItem, FileTimesAreTheFilesOwn) {
    const std::string path = g_files->Make("times.txt");
    const timespec times[2] = {{1700000000, 0}, {1700000000, 123456789}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    struct statx sx {};
    ASSERT_EQ(statx(AT_FDCWD, path.c_str(), 0, STATX_BTIME, &sx), 0);
    const bool born = sx.stx_mask & STATX_BTIME;  // else the file system keeps no birth time
    auto ticks = [](std::int64_t seconds, long nanoseconds) {
        return static_cast<std::uint64_t>(seconds + 11644473600) * 10000000u + nanoseconds / 100;
    };
    const unsigned int h = Open(path);
    std::uint64_t modified = 0, created = 0;
    EXPECT_EQ(Query(h, 3, SHELL_PROP_DATE_MODIFIED, &modified), 0);
    EXPECT_EQ(modified, ticks(1700000000, 123456789));
    EXPECT_EQ(Query(h, 3, SHELL_PROP_DATE_CREATED, &created), born ? 0 : 15061);
    EXPECT_EQ(created, born ? ticks(sx.stx_btime.tv_sec, sx.stx_btime.tv_nsec) : 0);
}

TEST_F(ShellItem, TextStaysInsideTheCallersBuffer) {
    KX_REQUIRE_XATTRS(*g_files);
    const struct {
        const char* value;
        int size;
        const char* expected;  // the buffer's first bytes, then '#' guards
    } rows[] = {
        {"abcdef", 7, "abcdef"},
        {"abcdef", 6, "abcde"},
        {"abcdef", 1, ""},
        {"abcdef", 0, "#"},
        {"Cr\xC3\xA8me", 16, "Cr?me"},
        {"\xF0\x9F\x98\x80!", 3, "?!"},  // no narrow form in "C": one '?' per character
        // U+10FFFF; stray bytes; a sequence cut short by the end.
        {"\xF4\x8F\xBF\xBF|\x84\x80\x80\x80|\xE2\x82", 16, "?|????|??"},
        // Overlong forms, past U+10FFFF, a surrogate: one '?' per byte.
        {"\xE0\x80\xAF|\xF0\x80\x80\xAF|", 16, "???|????|"},
        {"\xF4\x90\x80\x80|\xED\xA0\x80|", 16, "????|???|"},
    };
    for (const auto& row : rows) {
        const unsigned int h =
            Open(g_files->Make("text.txt", {{"user.dublincore.title", row.value}}));
        char out[24];
        std::memset(out, '#', sizeof out);
        out[sizeof out - 1] = '\0';
        EXPECT_EQ(Query(h, 4, SHELL_PROP_TITLE, out + 4, row.size), 0) << row.size;
        EXPECT_EQ(std::string(out, 4), "####");
        std::string written(out + 4);
        EXPECT_EQ(written.substr(0, std::strlen(row.expected)), row.expected) << row.size;
        EXPECT_TRUE(row.size <= 0 || written.size() < static_cast<std::size_t>(row.size));
    }
}

TEST_F(ShellItem, NamesAndTheLocaleLeftBehind) {
    std::string dir = g_files->Dir();
    std::string file = g_files->Make("plain.txt");
    // Nested folders give an existing file whose name is exactly 1023 bytes.
    std::string deep = dir;
    while (deep.size() < 1023 - 160) {
        deep += "/" + std::string(150, 'd');
        std::filesystem::create_directory(deep);
    }
    std::string longest = deep + "/" + std::string(1023 - deep.size() - 1, 'f');
    std::ofstream(longest) << "x";
    std::string tooLong = longest.substr(0, longest.size() - 1) + "ff";
    std::ofstream(tooLong) << "x";

    struct Row {
        std::string name;
        int result;
    } rows[] = {{file, 0},
                {dir, 0},
                {longest, 0},
                {tooLong, 15053},
                {"/dev/null", 15053},  // neither a file nor a folder
                {g_files->Make("caf\xC3\xA9.txt"), 0},
                {g_files->Make("bad\xFF.txt"), 15053}};  // not UTF-8: no conversion
    setenv("LC_ALL", "C.UTF-8", 1);
    for (const Row& row : rows) {
        ASSERT_NE(std::setlocale(LC_ALL, "C.UTF-8"), nullptr);
        unsigned int handle = 99;
        EXPECT_EQ(Create(handle, row.name.c_str()), row.result) << row.name;
        EXPECT_STREQ(std::setlocale(LC_ALL, nullptr), "C") << row.name;
        EXPECT_TRUE(row.result == 0 || handle == 99u) << row.name;  // a failure leaves it
        if (row.result == 0) open_.push_back(handle);
    }
    unsetenv("LC_ALL");
}

}  // namespace
