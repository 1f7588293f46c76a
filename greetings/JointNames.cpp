#include "greetings/JointNames.h"

#include <sqlite3.h>

#include <memory>

#include "platform/Error.h"

namespace lumo::greetings {
namespace {

struct Closer {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
struct Finalizer {
    void operator()(sqlite3_stmt* st) const { sqlite3_finalize(st); }
};
using Database = std::unique_ptr<sqlite3, Closer>;
using Statement = std::unique_ptr<sqlite3_stmt, Finalizer>;

constexpr const char* kCreate =
    "CREATE TABLE IF NOT EXISTS joint_names (person_id INTEGER PRIMARY KEY, mate INTEGER NOT NULL, "
    "children TEXT NOT NULL)";

[[noreturn]] void fail(const std::filesystem::path& file, sqlite3* db) {
    throw Error(file.string() + ": " + (db ? sqlite3_errmsg(db) : "開けません"));
}

Database open(const std::filesystem::path& file, int flags) {
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(file.c_str(), &raw, flags, nullptr);
    Database db(raw);
    if (rc != SQLITE_OK) fail(file, db.get());
    sqlite3_busy_timeout(db.get(), 2000);
    return db;
}

Statement prepare(sqlite3* db, const std::filesystem::path& file, const char* sql) {
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &raw, nullptr) != SQLITE_OK) fail(file, db);
    return Statement(raw);
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
    Database db = open(file, SQLITE_OPEN_READONLY);
    // A file made by an older program may lack the table: no choices then.
    Statement st = prepare(db.get(), file,
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
    Database db = open(file, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    if (sqlite3_exec(db.get(), kCreate, nullptr, nullptr, nullptr) != SQLITE_OK) fail(file, db.get());
    const bool empty = !choice.mate && choice.children.empty();
    Statement st = prepare(db.get(), file,
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
