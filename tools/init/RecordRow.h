#pragma once
// A record's row as `lumo init` writes it, from the record's table of
// (column, field) (schema/RecordColumns.h), so that the sample books are
// stored in the same columns the library reads: the column names for a
// TableWriter, and one record's values in their order, with the suite's
// Null rules for writing (an empty text and a zero date are Null; Yes/No
// is -1/0). Stateless.
#include <span>
#include <string_view>
#include <type_traits>
#include <vector>

#include "schema/RecordColumns.h"
#include "tools/init/Sqlite.h"

namespace lumo::tools {

template <class R>
std::vector<std::string_view> columnNames(std::span<const schema::Column<R>> columns) {
    std::vector<std::string_view> names;
    names.reserve(columns.size());
    for (const schema::Column<R>& c : columns) names.push_back(c.name);
    return names;
}

template <class R>
std::vector<SqlValue> rowOf(std::span<const schema::Column<R>> columns, const R& record) {
    std::vector<SqlValue> values;
    values.reserve(columns.size());
    for (const schema::Column<R>& c : columns) {
        std::visit(
            [&](auto member) {
                const auto& field = record.*member;
                using T = std::remove_cvref_t<decltype(field)>;
                if constexpr (std::is_same_v<T, LumoAccess::String>)
                    values.emplace_back(textOrNull(field));
                else if constexpr (std::is_same_v<T, LumoAccess::Date>)
                    values.push_back(dateOrNull(field));
                else if constexpr (std::is_same_v<T, LumoAccess::Boolean>)
                    values.push_back(std::int64_t{field ? -1 : 0});
                else
                    values.push_back(std::int64_t{field});
            },
            c.field);
    }
    return values;
}

}  // namespace lumo::tools
