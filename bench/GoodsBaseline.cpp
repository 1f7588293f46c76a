// The goods file as one query: each sheet with its goods, the goods'
// group caption and the sheet's supplier (purchase, SHEET_ID 0) or
// customer (sale, any other SHEET_ID).
#include <string_view>

#include "bench/BaselineExport.h"
#include "export/engine/clsExportSource.h"

namespace lumo::bench {
namespace {

// The purchase value for a purchase, the sale value for a sale.
std::string byKind(std::string_view purchase, std::string_view sale) {
    std::string sql = "CASE WHEN s.SHEET_ID = 0 THEN ";
    sql.append(purchase).append(" ELSE ").append(sale).append(" END");
    return sql;
}

BaselineQuery makeGoodsBaseline() {
    BaselineQuery q;
    q.header = exporter::goodsHeader();
    q.columns = {
        {"s.SHEET_ID", Cell::SheetKind},
        {"g.ILABEL", Cell::Text},
        {"s.SHEET_DATE", Cell::ShortDate},
        {"i.MAKER", Cell::Text},
        {"i.ITEM_ALIAS", Cell::Text},
        {"i.ITEM_NAME", Cell::Text},
        {"i.ITEM_FORM", Cell::Text},
        {"i.ITEM_SPEC", Cell::Text},
        {"s.QUANTITY", Cell::Number},
        {byKind("s.STOCK_UNITPRICE", "s.SALES_UNITPRICE"), Cell::Number},
        {byKind("s.STOCK_AMOUNT", "s.SALES_AMOUNT"), Cell::Number},
        // A goods row without a memo caption shows the default one; a
        // sheet whose goods row is missing shows none.
        {"CASE WHEN i.ID IS NULL THEN '' ELSE ifnull(i.MEMO_LABEL1, 'メモ１：') END", Cell::Text},
        {"i.MEMO1", Cell::Text},
    };
    constexpr std::pair<std::string_view, std::string_view> kParty[] = {
        {"sp.ALIAS", "cu.ALIAS"},
        {"sp.SUPPLIER", "cu.CUSTOMER"},
        {"sp.SLAST_ALIAS", "cu.CLAST_ALIAS"},
        {"sp.SLAST_NAME", "cu.CLAST_NAME"},
        {"sp.SFIRST_ALIAS", "cu.CFIRST_ALIAS"},
        {"sp.SFIRST_NAME", "cu.CFIRST_NAME"},
        {"sp.S_ZIP", "cu.C_ZIP"},
        {"sp.S_ADDRESS1", "cu.C_ADDRESS1"},
        {"sp.S_ADDRESS2", "cu.C_ADDRESS2"},
        {"sp.S_TEL", "cu.C_TEL"},
        {"sp.S_FAX", "cu.C_FAX"},
        {"sp.S_MAIL", "cu.C_MAIL"},
    };
    for (const auto& [supplier, customer] : kParty) q.columns.push_back({byKind(supplier, customer), Cell::Text});
    q.from =
        "FROM T_SHEET AS s"
        " LEFT JOIN T_ITEMS AS i ON i.ID = s.GOODS_ID"
        " LEFT JOIN T_iGROUPING AS g ON g.ITYPE_ID = i.ITYPE_ID"
        " LEFT JOIN T_iSUPPLIER AS sp ON s.SHEET_ID = 0 AND sp.SUPPLIER_ID = s.SUPPLIER_ID"
        " LEFT JOIN T_iCUSTOMER AS cu ON s.SHEET_ID <> 0 AND cu.CUSTOMER_ID = s.CUSTOMER_ID"
        " ORDER BY s.ID";
    return q;
}

}  // namespace

const BaselineQuery& goodsBaseline() {
    static const BaselineQuery query = makeGoodsBaseline();
    return query;
}

}  // namespace lumo::bench
