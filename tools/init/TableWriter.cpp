#include "tools/init/TableWriter.h"

#include <string>

#include "platform/Error.h"

namespace lumo::tools {
namespace {

// Column names are quoted: "DEFAULT" is one of them.
std::string insertSql(std::string_view table, std::span<const std::string_view> columns) {
    std::string sql = "INSERT INTO \"" + std::string(table) + "\" (";
    std::string values;
    for (std::string_view column : columns) {
        if (!values.empty()) {
            sql += ", ";
            values += ", ";
        }
        sql += '"';
        sql += column;
        sql += '"';
        values += '?';
    }
    return sql + ") VALUES (" + values + ")";
}

}  // namespace

TableWriter::TableWriter(Database& db, std::string_view table, std::span<const std::string_view> columns)
    : db_(&db), statement_(db.prepare(insertSql(table, columns))), columnCount_(columns.size()) {}

std::int64_t TableWriter::insert(std::span<const SqlValue> values) {
    if (values.size() != columnCount_) throw Error("internal: column count mismatch in TableWriter");
    struct ResetOnExit {
        Statement& statement;
        ~ResetOnExit() { statement.reset(); }
    } resetOnExit{statement_};
    int index = 1;
    for (const SqlValue& value : values) statement_.bind(index++, value);
    statement_.step();
    return db_->lastInsertRowid();
}

}  // namespace lumo::tools
