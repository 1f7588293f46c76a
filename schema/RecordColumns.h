#pragma once
// Where each field of a published record is stored: a table of (column,
// field) per record type. Every writer of the files goes through these
// tables — the library's readers and writers (access/core/Columns.h) and
// `lumo init` when it writes the sample books directly — so a column and
// its field are paired once.
//
// The Null rules of a column follow from its field's type; see
// access/core/Columns.h. A column marked Use::Written is stored and
// rewritten but never read back (free text kept for other programs).
//
// Plain constant data; any thread may read the tables.
#include <cstddef>
#include <span>
#include <string_view>
#include <variant>

#include "access/LumoAccess.h"

namespace lumo::schema {

template <class R>
using FieldOf = std::variant<LumoAccess::String R::*, LumoAccess::Long R::*, LumoAccess::Integer R::*,
                             LumoAccess::Date R::*, LumoAccess::Boolean R::*>;

enum class Use : bool { ReadAndWritten, Written };

template <class R>
struct Column {
    std::string_view name;
    FieldOf<R> field;
    std::string_view whenNull = {};  // what a Null text reads as
    Use use = Use::ReadAndWritten;
};

// The column that holds `field` ("" when none does), for programs that
// address the same rows with statements of their own.
template <class R, class F, std::size_t N>
constexpr std::string_view columnOf(std::span<const Column<R>, N> columns, F R::*field) {
    for (const Column<R>& c : columns)
        if (const auto* member = std::get_if<F R::*>(&c.field); member && *member == field) return c.name;
    return {};
}

}  // namespace lumo::schema
