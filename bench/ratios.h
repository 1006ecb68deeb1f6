// A console reporter that also remembers each benchmark's time, so that a
// program can print how its subject compares with the baseline measured in
// the same run. CPU time by default, because the machines these run on are
// shared and wall time there measures the neighbours too (a program that
// times work in child processes asks for real time); and of repeated runs the
// least, the one the neighbours disturbed least.
//
// Two kinds of figure, printed alike so that tools/run-benchmarks.sh can
// gather them: a growth limit (time against input size) is a promise of the
// library, and a program whose growth breaks one exits non-zero; a target
// against another implementation on the same machine is a measure, printed
// with "ok" or "MISSED" and gathered at the end of the run, but it does not
// fail the program, since how near two implementations come depends on the
// machine as much as on the code.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter {
  public:
    enum class Clock { Cpu, Real };
    explicit RatioReporter(Clock clock = Clock::Cpu) : clock_(clock) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            // A single run, or the "min" of repeated ones (a program that repeats its runs
            // and shows their aggregates only adds that statistic).
            const bool single = run.run_type == Run::RT_Iteration;
            const bool least = run.run_type == Run::RT_Aggregate && run.aggregate_name == "min";
            if ((single || least) && !run.error_occurred) {
                const double seconds =
                    (clock_ == Clock::Cpu ? run.GetAdjustedCPUTime() : run.GetAdjustedRealTime()) /
                    benchmark::GetTimeUnitMultiplier(run.time_unit);
                std::string name = run.run_name.function_name;
                if (!run.run_name.args.empty()) name += "/" + run.run_name.args;
                auto [it, added] = seconds_.emplace(name, seconds);
                if (!added && seconds < it->second) it->second = seconds;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    // Prints subject / baseline and whether it stays within `limit`; false
    // when it does not. Pairs left out by --benchmark_filter print nothing.
    bool Ratio(const std::string& subject, const std::string& baseline, double limit) {
        const double s = Seconds(subject), b = Seconds(baseline);
        if (s <= 0 || b <= 0) return true;  // filtered out
        const bool ok = s / b <= limit;
        std::printf("ratio %-88s = %6.3f  (target <= %.2f) %s\n",
                    (subject + " / " + baseline).c_str(), s / b, limit, ok ? "ok" : "MISSED");
        return ok;
    }

    // Prints how the subject grows from its small to its large run against how
    // the floor (the least any method must do, on the same sizes) grows, and
    // whether the first over the second stays within `limit`: where the memory
    // hierarchy shapes the growth as much as the algorithm, the floor shows
    // what the caches alone make of the larger size.
    bool Growth(const std::string& large, const std::string& small, const std::string& floorLarge,
                const std::string& floorSmall, double limit) {
        const double s = Seconds(large), s0 = Seconds(small);
        const double f = Seconds(floorLarge), f0 = Seconds(floorSmall);
        if (s0 <= 0 || f0 <= 0 || f <= 0) return true;  // filtered out
        const double ratio = (s / s0) / (f / f0);
        const bool ok = ratio <= limit;
        std::printf("growth %-44s %6.3f, floor %6.3f: %5.3f of it  (target <= %.2f) %s\n",
                    large.c_str(), s / s0, f / f0, ratio, limit, ok ? "ok" : "MISSED");
        return ok;
    }

    // The least CPU time of the runs named `name`, 0 when none ran.
    double Seconds(const std::string& name) const {
        auto it = seconds_.find(name);
        return it == seconds_.end() ? 0.0 : it->second;
    }

  private:
    Clock clock_;
    std::map<std::string, double> seconds_;
};
