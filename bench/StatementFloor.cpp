#include "bench/StatementFloor.h"

#include <benchmark/benchmark.h>

#include <exception>
#include <memory>
#include <vector>

#include "access/item/SheetKinds.h"
#include "bench/ExportBenchmarks.h"
#include "bench/ReaderStatements.h"
#include "bench/SqliteReader.h"

namespace lumo::bench {
namespace {

// Every column of the current row, read the way its storage asks; the
// sum keeps the reads from being optimised away.
std::int64_t readRow(const SqliteQuery& q) {
    std::int64_t sum = 0;
    for (int c = 0; c < q.columnCount(); ++c)
        sum += q.isNumber(c) ? q.integer(c) : static_cast<std::int64_t>(q.text(c).size());
    return sum;
}

std::int64_t readAll(SqliteQuery& q, std::int64_t key) {
    std::int64_t sum = 0;
    for (bool row = q.run(key); row; row = q.step()) sum += readRow(q);
    return sum;
}

// One export's worth: the keys listed first, as the export lists them,
// then the record statements per key.
std::int64_t personRun(const SqliteFile& file) {
    const ReadTransaction reading(file.get());
    SqliteQuery person(file, reader::kPerson), phones(file, reader::kPhones), mails(file, reader::kMails),
        children(file, reader::kChildren);
    std::int64_t sum = 0;
    for (std::int64_t id : readIntegers(file, "SELECT PERSON_ID FROM T_PERSON"))
        sum += readAll(person, id) + readAll(phones, id) + readAll(mails, id) + readAll(children, id);
    return sum;
}

// A sheet leads to its goods and to its supplier (a purchase, SHEET_ID 0)
// or its customer.
std::int64_t goodsRun(const SqliteFile& file) {
    const ReadTransaction reading(file.get());
    SqliteQuery sheet(file, reader::kSheet), goods(file, reader::kGoods),
        supplier(file, reader::counterpart(access::kSupplierRows)),
        customer(file, reader::counterpart(access::kCustomerRows));
    const int kind = sheet.column("SHEET_ID"), goodsId = sheet.column("GOODS_ID"),
              supplierId = sheet.column(schema::columnOf(access::kPurchase.columns, access::kPurchase.counterpart)),
              customerId = sheet.column(schema::columnOf(access::kSale.columns, access::kSale.counterpart));
    std::int64_t sum = 0;
    for (std::int64_t id : readIntegers(file, "SELECT ID FROM T_SHEET")) {
        if (!sheet.run(id)) continue;
        sum += readRow(sheet);
        const bool purchase = sheet.integer(kind) == 0;
        const std::int64_t party = sheet.integer(purchase ? supplierId : customerId);
        sum += readAll(goods, sheet.integer(goodsId)) + readAll(purchase ? supplier : customer, party);
    }
    return sum;
}

void runFloor(benchmark::State& state, const std::string& database, bool persons) {
    try {
        // Without the connection's own lock, as the engine opens its files:
        // a floor must not be slower than the engine could be.
        const SqliteFile file(database, SQLITE_OPEN_NOMUTEX);
        for (auto _ : state) benchmark::DoNotOptimize(persons ? personRun(file) : goodsRun(file));
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
    }
}

}  // namespace

void registerStatementFloor(const BenchData& data, std::int64_t records) {
    for (const bool persons : {true, false}) {
        const std::string database = persons ? data.personDatabase(records) : data.itemDatabase(records);
        benchmark::RegisterBenchmark(exportBenchmarkName(persons ? "person" : "goods", "statements", records).c_str(),
                                     [=](benchmark::State& state) { runFloor(state, database, persons); })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->Repetitions(5);
    }
}

}  // namespace lumo::bench
