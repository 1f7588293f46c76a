#pragma once
// The two kinds of sheet and the fields of each. A purchase (flag 0) points
// to a supplier and uses the stock fields, a sale (flag 1) to a customer
// and the sales fields; QUANTITY and SHEET_DATE serve both. The sheet
// reader, insert and rewrite take a kind's columns from here.
//
// Constant data; any thread may read it.
#include <span>
#include <string_view>

#include "access/LumoAccess.h"
#include "access/core/Columns.h"
#include "access/core/Fields.h"

namespace lumo::db {
class Recordset;
}

namespace lumo::access {

using LumoAccess::SheetInformation;

// Where a sheet's fields are stored, per kind, in the order the reader
// reads them. SHEET_DATE holds dyDate as the insert writes it and the
// reader reads it; a rewrite stores the kind's own date there instead
// (writeSheet).
inline constexpr Column<SheetInformation> kPurchaseColumns[] = {
    {"SHEET_ID", &SheetInformation::intSheetFlag},
    {"GOODS_ID", &SheetInformation::lngGoodsID},
    {"SHEET_DATE", &SheetInformation::dyDate},
    {"SUPPLIER_ID", &SheetInformation::lngSupplierID},
    {"QUANTITY", &SheetInformation::lngStockQuantity},
    {"STOCK_UNITPRICE", &SheetInformation::lngStockUnitPrice},
    {"STOCK_AMOUNT", &SheetInformation::lngStockAmount},
    {"NOTE", &SheetInformation::strNote},
};

inline constexpr Column<SheetInformation> kSaleColumns[] = {
    {"SHEET_ID", &SheetInformation::intSheetFlag},
    {"GOODS_ID", &SheetInformation::lngGoodsID},
    {"SHEET_DATE", &SheetInformation::dyDate},
    {"CUSTOMER_ID", &SheetInformation::lngCustomerID},
    {"QUANTITY", &SheetInformation::lngSalesQuantity},
    {"SALES_UNITPRICE", &SheetInformation::lngSalesUnitPrice},
    {"SALES_AMOUNT", &SheetInformation::lngSalesAmount},
    {"NOTE", &SheetInformation::strNote},
};

// The reader reads the kind before it knows which table applies.
static_assert(kPurchaseColumns[0].name == "SHEET_ID" && kSaleColumns[0].name == "SHEET_ID");

struct SheetKind {
    using LongField = LumoAccess::Long SheetInformation::*;

    std::span<const Column<SheetInformation>> columns;
    // The date a rewrite stores; the insert and the reader use dyDate.
    LumoAccess::Date SheetInformation::*rewriteDate;
    // The kind's own fields, for the overview, which shows either kind's
    // figures the same way.
    LongField counterpart;
    LongField quantity;
    LongField unitPrice;
    LongField amount;
};

inline constexpr SheetKind kSale{kSaleColumns,
                                 &SheetInformation::dySalesDate,
                                 &SheetInformation::lngCustomerID,
                                 &SheetInformation::lngSalesQuantity,
                                 &SheetInformation::lngSalesUnitPrice,
                                 &SheetInformation::lngSalesAmount};

inline constexpr SheetKind kPurchase{kPurchaseColumns,
                                     &SheetInformation::dyStockDate,
                                     &SheetInformation::lngSupplierID,
                                     &SheetInformation::lngStockQuantity,
                                     &SheetInformation::lngStockUnitPrice,
                                     &SheetInformation::lngStockAmount};

// The reader, the insert and the rewrite take 1 as a sale and every other
// value as a purchase.
inline const SheetKind& sheetKind(LumoAccess::Integer intSheetFlag) {
    return intSheetFlag == 1 ? kSale : kPurchase;
}

// Sets the kind's columns of the current (or new) row from `sheet`, with
// SHEET_DATE from `date` (a date of 0 as `zero` says, Fields.h) and an
// empty note as Null. The other kind's columns are not set.
void writeSheet(db::Recordset& rs, const LumoAccess::SheetInformation& sheet, LumoAccess::Date date, ZeroDate zero);

}  // namespace lumo::access
