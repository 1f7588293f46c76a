#pragma once
// Reading columns of the current row into record fields, and writing
// record fields into the row being edited. Every reader and writer of the
// library converts through these, so the Null rules live here and nowhere
// else:
//
//   text           Null reads "" (or a caller-given stand-in)
//   date           Null reads 0 (day 0, 1899-12-30)
//   Yes/No         Null reads False; any value but 0 reads True
//   number         Null reads 0: a group, a link to a person, supplier,
//                  customer or goods row (0 is "no counterpart"), a rank,
//                  a quantity, a price, the age, the sheet's kind
//   the row's key  Null is a failure: a row that a reader found by its
//                  key or walks by its key has one
//
// Which rule a number follows is a property of the column (TableColumn),
// not of the reader that reads it. Files converted from other programs
// hold Nulls in many number columns; reading them as 0 keeps every row
// readable and leaves the stored data as it is.
//
// A value that cannot be converted (a text in a number column, a number
// out of the field's range, a Null key) fails with the engine's text
// followed by the table and column, for example
// "Null の使い方が不正です。(T_PHONE.PHONE_ID)".
//
// Writers store an empty text as Null; a date of 0 is "no date": an insert
// leaves the column to its default, an update (whose record is the whole
// new state) stores Null.
//
// Stateless; any thread may call these on its own recordset.
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/Variant.h"

namespace lumo::db {
class Recordset;
}

namespace lumo::access {

// What a column is to its row, which decides how a Null there reads.
enum class ColumnRole : std::uint8_t {
    Value,   // anything but the row's own key
    RowKey,  // the row's own AutoNumber key
};

// A column as the readers address it: its table (for the report of a
// failed conversion), its name and its role.
struct TableColumn {
    std::string_view table;
    std::string_view name;
    ColumnRole role = ColumnRole::Value;
};

constexpr TableColumn rowKey(std::string_view table, std::string_view name) {
    return {table, name, ColumnRole::RowKey};
}

// The rule itself: only the row's own key fails on Null.
constexpr bool nullReadsZero(const TableColumn& c) { return c.role != ColumnRole::RowKey; }

// Text never fails to convert, so its readers need only the column name.
std::string textOf(db::Recordset& rs, std::string_view column, std::string_view whenNull = {});
double dateOf(db::Recordset& rs, const TableColumn& column);
bool flagOf(db::Recordset& rs, const TableColumn& column);
int32_t longOf(db::Recordset& rs, const TableColumn& column);
int16_t integerOf(db::Recordset& rs, const TableColumn& column);

// A Long narrowed to an Integer; out of range fails.
int16_t narrowToInteger(int32_t value);

// Writing: an empty text is stored as Null (engine/Variant.h).
using db::textOrNull;
// What a writer does with a date of 0: a new row leaves the column unset
// (its default), a rewritten row stores Null, so that a date can be cleared.
enum class ZeroDate { Unset, Null };
void setDate(db::Recordset& rs, std::string_view column, double date, ZeroDate zero);

}  // namespace lumo::access
