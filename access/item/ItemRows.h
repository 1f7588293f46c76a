#pragma once
// Goods, suppliers and customers as the sheet entry and maintenance write
// them: the table, its key, the columns written (in the order they are
// set) and the statements that rewrite and remove a row. The three differ
// only in these names, so their insert, rewrite and delete routines are
// written once (RowWrites.h). The counterparts' columns come from the
// same table that their readers use.
#include <array>
#include <cstddef>
#include <string_view>

#include "access/LumoAccess.h"
#include "access/item/Counterparts.h"

namespace lumo::access {

template <class Record>
struct WrittenColumn {
    std::string_view name;
    LumoAccess::Long Record::*number = nullptr;  // a Long column, written as it is
    LumoAccess::String Record::*text = nullptr;  // a text column, "" written as Null
};

template <class Record, std::size_t N>
struct RowTable {
    std::string_view table;  // opened whole to add a row
    std::string_view keyColumn;
    LumoAccess::Long Record::*key;
    std::array<WrittenColumn<Record>, N> columns;
    // Each is followed by the decimal key.
    std::string_view selectByKey;  // the row to rewrite
    std::string_view countSheets;  // the sheets that refer to the row
    std::string_view deleteByKey;
    struct Codes {
        std::string_view insert, update, remove;
    } codes;
};

using LumoAccess::GoodsInformation;

inline constexpr RowTable<GoodsInformation, 10> kGoodsRows{
    "T_ITEMS",
    "ID",
    &GoodsInformation::lngGoodsID,
    {{{"ITYPE_ID", &GoodsInformation::lngTypeID},
      {"MAKER", nullptr, &GoodsInformation::strMakerName},
      {"ITEM_ALIAS", nullptr, &GoodsInformation::strGoodsAlias},
      {"ITEM_NAME", nullptr, &GoodsInformation::strGoodsName},
      {"ITEM_FORM", nullptr, &GoodsInformation::strGoodsType},
      {"ITEM_SPEC", nullptr, &GoodsInformation::strGoodsSpec},
      {"MEMO_LABEL1", nullptr, &GoodsInformation::strLabel},
      {"MEMO1", nullptr, &GoodsInformation::strMemo},
      {"PHOTO_PATH", nullptr, &GoodsInformation::strPhotoPath},
      {"NOTE", nullptr, &GoodsInformation::strNote}}},
    "SELECT * FROM T_ITEMS WHERE ID = ",
    "SELECT COUNT(*) FROM T_SHEET WHERE GOODS_ID = ",
    "DELETE FROM T_ITEMS WHERE ID = ",
    {"CLS-iida1005", "CLS-iida1015", "CLS-iida1019"}};

// Company reading and name, the contact and address columns, the link
// number, the free text.
template <class Record>
constexpr std::array<WrittenColumn<Record>, 14> counterpartColumns(const CounterpartTable<Record>& t) {
    std::array<WrittenColumn<Record>, 14> columns{};
    columns[0] = {t.aliasColumn, nullptr, t.alias};
    columns[1] = {t.nameColumn, nullptr, t.name};
    for (std::size_t i = 0; i < t.details.size(); ++i) columns[2 + i] = {t.details[i].first, nullptr, t.details[i].second};
    columns[12] = {t.linkColumn, t.linkId, nullptr};
    columns[13] = {t.defaultColumn, nullptr, t.defaultText};
    return columns;
}

inline constexpr RowTable<SupplierInformation, 14> kSupplierRows{
    kSuppliers.table,
    kSuppliers.keyColumn,
    kSuppliers.id,
    counterpartColumns(kSuppliers),
    "SELECT * FROM T_iSUPPLIER WHERE SUPPLIER_ID = ",
    "SELECT COUNT(*) FROM T_SHEET WHERE SUPPLIER_ID = ",
    "DELETE FROM T_iSUPPLIER WHERE SUPPLIER_ID = ",
    {"CLS-iida1006", "CLS-iida1016", "CLS-iida1020"}};

inline constexpr RowTable<CustomerInformation, 14> kCustomerRows{
    kCustomers.table,
    kCustomers.keyColumn,
    kCustomers.id,
    counterpartColumns(kCustomers),
    "SELECT * FROM T_iCUSTOMER WHERE CUSTOMER_ID =",  // no space: the statement has always read so
    "SELECT COUNT(*) FROM T_SHEET WHERE CUSTOMER_ID = ",
    "DELETE FROM T_iCUSTOMER WHERE CUSTOMER_ID = ",
    {"CLS-iida1007", "CLS-iida1017", "CLS-iida1021"}};

}  // namespace lumo::access
