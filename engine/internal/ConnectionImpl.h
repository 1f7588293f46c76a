#pragma once
// Internals shared by Connection and Recordset: the SQLite handle, the cache
// of prepared statements and the column description of each result shape.
#include <sqlite3.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/Connection.h"
#include "engine/DatabaseFile.h"
#include "engine/JetSql.h"
#include "engine/ShapeMemo.h"
#include "engine/SqliteHandle.h"
#include "engine/Variant.h"

namespace lumo::db {

// Case-insensitive (ASCII) lookup of field names without allocating.
struct NoCaseHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const noexcept;
};
// Inline: a reader compares a field name for every field it reads.
struct NoCaseEqual {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const noexcept {
        if (a.size() != b.size()) return false;
        if (sameBytes(a.data(), b.data(), a.size())) return true;  // callers mostly spell names as the schema does
        for (std::size_t i = 0; i < a.size(); ++i) {
            const unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
            if (x != y && upper(x) != upper(y)) return false;
        }
        return true;
    }
    // Words of eight bytes, the last one overlapping the one before: a
    // field name is compared in two or three loads instead of a byte at a
    // time. Names under eight bytes ("ID", "NOTE") take two overlapping
    // loads of four or fewer bytes rather than a call to memcmp.
    static bool sameBytes(const char* a, const char* b, std::size_t n) noexcept {
        const auto load = [](const char* p, auto word) {
            std::memcpy(&word, p, sizeof word);
            return word;
        };
        if (n < 8) {
            if (n >= 4)
                return load(a, std::uint32_t{}) == load(b, std::uint32_t{}) &&
                       load(a + n - 4, std::uint32_t{}) == load(b + n - 4, std::uint32_t{});
            for (std::size_t i = 0; i < n; ++i)
                if (a[i] != b[i]) return false;
            return true;
        }
        for (std::size_t i = 0; i + 8 < n; i += 8)
            if (load(a + i, std::uint64_t{}) != load(b + i, std::uint64_t{})) return false;
        return load(a + n - 8, std::uint64_t{}) == load(b + n - 8, std::uint64_t{});
    }
    // Field names are ASCII; the C library's toupper would cost a call per byte.
    static constexpr unsigned char upper(unsigned char c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; }
};

// How one result column is read and, for updatable recordsets, written.
struct ColumnInfo {
    std::string name;    // the field name callers use (Jet's naming)
    std::string origin;  // the table column it comes from; empty for expressions
    std::string table;   // and its table
    VarType type = VarType::Empty;  // from the declared type; Empty when unknown
    // The type is the translation's for an expression (a computed Date),
    // not a column's declaration: a value of another kind (a text) reads
    // as what it is.
    bool inferred = false;
    bool autoNumber = false;
};

struct ColumnSet {
    std::vector<ColumnInfo> columns;
    std::unordered_map<std::string, int, NoCaseHash, NoCaseEqual> index;
    int rowidColumn = -1;  // position of the row identity in the SQLite result
    bool uniqueNames = true;  // no two fields share a name
    bool allPlain = false;    // every field is a column of a table, no expression
    bool allKeys = false;     // every field is an AutoNumber key
    // Which field was asked for by name after field k - 1 the last time
    // (entry 0: first), so that a reader that asks for the fields in the
    // same order every time finds each with one comparison. Changed by
    // lookups on the connection's thread, hence mutable.
    mutable std::vector<int> following;
};

// A prepared statement for one shape of Jet text. A SELECT over one table
// also gets, on first use, the variant that returns each row's identity;
// it lives and dies with its plain statement.
struct PreparedStatement {
    JetStatement translation;
    StatementHandle statement;
    std::shared_ptr<const ColumnSet> columns;  // for statements that return rows
    bool withRowid = false;
    int parameterCount = 0;
    // Per parameter: it is assigned to a Date column, so a text that reads
    // as a date is bound as that date.
    std::vector<bool> dateParameters;
    enum class Source { Unknown, OneTable, Other } source = Source::Unknown;
    std::unique_ptr<PreparedStatement> rowidVariant;
    // The variant narrowed by a substring index (JetStatement::narrowedSql),
    // prepared on first use; lives and dies with its plain statement.
    std::unique_ptr<PreparedStatement> narrowedVariant;
};

// Binds literals, steps, and always resets the statement on the way out.
class StatementRun {
public:
    // `after` are texts bound after the literals (the index queries of a
    // narrowed statement); like the literals, they must outlive the run.
    StatementRun(sqlite3* db, PreparedStatement& prepared, const std::vector<SqlLiteral>& literals,
                 const std::vector<std::string>& after = {});
    ~StatementRun();
    StatementRun(const StatementRun&) = delete;
    StatementRun& operator=(const StatementRun&) = delete;
    bool step();  // true while a row is ready; throws on failure
    sqlite3_stmt* get() const { return prepared_.statement.get(); }

private:
    sqlite3* db_;
    PreparedStatement& prepared_;
};

// Reads between writes share one read transaction. Taking and dropping
// the file locks for every statement costs more than the statement itself,
// and the library runs one small statement per call. Only in write-ahead
// log mode, where an open read transaction never blocks a writer; and the
// snapshot is renewed when any connection of this process has written to
// the file since, or when it is older than kMaxAge, so that writes of other
// programs show up promptly too. A connection that has not read for kIdle
// loses it to the process's idle timer (IdleTimer.h): an idle connection
// must not hold a snapshot, or checkpoints of other programs' writes could
// never finish and the -wal file would grow without bound.
//
// Owned by its ConnectionImpl through a shared_ptr; the idle timer keeps
// only a weak reference, so it never keeps a connection alive. Threads:
// the connection's thread uses the handle only while it holds `inUse`
// (ConnectionImpl::lockHandle, one uncontended lock per engine call); the
// timer thread takes it only with try_lock, skips a connection in use, and
// does nothing but end an idle read transaction. Every member below
// `inUse` is guarded by it.
class ReadSnapshot : public std::enable_shared_from_this<ReadSnapshot> {
public:
    static constexpr std::chrono::milliseconds kMaxAge{100};
    static constexpr std::chrono::milliseconds kIdle{100};

    std::mutex inUse;

    void attach(sqlite3* db, const std::string& path, bool walMode);
    void detach();
    void beforeRead();   // starts or renews the shared read transaction
    void beforeWrite();  // ends it, so the write commits on its own
    void afterWrite();   // tells the other connections to renew theirs
    // The idle timer, holding `inUse`: ends the read transaction when it
    // has not been used for kIdle. Returns when to look again; nullopt
    // when no read transaction is open any more.
    std::optional<std::chrono::steady_clock::time_point> endIfIdle(std::chrono::steady_clock::time_point now);

private:
    sqlite3* db_ = nullptr;
    bool enabled_ = false;
    bool open_ = false;
    uint64_t generation_ = 0;
    std::chrono::steady_clock::time_point started_;
    std::chrono::steady_clock::time_point lastRead_;
    bool watched_ = false;  // the idle timer holds a reference
    std::shared_ptr<std::atomic<uint64_t>> writes_;  // per file, shared by the process
};

// Shared by the Connection and its open recordsets; the handle closes with
// the Connection (db is then null), the rest when the last of them goes.
// Used by the connection's thread only, one call at a time; the idle timer
// reaches just the ReadSnapshot.
struct ConnectionImpl {
    // Files the open made for the handle's use; declared first, so that
    // they go after the handle has closed.
    std::unique_ptr<MadeFile> made;
    DbHandle db;
    std::string path;
    // A SQLite write transaction is open: a BeginTrans one, or a batch's.
    bool inTransaction = false;
    // The batch (Connection::BeginBatch) and its state: whether a
    // BeginTrans savepoint is open in it, and whether SQLite has ended its
    // transaction on its own after a failure.
    bool inBatch = false;
    bool inBatchSavepoint = false;
    bool batchLost = false;
    std::shared_ptr<ReadSnapshot> snapshot = std::make_shared<ReadSnapshot>();
    // Held around every use of the handle; see ReadSnapshot.
    [[nodiscard]] std::unique_lock<std::mutex> lockHandle() const { return std::unique_lock(snapshot->inUse); }
    uint64_t opened = 0;     // counts the Opens: a recordset belongs to one of them

    // Recent texts, so that a text of a known shape is not tokenized again.
    ShapeMemo shapes;
    // Prepared statements by shape, least recently used evicted first.
    static constexpr std::size_t kCacheCapacity = 128;
    std::list<std::pair<std::string, PreparedStatement>> lru;
    std::unordered_map<std::string_view, decltype(lru)::iterator> byShape;

    // Declared column types per table, and whether a name is a table.
    std::unordered_map<std::string, bool, NoCaseHash, NoCaseEqual> isTable;
    // The file's substring indexes (SubstringIndex.h), read on first use.
    std::optional<std::vector<SubstringIndex>> substringIndexes;
    const SubstringIndex* substringIndex(std::string_view table);
    // Answers of uniqueKey, by source and column.
    std::unordered_map<std::string, bool, NoCaseHash, NoCaseEqual> uniqueKeys;
    bool uniqueKey(std::string_view source, std::string_view column);

    // The statements recordsets write and re-read rows with, by their
    // text: the library stores row after row of one shape, and preparing
    // costs more than the write itself. Emptied when full.
    static constexpr std::size_t kOwnCapacity = 64;
    std::unordered_map<std::string, StatementHandle> ownStatements;
    // The prepared statement of `sql`, ready to bind; the caller resets it
    // after use (OwnStatementRun). Fails with `doing` when it cannot be
    // prepared.
    sqlite3_stmt* ownStatement(const std::string& sql, std::string_view doing);

    sqlite3* handle() const;  // throws when not open
    // With `reads`, the statement narrowed to those result columns
    // (ReadColumns.h), cached apart from the whole one.
    PreparedStatement& prepare(const JetSqlText& text, const std::vector<std::string>& reads = {});
    void markDateParameters(PreparedStatement& prepared);
    // The identity-returning variant of a one-table SELECT; nullptr for
    // any other statement.
    PreparedStatement* rowidVariant(PreparedStatement& plain);
    // The variant narrowed by a substring index when the literals' patterns
    // can use it, with its index queries in `queries`; nullptr otherwise.
    PreparedStatement* narrowedVariant(PreparedStatement& plain, const std::vector<SqlLiteral>& literals,
                                       std::vector<std::string>& queries);
    bool tableExists(const std::string& name);
    [[noreturn]] void fail(std::string_view what) const;
    // Before a write inside a transaction: fails when it is a batch whose
    // transaction SQLite has ended (Connection::BeginBatch).
    void checkBatch();
    // Ends the batch's state after its commit or rollback.
    void endBatch();
};

ConnectionImpl& implOf(const Connection& connection);
// Resets a statement of ConnectionImpl::ownStatement when its use ends, so
// that it holds no lock and the next use starts afresh.
class ResetOnExit {
public:
    explicit ResetOnExit(sqlite3_stmt* st) : st_(st) {}
    ~ResetOnExit() { sqlite3_reset(st_); }
    ResetOnExit(const ResetOnExit&) = delete;
    ResetOnExit& operator=(const ResetOnExit&) = delete;

private:
    sqlite3_stmt* st_;
};

// Binds `value` as parameter `i`, converted to the column type `type`.
void bindValue(sqlite3_stmt* st, int i, const Variant& value);
// Converts a value assigned to a field into the column's type.
Variant coerce(const Variant& value, VarType type);

}  // namespace lumo::db
