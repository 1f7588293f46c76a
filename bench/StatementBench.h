#pragma once
// Translation cost of one long Jet statement: a SELECT whose WHERE holds an
// IN list of kInListValues numbers, run through the engine on a fresh
// connection (so the statement is translated and prepared anew) against
// the same text prepared and run by SQLite directly. And of a search
// statement of a shape the connection has not seen, each time: its
// translation, prepare and first row.
#include <string>
#include <string_view>

namespace lumo::bench {

inline constexpr int kInListValues = 20'000;

// "statement/in_list/ours" and "statement/in_list/sqlite3".
std::string statementBenchmarkName(std::string_view who);

inline constexpr std::string_view kNewShapeBenchmark = "statement/new_shape/ours";

void registerStatementBenchmarks(const std::string& personDatabase);

}  // namespace lumo::bench
