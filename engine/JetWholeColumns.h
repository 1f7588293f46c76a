#pragma once
// Values assigned to whole-number columns are rounded as Jet rounds them.
// Jet stores 1.5 into a Long or Integer column as 2 and 2.5 as 2 (to even
// at .5, as CLng does); SQLite would keep the fraction, and the column's
// type check would refuse it. The translation therefore wraps each value
// that an UPDATE ... SET or an INSERT ... VALUES assigns to a column
// declared Long, Integer or AutoNumber in lumo_whole(...), which rounds a
// fraction (and a text that is a number with a fraction) to the nearest
// whole number, ties to even. Null, whole numbers and text that is not a
// number pass through, so the type check still refuses such text, and the
// range check sees the rounded value. lumo_whole is registered with Jet's
// functions (JetFunctions.h). Statements without such an assignment
// translate as before.
//
// Stateless; the lookup is the caller's and runs on the caller's thread.
#include <functional>
#include <optional>
#include <string_view>

namespace lumo::db {

// Whether `column` of `table` is declared a whole number (Long, Integer,
// AutoNumber); nothing when the table has no such column. Asked while a
// statement shape is translated, so once per shape.
using WholeColumnLookup = std::function<std::optional<bool>(std::string_view table, std::string_view column)>;

}  // namespace lumo::db
