// Changing and removing entered sheets: the sheet rewrite and its dates,
// the rewrite of counterparts and goods, and removal of rows no sheet uses.
#include "tests/access/SheetTestSupport.h"

namespace lumo::test {
namespace {

using SheetMaintenance = SheetTest;

// The sheet passed is the whole new state: a date of 0 clears SHEET_DATE.
TEST_F(SheetMaintenance, TheRewriteTakesTheDateOfItsKindAndKeepsTheOtherKind) {
    const struct {
        const char* name;
        long long sheet;
        Integer flag;
        Date salesDate, stockDate;
        std::vector<std::pair<std::string, std::string>> columns;
    } cases[] = {
        {"sale, no sales date", 11, 1, 0, 45300,
         {{"SHEET_DATE", "NULL"}, {"CUSTOMER_ID", "7"}, {"QUANTITY", "5"}, {"SALES_UNITPRICE", "1200"},
          {"SALES_AMOUNT", "6000"}, {"SUPPLIER_ID", "NULL"}, {"STOCK_UNITPRICE", "NULL"}}},
        {"sale with a date", 11, 1, 45200, 45300, {{"SHEET_DATE", "45200"}}},
        {"purchase, no stock date", 10, 0, 45200, 0,
         {{"SHEET_DATE", "NULL"}, {"SUPPLIER_ID", "6"}, {"QUANTITY", "8"}, {"STOCK_UNITPRICE", "700"},
          {"STOCK_AMOUNT", "5600"}, {"CUSTOMER_ID", "NULL"}, {"SALES_AMOUNT", "NULL"}}},
        {"purchase with a date", 10, 0, 45200, 45300.25, {{"SHEET_DATE", "45300.25"}}},
        // A sale rewritten as a purchase keeps its sales columns.
        {"sale to purchase", 11, 0, 0, 0,
         {{"SHEET_ID", "0"}, {"SHEET_DATE", "NULL"}, {"SUPPLIER_ID", "6"}, {"CUSTOMER_ID", "7"}, {"SALES_UNITPRICE", "300"},
          {"STOCK_UNITPRICE", "700"}}},
    };
    for (const auto& c : cases) {
        db.exec("UPDATE T_SHEET SET SHEET_DATE = 45000, CUSTOMER_ID = NULL, SALES_UNITPRICE = NULL, "
                "SALES_AMOUNT = NULL, SHEET_ID = 0 WHERE ID = 10;"
                "UPDATE T_SHEET SET SHEET_DATE = 45001, SUPPLIER_ID = NULL, STOCK_UNITPRICE = NULL, "
                "STOCK_AMOUNT = NULL, SALES_UNITPRICE = 300, SHEET_ID = 1 WHERE ID = 11");
        SheetInformation sheet = newSheet(c.flag);
        sheet.lngGoodsID = 1;
        sheet.lngCustomerID = 7;
        sheet.lngSupplierID = 6;
        sheet.dySalesDate = c.salesDate;
        sheet.dyStockDate = c.stockDate;
        sheet.dyDate = 44000;  // never written by the rewrite
        EXPECT_FALSE(item->UpdateSheetInformation(static_cast<Long>(c.sheet), sheet)) << c.name;
        EXPECT_EQ(sheet.lngSheetID, c.sheet) << c.name;
        for (const auto& [column, value] : c.columns) EXPECT_EQ(sheetColumn(c.sheet, column), value) << c.name;
    }
    EXPECT_TRUE(sink.messages().empty());
}

TEST_F(SheetMaintenance, AnEmptyNoteIsStoredAsNull) {
    SheetInformation sheet = newSheet(0);
    sheet.lngGoodsID = 1;
    sheet.lngSupplierID = 6;
    sheet.strNote = "";
    EXPECT_FALSE(item->UpdateSheetInformation(10, sheet));
    EXPECT_EQ(sheetColumn(10, "NOTE"), "NULL");
    EXPECT_TRUE(sink.messages().empty());
}

// Its note would otherwise give ToDo lines of a sheet that does not exist.
TEST_F(SheetMaintenance, TheRewriteOfAMissingSheetWritesNothing) {
    SheetInformation sheet = newSheet(0);
    sheet.strNote = "26/01/05 納品予定の確認\r\n26/02/01 支払";
    EXPECT_TRUE(item->UpdateSheetInformation(404, sheet));
    EXPECT_EQ(reportCodes(sink), Codes{"CLS-iida1036"});
    EXPECT_EQ(count("T_TODOLIST"), 0);
    EXPECT_EQ(count("T_SHEET"), 2);
    EXPECT_EQ(sheet.lngSheetID, 0);
}

TEST_F(SheetMaintenance, UpGoodsInformationRewritesOrAddsEachRow) {
    // A sale whose customer is new: added, and the sheet points to it.
    GoodsInformation goods = newGoods("書き換え");
    goods.lngGoodsID = 1;
    SupplierInformation supplier;
    CustomerInformation customer = newCustomer("新しい顧客");
    SheetInformation sheet = newSheet(1);
    sheet.lngSheetID = 11;
    sheet.lngGoodsID = 1;
    EXPECT_FALSE(item->UpGoodsInformation(goods, supplier, customer, sheet));
    EXPECT_TRUE(sink.messages().empty());
    ASSERT_GT(customer.lngCustomerID, 7);
    EXPECT_EQ(stored("T_iCUSTOMER", "CUSTOMER_ID", customer.lngCustomerID, "CUSTOMER"), "'新しい顧客'");
    EXPECT_EQ(sheetColumn(11, "CUSTOMER_ID"), std::to_string(customer.lngCustomerID));
    for (const auto& [column, value] : goodsColumns(goods))
        EXPECT_EQ(stored("T_ITEMS", "ID", 1, column), value) << column;
    EXPECT_EQ(count("T_ITEMS"), 3);

    // A purchase whose supplier and goods exist: both rewritten, readings
    // of family and given name in their own columns.
    SupplierInformation known = newSupplier("改名商会");
    known.lngSupplierID = 6;
    known.strSupplierLastAlias = "ｽｽﾞｷ";
    known.strSupplierFirstAlias = "ｼﾞﾛｳ";
    GoodsInformation same = newGoods();
    same.lngGoodsID = 1;
    SheetInformation purchase = newSheet(0);
    purchase.lngSheetID = 10;
    purchase.lngGoodsID = 1;
    EXPECT_FALSE(item->UpGoodsInformation(same, known, customer, purchase));
    for (const auto& [column, value] : supplierColumns(known))
        EXPECT_EQ(stored("T_iSUPPLIER", "SUPPLIER_ID", 6, column), value) << column;
    EXPECT_EQ(sheetColumn(10, "SUPPLIER_ID"), "6");
    EXPECT_EQ(count("T_iSUPPLIER"), 2);

    // Goods not yet named by the sheet are added.
    GoodsInformation added = newGoods("追加");
    SheetInformation third = newSheet(0);
    third.lngSheetID = 10;
    EXPECT_FALSE(item->UpGoodsInformation(added, known, customer, third));
    ASSERT_GT(added.lngGoodsID, 42);
    EXPECT_EQ(sheetColumn(10, "GOODS_ID"), std::to_string(added.lngGoodsID));
    EXPECT_TRUE(sink.messages().empty());

    // The sheet's date, row by row: set, then cleared by a date of 0.
    for (const auto& [date, expected] : {std::pair{Date{45123.5}, "45123.5"}, std::pair{Date{0}, "NULL"}}) {
        SheetInformation dated = newSheet(0);
        dated.lngSheetID = 10;
        dated.lngGoodsID = added.lngGoodsID;
        dated.dyStockDate = date;
        EXPECT_FALSE(item->UpGoodsInformation(added, known, customer, dated));
        EXPECT_EQ(sheetColumn(10, "SHEET_DATE"), expected);
    }
    EXPECT_TRUE(sink.messages().empty());
}

TEST_F(SheetMaintenance, UpGoodsInformationStopsAtTheFirstFailure) {
    const struct {
        const char* name;
        Long supplierID, customerID, goodsID, sheetID;
        Integer flag;
        Codes reports;
        const char* changedSupplier;  // SUPPLIER of supplier 6 afterwards
    } cases[] = {
        {"missing supplier", 404, 0, 1, 10, 0, {"CLS-iida1016"}, "'Used supplier'"},
        {"missing customer", 0, 404, 1, 11, 1, {"CLS-iida1017"}, "'Used supplier'"},
        {"missing goods", 6, 0, 404, 10, 0, {"CLS-iida1015"}, "'Renamed'"},
        // Earlier rewrites stay; the missing sheet gets no ToDo lines.
        {"missing sheet", 6, 0, 1, 404, 0, {"CLS-iida1036"}, "'Renamed'"},
    };
    for (const auto& c : cases) {
        sink.clear();
        db.exec("UPDATE T_iSUPPLIER SET SUPPLIER = 'Used supplier' WHERE SUPPLIER_ID = 6");
        GoodsInformation goods = newGoods("Renamed goods");
        goods.lngGoodsID = c.goodsID;
        SupplierInformation supplier = newSupplier("Renamed");
        supplier.lngSupplierID = c.supplierID;
        CustomerInformation customer = newCustomer("Renamed");
        customer.lngCustomerID = c.customerID;
        SheetInformation sheet = newSheet(c.flag);
        sheet.lngSheetID = c.sheetID;
        sheet.lngGoodsID = c.goodsID;
        sheet.strNote = "26/01/05 納品予定の確認";
        EXPECT_TRUE(item->UpGoodsInformation(goods, supplier, customer, sheet)) << c.name;
        EXPECT_EQ(reportCodes(sink), c.reports) << c.name;
        EXPECT_EQ(stored("T_iSUPPLIER", "SUPPLIER_ID", 6, "SUPPLIER"), c.changedSupplier) << c.name;
        EXPECT_EQ(stored("T_iCUSTOMER", "CUSTOMER_ID", 7, "CUSTOMER"), "'Used customer'") << c.name;
        EXPECT_EQ(sheetColumn(10, "NOTE"), "'stored note'") << c.name;
        EXPECT_EQ(count("T_TODOLIST"), 0) << c.name;
        EXPECT_EQ(count("T_iSUPPLIER"), 2) << c.name;
    }
}

// A client that calls the rewrite directly gets the failure of its opening
// step reported under the rewrite's own code (nothing crosses the
// boundary as an exception); through UpGoodsInformation it is that
// operation's report.
TEST_F(SheetMaintenance, AFailureToOpenTheSheetReachesTheCaller) {
    db.exec("ALTER TABLE T_SHEET RENAME TO T_AWAY");
    SheetInformation sheet = newSheet(0);
    EXPECT_TRUE(item->UpdateSheetInformation(10, sheet));
    EXPECT_EQ(reportCodes(sink), Codes{"CLS-iida1036"});
    EXPECT_TRUE(item->DeleteSheetInformation(10));
    EXPECT_EQ(reportCodes(sink), (Codes{"CLS-iida1036", "CLS-iida1028"}));
    sink.clear();

    GoodsInformation goods;
    goods.lngGoodsID = 1;
    SupplierInformation supplier;
    supplier.lngSupplierID = 6;
    CustomerInformation customer;
    sheet.lngGoodsID = 1;
    sheet.lngSheetID = 10;
    EXPECT_TRUE(item->UpGoodsInformation(goods, supplier, customer, sheet));
    EXPECT_EQ(reportCodes(sink), Codes{"CLS-iida1014"});
}

TEST_F(SheetMaintenance, DelGoodsInformationRemovesWhatOnlyThisSheetUsed) {
    db.exec("INSERT INTO T_ITEMS (ID, ITEM_NAME) VALUES (50, 'Own');"
            "INSERT INTO T_iSUPPLIER (SUPPLIER_ID, SUPPLIER) VALUES (51, 'Own');"
            "INSERT INTO T_iCUSTOMER (CUSTOMER_ID, CUSTOMER) VALUES (52, 'Own');"
            "INSERT INTO T_SHEET (ID, SHEET_ID, GOODS_ID, SUPPLIER_ID) VALUES (20, 0, 50, 51);"
            "INSERT INTO T_SHEET (ID, SHEET_ID, GOODS_ID, CUSTOMER_ID) VALUES (21, 1, 1, 52);");
    const struct {
        const char* name;
        Long sheet, goods, supplier, customer;
        std::vector<std::string> gone, kept;
    } cases[] = {
        {"only sheet of its goods and supplier", 20, 50, 51, 0,
         {"T_SHEET WHERE ID = 20", "T_ITEMS WHERE ID = 50", "T_iSUPPLIER WHERE SUPPLIER_ID = 51"}, {}},
        // Goods 1 is still on sheets 10 and 11.
        {"shared goods, supplier 0 so the customer", 21, 1, 0, 52,
         {"T_SHEET WHERE ID = 21", "T_iCUSTOMER WHERE CUSTOMER_ID = 52"}, {"T_ITEMS WHERE ID = 1"}},
        // Both counterparts named: only the supplier is considered.
        {"both counterparts", 10, 42, 5, 7, {"T_SHEET WHERE ID = 10", "T_ITEMS WHERE ID = 42",
                                             "T_iSUPPLIER WHERE SUPPLIER_ID = 5"},
         {"T_ITEMS WHERE ID = 1", "T_iCUSTOMER WHERE CUSTOMER_ID = 7", "T_iSUPPLIER WHERE SUPPLIER_ID = 6"}},
        {"nothing left to remove", 404, 404, 404, 0, {}, {"T_SHEET WHERE ID = 11"}},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(item->DelGoodsInformation(c.sheet, c.goods, c.supplier, c.customer)) << c.name;
        for (const auto& row : c.gone) EXPECT_EQ(count(row), 0) << c.name << ": " << row;
        for (const auto& row : c.kept) EXPECT_EQ(count(row), 1) << c.name << ": " << row;
    }
    EXPECT_TRUE(sink.messages().empty());
}

// A sheet that could not be removed keeps its goods and counterpart, and
// the client is told.
TEST_F(SheetMaintenance, DelGoodsInformationStopsWhenTheSheetStays) {
    db.exec("DELETE FROM T_SHEET WHERE ID = 11;"
            "CREATE TRIGGER fail BEFORE DELETE ON T_SHEET BEGIN SELECT RAISE(ABORT, 'locked'); END");
    EXPECT_TRUE(item->DelGoodsInformation(10, 1, 6, 0));
    EXPECT_EQ(reportCodes(sink), Codes{"CLS-iida1028"});
    EXPECT_EQ(count("T_SHEET WHERE ID = 10"), 1);
    EXPECT_EQ(count("T_ITEMS WHERE ID = 1"), 1);
    EXPECT_EQ(count("T_iSUPPLIER WHERE SUPPLIER_ID = 6"), 1);

    sink.clear();
    db.exec("DROP TRIGGER fail; CREATE TRIGGER fail BEFORE DELETE ON T_ITEMS BEGIN SELECT RAISE(ABORT, 'locked'); END");
    // The goods removal reports its own failure; the supplier still goes.
    EXPECT_FALSE(item->DelGoodsInformation(10, 1, 6, 0));
    EXPECT_EQ(reportCodes(sink), Codes{"CLS-iida1019"});
    EXPECT_EQ(count("T_SHEET WHERE ID = 10"), 0);
    EXPECT_EQ(count("T_ITEMS WHERE ID = 1"), 1);
    EXPECT_EQ(count("T_iSUPPLIER WHERE SUPPLIER_ID = 6"), 0);
}

}  // namespace
}  // namespace lumo::test
