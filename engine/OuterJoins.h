#pragma once
// Two rewrites of the outer joins of a translated SELECT, each giving the
// same rows, that let SQLite plan them as indexed lookups:
//
//   A RIGHT JOIN B ON c  ->  B LEFT JOIN A ON c
//     SQLite runs a RIGHT JOIN whose left side is itself a join by
//     materialising that join and scanning it once per row of the other
//     side; as a LEFT JOIN the tables are looked up by key. Only where the
//     select list names its columns (with * the column order would change).
//
//   SELECT DISTINCT list FROM ... LEFT JOIN v ...
//     ->  SELECT DISTINCT * FROM (SELECT list FROM ... LIMIT -1)
//     SQLite never flattens a view on the right of a LEFT JOIN into a
//     DISTINCT query: it computes the whole view first. Without DISTINCT
//     the view is flattened into per-row lookups; DISTINCT is then applied
//     to the finished rows (LIMIT -1 keeps the inner query from being
//     merged back). Only without ORDER BY, GROUP BY, HAVING, LIMIT or a
//     compound, and where every item of the list has a column name of its
//     own, so the rows and their names stay as they were.
#include <vector>

#include "JetTree.h"
#include "engine/UniqueKeys.h"

namespace lumo::db {

// A pass over the statement's tree (JetTree.h): a mirrored join is its
// level's parts reordered, with RIGHT respelled LEFT; the DISTINCT over
// finished rows is the tree's `finishedRowsAfter`, which the renderer
// writes. With `unique`, a DISTINCT that the keys make idle
// (DistinctKeys.h) goes instead of being moved out.
void rewriteOuterJoins(tree::Tree& tree, const UniqueKeyLookup& unique = {});

}  // namespace lumo::db
