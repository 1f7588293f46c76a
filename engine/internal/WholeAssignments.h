#pragma once
// The translation step of JetWholeColumns.h, on the statement's tokens.
// Internal to the engine.
#include <vector>

#include "JetTokens.h"
#include "engine/JetWholeColumns.h"

namespace lumo::db::detail {

// Wraps each value of UPDATE T SET C = value, ... and of INSERT INTO T
// (C, ...) VALUES (value, ...), ... whose column is a whole number in
// lumo_whole( ). SET targets must already be unqualified.
void wrapWholeAssignments(std::vector<Token>& tokens, const WholeColumnLookup& isWhole);

}  // namespace lumo::db::detail
