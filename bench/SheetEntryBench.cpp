// lumo_sheet_bench: one sheet entry (SetGoodsInformation with a new supplier
// and new goods) and one sheet change (UpGoodsInformation) through the
// library, per call, on a copy of the 100,000-sheet item database, against
// a baseline that writes the same rows with prepared SQLite statements in
// one transaction per call.
//
//   lumo_sheet_bench [--data DIR] [--calls N]
//
// DIR is the folder scripts/bench fills (default $LUMO_BENCH_DATA, else
// /tmp/lumo-bench-data); its 100000/Data/iLumoBase.mdb is copied twice into
// DIR/out, once for each side, so the data stays as it was.
#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "access/LumoAccess.h"
#include "bench/BenchData.h"
#include "client/AccessLibrary.h"
#include "engine/ProgramSettings.h"

namespace fs = std::filesystem;
using namespace LumoAccess;
using lumo::bench::BenchData;

namespace {

constexpr std::int64_t kSheets = 100'000;
constexpr const char* kNote = "26/01/05 納品予定の確認";  // long enough for a ToDo line

struct Options {
    fs::path data;
    int calls = 500;
};

Options takeOptions(int argc, char** argv) {
    Options options;
    const char* env = std::getenv("LUMO_BENCH_DATA");
    options.data = env && *env ? env : "/tmp/lumo-bench-data";
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string_view a = argv[i];
        if (a == "--data") options.data = argv[i + 1];
        else if (a == "--calls") options.calls = std::atoi(argv[i + 1]);
        else throw std::runtime_error("unknown option " + std::string(a));
    }
    return options;
}

using Clock = std::chrono::steady_clock;

template <class Call>
double microsecondsPerCall(int calls, Call&& call) {
    const auto start = Clock::now();
    for (int i = 0; i < calls; ++i) call(i);
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count() / calls;
}

SupplierInformation supplierNamed(int i) {
    SupplierInformation s;
    s.strSupplierAlias = "ﾍﾞﾝﾁ";
    s.strSupplierName = "計測商会 " + std::to_string(i);
    s.strSupplierLastName = "山田";
    s.strSupplierFirstName = "太郎";
    s.strSupplierZip = "100-0001";
    s.strSupplierAddress1 = "東京都千代田区";
    s.strSupplierPhone1 = "03-0000-0000";
    s.strSupplierMailAddress = "bench@example.jp";
    return s;
}

GoodsInformation goodsNamed(int i) {
    GoodsInformation g;
    g.lngTypeID = 1;
    g.strMakerName = "計測製作所";
    g.strGoodsName = "計測品 " + std::to_string(i);
    g.strGoodsType = "B-" + std::to_string(i);
    g.strGoodsSpec = "標準";
    return g;
}

SheetInformation purchase(int i) {
    SheetInformation s;
    s.intSheetFlag = 0;
    s.dyDate = 46000;
    s.dyStockDate = 46000 + i % 30;
    s.lngStockQuantity = 1 + i % 9;
    s.lngStockUnitPrice = 1000;
    s.lngStockAmount = s.lngStockQuantity * 1000;
    s.strNote = kNote;
    return s;
}

// ------------------------------------------------------------------ ours

struct OurResult {
    double entry = 0, change = 0;
    int failures = 0;
};

OurResult measureOurs(const std::string& file, int calls) {
    auto item = lumo::client::AccessLibrary::instance().create<clsIidAccess>();
    if (item->Initialize(lumo::bench::connectionFor(file))) throw std::runtime_error("Initialize failed: " + file);
    OurResult r;
    r.entry = microsecondsPerCall(calls, [&](int i) {
        GoodsInformation goods = goodsNamed(i);
        SupplierInformation supplier = supplierNamed(i);
        CustomerInformation customer;
        SheetInformation sheet = purchase(i);
        if (item->SetGoodsInformation(goods, supplier, customer, sheet, true)) ++r.failures;
    });
    // Existing purchase sheets, spread over the file, read before the clock
    // starts, each changed once.
    struct Change {
        GoodsInformation goods;
        SupplierInformation supplier;
        CustomerInformation customer;
        SheetInformation sheet;
    };
    std::vector<Change> changes;
    for (Long id = 1; static_cast<int>(changes.size()) < calls && id <= kSheets; id += 97) {
        Change c;
        item->GetSheetInformation(id, c.sheet);
        if (c.sheet.intSheetFlag != 0 || c.sheet.lngSheetID != id) continue;
        item->GetItemInformation(c.sheet.lngGoodsID, c.goods);
        item->GetPersonInformation(c.sheet.lngSupplierID, c.customer, c.supplier, true);
        c.sheet.dyStockDate = 46100;
        c.sheet.lngStockQuantity += 1;
        c.sheet.strNote += "\r\n" + std::string(kNote);
        c.supplier.strSupplierPhone2 = "03-1111-1111";
        c.goods.strMemo = "変更";
        changes.push_back(std::move(c));
    }
    const int changed = static_cast<int>(changes.size());
    r.change = microsecondsPerCall(changed, [&](int i) {
        Change& c = changes[static_cast<std::size_t>(i)];
        if (item->UpGoodsInformation(c.goods, c.supplier, c.customer, c.sheet)) ++r.failures;
    });
    return r;
}

// -------------------------------------------------------------- baseline

struct Db {
    sqlite3* handle = nullptr;
    ~Db() { sqlite3_close(handle); }
    void exec(const char* sql) {
        if (sqlite3_exec(handle, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(handle));
    }
};

struct Statement {
    sqlite3_stmt* st = nullptr;
    Statement(sqlite3* db, const char* sql) {
        if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) != SQLITE_OK) throw std::runtime_error(sqlite3_errmsg(db));
    }
    ~Statement() { sqlite3_finalize(st); }
    Statement& text(int n, const std::string& v) {
        if (v.empty()) sqlite3_bind_null(st, n);
        else sqlite3_bind_text(st, n, v.c_str(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Statement& number(int n, double v) {
        sqlite3_bind_double(st, n, v);
        return *this;
    }
    Statement& integer(int n, sqlite3_int64 v) {
        sqlite3_bind_int64(st, n, v);
        return *this;
    }
    void run(sqlite3* db) {
        if (sqlite3_step(st) != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(db));
        sqlite3_reset(st);
    }
};

struct BaselineResult {
    double entry = 0, change = 0;
};

BaselineResult measureBaseline(const std::string& file, int calls) {
    Db db;
    if (sqlite3_open_v2(file.c_str(), &db.handle, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        throw std::runtime_error("cannot open " + file);
    Statement supplier(db.handle,
                       "INSERT INTO T_iSUPPLIER (ALIAS, SUPPLIER, SLAST_NAME, SFIRST_NAME, S_ZIP, S_ADDRESS1, S_TEL, "
                       "S_MAIL, S_LINK_ID) VALUES (?, ?, ?, ?, ?, ?, ?, ?, 0)");
    Statement goods(db.handle,
                    "INSERT INTO T_ITEMS (ITYPE_ID, MAKER, ITEM_NAME, ITEM_FORM, ITEM_SPEC) VALUES (?, ?, ?, ?, ?)");
    Statement sheet(db.handle,
                    "INSERT INTO T_SHEET (GOODS_ID, SHEET_ID, SUPPLIER_ID, SHEET_DATE, QUANTITY, STOCK_UNITPRICE, "
                    "STOCK_AMOUNT, NOTE) VALUES (?, 0, ?, ?, ?, ?, ?, ?)");
    Statement todo(db.handle, "INSERT INTO T_TODOLIST (CHK_FLAG, SHEET_ID, NOTE) VALUES (-1, ?, ?)");
    BaselineResult r;
    r.entry = microsecondsPerCall(calls, [&](int i) {
        const SupplierInformation s = supplierNamed(i);
        const GoodsInformation g = goodsNamed(i);
        const SheetInformation p = purchase(i);
        db.exec("BEGIN");
        supplier.text(1, s.strSupplierAlias).text(2, s.strSupplierName).text(3, s.strSupplierLastName)
            .text(4, s.strSupplierFirstName).text(5, s.strSupplierZip).text(6, s.strSupplierAddress1)
            .text(7, s.strSupplierPhone1).text(8, s.strSupplierMailAddress).run(db.handle);
        const sqlite3_int64 supplierID = sqlite3_last_insert_rowid(db.handle);
        goods.integer(1, g.lngTypeID).text(2, g.strMakerName).text(3, g.strGoodsName).text(4, g.strGoodsType)
            .text(5, g.strGoodsSpec).run(db.handle);
        const sqlite3_int64 goodsID = sqlite3_last_insert_rowid(db.handle);
        sheet.integer(1, goodsID).integer(2, supplierID).number(3, p.dyDate).integer(4, p.lngStockQuantity)
            .integer(5, p.lngStockUnitPrice).integer(6, p.lngStockAmount).text(7, p.strNote).run(db.handle);
        todo.integer(1, sqlite3_last_insert_rowid(db.handle)).text(2, p.strNote).run(db.handle);
        db.exec("COMMIT");
    });

    Statement changeSupplier(db.handle, "UPDATE T_iSUPPLIER SET S_FAX = ? WHERE SUPPLIER_ID = "
                                        "(SELECT SUPPLIER_ID FROM T_SHEET WHERE ID = ?)");
    Statement changeGoods(db.handle, "UPDATE T_ITEMS SET MEMO1 = ? WHERE ID = (SELECT GOODS_ID FROM T_SHEET WHERE ID = ?)");
    Statement changeSheet(db.handle, "UPDATE T_SHEET SET SHEET_DATE = ?, QUANTITY = QUANTITY + 1, NOTE = NOTE || ? "
                                     "WHERE ID = ?");
    Statement addTodo(db.handle, "INSERT INTO T_TODOLIST (CHK_FLAG, SHEET_ID, NOTE) VALUES (-1, ?, ?)");
    r.change = microsecondsPerCall(calls, [&](int i) {
        const sqlite3_int64 id = 1 + 97 * static_cast<sqlite3_int64>(i);
        db.exec("BEGIN");
        changeSupplier.text(1, "03-1111-1111").integer(2, id).run(db.handle);
        changeGoods.text(1, "変更").integer(2, id).run(db.handle);
        changeSheet.number(1, 46100).text(2, std::string("\r\n") + kNote).integer(3, id).run(db.handle);
        addTodo.integer(1, id).text(2, kNote).run(db.handle);
        db.exec("COMMIT");
    });
    return r;
}

fs::path freshCopy(const fs::path& source, const fs::path& target) {
    for (const char* suffix : {"", "-wal", "-shm"}) fs::remove(target.string() + suffix);
    fs::copy_file(source, target);
    return target;
}

}  // namespace

int main(int argc, char** argv) {
    lumo::db::configureSqliteForProgram();  // measured as the programs run
    try {
        const Options options = takeOptions(argc, argv);
        const BenchData data(options.data);
        const fs::path source = data.itemDatabase(kSheets);
        if (!fs::exists(source)) {
            std::cerr << "lumo_sheet_bench: " << source.string() << " is missing; scripts/bench creates it\n";
            return 2;
        }
        fs::create_directories(data.root() / "out");
        const fs::path ours = freshCopy(source, data.out("sheet-bench-ours.mdb"));
        const fs::path base = freshCopy(source, data.out("sheet-bench-baseline.mdb"));

        const OurResult o = measureOurs(ours.string(), options.calls);
        const BaselineResult b = measureBaseline(base.string(), options.calls);

        std::printf("%d calls each on a copy of %s\n\n", options.calls, source.string().c_str());
        std::printf("| operation | ours (us/call) | baseline (us/call) | baseline/ours |\n");
        std::printf("|---|---:|---:|---:|\n");
        std::printf("| SetGoodsInformation, new supplier and goods | %.1f | %.1f | %.3f |\n", o.entry, b.entry,
                    b.entry / o.entry);
        std::printf("| UpGoodsInformation | %.1f | %.1f | %.3f |\n", o.change, b.change, b.change / o.change);
        if (o.failures) {
            std::printf("WARNING: %d calls reported a failure\n", o.failures);
            return 1;
        }
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "lumo_sheet_bench: " << e.what() << "\n";
        return 1;
    }
}
