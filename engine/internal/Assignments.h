#pragma once
// The passes over a statement's tree (JetTree.h) that concern the values
// an UPDATE ... SET or an INSERT ... VALUES assigns to columns. Internal
// to the engine.
//
// Stateless functions of the tree; the caller's thread.
#include <cstddef>
#include <string_view>
#include <vector>

#include "JetTree.h"
#include "engine/JetSql.h"
#include "engine/JetWholeColumns.h"

namespace lumo::db::tree {

// One value a statement assigns to a column: UPDATE T SET C = value, ...
// (the outer level's SET, each target one unqualified name), and INSERT
// INTO T (C, ...) VALUES (value, ...), ... (each value given for a listed
// column). The names are views into the statement's tokens, without their
// brackets.
struct AssignedValue {
    std::string_view table;
    std::string_view column;
    Index owner;        // the Assignment, or the Clauses of the row of values
    std::size_t part;   // the value's part of that row; unused for an Assignment
};

// The values in the order of the text.
std::vector<AssignedValue> assignedValues(const Tree& tree);

// The node of the value: the slot a pass may put another node in.
Index& valueNode(Tree& tree, const AssignedValue& value);

// UPDATE T SET T.C = ..., [T].[D] = ...  ->  UPDATE T SET C = ..., [D] = ...:
// SQLite takes no qualified SET target.
void unqualifySetTargets(Tree& tree);

// Each value assigned to a column `isWhole` names is converted to a whole
// number as Jet converts it (JetWholeColumns.h).
void roundWholeAssignments(Tree& tree, const WholeColumnLookup& isWhole);

// Fills st.writtenTable, and st.parameterColumns (one per '?', of which
// there are `parameters`) with the column each lone parameter is assigned to.
void findAssignedParameters(const Tree& tree, std::size_t parameters, JetStatement& st);

}  // namespace lumo::db::tree
