#include "bench/StatementBench.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <memory>

#include "bench/BenchData.h"
#include "engine/Connection.h"
#include "engine/Recordset.h"

namespace lumo::bench {
namespace {

// Valid in both dialects, so both sides run the very same text.
std::string inListStatement() {
    std::string sql = "SELECT COUNT(*) FROM T_PERSON WHERE PERSON_ID IN (";
    for (int i = 1; i <= kInListValues; ++i) sql += (i > 1 ? "," : "") + std::to_string(i * 3);
    return sql + ")";
}

void ours(benchmark::State& state, const std::string& database) {
    const std::string sql = inListStatement();
    for (auto _ : state) {
        state.PauseTiming();
        auto cn = std::make_unique<db::Connection>();  // an empty statement cache
        cn->Open(connectionFor(database));
        state.ResumeTiming();
        db::Recordset rs;
        rs.Open(sql, *cn, db::adOpenForwardOnly, db::adLockReadOnly, db::adCmdText);
        benchmark::DoNotOptimize(rs.Fields(0).Value().toLong());
        rs.Close();
        state.PauseTiming();
        cn.reset();
        state.ResumeTiming();
    }
}

void direct(benchmark::State& state, const std::string& database) {
    const std::string sql = inListStatement();
    sqlite3* raw = nullptr;
    sqlite3_open_v2(database.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
    const std::unique_ptr<sqlite3, int (*)(sqlite3*)> db(raw, sqlite3_close);
    for (auto _ : state) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(raw, sql.c_str(), static_cast<int>(sql.size()), &st, nullptr) != SQLITE_OK) {
            state.SkipWithError(sqlite3_errmsg(raw));
            break;
        }
        sqlite3_step(st);
        benchmark::DoNotOptimize(sqlite3_column_int(st, 0));
        sqlite3_finalize(st);
    }
}

// A statement of a shape the connection has not seen (its alias is new
// each time), as the first statement of each kind a program sends: the
// translation runs every time, then the prepare and one row. A search
// list's statement, with an outer join, '&', a date column given to
// Format and LIKE tests.
void newShapes(benchmark::State& state, const std::string& database) {
    db::Connection cn;
    cn.Open(connectionFor(database));
    long shape = 0;
    for (auto _ : state) {
        const std::string sql = "SELECT P.PERSON_ID AS K" + std::to_string(++shape) +
                                ", P.LASTNAME & ' ' & P.FIRSTNAME AS NAME, Format(P.BIRTHDAY, 'yyyy/mm/dd') AS B "
                                "FROM T_PERSON AS P LEFT JOIN T_PHONE AS H ON H.PERSON_ID = P.PERSON_ID "
                                "WHERE P.PERSON_ID = 7 AND (P.LASTNAME LIKE '%a%' OR H.TEL_NUMBER LIKE '%1%') "
                                "ORDER BY P.LASTALIAS";
        db::Recordset rs;
        rs.Open(sql, cn, db::adOpenForwardOnly, db::adLockReadOnly, db::adCmdText);
        benchmark::DoNotOptimize(rs.Eof());
        rs.Close();
    }
}

}  // namespace

std::string statementBenchmarkName(std::string_view who) { return "statement/in_list/" + std::string(who); }

void registerStatementBenchmarks(const std::string& personDatabase) {
    benchmark::RegisterBenchmark(statementBenchmarkName("ours").c_str(), ours, personDatabase)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(statementBenchmarkName("sqlite3").c_str(), direct, personDatabase)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(std::string(kNewShapeBenchmark).c_str(), newShapes, personDatabase)
        ->Unit(benchmark::kMicrosecond);
}

}  // namespace lumo::bench
