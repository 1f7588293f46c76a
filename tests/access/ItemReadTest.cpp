// Reading goods, suppliers, customers and sheets, and the sheet overview.
#include "tests/access/AccessTestSupport.h"

namespace lumo::test {
namespace {

using namespace LumoAccess;

class ItemRead : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(item->Initialize(db.connectionString()));
        db.exec(R"sql(
INSERT INTO T_ITEMS (ID, ITYPE_ID, MAKER, ITEM_ALIAS, ITEM_NAME, ITEM_FORM, ITEM_SPEC, MEMO_LABEL1, MEMO1,
                     PHOTO_PATH, NOTE)
VALUES (1, 1, NULL, 'ｵﾌｨｽ', 'ｵﾌｨｽ''23', 'OF-23', 'A4', NULL, '保証3年', 'C:\photo\1.jpg', 'goods note'),
       (2, 4, 'Acme', 'ﾃﾞｽｸ', 'Desk', 'D-1', '120cm', '色：', '白', NULL, NULL);
INSERT INTO T_iSUPPLIER (SUPPLIER_ID, ALIAS, SUPPLIER, SLAST_ALIAS, SLAST_NAME, SFIRST_ALIAS, SFIRST_NAME, S_ZIP,
                         S_ADDRESS1, S_ADDRESS2, S_TEL, S_FAX, S_MAIL, S_DEFAULT, S_LINK_ID)
VALUES (5, 'ｵﾌﾞﾗｲｴﾝ', 'O''Brien 商会', 'ﾔﾏﾀﾞ', '山田', 'ﾀﾛｳ', '太郎', '100-0001', '東京都', '千代田区', '03-1', '03-2',
        's@example.jp', 'stored', 77);
INSERT INTO T_iCUSTOMER (CUSTOMER_ID, ALIAS, CUSTOMER, CLAST_ALIAS, CLAST_NAME, CFIRST_ALIAS, CFIRST_NAME, C_ZIP,
                         C_ADDRESS1, C_ADDRESS2, C_TEL, C_FAX, C_MAIL, C_DEFAULT, C_LINK_ID)
VALUES (3, 'ｺｷｬｸ', '顧客商事', 'ｽｽﾞｷ', '鈴木', 'ﾊﾅｺ', '花子', '530-0001', '大阪府', NULL, '06-1', NULL,
        'c@example.jp', NULL, 8);
INSERT INTO T_SHEET (ID, SHEET_ID, GOODS_ID, SHEET_DATE, CUSTOMER_ID, SUPPLIER_ID, QUANTITY, SALES_UNITPRICE,
                     SALES_AMOUNT, STOCK_UNITPRICE, STOCK_AMOUNT, NOTE)
VALUES (10, 0, 1, 45000, NULL, 5, 4, NULL, NULL, 500, 2000, '仕入メモ'),
       (11, 1, 2, 45001.25, 3, NULL, 3, 1200, 3600, NULL, NULL, NULL),
       (12, 1, 2, 45002, 3, NULL, 40000, 10, 400000, NULL, NULL, '大量'),
       (13, 0, 1, NULL, NULL, 5, 1, NULL, NULL, 1, 1, NULL);
)sql");
    }

    ScratchDatabase db{schema::itemDdl()};
    RecordingSink sink;
    Ref<clsIidAccess> item = createObject<clsIidAccess>();
};

GoodsInformation givenGoods() {
    GoodsInformation g;
    g.lngGoodsID = 99;
    g.lngTypeID = 98;
    g.strMakerName = "given maker";
    g.strGoodsAlias = "given alias";
    g.strGoodsName = "given name";
    g.strLabel = "given label";
    g.strMemo = "given memo";
    g.strNote = "given note";
    g.strPhotoPath = "given path";
    return g;
}

// Every field of a record as text, to see that none changed.
std::vector<std::string> fieldsOf(const GoodsInformation& g) {
    return {std::to_string(g.lngGoodsID), std::to_string(g.lngTypeID), g.strMakerName, g.strGoodsAlias,
            g.strGoodsName, g.strGoodsType, g.strGoodsSpec, g.strLabel, g.strMemo, g.strNote, g.strPhotoPath};
}
std::vector<std::string> fieldsOf(const SupplierInformation& s) {
    return {std::to_string(s.lngSupplierID), s.strSupplierAlias, s.strSupplierName, s.strSupplierLastAlias,
            s.strSupplierLastName, s.strSupplierFirstAlias, s.strSupplierFirstName, s.strSupplierZip,
            s.strSupplierAddress1, s.strSupplierAddress2, s.strSupplierPhone1, s.strSupplierPhone2,
            s.strSupplierMailAddress, s.strSupplierDefault, std::to_string(s.lngSupplierLinkID)};
}
std::vector<std::string> fieldsOf(const CustomerInformation& c) {
    return {std::to_string(c.lngCustomerID), c.strCustomerAlias, c.strCustomerName, c.strCustomerLastAlias,
            c.strCustomerLastName, c.strCustomerFirstAlias, c.strCustomerFirstName, c.strCustomerZip,
            c.strCustomerAddress1, c.strCustomerAddress2, c.strCustomerPhone1, c.strCustomerPhone2,
            c.strCustomerMailAddress, c.strCustomerDefault, std::to_string(c.lngCustomerLinkID)};
}

// The operation does nothing: for goods, a supplier and a customer that
// all exist, every field it is handed stays as it was, the reserved text
// too, and nothing is reported.
TEST_F(ItemRead, GetGoodsInformationChangesNothing) {
    for (const Long id : {1, 2, 404}) {
        SCOPED_TRACE("goods " + std::to_string(id));
        GoodsInformation goods = givenGoods();
        SupplierInformation supplier;
        supplier.lngSupplierID = 5;
        supplier.strSupplierName = "s";
        supplier.strSupplierZip = "z";
        CustomerInformation customer;
        customer.lngCustomerID = 3;
        customer.strCustomerAddress1 = "a";
        String reserved = "reserved";
        const auto goodsBefore = fieldsOf(goods);
        const auto supplierBefore = fieldsOf(supplier);
        const auto customerBefore = fieldsOf(customer);
        EXPECT_FALSE(item->GetGoodsInformation(id, goods, supplier, customer, &reserved));
        EXPECT_EQ(fieldsOf(goods), goodsBefore);
        EXPECT_EQ(fieldsOf(supplier), supplierBefore);
        EXPECT_EQ(fieldsOf(customer), customerBefore);
        EXPECT_EQ(reserved, "reserved");
    }
    EXPECT_EQ(reportCodes(sink), Codes{});
}

TEST_F(ItemRead, ReadItemInformationLooksUpTheExactName) {
    GoodsInformation goods = givenGoods();
    EXPECT_FALSE(item->ReadItemInformation("ｵﾌｨｽ'23", goods));
    EXPECT_TRUE(sink.messages().empty());
    EXPECT_EQ(goods.lngGoodsID, 1);
    EXPECT_EQ(goods.lngTypeID, 1);
    EXPECT_EQ(goods.strGoodsAlias, "ｵﾌｨｽ");
    EXPECT_EQ(goods.strGoodsName, "ｵﾌｨｽ'23");
    EXPECT_EQ(goods.strGoodsType, "OF-23");
    EXPECT_EQ(goods.strGoodsSpec, "A4");
    // The lookup fills only what a following sheet entry needs.
    EXPECT_EQ(goods.strMakerName, "given maker");
    EXPECT_EQ(goods.strLabel, "given label");
    EXPECT_EQ(goods.strMemo, "given memo");
    EXPECT_EQ(goods.strNote, "given note");
    EXPECT_EQ(goods.strPhotoPath, "given path");

    GoodsInformation unknown = givenGoods();
    EXPECT_FALSE(item->ReadItemInformation("Des%", unknown));
    EXPECT_EQ(unknown.lngGoodsID, 0);
    EXPECT_EQ(unknown.lngTypeID, 0);
    EXPECT_EQ(unknown.strGoodsName, "given name");
    EXPECT_TRUE(sink.messages().empty());
}

TEST_F(ItemRead, ReadSupplierAndCustomerInformation) {
    SupplierInformation supplier;
    supplier.strSupplierLastName = "given";
    supplier.strSupplierDefault = "given default";
    EXPECT_FALSE(item->ReadSupplierInformation("O'Brien 商会", supplier));
    EXPECT_EQ(supplier.lngSupplierID, 5);
    EXPECT_EQ(supplier.strSupplierAlias, "ｵﾌﾞﾗｲｴﾝ");
    EXPECT_EQ(supplier.strSupplierName, "O'Brien 商会");
    EXPECT_EQ(supplier.lngSupplierLinkID, 77);
    EXPECT_EQ(supplier.strSupplierLastName, "given");
    EXPECT_EQ(supplier.strSupplierDefault, "given default");

    CustomerInformation customer;
    customer.lngCustomerID = 12;
    customer.strCustomerName = "nobody";
    customer.lngCustomerLinkID = 6;
    EXPECT_FALSE(item->ReadCustomerInformation("nobody", customer));
    EXPECT_EQ(customer.lngCustomerID, 0);
    EXPECT_EQ(customer.strCustomerName, "nobody");
    EXPECT_EQ(customer.lngCustomerLinkID, 6);

    EXPECT_FALSE(item->ReadCustomerInformation("顧客商事", customer));
    EXPECT_EQ(customer.lngCustomerID, 3);
    EXPECT_EQ(customer.strCustomerAlias, "ｺｷｬｸ");
    EXPECT_EQ(customer.lngCustomerLinkID, 8);
    EXPECT_TRUE(sink.messages().empty());
}

TEST_F(ItemRead, NameLookupsFlagTheFailuresTheyReport) {
    // A link number beyond a Long (a damaged row: the schema's checks
    // would refuse it) cannot be read: the record stays as it was, and
    // the report names the table and column.
    db.exec("PRAGMA ignore_check_constraints = ON; UPDATE T_iSUPPLIER SET S_LINK_ID = 3000000000");
    SupplierInformation supplier;
    supplier.lngSupplierLinkID = 3;
    EXPECT_TRUE(item->ReadSupplierInformation("O'Brien 商会", supplier));
    EXPECT_EQ(reportCodes(sink), Codes{"CLS-iida1012"});
    EXPECT_NE(sink.messages().at(0).text.find("(T_iSUPPLIER.S_LINK_ID)"), std::string::npos) << sink.messages()[0].text;
    EXPECT_EQ(supplier.lngSupplierID, 0);
    EXPECT_EQ(supplier.strSupplierName, "");
    EXPECT_EQ(supplier.lngSupplierLinkID, 3);

    sink.clear();
    db.exec("UPDATE T_ITEMS SET ITYPE_ID = 3000000000 WHERE ID = 2");
    GoodsInformation goods = givenGoods();
    EXPECT_TRUE(item->ReadItemInformation("desk", goods)) << "names compare ignoring ASCII case";
    EXPECT_EQ(goods.lngGoodsID, 99);
    EXPECT_EQ(goods.strGoodsAlias, "given alias");

    auto fresh = createObject<clsIidAccess>();
    CustomerInformation customer;
    EXPECT_TRUE(fresh->ReadCustomerInformation("顧客商事", customer));
    EXPECT_EQ(reportCodes(sink), (Codes{"CLS-iida1011", "CLS-iida1013"}));
}

TEST_F(ItemRead, GetItemInformationReadsTheGoodsRow) {
    GoodsInformation goods = givenGoods();
    item->GetItemInformation(1, goods);
    EXPECT_EQ(goods.lngGoodsID, 1);
    EXPECT_EQ(goods.lngTypeID, 1);
    EXPECT_EQ(goods.strMakerName, "");
    EXPECT_EQ(goods.strGoodsAlias, "ｵﾌｨｽ");
    EXPECT_EQ(goods.strGoodsName, "ｵﾌｨｽ'23");
    EXPECT_EQ(goods.strGoodsType, "OF-23");
    EXPECT_EQ(goods.strGoodsSpec, "A4");
    EXPECT_EQ(goods.strPhotoPath, "C:\\photo\\1.jpg");
    EXPECT_EQ(goods.strLabel, "メモ１：");
    EXPECT_EQ(goods.strMemo, "保証3年");
    EXPECT_EQ(goods.strNote, "given note");

    item->GetItemInformation(2, goods);
    EXPECT_EQ(goods.strMakerName, "Acme");
    EXPECT_EQ(goods.strLabel, "色：");
    EXPECT_EQ(goods.strPhotoPath, "");

    GoodsInformation untouched = givenGoods();
    item->GetItemInformation(404, untouched);
    EXPECT_EQ(untouched.lngGoodsID, 99);
    EXPECT_EQ(untouched.strMakerName, "given maker");
    EXPECT_TRUE(sink.messages().empty());
}

TEST_F(ItemRead, GetPersonInformationReadsTheChosenCounterpart) {
    CustomerInformation customer;
    customer.strCustomerName = "untouched";
    SupplierInformation supplier;
    supplier.strSupplierDefault = "kept";
    item->GetPersonInformation(5, customer, supplier, true);
    EXPECT_TRUE(sink.messages().empty());
    EXPECT_EQ(customer.strCustomerName, "untouched");
    EXPECT_EQ(supplier.lngSupplierID, 5);
    EXPECT_EQ(supplier.lngSupplierLinkID, 77);
    const std::vector<std::string> got = {
        supplier.strSupplierAlias,    supplier.strSupplierName,      supplier.strSupplierLastAlias,
        supplier.strSupplierLastName, supplier.strSupplierFirstAlias, supplier.strSupplierFirstName,
        supplier.strSupplierZip,      supplier.strSupplierAddress1,  supplier.strSupplierAddress2,
        supplier.strSupplierPhone1,   supplier.strSupplierPhone2,    supplier.strSupplierMailAddress};
    const std::vector<std::string> expected = {"ｵﾌﾞﾗｲｴﾝ", "O'Brien 商会", "ﾔﾏﾀﾞ",   "山田", "ﾀﾛｳ",  "太郎",
                                               "100-0001", "東京都",       "千代田区", "03-1", "03-2", "s@example.jp"};
    EXPECT_EQ(got, expected);
    EXPECT_EQ(supplier.strSupplierDefault, "kept");

    SupplierInformation otherSupplier;
    item->GetPersonInformation(3, customer, otherSupplier, false);
    EXPECT_EQ(otherSupplier.lngSupplierID, 0);
    EXPECT_EQ(customer.lngCustomerID, 3);
    EXPECT_EQ(customer.strCustomerName, "顧客商事");
    EXPECT_EQ(customer.strCustomerLastName, "鈴木");
    EXPECT_EQ(customer.strCustomerAddress2, "");
    EXPECT_EQ(customer.strCustomerPhone2, "");
    EXPECT_EQ(customer.strCustomerMailAddress, "c@example.jp");
    EXPECT_EQ(customer.lngCustomerLinkID, 8);
    EXPECT_TRUE(sink.messages().empty());

    SupplierInformation missing;
    missing.strSupplierName = "kept";
    item->GetPersonInformation(404, customer, missing, true);
    EXPECT_EQ(reportCodes(sink), Codes{"CLS-iida1031"});
    EXPECT_EQ(missing.lngSupplierID, 0);
    EXPECT_EQ(missing.strSupplierName, "kept");
}

SheetInformation givenSheet() {
    SheetInformation s;
    s.lngCustomerID = -1;
    s.dySalesDate = -2;
    s.lngSalesQuantity = -3;
    s.lngSalesUnitPrice = -4;
    s.lngSalesAmount = -5;
    s.lngSupplierID = -6;
    s.dyStockDate = -7;
    s.lngStockQuantity = -8;
    s.lngStockUnitPrice = -9;
    s.lngStockAmount = -10;
    s.strNote = "given";
    return s;
}

TEST_F(ItemRead, GetSheetInformationFillsTheFieldsOfItsKind) {
    SheetInformation purchase = givenSheet();
    item->GetSheetInformation(10, purchase);
    EXPECT_EQ(purchase.lngSheetID, 10);
    EXPECT_EQ(purchase.intSheetFlag, 0);
    EXPECT_EQ(purchase.lngGoodsID, 1);
    EXPECT_EQ(purchase.dyDate, 45000);
    EXPECT_EQ(purchase.lngSupplierID, 5);
    EXPECT_EQ(purchase.lngStockQuantity, 4);
    EXPECT_EQ(purchase.lngStockUnitPrice, 500);
    EXPECT_EQ(purchase.lngStockAmount, 2000);
    EXPECT_EQ(purchase.strNote, "仕入メモ");
    EXPECT_EQ(purchase.lngCustomerID, -1);
    EXPECT_EQ(purchase.lngSalesQuantity, -3);
    EXPECT_EQ(purchase.lngSalesAmount, -5);
    EXPECT_EQ(purchase.dySalesDate, -2);
    EXPECT_EQ(purchase.dyStockDate, -7);

    SheetInformation sale = givenSheet();
    item->GetSheetInformation(11, sale);
    EXPECT_EQ(sale.intSheetFlag, 1);
    EXPECT_EQ(sale.dyDate, 45001.25);
    EXPECT_EQ(sale.lngCustomerID, 3);
    EXPECT_EQ(sale.lngSalesQuantity, 3);
    EXPECT_EQ(sale.lngSalesUnitPrice, 1200);
    EXPECT_EQ(sale.lngSalesAmount, 3600);
    EXPECT_EQ(sale.strNote, "");
    EXPECT_EQ(sale.lngSupplierID, -6);
    EXPECT_EQ(sale.lngStockQuantity, -8);

    SheetInformation missing = givenSheet();
    item->GetSheetInformation(404, missing);
    EXPECT_EQ(missing.lngSheetID, 0);
    EXPECT_EQ(missing.strNote, "given");
    EXPECT_TRUE(sink.messages().empty());
}

// A sheet entered without a date has no SHEET_DATE; it reads as 0 and the
// rest of the sheet is read as usual.
TEST_F(ItemRead, ASheetWithoutDateReadsDateZero) {
    SheetInformation sheet = givenSheet();
    sheet.dyDate = 5;
    item->GetSheetInformation(13, sheet);
    EXPECT_TRUE(sink.messages().empty());
    EXPECT_EQ(sheet.lngSheetID, 13);
    EXPECT_EQ(sheet.lngGoodsID, 1);
    EXPECT_EQ(sheet.dyDate, 0);
    EXPECT_EQ(sheet.lngSupplierID, 5);
    EXPECT_EQ(sheet.lngStockQuantity, 1);
    EXPECT_EQ(sheet.strNote, "");

    const GoodsInfoOverview overview = item->GetGoodsInformationOverView(13);
    EXPECT_TRUE(sink.messages().empty());
    EXPECT_EQ(overview.dyDate, 0);
    EXPECT_EQ(overview.strName, "O'Brien 商会");
    EXPECT_TRUE(overview.blnFlag);
}

TEST_F(ItemRead, OverviewOfASaleAndOfAPurchase) {
    const GoodsInfoOverview sale = item->GetGoodsInformationOverView(11);
    EXPECT_EQ(sale.dyDate, 45001.25);
    EXPECT_EQ(sale.strGoodsName, "Desk");
    EXPECT_EQ(sale.strGoodsType, "D-1");
    EXPECT_EQ(sale.strGoodsSpec, "120cm");
    EXPECT_EQ(sale.intQuantity, 3);
    EXPECT_EQ(sale.dblUnitPrice, 1200.0);
    EXPECT_EQ(sale.dblAmount, 3600.0);
    EXPECT_EQ(sale.strName, "顧客商事");
    EXPECT_EQ(sale.strTanto, "鈴木花子");
    EXPECT_EQ(sale.strPhone1, "06-1");
    EXPECT_EQ(sale.strMail, "c@example.jp");
    EXPECT_FALSE(sale.blnFlag);

    const GoodsInfoOverview purchase = item->GetGoodsInformationOverView(10);
    EXPECT_EQ(purchase.strGoodsName, "ｵﾌｨｽ'23");
    EXPECT_EQ(purchase.intQuantity, 4);
    EXPECT_EQ(purchase.dblUnitPrice, 500.0);
    EXPECT_EQ(purchase.dblAmount, 2000.0);
    EXPECT_EQ(purchase.strName, "O'Brien 商会");
    EXPECT_EQ(purchase.strTanto, "山田太郎");
    EXPECT_EQ(purchase.strPhone2, "03-2");
    EXPECT_EQ(purchase.strNote, "仕入メモ");
    EXPECT_TRUE(purchase.blnFlag);
    EXPECT_TRUE(sink.messages().empty());
}

TEST_F(ItemRead, OverviewOfAMissingSheet) {
    const GoodsInfoOverview o = item->GetGoodsInformationOverView(404);
    // No sheet means supplier 0, which has no row.
    EXPECT_EQ(reportCodes(sink), Codes{"CLS-iida1031"});
    EXPECT_EQ(o.dyDate, 0);
    EXPECT_EQ(o.strGoodsName, "");
    EXPECT_EQ(o.intQuantity, 0);
    EXPECT_EQ(o.strName, "");
    EXPECT_TRUE(o.blnFlag);
}

TEST_F(ItemRead, OverviewOfAQuantityBeyondSixteenBits) {
    const GoodsInfoOverview o = item->GetGoodsInformationOverView(12);
    EXPECT_EQ(reportCodes(sink), Codes{"CLS-iida1010"});
    EXPECT_EQ(o.dyDate, 45002);
    EXPECT_EQ(o.strGoodsName, "Desk");
    EXPECT_EQ(o.strNote, "大量");
    EXPECT_EQ(o.intQuantity, 0);
    EXPECT_EQ(o.dblUnitPrice, 0);
    EXPECT_EQ(o.dblAmount, 0);
    EXPECT_EQ(o.strName, "");
    EXPECT_FALSE(o.blnFlag);
}

}  // namespace
}  // namespace lumo::test
