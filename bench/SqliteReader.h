#pragma once
// Read-only queries straight through the sqlite3 C API: the baselines and
// the choice of random identifiers read the files without the engine
// layer, so that nothing of the library's own reading is in their figures.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/SqliteHandle.h"

namespace lumo::bench {

class SqliteFile {
public:
    // Opens an existing database file read-only, with sqlite3_open_v2's
    // `flags` added (SQLITE_OPEN_NOMUTEX, say). Throws lumo::Error.
    explicit SqliteFile(const std::string& path, int flags = 0);
    sqlite3* get() const { return db_.get(); }

private:
    db::DbHandle db_;
};

class SqliteQuery {
public:
    // Prepares `sql`, to be run many times. Throws lumo::Error with
    // SQLite's message.
    SqliteQuery(const SqliteFile& file, std::string_view sql);

    // Binds a text to parameter `index` (from 1); the text is copied.
    void bind(int index, std::string_view text);

    bool step();  // true while a row is ready; throws on failure
    // Runs the statement (again) with integer `key` as its only parameter;
    // true when a row is ready.
    bool run(std::int64_t key);

    // Values of the current row; a Null text reads as "", a Null number as 0.
    std::string_view text(int column) const;
    double real(int column) const { return sqlite3_column_double(st_.get(), column); }
    std::int64_t integer(int column) const { return sqlite3_column_int64(st_.get(), column); }
    bool isNull(int column) const { return sqlite3_column_type(st_.get(), column) == SQLITE_NULL; }
    bool isNumber(int column) const {
        const int type = sqlite3_column_type(st_.get(), column);
        return type == SQLITE_INTEGER || type == SQLITE_FLOAT;
    }
    int columnCount() const { return sqlite3_column_count(st_.get()); }
    // The place of result column `name` (any ASCII case). Throws
    // std::runtime_error when there is none.
    int column(std::string_view name) const;

private:
    sqlite3* db_;
    db::StatementHandle st_;
};

// One read transaction on `db` while it lives, so that the statements run
// inside it share one snapshot and take the file's locks once, as the
// engine's reads do.
class ReadTransaction {
public:
    explicit ReadTransaction(sqlite3* db) : db_(db) { sqlite3_exec(db_, "BEGIN", nullptr, nullptr, nullptr); }
    ~ReadTransaction() { sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr); }
    ReadTransaction(const ReadTransaction&) = delete;
    ReadTransaction& operator=(const ReadTransaction&) = delete;

private:
    sqlite3* db_;
};

// The first column of every row of `sql`, as integers.
std::vector<std::int64_t> readIntegers(const SqliteFile& file, std::string_view sql);
// `count` values drawn at random (seeded: the same in every run) from the
// first column of the rows of `sql`. Throws when there are none.
std::vector<std::int64_t> randomIntegers(const SqliteFile& file, std::string_view sql, int count, std::uint32_t seed);
// The first column of every row of `sql` that is not Null, as text.
std::vector<std::string> readTexts(const SqliteFile& file, std::string_view sql);

}  // namespace lumo::bench
