#include "tests/support/DatabaseState.h"

#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <stdexcept>

#include "engine/SqliteHandle.h"

namespace lumo::test {
namespace fs = std::filesystem;
namespace {

using Handle = db::DbHandle;
using Statement = db::StatementHandle;

Handle openReadOnly(const fs::path& file) {
    if (!fs::exists(file)) throw std::runtime_error("no database file " + file.string());
    Handle db = db::openSqlite(file.string(), SQLITE_OPEN_READONLY, "cannot open " + file.string());
    sqlite3_busy_timeout(db.get(), 5000);
    return db;
}

Statement prepare(sqlite3* db, const std::string& sql) { return db::prepareSqlite(db, sql, sql); }

std::vector<std::string> rowsOf(sqlite3* db, const std::string& sql) {
    std::vector<std::string> rows;
    Statement st = prepare(db, sql);
    int rc = SQLITE_OK;
    while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) {
        std::string row;
        for (int i = 0; i < sqlite3_column_count(st.get()); ++i) {
            if (i > 0) row += '|';
            const auto* text = sqlite3_column_text(st.get(), i);
            row += text ? reinterpret_cast<const char*>(text) : "<null>";
        }
        rows.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE) throw std::runtime_error(sql + ": " + sqlite3_errmsg(db));
    return rows;
}

// Up to `limit` entries of `a` that `b` lacks (both sorted).
std::vector<std::string> onlyIn(const std::vector<std::string>& a, const std::vector<std::string>& b, std::size_t limit) {
    std::vector<std::string> out;
    std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(out));
    if (out.size() > limit) out.resize(limit);
    return out;
}

}  // namespace

DatabaseDump dumpDatabase(const fs::path& file) {
    Handle db = openReadOnly(file);
    DatabaseDump dump;
    rowsOf(db.get(), "BEGIN");  // one consistent read of every table
    // A full-text table is dumped as what it holds, every term with the
    // row it stands for: its shadow tables keep deleted entries until they
    // are merged, so a file whose index says the same may store it apart.
    std::vector<std::string> shadows;
    for (const std::string& fts : rowsOf(db.get(), "SELECT name FROM sqlite_schema WHERE type = 'table' AND "
                                                   "sql LIKE 'CREATE VIRTUAL TABLE%USING fts5%'")) {
        for (const char* suffix : {"_data", "_idx", "_config", "_docsize", "_content"}) shadows.push_back(fts + suffix);
        rowsOf(db.get(), "CREATE VIRTUAL TABLE temp.lumo_dump_terms USING fts5vocab(main, \"" + fts + "\", 'instance')");
        std::vector<std::string> rows = rowsOf(db.get(), "SELECT hex(term), doc FROM temp.lumo_dump_terms");
        rowsOf(db.get(), "DROP TABLE temp.lumo_dump_terms");
        std::sort(rows.begin(), rows.end());
        dump.tables.emplace(fts, std::move(rows));
    }
    for (const std::string& table :
         rowsOf(db.get(), "SELECT name FROM sqlite_schema WHERE type = 'table' AND sql NOT LIKE 'CREATE VIRTUAL%' "
                          "ORDER BY name")) {
        if (std::find(shadows.begin(), shadows.end(), table) != shadows.end()) continue;
        std::vector<std::string> rows = rowsOf(db.get(), "SELECT * FROM \"" + table + "\"");
        std::sort(rows.begin(), rows.end());
        dump.tables.emplace(table, std::move(rows));
    }
    rowsOf(db.get(), "COMMIT");
    return dump;
}

std::string describeDifference(const DatabaseDump& expected, const DatabaseDump& actual) {
    static const std::vector<std::string> none;
    std::string out;
    auto tables = [](const DatabaseDump& d) {
        std::vector<std::string> names;
        for (const auto& [name, rows] : d.tables) names.push_back(name);
        return names;
    };
    std::vector<std::string> names = tables(expected), more = tables(actual);
    names.insert(names.end(), more.begin(), more.end());
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    for (const std::string& name : names) {
        const auto e = expected.tables.find(name);
        const auto a = actual.tables.find(name);
        const auto& eRows = e == expected.tables.end() ? none : e->second;
        const auto& aRows = a == actual.tables.end() ? none : a->second;
        if (e != expected.tables.end() && a != actual.tables.end() && eRows == aRows) continue;
        out += name + ":";
        if (e == expected.tables.end()) out += " (table not expected)";
        if (a == actual.tables.end()) out += " (table missing)";
        for (const std::string& row : onlyIn(eRows, aRows, 3)) out += "\n  missing: " + row;
        for (const std::string& row : onlyIn(aRows, eRows, 3)) out += "\n  extra:   " + row;
        out += "\n";
    }
    return out;
}

std::vector<std::string> queryRows(const fs::path& file, const std::string& sql) {
    Handle db = openReadOnly(file);
    return rowsOf(db.get(), sql);
}

long long scalarOf(const fs::path& file, const std::string& sql) {
    Handle db = openReadOnly(file);
    const std::vector<std::string> rows = rowsOf(db.get(), sql);
    return rows.empty() ? -1 : std::stoll(rows.front().substr(0, rows.front().find('|')));
}

std::string integrityCheck(const fs::path& file) {
    try {
        Handle db = openReadOnly(file);
        std::string out;
        for (const std::string& line : rowsOf(db.get(), "PRAGMA integrity_check")) out += (out.empty() ? "" : "\n") + line;
        return out;
    } catch (const std::exception& e) {
        return e.what();
    }
}

void copyDatabase(const fs::path& from, const fs::path& to) {
    fs::copy_file(from, to, fs::copy_options::overwrite_existing);
    const fs::path wal = from.string() + "-wal";
    std::error_code ec;
    if (fs::exists(wal, ec)) fs::copy_file(wal, to.string() + "-wal", fs::copy_options::overwrite_existing);
    else fs::remove(to.string() + "-wal", ec);
}

TemporaryFolder::TemporaryFolder(const std::string& prefix) {
    static std::atomic<int> counter{0};
    path_ = fs::temp_directory_path() / (prefix + "_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
    fs::remove_all(path_);
    fs::create_directories(path_);
}

TemporaryFolder::~TemporaryFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

}  // namespace lumo::test
