#include "access/item/SheetKinds.h"

#include "access/core/Fields.h"
#include "engine/Recordset.h"

namespace lumo::access {

void writeSheet(db::Recordset& rs, const LumoAccess::SheetInformation& sheet, LumoAccess::Date date, ZeroDate zero) {
    const SheetKind& kind = sheetKind(sheet.intSheetFlag);
    rs.Fields("GOODS_ID") = db::Variant(sheet.lngGoodsID);
    rs.Fields("SHEET_ID") = db::Variant(sheet.intSheetFlag);
    rs.Fields(kind.counterpartColumn) = db::Variant(sheet.*kind.counterpart);
    setDate(rs, "SHEET_DATE", date, zero);
    rs.Fields("QUANTITY") = db::Variant(sheet.*kind.quantity);
    rs.Fields(kind.unitPriceColumn) = db::Variant(sheet.*kind.unitPrice);
    rs.Fields(kind.amountColumn) = db::Variant(sheet.*kind.amount);
    rs.Fields("NOTE") = textOrNull(sheet.strNote);
}

}  // namespace lumo::access
