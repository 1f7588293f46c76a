#pragma once
// The export benchmarks: our export run and the one-query baseline, each
// writing its own file so that the two can be compared afterwards.
#include <cstdint>
#include <string>
#include <string_view>

#include "bench/BenchData.h"

namespace lumo::bench {

// "person" or "goods"; `who` is "ours" or "baseline".
std::string exportBenchmarkName(std::string_view kind, std::string_view who, std::int64_t records);
// The file a benchmark writes.
std::string exportFile(const BenchData& data, std::string_view kind, std::string_view who, std::int64_t records);

// Our export of the persons (or sheets) of data folder `persons`.
void registerOurExport(const BenchData& data, std::string_view kind, std::int64_t persons);
// The baseline of the same folder.
void registerBaselineExport(const BenchData& data, std::string_view kind, std::int64_t persons);

}  // namespace lumo::bench
