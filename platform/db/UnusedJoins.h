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
#include <vector>

#include "JetTokens.h"

namespace lumo::db {

void dropUnusedJoins(std::vector<detail::Token>& tokens);

}  // namespace lumo::db
