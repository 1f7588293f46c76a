#pragma once
// `lumo sql DBFILE STATEMENT` (or `-f FILE`): runs one Jet-dialect statement through the
// engine layer, the way the library does. Rows of a SELECT go to standard
// output as UTF-8 CSV with a header of the field names; other statements
// report the number of rows they changed on standard error.
#include <ostream>
#include <string_view>

#include "tools/lumo/Command.h"

namespace lumo::tools {

// Writes the result of `statement` on `databaseFile` to `out` (rows) and
// `err` (count of changed rows). Throws lumo::Error with the engine's
// description.
void runStatement(std::string_view databaseFile, std::string_view statement, std::ostream& out,
                  std::ostream& err);

extern const Command kSqlCommand;

}  // namespace lumo::tools
