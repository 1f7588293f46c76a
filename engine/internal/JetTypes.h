#pragma once
// Each expression's Jet type, inferred on the statement's tree
// (JetTree.h): literals by what they are (#…# a Date, True and False
// Boolean, 'x' Text, 1 Integer, 100000 Long, 1.5 Double), a call by its
// function's result type (the resultSubtype column of the function
// tables, functions/FunctionCall.h), operators by Jet's rules (a date plus
// or minus a number is a Date, two dates' difference a Double, a
// comparison Boolean, & Text, / and ^ Double). A name inside an
// expression is a Date when `dateNames` says it is a Date/Time column of
// the statement's tables (so T.D + 1 is a Date); any other name is
// Unknown, and so is every expression whose type depends on one. A select
// item that is a bare column is not looked up: it gets its type from the
// column's declaration when the statement runs.
//
// Stateless functions of the tree; the caller's thread.
#include <functional>
#include <span>
#include <string_view>
#include <vector>

#include "JetTree.h"
#include "engine/JetType.h"

namespace lumo::db::tree {

// Whether a name of the statement is a Date/Time column; `qualifier` is
// empty for an unqualified name. Empty: no name is.
using DateNames = std::function<bool(std::string_view qualifier, std::string_view column)>;

// The type of one node. `parameters` gives the type of the literal each
// '?' stands for, in order (empty: Unknown).
JetType typeOf(const Tree& tree, Index node, std::span<const JetType> parameters, const DateNames& dateNames = {});

// Per item of the outer select list, its type; empty when the statement
// is not a SELECT or its list holds '*'.
std::vector<JetType> selectItemTypes(const Tree& tree, std::span<const JetType> parameters,
                                     const DateNames& dateNames = {});

}  // namespace lumo::db::tree
