#pragma once
// The translation step of JetDateColumns.h, on the statement's tokens.
// Internal to the engine.
#include <vector>

#include "JetTokens.h"
#include "engine/JetDateColumns.h"

namespace lumo::db::detail {

// Wraps each argument of a Jet function call that is one Date/Time column
// (C, T.C or Alias.C) in lumo_date( ). An unqualified name is a date when
// some table of the statement declares it Date/Time and none declares it
// otherwise; a qualified one looks only at the tables or aliases so named.
void wrapDateArguments(std::vector<Token>& tokens, const DateColumnLookup& isDate);

// Wraps each argument of a Jet function call that is one date literal
// (#2024/01/31#, a Date token) in lumo_date( ), so that the function sees
// a date: IsDate(#2024/01/31#) is True, IsNumeric of it False, Format and
// CStr show it as a date. Runs before the literals become parameters.
void wrapDateLiteralArguments(std::vector<Token>& tokens);

}  // namespace lumo::db::detail
