#pragma once
// Deterministic bulk records for volume tests and benchmarks: the same
// count always gives the same rows. They go into the groups that exist
// when they are added (the default group, plus the sample groups with
// --sample).
#include <cstdint>

#include "tools/init/Books.h"

namespace lumo::tools {

// Each person gets a home phone, an office (even) or mobile (odd) phone,
// one mail address and 0 to 2 children; every fifth has a dated note.
void addSyntheticPersons(PersonBook& book, std::int64_t count);
// Sheets alternate purchase and sale over a small shared pool of goods,
// suppliers and customers.
void addSyntheticSheets(ItemLedger& ledger, std::int64_t count);
void addSyntheticScraps(ScrapBook& book, std::int64_t count);

}  // namespace lumo::tools
