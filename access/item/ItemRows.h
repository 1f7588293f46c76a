#pragma once
// Goods, suppliers and customers: the table, its key, where each field is
// stored (Columns.h, in the order the columns are set and read), the
// columns a lookup by name reads, and the statements that rewrite and
// remove a row. The three differ only in these names, so their readers
// (clsIidAccess.cpp) and their insert, rewrite and delete routines
// (RowWrites.h) are written once over them.
//
// The tables are constant data; any thread may read them.
#include <span>
#include <string_view>

#include "access/LumoAccess.h"
#include "access/core/Columns.h"

namespace lumo::access {

template <class Record>
struct ItemTable {
    std::string_view table;  // opened whole to add a row
    std::string_view keyColumn;
    LumoAccess::Long Record::*key;
    std::span<const Column<Record>> columns;
    std::string_view nameColumn;                  // what a lookup by name compares
    std::span<const std::string_view> lookedUp;  // what it reads, besides the key
    // Each is followed by the decimal key.
    std::string_view selectByKey;  // the row to rewrite
    std::string_view countSheets;  // the sheets that refer to the row
    std::string_view deleteByKey;
    struct Codes {
        std::string_view insert, update, remove;
    } codes;
};

using LumoAccess::CustomerInformation;
using LumoAccess::GoodsInformation;
using LumoAccess::SupplierInformation;

// A goods row without a memo caption shows this one; the note is written,
// never read.
inline constexpr Column<GoodsInformation> kGoodsColumns[] = {
    {"ITYPE_ID", &GoodsInformation::lngTypeID},
    {"MAKER", &GoodsInformation::strMakerName},
    {"ITEM_ALIAS", &GoodsInformation::strGoodsAlias},
    {"ITEM_NAME", &GoodsInformation::strGoodsName},
    {"ITEM_FORM", &GoodsInformation::strGoodsType},
    {"ITEM_SPEC", &GoodsInformation::strGoodsSpec},
    {"MEMO_LABEL1", &GoodsInformation::strLabel, "メモ１："},
    {"MEMO1", &GoodsInformation::strMemo},
    {"PHOTO_PATH", &GoodsInformation::strPhotoPath},
    {"NOTE", &GoodsInformation::strNote, {}, Use::Written},
};
inline constexpr std::string_view kGoodsLookedUp[] = {"ITYPE_ID", "ITEM_ALIAS", "ITEM_NAME", "ITEM_FORM",
                                                      "ITEM_SPEC"};

inline constexpr ItemTable<GoodsInformation> kGoodsRows{
    "T_ITEMS",
    "ID",
    &GoodsInformation::lngGoodsID,
    kGoodsColumns,
    "ITEM_NAME",
    kGoodsLookedUp,
    "SELECT * FROM T_ITEMS WHERE ID = ",
    "SELECT COUNT(*) FROM T_SHEET WHERE GOODS_ID = ",
    "DELETE FROM T_ITEMS WHERE ID = ",
    {"CLS-iida1005", "CLS-iida1015", "CLS-iida1019"}};

// Suppliers and customers are two tables of one shape: company reading and
// name, the contact and address columns, the link number, and free text
// that is stored and rewritten but never read.
inline constexpr Column<SupplierInformation> kSupplierColumns[] = {
    {"ALIAS", &SupplierInformation::strSupplierAlias},
    {"SUPPLIER", &SupplierInformation::strSupplierName},
    {"SLAST_ALIAS", &SupplierInformation::strSupplierLastAlias},
    {"SLAST_NAME", &SupplierInformation::strSupplierLastName},
    {"SFIRST_ALIAS", &SupplierInformation::strSupplierFirstAlias},
    {"SFIRST_NAME", &SupplierInformation::strSupplierFirstName},
    {"S_ZIP", &SupplierInformation::strSupplierZip},
    {"S_ADDRESS1", &SupplierInformation::strSupplierAddress1},
    {"S_ADDRESS2", &SupplierInformation::strSupplierAddress2},
    {"S_TEL", &SupplierInformation::strSupplierPhone1},
    {"S_FAX", &SupplierInformation::strSupplierPhone2},
    {"S_MAIL", &SupplierInformation::strSupplierMailAddress},
    {"S_LINK_ID", &SupplierInformation::lngSupplierLinkID},
    {"S_DEFAULT", &SupplierInformation::strSupplierDefault, {}, Use::Written},
};
inline constexpr std::string_view kSupplierLookedUp[] = {"ALIAS", "SUPPLIER", "S_LINK_ID"};

inline constexpr ItemTable<SupplierInformation> kSupplierRows{
    "T_iSUPPLIER",
    "SUPPLIER_ID",
    &SupplierInformation::lngSupplierID,
    kSupplierColumns,
    "SUPPLIER",
    kSupplierLookedUp,
    "SELECT * FROM T_iSUPPLIER WHERE SUPPLIER_ID = ",
    "SELECT COUNT(*) FROM T_SHEET WHERE SUPPLIER_ID = ",
    "DELETE FROM T_iSUPPLIER WHERE SUPPLIER_ID = ",
    {"CLS-iida1006", "CLS-iida1016", "CLS-iida1020"}};

inline constexpr Column<CustomerInformation> kCustomerColumns[] = {
    {"ALIAS", &CustomerInformation::strCustomerAlias},
    {"CUSTOMER", &CustomerInformation::strCustomerName},
    {"CLAST_ALIAS", &CustomerInformation::strCustomerLastAlias},
    {"CLAST_NAME", &CustomerInformation::strCustomerLastName},
    {"CFIRST_ALIAS", &CustomerInformation::strCustomerFirstAlias},
    {"CFIRST_NAME", &CustomerInformation::strCustomerFirstName},
    {"C_ZIP", &CustomerInformation::strCustomerZip},
    {"C_ADDRESS1", &CustomerInformation::strCustomerAddress1},
    {"C_ADDRESS2", &CustomerInformation::strCustomerAddress2},
    {"C_TEL", &CustomerInformation::strCustomerPhone1},
    {"C_FAX", &CustomerInformation::strCustomerPhone2},
    {"C_MAIL", &CustomerInformation::strCustomerMailAddress},
    {"C_LINK_ID", &CustomerInformation::lngCustomerLinkID},
    {"C_DEFAULT", &CustomerInformation::strCustomerDefault, {}, Use::Written},
};
inline constexpr std::string_view kCustomerLookedUp[] = {"ALIAS", "CUSTOMER", "C_LINK_ID"};

inline constexpr ItemTable<CustomerInformation> kCustomerRows{
    "T_iCUSTOMER",
    "CUSTOMER_ID",
    &CustomerInformation::lngCustomerID,
    kCustomerColumns,
    "CUSTOMER",
    kCustomerLookedUp,
    "SELECT * FROM T_iCUSTOMER WHERE CUSTOMER_ID =",  // no space: the statement has always read so
    "SELECT COUNT(*) FROM T_SHEET WHERE CUSTOMER_ID = ",
    "DELETE FROM T_iCUSTOMER WHERE CUSTOMER_ID = ",
    {"CLS-iida1007", "CLS-iida1017", "CLS-iida1021"}};

}  // namespace lumo::access
