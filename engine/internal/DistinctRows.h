#pragma once
// Jet's DISTINCTROW: a SELECT's rows distinct as the records they come
// from, not by their values. A SELECT of one table or of one derived
// table, or one whose list holds '*' (every table's fields), gives each
// record once already, so the word leaves the statement and the SELECT is
// what it would be without it (a one-table SELECT stays updatable, as in
// Jet). Over joins with the fields of some of the tables, SQLite has no
// counterpart the engine writes: refused with a description, where SQLite
// would take the word for a column.
//
// The pass changes its levels' parts; stateless, the caller's thread.
#include "JetTree.h"

namespace lumo::db::tree {

// Takes out every idle DISTINCTROW; throws lumo::Error for one it refuses.
void dropIdleDistinctRows(Tree& tree);

}  // namespace lumo::db::tree
