#include "bench/StatementFloor.h"

#include <benchmark/benchmark.h>

#include <exception>
#include <memory>
#include <vector>

#include "bench/ExportBenchmarks.h"
#include "bench/SqliteReader.h"

namespace lumo::bench {
namespace {

// The texts the readers hand to SQLite for one record (the engine adds
// each row's identity to them; that column is left out here).
constexpr const char* kPerson = "SELECT * FROM T_PERSON WHERE T_PERSON.PERSON_ID = ?";
constexpr const char* kPhones =
    "SELECT T_PHONE.PHONE_ID, T_PHONE.TYPE, T_PHONE.LABEL, T_PHONE.TEL_NUMBER, T_PHONE.RANK FROM T_PHONE "
    "WHERE PERSON_ID = ? ORDER BY T_PHONE.RANK, T_PHONE.PHONE_ID";
constexpr const char* kMails =
    "SELECT T_EMAIL.MAIL_ID, T_EMAIL.TYPE, T_EMAIL.LABEL, T_EMAIL.MAIL_ADDRESS, T_EMAIL.RANK FROM T_EMAIL "
    "WHERE PERSON_ID = ? ORDER BY T_EMAIL.RANK DESC";
constexpr const char* kChildren = "SELECT * FROM T_CHILDREN WHERE PERSON_ID = ?";
constexpr const char* kSheet = "SELECT * FROM T_SHEET WHERE ID = ?";
constexpr const char* kGoods = "SELECT * FROM T_ITEMS WHERE ID = ?";
constexpr const char* kSupplier = "SELECT * FROM T_iSUPPLIER WHERE SUPPLIER_ID = ?";
constexpr const char* kCustomer = "SELECT * FROM T_iCUSTOMER WHERE CUSTOMER_ID = ?";

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
    for (bool row = q.rerun(key); row; row = q.step()) sum += readRow(q);
    return sum;
}

// One export's worth: the keys listed first, as the export lists them,
// then the record statements per key.
std::int64_t personRun(const SqliteFile& file) {
    const ReadTransaction reading(file.get());
    SqliteQuery person(file, kPerson), phones(file, kPhones), mails(file, kMails), children(file, kChildren);
    std::int64_t sum = 0;
    for (std::int64_t id : readIntegers(file, "SELECT PERSON_ID FROM T_PERSON"))
        sum += readAll(person, id) + readAll(phones, id) + readAll(mails, id) + readAll(children, id);
    return sum;
}

// A sheet leads to its goods and to its supplier (a purchase, SHEET_ID 0)
// or its customer.
std::int64_t goodsRun(const SqliteFile& file) {
    const ReadTransaction reading(file.get());
    SqliteQuery sheet(file, kSheet), goods(file, kGoods), supplier(file, kSupplier), customer(file, kCustomer);
    int kind = -1, goodsId = -1, supplierId = -1, customerId = -1;
    for (int c = 0; c < sheet.columnCount(); ++c) {
        const std::string_view name = sqlite3_column_name(sheet.statement(), c);
        if (name == "SHEET_ID") kind = c;
        if (name == "GOODS_ID") goodsId = c;
        if (name == "SUPPLIER_ID") supplierId = c;
        if (name == "CUSTOMER_ID") customerId = c;
    }
    std::int64_t sum = 0;
    for (std::int64_t id : readIntegers(file, "SELECT ID FROM T_SHEET")) {
        if (!sheet.rerun(id)) continue;
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
