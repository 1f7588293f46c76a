#pragma once
// The search lists as a client runs them on every keystroke: the library
// builds the statement, the client opens it through the engine layer and
// reads every row. Each case runs against a baseline, the fastest plain
// SQLite query written by hand for the same rows, and the rows of the two
// are compared in the same run.
#include <ostream>
#include <string>

#include "bench/Measurements.h"

namespace lumo::bench {

void registerSearchBenchmarks(const std::string& personDatabase, const std::string& itemDatabase);

// The table of the search cases: medians, minima, ratios, whether the rows
// agree, and the selective person search against one GetPersonalInformation
// call (`personalRead`, may be null). False when a case failed or the rows
// differ.
bool printSearchReport(std::ostream& out, const CollectingReporter& results, const Measurement* personalRead);

}  // namespace lumo::bench
