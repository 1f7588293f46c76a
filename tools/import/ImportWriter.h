#pragma once
// Writes the rows of one source file into a new database of ours, table
// by table, as the plan maps them. Every key is kept as stored, so the
// AutoNumber sequence of each table continues above the highest source
// key and deleted-row gaps stay gaps.
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "tools/import/ImportPlan.h"
#include "tools/import/JetFile.h"
#include "tools/init/Sqlite.h"

namespace lumo::tools {

struct TableResult {
    std::string table;
    std::size_t read = 0;
    std::size_t written = 0;
    std::size_t orphans = 0;
    bool skipped = false;  // a table our schema does not know
};

// Called now and then while a table is copied: rows done of the total.
using ImportProgress = std::function<void(const std::string& table, std::size_t done, std::size_t total)>;

// Fills `db`, which holds our schema and is inside its build transaction.
// Throws lumo::Error (naming the table, the row's key and the column) for
// a value that cannot be written or a table whose rows cannot all be read.
std::vector<TableResult> writeImport(const JetFile& source, const FilePlan& plan, Database& db,
                                     const ImportProgress& progress);

// Counts the rows of a source table that is not imported (for the summary).
TableResult countSkippedTable(const JetFile& source, const std::string& table);

}  // namespace lumo::tools
