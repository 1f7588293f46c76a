#pragma once
// Jet's DISTINCTROW: a SELECT's rows distinct as the records they come
// from, not by their values. SQLite has no such word; the pass writes what
// it means:
//   - a SELECT of one table or of one derived table, with '*' in its list
//     (every table's fields), with the fields of every table it joins, or
//     of groups (GROUP BY, HAVING, an aggregate), gives each record once
//     already: the word leaves the statement, and the SELECT is what it
//     would be without it (a one-table SELECT stays updatable, as in Jet);
//   - over a join with the fields of some of its tables only, the rows
//     are grouped by those tables' row identities, one row per record:
//       SELECT DISTINCTROW C.NAME FROM C INNER JOIN O ON ... WHERE ...
//         ->  SELECT C.NAME FROM C INNER JOIN O ON ... WHERE ...
//             GROUP BY [C]._rowid_
//     written by the renderer from the tree's additions.
// Refused with a description where the records cannot be told: an
// unqualified column, a derived table's field, and TOP over such a join.
//
// The pass changes its levels' parts and fills the additions; stateless,
// the caller's thread.
#include "JetTree.h"

namespace lumo::db::tree {

// Writes every DISTINCTROW as above; throws lumo::Error for one it refuses.
void writeDistinctRows(Tree& tree);

}  // namespace lumo::db::tree
