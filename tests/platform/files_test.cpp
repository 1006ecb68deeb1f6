// The POSIX file layer under the file entries, on real folders: what a search tells of each
// entry, also in a folder that may be listed but not entered, and copies that the system sends
// down its slower ways (a size that is not the truth, another file system, a failing read, no
// rename that refuses to replace).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>

#include "kxplatform.h"

namespace fs = std::filesystem;

namespace {

using Attributes = std::map<std::string, std::uint32_t>;

Attributes Search(const fs::path& dir) {
    Attributes out;
    kxp::FindData entry{};
    kxp::SearchHandle search = kxp::find_first((dir.string() + "\\*").c_str(), &entry, nullptr);
    for (bool more = search != nullptr; more; more = kxp::find_next(search, &entry, nullptr))
        out[entry.name] = entry.attributes;
    kxp::find_close(search);
    return out;
}

std::string Read(const fs::path& file) {
    std::ostringstream out;
    out << std::ifstream(file).rdbuf();
    return out.str();
}

// Runs `body` in a child process, which may give up privileges or system calls for good; its
// exit status.
int InChild(const std::function<bool()>& body) {
    const pid_t child = fork();
    if (child == 0) _exit(body() ? 0 : 1);
    int status = -1;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}

// A folder on /dev/shm, whose parent any user may pass and whose file system is seldom the
// build tree's; the destinations go to the build tree.
class FileLayer : public testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = "/dev/shm/kxplatform-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) GTEST_SKIP() << "no /dev/shm";
        dir_ = pattern;
        out_ = fs::path(KX_SCRATCH_DIR) / ("platform-" + std::to_string(getpid()));
        fs::create_directories(out_);
    }
    void TearDown() override {
        if (dir_.empty()) return;
        fs::permissions(dir_, fs::perms::owner_all);
        fs::remove_all(dir_);
        fs::remove_all(out_);
    }
    fs::path dir_, out_;
};

TEST_F(FileLayer, SearchTellsWhatEachEntryIsAlsoWhereItCannotLook) {
    fs::create_directory(dir_ / "d");
    for (const char* name : {"a", ".x", "..x"}) std::ofstream(dir_ / name) << name;
    fs::permissions(dir_ / "a", fs::perms::owner_write, fs::perm_options::remove);
    ASSERT_EQ(mkfifo((dir_ / "p").c_str(), 0644), 0);
    fs::create_directory_symlink("d", dir_ / "l");
    constexpr std::uint32_t D = kxp::FILE_ATTR_DIRECTORY, H = kxp::FILE_ATTR_HIDDEN,
                            S = kxp::FILE_ATTR_SYSTEM, L = S | kxp::FILE_ATTR_REPARSE_POINT;
    EXPECT_EQ(Search(dir_), (Attributes{{".", D},
                                        {"..", D},
                                        {"..x", H},
                                        {".x", H},
                                        {"a", kxp::FILE_ATTR_READONLY},
                                        {"d", D},
                                        {"l", L | D},
                                        {"p", S}}));
    // Readable but not searchable, for a user who is not root: only what the listing tells of
    // each entry is known.
    fs::permissions(dir_, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const Attributes listed{{".", D}, {"..", D}, {"..x", H}, {".x", H},
                            {"a", 0}, {"d", D},  {"l", L},   {"p", S}};
    EXPECT_EQ(InChild([&] {
                  if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) return false;
                  return Search(dir_) == listed;
              }),
              0);
}

TEST_F(FileLayer, CopiesTakeTheSlowerWaysWhereTheSystemSendsThem) {
    const std::string cross = (dir_ / "cross.txt").string(), text = "from another file system";
    std::ofstream(cross) << text;
    const struct {
        std::string from;
        std::uint32_t result;
        std::string start;  // of the copy; none when empty
    } rows[] = {
        {"/proc/self/status", kxp::ERR_SUCCESS, "Name:"},  // its size says 0
        {cross, kxp::ERR_SUCCESS, text},
        {"/proc/self/mem", kxp::ERR_READ_FAULT, ""},  // whose first page cannot be read
    };
    for (const auto& row : rows) {
        const fs::path to = out_ / fs::path(row.from).filename();
        EXPECT_EQ(kxp::copy_file(row.from.c_str(), to.c_str(), kxp::ExistingFile::Replace),
                  row.result)
            << row.from;
        EXPECT_EQ(Read(to).substr(0, row.start.size()), row.start) << row.from;
        EXPECT_EQ(fs::exists(to), !row.start.empty()) << row.from;
    }
    // As on a kernel with neither a copy of its own nor a rename that refuses to replace: the
    // data go through the process, and a copy that keeps what exists links instead.
    const fs::path kept = out_ / "kept.txt";
    EXPECT_EQ(InChild([&] {
                  sock_filter filter[] = {
                      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
                      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_renameat2, 1, 0),
                      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_copy_file_range, 0, 1),
                      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | ENOSYS),
                      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW)};
                  const sock_fprog program{5, filter};
                  return prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 &&
                         prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0 &&
                         kxp::copy_file(cross.c_str(), kept.c_str(), kxp::ExistingFile::Keep) ==
                             kxp::ERR_SUCCESS;
              }),
              0);
    EXPECT_EQ(Read(kept), text);
}

TEST_F(FileLayer, AnswersForWhatCannotBeDone) {
    std::ofstream(dir_ / "a") << "a";
    ASSERT_EQ(mkfifo((dir_ / "p").c_str(), 0644), 0);
    EXPECT_FALSE(kxp::is_symbolic_link(std::string(5000, 'a').c_str()));  // too long to name
    EXPECT_FALSE(kxp::name_matches(nullptr, "a"));
    EXPECT_TRUE(kxp::name_matches("a.", "a"));  // a trailing dot: no extension
    EXPECT_FALSE(kxp::name_matches("a.", "a.b"));
    kxp::FileId id{};
    EXPECT_FALSE(kxp::file_id((dir_ / "a").c_str(), nullptr));
    EXPECT_FALSE(kxp::file_id((dir_ / "none").c_str(), &id));
    EXPECT_EQ(kxp::create_directory((dir_ / "no" / "x").c_str()), kxp::ERR_PATH_NOT_FOUND);
    EXPECT_EQ(kxp::copy_file((dir_ / "p").c_str(), (out_ / "p").c_str(), kxp::ExistingFile::Keep),
              kxp::ERR_ACCESS_DENIED);
    std::uint32_t error = 0;
    kxp::FindData entry{};
    EXPECT_EQ(kxp::find_first((dir_.string() + "\\z*").c_str(), &entry, &error), nullptr);
    EXPECT_EQ(error, kxp::ERR_FILE_NOT_FOUND);
    EXPECT_EQ(kxp::open_for_reading((dir_ / "a" / "x").c_str(), false, &error), kxp::kNoFile);
    EXPECT_EQ(error, kxp::ERR_PATH_NOT_FOUND);
    char byte = 0;
    const kxp::FileHandle memory = kxp::open_for_reading("/proc/self/mem", false, &error);
    EXPECT_EQ(kxp::read_file(memory, &byte, 1, &error), -1);  // its first page is never mapped
    EXPECT_EQ(error, kxp::ERR_READ_FAULT);
    kxp::close_file(memory);
    EXPECT_EQ(kxp::read_file(kxp::kNoFile, &byte, 1, &error), -1);
    EXPECT_EQ(error, kxp::ERR_INVALID_PARAMETER);
}

}  // namespace
