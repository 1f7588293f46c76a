// Entering sheets: the rows written, the keys given back, the ToDo row of a
// new sheet, and what a failed entry leaves behind.
#include "tests/access/SheetTestSupport.h"

namespace lumo::test {
namespace {

class SheetEntry : public SheetTest {
protected:
    void expectColumns(const std::string& table, const std::string& keyColumn, long long key,
                       const std::vector<std::pair<std::string, std::string>>& columns) {
        for (const auto& [column, value] : columns)
            EXPECT_EQ(stored(table, keyColumn, key, column), value) << table << "." << column;
    }
};

TEST_F(SheetEntry, APurchaseWithANewSupplierAndExistingGoods) {
    GoodsInformation goods;
    goods.lngGoodsID = 42;
    SupplierInformation supplier = newSupplier();
    CustomerInformation customer;
    SheetInformation sheet = newSheet(0);
    sheet.lngGoodsID = 42;

    EXPECT_FALSE(item->SetGoodsInformation(goods, supplier, customer, sheet, true));
    EXPECT_TRUE(sink.messages().empty());
    EXPECT_EQ(count("T_iSUPPLIER"), 3);
    EXPECT_EQ(count("T_ITEMS"), 3) << "no goods row for a sheet that names its goods";
    EXPECT_EQ(count("T_iCUSTOMER"), 1);
    ASSERT_GT(supplier.lngSupplierID, 6);
    expectColumns("T_iSUPPLIER", "SUPPLIER_ID", supplier.lngSupplierID, supplierColumns(supplier));

    ASSERT_GT(sheet.lngSheetID, 11);
    EXPECT_EQ(sheet.lngGoodsID, 42);
    EXPECT_EQ(sheet.lngSupplierID, supplier.lngSupplierID);
    EXPECT_EQ(sheet.lngCustomerID, 0);
    const std::vector<std::pair<std::string, std::string>> row = {
        {"SHEET_ID", "0"},       {"GOODS_ID", "42"},         {"SUPPLIER_ID", std::to_string(supplier.lngSupplierID)},
        {"CUSTOMER_ID", "NULL"}, {"SHEET_DATE", "45100.5"},  {"QUANTITY", "8"},
        {"STOCK_UNITPRICE", "700"}, {"STOCK_AMOUNT", "5600"}, {"SALES_UNITPRICE", "NULL"},
        {"SALES_AMOUNT", "NULL"}, {"NOTE", "'短い'"}};
    expectColumns("T_SHEET", "ID", sheet.lngSheetID, row);

    // Read back, the purchase fills the stock fields and leaves the others.
    SheetInformation read;
    read.lngSalesQuantity = -1;
    item->GetSheetInformation(sheet.lngSheetID, read);
    EXPECT_EQ(read.lngSheetID, sheet.lngSheetID);
    EXPECT_EQ(read.intSheetFlag, 0);
    EXPECT_EQ(read.lngGoodsID, 42);
    EXPECT_EQ(read.dyDate, 45100.5);
    EXPECT_EQ(read.lngSupplierID, supplier.lngSupplierID);
    EXPECT_EQ(read.lngStockQuantity, 8);
    EXPECT_EQ(read.lngStockUnitPrice, 700);
    EXPECT_EQ(read.lngStockAmount, 5600);
    EXPECT_EQ(read.lngSalesQuantity, -1);
    EXPECT_EQ(read.strNote, "短い");
    EXPECT_TRUE(sink.messages().empty());
}

TEST_F(SheetEntry, ASaleWithANewCustomerAndNewGoods) {
    GoodsInformation goods = newGoods();
    SupplierInformation supplier;
    CustomerInformation customer = newCustomer();
    SheetInformation sheet = newSheet(1);

    EXPECT_FALSE(item->SetGoodsInformation(goods, supplier, customer, sheet, false));
    EXPECT_TRUE(sink.messages().empty());
    EXPECT_EQ(count("T_iSUPPLIER"), 2);
    ASSERT_GT(customer.lngCustomerID, 7);
    ASSERT_GT(goods.lngGoodsID, 42);
    expectColumns("T_iCUSTOMER", "CUSTOMER_ID", customer.lngCustomerID, customerColumns(customer));
    expectColumns("T_ITEMS", "ID", goods.lngGoodsID, goodsColumns(goods));
    EXPECT_EQ(sheet.lngGoodsID, goods.lngGoodsID);
    EXPECT_EQ(sheet.lngCustomerID, customer.lngCustomerID);
    const std::vector<std::pair<std::string, std::string>> row = {
        {"SHEET_ID", "1"},         {"GOODS_ID", std::to_string(goods.lngGoodsID)},
        {"CUSTOMER_ID", std::to_string(customer.lngCustomerID)}, {"SUPPLIER_ID", "NULL"},
        {"SHEET_DATE", "45100.5"}, {"QUANTITY", "5"}, {"SALES_UNITPRICE", "1200"}, {"SALES_AMOUNT", "6000"},
        {"STOCK_UNITPRICE", "NULL"}, {"STOCK_AMOUNT", "NULL"}};
    expectColumns("T_SHEET", "ID", sheet.lngSheetID, row);

    GoodsInformation readGoods;
    item->GetItemInformation(goods.lngGoodsID, readGoods);
    EXPECT_EQ(readGoods.strMakerName, goods.strMakerName);
    EXPECT_EQ(readGoods.strGoodsSpec, goods.strGoodsSpec);
    EXPECT_EQ(readGoods.strLabel, goods.strLabel);
    EXPECT_EQ(readGoods.strPhotoPath, goods.strPhotoPath);
    CustomerInformation readCustomer;
    SupplierInformation untouched;
    item->GetPersonInformation(customer.lngCustomerID, readCustomer, untouched, false);
    EXPECT_EQ(readCustomer.strCustomerFirstAlias, "ﾊﾅｺ");
    EXPECT_EQ(readCustomer.lngCustomerLinkID, 88);
    const GoodsInfoOverview overview = item->GetGoodsInformationOverView(sheet.lngSheetID);
    EXPECT_EQ(overview.intQuantity, 5);
    EXPECT_EQ(overview.dblAmount, 6000);
    EXPECT_EQ(overview.strTanto, "鈴木花子");
    EXPECT_FALSE(overview.blnFlag);
    EXPECT_TRUE(sink.messages().empty());
}

TEST_F(SheetEntry, EmptyTextsAreStoredAsNullAndAZeroDateIsLeftUnset) {
    GoodsInformation goods;
    SupplierInformation supplier;
    CustomerInformation customer;
    SheetInformation sheet;
    EXPECT_FALSE(item->SetGoodsInformation(goods, supplier, customer, sheet, true));
    for (const auto& [column, value] : supplierColumns(supplier))
        EXPECT_EQ(stored("T_iSUPPLIER", "SUPPLIER_ID", supplier.lngSupplierID, column),
                  column == "S_LINK_ID" ? "0" : "NULL") << column;
    for (const auto& [column, value] : goodsColumns(goods))
        EXPECT_EQ(stored("T_ITEMS", "ID", goods.lngGoodsID, column), column == "ITYPE_ID" ? "0" : "NULL") << column;
    EXPECT_EQ(sheetColumn(sheet.lngSheetID, "NOTE"), "NULL");
    EXPECT_EQ(sheetColumn(sheet.lngSheetID, "SHEET_DATE"), "NULL");

    SheetInformation read;
    read.dyDate = 9;
    item->GetSheetInformation(sheet.lngSheetID, read);
    EXPECT_EQ(read.dyDate, 0);
    EXPECT_EQ(read.lngSupplierID, supplier.lngSupplierID);
    EXPECT_TRUE(sink.messages().empty());
}

TEST_F(SheetEntry, ExistingRowsAreUsedAsTheyAre) {
    // Customer 7 with other values than stored; goods named by the sheet.
    CustomerInformation customer = newCustomer("changed name");
    customer.lngCustomerID = 7;
    GoodsInformation goods = newGoods();
    goods.lngGoodsID = 1;
    SupplierInformation supplier;
    SheetInformation sheet = newSheet(1);
    sheet.lngGoodsID = 1;
    EXPECT_FALSE(item->SetGoodsInformation(goods, supplier, customer, sheet, false));
    EXPECT_EQ(stored("T_iCUSTOMER", "CUSTOMER_ID", 7, "CUSTOMER"), "'Used customer'");
    EXPECT_EQ(stored("T_iCUSTOMER", "CUSTOMER_ID", 7, "C_DEFAULT"), "'stored'");
    EXPECT_EQ(stored("T_ITEMS", "ID", 1, "ITEM_NAME"), "'Stored'");
    EXPECT_EQ(count("T_iCUSTOMER"), 1);
    EXPECT_EQ(count("T_ITEMS"), 3);
    EXPECT_EQ(sheetColumn(sheet.lngSheetID, "CUSTOMER_ID"), "7");

    // The goods test is on the sheet record: goods 9 in the goods record
    // does not stop a new goods row.
    GoodsInformation other = newGoods();
    other.lngGoodsID = 9;
    SheetInformation second = newSheet(1);
    EXPECT_FALSE(item->SetGoodsInformation(other, supplier, customer, second, false));
    EXPECT_GT(other.lngGoodsID, 42);
    EXPECT_EQ(second.lngGoodsID, other.lngGoodsID);
    EXPECT_EQ(stored("T_ITEMS", "ID", 9, "ITEM_NAME"), "'Nine'");
    EXPECT_TRUE(sink.messages().empty());
}

TEST_F(SheetEntry, ANoteOfTenCharactersOrMoreIsAToDoLine) {
    const struct {
        std::string note;
        bool todo;
    } cases[] = {
        {"", false},
        {"一二三四五六七八九", false},  // 9 characters, 27 bytes
        {"一二三四五六七八九十", true},
        {"123456789", false},
        {"1234567890", true},
        {"26/01/05 納品\r\n26/01/20 請求", true},  // the whole note, line breaks included
    };
    for (const auto& c : cases) {
        GoodsInformation goods;
        goods.lngGoodsID = 42;
        SupplierInformation supplier;
        supplier.lngSupplierID = 6;
        CustomerInformation customer;
        SheetInformation sheet;
        sheet.lngGoodsID = 42;
        sheet.strNote = c.note;
        ASSERT_FALSE(item->SetGoodsInformation(goods, supplier, customer, sheet, true));
        const std::string where = "T_TODOLIST WHERE SHEET_ID = " + std::to_string(sheet.lngSheetID);
        ASSERT_EQ(count(where), c.todo ? 1 : 0) << c.note;
        if (c.todo) {
            EXPECT_EQ(db.column("SELECT NOTE FROM " + where), std::vector<std::string>{c.note});
            EXPECT_EQ(db.column("SELECT CHK_FLAG FROM " + where), std::vector<std::string>{"-1"});
        }
    }
    EXPECT_TRUE(sink.messages().empty());
}

// The client's way to an existing row is a lookup by name; a quote in the
// name must find the row, or every entry adds another.
TEST_F(SheetEntry, LookupsFindRowsWithQuotesInTheirNames) {
    for (int entry = 0; entry < 3; ++entry) {
        SupplierInformation supplier = newSupplier("O'Reilly");
        GoodsInformation goods = newGoods("Tom's pen");
        EXPECT_FALSE(item->ReadSupplierInformation("O'Reilly", supplier));
        EXPECT_FALSE(item->ReadItemInformation("Tom's pen", goods));
        CustomerInformation customer;
        SheetInformation sheet = newSheet(0);
        sheet.lngGoodsID = goods.lngGoodsID;
        EXPECT_FALSE(item->SetGoodsInformation(goods, supplier, customer, sheet, true));
    }
    EXPECT_EQ(count("T_iSUPPLIER WHERE SUPPLIER = 'O''Reilly'"), 1);
    EXPECT_EQ(count("T_ITEMS WHERE ITEM_NAME = 'Tom''s pen'"), 1);
    EXPECT_EQ(count("T_SHEET"), 5);
    EXPECT_TRUE(sink.messages().empty());
}

TEST_F(SheetEntry, DeleteSheetInformationRemovesOnlyTheSheet) {
    EXPECT_FALSE(item->DeleteSheetInformation(404));
    EXPECT_EQ(count("T_SHEET"), 2);
    EXPECT_FALSE(item->DeleteSheetInformation(10));
    EXPECT_EQ(count("T_SHEET WHERE ID = 10"), 0);
    EXPECT_EQ(count("T_ITEMS WHERE ID = 1"), 1);
    EXPECT_EQ(count("T_iSUPPLIER WHERE SUPPLIER_ID = 6"), 1);
    EXPECT_TRUE(sink.messages().empty());
}

// ------------------------------------------------------------ failures

struct FailedEntry {
    const char* name;
    std::string fail;    // makes one step of the entry fail
    std::string repair;  // undoes `fail`
    bool sheetNamesGoods;
    Codes reports;
};

void PrintTo(const FailedEntry& c, std::ostream* os) { *os << c.name; }

class FailedSheetEntry : public SheetEntry, public ::testing::WithParamInterface<FailedEntry> {
protected:
    std::string rows() {
        return db.column("SELECT group_concat(ID) FROM T_ITEMS").front() + "/" +
               db.column("SELECT group_concat(SUPPLIER_ID) FROM T_iSUPPLIER").front() + "/" +
               db.column("SELECT group_concat(CUSTOMER_ID) FROM T_iCUSTOMER").front() + "/" +
               db.column("SELECT group_concat(ID) FROM T_SHEET").front() + "/" +
               db.column("SELECT COUNT(*) FROM T_TODOLIST").front();
    }
};

// Whatever step fails, the entry leaves the database as it was, keeps the
// rows the caller named (goods 42, on no sheet, and sheet 10, read and
// reused as a template), and gives the records back with the keys they
// came with, so that the same records enter once the cause is gone.
TEST_P(FailedSheetEntry, LeavesNothingAndCanBeRepeated) {
    const FailedEntry& c = GetParam();
    const std::string before = rows();
    GoodsInformation goods = newGoods();
    goods.lngGoodsID = 42;  // not a key the entry may remove unless the sheet names it
    SupplierInformation supplier = newSupplier();
    CustomerInformation customer;
    customer.lngCustomerID = 7;
    SheetInformation sheet = newSheet(0);
    sheet.strNote = "ToDo になる長いメモです。";
    sheet.lngSheetID = 10;
    sheet.lngGoodsID = c.sheetNamesGoods ? 42 : 0;
    const SheetInformation sheetOnEntry = sheet;

    db.exec(c.fail);
    EXPECT_TRUE(item->SetGoodsInformation(goods, supplier, customer, sheet, true));
    db.exec(c.repair);
    EXPECT_EQ(reportCodes(sink), c.reports);
    EXPECT_EQ(rows(), before);
    EXPECT_EQ(supplier.lngSupplierID, 0);
    EXPECT_EQ(goods.lngGoodsID, 42);
    EXPECT_EQ(customer.lngCustomerID, 7);
    EXPECT_EQ(sheet.lngSheetID, 10);
    EXPECT_EQ(sheet.lngGoodsID, sheetOnEntry.lngGoodsID);
    EXPECT_EQ(sheet.lngSupplierID, 0);
    EXPECT_EQ(sheet.lngCustomerID, 0);

    sink.clear();
    EXPECT_FALSE(item->SetGoodsInformation(goods, supplier, customer, sheet, true));
    EXPECT_TRUE(sink.messages().empty());
    EXPECT_NE(sheet.lngSheetID, 10);
    EXPECT_EQ(sheetColumn(sheet.lngSheetID, "GOODS_ID"), std::to_string(goods.lngGoodsID));
    EXPECT_EQ(sheetColumn(sheet.lngSheetID, "SUPPLIER_ID"), std::to_string(supplier.lngSupplierID));
    EXPECT_EQ(count("T_iSUPPLIER"), 3);
    EXPECT_EQ(count("T_ITEMS"), c.sheetNamesGoods ? 3 : 4);
    EXPECT_EQ(count("T_SHEET WHERE ID = 10"), 1);
}

constexpr const char* kDropTrigger = "DROP TRIGGER fail";

std::string failInsert(const char* table) {
    return std::string("CREATE TRIGGER fail BEFORE INSERT ON ") + table + " BEGIN SELECT RAISE(ABORT, 'locked'); END";
}

INSTANTIATE_TEST_SUITE_P(
    EachStep, FailedSheetEntry,
    ::testing::Values(
        FailedEntry{"supplier", failInsert("T_iSUPPLIER"), kDropTrigger, true, {"CLS-iida1006"}},
        FailedEntry{"goods", failInsert("T_ITEMS"), kDropTrigger, false, {"CLS-iida1005"}},
        FailedEntry{"sheet_on_named_goods", failInsert("T_SHEET"), kDropTrigger, true,
                    {"CLS-iids1027"}},
        FailedEntry{"sheet_on_new_goods", failInsert("T_SHEET"), kDropTrigger, false,
                    {"CLS-iids1027"}},
        FailedEntry{"todo", failInsert("T_TODOLIST"), kDropTrigger, false, {"CLS-iids1027"}},
        // Opening the goods table fails before the insert's own handler:
        // the entry reports it and still removes the supplier it added.
        FailedEntry{"goods_table", "ALTER TABLE T_ITEMS RENAME TO T_AWAY", "ALTER TABLE T_AWAY RENAME TO T_ITEMS",
                    false, {" CLS-iida1004"}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lumo::test
