// The typed sorts against std::sort and qsort on the same inputs, in one run.
#include <benchmark/benchmark.h>
#include <zuvuvur/zuvuvur.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "kxplatform.h"
#include "ratios.h"

namespace {

using Pairs = std::vector<std::pair<double, int>>;

std::vector<double> Doubles(const std::string& shape, std::size_t n) {
    std::mt19937_64 rng(42);
    std::uniform_real_distribution<double> uniform(-1e6, 1e6);
    std::vector<double> v(n);
    for (double& x : v) x = shape == "few" ? static_cast<double>(rng() % 16) : uniform(rng);
    if (shape == "sorted") std::sort(v.begin(), v.end());
    if (shape == "reversed") std::sort(v.begin(), v.end(), std::greater<>());
    return v;
}

// The comparator as C code usually writes it for qsort.
int QsortCompare(const void* a, const void* b) {
    double x = *static_cast<const double*>(a), y = *static_cast<const double*>(b);
    if (x < y) return -1;
    if (x > y) return 1;
    return 0;
}

// The same without a branch: qsort's strongest form.
int QsortCompareBranchFree(const void* a, const void* b) {
    double x = *static_cast<const double*>(a), y = *static_cast<const double*>(b);
    return (x > y) - (x < y);
}

// An input made on first use, so that a filtered run builds only its own.
template <class V>
struct Lazy {
    std::function<V()> make;
    std::optional<V> value;
    const V& get() {
        if (!value) value = make();
        return *value;
    }
};
template <class V>
using Input = std::shared_ptr<Lazy<V>>;
template <class V>
Input<V> MakeInput(std::function<V()> make) {
    return std::make_shared<Lazy<V>>(Lazy<V>{std::move(make), std::nullopt});
}

// Runs `sort` on a fresh copy of the input in every iteration; the copy is not timed.
template <class V, class F>
void Register(const std::string& name, Input<V> input, F sort) {
    benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State& state) {
        V work;
        for (auto _ : state) {
            state.PauseTiming();
            work = input->get();
            state.ResumeTiming();
            sort(work);
            benchmark::ClobberMemory();
        }
    })->Unit(benchmark::kMillisecond);
}

void RegisterDoubles(const std::string& shape, std::size_t n, const std::string& size) {
    auto input = MakeInput<std::vector<double>>([=] { return Doubles(shape, n); });
    std::string p = "double/" + shape + "/" + size + "/";
    Register(p + "kxutilsSortBuff", input, [](std::vector<double>& v) {
        kxutilsSortBuff(v.data(), static_cast<long long>(v.size()), 0, nullptr);
    });
    Register(p + "std::sort", input, [](std::vector<double>& v) { std::sort(v.begin(), v.end()); });
    Register(p + "qsort", input, [](std::vector<double>& v) {
        std::qsort(v.data(), v.size(), sizeof(double), QsortCompare);
    });
    Register(p + "qsort-branch-free", input, [](std::vector<double>& v) {
        std::qsort(v.data(), v.size(), sizeof(double), QsortCompareBranchFree);
    });
}

void RegisterIndexed(std::size_t n, const std::string& size) {
    std::string p = "indexed/random/" + size + "/";
    auto input = MakeInput<std::vector<double>>([=] { return Doubles("random", n); });
    auto index = std::make_shared<CArray<int, int>>();
    Register(p + "kxutilsSortBuff", input, [index](std::vector<double>& v) {
        index->SetSize(static_cast<INT_PTR>(v.size()));  // its contents do not matter
        kxutilsSortBuff(v.data(), static_cast<long long>(v.size()), 0, index.get());
    });
    auto pairs = MakeInput<Pairs>([=] {
        std::vector<double> v = Doubles("random", n);
        Pairs out(n);
        for (std::size_t i = 0; i < n; ++i) out[i] = {v[i], static_cast<int>(i)};
        return out;
    });
    Register(p + "std::sort", pairs, [](Pairs& v) {
        std::sort(v.begin(), v.end(),
                  [](const auto& a, const auto& b) { return a.first < b.first; });
    });
}

std::vector<std::string> Words(std::size_t n, std::size_t minLength, std::size_t spread) {
    std::mt19937 rng(9);
    const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    std::vector<std::string> out(n);
    for (std::string& s : out) {
        s.assign(minLength + rng() % spread, ' ');
        for (char& c : s) c = letters[rng() % 52];
    }
    return out;
}

// Case-insensitive: short words fit in a std::string itself, long ones do not.
void RegisterStrings(const std::string& length, std::size_t minLength, std::size_t spread) {
    constexpr std::size_t n = 1000000;
    std::string p = "strings/nocase/" + length + "/1M/";
    auto input = MakeInput<CStringArray>([=] {
        CStringArray a;
        for (const std::string& s : Words(n, minLength, spread)) a.Add(s.c_str());
        return a;
    });
    Register(p + "kxutilsSort", input, [](CStringArray& a) { kxutilsSort(a, 0, nullptr); });
    auto words = MakeInput<std::vector<std::string>>([=] { return Words(n, minLength, spread); });
    // The library's own folding, inlined into std::sort's comparator.
    const unsigned char* lower = kxp::cp_lower_table();
    Register(p + "std::sort", words, [lower](std::vector<std::string>& v) {
        std::sort(v.begin(), v.end(), [lower](const std::string& a, const std::string& b) {
            auto x = reinterpret_cast<const unsigned char*>(a.c_str());
            auto y = reinterpret_cast<const unsigned char*>(b.c_str());
            for (;; ++x, ++y) {
                int cx = lower[*x], cy = lower[*y];
                if (cx != cy) return cx < cy;
                if (cx == 0) return false;
            }
        });
    });
}

}  // namespace

int main(int argc, char** argv) {
    constexpr std::size_t k1M = 1000000, k10M = 10000000;
    for (const char* shape : {"random", "sorted", "reversed", "few"})
        RegisterDoubles(shape, k1M, "1M");
    RegisterDoubles("random", k10M, "10M");
    RegisterIndexed(k1M, "1M");
    RegisterIndexed(k10M, "10M");
    RegisterStrings("short", 6, 10);
    RegisterStrings("long", 16, 24);

    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    const auto target = [&reporter](const std::string& subject, const std::string& baseline,
                                    double limit) {
        reporter.Ratio(subject, baseline, limit, RatioReporter::Kind::Target);
    };
    for (const char* input : {"random/1M", "sorted/1M", "reversed/1M", "few/1M", "random/10M"}) {
        std::string p = std::string("double/") + input + "/";
        target(p + "kxutilsSortBuff", p + "std::sort", 1.25);
        target(p + "kxutilsSortBuff", p + "qsort", 0.5);
        target(p + "kxutilsSortBuff", p + "qsort-branch-free", 0.5);
    }
    for (const char* size : {"1M", "10M"}) {
        std::string p = std::string("indexed/random/") + size + "/";
        target(p + "kxutilsSortBuff", p + "std::sort", 1.5);
    }
    for (const char* length : {"short", "long"}) {
        std::string p = std::string("strings/nocase/") + length + "/1M/";
        target(p + "kxutilsSort", p + "std::sort", 1.0);
    }
    const int result = reporter.Measure();
    benchmark::Shutdown();
    return result;
}
