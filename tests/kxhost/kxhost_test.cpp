// The reference host end to end: kxhost run as a program, as a user runs it,
// its exit status, standard output and standard error checked row by row.
#include <vector>

#include "files/scratch.h"
#include "kxplatform.h"

#include <fcntl.h>

#include <cstdio>
#if defined(_WIN32)
#include <io.h>
#include <process.h>
#else
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

namespace {

struct Result {
    int code = -1;
    std::string out, err;
};

// Runs the host with this program's standard streams turned to files of
// `dir` for the time, which the host inherits.
Result RunHost(const std::string& host, const std::vector<std::string>& args, const fs::path& dir) {
    std::fflush(stdout);
    std::fflush(stderr);
    int saved[3];
    for (int fd : {0, 1, 2}) {
        const fs::path file = dir / (fd == 0 ? "stdin" : fd == 1 ? "stdout" : "stderr");
        const int opened =
            open(file.string().c_str(), fd == 0 ? O_RDONLY : O_WRONLY | O_CREAT | O_TRUNC, 0600);
        saved[fd] = dup(fd);
        dup2(opened, fd);
        close(opened);
    }
    std::vector<std::string> words{host};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    Result r;
#if defined(_WIN32)
    // The C runtime joins the arguments with blanks; no argument here holds a
    // quote or ends in a backslash, so quotes keep each one whole.
    for (std::string& word : words) argv.push_back((word = '"' + word + '"').data());
    argv.push_back(nullptr);
    r.code = static_cast<int>(_spawnv(_P_WAIT, host.c_str(), argv.data()));
#else
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    pid_t pid;
    int status = -1;
    if (posix_spawn(&pid, host.c_str(), nullptr, nullptr, argv.data(), environ) == 0)
        waitpid(pid, &status, 0);
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
    for (int fd : {0, 1, 2}) dup2(saved[fd], fd), close(saved[fd]);
    for (auto [name, text] : {std::pair{"stdout", &r.out}, {"stderr", &r.err}}) {
        std::ifstream in(dir / name, std::ios::binary);
        for (char c; in.get(c);)
            if (c != '\r') *text += c;  // the host writes its lines in text mode
    }
    return r;
}

// One run: the arguments ("{dir}" stands for the scratch folder, "{samples}"
// for samples/), and what it must give: the whole standard output (as a
// pattern when it starts with '*'), or, for a failure, a non-zero exit and a
// piece of what standard error says. A run that works writes nothing there.
struct Row {
    std::vector<std::string> args;
    std::string out;
    const char* error = nullptr;
};

const Row kRows[] = {
    {{"split", "--by", ", ", "a, b, c"}, "a\nb\nc\n"},
    {{"csv", "--tsv", "--file", "{samples}/people.csv"},
     "name\tcity\tnote\tscores\nAda\tLondon, UK\tsays \"hi\"\t(3,4)\nBob\tParis\t\t<1,2>\n"
     "Chloe\t\ta \"quoted\" word\t7\n"},
    {{"expr", "a=1 and b<>2 or not c"}, "a==1 && b<>2 || ! c\n"},
    {{"relpath", "C:\\a\\b\\x.txt", "C:\\a\\c\\y.txt"}, "..\\c\\y.txt\n"},
#if defined(_WIN32)
    // Wine's shell items read no property (E_NOTIMPL, seen with wine 8): each
    // line is the failed read's code.
    {{"props", "{samples}\\report.txt"},
     "*report.txt\n  title: (15057 *\n*  modified: (15060 cannot be read as a file time)\n"},
#else
    {{"props", "{samples}/report.txt"},
     "*report.txt\n  title: (15061 not set)\n*  modified: *-*-*T*:*:*Z\n"},
#endif
    // The shipped catalog, and the box's default button (the second) as the answer.
    {{"msgbox", "15001", "--str", "a.txt", "--type", "MB_YESNO|MB_DEFBUTTON2"},
     "ERR0015001: Cannot open a.txt\n  YES  [NO]\nanswer: IDNO (7)\n"},
    // An argument in brackets is one value as written, never a list.
    {{"join", "--with", "+", "--", "[RFC1234]", "x"}, "[RFC1234]+x\n"},
    {{"sort", "--", "3", "[1,2]"}, "", "not a double: [1,2]"},
    // Numbers as the numeric sort reads them; places count every line.
    {{"sort", "--missing", "largest", "3", "NANUM", "1"}, "1\n3\nNANUM\n"},
    {{"sort", "--", "+9", "1E400", "-1e400", ".5e-1"}, "-inf\n0.05\n9\ninf\n"},
    {{"sort", "--index", "--", "3", "", "1"}, "2\t1\n0\t3\n"},
    {{"reorder", "--order", "1,0", "a", "b"}, "b\na\n"},
    {{"lines", "{dir}/bytes.txt"}, std::string("a\0b\nc\n", 6)},  // whole, NUL bytes and all
    {{"freq", "{samples}/list.txt"}, "      1 alpha, beta, gamma\n"},
    {{"copy-dir", "{dir}/none", "{dir}/copy"}, "", "no such folder"},
    // An empty folder would be the root: a shell variable left unset.
    {{"delete", "", "kxhost-test-none"}, "", "empty folder"},
};

class KxHost : public ScratchTest {};

TEST_F(KxHost, Rows) {
    const std::string self = kxp::module_path(kxp::executable_module());
    std::string host = self.substr(0, self.find_last_of("/\\") + 1) + "kxhost";
    std::string samples = KX_SAMPLES_DIR;
#if defined(_WIN32)
    host += ".exe";
    // The shell parses Windows paths only; wine's drive Z: is the root here.
    std::replace(samples.begin(), samples.end(), '/', '\\');
    samples = "Z:" + samples;
#endif
    Write("bytes.txt", std::string("a\0b\nc\n", 6));
    Write("stdin", "");
    for (const Row& row : kRows) {
        std::vector<std::string> args;
        std::string shown = "kxhost";
        for (std::string arg : row.args) {
            if (arg.rfind("{dir}", 0) == 0) arg = root_.string() + arg.substr(5);
            if (arg.rfind("{samples}", 0) == 0) arg = samples + arg.substr(9);
            args.push_back(arg);
            shown += " '" + arg + "'";
        }
        SCOPED_TRACE(shown);
        const Result r = RunHost(host, args, root_);
        EXPECT_EQ(r.code != 0, row.error != nullptr);
        EXPECT_TRUE(row.error ? r.err.find(row.error) != std::string::npos : r.err.empty())
            << r.err;
        if (row.out[0] == '*')
            EXPECT_TRUE(kxp::name_matches(row.out.c_str(), r.out.c_str())) << r.out;
        else
            EXPECT_EQ(r.out, row.out);
    }
}

}  // namespace
