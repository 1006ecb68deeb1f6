// CSV lines into cells: kxutilsTokenizeOneCSVLine against a plain split of the
// same lines into std::vector<std::string> at every comma, in the same run.
//
// The input is generated: 200,000 lines of 10 cells, a fifth of them quoted and
// some of those holding commas and doubled quotes. The library fills one array
// line after line, as a script reading a file does, and so does the plain split:
// one vector, cleared and filled again for every line, so both reuse what they
// allocated for the line before. The program ends with its time over the
// plain split's against the target (at most 1: the library no slower), both
// throughputs, and the time ratios of lines 100 times longer (about 100 when
// the cost is linear).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <zuvuvur/zuvuvur.h>

#include "ratios.h"

namespace {

// A small fixed generator, so every run sees the same text.
class Dice {
  public:
    std::uint32_t Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    std::uint32_t Below(std::uint32_t n) { return Next() % n; }

  private:
    std::uint32_t state_ = 2463534242u;
};

std::string MakeCell(Dice& dice) {
    static const char* const kWords[] = {"alpha", "17",   "beta gamma", "3.25",    "x",
                                         "delta", "1e-3", "",           "epsilon", "-42"};
    std::string cell = kWords[dice.Below(10)];
    if (dice.Below(5) != 0) return cell;  // four in five plain
    switch (dice.Below(3)) {
        case 0:
            return "\"" + cell + "\"";
        case 1:
            return "\"" + cell + ", " + kWords[dice.Below(10)] + "\"";
        default:
            return "\"say \"\"" + cell + "\"\"\"";
    }
}

std::string MakeLine(Dice& dice, int cells) {
    std::string line;
    for (int i = 0; i < cells; ++i) {
        if (i > 0) line += ',';
        line += MakeCell(dice);
    }
    return line;
}

const std::vector<std::string>& Lines() {
    static const std::vector<std::string> lines = [] {
        Dice dice;
        std::vector<std::string> out;
        out.reserve(200000);
        for (int i = 0; i < 200000; ++i) out.push_back(MakeLine(dice, 10));
        return out;
    }();
    return lines;
}

std::int64_t TotalBytes(const std::vector<std::string>& lines) {
    std::int64_t total = 0;
    for (const auto& line : lines) total += static_cast<std::int64_t>(line.size());
    return total;
}

// The baseline: every comma cuts, nothing else is looked at.
void PlainSplit(const std::string& line, std::vector<std::string>& cells) {
    cells.clear();
    std::size_t start = 0;
    for (std::size_t comma = line.find(','); comma != std::string::npos;
         comma = line.find(',', start)) {
        cells.emplace_back(line, start, comma - start);
        start = comma + 1;
    }
    cells.emplace_back(line, start);
}

void BM_TokenizeOneCSVLine(benchmark::State& state) {
    const auto& lines = Lines();
    CStringArray cells;
    for (auto _ : state) {
        std::int64_t count = 0;
        for (const auto& line : lines) count += kxutilsTokenizeOneCSVLine(line.c_str(), &cells);
        benchmark::DoNotOptimize(count);
    }
    state.SetBytesProcessed(state.iterations() * TotalBytes(lines));
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(lines.size()));
}

void BM_PlainSplit(benchmark::State& state) {
    const auto& lines = Lines();
    std::vector<std::string> cells;
    for (auto _ : state) {
        std::int64_t count = 0;
        for (const auto& line : lines) {
            PlainSplit(line, cells);
            count += static_cast<std::int64_t>(cells.size());
            benchmark::DoNotOptimize(cells.data());
        }
        benchmark::DoNotOptimize(count);
    }
    state.SetBytesProcessed(state.iterations() * TotalBytes(lines));
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(lines.size()));
}

void BM_LongLine(benchmark::State& state) {
    Dice dice;
    const std::string line = MakeLine(dice, static_cast<int>(state.range(0)));
    CStringArray cells;
    for (auto _ : state) benchmark::DoNotOptimize(kxutilsTokenizeOneCSVLine(line.c_str(), &cells));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(line.size()));
}

// Each runs five times and the ratios take the least CPU time of the five: on a
// shared machine that is the run the neighbours disturbed least.
BENCHMARK(BM_TokenizeOneCSVLine)->Repetitions(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainSplit)->Repetitions(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LongLine)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Repetitions(5)
    ->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    reporter.Ratio("BM_TokenizeOneCSVLine", "BM_PlainSplit", 1.0, RatioReporter::Kind::Target);
    const int result = reporter.Measure();
    benchmark::Shutdown();

    const double ours = reporter.Seconds("BM_TokenizeOneCSVLine");
    const double plain = reporter.Seconds("BM_PlainSplit");
    if (ours > 0 && plain > 0) {
        const double megabytes = static_cast<double>(TotalBytes(Lines())) / 1e6;
        std::printf("throughput  kxutilsTokenizeOneCSVLine %.1f MB/s, plain split %.1f MB/s\n",
                    megabytes / ours, megabytes / plain);
    }
    // A 1,000-cell line and its strings stay in the fastest caches and a longer
    // one does not, so the second ratio, between two lines that both leave
    // them, shows the growth with length alone.
    const struct {
        const char* large;
        const char* small;
        const char* label;
    } scalings[] = {
        {"BM_LongLine/100000", "BM_LongLine/1000", "100,000-cell line / 1,000-cell line"},
        {"BM_LongLine/1000000", "BM_LongLine/10000", "1,000,000-cell line / 10,000-cell line"},
    };
    for (const auto& scaling : scalings) {
        const double large = reporter.Seconds(scaling.large);
        const double small = reporter.Seconds(scaling.small);
        if (small > 0 && large > 0)
            std::printf("scaling     %s: %.1f (linear: about 100)\n", scaling.label, large / small);
    }
    return result;
}
