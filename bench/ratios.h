// A console reporter that also remembers each benchmark's CPU time, so that a
// program can print how its subject compares with the baseline measured in
// the same run. CPU time, because the machines these run on are shared and
// wall time there measures the neighbours too; and of repeated runs the least,
// the one the neighbours disturbed least.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            // A single run, or the "min" of repeated ones (a program that repeats its runs
            // and shows their aggregates only adds that statistic).
            const bool single = run.run_type == Run::RT_Iteration;
            const bool least = run.run_type == Run::RT_Aggregate && run.aggregate_name == "min";
            if ((single || least) && !run.error_occurred) {
                const double seconds =
                    run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
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
        auto s = seconds_.find(subject);
        auto b = seconds_.find(baseline);
        if (s == seconds_.end() || b == seconds_.end() || b->second <= 0)
            return true;  // filtered out
        double ratio = s->second / b->second;
        bool ok = ratio <= limit;
        std::printf("ratio %-48s / %-40s = %6.3f  (target <= %.2f) %s\n", subject.c_str(),
                    baseline.c_str(), ratio, limit, ok ? "ok" : "MISSED");
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
    std::map<std::string, double> seconds_;
};
