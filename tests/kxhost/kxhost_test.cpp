// The reference host end to end: kxhost run from a shell, as a user runs it,
// its exit status, standard output and standard error checked row by row.
#include <cstdlib>
#if !defined(_WIN32)
#include <sys/wait.h>
#endif

#include "files/scratch.h"
#include "kxplatform.h"

namespace {

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
     "name\tcity\tnote\tscores\nAda\tLondon, UK\tsays "
     "\"hi\"\t(3,4)\nBob\tParis\t\t<1,2>\n"
     "Chloe\t\ta \"quoted\" word\t7\n"},
    // The shipped catalog, and the box's default button (the second) as the
    // answer.
    {{"msgbox", "15001", "--str", "a.txt", "--type", "MB_YESNO|MB_DEFBUTTON2"},
     "ERR0015001: Cannot open a.txt\n  YES  [NO]\nanswer: IDNO (7)\n"},
    // An argument in brackets is one value as written, never a list.
    {{"sort", "--", "3", "[1,2]"}, "", "not a double: [1,2]"},
    {{"sort", "--type", "char", "--", "300"}, "", "not a char: 300"},  // out of range
    // Numbers as the numeric sort reads them.
    {{"sort", "--missing", "largest", "3", "NANUM", "1"}, "1\n3\nNANUM\n"},
    {{"sort", "--", "+9", "1E400", "-1e400", ".5e-1"}, "-inf\n0.05\n9\ninf\n"},
    {{"lines", "{dir}/bytes.txt"}, std::string("a\0b\nc\n", 6)},  // whole, NUL bytes and all
    // A cell past 40 bytes widens its column to 40 only: one long cell does not pad every row.
    {{"csv", "--file", "{dir}/wide.csv"},
     std::string(45, 'x') + "  y\n" + "a" + std::string(41, ' ') + "b\n"},
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
    // No argument here holds a quote: each is kept whole by enclosing it.
#if defined(_WIN32)
    const std::string quote = "\"";
    host += ".exe";
    // The shell parses Windows paths only; wine's drive Z: is the root here.
    std::replace(samples.begin(), samples.end(), '/', '\\');
    samples = "Z:" + samples;
#else
    const std::string quote = "'";
#endif
    auto q = [&](const fs::path& text) { return quote + text.string() + quote; };
    Write("bytes.txt", std::string("a\0b\nc\n", 6));
    Write("wide.csv", std::string(45, 'x') + ",y\na,b\n");
    Write("stdin", "");
    for (const Row& row : kRows) {
        std::string line = q(host);
        for (std::string arg : row.args) {
            if (arg.rfind("{dir}", 0) == 0) arg = root_.string() + arg.substr(5);
            if (arg.rfind("{samples}", 0) == 0) arg = samples + arg.substr(9);
            line += ' ' + q(arg);
        }
        line += " <" + q(At("stdin")) + " >" + q(At("stdout")) + " 2>" + q(At("stderr"));
        SCOPED_TRACE(line);
#if defined(_WIN32)
        const int code = std::system((quote + line + quote).c_str());  // cmd drops the outer pair
#else
        const int status = std::system(line.c_str());
        const int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
        std::string out = Read("stdout"), err = Read("stderr");
        std::erase(out, '\r');  // text mode on Windows
        std::erase(err, '\r');
        EXPECT_EQ(code != 0, row.error != nullptr);
        EXPECT_TRUE(row.error ? err.find(row.error) != std::string::npos : err.empty()) << err;
        if (row.out[0] == '*')
            EXPECT_TRUE(kxp::name_matches(row.out.c_str(), out.c_str())) << out;
        else
            EXPECT_EQ(out, row.out);
    }
}

}  // namespace
