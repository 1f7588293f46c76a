#pragma once
// The pass over a statement's tree (JetTree.h) that writes a chain of
// LIKE tests as one call, which gives what the chain gives, Null
// included (LikeFunction.h). In the condition of every WHERE of a SELECT
// statement, at any depth, where the condition, or one of the conditions
// the WHERE joins with And, is an Or of two or more tests "T.c LIKE p"
// (a qualified column, a parameter or text as the pattern, each test
// perhaps in parentheses):
//   - all of one column:  lumo_like_any(T.c, p, q ...), the column read once;
//   - otherwise:          lumo_like_pairs(A.a, p, B.b, q ...), one call per
//     row instead of one per test (a word searched in eight columns of
//     100,000 persons spent a third of its time in calling LIKE).
// The patterns keep their order, and so their parameter numbers.
//
// Stateless; the caller's thread.
#include "JetTree.h"

namespace lumo::db::tree {

void joinLikeChains(Tree& tree);

}  // namespace lumo::db::tree
