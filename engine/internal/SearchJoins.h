#pragma once
// The pass over a statement's tree (JetTree.h) for a SELECT whose WHERE
// clause tests LIKE on the columns of outer-joined tables, as the search
// lists do. Its two rewrites each give the same rows; each lets SQLite
// start from the few matching rows instead of testing every row of the
// joined tables.
//
//   ... A LEFT JOIN B ON ... WHERE (B.x LIKE p OR B.y LIKE q) ...
//     ->  ... A INNER JOIN B ON ...
//     A test of B's columns alone (a column, or columns joined with &, is
//     Null on the Null row an outer join adds, and LIKE of Null is Null)
//     drops every row without a B row anyway, so the join may be inner;
//     SQLite then may read B first. In every SELECT of the statement, at
//     any depth, for a LEFT JOIN at the outer level of its FROM clause.
//
//   SELECT ... FROM <inner joins around (S LEFT JOIN C ON C.k = S.c)
//          LEFT JOIN P ON P.k = S.p> WHERE (C.x LIKE w OR P.y LIKE w ...)
//     ->  the same with the condition narrowed by the keys
//         "(...) AND (S.c IN (SELECT C.k FROM C WHERE C.x LIKE w)
//         OR S.p IN (SELECT P.k FROM P WHERE P.y LIKE w))" (a KeysNarrowing
//         node), and the inner joins turned round so that S comes first
//     Rows whose outer-joined rows match can only be rows whose join keys
//     are among the keys of the matching rows: SQLite reads those through
//     the indexes of S.c and S.p. (It keeps the first table of the FROM
//     clause first when outer joins follow, hence the turn.) Only on the
//     outermost SELECT, without '*', ORDER BY, GROUP BY, HAVING, LIMIT or
//     a compound, and only when every test reads one outer-joined table
//     joined to the same S by one equality of columns.
//
// The chains of LIKE tests they leave in the condition are then written
// as one call each (LikeChains.h). Stateless; the caller's thread.
#include "JetTree.h"

namespace lumo::db::tree {

void rewriteSearchJoins(Tree& tree);

}  // namespace lumo::db::tree
