// Discrete frequencies against std::sort plus one counting pass, and the
// removal of unchanged items at two sizes, to show that it grows as the least
// work any method must do grows.
#include <benchmark/benchmark.h>
#include <zuvuvur/zuvuvur.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "ratios.h"
#include "support/test_host.h"

namespace {

constexpr std::size_t kStrings = 1000000;
constexpr std::size_t kDistinct = 10000;

std::vector<std::string> Draws() {
    std::mt19937 rng(3);
    const char letters[] = "abcdefghijklmnopqrstuvwxyz";
    std::vector<std::string> values(kDistinct);
    for (std::string& v : values) {
        v.assign(6 + rng() % 8, ' ');
        for (char& c : v) c = letters[rng() % 26];
    }
    std::vector<std::string> out(kStrings);
    for (std::string& s : out) s = values[rng() % kDistinct];
    return out;
}

void Frequencies(benchmark::State& state) {
    CStringArray input;
    for (const std::string& s : Draws()) input.Add(s.c_str());
    TestStrings source, distinct;
    std::vector<double> counts(kStrings);
    std::uint32_t groups = 0;
    for (auto _ : state) {
        state.PauseTiming();
        source.array.Copy(input);
        distinct.array.SetSize(0);
        state.ResumeTiming();
        kxu_discrete_frequencies(&source, &distinct, counts.data(), &groups, FREQ_CASE_SENSITIVE);
    }
    if (groups != kDistinct) state.SkipWithError("wrong number of groups");
}

void SortAndCount(benchmark::State& state) {
    const std::vector<std::string> input = Draws();
    std::vector<std::string> work, distinct;
    std::vector<double> counts;
    for (auto _ : state) {
        state.PauseTiming();
        work = input;
        distinct.clear();
        counts.clear();
        state.ResumeTiming();
        std::sort(work.begin(), work.end());
        for (std::size_t i = 0; i < work.size(); ++i) {
            if (i == 0 || work[i] != work[i - 1]) {
                distinct.push_back(work[i]);
                counts.push_back(0);
            }
            counts.back() += 1;
        }
        benchmark::DoNotOptimize(counts.data());
    }
    if (distinct.size() != kDistinct) state.SkipWithError("wrong number of groups");
}

// Ids that all hash into the first `homes` slots of the removal's table for `n` reference ids
// (as it hashes them), the first `n` such in rising order: filed in the table as they come,
// each lookup would walk the whole crowd.
std::vector<int> CrowdingIds(int n, std::uint64_t homes) {
    int bits = 1;
    while ((1 << bits) < 2 * n) ++bits;
    std::vector<int> ids;
    for (std::uint64_t id = 0; static_cast<int>(ids.size()) < n; ++id)
        if ((id * 0x9E3779B97F4A7C15ULL) >> (64 - bits) < homes)
            ids.push_back(static_cast<int>(id));
    return ids;
}

// n current items against a reference of the same ids, in the same order, shuffled, or
// shuffled and crowding one stretch of the table; every other item keeps its text (in
// another case), the rest changed it.
void RemoveUnchanged(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    std::mt19937 rng(5);
    std::vector<int> order(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) order[static_cast<std::size_t>(i)] = i;
    if (state.range(2) >= 1) std::shuffle(order.begin(), order.end(), rng);
    std::vector<int> idOf = order;  // the id of reference item i
    if (state.range(2) == 2) idOf = CrowdingIds(n, 256);
    TestInts refIds, ids;
    TestStrings refTexts, texts;
    CArray<int, int> currentIds;
    CStringArray currentTexts;
    char text[32];
    for (int i = 0; i < n; ++i) {
        refIds.array.Add(idOf[static_cast<std::size_t>(i)]);
        std::snprintf(text, sizeof text, "item %d", i);
        refTexts.array.Add(text);
        const int k = order[static_cast<std::size_t>(i)];  // the reference item it stands for
        std::snprintf(text, sizeof text, k % 2 ? "ITEM %d" : "changed %d", k);
        currentIds.Add(idOf[static_cast<std::size_t>(k)]);
        currentTexts.Add(text);
    }
    if (state.range(1) == 1) {
        // The floor: only the text comparisons any method must make, with
        // each item's reference index known beforehand.
        int equal = 0;
        for (auto _ : state) {
            for (int i = 0; i < n; ++i)
                equal += refTexts.array.GetAt(order[static_cast<std::size_t>(i)])
                             .CompareNoCase(currentTexts[i]) == 0;
        }
        benchmark::DoNotOptimize(equal);
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        ids.array.Copy(currentIds);
        texts.array.Copy(currentTexts);
        state.ResumeTiming();
        int removed = kxu_remove_unchanged_items_by_id(&refIds, &refTexts, &ids, &texts, nullptr);
        if (removed != n / 2) state.SkipWithError("wrong number removed");
    }
}

}  // namespace

BENCHMARK(Frequencies)
    ->Name("frequencies/1M/kxu_discrete_frequencies")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(SortAndCount)->Name("frequencies/1M/std::sort+count")->Unit(benchmark::kMillisecond);
BENCHMARK(RemoveUnchanged)
    ->Name("unchanged")
    ->ArgNames({"items", "floor", "ids"})
    ->ArgsProduct({{10000, 100000}, {0, 1}, {0, 1, 2}})
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    reporter.Ratio("frequencies/1M/kxu_discrete_frequencies", "frequencies/1M/std::sort+count", 1.3,
                   RatioReporter::Kind::Target);
    // Ten times the items: the removal (a hash table of the reference ids, a pass over the
    // items) grows as the floor does, give or take the table's own lookups, which at 100,000
    // ids no longer fit the fastest caches. The floor alone grows 10 to 21 times here.
    for (const std::string order : {"ids:0", "ids:1", "ids:2"}) {
        reporter.Growth("unchanged/items:100000/floor:0/" + order,
                        "unchanged/items:10000/floor:0/" + order,
                        "unchanged/items:100000/floor:1/" + order,
                        "unchanged/items:10000/floor:1/" + order, 1.5);
    }
    const int result = reporter.Measure();
    benchmark::Shutdown();
    return result;
}
