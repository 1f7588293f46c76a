#pragma once
// Which source table goes into which of our tables, and which source
// column into which of our columns: matched by name (ignoring ASCII case,
// as Jet does), never by position, so files whose columns come in another
// order, or with other text sizes, import the same. What our schema does
// not know, or cannot hold, is listed instead.
#include <cstddef>
#include <string>
#include <vector>

#include "schema/Schema.h"
#include "tools/import/ImportValue.h"
#include "tools/import/JetFile.h"

namespace lumo::tools {

struct ColumnMapping {
    std::size_t source = 0;  // index among the source table's columns
    std::string name;        // our column's name
    int jetType = 0;
    ColumnKind kind = ColumnKind::Text;
};

struct TablePlan {
    std::string source;  // the source table's name
    std::string name;    // our table's name
    std::vector<ColumnMapping> columns;
    std::string keyColumn;  // our AutoNumber key among `columns`, or ""
};

struct FilePlan {
    schema::DatabaseFile target;
    std::vector<TablePlan> tables;
    // "T_X" (a table our schema does not have), "T_PERSON.FAX" (a column
    // it does not have) or "T_PHONE.RANK (Double)" (a column whose type
    // ours cannot hold).
    std::vector<std::string> unknown;
};

// Matches the tables of `source` against the schema of `target`.
FilePlan planImport(const JetFile& source, const schema::DatabaseFile& target);

}  // namespace lumo::tools
