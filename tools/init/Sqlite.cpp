#include "tools/init/Sqlite.h"

#include <string>
#include <type_traits>

#include "platform/Error.h"
#include "platform/FaultInjection.h"

namespace lumo::tools {
namespace {

[[noreturn]] void fail(sqlite3* db, std::string_view doing) { db::throwSqliteError(db, doing); }

std::string_view fileOf(sqlite3* db) {
    const char* name = sqlite3_db_filename(db, "main");
    return name ? name : "";
}

}  // namespace

SqlValue::SqlValue(const db::Variant& value) : variant(nullptr) {
    switch (value.type()) {
    case db::VarType::Empty:
    case db::VarType::Null: break;
    case db::VarType::Integer:
    case db::VarType::Long: emplace<std::int64_t>(value.toLong()); break;
    case db::VarType::Boolean: emplace<std::int64_t>(value.toBool() ? -1 : 0); break;  // Yes/No as stored
    case db::VarType::Double: emplace<double>(value.toDouble()); break;
    case db::VarType::Date: emplace<double>(value.toDate()); break;
    case db::VarType::String: emplace<std::string>(*value.stringValue()); break;
    }
}

Statement::Statement(sqlite3* db, std::string_view sql)
    : db_(db), st_(db::prepareSqlite(db, sql, "SQL の準備に失敗しました (prepare failed)")) {}

void Statement::bind(int index, const SqlValue& value) {
    sqlite3_stmt* st = st_.get();
    const int rc = std::visit(
        [&](const auto& v) {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::nullptr_t>)
                return sqlite3_bind_null(st, index);
            else if constexpr (std::is_same_v<T, std::int64_t>)
                return sqlite3_bind_int64(st, index, v);
            else if constexpr (std::is_same_v<T, double>)
                return sqlite3_bind_double(st, index, v);
            else
                return sqlite3_bind_text(st, index, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
        },
        value);
    if (rc != SQLITE_OK) fail(db_, "値の設定に失敗しました (bind failed)");
}

bool Statement::step() {
    db::faultPoint(db::FaultStep::Execute, db_, [&] { return fileOf(db_); }, "SQL の実行に失敗しました (step failed)");
    const int rc = sqlite3_step(st_.get());
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    fail(db_, "SQL の実行に失敗しました (step failed)");
}

void Statement::reset() {
    sqlite3_reset(st_.get());
    sqlite3_clear_bindings(st_.get());
}

std::int64_t Statement::columnInt(int index) const { return sqlite3_column_int64(st_.get(), index); }

std::string Statement::columnText(int index) const {
    const unsigned char* text = sqlite3_column_text(st_.get(), index);
    return text ? std::string(reinterpret_cast<const char*>(text),
                              static_cast<std::size_t>(sqlite3_column_bytes(st_.get(), index)))
                : std::string();
}

Database::Database(const std::filesystem::path& path) {
    db::faultPoint(db::FaultStep::Open, nullptr, path.native(),
                   [&] { return "データベースを開けません (cannot open " + path.string() + ")"; });
    db_ = db::openSqlite(path.string(), SQLITE_OPEN_READWRITE,
                         "データベースを開けません (cannot open " + path.string() + ")");
    sqlite3_extended_result_codes(db_.get(), 1);
}

void Database::exec(std::string_view sql) {
    db::faultPoint(db::FaultStep::Execute, db_.get(), [&] { return fileOf(db_.get()); },
                   "SQL の実行に失敗しました (exec failed)");
    const std::string text(sql);
    char* message = nullptr;
    if (sqlite3_exec(db_.get(), text.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
        std::string what = message ? message : sqlite3_errmsg(db_.get());
        sqlite3_free(message);
        throw Error("SQL の実行に失敗しました (exec failed): " + what);
    }
}

}  // namespace lumo::tools
