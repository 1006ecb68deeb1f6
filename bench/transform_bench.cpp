// Keyword replacement and wrapping on 1 MB and 10 MB texts. Both must stay
// linear: the 10 MB run should take about ten times the 1 MB run (at most
// twelve). Beside them, a one-pass std::string find-and-build replacement and
// a plain copy of the text give the scale.
#include <benchmark/benchmark.h>

#include <zuvuvur/zuvuvur.h>

#include <cctype>
#include <cstdio>
#include <map>
#include <string>

namespace {

constexpr int kMB = 1 << 20;

// "and" once every 20 bytes, words separated by spaces.
const std::string& Text(int megabytes) {
    static std::map<int, std::string> texts;
    std::string& text = texts[megabytes];
    if (text.empty()) {
        const std::string unit = "lorem ipsum and dol ";
        text.reserve(static_cast<std::size_t>(megabytes) * kMB);
        while (text.size() + unit.size() <= static_cast<std::size_t>(megabytes) * kMB) text += unit;
    }
    return text;
}

void KeywordReplace(benchmark::State& state) {
    const std::string& source = Text(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        CString text(source.c_str());
        state.ResumeTiming();
        benchmark::DoNotOptimize(kxu_keyword_replace(&text, "and", "&&", false));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<long long>(source.size()));
}

// The same replacement with the letter case ignored: the search must skip ahead
// from candidate to candidate as the exact one does, not compare at every byte.
void KeywordReplaceIgnoringCase(benchmark::State& state) {
    const std::string& source = Text(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        CString text(source.c_str());
        state.ResumeTiming();
        benchmark::DoNotOptimize(kxu_keyword_replace(&text, "AND", "&&", true));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<long long>(source.size()));
}

// The same job done plainly: find, test the neighbours, build the result.
void BaselineReplace(benchmark::State& state) {
    const std::string& source = Text(static_cast<int>(state.range(0)));
    const std::string keyword = "and";
    auto word = [](unsigned char c) { return std::isalnum(c) != 0 || c == '_'; };
    for (auto _ : state) {
        std::string out;
        out.reserve(source.size());
        std::size_t copied = 0;
        for (std::size_t p = source.find(keyword); p != std::string::npos;
             p = source.find(keyword, p + keyword.size())) {
            const unsigned char before = p > 0 ? source[p - 1] : 0;
            const unsigned char after =
                p + keyword.size() < source.size() ? source[p + keyword.size()] : 0;
            if (word(before) || word(after)) continue;
            out.append(source, copied, p - copied);
            out += "&&";
            copied = p + keyword.size();
        }
        out.append(source, copied);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<long long>(source.size()));
}

void Wrap(benchmark::State& state) {
    const std::string& source = Text(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        CString text(source.c_str());
        state.ResumeTiming();
        benchmark::DoNotOptimize(kxu_wrap_text(&text, 72, 0));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<long long>(source.size()));
}

void BaselineCopy(benchmark::State& state) {
    const std::string& source = Text(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::string copy = source;
        benchmark::DoNotOptimize(copy.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<long long>(source.size()));
}

// Three runs each; the ratios use the medians of CPU time, which the other
// programs sharing the machine disturb far less than wall time.
BENCHMARK(KeywordReplace)->Arg(1)->Arg(10)->Repetitions(3)->Unit(benchmark::kMillisecond);
BENCHMARK(KeywordReplaceIgnoringCase)
    ->Arg(1)
    ->Arg(10)
    ->Repetitions(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BaselineReplace)->Arg(1)->Arg(10)->Repetitions(3)->Unit(benchmark::kMillisecond);
BENCHMARK(Wrap)->Arg(1)->Arg(10)->Repetitions(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BaselineCopy)->Arg(1)->Arg(10)->Repetitions(3)->Unit(benchmark::kMillisecond);

// Keeps each median so the ratios can be printed after the table.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (!run.error_occurred && run.run_type == Run::RT_Aggregate &&
                run.aggregate_name == "median")
                medians_[run.run_name.function_name + "/" + run.run_name.args] =
                    run.GetAdjustedCPUTime();
        ConsoleReporter::ReportRuns(runs);
    }
    double Median(const std::string& name) const {
        auto it = medians_.find(name);
        return it == medians_.end() ? 0.0 : it->second;
    }

  private:
    std::map<std::string, double> medians_;
};

void PrintRatio(const char* label, double numerator, double denominator) {
    if (numerator > 0 && denominator > 0)
        std::printf("%-52s %6.2f\n", label, numerator / denominator);
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto t = [&reporter](const char* name) { return reporter.Median(name); };
    std::printf("\nmedian CPU time ratios\n");
    PrintRatio("keyword replace 10MB / 1MB (linear: ~10, at most 12)", t("KeywordReplace/10"),
               t("KeywordReplace/1"));
    PrintRatio("wrap 10MB / 1MB (linear: ~10, at most 12)", t("Wrap/10"), t("Wrap/1"));
    // The baselines are linear by construction; their own 10MB / 1MB ratios
    // show what the memory hierarchy adds once 10 MB no longer fits in cache.
    PrintRatio("  std::string replace baseline 10MB / 1MB", t("BaselineReplace/10"),
               t("BaselineReplace/1"));
    PrintRatio("  plain copy 10MB / 1MB", t("BaselineCopy/10"), t("BaselineCopy/1"));
    // Growth beside the one-pass baseline's: about 1 or below is linear.
    if (t("BaselineReplace/1") > 0 && t("BaselineReplace/10") > 0) {
        const double baselineGrowth = t("BaselineReplace/10") / t("BaselineReplace/1");
        PrintRatio("keyword replace growth / baseline growth", t("KeywordReplace/10"),
                   t("KeywordReplace/1") * baselineGrowth);
        PrintRatio("wrap growth / baseline growth", t("Wrap/10"), t("Wrap/1") * baselineGrowth);
    }
    PrintRatio("keyword replace / std::string baseline, 1MB (target 1.5)", t("KeywordReplace/1"),
               t("BaselineReplace/1"));
    PrintRatio("keyword replace / std::string baseline, 10MB (target 1.5)", t("KeywordReplace/10"),
               t("BaselineReplace/10"));
    PrintRatio("keyword replace ignoring case / std::string baseline with case, 10MB (target 2)",
               t("KeywordReplaceIgnoringCase/10"), t("BaselineReplace/10"));
    PrintRatio("wrap / plain copy of the text, 10MB", t("Wrap/10"), t("BaselineCopy/10"));
    benchmark::Shutdown();
    return 0;
}
