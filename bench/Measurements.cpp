#include "bench/Measurements.h"

#include <unistd.h>

#include <algorithm>

namespace lumo::bench {
namespace {

double median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double minimum(const std::vector<double>& values) {
    return values.empty() ? 0 : *std::min_element(values.begin(), values.end());
}

}  // namespace

double Measurement::medianSeconds() const { return median(seconds); }
double Measurement::minSeconds() const { return minimum(seconds); }
double Measurement::medianCpuSeconds() const { return median(cpuSeconds); }
double Measurement::minCpuSeconds() const { return minimum(cpuSeconds); }

double Measurement::medianCounter(const std::string& name) const {
    const auto it = counters.find(name);
    return it == counters.end() ? 0 : median(it->second);
}

CollectingReporter::CollectingReporter()
    : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_ColorTabular : OO_Tabular) {}

void CollectingReporter::ReportRuns(const std::vector<Run>& runs) {
    // The table takes the median of the single runs; only when those are
    // not reported (--benchmark_report_aggregates_only) Google Benchmark's
    // own median stands in for them.
    const bool singleRuns = std::any_of(runs.begin(), runs.end(),
                                        [](const Run& run) { return run.run_type == Run::RT_Iteration; });
    for (const Run& run : runs) {
        const bool wanted = singleRuns ? run.run_type == Run::RT_Iteration : run.aggregate_name == "median";
        if (!wanted) continue;
        Measurement& m = measurements_[run.run_name.function_name];
        if (run.error_occurred) {
            m.error = run.error_message.empty() ? "failed" : run.error_message;
            continue;
        }
        m.seconds.push_back(run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit));
        m.cpuSeconds.push_back(run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit));
        for (const auto& [name, counter] : run.counters) m.counters[name].push_back(counter.value);
    }
    ConsoleReporter::ReportRuns(runs);
}

const Measurement* CollectingReporter::find(const std::string& name) const {
    const auto it = measurements_.find(name);
    return it == measurements_.end() ? nullptr : &it->second;
}

}  // namespace lumo::bench
