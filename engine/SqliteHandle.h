#pragma once
// The one RAII wrapper of SQLite's C handles. The engine keeps its
// connections and prepared statements in these, and so does every program
// of the suite that reads or writes a file of its own straight through
// SQLite (the files `lumo init` makes, the sync and greeting records, the
// benchmarks' baselines).
//
// A handle owns its connection or statement and closes or finalizes it
// when it goes; it may be moved, never copied. A connection is used by one
// thread at a time (the engine opens its files SQLITE_OPEN_NOMUTEX); a
// statement lives no longer than its connection.
//
// Inline, so that programs outside the engine's library need only SQLite.
#include <sqlite3.h>

#include <memory>
#include <string>
#include <string_view>

#include "platform/Error.h"

namespace lumo::db {

struct SqliteCloser {
    void operator()(sqlite3* db) const noexcept { sqlite3_close_v2(db); }
};
struct StatementFinalizer {
    void operator()(sqlite3_stmt* st) const noexcept { sqlite3_finalize(st); }
};
using DbHandle = std::unique_ptr<sqlite3, SqliteCloser>;
using StatementHandle = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

// SQLite's text of the last failure on `db`; without a handle (SQLite
// could not allocate one) "out of memory".
inline std::string sqliteMessage(sqlite3* db) { return db ? sqlite3_errmsg(db) : "out of memory"; }

// A failure of `doing` on `db`, as "<doing>: <SQLite's text>".
[[noreturn]] inline void throwSqliteError(sqlite3* db, std::string_view doing) {
    throw Error(std::string(doing) + ": " + sqliteMessage(db));
}

// Opens `path` with sqlite3_open_v2's `flags`. A failed open is closed at
// once and thrown as `doing`'s failure.
inline DbHandle openSqlite(const std::string& path, int flags, std::string_view doing) {
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &raw, flags, nullptr);
    DbHandle db(raw);  // closed even when the open failed
    if (rc != SQLITE_OK) throwSqliteError(raw, doing);
    return db;
}

// Prepares `sql` on `db` (sqlite3_prepare_v3's `flags`: 0, or
// SQLITE_PREPARE_PERSISTENT for a statement run many times); a failure is
// thrown as `doing`'s.
inline StatementHandle prepareSqlite(sqlite3* db, std::string_view sql, std::string_view doing,
                                     unsigned flags = 0) {
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v3(db, sql.data(), static_cast<int>(sql.size()), flags, &raw, nullptr) != SQLITE_OK)
        throwSqliteError(db, doing);
    return StatementHandle(raw);
}

}  // namespace lumo::db
