#pragma once
// The short table printed at the end of a run.
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "bench/Measurements.h"
#include "bench/PeakMemory.h"

namespace lumo::bench {

struct ExportRow {
    std::string kind;  // "person", "goods"
    const Measurement* ours = nullptr;
    const Measurement* baseline = nullptr;
    const Measurement* statements = nullptr;  // the readers' statements alone (StatementFloor.h)
    bool compared = false;                  // both files were written and compared
    std::optional<std::string> difference;  // where they differ, when they do
};

struct ReadRow {
    std::string operation;
    const Measurement* measured = nullptr;
};

struct MemoryRow {
    std::int64_t persons = 0;
    std::optional<ChildRun> run;
    std::string error;  // why there is no figure
};

struct CurveRow {
    std::int64_t persons = 0;
    const Measurement* measured = nullptr;
};

// One statement through the engine and straight through SQLite.
struct StatementRow {
    const Measurement* ours = nullptr;
    const Measurement* sqlite = nullptr;
};

// One figure through the library or the engine and the same work done
// straight through SQLite, per call or per statement.
struct PairRow {
    std::string what;
    const Measurement* ours = nullptr;
    const Measurement* sqlite = nullptr;
};

struct Report {
    int processors = 0;
    std::string cpu;
    std::string sqlite;
    std::string data;
    std::int64_t exportSize = 0;
    std::vector<ExportRow> exports;
    std::int64_t readRows = 0;
    std::vector<ReadRow> reads;
    std::vector<MemoryRow> memory;  // the smaller size first
    std::vector<CurveRow> curve;
    int inListValues = 0;
    StatementRow inList;
    const Measurement* newShape = nullptr;  // a search statement of a new shape, ours alone
    std::vector<PairRow> readers;  // the readers against their baselines
    std::vector<PairRow> engine;   // Open, read every field, Close
};

// Prints the table; false when anything failed or the files differ.
bool printReport(std::ostream& out, const Report& report);

// 100000 -> "100,000".
std::string grouped(std::int64_t value);

}  // namespace lumo::bench
