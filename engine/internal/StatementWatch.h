#pragma once
// A test's look at the statements the engine runs. While a watcher is set,
// it is told of every statement a Connection executes, a Recordset opens
// (a table opened whole included, and its rows read later) or forEachRow
// runs: the Jet text the caller handed over, the SQLite text the engine
// prepared for it (its translation as it runs: with the row identity, or
// narrowed by a substring index, where the engine runs those) and the
// values bound to it. A test collects with it every statement a part of
// the suite builds, and checks the plan and the rows of each
// (tests/access/LibraryStatementPlansTest.cpp). The engine's own statements
// that need no translation (a recordset's row writes, savepoints) are not
// told.
//
// Test-only: no program of the suite sets a watcher. Internal to the
// engine: of it the engine's private library exports watchStatements
// alone, for the tests that link it, and libLumoAccess.so exports none of
// it (its version script, tests/boundary).
//
// One process-wide setting, which the engine's library holds: a test that
// sets it also sees the statements libLumoAccess.so and the export run on
// their own connections. Unset, a statement pays one load of a pointer and
// a branch that always goes the same way.
//
// Threads: a watcher is set and unset while no statement it should see
// runs. It is called on the thread that runs the statement, while that
// statement's connection is held: it must not use that connection, and it
// must be safe to call from every thread that runs statements while it is
// set. It must outlive its setting (ScopedStatementWatch).
#include <atomic>
#include <span>
#include <string>
#include <string_view>

#include "engine/JetSql.h"

namespace lumo::db {

struct PreparedStatement;

// What one run is; the views are valid during the call only.
struct WatchedStatement {
    std::string_view jet;     // as the caller wrote it ("SELECT * FROM [T]" for a table opened whole)
    std::string_view sqlite;  // what SQLite runs, one '?' per value
    std::span<const SqlLiteral> literals;     // bound first, in order
    std::span<const std::string> indexQueries;  // a narrowed statement's index queries, bound after them
    std::span<const std::string> reads;       // the only columns a forEachRow caller reads; empty: all
    bool returnsRows = false;
};

class StatementWatcher {
public:
    virtual void seen(const WatchedStatement& statement) = 0;

protected:
    ~StatementWatcher() = default;
};

// Sets the process's watcher (nullptr: none).
void watchStatements(StatementWatcher* watcher) noexcept;

// Sets a watcher for the lifetime of the object.
class ScopedStatementWatch {
public:
    explicit ScopedStatementWatch(StatementWatcher& watcher) { watchStatements(&watcher); }
    ~ScopedStatementWatch() { watchStatements(nullptr); }
    ScopedStatementWatch(const ScopedStatementWatch&) = delete;
    ScopedStatementWatch& operator=(const ScopedStatementWatch&) = delete;
};

// Hidden: only the engine's library reaches these (a test sets the
// watcher through watchStatements), and the statement's check is then a
// single load of the pointer.
namespace watch_detail {
[[gnu::visibility("hidden")]] extern std::atomic<StatementWatcher*> watcher;
[[gnu::visibility("hidden")]] void tell(StatementWatcher& watcher, std::string_view jet, const PreparedStatement& run,
                                        std::span<const SqlLiteral> literals, std::span<const std::string> indexQueries,
                                        std::span<const std::string> reads);
}  // namespace watch_detail

// Placed where a statement is about to run (or, for a table opened to add
// rows, is ready to): `run` is the prepared statement that runs.
inline void tellWatcher(std::string_view jet, const PreparedStatement& run, std::span<const SqlLiteral> literals,
                        std::span<const std::string> indexQueries = {}, std::span<const std::string> reads = {}) {
    if (StatementWatcher* w = watch_detail::watcher.load(std::memory_order_acquire)) [[unlikely]]
        watch_detail::tell(*w, jet, run, literals, indexQueries, reads);
}

}  // namespace lumo::db
