#include "greetings/JointNames.h"

#include <sqlite3.h>

#include "engine/SqliteHandle.h"

namespace lumo::greetings {
namespace {

using db::DbHandle;
using db::StatementHandle;

constexpr const char* kCreate =
    "CREATE TABLE IF NOT EXISTS joint_names (person_id INTEGER PRIMARY KEY, mate INTEGER NOT NULL, "
    "children TEXT NOT NULL)";

[[noreturn]] void fail(const std::filesystem::path& file, sqlite3* db) { db::throwSqliteError(db, file.string()); }

DbHandle open(const std::filesystem::path& file, int flags) {
    DbHandle db = db::openSqlite(file.string(), flags, file.string());
    sqlite3_busy_timeout(db.get(), 2000);
    return db;
}

StatementHandle prepare(sqlite3* db, const std::filesystem::path& file, const char* sql) {
    return db::prepareSqlite(db, sql, file.string());
}

std::vector<std::string> lines(std::string_view text) {
    std::vector<std::string> out;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        if (end != 0) out.emplace_back(text.substr(0, end));
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return out;
}

}  // namespace

std::filesystem::path jointNamesFile(const std::filesystem::path& folder) { return folder / "Data" / "LumoCards.sqlite"; }

std::map<LumoAccess::Long, JointChoice> loadJointNames(const std::filesystem::path& file) {
    std::map<LumoAccess::Long, JointChoice> choices;
    if (!std::filesystem::exists(file)) return choices;
    DbHandle db = open(file, SQLITE_OPEN_READONLY);
    // A file made by an older program may lack the table: no choices then.
    StatementHandle st = prepare(db.get(), file,
                           "SELECT person_id, mate, children FROM joint_names WHERE EXISTS "
                           "(SELECT 1 FROM sqlite_master WHERE name = 'joint_names')");
    int rc;
    while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) {
        const auto* children = reinterpret_cast<const char*>(sqlite3_column_text(st.get(), 2));
        choices[static_cast<LumoAccess::Long>(sqlite3_column_int64(st.get(), 0))] =
            JointChoice{sqlite3_column_int(st.get(), 1) != 0, lines(children ? children : "")};
    }
    if (rc != SQLITE_DONE) fail(file, db.get());
    return choices;
}

void storeJointChoice(const std::filesystem::path& file, LumoAccess::Long personId, const JointChoice& choice) {
    DbHandle db = open(file, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    if (sqlite3_exec(db.get(), kCreate, nullptr, nullptr, nullptr) != SQLITE_OK) fail(file, db.get());
    const bool empty = !choice.mate && choice.children.empty();
    StatementHandle st = prepare(db.get(), file,
                           empty ? "DELETE FROM joint_names WHERE person_id = ?1"
                                 : "INSERT OR REPLACE INTO joint_names (person_id, mate, children) VALUES (?1, ?2, ?3)");
    sqlite3_bind_int64(st.get(), 1, personId);
    if (!empty) {
        std::string children;
        for (const std::string& c : choice.children) children += c + "\n";
        sqlite3_bind_int(st.get(), 2, choice.mate ? 1 : 0);
        sqlite3_bind_text(st.get(), 3, children.c_str(), static_cast<int>(children.size()), SQLITE_TRANSIENT);
    }
    if (sqlite3_step(st.get()) != SQLITE_DONE) fail(file, db.get());
}

}  // namespace lumo::greetings
