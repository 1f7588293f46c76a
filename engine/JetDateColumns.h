#pragma once
// Date/Time columns reach Jet's functions as dates. A column keeps the
// automation date as a plain number, and SQLite tells a function nothing of
// the column a value came from, so Format(T.D), CStr(T.D) or IsDate(T.D)
// would take the value for a number. The translation therefore wraps what
// the statement's types call a date (a column declared Date/Time, a date
// literal, a date plus a number: JetTypes.h), where it is an argument of
// one of Jet's functions or an operand of &, in lumo_date(...), which tags
// the number with the
// subtype the functions pass dates with (functions/FunctionCall.h); Null,
// and a text the column holds, pass through. lumo_date is registered with
// Jet's functions (JetFunctions.h). Only
// there: a column compared in WHERE or ORDER BY stays bare, so its index
// stays usable, and a statement without such a call translates as before.
//
// Stateless; the lookup is the caller's and runs on the caller's thread.
#include <functional>
#include <optional>
#include <string_view>

namespace lumo::db {

// Whether `column` of `table` is declared Date/Time; nothing when the
// table has no such column or is not a table. Asked while a statement
// shape is translated, so once per shape.
using DateColumnLookup = std::function<std::optional<bool>(std::string_view table, std::string_view column)>;

}  // namespace lumo::db
