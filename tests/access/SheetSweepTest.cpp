// Every write of the sheet entry and maintenance with a failure at each
// engine step. Whatever step fails: one report per failure with the code of
// the routine that met it, the error flag, an intact file, no row of the
// caller's removed, no sheet pointing at a missing goods or counterpart
// row, and rows either as before or as the operation's finished steps left
// them.
#include <sqlite3.h>

#include <algorithm>
#include <optional>
#include <set>

#include "tests/access/SheetTestSupport.h"
#include "tests/support/FaultSweep.h"

namespace lumo::test {
namespace {

using db::FaultStep;

constexpr const char* kDanglingSheets = R"sql(
SELECT COUNT(*) FROM T_SHEET s
WHERE NOT EXISTS (SELECT 1 FROM T_ITEMS WHERE ID = s.GOODS_ID)
   OR (s.SUPPLIER_ID IS NOT NULL AND NOT EXISTS (SELECT 1 FROM T_iSUPPLIER WHERE SUPPLIER_ID = s.SUPPLIER_ID))
   OR (s.CUSTOMER_ID IS NOT NULL AND NOT EXISTS (SELECT 1 FROM T_iCUSTOMER WHERE CUSTOMER_ID = s.CUSTOMER_ID)))sql";

// The first column of the first row of `sql`, read outside the engine.
long long scalarOf(const std::filesystem::path& file, const std::string& sql) {
    sqlite3* db = nullptr;
    long long value = -1;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
            value = sqlite3_column_int64(st, 0);
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return value;
}

// The rows of a dump without the AutoNumber counters (a row added and
// removed again advances them).
DatabaseDump rowsOf(DatabaseDump dump) {
    dump.tables.erase("sqlite_sequence");
    return dump;
}

// The dumped rows of `table` that start with `key|`.
std::vector<std::string> rowsWithKey(const DatabaseDump& dump, const std::string& table, const std::string& key) {
    std::vector<std::string> rows;
    for (const std::string& row : dump.tables.at(table))
        if (row.rfind(key + "|", 0) == 0) rows.push_back(row);
    return rows;
}

class SheetSweep : public SheetTest {
protected:
    // What every run must leave, failed or not.
    template <class Result>
    void expectSound(const SweepStep<Result>& s, const std::set<std::string>& mayGo = {}) {
        EXPECT_EQ(integrityCheck(s.database), "ok");
        EXPECT_EQ(scalarOf(s.database, kDanglingSheets), 0);
        const DatabaseDump state = s.dump();
        for (const auto& [table, rows] : before.tables) {
            if (table == "sqlite_sequence" || table == "T_TODOLIST") continue;
            const auto& now = state.tables.at(table);
            for (const std::string& row : rows) {
                const std::string key = row.substr(0, row.find('|'));
                const bool kept = std::any_of(now.begin(), now.end(),
                                              [&](const std::string& r) { return r.rfind(key + "|", 0) == 0; });
                EXPECT_TRUE(kept || mayGo.count(table + " " + key)) << table << " " << key << " was removed";
            }
        }
    }

    // Initialize is each run's first step; when it is the one that fails,
    // the operation is not called and the run shows nothing of it.
    static Ref<clsIidAccess> connected(const std::string& connectionString) {
        auto object = createObject<clsIidAccess>();
        if (object->Initialize(connectionString)) object.reset();
        return object;
    }
    template <class Result>
    static bool notConnected(const SweepStep<Result>& s) {
        if (s.step != 1) return false;
        EXPECT_EQ(s.reportCodes(), Codes{"CLS-iida1002"});
        return true;
    }

    std::filesystem::path file() const {
        const std::string cs = db.connectionString();
        return cs.substr(cs.find("Data Source=") + 12);
    }

    DatabaseDump before;
};

// ------------------------------------------------------------- the entry

struct EntryResult {
    bool failed = false;
    Long supplierID = -1, goodsID = -1, sheetID = -1, sheetGoodsID = -1, sheetSupplierID = -1;
};

TEST_F(SheetSweep, SetGoodsInformationUndoesExactlyWhatItAdded) {
    before = dumpDatabase(file());
    const auto op = [](const std::string& cs) {
        EntryResult r;
        auto item = connected(cs);
        if (!item) return r;
        GoodsInformation goods = newGoods();
        goods.lngGoodsID = 42;  // not the sheet's goods: a new row is added
        SupplierInformation supplier = newSupplier();
        CustomerInformation customer;
        SheetInformation sheet = newSheet(0);
        sheet.lngSheetID = 10;  // a template read from sheet 10
        sheet.strNote = "26/01/05 納品予定の確認";
        r.failed = item->SetGoodsInformation(goods, supplier, customer, sheet, true);
        r.supplierID = supplier.lngSupplierID;
        r.goodsID = goods.lngGoodsID;
        r.sheetID = sheet.lngSheetID;
        r.sheetGoodsID = sheet.lngGoodsID;
        r.sheetSupplierID = sheet.lngSupplierID;
        return r;
    };
    // Each step of the entry and who reports its failure: the opening steps
    // of an insert reach the entry's own handler.
    const std::vector<std::pair<FaultStep, std::string>> expected = {
        {FaultStep::RecordsetOpen, " CLS-iida1004"}, {FaultStep::BeginTrans, " CLS-iida1004"},
        {FaultStep::AddNew, "CLS-iida1006"},        {FaultStep::Update, "CLS-iida1006"},
        {FaultStep::CommitTrans, "CLS-iida1006"},   {FaultStep::RecordsetOpen, " CLS-iida1004"},
        {FaultStep::BeginTrans, " CLS-iida1004"},   {FaultStep::AddNew, "CLS-iida1005"},
        {FaultStep::Update, "CLS-iida1005"},        {FaultStep::CommitTrans, "CLS-iida1005"},
        {FaultStep::RecordsetOpen, " CLS-iida1004"}, {FaultStep::RecordsetOpen, " CLS-iida1004"},
        {FaultStep::BeginTrans, " CLS-iida1004"},   {FaultStep::AddNew, "CLS-iids1027"},
        {FaultStep::Update, "CLS-iids1027"},        {FaultStep::AddNew, "CLS-iids1027"},
        {FaultStep::Update, "CLS-iids1027"},        {FaultStep::CommitTrans, "CLS-iids1027"}};
    bool completed = false;
    const std::uint64_t points = sweepFailures(file(), op, [&](const SweepStep<EntryResult>& s) {
        SCOPED_TRACE("step " + std::to_string(s.step));
        expectSound(s);
        EXPECT_EQ(s.escaped, "");
        if (notConnected(s)) return;
        if (s.fired) {
            ASSERT_LE(s.step, expected.size() + 1);
            EXPECT_EQ(s.failedCall, expected[s.step - 2].first);
            EXPECT_EQ(s.reportCodes(), Codes{expected[s.step - 2].second});
            EXPECT_TRUE(s.result.failed);
            EXPECT_EQ(describeDifference(rowsOf(before), rowsOf(s.dump())), "");
            // The keys the records came with, so that a retry enters again.
            EXPECT_EQ(s.result.supplierID, 0);
            EXPECT_EQ(s.result.goodsID, 42);
            EXPECT_EQ(s.result.sheetID, 10);
            EXPECT_EQ(s.result.sheetGoodsID, 0);
            EXPECT_EQ(s.result.sheetSupplierID, 0);
        } else {
            completed = true;
            EXPECT_FALSE(s.result.failed);
            EXPECT_TRUE(s.reports.empty());
            EXPECT_EQ(scalarOf(s.database, "SELECT COUNT(*) FROM T_SHEET WHERE ID = " +
                                               std::to_string(s.result.sheetID) + " AND GOODS_ID = " +
                                               std::to_string(s.result.goodsID) + " AND SUPPLIER_ID = " +
                                               std::to_string(s.result.supplierID)),
                      1);
            EXPECT_EQ(scalarOf(s.database, "SELECT COUNT(*) FROM T_TODOLIST"), 1);
        }
    });
    EXPECT_TRUE(completed);
    EXPECT_EQ(points, expected.size() + 1);
}

// A sale on existing goods and customer: only the sheet is written.
TEST_F(SheetSweep, SetGoodsInformationOnExistingRowsKeepsThem) {
    before = dumpDatabase(file());
    const auto op = [](const std::string& cs) {
        auto item = connected(cs);
        if (!item) return true;
        GoodsInformation goods;
        goods.lngGoodsID = 42;
        SupplierInformation supplier;
        CustomerInformation customer;
        customer.lngCustomerID = 7;
        SheetInformation sheet = newSheet(1);
        sheet.lngGoodsID = 42;
        return item->SetGoodsInformation(goods, supplier, customer, sheet, false);
    };
    const std::uint64_t points = sweepFailures(file(), op, [&](const SweepStep<bool>& s) {
        SCOPED_TRACE("step " + std::to_string(s.step));
        expectSound(s);
        if (notConnected(s)) return;
        if (s.fired) {
            EXPECT_TRUE(s.result);
            EXPECT_EQ(s.reports.size(), 1u);
            EXPECT_EQ(describeDifference(rowsOf(before), rowsOf(s.dump())), "");
        } else {
            EXPECT_FALSE(s.result);
            EXPECT_EQ(scalarOf(s.database, "SELECT COUNT(*) FROM T_SHEET WHERE GOODS_ID = 42 AND CUSTOMER_ID = 7"), 1);
        }
    });
    // Initialize, the two opens, begin, the sheet's add and save, commit.
    EXPECT_EQ(points, 7u);
}

// --------------------------------------------------------- the removals

TEST_F(SheetSweep, DeleteSheetInformationIsAllOrNothing) {
    before = dumpDatabase(file());
    const auto op = [](const std::string& cs) {
        auto item = connected(cs);
        return !item || item->DeleteSheetInformation(10);
    };
    const std::uint64_t points = sweepFailures(file(), op, [&](const SweepStep<bool>& s) {
        SCOPED_TRACE("step " + std::to_string(s.step));
        expectSound(s, {"T_SHEET 10"});
        if (notConnected(s)) return;
        if (s.fired) {
            EXPECT_TRUE(s.result);
            EXPECT_EQ(s.reportCodes(), Codes{"CLS-iida1028"});
            EXPECT_EQ(describeDifference(before, s.dump()), "");
        } else {
            EXPECT_FALSE(s.result);
            EXPECT_EQ(scalarOf(s.database, "SELECT COUNT(*) FROM T_SHEET WHERE ID = 10"), 0);
        }
    });
    EXPECT_EQ(points, 4u);  // Initialize, begin, execute, commit
}

TEST_F(SheetSweep, DelGoodsInformationNeverLeavesASheetWithoutItsRows) {
    db.exec("INSERT INTO T_ITEMS (ID, ITEM_NAME) VALUES (50, 'Own');"
            "INSERT INTO T_iSUPPLIER (SUPPLIER_ID, SUPPLIER) VALUES (51, 'Own');"
            "INSERT INTO T_SHEET (ID, SHEET_ID, GOODS_ID, SUPPLIER_ID) VALUES (20, 0, 50, 51);");
    before = dumpDatabase(file());
    const auto op = [](const std::string& cs) {
        auto item = connected(cs);
        return !item || item->DelGoodsInformation(20, 50, 51, 0);
    };
    const std::uint64_t points = sweepFailures(file(), op, [&](const SweepStep<bool>& s) {
        SCOPED_TRACE("step " + std::to_string(s.step));
        expectSound(s, {"T_SHEET 20", "T_ITEMS 50", "T_iSUPPLIER 51"});
        if (notConnected(s)) return;
        const long long sheets = scalarOf(s.database, "SELECT COUNT(*) FROM T_SHEET WHERE ID = 20");
        if (!s.fired) {
            EXPECT_FALSE(s.result);
            EXPECT_TRUE(s.reports.empty());
            EXPECT_EQ(describeDifference(rowsOf(before), rowsOf(s.dump())).empty(), false);
            EXPECT_EQ(sheets, 0);
            return;
        }
        ASSERT_EQ(s.reports.size(), 1u);
        const std::string code = s.reportCodes().front();
        if (code == "CLS-iida1028") {  // the sheet stays, and so does everything else
            EXPECT_TRUE(s.result);
            EXPECT_EQ(describeDifference(before, s.dump()), "");
        } else if (code == "CLS-iida1018") {  // a count step: the operation's own report
            EXPECT_TRUE(s.result);
            EXPECT_EQ(sheets, 0);
        } else {  // the goods or supplier removal reported and was left
            EXPECT_TRUE(code == "CLS-iida1019" || code == "CLS-iida1020") << code;
            EXPECT_FALSE(s.result);
            EXPECT_EQ(sheets, 0);
        }
    });
    // Initialize; the sheet: begin, execute, commit; goods and supplier:
    // count, begin, execute, commit.
    EXPECT_EQ(points, 12u);
}

// ----------------------------------------------------------- the changes

// Nothing is undone, but no row is ever half rewritten: each of the three
// rows is as before or as rewritten.
TEST_F(SheetSweep, UpGoodsInformationRewritesEachRowWholeOrNotAtAll) {
    before = dumpDatabase(file());
    const auto op = [](const std::string& cs) {
        auto item = connected(cs);
        if (!item) return true;
        GoodsInformation goods = newGoods();
        goods.lngGoodsID = 1;
        SupplierInformation supplier = newSupplier();
        supplier.lngSupplierID = 6;
        CustomerInformation customer;
        SheetInformation sheet = newSheet(0);
        sheet.lngSheetID = 10;
        sheet.lngGoodsID = 1;
        return item->UpGoodsInformation(goods, supplier, customer, sheet);
    };
    // The copies go with each run: keep what the checks below need.
    struct Run {
        std::uint64_t step;
        bool result;
        Codes codes;
        DatabaseDump state;
    };
    std::vector<Run> failed;
    std::optional<DatabaseDump> after;
    sweepFailures(file(), op, [&](const SweepStep<bool>& s) {
        expectSound(s);
        if (notConnected(s)) return;
        if (s.fired) {
            failed.push_back({s.step, s.result, s.reportCodes(), s.dump()});
            return;
        }
        EXPECT_FALSE(s.result);
        EXPECT_TRUE(s.reports.empty());
        after = s.dump();
    });
    ASSERT_TRUE(after);
    EXPECT_FALSE(failed.empty());
    for (const Run& run : failed) {
        SCOPED_TRACE("step " + std::to_string(run.step));
        for (const auto& [table, key] : {std::pair<std::string, std::string>{"T_iSUPPLIER", "6"}, {"T_ITEMS", "1"}}) {
            const auto now = rowsWithKey(run.state, table, key);
            EXPECT_TRUE(now == rowsWithKey(before, table, key) || now == rowsWithKey(*after, table, key)) << table;
        }
        ASSERT_EQ(run.codes.size(), 1u);
        const std::set<std::string> flagged = {"CLS-iida1014", "CLS-iida1015", "CLS-iida1016", "CLS-iida1036"};
        if (flagged.count(run.codes.front())) {
            EXPECT_TRUE(run.result) << run.codes.front();
        } else {
            // The note's own steps report under UpdateNote's code and the
            // rewrite goes on.
            EXPECT_EQ(run.codes.front(), "CLS-iida1022");
            EXPECT_FALSE(run.result);
        }
    }
}

// Called directly, the rewrite's opening step fails the call itself; the
// note is recorded before the row's own transaction and stays when that
// fails, but the row's other columns are rewritten whole or not at all.
TEST_F(SheetSweep, UpdateSheetInformationKeepsTheNoteAndRewritesTheRowWhole) {
    before = dumpDatabase(file());
    const auto op = [](const std::string& cs) {
        auto item = connected(cs);
        if (!item) return true;
        SheetInformation sheet = newSheet(0);
        sheet.lngGoodsID = 1;
        sheet.lngSupplierID = 6;
        sheet.strNote = "stored note\r\n26/01/05 納品予定の確認";
        return item->UpdateSheetInformation(10, sheet);
    };
    std::vector<std::string> rows;
    bool completed = false;
    sweepFailures(file(), op, [&](const SweepStep<bool>& s) {
        SCOPED_TRACE("step " + std::to_string(s.step));
        expectSound(s);
        if (notConnected(s)) return;
        const DatabaseDump state = s.dump();
        const std::string row = rowsWithKey(state, "T_SHEET", "10").at(0);
        if (!s.escaped.empty()) {  // the opening step: nothing written, nothing reported
            EXPECT_TRUE(s.reports.empty());
            EXPECT_EQ(describeDifference(before, state), "");
        } else if (!s.fired) {
            completed = true;
            EXPECT_FALSE(s.result);
            EXPECT_TRUE(s.reports.empty());
        } else if (s.reportCodes() == Codes{"CLS-iida1036"}) {
            EXPECT_TRUE(s.result);
        } else {
            EXPECT_EQ(s.reportCodes(), Codes{"CLS-iida1022"});
            EXPECT_FALSE(s.result);
        }
        rows.push_back(s.fired && s.result ? "old:" + row.substr(0, row.rfind('|')) : row);
    });
    EXPECT_TRUE(completed);
    // Every failed rewrite left the sheet's columns before the note as they were.
    const std::string old = rowsWithKey(before, "T_SHEET", "10").at(0);
    for (const std::string& r : rows) {
        if (r.rfind("old:", 0) == 0) {
            EXPECT_EQ(r.substr(4), old.substr(0, old.rfind('|')));
        }
    }
}

}  // namespace
}  // namespace lumo::test
