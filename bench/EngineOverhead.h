#pragma once
// The engine layer's own cost per statement: Recordset::Open, every field
// of every row read by name, Close, against the same statement prepared
// once and run straight through SQLite inside one read transaction, every
// column of every row read with sqlite3_column_*. Once for a result of one
// row and once for 20 rows of T_PERSON.
#include <string>
#include <string_view>

namespace lumo::bench {

inline constexpr int kOverheadRows[] = {1, 20};

// "engine/<rows>_rows/ours" and "engine/<rows>_rows/sqlite3".
std::string overheadBenchmarkName(int rows, std::string_view who);

void registerEngineOverhead(const std::string& personDatabase, int statements);

}  // namespace lumo::bench
