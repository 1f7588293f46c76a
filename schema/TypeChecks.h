#pragma once
// The typed columns of the schema refuse what Jet refuses: SQLite keeps any
// value in any column, so each Long, Integer, Yes/No, Date and Double column
// gets CHECK constraints, made here once from a table of the types rather
// than written out beside every column. Text that Jet converts ('123' into
// a Long) arrives converted: the columns' numeric affinity does it before
// the checks run. Stateless; any thread.
#include <string>
#include <string_view>

namespace lumo::schema {

// The DDL with two named constraints added to every column whose declared
// type is LONG, SHORT, YESNO, DATETIME or DOUBLE:
//   "<COLUMN>:type:<Jet type>"   the value is Null or a number of the type
//   "<COLUMN>:range:<Jet type>"  the value is Null or within the type's range
// (the engine turns a failure of either into Jet's description).
std::string withTypeChecks(std::string_view ddl);

}  // namespace lumo::schema
