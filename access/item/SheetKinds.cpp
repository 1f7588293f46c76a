#include "access/item/SheetKinds.h"

#include "access/core/Columns.h"
#include "access/core/Fields.h"
#include "engine/Recordset.h"

namespace lumo::access {

void writeSheet(db::Recordset& rs, const LumoAccess::SheetInformation& sheet, LumoAccess::Date date, ZeroDate zero) {
    LumoAccess::SheetInformation stored = sheet;
    stored.dyDate = date;
    writeColumns(rs, sheetKind(sheet.intSheetFlag).columns, stored, EmptyText::Null, zero);
}

}  // namespace lumo::access
