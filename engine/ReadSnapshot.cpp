#include <filesystem>
#include <mutex>
#include <unordered_map>

#include "platform/Error.h"
#include "ConnectionImpl.h"
#include "IdleTimer.h"
#include "engine/DatabaseFile.h"

namespace lumo::db {
namespace {

// One write counter per database file, shared by every connection of the
// process to that file.
std::shared_ptr<std::atomic<uint64_t>> writeCounter(const std::string& path) {
    static std::mutex m;
    static std::unordered_map<std::string, std::weak_ptr<std::atomic<uint64_t>>> counters;
    std::error_code ec;
    std::string key = std::filesystem::weakly_canonical(path, ec).string();
    if (ec) key = path;
    std::lock_guard lock(m);
    auto& slot = counters[key];
    auto counter = slot.lock();
    if (!counter) {
        counter = std::make_shared<std::atomic<uint64_t>>(0);
        slot = counter;
    }
    return counter;
}

void exec(sqlite3* db, const char* sql) {
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        throw Error("SQL 文を実行できません: " + describeFailure(db));
}

}  // namespace

void ReadSnapshot::attach(sqlite3* db, const std::string& path, bool walMode) {
    db_ = db;
    enabled_ = walMode;
    open_ = false;
    writes_ = writeCounter(path);
}

void ReadSnapshot::detach() {
    if (open_ && db_) sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
    open_ = false;
    db_ = nullptr;
    writes_.reset();
}

void ReadSnapshot::beforeRead() {
    if (!enabled_) return;
    const auto now = std::chrono::steady_clock::now();
    if (open_ && (writes_->load() != generation_ || now - started_ > kMaxAge)) beforeWrite();
    lastRead_ = now;
    if (open_) return;
    generation_ = writes_->load();
    started_ = now;
    exec(db_, "BEGIN");
    open_ = true;
    if (!watched_) watched_ = watchIdle(weak_from_this());
}

std::optional<std::chrono::steady_clock::time_point> ReadSnapshot::endIfIdle(std::chrono::steady_clock::time_point now) {
    if (open_ && now - lastRead_ < kIdle) return lastRead_ + kIdle;
    // Ending a read transaction fails only when SQLite is out of memory;
    // then it stays open and the timer tries again.
    if (open_ && sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) return now + kIdle;
    open_ = false;
    watched_ = false;
    return std::nullopt;
}

void ReadSnapshot::beforeWrite() {
    if (!open_) return;
    open_ = false;
    exec(db_, "COMMIT");
}

void ReadSnapshot::afterWrite() {
    if (writes_) ++*writes_;
}

}  // namespace lumo::db
