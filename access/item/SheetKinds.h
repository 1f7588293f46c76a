#pragma once
// The two kinds of sheet and the fields of each. A purchase (flag 0) points
// to a supplier and uses the stock fields, a sale (flag 1) to a customer
// and the sales fields; QUANTITY and SHEET_DATE serve both. The sheet
// reader, insert and rewrite take a kind's columns from here.
#include <string_view>

#include "access/LumoAccess.h"
#include "access/core/Fields.h"

namespace lumo::db {
class Recordset;
}

namespace lumo::access {

struct SheetKind {
    using SheetInformation = LumoAccess::SheetInformation;
    using LongField = LumoAccess::Long SheetInformation::*;

    std::string_view counterpartColumn;
    LongField counterpart;
    // The date a rewrite stores; the insert and the reader use dyDate.
    LumoAccess::Date SheetInformation::*rewriteDate;
    LongField quantity;  // QUANTITY
    std::string_view unitPriceColumn;
    LongField unitPrice;
    std::string_view amountColumn;
    LongField amount;
};

inline constexpr SheetKind kSale{"CUSTOMER_ID",     &LumoAccess::SheetInformation::lngCustomerID,
                                 &LumoAccess::SheetInformation::dySalesDate,
                                 &LumoAccess::SheetInformation::lngSalesQuantity,
                                 "SALES_UNITPRICE", &LumoAccess::SheetInformation::lngSalesUnitPrice,
                                 "SALES_AMOUNT",    &LumoAccess::SheetInformation::lngSalesAmount};

inline constexpr SheetKind kPurchase{"SUPPLIER_ID",     &LumoAccess::SheetInformation::lngSupplierID,
                                     &LumoAccess::SheetInformation::dyStockDate,
                                     &LumoAccess::SheetInformation::lngStockQuantity,
                                     "STOCK_UNITPRICE", &LumoAccess::SheetInformation::lngStockUnitPrice,
                                     "STOCK_AMOUNT",    &LumoAccess::SheetInformation::lngStockAmount};

// The reader, the insert and the rewrite take 1 as a sale and every other
// value as a purchase.
inline const SheetKind& sheetKind(LumoAccess::Integer intSheetFlag) {
    return intSheetFlag == 1 ? kSale : kPurchase;
}

// Sets the sheet columns of the current (or new) row from `sheet`: goods,
// kind, the kind's counterpart, quantity and amounts, the note, and
// SHEET_DATE from `date` (a date of 0 as `zero` says, Fields.h). The other
// kind's columns are not set.
void writeSheet(db::Recordset& rs, const LumoAccess::SheetInformation& sheet, LumoAccess::Date date, ZeroDate zero);

}  // namespace lumo::access
