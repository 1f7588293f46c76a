#include "bench/SqliteReader.h"

#include <random>
#include <stdexcept>

namespace lumo::bench {
namespace {

[[noreturn]] void fail(sqlite3* db, std::string_view doing) { db::throwSqliteError(db, doing); }

}  // namespace

SqliteFile::SqliteFile(const std::string& path, int flags)
    : db_(db::openSqlite(path, SQLITE_OPEN_READONLY | flags, "cannot open " + path)) {}

SqliteQuery::SqliteQuery(const SqliteFile& file, std::string_view sql)
    : db_(file.get()), st_(db::prepareSqlite(db_, sql, "cannot prepare query", SQLITE_PREPARE_PERSISTENT)) {}

void SqliteQuery::bind(int index, std::string_view text) {
    if (sqlite3_bind_text(st_.get(), index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT) != SQLITE_OK)
        fail(db_, "cannot bind a parameter");
}

bool SqliteQuery::step() {
    const int rc = sqlite3_step(st_.get());
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    fail(db_, "query failed");
}

int SqliteQuery::column(std::string_view name) const {
    for (int i = 0; i < columnCount(); ++i)
        if (sqlite3_stricmp(sqlite3_column_name(st_.get(), i), std::string(name).c_str()) == 0) return i;
    throw std::runtime_error("no column " + std::string(name));
}

bool SqliteQuery::run(std::int64_t key) {
    sqlite3_reset(st_.get());
    if (sqlite3_bind_int64(st_.get(), 1, key) != SQLITE_OK) fail(db_, "cannot bind a parameter");
    return step();
}

std::string_view SqliteQuery::text(int column) const {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st_.get(), column));
    if (!p) return {};
    return {p, static_cast<std::size_t>(sqlite3_column_bytes(st_.get(), column))};
}

std::vector<std::int64_t> readIntegers(const SqliteFile& file, std::string_view sql) {
    std::vector<std::int64_t> values;
    SqliteQuery query(file, sql);
    while (query.step()) values.push_back(query.integer(0));
    return values;
}

std::vector<std::int64_t> randomIntegers(const SqliteFile& file, std::string_view sql, int count, std::uint32_t seed) {
    const std::vector<std::int64_t> pool = readIntegers(file, sql);
    if (pool.empty()) throw std::runtime_error("no rows to pick from: " + std::string(sql));
    std::mt19937 random(seed);
    std::uniform_int_distribution<std::size_t> index(0, pool.size() - 1);
    std::vector<std::int64_t> picks;
    for (int i = 0; i < count; ++i) picks.push_back(pool[index(random)]);
    return picks;
}

std::vector<std::string> readTexts(const SqliteFile& file, std::string_view sql) {
    std::vector<std::string> values;
    SqliteQuery query(file, sql);
    while (query.step())
        if (!query.isNull(0)) values.emplace_back(query.text(0));
    return values;
}

}  // namespace lumo::bench
