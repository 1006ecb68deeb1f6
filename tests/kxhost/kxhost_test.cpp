// The reference host end to end: kxhost run as a program, as a user runs it,
// its exit status, standard output and standard error checked row by row.
#include <vector>

#include "files/scratch.h"
#include "kxplatform.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
extern char** environ;
#endif

namespace {

struct Result {
    int code = -1;
    std::string out, err;
};

std::string Slurp(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

#if defined(_WIN32)
// An argument as the C runtime splits a command line back into arguments.
std::string Quote(const std::string& arg) {
    if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) return arg;
    std::string out = "\"";
    std::size_t slashes = 0;
    for (char c : arg) {
        if (c == '\\') {
            ++slashes;
            continue;
        }
        out.append(c == '"' ? 2 * slashes + 1 : slashes, '\\');
        out += c;
        slashes = 0;
    }
    return out.append(2 * slashes, '\\') + '"';
}

// Standard output in text mode ends its lines with CR LF.
std::string Unix(std::string text) {
    for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;) text.erase(at, 1);
    return text;
}

Result RunHost(const std::string& host, const std::vector<std::string>& args, const fs::path& dir) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    auto open = [&](const char* name, DWORD access, DWORD how) {
        return CreateFileA((dir / name).string().c_str(), access, FILE_SHARE_READ, &inherit, how,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    };
    STARTUPINFOA start{};
    start.cb = sizeof start;
    start.dwFlags = STARTF_USESTDHANDLES;
    start.hStdInput = open("stdin", GENERIC_READ, OPEN_EXISTING);
    start.hStdOutput = open("stdout", GENERIC_WRITE, CREATE_ALWAYS);
    start.hStdError = open("stderr", GENERIC_WRITE, CREATE_ALWAYS);
    std::string line = Quote(host);
    for (const std::string& arg : args) line += ' ' + Quote(arg);
    PROCESS_INFORMATION process{};
    DWORD code = static_cast<DWORD>(-1);
    if (CreateProcessA(host.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                       &start, &process)) {
        WaitForSingleObject(process.hProcess, INFINITE);
        GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    for (HANDLE h : {start.hStdInput, start.hStdOutput, start.hStdError}) CloseHandle(h);
    return {static_cast<int>(code), Unix(Slurp(dir / "stdout")), Unix(Slurp(dir / "stderr"))};
}
#else
Result RunHost(const std::string& host, const std::vector<std::string>& args, const fs::path& dir) {
    std::vector<std::string> words{host};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 0, (dir / "stdin").c_str(), O_RDONLY, 0);
    for (int fd : {1, 2})
        posix_spawn_file_actions_addopen(&files, fd,
                                         (dir / (fd == 1 ? "stdout" : "stderr")).c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid;
    int status = -1;
    if (posix_spawn(&pid, host.c_str(), &files, nullptr, argv.data(), environ) == 0)
        waitpid(pid, &status, 0);
    posix_spawn_file_actions_destroy(&files);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(dir / "stdout"),
            Slurp(dir / "stderr")};
}
#endif

// One run: the arguments ("{dir}" stands for the scratch folder, "{samples}"
// for samples/), and what it must give. A failing run exits non-zero and says
// why on standard error; a run that works writes nothing there.
struct Row {
    std::vector<std::string> args;
    std::string
        out;  // the whole standard output; with `pattern`, * and ? stand for any text and any byte
    const char* error = nullptr;  // a failure, and a piece of its message
    bool pattern = false;
};

#if defined(_WIN32)
constexpr const char* kHostFile = "kxhost.exe";
// The shell parses Windows paths only (wine's drive Z: is the root here), and
// wine's shell items read no property (E_NOTIMPL, seen with wine 8): each
// line is the failed read's code.
const Row kProps{
    {"props", "{samples}\\report.txt"},
    "*report.txt\n  title: (15057 *\n*  modified: (15060 cannot be read as a file time)\n",
    nullptr,
    true};
#else
constexpr const char* kHostFile = "kxhost";
const Row kProps{{"props", "{samples}/report.txt"},
                 "*report.txt\n  title: (15061 not set)\n*  modified: *-*-*T*:*:*Z\n",
                 nullptr,
                 true};
#endif
// The same file named with the library's backslashes, as a script builds its paths.
const Row kPropsBackslashes{{"props", "{samples\\}\\report.txt"}, kProps.out, nullptr, true};

// The row's spelling of a path made real.
std::string Expand(const std::string& arg, const fs::path& dir) {
    if (arg.rfind("{dir}", 0) == 0) return dir.string() + arg.substr(5);
    std::string samples = KX_SAMPLES_DIR;
    if (arg.rfind("{samples\\}", 0) == 0) {  // with backslashes
        std::replace(samples.begin(), samples.end(), '/', '\\');
        return samples + arg.substr(10);
    }
    if (arg.rfind("{samples}", 0) != 0) return arg;
#if defined(_WIN32)
    std::replace(samples.begin(), samples.end(), '/', '\\');
    samples = "Z:" + samples;
#endif
    return samples + arg.substr(9);
}

const Row kRows[] = {
    {{"split", "--by", ", ", "a, b, c"}, "a\nb\nc\n"},
    {{"csv", "--tsv", "--file", "{samples}/people.csv"},
     "name\tcity\tnote\tscores\nAda\tLondon, UK\tsays \"hi\"\t(3,4)\nBob\tParis\t\t<1,2>\n"
     "Chloe\t\ta \"quoted\" word\t7\n"},
    {{"expr", "a=1 and b<>2 or not c"}, "a==1 && b<>2 || ! c\n"},
    {{"relpath", "C:\\a\\b\\x.txt", "C:\\a\\c\\y.txt"}, "..\\c\\y.txt\n"},
    kProps,
#if !defined(_WIN32)
    kPropsBackslashes,
#endif
    // The shipped catalog: the texts a script shows, not the tests' fixtures.
    {{"msg", "15001", "--str", "a.txt"}, "ERR0015001: Cannot open a.txt\n"},
    {{"msg", "101", "--str", "x", "--int", "3"}, "", "message 101 cannot be loaded"},
    // An argument in brackets is one value as written, never a list.
    {{"join", "--with", "+", "--", "[RFC1234]", "x"}, "[RFC1234]+x\n"},
    {{"sort", "--", "3", "[1,2]"}, "", "not a double: [1,2]"},
    // Numbers as the numeric sort reads them; places count every line.
    {{"sort", "--missing", "largest", "3", "NANUM", "1"}, "1\n3\nNANUM\n"},
    {{"sort", "--", "+9", "1E400", "-1e400", ".5e-1"}, "-inf\n0.05\n9\ninf\n"},
    {{"sort", "--index", "--", "3", "", "1"}, "2\t1\n0\t3\n"},
    {{"reorder", "--order", "1,0", "a", "b"}, "b\na\n"},
    {{"reorder", "--order", "1x", "a", "b"}, "", "not a number: 1x"},
    // Lines whole, NUL bytes and all.
    {{"lines", "{dir}/bytes.txt"}, std::string("a\0b\nc\n", 6)},
    // Every failure says what failed.
    {{"freq", "{samples}/list.txt"}, "      1 alpha, beta, gamma\n"},
    {{"freq", "{dir}"}, "", "cannot read"},
#if defined(__linux__)
    {{"csv", "--file", "/proc/self/mem"}, "", "cannot read /proc/self/mem"},
#endif
    {{"copy-dir", "{dir}/none", "{dir}/copy"}, "", "no such folder"},
    {{"copy-dir", "{dir}/bytes.txt", "{dir}/copy"}, "", "not a folder"},
    {{"copy-dir", "{dir}", "{dir}/none/copy"}, "", "cannot create the folder"},
    {{"copy-dir", "{dir}", "{dir}/blocked"}, "", "could not be copied into"},
    // An empty folder would be the root: a shell variable left unset. (Should
    // the host let them through, these touch nothing there.)
    {{"delete", "", "kxhost-test-none"}, "", "empty folder"},
    {{"copy-dir", "{dir}/empty", ""}, "", "empty folder"},
    {{"copy-dir", "", "{dir}/copy"}, "", "empty folder"},
};

class KxHost : public ScratchTest {};

TEST_F(KxHost, Rows) {
    const std::string self = kxp::module_path(kxp::executable_module());
    const std::string host = self.substr(0, self.find_last_of("/\\") + 1) + kHostFile;
    Write("bytes.txt", std::string("a\0b\nc\n", 6));
    Write("stdin", "");
    fs::create_directory(At("empty"));
    fs::create_directories(At("blocked/bytes.txt"));  // no file can take its place
    for (const Row& row : kRows) {
        std::vector<std::string> args;
        std::string shown;
        for (const std::string& arg : row.args) {
            args.push_back(Expand(arg, root_));
            shown += " '" + args.back() + "'";
        }
        SCOPED_TRACE("kxhost" + shown);
        const Result r = RunHost(host, args, root_);
        if (row.error) {
            EXPECT_NE(r.code, 0);
            EXPECT_NE(r.err.find(row.error), std::string::npos) << r.err;
        } else {
            EXPECT_EQ(r.code, 0);
            EXPECT_EQ(r.err, "");
        }
        if (row.pattern)
            EXPECT_TRUE(kxp::name_matches(row.out.c_str(), r.out.c_str())) << r.out;
        else
            EXPECT_EQ(r.out, row.out);
    }
}

}  // namespace
