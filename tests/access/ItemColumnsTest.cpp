// Goods, suppliers and customers read from rows whose every text column
// holds its own name, so that a field read from another column shows.
#include "tests/access/AccessTestSupport.h"

namespace lumo::test {
namespace {

using namespace LumoAccess;

// "INSERT INTO table (key, link, c1, c2, ...) VALUES (id, link, 'c1', 'c2', ...)".
std::string rowOfOwnNames(const std::string& table, const std::string& keyAndLink, const std::string& keyAndLinkValues,
                          const std::vector<std::string>& texts) {
    std::string columns = keyAndLink, values = keyAndLinkValues;
    for (const std::string& c : texts) {
        columns += ", \"" + c + "\"";
        values += ", '" + c + "'";
    }
    return "INSERT INTO " + table + " (" + columns + ") VALUES (" + values + ");";
}

const std::vector<std::string> kGoodsTexts = {"MAKER",     "ITEM_ALIAS",  "ITEM_NAME", "ITEM_FORM", "ITEM_SPEC",
                                              "MEMO_LABEL1", "MEMO1",     "PHOTO_PATH", "NOTE"};
// In the order of the record's fields, the free text last.
const std::vector<std::string> kSupplierTexts = {"ALIAS",     "SUPPLIER", "SLAST_ALIAS", "SLAST_NAME", "SFIRST_ALIAS",
                                                 "SFIRST_NAME", "S_ZIP",  "S_ADDRESS1", "S_ADDRESS2", "S_TEL",
                                                 "S_FAX",     "S_MAIL",   "S_DEFAULT"};
const std::vector<std::string> kCustomerTexts = {"ALIAS",     "CUSTOMER", "CLAST_ALIAS", "CLAST_NAME", "CFIRST_ALIAS",
                                                 "CFIRST_NAME", "C_ZIP",  "C_ADDRESS1", "C_ADDRESS2", "C_TEL",
                                                 "C_FAX",     "C_MAIL",   "C_DEFAULT"};

class ItemColumns : public ::testing::Test {
protected:
    void SetUp() override {
        db.exec(rowOfOwnNames("T_ITEMS", "ID, ITYPE_ID", "4, 2", kGoodsTexts));
        db.exec(rowOfOwnNames("T_iSUPPLIER", "SUPPLIER_ID, S_LINK_ID", "5, 51", kSupplierTexts));
        db.exec(rowOfOwnNames("T_iCUSTOMER", "CUSTOMER_ID, C_LINK_ID", "6, 61", kCustomerTexts));
        ASSERT_FALSE(item->Initialize(db.connectionString()));
    }

    ScratchDatabase db{schema::itemDdl()};
    RecordingSink sink;
    Ref<clsIidAccess> item = createObject<clsIidAccess>();
};

TEST_F(ItemColumns, GoodsFieldsComeFromTheirOwnColumns) {
    GoodsInformation g;
    g.strNote = "kept";  // stored, never read back
    item->GetItemInformation(4, g);
    EXPECT_EQ(reportCodes(sink), Codes{});
    EXPECT_EQ(g.lngGoodsID, 4);
    EXPECT_EQ(g.lngTypeID, 2);
    const std::vector<std::string> got = {g.strMakerName, g.strGoodsAlias, g.strGoodsName, g.strGoodsType,
                                          g.strGoodsSpec, g.strLabel,      g.strMemo,      g.strPhotoPath};
    const std::vector<std::string> expected(kGoodsTexts.begin(), kGoodsTexts.end() - 1);
    EXPECT_EQ(got, expected);
    EXPECT_EQ(g.strNote, "kept");
}

TEST_F(ItemColumns, SupplierAndCustomerFieldsComeFromTheirOwnColumns) {
    SupplierInformation s;
    s.strSupplierDefault = "kept";
    CustomerInformation unused;
    item->GetPersonInformation(5, unused, s, true);
    EXPECT_EQ(s.lngSupplierID, 5);
    EXPECT_EQ(s.lngSupplierLinkID, 51);
    const std::vector<std::string> supplier = {
        s.strSupplierAlias,    s.strSupplierName,     s.strSupplierLastAlias, s.strSupplierLastName,
        s.strSupplierFirstAlias, s.strSupplierFirstName, s.strSupplierZip,     s.strSupplierAddress1,
        s.strSupplierAddress2, s.strSupplierPhone1,   s.strSupplierPhone2,    s.strSupplierMailAddress};
    EXPECT_EQ(supplier, std::vector<std::string>(kSupplierTexts.begin(), kSupplierTexts.end() - 1));
    EXPECT_EQ(s.strSupplierDefault, "kept");

    CustomerInformation c;
    c.strCustomerDefault = "kept";
    SupplierInformation untouched;
    item->GetPersonInformation(6, c, untouched, false);
    EXPECT_EQ(c.lngCustomerID, 6);
    EXPECT_EQ(c.lngCustomerLinkID, 61);
    const std::vector<std::string> customer = {
        c.strCustomerAlias,    c.strCustomerName,     c.strCustomerLastAlias, c.strCustomerLastName,
        c.strCustomerFirstAlias, c.strCustomerFirstName, c.strCustomerZip,     c.strCustomerAddress1,
        c.strCustomerAddress2, c.strCustomerPhone1,   c.strCustomerPhone2,    c.strCustomerMailAddress};
    EXPECT_EQ(customer, std::vector<std::string>(kCustomerTexts.begin(), kCustomerTexts.end() - 1));
    EXPECT_EQ(c.strCustomerDefault, "kept");
    EXPECT_EQ(reportCodes(sink), Codes{});
}

// Looked up by name, the same columns fill what a sheet entry needs.
TEST_F(ItemColumns, LookupsByNameReadTheirOwnColumns) {
    GoodsInformation g;
    EXPECT_FALSE(item->ReadItemInformation("ITEM_NAME", g));
    const std::vector<std::string> goods = {g.strGoodsAlias, g.strGoodsName, g.strGoodsType, g.strGoodsSpec};
    EXPECT_EQ(goods, (std::vector<std::string>{"ITEM_ALIAS", "ITEM_NAME", "ITEM_FORM", "ITEM_SPEC"}));
    SupplierInformation s;
    EXPECT_FALSE(item->ReadSupplierInformation("SUPPLIER", s));
    EXPECT_EQ(s.strSupplierAlias + "|" + s.strSupplierName + "|" + std::to_string(s.lngSupplierLinkID), "ALIAS|SUPPLIER|51");
    CustomerInformation c;
    EXPECT_FALSE(item->ReadCustomerInformation("CUSTOMER", c));
    EXPECT_EQ(c.strCustomerAlias + "|" + c.strCustomerName + "|" + std::to_string(c.lngCustomerLinkID), "ALIAS|CUSTOMER|61");
    EXPECT_EQ(reportCodes(sink), Codes{});
}

}  // namespace
}  // namespace lumo::test
