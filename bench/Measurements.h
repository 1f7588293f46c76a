#pragma once
// Collects what Google Benchmark measured, so that the summary table can
// be printed after its own report: wall time per iteration and the user
// counters of every repetition, and the error of a benchmark that failed.
#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace lumo::bench {

struct Measurement {
    std::vector<double> seconds;     // wall time per iteration, one entry per repetition
    std::vector<double> cpuSeconds;  // the same in the measuring thread's CPU time
    std::map<std::string, std::vector<double>> counters;
    std::string error;  // empty unless the benchmark failed

    bool ok() const { return error.empty() && !seconds.empty(); }
    double medianSeconds() const;
    double minSeconds() const;
    double medianCpuSeconds() const;
    double minCpuSeconds() const;
    double medianCounter(const std::string& name) const;  // 0 when absent
};

// The console report as usual, plus the collected measurements by
// benchmark name (the name it was registered with).
class CollectingReporter : public benchmark::ConsoleReporter {
public:
    // Coloured only on a terminal, so that a saved report stays plain text.
    CollectingReporter();
    void ReportRuns(const std::vector<Run>& runs) override;
    // Null when the benchmark did not run (filtered out).
    const Measurement* find(const std::string& name) const;

private:
    std::map<std::string, Measurement> measurements_;
};

}  // namespace lumo::bench
