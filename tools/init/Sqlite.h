#pragma once
// Statements and files for building new database files, over the
// engine's SQLite handles (engine/SqliteHandle.h). The engine layer never
// creates files, so `lumo init` writes through SQLite directly.
//
// A Database owns its connection, a Statement its prepared statement; a
// Statement lives no longer than the Database it came from. One thread.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <variant>

#include "engine/SqliteHandle.h"
#include "engine/Variant.h"

namespace lumo::tools {

// A value bound to a statement parameter. Texts are copied by SQLite at
// bind time, so a view need only live until bind() returns; a value made
// from one of the engine's Variants holds its own copy of a text.
struct SqlValue : std::variant<std::nullptr_t, std::int64_t, double, std::string_view, std::string> {
    using variant::variant;
    SqlValue(const db::Variant& value);  // NOLINT: converts like the alternatives
};

// Empty text and a zero date mean "not given" in the suite: both are Null.
// Texts follow the engine's one rule.
using db::textOrNull;
inline SqlValue dateOrNull(double automationDate) {
    return automationDate == 0 ? SqlValue{nullptr} : SqlValue{automationDate};
}

class Statement {
public:
    Statement(sqlite3* db, std::string_view sql);

    void bind(int index, const SqlValue& value);  // index from 1
    bool step();                                  // true while a row is ready
    void reset();
    std::int64_t columnInt(int index) const;
    std::string columnText(int index) const;  // "" for Null

private:
    sqlite3* db_;
    db::StatementHandle st_;
};

class Database {
public:
    // Opens an existing file (an empty file is an empty database).
    explicit Database(const std::filesystem::path& path);

    void exec(std::string_view sql);
    Statement prepare(std::string_view sql) { return Statement(db_.get(), sql); }
    std::int64_t lastInsertRowid() const { return sqlite3_last_insert_rowid(db_.get()); }

private:
    db::DbHandle db_;
};

}  // namespace lumo::tools
