// Keyword replacement and wrapping on 1 MB and 10 MB texts. Both must stay
// linear: from 1 MB to 10 MB each grows as a one-pass std::string
// find-and-build replacement of the same texts grows (at most 1.5 times as
// much). That replacement is also the baseline of the speed targets, and a
// plain copy of the text gives the scale.
#include <benchmark/benchmark.h>

#include <zuvuvur/zuvuvur.h>

#include <cctype>
#include <cstdio>
#include <map>
#include <string>

#include "ratios.h"

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

// Three runs each; the ratios use the least CPU time of the three.
BENCHMARK(KeywordReplace)->Arg(1)->Arg(10)->Repetitions(3)->Unit(benchmark::kMillisecond);
BENCHMARK(KeywordReplaceIgnoringCase)
    ->Arg(1)
    ->Arg(10)
    ->Repetitions(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BaselineReplace)->Arg(1)->Arg(10)->Repetitions(3)->Unit(benchmark::kMillisecond);
BENCHMARK(Wrap)->Arg(1)->Arg(10)->Repetitions(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BaselineCopy)->Arg(1)->Arg(10)->Repetitions(3)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    // Growth from 1 MB to 10 MB beside the one-pass replacement's growth on the same texts,
    // which is linear by construction: the 10 MB texts leave the caches, so both grow by more
    // than ten, and only a growth well beyond the baseline's is the code's.
    for (const std::string name : {"KeywordReplace", "KeywordReplaceIgnoringCase", "Wrap"})
        reporter.Growth(name + "/10", name + "/1", "BaselineReplace/10", "BaselineReplace/1", 1.5);
    // Against the one-pass std::string replacement with case.
    const auto target = RatioReporter::Kind::Target;
    reporter.Ratio("KeywordReplace/1", "BaselineReplace/1", 1.5, target);
    reporter.Ratio("KeywordReplace/10", "BaselineReplace/10", 1.5, target);
    reporter.Ratio("KeywordReplaceIgnoringCase/10", "BaselineReplace/10", 2.0, target);
    const int result = reporter.Measure();
    benchmark::Shutdown();
    // For scale: what the memory hierarchy adds once 10 MB no longer fits the caches, and
    // wrapping beside a plain copy.
    const auto show = [&reporter](const char* what, const char* a, const char* b) {
        if (reporter.Seconds(a) > 0 && reporter.Seconds(b) > 0)
            std::printf("%-50s %6.2f\n", what, reporter.Seconds(a) / reporter.Seconds(b));
    };
    show("std::string replace baseline 10MB / 1MB", "BaselineReplace/10", "BaselineReplace/1");
    show("plain copy 10MB / 1MB", "BaselineCopy/10", "BaselineCopy/1");
    show("wrap / plain copy of the text, 10MB", "Wrap/10", "BaselineCopy/10");
    return result;
}
