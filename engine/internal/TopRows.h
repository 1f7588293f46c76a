#pragma once
// Jet's TOP, written for SQLite. With an ORDER BY, Jet's TOP n gives the
// first n rows and every further row whose ORDER BY values equal those of
// the n-th row (Nulls equal to each other); TOP n PERCENT takes n percent
// of the rows, rounded up, and then the same ties. Without ORDER BY there
// is nothing to tie: n rows, or the share of them.
//
//   SELECT [DISTINCT] TOP n list rest ORDER BY k1 DESC, k2
//     ->  SELECT [DISTINCT] list rest ORDER BY k1 DESC, k2
//         LIMIT (SELECT count(*) FROM (SELECT rank() OVER (ORDER BY
//                __lumo_k1 DESC, __lumo_k2) AS __lumo_rank FROM (SELECT
//                [DISTINCT] list, k1 AS __lumo_k1, k2 AS __lumo_k2 rest))
//                WHERE __lumo_rank <= n)
//
// The row count of the ordered rows is what grows with the ties, so the
// select list, and with it the names, order and types of the fields, stays
// exactly as written. The counting query repeats list and rest (DISTINCT
// counts over the distinct rows, an aggregate query over its groups); a
// key that is a column number or an alias of the list is replaced by that
// item's expression, as SQLite's own ORDER BY reads it.
//
// SQLite reads no column of an outer query in a LIMIT, and a subquery
// often refers to one (the top rows per group). A TOP subquery whose list
// names its items (no '*') therefore ranks its rows itself:
//
//   (SELECT TOP n a, b AS x FROM ... ORDER BY k)
//     ->  (SELECT __lumo_c1 AS "a", __lumo_c2 AS "x" FROM (SELECT *, rank()
//          OVER (ORDER BY __lumo_k1) AS __lumo_rank FROM (SELECT a AS
//          __lumo_c1, b AS __lumo_c2, k AS __lumo_k1 FROM ...)) WHERE
//          __lumo_rank <= n ORDER BY __lumo_k1)
//
// Both are written from the level's one tree, by the renderer: the parts
// it copies are the parts every other pass has left, and each parameter
// it writes a second time (or in a subquery's ranked rows) is written
// "?N", N being its number among all of the statement's. Every ?N stands
// after the anonymous '?' it refers to, and every copied parameter appears
// at least once, so SQLite numbers the anonymous ones after them as
// before.
//
// Refused with a description: a column number that points at '*', TOP in
// a compound SELECT (UNION ...: SQLite's LIMIT would end the whole
// compound) or together with LIMIT, a count that is
// not a number (TOP #0:00#, TOP 2.5 without PERCENT), and TOP nested more
// than kMaxNestedTop deep (each level copies the ones inside it). A TOP
// subquery with '*' in its list keeps the LIMIT: referring to the query
// around it, it fails with SQLite's "no such column".
//
// The pass reads the tree and fills its additions (JetTree.h TopRows);
// stateless, the caller's thread.
#include "JetTree.h"

namespace lumo::db::tree {

inline constexpr int kMaxNestedTop = 4;

// Finds every SELECT ... TOP of the statement, checks it, and records how
// the renderer writes it. Runs after every pass that changes the parts.
// Throws lumo::Error for what it refuses.
void readTopRows(Tree& tree);

// The bound on what the renderer writes for the TOPs of a statement of
// `written` characters: keys named by alias or number repeat their item
// at every level, and a few lines must not grow into millions.
inline std::size_t topGrowthBound(std::size_t written) { return 32 * written + 100000; }

}  // namespace lumo::db::tree
