#pragma once
// The rewrite that lets a statement use a substring index
// (SubstringIndex.h):
//
//   SELECT ... FROM ... T ... WHERE <conditions, one of which is
//          (T.a LIKE ? OR T.b LIKE ? ...)>
//     ->  SELECT ... WHERE (<conditions>) AND T.key IN (SELECT rowid FROM
//         <words> WHERE <words> MATCH ?M UNION ALL SELECT key FROM
//         <unindexed>)
//
// where a, b, ... are indexed columns of T and ?M is a parameter after
// all the literals, bound when the statement runs to the index query for
// the patterns bound then. Rows the chain accepts are among those keys,
// so the rows are the same; SQLite reads the few keys instead of every row.
// In any SELECT of the statement without GROUP BY, ORDER BY, HAVING,
// LIMIT or a compound, with no literal after it (the new parameter would
// move their numbers), once per SELECT.
#include <cstddef>
#include <vector>

#include "JetTree.h"
#include "engine/SubstringIndex.h"

namespace lumo::db {

// Per narrowing added, in the order of their parameters: the numbers
// (from 0) of the literals that are its chain's patterns.
using NarrowingPatterns = std::vector<std::vector<std::size_t>>;

// The pass over the statement's tree: each narrowing is an IndexNarrowing
// node in place of its SELECT's condition, written in the narrowed text.
NarrowingPatterns narrowBySubstringIndex(tree::Tree& tree, const SubstringIndexLookup& lookup);

}  // namespace lumo::db
