// A console reporter that also remembers each benchmark's time, and the
// figures a program judges by: how its subject compares with a baseline
// measured in the same run, or how it grows with its input. CPU time by
// default, because the machines these run on are shared and wall time there
// measures the neighbours too (a program that times work in child processes
// asks for real time); and of repeated runs the least, the one the neighbours
// disturbed least.
//
// Two kinds of figure, printed alike so that tools/run-benchmarks.sh can
// gather them:
// - a limit is a promise of the library, such as time growing as the input
//   does; a program with a limit broken exits non-zero;
// - a target compares the library with another implementation on the same
//   machine; a miss is printed as such but does not fail the program, since
//   how near two implementations come depends on the machine as much as on
//   the code.
// A figure that misses has its benchmarks measured again, back to back, up to
// three runs in all, each keeping its least time: a neighbour that evicts the
// caches, or a heap that has to grow again, can slow a tenth-of-a-millisecond
// run several times over, and that is not what the figure asks about.
#pragma once

#include <benchmark/benchmark.h>

#include <cctype>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter {
  public:
    enum class Clock { Cpu, Real };
    enum class Kind { Limit, Target };
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

    // Subject / baseline, at most `limit`.
    void Ratio(const std::string& subject, const std::string& baseline, double limit, Kind kind) {
        figures_.push_back({kind, limit, {subject, baseline}});
    }

    // How the subject grows from its small to its large run over how the floor
    // (the least any method must do, on the same sizes) grows, at most `limit`:
    // where the memory hierarchy shapes the growth as much as the algorithm,
    // the floor shows what the caches alone make of the larger size.
    void Growth(const std::string& large, const std::string& small, const std::string& floorLarge,
                const std::string& floorSmall, double limit) {
        figures_.push_back({Kind::Limit, limit, {large, small, floorLarge, floorSmall}});
    }

    // Runs the benchmarks, measures those of missed figures again (see the top
    // of this file), prints every figure; 1 when a limit is missed, else 0.
    int Measure() {
        benchmark::RunSpecifiedBenchmarks(this);
        for (int run = 1; run < 3; ++run) {
            std::string again;
            for (const Figure& f : figures_)
                if (!Met(f))
                    for (const std::string& name : f.names) again += "|" + Pattern(name);
            if (again.empty()) break;
            benchmark::RunSpecifiedBenchmarks(this, "^(" + again.substr(1) + ")(/|$)");
        }
        std::printf("\n");
        bool ok = true;
        for (const Figure& f : figures_) {
            const double value = Value(f);
            if (value < 0) continue;  // left out by --benchmark_filter
            const bool met = value <= f.limit;
            std::string what = f.names[0] + " / " + f.names[1];
            if (f.names.size() == 4) {
                char grew[96];
                std::snprintf(grew, sizeof grew, " grew %.2f, the floor %.2f, so",
                              Seconds(f.names[0]) / Seconds(f.names[1]),
                              Seconds(f.names[2]) / Seconds(f.names[3]));
                what = f.names[0] + grew;
            }
            std::printf("%-6s %-88s = %6.3f  (%s <= %.2f) %s\n",
                        f.names.size() == 2 ? "ratio" : "growth", what.c_str(), value,
                        f.kind == Kind::Limit ? "limit" : "target", f.limit, met ? "ok" : "MISSED");
            ok &= met || f.kind == Kind::Target;
        }
        return ok ? 0 : 1;
    }

    // The least time of the runs named `name`, in seconds; 0 when none ran.
    double Seconds(const std::string& name) const {
        auto it = seconds_.find(name);
        return it == seconds_.end() ? 0.0 : it->second;
    }

  private:
    struct Figure {
        Kind kind;
        double limit;
        std::vector<std::string> names;  // subject, baseline; or large, small, floor's two
    };

    // The figure's value, or -1 when one of its benchmarks did not run.
    double Value(const Figure& f) const {
        std::vector<double> t;
        for (const std::string& name : f.names) {
            t.push_back(Seconds(name));
            if (t.back() <= 0) return -1;
        }
        return t.size() == 2 ? t[0] / t[1] : (t[0] / t[1]) / (t[2] / t[3]);
    }
    bool Met(const Figure& f) const { return Value(f) <= f.limit; }

    // A benchmark's name as a filter that matches it: every character that
    // could mean something to the filter's regular expression matches any.
    static std::string Pattern(const std::string& name) {
        std::string out;
        for (const char c : name)
            out += std::isalnum(static_cast<unsigned char>(c)) || c == ' ' || c == '/' ||
                           c == ':' || c == '_'
                       ? c
                       : '.';
        return out;
    }

    Clock clock_;
    std::map<std::string, double> seconds_;
    std::vector<Figure> figures_;
};
