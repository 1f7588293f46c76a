// Changing and removing an entered sheet. A sheet shares its goods and
// counterpart rows with other sheets, so removing a sheet removes them only
// when no other sheet refers to them. Every routine commits its own rows:
// a failure part-way leaves what the earlier routines wrote.
#include <string>

#include "access/core/Fields.h"
#include "access/core/Transaction.h"
#include "access/item/RowWrites.h"
#include "access/item/SheetKinds.h"
#include "access/item/clsIidAccess.h"
#include "platform/Error.h"
#include "platform/ErrorReport.h"
#include "engine/Recordset.h"

namespace lumo::access {

using namespace LumoAccess;

// ---------------------------------------------------------- row rewrites

bool IidAccess::UpdateGoodsRecord(Long lngGoodsID, GoodsInformation& GoodsInfo, const String&) {
    return updateRow(kGoodsRows, cnnDatabase.get(), lngGoodsID, GoodsInfo);
}

bool IidAccess::UpdateSupplierRecord(Long lngSupplierID, SupplierInformation& SupplierInfo, const String&) {
    return updateRow(kSupplierRows, cnnDatabase.get(), lngSupplierID, SupplierInfo);
}

bool IidAccess::UpdateCustomerRecord(Long lngCustomerID, CustomerInformation& CustomerInfo, const String&) {
    return updateRow(kCustomerRows, cnnDatabase.get(), lngCustomerID, CustomerInfo);
}

// ------------------------------------------------------------- the sheet

// The note and its ToDo lines are recorded first and stay even when the
// rewrite of the row then fails. The kind's counterpart, date and amounts
// are written; the other kind's columns keep what they hold. A sheet that
// does not exist is reported before anything is written: its note would
// otherwise give ToDo lines of no sheet.
bool IidAccess::UpdateSheetInformation(Long lngSheetID, SheetInformation& SheetInfo, String*) noexcept {
    return passedOn("CLS-iida1036", [&] { return UpdateSheetRecord(lngSheetID, SheetInfo); });
}

bool IidAccess::UpdateSheetRecord(Long lngSheetID, SheetInformation& SheetInfo) {
    db::Connection& cnn = cnnDatabase.get();
    db::Recordset rs;
    rs.Open("SELECT * FROM T_SHEET WHERE ID = " + std::to_string(lngSheetID), cnn, db::adOpenDynamic,
            db::adLockOptimistic, db::adCmdText);
    Long key = 0;
    if (transacted(
            "CLS-iida1036", cnn,
            [&] {
                if (rs.Bof() || rs.Eof())
                    throw Error("シート " + std::to_string(lngSheetID) + " は登録されていません。", ReportKind::NotFound);
                String reserved;
                UpdateNote(lngSheetID, SheetInfo.strNote, &reserved);
            },
            [&] {
                writeSheet(rs, SheetInfo, SheetInfo.*sheetKind(SheetInfo.intSheetFlag).rewriteDate,
                           ZeroDate::Null);
                rs.Update();
                key = longOf(rs, rowKey("T_SHEET", "ID"));
            }))
        return true;
    SheetInfo.lngSheetID = key;
    return false;
}

// The counterpart is chosen by the flag (any value but 0 is a sale), the
// goods row by SheetInfo.lngGoodsID; an ID of 0 adds the row. Nothing is
// undone after a failure.
bool IidAccess::UpGoodsInformation(GoodsInformation& GoodsInfo, SupplierInformation& SupplierInfo,
                                   CustomerInformation& CustomerInfo, SheetInformation& SheetInfo, String*) noexcept {
    bool failed = false;
    const bool raised = reported("CLS-iida1014", [&] {
        String reserved;
        if (SheetInfo.intSheetFlag != 0)
            failed = CustomerInfo.lngCustomerID != 0
                         ? UpdateCustomerRecord(CustomerInfo.lngCustomerID, CustomerInfo, reserved)
                         : InsertCustomerRecord(CustomerInfo, reserved);
        else
            failed = SupplierInfo.lngSupplierID != 0
                         ? UpdateSupplierRecord(SupplierInfo.lngSupplierID, SupplierInfo, reserved)
                         : InsertSupplierRecord(SupplierInfo, reserved);
        if (failed) return;
        failed = SheetInfo.lngGoodsID != 0 ? UpdateGoodsRecord(GoodsInfo.lngGoodsID, GoodsInfo, reserved)
                                           : InsertGoodsRecord(GoodsInfo, reserved);
        if (failed) return;
        SheetInfo.lngGoodsID = GoodsInfo.lngGoodsID;
        SheetInfo.lngCustomerID = CustomerInfo.lngCustomerID;
        SheetInfo.lngSupplierID = SupplierInfo.lngSupplierID;
        failed = UpdateSheetRecord(SheetInfo.lngSheetID, SheetInfo);
    });
    return raised || failed;
}

// The sheet goes first, so the counts that follow no longer include it. A
// sheet that could not be removed keeps its goods and counterpart. The
// removals of those two report their own failures and are not retried.
bool IidAccess::DelGoodsInformation(Long lngSheetID, Long lngGoodsID, Long lngSupplierID, Long lngCustomerID,
                                    String*) noexcept {
    bool failed = false;
    const bool raised = reported("CLS-iida1018", [&] {
        String reserved;
        failed = DeleteSheetRecord(lngSheetID);
        if (failed) return;
        DeleteGoodsRecord(lngGoodsID, reserved);
        if (lngSupplierID != 0)
            DeleteSupplierRecord(lngSupplierID, reserved);
        else
            DeleteCustomerRecord(lngCustomerID, reserved);
    });
    return raised || failed;
}

}  // namespace lumo::access
