#include "access/item/clsIidAccess.h"

#include "access/core/Columns.h"
#include "access/core/Fields.h"
#include "access/core/Groups.h"
#include "access/core/Notes.h"
#include "platform/ErrorReport.h"
#include "access/core/SqlText.h"
#include "access/item/ItemRows.h"
#include "access/item/SheetKinds.h"
#include "engine/Recordset.h"

namespace lumo::access {

using namespace LumoAccess;

namespace {

constexpr FrameCodes kFrame{"CLS-iida1000", "CLS-iida1001", "CLS-iida1002"};

constexpr std::string_view kSheetTable = "T_SHEET";

// Name lookups lock what they find (a sheet entry may follow); reads by
// key are optimistic.
void openForLookup(db::Recordset& rs, const std::string& sql, db::Connection& cnn) {
    rs.Open(sql, cnn, db::adOpenDynamic, db::adLockPessimistic, db::adCmdText);
}

void openByKey(db::Recordset& rs, const std::string& sql, db::Connection& cnn) {
    rs.Open(sql, cnn, db::adOpenDynamic, db::adLockOptimistic, db::adCmdText);
}

bool isEmpty(db::Recordset& rs) { return rs.Bof() || rs.Eof(); }

std::string selectWhere(std::string_view table, std::string_view column, std::string_view value) {
    std::string sql;
    sql.reserve(24 + table.size() + column.size() + value.size());
    sql.append("SELECT * FROM ").append(table).append(" WHERE ").append(column).append(" = ").append(value);
    return sql;
}

}  // namespace

IidAccess::IidAccess() : AccessObject(kFrame) {}

// ------------------------------------------------------------------ groups

void IidAccess::GetGroupLabel(LabelTable& aryLabel, String*) noexcept { groupLabel(kItemGroups, cnnDatabase, aryLabel); }

String IidAccess::GetGroupingLabel() noexcept { return groupingLabel(kItemGroups); }

Long IidAccess::GetGroupID() noexcept { return groupID(kItemGroups, cnnDatabase); }

void IidAccess::DeleteGroup(Long lngGroupID, String*) noexcept { deleteGroup(kItemGroups, cnnDatabase, lngGroupID); }

Long IidAccess::GetGroupIDEx(const String& strLabel) noexcept { return groupIDEx(kItemGroups, cnnDatabase, strLabel); }

// ------------------------------------------------------------ notes and ToDo

void IidAccess::UpdateNote(Long lngSheetID, const String& strNote, String*) noexcept {
    updateNote(kSheetNotes, cnnDatabase, lngSheetID, strNote);
}

void IidAccess::DeleteToDo() noexcept { deleteToDo(kSheetNotes, cnnDatabase); }

// ----------------------------------------------------------- name lookups

// Kept for the published interface: changes nothing.
bool IidAccess::GetGoodsInformation(Long, GoodsInformation&, SupplierInformation&, CustomerInformation&, String*) noexcept {
    return false;
}

// A name without a row gives the key 0, leaves the rest as it was and
// returns false.
template <class Record>
bool IidAccess::lookUp(const ItemTable<Record>& table, const String& name, Record& record) {
    db::Recordset rs;
    openForLookup(rs, selectWhere(table.table, table.nameColumn, sqlString(name)), cnnDatabase.get());
    if (isEmpty(rs)) {
        record.*table.key = 0;
        return false;
    }
    record.*table.key = longOf(rs, rowKey(table.table, table.keyColumn));
    readNamedColumns(rs, table.table, table.columns, table.lookedUp, record);
    return true;
}

// A goods name without a row gives the kind 0 as well.
bool IidAccess::ReadItemInformation(const String& strItemName, GoodsInformation& ItemInfo, String*) noexcept {
    return reported("CLS-iida1011", [&] {
        if (!lookUp(kGoodsRows, strItemName, ItemInfo)) ItemInfo.lngTypeID = 0;
    });
}

bool IidAccess::ReadSupplierInformation(const String& strSupplier, SupplierInformation& SupplierInfo, String*) noexcept {
    return reported("CLS-iida1012", [&] { lookUp(kSupplierRows, strSupplier, SupplierInfo); });
}

bool IidAccess::ReadCustomerInformation(const String& strCustomer, CustomerInformation& CustomerInfo, String*) noexcept {
    return reported("CLS-iida1013", [&] { lookUp(kCustomerRows, strCustomer, CustomerInfo); });
}

// ------------------------------------------------------------ reads by key

void IidAccess::GetItemInformation(Long lngGoodsID, GoodsInformation& GoodsInfo, String*) noexcept {
    reported("CLS-iida1030", [&] {
        db::Recordset rs;
        openByKey(rs, selectWhere("T_ITEMS", "ID", std::to_string(lngGoodsID)), cnnDatabase.get());
        if (isEmpty(rs)) return;
        GoodsInfo.*kGoodsRows.key = longOf(rs, rowKey(kGoodsRows.table, kGoodsRows.keyColumn));
        readColumns(rs, kGoodsRows.table, kGoodsRows.columns, GoodsInfo);
    });
}

// No test for an empty result: an identifier without a row fails at its
// first column and leaves the record as it was.
template <class Record>
void IidAccess::readCounterpartById(const ItemTable<Record>& table, Long id, Record& record) {
    db::Recordset rs;
    openByKey(rs, selectWhere(table.table, table.keyColumn, std::to_string(id)), cnnDatabase.get());
    record.*table.key = longOf(rs, rowKey(table.table, table.keyColumn));
    readColumns(rs, table.table, table.columns, record);
}

void IidAccess::GetPersonInformation(Long lngPersonID, CustomerInformation& CustomerInfo,
                                     SupplierInformation& SupplierInfo, bool blnFlag) noexcept {
    reported("CLS-iida1031", [&] {
        if (blnFlag)
            readCounterpartById(kSupplierRows, lngPersonID, SupplierInfo);
        else
            readCounterpartById(kCustomerRows, lngPersonID, CustomerInfo);
    });
}

void IidAccess::GetSheetInformation(Long lngSheetID, SheetInformation& SheetInfo, String*) noexcept {
    reported("CLS-iida1035", [&] {
        db::Recordset rs;
        openByKey(rs, selectWhere("T_SHEET", "ID", std::to_string(lngSheetID)), cnnDatabase.get());
        if (isEmpty(rs)) return;
        SheetInfo.lngSheetID = longOf(rs, rowKey(kSheetTable, "ID"));
        // A sheet without a kind reads as a purchase, one without goods,
        // counterpart, figures or date as 0 of each (Columns.h). The kind,
        // first in both kinds' tables, says which columns follow.
        SheetInfo.intSheetFlag = integerOf(rs, {kSheetTable, "SHEET_ID"});
        readColumns(rs, kSheetTable, sheetKind(SheetInfo.intSheetFlag).columns.subspan(1), SheetInfo);
    });
}

// -------------------------------------------------------------- overview

// Built from the three readers, which report their own failures; the
// overview is filled from whatever they left in the records.
GoodsInfoOverview IidAccess::GetGoodsInformationOverView(Long lngSheetID, String*) noexcept {
    GoodsInfoOverview overview;
    reported("CLS-iida1010", [&] {
        SheetInformation sheet;
        GoodsInformation goods;
        CustomerInformation customer;
        SupplierInformation supplier;
        String reserved;
        GetSheetInformation(lngSheetID, sheet, &reserved);
        GetItemInformation(sheet.lngGoodsID, goods, &reserved);
        const bool purchase = sheet.intSheetFlag == 0;
        if (purchase)
            GetPersonInformation(sheet.lngSupplierID, customer, supplier, true);
        else
            GetPersonInformation(sheet.lngCustomerID, customer, supplier, false);

        overview.strGoodsName = goods.strGoodsName;
        overview.strGoodsType = goods.strGoodsType;
        overview.strGoodsSpec = goods.strGoodsSpec;
        overview.dyDate = sheet.dyDate;
        overview.strNote = sheet.strNote;
        // The quantity is narrowed first: when it does not fit, nothing of
        // the sheet's kind or counterpart is filled.
        auto fillKind = [&](Long quantity, Long unitPrice, Long amount, const String& name, const String& lastName,
                            const String& firstName, const String& phone1, const String& phone2,
                            const String& mail) {
            overview.intQuantity = narrowToInteger(quantity);
            overview.dblUnitPrice = unitPrice;
            overview.dblAmount = amount;
            overview.strName = name;
            overview.strTanto = lastName + firstName;
            overview.strPhone1 = phone1;
            overview.strPhone2 = phone2;
            overview.strMail = mail;
            overview.blnFlag = purchase;
        };
        if (purchase)
            fillKind(sheet.lngStockQuantity, sheet.lngStockUnitPrice, sheet.lngStockAmount, supplier.strSupplierName,
                     supplier.strSupplierLastName, supplier.strSupplierFirstName, supplier.strSupplierPhone1,
                     supplier.strSupplierPhone2, supplier.strSupplierMailAddress);
        else
            fillKind(sheet.lngSalesQuantity, sheet.lngSalesUnitPrice, sheet.lngSalesAmount, customer.strCustomerName,
                     customer.strCustomerLastName, customer.strCustomerFirstName, customer.strCustomerPhone1,
                     customer.strCustomerPhone2, customer.strCustomerMailAddress);
    });
    return overview;
}

}  // namespace lumo::access
