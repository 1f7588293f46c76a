#pragma once
// The passes over a statement's tree (JetTree.h) about what its outer
// SELECT reads: the source, and for a SELECT that reads one table or view
// (JetStatement::singleSource) what the renderer adds to it, in the
// tree's additions. Internal to the engine.
//
// Stateless functions of the tree; the caller's thread.
#include <string_view>

#include "JetTree.h"

namespace lumo::db {
struct JetStatement;
}

namespace lumo::db::tree {

// What the statement's outer SELECT reads: whether the statement gives
// rows, its one table or view when it reads nothing else (then the
// recordset can be updatable), and what names each item's column.
// `wholeTable`: that one table is read whole.
void readSource(const Tree& tree, JetStatement& st, bool& wholeTable);

// The table the outer level reads after FROM, when it is one name: SQLite
// would scan the smallest covering index and give the rows in the order of
// an unrelated column; NOT INDEXED reads them in key order, as Jet does.
void readWholeTableInKeyOrder(Tree& tree);

// The row identity of `source` as the last select item, before the outer
// FROM, in the text rendered with it: an updatable recordset finds each
// row it changes by it.
void addRowIdentity(Tree& tree, std::string_view source);

}  // namespace lumo::db::tree
