#pragma once
// Whether the DISTINCT of a SELECT has nothing to do. Its rows are
// distinct already when
//   - the select list holds the key of one table X (a column that holds
//     each value once, such as its INTEGER PRIMARY KEY),
//   - X stands before every LEFT JOIN (so it is never the optional side),
//   - and every other table or view of the FROM clause is joined by one
//     equality of a column that holds each value once in it with a column
//     of X, or of a source already known to give at most one row per row
//     of X:
// each row of X then gives one row, and rows of X differ in the key. The
// person list joins its three one-phone-per-person views so; SQLite would
// otherwise build a temporary index over every row to drop none.
//
// Only FROM clauses of names, INNER and LEFT joins and ON clauses of one
// equality of qualified columns are looked at; anything else keeps the
// DISTINCT.
#include <cstddef>
#include <vector>

#include "FromClause.h"
#include "engine/UniqueKeys.h"

namespace lumo::db {

// `q` is the outermost SELECT, read off the tree's outer level: its select
// list's items, and its FROM clause read in the order it stands in the
// tree (a RIGHT JOIN turned round reads left to right).
bool distinctIsIdle(const tree::Tree& tree, const tree::Select& q, const UniqueKeyLookup& unique);

}  // namespace lumo::db
