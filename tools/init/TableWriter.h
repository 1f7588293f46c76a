#pragma once
// Inserts rows into one table through one prepared statement. Every table
// of every database is written this way, so sample and synthetic data go
// through the same code.
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>

#include "tools/init/Sqlite.h"

namespace lumo::tools {

class TableWriter {
public:
    TableWriter(Database& db, std::string_view table, std::span<const std::string_view> columns);
    TableWriter(Database& db, std::string_view table, std::initializer_list<std::string_view> columns)
        : TableWriter(db, table, std::span<const std::string_view>(columns.begin(), columns.size())) {}

    // One value per column, in the order of the constructor; returns the
    // new row's key.
    std::int64_t insert(std::initializer_list<SqlValue> values) {
        return insert(std::span<const SqlValue>(values.begin(), values.size()));
    }
    std::int64_t insert(std::span<const SqlValue> values);

private:
    Database* db_;
    Statement statement_;
    std::size_t columnCount_;
};

}  // namespace lumo::tools
