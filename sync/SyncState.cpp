#include "sync/SyncState.h"

#include <sqlite3.h>

#include <utility>

#include "platform/Error.h"

namespace lumo::sync {
namespace {

constexpr const char* kSchema = R"(
CREATE TABLE IF NOT EXISTS book (key TEXT PRIMARY KEY, value TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS card (
    href TEXT PRIMARY KEY,
    person_id INTEGER NOT NULL UNIQUE,
    uid TEXT NOT NULL,
    etag TEXT NOT NULL,
    synced TEXT NOT NULL,
    fingerprint TEXT NOT NULL DEFAULT ''
);
CREATE TABLE IF NOT EXISTS server_card (
    href TEXT PRIMARY KEY,
    card TEXT NOT NULL
);
CREATE TABLE IF NOT EXISTS pending_upload (
    person_id INTEGER PRIMARY KEY,
    href TEXT NOT NULL,
    uid TEXT NOT NULL,
    card TEXT NOT NULL
);
)";

std::string doing(const std::string& what) { return "同期の記録 (LumoSync.sqlite) を" + what; }

[[noreturn]] void fail(sqlite3* db, const std::string& what) { db::throwSqliteError(db, doing(what)); }

// One prepared statement for one call; finalized when it ends.
class Statement {
public:
    Statement(sqlite3* db, const char* sql) : db_(db), handle_(db::prepareSqlite(db, sql, doing("読み書きできません"))) {}

    Statement& bind(int index, const std::string& text) {
        sqlite3_bind_text(st_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Statement& bind(int index, long long number) {
        sqlite3_bind_int64(st_, index, number);
        return *this;
    }
    bool step() {
        const int rc = sqlite3_step(st_);
        if (rc == SQLITE_ROW) return true;
        if (rc == SQLITE_DONE) return false;
        fail(db_, "読み書きできません");
    }
    std::string text(int column) const {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st_, column));
        return p ? std::string(p, static_cast<std::size_t>(sqlite3_column_bytes(st_, column))) : std::string();
    }
    long long number(int column) const { return sqlite3_column_int64(st_, column); }

private:
    sqlite3* db_;
    db::StatementHandle handle_;
    sqlite3_stmt* st_ = handle_.get();
};

}  // namespace

std::filesystem::path SyncState::fileOf(const std::filesystem::path& folder) {
    return folder / "Data" / "LumoSync.sqlite";
}

SyncState::SyncState(const std::filesystem::path& file) {
    db_ = db::openSqlite(file.string(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, doing("開けません"));
    sqlite3_busy_timeout(db_.get(), 10000);
    // WAL: a killed process leaves committed transactions whole; NORMAL
    // syncs at checkpoints, enough against a killed process.
    exec("PRAGMA journal_mode=WAL");
    exec("PRAGMA synchronous=NORMAL");
    exec(kSchema);
}

SyncState::~SyncState() = default;

void SyncState::exec(const char* sql) const {
    if (sqlite3_exec(db_.get(), sql, nullptr, nullptr, nullptr) != SQLITE_OK) fail(db_.get(), "読み書きできません");
}

std::string SyncState::value(const std::string& key) const {
    Statement st(db_.get(), "SELECT value FROM book WHERE key = ?");
    st.bind(1, key);
    return st.step() ? st.text(0) : std::string();
}

void SyncState::setValue(const std::string& key, const std::string& value) {
    Statement st(db_.get(), "INSERT OR REPLACE INTO book (key, value) VALUES (?, ?)");
    st.bind(1, key).bind(2, value).step();
}

std::vector<CardPair> SyncState::pairs() const {
    Statement st(db_.get(), "SELECT person_id, href, uid, etag, synced, fingerprint FROM card ORDER BY href");
    std::vector<CardPair> out;
    while (st.step()) out.push_back({st.number(0), st.text(1), st.text(2), st.text(3), st.text(4), st.text(5)});
    return out;
}

void SyncState::putPair(const CardPair& pair) {
    Statement dropCard(db_.get(),
                       "DELETE FROM server_card WHERE href IN (SELECT href FROM card WHERE person_id = ? AND href <> ?)");
    dropCard.bind(1, pair.person).bind(2, pair.href).step();
    Statement drop(db_.get(), "DELETE FROM card WHERE person_id = ? AND href <> ?");
    drop.bind(1, pair.person).bind(2, pair.href).step();
    Statement st(db_.get(),
                 "INSERT OR REPLACE INTO card (href, person_id, uid, etag, synced, fingerprint) VALUES (?, ?, ?, ?, ?, ?)");
    st.bind(1, pair.href).bind(2, pair.person).bind(3, pair.uid).bind(4, pair.etag).bind(5, pair.synced);
    st.bind(6, pair.fingerprint).step();
}

void SyncState::removePair(const std::string& href) {
    Statement st(db_.get(), "DELETE FROM card WHERE href = ?");
    st.bind(1, href).step();
    Statement card(db_.get(), "DELETE FROM server_card WHERE href = ?");
    card.bind(1, href).step();
}

std::string SyncState::serverCard(const std::string& href) const {
    Statement st(db_.get(), "SELECT card FROM server_card WHERE href = ?");
    st.bind(1, href);
    return st.step() ? st.text(0) : std::string();
}

void SyncState::putServerCard(const std::string& href, const std::string& card) {
    Statement st(db_.get(), "INSERT OR REPLACE INTO server_card (href, card) VALUES (?, ?)");
    st.bind(1, href).bind(2, card).step();
}

std::vector<PendingUpload> SyncState::pendingUploads() const {
    Statement st(db_.get(), "SELECT person_id, href, uid, card FROM pending_upload ORDER BY person_id");
    std::vector<PendingUpload> out;
    while (st.step()) out.push_back({st.number(0), st.text(1), st.text(2), st.text(3)});
    return out;
}

void SyncState::addPendingUpload(const PendingUpload& upload) {
    Statement st(db_.get(), "INSERT OR REPLACE INTO pending_upload (person_id, href, uid, card) VALUES (?, ?, ?, ?)");
    st.bind(1, upload.person).bind(2, upload.href).bind(3, upload.uid).bind(4, upload.card).step();
}

void SyncState::removePendingUpload(PersonId person) {
    Statement st(db_.get(), "DELETE FROM pending_upload WHERE person_id = ?");
    st.bind(1, person).step();
}

void SyncState::clear() { exec("DELETE FROM card; DELETE FROM server_card; DELETE FROM pending_upload; DELETE FROM book;"); }

SyncState::Transaction::Transaction(SyncState& state) : state_(state) { state_.exec("BEGIN IMMEDIATE"); }

SyncState::Transaction::~Transaction() {
    if (open_) sqlite3_exec(state_.db_.get(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void SyncState::Transaction::commit() {
    state_.exec("COMMIT");
    open_ = false;
}

}  // namespace lumo::sync
