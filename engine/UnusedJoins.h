#pragma once
// A rewrite of the subqueries after IN of a translated statement:
//
//   x IN (SELECT T.a FROM T LEFT JOIN U ON <cond> WHERE <T's tests>)
//     ->  x IN (SELECT T.a FROM T WHERE <T's tests>)
//
// A LEFT JOIN keeps every row of its left side; when nothing but its own
// ON clause reads U, it only repeats rows, and IN asks only whether a
// value is among them. The person search joins the phones this way for
// its phone tests, and reads them for every candidate even when it tests
// names only.
//
// Only where it is sure: a subquery without '*', aggregate, GROUP BY,
// HAVING, ORDER BY, LIMIT or compound, whose every column outside the ON
// clause is written qualified and none with U's name.
//
// And then, where a WHERE clause is only such a test of a table's own key:
//
//   SELECT ... FROM ... T ... WHERE T.k IN (SELECT T.k FROM T WHERE c)
//     ->  SELECT ... FROM ... T ... WHERE (c)
//
// when k holds each value once in T, and T is named as it is, before every
// LEFT JOIN (so never the optional side, where c could hold of a Null
// row): the row of T whose key is among the keys of the rows meeting c is
// that row itself. SQLite then tests c on the rows it reads anyway,
// instead of first collecting the keys. The person list is written so.
//
// A pass over the statement's tree (JetTree.h): a dropped join's parts
// leave their level. Stateless; the caller's thread.
#include "JetTree.h"
#include "engine/UniqueKeys.h"

namespace lumo::db {

void dropUnusedJoins(tree::Tree& tree, const UniqueKeyLookup& unique = {});

}  // namespace lumo::db
