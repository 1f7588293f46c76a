#pragma once
// What `lumo import` tells the user: progress per table on a terminal, and
// at the end a table of rows read, rows written and orphan rows per
// table, with what was skipped.
#include <iosfwd>
#include <string>
#include <vector>

#include "tools/import/ImportWriter.h"

namespace lumo::tools {

struct FileResult {
    std::string fileName;
    std::vector<TableResult> tables;
    std::vector<std::string> skipped;  // unknown tables and columns left out
    std::vector<std::string> libraryLines;  // what libmdb wrote itself while reading the file, once each
};

// Progress lines for `err`, rewritten in place; silent unless `terminal`.
ImportProgress progressOn(std::ostream& err, bool terminal, const std::string& fileName);

void printSummary(std::ostream& out, const std::vector<FileResult>& files);

// Every row of every known table was written and nothing was skipped.
bool everythingWritten(const std::vector<FileResult>& files);

}  // namespace lumo::tools
