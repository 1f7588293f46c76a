#include "bench/EngineOverhead.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <memory>
#include <stdexcept>
#include <vector>

#include "bench/BenchData.h"
#include "bench/Lazy.h"
#include "bench/ReaderBaselines.h"
#include "bench/SqliteReader.h"
#include "engine/Connection.h"
#include "engine/Recordset.h"

namespace lumo::bench {
namespace {

constexpr std::uint32_t kSeed = 20240613;

std::string rangeText(std::int64_t first, int rows, bool jet) {
    if (!jet) return "SELECT * FROM T_PERSON WHERE PERSON_ID >= ?1 AND PERSON_ID < ?1 + ?2";
    return "SELECT * FROM T_PERSON WHERE PERSON_ID >= " + std::to_string(first) + " AND PERSON_ID < " +
           std::to_string(first) + " + " + std::to_string(rows);
}

// Adds up what a reader would look at, so that nothing is optimised away.
std::size_t touch(const db::Variant& v) {
    if (const std::string* s = v.stringValue()) return s->size();
    return static_cast<std::size_t>(v.type());
}

struct Overhead {
    std::string database;
    int rows;
    std::vector<std::int64_t> firsts;  // the first key of each statement
    std::vector<std::string> texts;    // ours: the Jet text of each

    Overhead(std::string file, int rowCount, int statements) : database(std::move(file)), rows(rowCount) {
        const SqliteFile f(database);
        // Keys are dense: the first key of a range is one whose range is whole.
        const std::int64_t last = readIntegers(f, "SELECT max(PERSON_ID) FROM T_PERSON").at(0);
        firsts = randomIntegers(f, "SELECT PERSON_ID FROM T_PERSON WHERE PERSON_ID <= " +
                                       std::to_string(last - rows + 1), statements, kSeed);
        for (std::int64_t first : firsts) texts.push_back(rangeText(first, rows, true));
    }
};

void ours(benchmark::State& state, const Overhead& o) {
    db::Connection cn;
    std::vector<std::string> names;
    try {
        cn.Open(connectionFor(o.database));
        db::Recordset rs;
        rs.Open(o.texts[0], cn, db::adOpenDynamic, -1, db::adCmdUnspecified);
        for (int i = 0; i < rs.FieldCount(); ++i) names.push_back(rs.Fields(i).Name());
        if (rs.RecordCount() != o.rows) throw std::runtime_error("the statement does not read " + std::to_string(o.rows) + " rows");
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
        return;
    }
    std::size_t i = 0, sum = 0;
    for (auto _ : state) {
        db::Recordset rs;
        rs.Open(o.texts[i++ % o.texts.size()], cn, db::adOpenDynamic, -1, db::adCmdUnspecified);
        for (; !rs.Eof(); rs.MoveNext())
            for (const std::string& name : names) sum += touch(rs.Fields(name).Value());
        rs.Close();
    }
    benchmark::DoNotOptimize(sum);
}

void direct(benchmark::State& state, const Overhead& o) {
    const SqliteFile file(o.database);
    sqlite3* db = file.get();
    const std::string sql = rangeText(0, o.rows, false);
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v3(db, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &raw, nullptr) != SQLITE_OK) {
        state.SkipWithError(sqlite3_errmsg(db));
        return;
    }
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> st(raw, sqlite3_finalize);
    const ReadTransaction reading(db);
    std::size_t i = 0, sum = 0;
    for (auto _ : state) {
        sqlite3_reset(raw);
        sqlite3_bind_int64(raw, 1, o.firsts[i++ % o.firsts.size()]);
        sqlite3_bind_int(raw, 2, o.rows);
        while (sqlite3_step(raw) == SQLITE_ROW) {
            for (int c = 0, n = sqlite3_column_count(raw); c < n; ++c) {
                switch (sqlite3_column_type(raw, c)) {
                case SQLITE_INTEGER: sum += static_cast<std::size_t>(sqlite3_column_int64(raw, c)); break;
                case SQLITE_FLOAT: sum += static_cast<std::size_t>(sqlite3_column_double(raw, c)); break;
                case SQLITE_NULL: ++sum; break;
                default:
                    benchmark::DoNotOptimize(sqlite3_column_text(raw, c));
                    sum += static_cast<std::size_t>(sqlite3_column_bytes(raw, c));
                }
            }
        }
    }
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    benchmark::DoNotOptimize(sum);
}

}  // namespace

std::string overheadBenchmarkName(int rows, std::string_view who) {
    return "engine/" + std::to_string(rows) + "_rows/" + std::string(who);
}

void registerEngineOverhead(const std::string& personDatabase, int statements) {
    for (int rows : kOverheadRows) {
        auto lazy = lazily<Overhead>(personDatabase, rows, statements);
        for (const bool engine : {true, false})
            benchmark::RegisterBenchmark(overheadBenchmarkName(rows, engine ? "ours" : "sqlite3").c_str(),
                                         [lazy, engine](benchmark::State& state) {
                                             const Overhead* o = nullptr;
                                             try {
                                                 o = &lazy->get();
                                             } catch (const std::exception& e) {
                                                 state.SkipWithError(e.what());
                                                 return;
                                             }
                                             engine ? ours(state, *o) : direct(state, *o);
                                         })
                ->Iterations(statements)
                ->Repetitions(kReaderRepetitions)
                ->Unit(benchmark::kMicrosecond);
    }
}

}  // namespace lumo::bench
