// Files: copying a tree of 5,000 small files in 200 folders against `cp -r`,
// reading the lines of a 100 MB text file against std::getline into a vector
// of strings, and a deletion whose exclusion list names every file of a folder,
// for folders of 2,000 and 16,000 files. The data are generated under the
// build tree and removed afterwards; the ratios are printed after the runs.
#include <benchmark/benchmark.h>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <zuvuvur/zuvuvur.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "ratios.h"

namespace fs = std::filesystem;

namespace {

const fs::path kScratch = fs::path(KX_BENCH_SCRATCH) / "files";
const fs::path kTree = kScratch / "tree";
const fs::path kCopy = kScratch / "copy";
const fs::path kText = kScratch / "lines.txt";
const fs::path kCrowd = kScratch / "crowd";

std::string LibPath(const fs::path& p) {
    std::string text = p.string();
    for (char& c : text)
        if (c == '/') c = '\\';
    return text;
}

// 20 groups of 10 folders, 25 files of 100 to 4,000 bytes in each folder.
void MakeTree() {
    std::mt19937 random(6);
    std::uniform_int_distribution<int> size(100, 4000);
    for (int g = 0; g < 20; ++g)
        for (int d = 0; d < 10; ++d) {
            fs::path folder = kTree / ("group" + std::to_string(g)) / ("dir" + std::to_string(d));
            fs::create_directories(folder);
            for (int f = 0; f < 25; ++f)
                std::ofstream(folder / ("file" + std::to_string(f) + ".dat"), std::ios::binary)
                    << std::string(static_cast<std::size_t>(size(random)), 'a' + f % 26);
        }
}

// About 100 MB of lines of 0 to 120 printable bytes, LF-terminated.
void MakeText() {
    std::mt19937 random(62);
    std::uniform_int_distribution<int> length(0, 120);
    std::ofstream out(kText, std::ios::binary);
    std::string line;
    for (std::size_t written = 0; written < 100u * 1000 * 1000;) {
        line.assign(static_cast<std::size_t>(length(random)), 'x');
        for (std::size_t i = 0; i < line.size(); i += 7) line[i] = ' ';
        line += '\n';
        out << line;
        written += line.size();
    }
}

void BM_CopyTree_Library(benchmark::State& state) {
    std::string from = LibPath(kTree), to = LibPath(kCopy);
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove_all(kCopy);
        state.ResumeTiming();
        if (kxuCopyDirectory(from.c_str(), to.c_str(), 1, nullptr, nullptr, 1) != 1)
            state.SkipWithError("copy failed");
    }
}

void BM_CopyTree_CpR(benchmark::State& state) {
    std::string command = "cp -r '" + kTree.string() + "' '" + kCopy.string() + "'";
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove_all(kCopy);
        state.ResumeTiming();
        if (std::system(command.c_str()) != 0) state.SkipWithError("cp failed");
    }
}

// Times `work` in a forked child, which starts from the parent's heap as it
// is. Run in this process, the readers shaped the heap for each other: glibc's
// malloc adapts its trim and mmap thresholds to the blocks it has seen, and
// the 1.6 million lines made whichever reader ran second markedly faster.
template <class Work>
double SecondsInChild(Work work) {
    int fds[2];
    if (pipe(fds) != 0) return -1;
    pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        auto start = std::chrono::steady_clock::now();
        work();
        double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        ssize_t ignored = write(fds[1], &seconds, sizeof seconds);
        (void)ignored;
        _exit(0);
    }
    close(fds[1]);
    double seconds = -1;
    if (child < 0 || read(fds[0], &seconds, sizeof seconds) != sizeof seconds) seconds = -1;
    close(fds[0]);
    if (child > 0) waitpid(child, nullptr, 0);
    return seconds;
}

template <class Work>
void TimeEachInChild(benchmark::State& state, Work work) {
    for (auto _ : state) {
        double seconds = SecondsInChild(work);
        if (seconds < 0) state.SkipWithError("the child did not report");
        state.SetIterationTime(seconds);
    }
}

void BM_Lines_Library(benchmark::State& state) {
    std::string path = LibPath(kText);
    TimeEachInChild(state, [&path] {
        CStringArray lines;
        benchmark::DoNotOptimize(kxuReadTextFileLines(path.c_str(), &lines, 0));
    });
}

void BM_Lines_Getline(benchmark::State& state) {
    TimeEachInChild(state, [] {
        std::ifstream in(kText, std::ios::binary);
        std::vector<std::string> lines;
        std::string line;
        while (std::getline(in, line)) lines.push_back(line);
        benchmark::DoNotOptimize(lines.data());
    });
}

// n empty files, each named in the exclusion list in upper case, among as many
// names of files that are not there: the deletion deletes nothing and looks up
// every file in the list, so its time shows how the lookups grow. The floor is
// what any way must do, and what the file system's own growth is: reading the
// folder and each entry's attributes (readdir and fstatat, as the search does).
void BM_DeleteAllExcluded(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const fs::path folder = kCrowd / std::to_string(n);
    fs::create_directories(folder);
    CStringArray excluded;
    for (int i = 0; i < n; ++i) {
        std::ofstream(folder / ("file" + std::to_string(i) + ".txt"));
        excluded.Add(("FILE" + std::to_string(i) + ".TXT").c_str());
        excluded.Add(("gone" + std::to_string(i) + ".txt").c_str());
    }
    if (state.range(1) == 1) {
        for (auto _ : state) {
            DIR* dir = opendir(folder.c_str());
            int files = 0;
            struct stat st {};
            while (const dirent* d = readdir(dir))
                files += fstatat(dirfd(dir), d->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0;
            closedir(dir);
            benchmark::DoNotOptimize(files);
        }
        return;
    }
    const std::string path = LibPath(folder);
    for (auto _ : state)
        if (kxuDelFiles(path.c_str(), "*.*", &excluded) != 0) state.SkipWithError("deleted");
}

BENCHMARK(BM_CopyTree_Library)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);
BENCHMARK(BM_CopyTree_CpR)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);
BENCHMARK(BM_Lines_Library)->Unit(benchmark::kMillisecond)->UseManualTime()->MinTime(1.0);
BENCHMARK(BM_Lines_Getline)->Unit(benchmark::kMillisecond)->UseManualTime()->MinTime(1.0);
BENCHMARK(BM_DeleteAllExcluded)
    ->ArgNames({"files", "floor"})
    ->ArgsProduct({{2000, 16000}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    fs::remove_all(kScratch);
    fs::create_directories(kScratch);
    MakeTree();
    MakeText();
    // The copies and the readings run in child processes (see TimeEachInChild), so the
    // figures are real time.
    RatioReporter reporter(RatioReporter::Clock::Real);
    reporter.Ratio("BM_CopyTree_Library", "BM_CopyTree_CpR", 1.2, RatioReporter::Kind::Target);
    reporter.Ratio("BM_Lines_Library", "BM_Lines_Getline", 1.2, RatioReporter::Kind::Target);
    const int result = reporter.Measure();
    const std::string deletion = "BM_DeleteAllExcluded/files:";
    const double small = reporter.Seconds(deletion + "2000/floor:0");
    const double floorSmall = reporter.Seconds(deletion + "2000/floor:1");
    if (small > 0 && floorSmall > 0)
        std::printf("growth deletion, all excluded  %.2fx for 8x the files; the floor %.2fx\n",
                    reporter.Seconds(deletion + "16000/floor:0") / small,
                    reporter.Seconds(deletion + "16000/floor:1") / floorSmall);
    fs::remove_all(kScratch);
    benchmark::Shutdown();
    return result;
}
