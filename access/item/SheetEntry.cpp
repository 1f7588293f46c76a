// Entering a sheet with whatever it needs that does not exist yet: the
// counterpart (a supplier for a purchase, a customer for a sale) and the
// goods row. Each row is added by its own routine in its own transaction,
// so a later failure leaves earlier rows committed; the entry then removes
// exactly the rows it added itself, and only while no sheet refers to them.
#include <string>
#include <string_view>

#include "access/core/Fields.h"
#include "access/core/Transaction.h"
#include "access/item/RowWrites.h"
#include "access/item/SheetKinds.h"
#include "access/item/clsIidAccess.h"
#include "platform/ErrorReport.h"
#include "schema/ToDoRule.h"
#include "engine/Recordset.h"

namespace lumo::access {

using namespace LumoAccess;

namespace {

constexpr std::string_view kEntryCode = " CLS-iida1004";  // the leading space is part of the code


}  // namespace

// ------------------------------------------------------------ row inserts

bool IidAccess::InsertGoodsRecord(GoodsInformation& GoodsInfo, const String&) {
    return insertRow(kGoodsRows, cnnDatabase.get(), GoodsInfo);
}

bool IidAccess::InsertSupplierRecord(SupplierInformation& SupplierInfo, const String&) {
    return insertRow(kSupplierRows, cnnDatabase.get(), SupplierInfo);
}

bool IidAccess::InsertCustomerRecord(CustomerInformation& CustomerInfo, const String&) {
    return insertRow(kCustomerRows, cnnDatabase.get(), CustomerInfo);
}

// The kind's counterpart and amounts are written, the other kind's columns
// are left unset; so is SHEET_DATE when dyDate is 0.
bool IidAccess::InsertSheetRecord(SheetInformation& SheetInfo) {
    db::Connection& cnn = cnnDatabase.get();
    db::Recordset sheets;
    sheets.Open("T_SHEET", cnn, db::adOpenDynamic, db::adLockOptimistic, db::adCmdTable);
    db::Recordset todo;
    todo.Open("T_TODOLIST", cnn, db::adOpenDynamic, db::adLockPessimistic, db::adCmdTable);
    Long key = 0;
    if (begunThenCommitted("CLS-iids1027", cnn, [&] {
            sheets.AddNew();
            writeSheet(sheets, SheetInfo, SheetInfo.dyDate, ZeroDate::Unset);
            sheets.Update();
            key = longOf(sheets, rowKey("T_SHEET", "ID"));
            // The whole note stands for the new sheet in the ToDo list; later
            // changes to the note are recorded entry by entry (UpdateNote).
            if (schema::longEnoughForToDo(SheetInfo.strNote)) {
                todo.AddNew();
                todo.Fields("CHK_FLAG") = db::Variant(true);
                todo.Fields("SHEET_ID") = db::Variant(key);
                todo.Fields("NOTE") = textOrNull(SheetInfo.strNote);
                todo.Update();
            }
        }))
        return true;
    SheetInfo.lngSheetID = key;
    return false;
}

// ----------------------------------------------------------------- deletes

bool IidAccess::DeleteSheetInformation(Long lngSheetID, String*) noexcept {
    return passedOn("CLS-iida1028", [&] { return DeleteSheetRecord(lngSheetID); });
}

bool IidAccess::DeleteSheetRecord(Long lngSheetID) {
    db::Connection& cnn = cnnDatabase.get();
    return transacted("CLS-iida1028", cnn, [&] {
        cnn.Execute("DELETE FROM T_SHEET WHERE ID = " + std::to_string(lngSheetID), db::adExecuteNoRecords);
    });
}

bool IidAccess::DeleteGoodsRecord(Long lngGoodsID, const String&) {
    return deleteUnusedRow(kGoodsRows, cnnDatabase.get(), lngGoodsID);
}

bool IidAccess::DeleteSupplierRecord(Long lngSupplierID, const String&) {
    return deleteUnusedRow(kSupplierRows, cnnDatabase.get(), lngSupplierID);
}

bool IidAccess::DeleteCustomerRecord(Long lngCustomerID, const String&) {
    return deleteUnusedRow(kCustomerRows, cnnDatabase.get(), lngCustomerID);
}

// ------------------------------------------------------------- the entry

// A failed entry gives back exactly what it changed: the rows it added are
// removed (a row the caller named is never touched, and the sheet row is
// never left behind, since its insert rolls it back), and every key field
// it filled holds its value on entry again, so that the same records can be
// entered again. A row whose removal failed keeps its key in the records,
// so that the next try uses it instead of adding another.
bool IidAccess::SetGoodsInformation(GoodsInformation& GoodsInfo, SupplierInformation& SupplierInfo,
                                    CustomerInformation& CustomerInfo, SheetInformation& SheetInfo, bool blnChoice,
                                    String*) noexcept {
    const String reserved;
    const Long goodsOnEntry = GoodsInfo.lngGoodsID;
    const SheetInformation sheetOnEntry = SheetInfo;
    Long& counterpartID = blnChoice ? SupplierInfo.lngSupplierID : CustomerInfo.lngCustomerID;
    const Long counterpartOnEntry = counterpartID;
    bool counterpartAdded = false;
    bool goodsAdded = false;
    bool failed = false;

    const bool raised = reported(kEntryCode, [&] {
        if (counterpartID == 0) {
            failed = blnChoice ? InsertSupplierRecord(SupplierInfo, reserved)
                               : InsertCustomerRecord(CustomerInfo, reserved);
            if (failed) return;
            counterpartAdded = true;
        }
        if (SheetInfo.lngGoodsID == 0) {
            failed = InsertGoodsRecord(GoodsInfo, reserved);
            if (failed) return;
            goodsAdded = true;
        }
        SheetInfo.lngGoodsID = GoodsInfo.lngGoodsID;
        SheetInfo.lngCustomerID = CustomerInfo.lngCustomerID;
        SheetInfo.lngSupplierID = SupplierInfo.lngSupplierID;
        failed = InsertSheetRecord(SheetInfo);
    });
    if (!raised && !failed) return false;

    // A removal reports its own failures; one whose count step fails is
    // reported here. Either way the next removal still runs. A row counts
    // as removed when nothing was reported.
    const auto removedBy = [&](auto remove) {
        bool flagged = false;
        const bool raisedHere = reported(kEntryCode, [&] { flagged = remove(); });
        return !raisedHere && !flagged;
    };
    const bool counterpartRemoved = counterpartAdded && removedBy([&] {
        return blnChoice ? DeleteSupplierRecord(counterpartID, reserved) : DeleteCustomerRecord(counterpartID, reserved);
    });
    const bool goodsRemoved = goodsAdded && removedBy([&] { return DeleteGoodsRecord(GoodsInfo.lngGoodsID, reserved); });

    if (counterpartRemoved) counterpartID = counterpartOnEntry;
    if (goodsRemoved) GoodsInfo.lngGoodsID = goodsOnEntry;
    SheetInfo.lngSheetID = sheetOnEntry.lngSheetID;
    SheetInfo.lngCustomerID = sheetOnEntry.lngCustomerID;
    SheetInfo.lngSupplierID = sheetOnEntry.lngSupplierID;
    SheetInfo.lngGoodsID = goodsAdded && !goodsRemoved ? GoodsInfo.lngGoodsID : sheetOnEntry.lngGoodsID;
    return true;
}

}  // namespace lumo::access
