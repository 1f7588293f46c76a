// The search lists a client shows over the item database: sheets, goods,
// and suppliers or customers. The statements are built here and run by
// the client.
#include <string_view>

#include "access/core/SearchText.h"
#include "access/item/clsIidAccess.h"
#include "platform/ErrorReport.h"

namespace lumo::access {

using namespace LumoAccess;

namespace {

// A sheet joins its goods and the goods' group (both required) and its
// customer or supplier (outer joins: a purchase has no customer, a sale no
// supplier).
constexpr std::string_view kSheetList =
    "SELECT T_SHEET.SHEET_ID, T_SHEET.SHEET_DATE, T_ITEMS.ITEM_NAME, "
    "T_iSUPPLIER.SUPPLIER, T_iCUSTOMER.CUSTOMER, T_SHEET.QUANTITY, "
    "T_SHEET.SALES_UNITPRICE AS SALES, T_SHEET.STOCK_UNITPRICE AS STOCK,T_SHEET.ID, "
    "T_iSUPPLIER.ALIAS, T_iCUSTOMER.ALIAS, T_ITEMS.ITEM_ALIAS, T_iGROUPING.ILABEL "
    "FROM T_iGROUPING INNER JOIN (T_ITEMS INNER JOIN (T_iSUPPLIER RIGHT JOIN "
    "(T_iCUSTOMER RIGHT JOIN T_SHEET ON T_iCUSTOMER.CUSTOMER_ID = T_SHEET.CUSTOMER_ID)"
    "ON T_iSUPPLIER.SUPPLIER_ID = T_SHEET.SUPPLIER_ID) ON T_ITEMS.ID = T_SHEET.GOODS_ID)"
    "ON T_iGROUPING.ITYPE_ID = T_ITEMS.ITYPE_ID"
    " WHERE (";

constexpr std::string_view kGoodsList =
    "SELECT [T_ITEMS].[ID], [T_ITEMS].[MAKER], [T_ITEMS].[ITEM_NAME], [T_ITEMS].[ITEM_FORM], "
    "[T_ITEMS].[ITEM_SPEC] "
    "FROM T_iGROUPING INNER JOIN T_ITEMS ON "
    "[T_iGROUPING].[ITYPE_ID]=[T_ITEMS].[ITYPE_ID]"
    " WHERE ";

// The names of the supplier list and of the customer list: one table of
// one shape each.
struct PartyList {
    std::string_view personName;  // the contact's name, family name first
    std::string_view personAlias;  // its reading
    std::string_view alias;        // the company's reading
    std::string_view company;
    std::string_view tel;
    std::string_view fax;
    std::string_view select;      // up to and including the table
};

constexpr PartyList kSupplierList{
    "(T_iSUPPLIER.SLAST_NAME & T_iSUPPLIER.SFIRST_NAME) LIKE '%",
    "(T_iSUPPLIER.SLAST_ALIAS & T_iSUPPLIER.SFIRST_ALIAS) LIKE '%",
    "T_iSUPPLIER.ALIAS LIKE '%",
    "T_iSUPPLIER.SUPPLIER LIKE '%",
    "T_iSUPPLIER.S_TEL LIKE '%",
    "T_iSUPPLIER.S_FAX LIKE '%",
    "SELECT T_iSUPPLIER.SUPPLIER_ID AS ID, T_iSUPPLIER.SUPPLIER AS COMPANY, "
    "[SLAST_NAME] & [SFIRST_NAME] AS TANTO, T_iSUPPLIER.S_TEL AS TEL, "
    "T_iSUPPLIER.S_MAIL AS MAIL "
    "FROM T_iSUPPLIER "};

constexpr PartyList kCustomerList{
    "(T_iCUSTOMER.CLAST_NAME & T_iCUSTOMER.CFIRST_NAME) LIKE '%",
    "(T_iCUSTOMER.CLAST_ALIAS & T_iCUSTOMER.CFIRST_ALIAS) LIKE '%",
    "T_iCUSTOMER.ALIAS LIKE '%",
    "T_iCUSTOMER.CUSTOMER LIKE '%",
    "T_iCUSTOMER.C_TEL LIKE '%",
    "T_iCUSTOMER.C_FAX LIKE '%",
    "SELECT T_iCUSTOMER.CUSTOMER_ID AS ID, T_iCUSTOMER.CUSTOMER AS COMPANY, "
    "[CLAST_NAME] & [CFIRST_NAME] AS TANTO, T_iCUSTOMER.C_TEL AS TEL, "
    "T_iCUSTOMER.C_MAIL AS MAIL "
    "FROM T_iCUSTOMER "};

// Every test of these lists looks for the word anywhere in its column.
constexpr std::string_view kAnywhere = "%'";

// A name word given as reading wins over one given as name: the one word
// is then matched against every name column.
const String& nameWord(const String& strAlias, const String& strName) {
    return strAlias.empty() ? strName : strAlias;
}

}  // namespace

String IidAccess::CreateSimpleViewQuery(const String& strItem, const String& strTrader, String*) noexcept {
    String sql;
    reported("CLS-iida1023", [&] {
        const std::string goods = likeGroup({{"T_iGROUPING.ILABEL LIKE '%", kAnywhere},
                                             {"T_ITEMS.ITEM_ALIAS LIKE '%", kAnywhere},
                                             {"T_ITEMS.ITEM_NAME LIKE '%", kAnywhere},
                                             {"T_ITEMS.ITEM_FORM LIKE '%", kAnywhere}},
                                            strItem, Enclosed::Yes);
        // Customers and suppliers alike: a sheet has one or the other.
        const std::string trader =
            likeGroup({{"T_iCUSTOMER.ALIAS LIKE '%", kAnywhere},
                       {"T_iCUSTOMER.CUSTOMER LIKE '%", kAnywhere},
                       {"(T_iCUSTOMER.CLAST_ALIAS & T_iCUSTOMER.CFIRST_ALIAS) LIKE '%", kAnywhere},
                       {"(T_iCUSTOMER.CLAST_NAME & T_iCUSTOMER.CFIRST_NAME) LIKE '%", kAnywhere},
                       {"T_iSUPPLIER.ALIAS LIKE '%", kAnywhere},
                       {"T_iSUPPLIER.SUPPLIER LIKE '%", kAnywhere},
                       {"(T_iSUPPLIER.SLAST_ALIAS & T_iSUPPLIER.SFIRST_ALIAS) LIKE '%", kAnywhere},
                       {"(T_iSUPPLIER.SLAST_NAME & T_iSUPPLIER.SFIRST_NAME) LIKE '%", kAnywhere}},
                      strTrader, Enclosed::Yes);
        const std::string condition = bothGroups(goods, trader, Join::AsWritten);
        // An empty search lists nothing rather than every sheet.
        if (condition.empty()) return;
        sql.append(kSheetList).append(condition).append(")");
    });
    return sql;
}

String IidAccess::CreateAdvancedViewQuery(std::vector<String>&, String*) noexcept { return {}; }

String IidAccess::GetFindView(const String& strItem, const String& strTrader) noexcept {
    String sql;
    reported("CLS-iida1034", [&] {
        LumoAccess::clsIidAccess& self = *this;
        String reserved;
        sql = self.CreateSimpleViewQuery(strItem, strTrader, &reserved);
    });
    return sql;
}

String IidAccess::CreateItemView(const String& strAlias, const String& strItem, const String& strForm) noexcept {
    String sql;
    reported("CLS-iida1032", [&] {
        const std::string name = likeGroup(
            {{"T_ITEMS.ITEM_ALIAS LIKE '%", kAnywhere}, {"T_ITEMS.ITEM_NAME LIKE '%", kAnywhere}},
            nameWord(strAlias, strItem), Enclosed::No);
        const std::string model = likeGroup({{"T_ITEMS.ITEM_FORM LIKE '%", kAnywhere}}, strForm, Enclosed::No);
        const std::string condition = bothGroups(name, model, Join::Parenthesised);
        if (condition.empty()) return;
        sql.append(kGoodsList).append(condition);
    });
    return sql;
}

String IidAccess::CreatePersonView(const String& strAlias, const String& strName, const String& strTel,
                                   bool blnFlag) noexcept {
    String sql;
    reported("CLS-iida1033", [&] {
        const PartyList& list = blnFlag ? kSupplierList : kCustomerList;
        const std::string name = likeGroup({{list.personName, kAnywhere},
                                            {list.personAlias, kAnywhere},
                                            {list.alias, kAnywhere},
                                            {list.company, kAnywhere}},
                                           nameWord(strAlias, strName), Enclosed::No);
        // Telephone and fax numbers alike.
        const std::string tel = likeGroup({{list.tel, kAnywhere}, {list.fax, kAnywhere}}, strTel, Enclosed::No);
        const std::string condition = bothGroups(name, tel, Join::Parenthesised);
        if (condition.empty()) return;
        sql.append(list.select).append(" WHERE ").append(condition);
    });
    return sql;
}

}  // namespace lumo::access
