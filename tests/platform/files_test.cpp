// The POSIX file layer under the file entries, where the entries cannot take
// a test: copies that the system sends down its slower ways (a size that is
// not the truth, a kernel with neither a copy of its own nor a rename that
// refuses to replace), and answers that no entry passes on.
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>

#include <cstddef>

#include "files/scratch.h"
#include "kxplatform.h"

namespace {

class FileLayer : public ScratchTest {};

TEST_F(FileLayer, CopiesTakeTheSlowerWaysWhereTheSystemSendsThem) {
    // Its size says 0.
    EXPECT_EQ(kxp::copy_file("/proc/self/status", At("status").c_str(), kxp::ExistingFile::Replace),
              kxp::ERR_SUCCESS);
    EXPECT_EQ(Read("status").rfind("Name:", 0), 0u);
    // Without copy_file_range and renameat2 the data go through the process,
    // and a copy that keeps what exists links instead.
    Write("a.txt", "text");
    const pid_t child = fork();
    if (child == 0) {
        sock_filter filter[] = {BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
                                BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_renameat2, 1, 0),
                                BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_copy_file_range, 0, 1),
                                BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | ENOSYS),
                                BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW)};
        const sock_fprog program{5, filter};
        _exit(prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 ||
              prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) != 0 ||
              kxp::copy_file(At("a.txt").c_str(), At("kept.txt").c_str(),
                             kxp::ExistingFile::Keep) != kxp::ERR_SUCCESS);
    }
    int status = -1;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(Read("kept.txt"), "text");
}

TEST_F(FileLayer, AnswersNoEntryPassesOn) {
    Write("a", "a");
    fs::permissions(At("a"), fs::perms::owner_write, fs::perm_options::remove);
    kxp::FindData entry{};
    kxp::find_close(kxp::find_first(At("a").c_str(), &entry, nullptr));
    EXPECT_EQ(entry.attributes, kxp::FILE_ATTR_READONLY);  // which no entry reads
    ASSERT_EQ(mkfifo(At("p").c_str(), 0644), 0);
    EXPECT_FALSE(kxp::is_symbolic_link(std::string(5000, 'a').c_str()));  // too long to name
    EXPECT_FALSE(kxp::name_matches(nullptr, "a"));
    EXPECT_EQ(kxp::create_directory(At("no/x").c_str()), kxp::ERR_PATH_NOT_FOUND);
    EXPECT_EQ(kxp::copy_file(At("p").c_str(), At("q").c_str(), kxp::ExistingFile::Keep),
              kxp::ERR_ACCESS_DENIED);
}

}  // namespace
