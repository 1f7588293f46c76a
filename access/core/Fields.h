#pragma once
// Reading columns of the current row into record fields, and writing
// record fields into the row being edited. Every reader and writer of the
// library converts through these, so the Null rules live here:
// text reads Null as "" (or a caller-given stand-in), dates and the age
// read Null as 0, and keys, counts and amounts are converted without a
// Null guard, so a Null there is a failure. Writers store an empty text
// as Null; a date of 0 is "no date": an insert leaves the column to its
// default, an update (whose record is the whole new state) stores Null.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/db/Variant.h"

namespace lumo::db {
class Recordset;
}

namespace lumo::access {

std::string textOf(db::Recordset& rs, std::string_view column, std::string_view whenNull = {});
double dateOf(db::Recordset& rs, std::string_view column);
int16_t integerOrZero(db::Recordset& rs, std::string_view column);
// A group column that rows written by other programs may leave Null.
int32_t longOrZero(db::Recordset& rs, std::string_view column);
// True unless the stored value is 0 (a Yes/No stored as 1 reads True);
// Null reads False.
bool flagOf(db::Recordset& rs, std::string_view column);

// Unguarded: Null fails.
int32_t longOf(db::Recordset& rs, std::string_view column);
int16_t integerOf(db::Recordset& rs, std::string_view column);

// A Long narrowed to an Integer; out of range fails.
int16_t narrowToInteger(int32_t value);

// Writing: an empty text is stored as Null.
db::Variant textOrNull(const std::string& text);
// What a writer does with a date of 0: a new row leaves the column unset
// (its default), a rewritten row stores Null, so that a date can be cleared.
enum class ZeroDate { Unset, Null };
void setDate(db::Recordset& rs, std::string_view column, double date, ZeroDate zero);

}  // namespace lumo::access
