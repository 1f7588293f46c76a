#pragma once
// A small RAII layer over the sqlite3 C API for building new database
// files. The engine layer never creates files, so `lumo init` writes
// through SQLite directly.
#include <sqlite3.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <variant>

namespace lumo::tools {

// A value bound to a statement parameter. Texts are copied by SQLite at
// bind time, so the view need only live until bind() returns.
using SqlValue = std::variant<std::nullptr_t, std::int64_t, double, std::string_view>;

// Empty text and a zero date mean "not given" in the suite: both are Null.
inline SqlValue textOrNull(std::string_view text) {
    return text.empty() ? SqlValue{nullptr} : SqlValue{text};
}
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
    struct Finalizer {
        void operator()(sqlite3_stmt* st) const { sqlite3_finalize(st); }
    };
    sqlite3* db_;
    std::unique_ptr<sqlite3_stmt, Finalizer> st_;
};

class Database {
public:
    // Opens an existing file (an empty file is an empty database).
    explicit Database(const std::filesystem::path& path);

    void exec(std::string_view sql);
    Statement prepare(std::string_view sql) { return Statement(db_.get(), sql); }
    std::int64_t lastInsertRowid() const { return sqlite3_last_insert_rowid(db_.get()); }

private:
    struct Closer {
        void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
    };
    std::unique_ptr<sqlite3, Closer> db_;
};

}  // namespace lumo::tools
