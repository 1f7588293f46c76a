#pragma once
// Latency of single library reads, one call at a time on identifiers drawn
// at random (fixed seed) from the rows that exist: the median of the
// individually timed calls is the figure; Google Benchmark's own figure is
// their mean.
#include <string>
#include <string_view>

namespace lumo::bench {

std::string readBenchmarkName(std::string_view operation);

// GetPersonalInformation, GetPhoneNumberInfo and GetGroupIDEx on the person
// file, GetSheetInformation on the item file; `calls` calls each.
void registerReadBenchmarks(const std::string& personDatabase, const std::string& itemDatabase, int calls);

}  // namespace lumo::bench
