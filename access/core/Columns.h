#pragma once
// Reading and writing a record through its table of (column, field)
// (schema/RecordColumns.h): the readers, the inserts and the rewrites of
// persons, goods, suppliers, customers and scraps go through these
// routines, written once over the tables.
//
// The Null rules (Fields.h), per kind of field:
//
//   field    reading a Null            writing
//   String   "" or the column's        "" as Null, or as a zero-length text
//            `whenNull` stand-in       where the routine keeps it
//                                      (EmptyText::Kept)
//   Long,    0 (none of these          as it is
//   Integer  columns is the row's key;
//            the key is read apart,
//            with rowKey, and fails)
//   Date     0                         0 as the routine says: unset on an
//                                      insert, Null on a rewrite (ZeroDate)
//   Boolean  False                     as it is
//
// A column marked Use::Written is written but never read back.
//
// The tables are constant data; any thread may read them. The routines are
// stateless; any thread may call them on its own recordset.
#include <span>
#include <string_view>
#include <type_traits>
#include <variant>

#include "access/LumoAccess.h"
#include "access/core/Fields.h"
#include "engine/Recordset.h"
#include "platform/Error.h"
#include "schema/RecordColumns.h"

namespace lumo::access {

using schema::Column;
using schema::columnOf;
using schema::Use;

// How a writer stores an empty text: as Null, or as a zero-length text.
enum class EmptyText { Null, Kept };

// Reads one column of the current row of `table` into its field.
template <class R>
void readColumn(db::Recordset& rs, std::string_view table, const Column<R>& c, R& record) {
    std::visit(
        [&](auto member) {
            auto& field = record.*member;
            using T = std::remove_reference_t<decltype(field)>;
            const TableColumn column{table, c.name};
            if constexpr (std::is_same_v<T, LumoAccess::String>) field = textOf(rs, c.name, c.whenNull);
            else if constexpr (std::is_same_v<T, LumoAccess::Long>) field = longOf(rs, column);
            else if constexpr (std::is_same_v<T, LumoAccess::Integer>) field = integerOf(rs, column);
            else if constexpr (std::is_same_v<T, LumoAccess::Date>) field = dateOf(rs, column);
            else field = flagOf(rs, column);
        },
        c.field);
}

// Reads the columns that are read back, in the table's order; a failure
// leaves the fields before it filled.
template <class R>
void readColumns(db::Recordset& rs, std::string_view table, std::span<const Column<R>> columns, R& record) {
    for (const Column<R>& c : columns)
        if (c.use == Use::ReadAndWritten) readColumn(rs, table, c, record);
}

// Reads the columns named in `names`, in that order: a lookup that needs
// only some of a table's fields. A name that is not in `columns` is the
// caller's mistake and fails.
template <class R>
void readNamedColumns(db::Recordset& rs, std::string_view table, std::span<const Column<R>> columns,
                      std::span<const std::string_view> names, R& record) {
    for (std::string_view name : names) {
        const Column<R>* found = nullptr;
        for (const Column<R>& c : columns)
            if (c.name == name) found = &c;
        if (!found) throw Error("列 " + std::string(name) + " は " + std::string(table) + " の表にありません。");
        readColumn(rs, table, *found, record);
    }
}

// Assigns one column of the row being edited or added.
template <class R>
void writeColumn(db::Recordset& rs, const Column<R>& c, const R& record, EmptyText empty, ZeroDate zero) {
    std::visit(
        [&](auto member) {
            const auto& field = record.*member;
            using T = std::remove_cvref_t<decltype(field)>;
            if constexpr (std::is_same_v<T, LumoAccess::String>)
                rs.Fields(c.name) = empty == EmptyText::Null ? textOrNull(field) : db::Variant(field);
            else if constexpr (std::is_same_v<T, LumoAccess::Date>)
                setDate(rs, c.name, field, zero);
            else
                rs.Fields(c.name) = db::Variant(field);
        },
        c.field);
}

// Assigns every column, in the table's order.
template <class R>
void writeColumns(db::Recordset& rs, std::span<const Column<R>> columns, const R& record, EmptyText empty,
                  ZeroDate zero) {
    for (const Column<R>& c : columns) writeColumn(rs, c, record, empty, zero);
}

}  // namespace lumo::access
