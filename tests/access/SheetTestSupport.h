#pragma once
// What the sheet entry and maintenance tests share: an item database with
// a few stored rows, records filled with distinct values, and a look at a
// stored column as SQLite's quote() shows it ('text', 12, 45000.5, NULL).
#include <string>
#include <utility>
#include <vector>

#include "tests/access/AccessTestSupport.h"

namespace lumo::test {

using namespace LumoAccess;

// Goods 42 and supplier 5 are on no sheet; goods 1, supplier 6 and
// customer 7 belong to sheet 10 (a purchase) and sheet 11 (a sale).
inline constexpr const char* kStoredItems = R"sql(
INSERT INTO T_ITEMS (ID, ITYPE_ID, ITEM_NAME) VALUES (1, 1, 'Stored'), (9, 1, 'Nine'), (42, 1, 'Forty-two');
INSERT INTO T_iSUPPLIER (SUPPLIER_ID, SUPPLIER, S_LINK_ID) VALUES (5, 'Unused supplier', 0), (6, 'Used supplier', 0);
INSERT INTO T_iCUSTOMER (CUSTOMER_ID, CUSTOMER, C_LINK_ID, C_DEFAULT) VALUES (7, 'Used customer', 0, 'stored');
INSERT INTO T_SHEET (ID, SHEET_ID, GOODS_ID, SHEET_DATE, SUPPLIER_ID, QUANTITY, STOCK_UNITPRICE, STOCK_AMOUNT, NOTE)
VALUES (10, 0, 1, 45000, 6, 2, 100, 200, 'stored note');
INSERT INTO T_SHEET (ID, SHEET_ID, GOODS_ID, SHEET_DATE, CUSTOMER_ID, QUANTITY, SALES_UNITPRICE, SALES_AMOUNT)
VALUES (11, 1, 1, 45001, 7, 3, 300, 900);
)sql";

class SheetTest : public ::testing::Test {
protected:
    void SetUp() override {
        db.exec(kStoredItems);
        ASSERT_FALSE(item->Initialize(db.connectionString()));
    }

    // The stored value of one column of the row whose `keyColumn` is `key`
    // ("" when there is no such row).
    std::string stored(const std::string& table, const std::string& keyColumn, long long key,
                       const std::string& column) {
        const auto values =
            db.column("SELECT quote(" + column + ") FROM " + table + " WHERE " + keyColumn + " = " + std::to_string(key));
        return values.empty() ? "" : values.front();
    }
    std::string sheetColumn(long long id, const std::string& column) { return stored("T_SHEET", "ID", id, column); }
    long long count(const std::string& tableAndWhere) { return db.scalar("SELECT COUNT(*) FROM " + tableAndWhere); }

    ScratchDatabase db{schema::itemDdl()};
    RecordingSink sink;
    Ref<clsIidAccess> item = createObject<clsIidAccess>();
};

// Records with a distinct value in every field, so that a value that lands
// in the wrong column shows.
inline GoodsInformation newGoods(const std::string& name = "万年筆") {
    GoodsInformation g;
    g.lngTypeID = 3;
    g.strMakerName = "書房堂";
    g.strGoodsAlias = "ﾏﾝﾈﾝﾋﾂ";
    g.strGoodsName = name;
    g.strGoodsType = "MN-7";
    g.strGoodsSpec = "細字";
    g.strLabel = "色：";
    g.strMemo = "黒";
    g.strNote = "goods note";
    g.strPhotoPath = "/photo/7.jpg";
    return g;
}

inline SupplierInformation newSupplier(const std::string& name = "仕入商会") {
    SupplierInformation s;
    s.strSupplierAlias = "ｼｲﾚ";
    s.strSupplierName = name;
    s.strSupplierLastAlias = "ﾔﾏﾀﾞ";
    s.strSupplierLastName = "山田";
    s.strSupplierFirstAlias = "ﾀﾛｳ";
    s.strSupplierFirstName = "太郎";
    s.strSupplierZip = "100-0001";
    s.strSupplierAddress1 = "東京都";
    s.strSupplierAddress2 = "千代田区";
    s.strSupplierPhone1 = "03-1";
    s.strSupplierPhone2 = "03-2";
    s.strSupplierMailAddress = "s@example.jp";
    s.strSupplierDefault = "s default";
    s.lngSupplierLinkID = 77;
    return s;
}

inline CustomerInformation newCustomer(const std::string& name = "顧客商事") {
    CustomerInformation c;
    c.strCustomerAlias = "ｺｷｬｸ";
    c.strCustomerName = name;
    c.strCustomerLastAlias = "ｽｽﾞｷ";
    c.strCustomerLastName = "鈴木";
    c.strCustomerFirstAlias = "ﾊﾅｺ";
    c.strCustomerFirstName = "花子";
    c.strCustomerZip = "530-0001";
    c.strCustomerAddress1 = "大阪府";
    c.strCustomerAddress2 = "北区";
    c.strCustomerPhone1 = "06-1";
    c.strCustomerPhone2 = "06-2";
    c.strCustomerMailAddress = "c@example.jp";
    c.strCustomerDefault = "c default";
    c.lngCustomerLinkID = 88;
    return c;
}

// A purchase (flag 0) or a sale (flag 1) with every field of both kinds set.
inline SheetInformation newSheet(Integer flag) {
    SheetInformation s;
    s.intSheetFlag = flag;
    s.dyDate = 45100.5;
    s.dySalesDate = 45200;
    s.lngSalesQuantity = 5;
    s.lngSalesUnitPrice = 1200;
    s.lngSalesAmount = 6000;
    s.dyStockDate = 45300;
    s.lngStockQuantity = 8;
    s.lngStockUnitPrice = 700;
    s.lngStockAmount = 5600;
    s.strNote = "短い";
    return s;
}

// A supplier's or customer's columns (S or C) with the value each should
// hold for a record whose texts, in the record's order, are `texts`.
inline std::vector<std::pair<std::string, std::string>> counterpartColumns(const std::string& nameColumn,
                                                                           const std::string& p,
                                                                           const std::vector<std::string>& texts,
                                                                           Long link) {
    const std::vector<std::string> names = {"ALIAS",         nameColumn,      p + "LAST_ALIAS", p + "LAST_NAME",
                                            p + "FIRST_ALIAS", p + "FIRST_NAME", p + "_ZIP",     p + "_ADDRESS1",
                                            p + "_ADDRESS2", p + "_TEL",      p + "_FAX",       p + "_MAIL",
                                            p + "_DEFAULT"};
    std::vector<std::pair<std::string, std::string>> columns;
    for (std::size_t i = 0; i < names.size(); ++i) columns.emplace_back(names[i], "'" + texts[i] + "'");
    columns.emplace_back(p + "_LINK_ID", std::to_string(link));
    return columns;
}

inline std::vector<std::pair<std::string, std::string>> supplierColumns(const SupplierInformation& s) {
    return counterpartColumns("SUPPLIER", "S",
                              {s.strSupplierAlias, s.strSupplierName, s.strSupplierLastAlias, s.strSupplierLastName,
                               s.strSupplierFirstAlias, s.strSupplierFirstName, s.strSupplierZip,
                               s.strSupplierAddress1, s.strSupplierAddress2, s.strSupplierPhone1,
                               s.strSupplierPhone2, s.strSupplierMailAddress, s.strSupplierDefault},
                              s.lngSupplierLinkID);
}

inline std::vector<std::pair<std::string, std::string>> customerColumns(const CustomerInformation& c) {
    return counterpartColumns("CUSTOMER", "C",
                              {c.strCustomerAlias, c.strCustomerName, c.strCustomerLastAlias, c.strCustomerLastName,
                               c.strCustomerFirstAlias, c.strCustomerFirstName, c.strCustomerZip,
                               c.strCustomerAddress1, c.strCustomerAddress2, c.strCustomerPhone1,
                               c.strCustomerPhone2, c.strCustomerMailAddress, c.strCustomerDefault},
                              c.lngCustomerLinkID);
}

inline std::vector<std::pair<std::string, std::string>> goodsColumns(const GoodsInformation& g) {
    auto q = [](const std::string& t) { return "'" + t + "'"; };
    return {{"ITYPE_ID", std::to_string(g.lngTypeID)}, {"MAKER", q(g.strMakerName)},
            {"ITEM_ALIAS", q(g.strGoodsAlias)},         {"ITEM_NAME", q(g.strGoodsName)},
            {"ITEM_FORM", q(g.strGoodsType)},           {"ITEM_SPEC", q(g.strGoodsSpec)},
            {"MEMO_LABEL1", q(g.strLabel)},             {"MEMO1", q(g.strMemo)},
            {"PHOTO_PATH", q(g.strPhotoPath)},          {"NOTE", q(g.strNote)}};
}

}  // namespace lumo::test
