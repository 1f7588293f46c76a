#pragma once
// The exports' statements alone: for every record, the statements the
// export's readers run, prepared once and run straight through SQLite in
// one read transaction, each column of each row read once, with no field
// lookups, no records, no line and no file. An export that reads each
// record through the library's readers cannot do less per record, so
// baseline/statements is the highest ratio any engine layer could reach.
#include <cstdint>

#include "bench/BenchData.h"

namespace lumo::bench {

// Registers "<kind>_export/statements/<records>" for "person" and "goods".
void registerStatementFloor(const BenchData& data, std::int64_t records);

}  // namespace lumo::bench
