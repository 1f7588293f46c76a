// The statements of the search lists, letter for letter: every mix of
// empty and given words, quotes in words, and the two lists whose groups
// need parentheses when both are present. The expected texts are written
// out with @ standing for the word.
#include <string>
#include <string_view>
#include <vector>

#include "tests/access/AccessTestSupport.h"

namespace lumo::test {
namespace {

using namespace LumoAccess;

// `pattern` with every @ replaced by `word`.
std::string with(std::string_view pattern, std::string_view word) {
    std::string out;
    for (char c : pattern) {
        if (c == '@') out += word;
        else out += c;
    }
    return out;
}

// ------------------------------------------------------------ person list

constexpr std::string_view kPersonSelect =
    "SELECT DISTINCT T_PERSON.PERSON_ID, ([T_PERSON].[LASTNAME] & [T_PERSON].[FIRSTNAME]) AS PERSON_NAME, "
    "T_PERSON.COMPANY, vwOfficePhone.TEL_NUMBER AS OFFICE_PHONE, vwHomePhone.TEL_NUMBER AS HOME_PHONE, "
    "vwMailAddress.MAIL_ADDRESS, T_GROUPING.LABEL, ([T_PERSON].[LASTALIAS] & [T_PERSON].[FIRSTALIAS]) AS "
    "PERSON_ALIAS, T_PERSON.ALIAS FROM T_GROUPING INNER JOIN (((T_PERSON LEFT JOIN vwHomePhone ON "
    "T_PERSON.PERSON_ID = vwHomePhone.PERSON_ID) LEFT JOIN vwOfficePhone ON T_PERSON.PERSON_ID = "
    "vwOfficePhone.PERSON_ID) LEFT JOIN vwMailAddress ON T_PERSON.PERSON_ID = vwMailAddress.PERSON_ID) ON "
    "T_GROUPING.TYPE_ID = T_PERSON.TYPE_ID WHERE T_PERSON.PERSON_ID IN (SELECT T_PERSON.PERSON_ID FROM "
    "T_PERSON LEFT JOIN T_PHONE ON T_PERSON.PERSON_ID = T_PHONE.PERSON_ID WHERE ";
constexpr std::string_view kPersonName =
    "(T_PERSON.LASTNAME LIKE '%@%' OR T_PERSON.FIRSTNAME LIKE '%@%' OR T_PERSON.LASTALIAS LIKE '%@%' OR "
    "T_PERSON.FIRSTALIAS LIKE '%@%' OR T_PERSON.ALIAS LIKE '%@%' OR T_PERSON.COMPANY Like '%@%' OR "
    "T_PERSON.MATEALIAS LIKE '%@%' OR T_PERSON.MATE Like '%@%')";
constexpr std::string_view kPersonPhone =
    "(T_PHONE.TEL_NUMBER LIKE '%@%' OR T_PHONE.TEL_NUMBER LIKE '%@' OR T_PHONE.TEL_NUMBER LIKE '@%')";

std::string personList(const std::string& condition) { return std::string(kPersonSelect) + condition + ")"; }

struct PersonCase {
    std::string name, phone, expected;
};

TEST(SearchText, PersonListForEveryMixOfWords) {
    Ref<clsPidAccess> person = createObject<clsPidAccess>();
    ASSERT_TRUE(person) << AccessLibrary::instance().loadError();
    RecordingSink sink;
    const std::vector<PersonCase> cases = {
        {"", "", ""},
        {"山田", "", personList(with(kPersonName, "山田"))},
        {"", "03-34", personList(with(kPersonPhone, "03-34"))},
        {"山田", "03-34", personList(with(kPersonName, "山田") + " AND " + with(kPersonPhone, "03-34"))},
        // Quotes doubled; wildcards and spaces kept as typed.
        {"O'Brien", "", personList(with(kPersonName, "O''Brien"))},
        {"", "0'3", personList(with(kPersonPhone, "0''3"))},
        {"''", "'", personList(with(kPersonName, "''''") + " AND " + with(kPersonPhone, "''"))},
        {" 山_%田 ", "", personList(with(kPersonName, " 山_%田 "))},
    };
    for (const PersonCase& c : cases) {
        SCOPED_TRACE("name [" + c.name + "] phone [" + c.phone + "]");
        EXPECT_EQ(person->CreateSimpleViewQuery(c.name, c.phone), c.expected);
        EXPECT_EQ(person->GetFindView(c.name, c.phone), c.expected);
    }
    EXPECT_TRUE(sink.messages().empty());
}

// -------------------------------------------------------------- sheet list

constexpr std::string_view kSheetSelect =
    "SELECT T_SHEET.SHEET_ID, T_SHEET.SHEET_DATE, T_ITEMS.ITEM_NAME, T_iSUPPLIER.SUPPLIER, "
    "T_iCUSTOMER.CUSTOMER, T_SHEET.QUANTITY, T_SHEET.SALES_UNITPRICE AS SALES, T_SHEET.STOCK_UNITPRICE AS "
    "STOCK,T_SHEET.ID, T_iSUPPLIER.ALIAS, T_iCUSTOMER.ALIAS, T_ITEMS.ITEM_ALIAS, T_iGROUPING.ILABEL FROM "
    "T_iGROUPING INNER JOIN (T_ITEMS INNER JOIN (T_iSUPPLIER RIGHT JOIN (T_iCUSTOMER RIGHT JOIN T_SHEET ON "
    "T_iCUSTOMER.CUSTOMER_ID = T_SHEET.CUSTOMER_ID)ON T_iSUPPLIER.SUPPLIER_ID = T_SHEET.SUPPLIER_ID) ON "
    "T_ITEMS.ID = T_SHEET.GOODS_ID)ON T_iGROUPING.ITYPE_ID = T_ITEMS.ITYPE_ID WHERE (";
constexpr std::string_view kSheetGoods =
    "(T_iGROUPING.ILABEL LIKE '%@%' OR T_ITEMS.ITEM_ALIAS LIKE '%@%' OR T_ITEMS.ITEM_NAME LIKE '%@%' OR "
    "T_ITEMS.ITEM_FORM LIKE '%@%')";
constexpr std::string_view kSheetTrader =
    "(T_iCUSTOMER.ALIAS LIKE '%@%' OR T_iCUSTOMER.CUSTOMER LIKE '%@%' OR (T_iCUSTOMER.CLAST_ALIAS & "
    "T_iCUSTOMER.CFIRST_ALIAS) LIKE '%@%' OR (T_iCUSTOMER.CLAST_NAME & T_iCUSTOMER.CFIRST_NAME) LIKE '%@%' OR "
    "T_iSUPPLIER.ALIAS LIKE '%@%' OR T_iSUPPLIER.SUPPLIER LIKE '%@%' OR (T_iSUPPLIER.SLAST_ALIAS & "
    "T_iSUPPLIER.SFIRST_ALIAS) LIKE '%@%' OR (T_iSUPPLIER.SLAST_NAME & T_iSUPPLIER.SFIRST_NAME) LIKE '%@%')";

std::string sheetList(const std::string& condition) { return std::string(kSheetSelect) + condition + ")"; }

struct SheetCase {
    std::string item, trader, expected;
};

TEST(SearchText, SheetListForEveryMixOfWords) {
    Ref<clsIidAccess> items = createObject<clsIidAccess>();
    ASSERT_TRUE(items) << AccessLibrary::instance().loadError();
    RecordingSink sink;
    const std::vector<SheetCase> cases = {
        {"", "", ""},
        {"ペン", "", sheetList(with(kSheetGoods, "ペン"))},
        // The counterpart group alone: two parentheses open and close it.
        {"", "山田", sheetList(with(kSheetTrader, "山田"))},
        {"ペン", "山田", sheetList(with(kSheetGoods, "ペン") + " AND " + with(kSheetTrader, "山田"))},
        {"", "O'Neil", sheetList(with(kSheetTrader, "O''Neil"))},
        {"a'b'", "%_", sheetList(with(kSheetGoods, "a''b''") + " AND " + with(kSheetTrader, "%_"))},
    };
    for (const SheetCase& c : cases) {
        SCOPED_TRACE("item [" + c.item + "] trader [" + c.trader + "]");
        String reserved = "untouched";
        EXPECT_EQ(items->CreateSimpleViewQuery(c.item, c.trader, &reserved), c.expected);
        EXPECT_EQ(reserved, "untouched");
        EXPECT_EQ(items->GetFindView(c.item, c.trader), c.expected);
    }
    std::vector<String> query{"ITEM_NAME", "x"};
    EXPECT_EQ(items->CreateAdvancedViewQuery(query), "");
    EXPECT_EQ(query, (std::vector<String>{"ITEM_NAME", "x"}));
    std::vector<String> none;
    EXPECT_EQ(items->CreateAdvancedViewQuery(none), "");
    EXPECT_TRUE(sink.messages().empty());
}

// -------------------------------------------------------------- goods list

constexpr std::string_view kGoodsSelect =
    "SELECT [T_ITEMS].[ID], [T_ITEMS].[MAKER], [T_ITEMS].[ITEM_NAME], [T_ITEMS].[ITEM_FORM], "
    "[T_ITEMS].[ITEM_SPEC] FROM T_iGROUPING INNER JOIN T_ITEMS ON [T_iGROUPING].[ITYPE_ID]=[T_ITEMS].[ITYPE_ID] "
    "WHERE ";
constexpr std::string_view kGoodsName = "T_ITEMS.ITEM_ALIAS LIKE '%@%' OR T_ITEMS.ITEM_NAME LIKE '%@%'";
constexpr std::string_view kGoodsForm = "T_ITEMS.ITEM_FORM LIKE '%@%'";

std::string goodsList(const std::string& condition) { return std::string(kGoodsSelect) + condition; }

struct GoodsCase {
    std::string alias, item, form, expected;
};

TEST(SearchText, GoodsListForEveryMixOfWords) {
    Ref<clsIidAccess> items = createObject<clsIidAccess>();
    ASSERT_TRUE(items) << AccessLibrary::instance().loadError();
    RecordingSink sink;
    const std::vector<GoodsCase> cases = {
        {"", "", "", ""},
        {"", "ペン", "", goodsList(with(kGoodsName, "ペン"))},
        {"ぺん", "", "", goodsList(with(kGoodsName, "ぺん"))},
        // The reading wins: the name is not used at all.
        {"ぺん", "ペン", "", goodsList(with(kGoodsName, "ぺん"))},
        {"", "", "BP", goodsList(with(kGoodsForm, "BP"))},
        // Both groups: each in parentheses, so the model narrows the list.
        {"", "ペン", "BP", goodsList("(" + with(kGoodsName, "ペン") + ") AND (" + with(kGoodsForm, "BP") + ")")},
        {"ぺん", "ペン", "BP", goodsList("(" + with(kGoodsName, "ぺん") + ") AND (" + with(kGoodsForm, "BP") + ")")},
        {"", "O'Reilly", "", goodsList(with(kGoodsName, "O''Reilly"))},
        {"", "", "4'", goodsList(with(kGoodsForm, "4''"))},
    };
    for (const GoodsCase& c : cases) {
        SCOPED_TRACE("alias [" + c.alias + "] item [" + c.item + "] form [" + c.form + "]");
        EXPECT_EQ(items->CreateItemView(c.alias, c.item, c.form), c.expected);
    }
    EXPECT_TRUE(sink.messages().empty());
}

// ------------------------------------------------ supplier and customer lists

constexpr std::string_view kSupplierSelect =
    "SELECT T_iSUPPLIER.SUPPLIER_ID AS ID, T_iSUPPLIER.SUPPLIER AS COMPANY, [SLAST_NAME] & [SFIRST_NAME] AS "
    "TANTO, T_iSUPPLIER.S_TEL AS TEL, T_iSUPPLIER.S_MAIL AS MAIL FROM T_iSUPPLIER  WHERE ";
constexpr std::string_view kSupplierName =
    "(T_iSUPPLIER.SLAST_NAME & T_iSUPPLIER.SFIRST_NAME) LIKE '%@%' OR (T_iSUPPLIER.SLAST_ALIAS & "
    "T_iSUPPLIER.SFIRST_ALIAS) LIKE '%@%' OR T_iSUPPLIER.ALIAS LIKE '%@%' OR T_iSUPPLIER.SUPPLIER LIKE '%@%'";
constexpr std::string_view kSupplierTel = "T_iSUPPLIER.S_TEL LIKE '%@%' OR T_iSUPPLIER.S_FAX LIKE '%@%'";
constexpr std::string_view kCustomerSelect =
    "SELECT T_iCUSTOMER.CUSTOMER_ID AS ID, T_iCUSTOMER.CUSTOMER AS COMPANY, [CLAST_NAME] & [CFIRST_NAME] AS "
    "TANTO, T_iCUSTOMER.C_TEL AS TEL, T_iCUSTOMER.C_MAIL AS MAIL FROM T_iCUSTOMER  WHERE ";
constexpr std::string_view kCustomerName =
    "(T_iCUSTOMER.CLAST_NAME & T_iCUSTOMER.CFIRST_NAME) LIKE '%@%' OR (T_iCUSTOMER.CLAST_ALIAS & "
    "T_iCUSTOMER.CFIRST_ALIAS) LIKE '%@%' OR T_iCUSTOMER.ALIAS LIKE '%@%' OR T_iCUSTOMER.CUSTOMER LIKE '%@%'";
constexpr std::string_view kCustomerTel = "T_iCUSTOMER.C_TEL LIKE '%@%' OR T_iCUSTOMER.C_FAX LIKE '%@%'";

struct PartyCase {
    std::string alias, name, tel;
    // The condition with N for the name group and T for the telephone
    // group: "", "N", "T" or "(N) AND (T)".
    std::string shape;
    std::string nameWord, telWord;  // as they appear, quotes doubled
};

std::string partyList(bool suppliers, const PartyCase& c) {
    const std::string select(suppliers ? kSupplierSelect : kCustomerSelect);
    const std::string name = with(suppliers ? kSupplierName : kCustomerName, c.nameWord);
    const std::string tel = with(suppliers ? kSupplierTel : kCustomerTel, c.telWord);
    if (c.shape.empty()) return "";
    if (c.shape == "N") return select + name;
    if (c.shape == "T") return select + tel;
    return select + "(" + name + ") AND (" + tel + ")";
}

TEST(SearchText, SupplierAndCustomerListsForEveryMixOfWords) {
    Ref<clsIidAccess> items = createObject<clsIidAccess>();
    ASSERT_TRUE(items) << AccessLibrary::instance().loadError();
    RecordingSink sink;
    const std::vector<PartyCase> cases = {
        {"", "", "", "", "", ""},
        {"やまだ", "", "", "N", "やまだ", ""},
        {"", "山田", "", "N", "山田", ""},
        {"やまだ", "山田", "", "N", "やまだ", ""},
        {"", "", "03", "T", "", "03"},
        {"", "山田", "03", "(N) AND (T)", "山田", "03"},
        {"やまだ", "山田", "03", "(N) AND (T)", "やまだ", "03"},
        {"", "O'Neil", "", "N", "O''Neil", ""},
        {"", "", "0'3", "T", "", "0''3"},
    };
    for (bool suppliers : {true, false}) {
        for (const PartyCase& c : cases) {
            SCOPED_TRACE(std::string(suppliers ? "suppliers" : "customers") + " alias [" + c.alias + "] name [" +
                         c.name + "] tel [" + c.tel + "]");
            EXPECT_EQ(items->CreatePersonView(c.alias, c.name, c.tel, suppliers), partyList(suppliers, c));
        }
    }
    EXPECT_TRUE(sink.messages().empty());
}

}  // namespace
}  // namespace lumo::test
