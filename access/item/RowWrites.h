#pragma once
// Adding, rewriting and removing one goods, supplier or customer row,
// written once over the names of ItemRows.h. Each runs one transaction of
// its own on the object's connection. Its opening steps (the recordset, and
// for the add and the rewrite the begin of the transaction) run before its
// handler: their failures reach the caller. Later failures are reported
// under the routine's code, rolled back, and give true.
#include <string>
#include <string_view>

#include "access/LumoAccess.h"
#include "access/core/Fields.h"
#include "access/core/Transaction.h"
#include "access/item/ItemRows.h"
#include "engine/Recordset.h"

namespace lumo::access {

namespace rowwrites {

// Opens `source`, begins the transaction, then (under `code`) adds a row or
// takes the one found, writes the record and commits; the record's key
// field gets the row's key once it is committed.
template <class Record>
bool writeRow(const ItemTable<Record>& rows, db::Connection& cnn, const std::string& source, int options,
              std::string_view code, Record& record) {
    db::Recordset rs;
    rs.Open(source, cnn, db::adOpenDynamic, db::adLockOptimistic, options);
    LumoAccess::Long key = 0;
    if (begunThenCommitted(code, cnn, [&] {
            if (options == db::adCmdTable) rs.AddNew();
            writeColumns(rs, rows.columns, record, EmptyText::Null, ZeroDate::Unset);  // no dates
            rs.Update();
            key = longOf(rs, rowKey(rows.table, rows.keyColumn));
        }))
        return true;
    record.*rows.key = key;
    return false;
}

}  // namespace rowwrites

// Adds `record` as a new row.
template <class Record>
bool insertRow(const ItemTable<Record>& rows, db::Connection& cnn, Record& record) {
    return rowwrites::writeRow(rows, cnn, std::string(rows.table), db::adCmdTable, rows.codes.insert, record);
}

// Rewrites the row `key` from `record`. A key without a row fails at the
// first column set.
template <class Record>
bool updateRow(const ItemTable<Record>& rows, db::Connection& cnn, LumoAccess::Long key, Record& record) {
    return rowwrites::writeRow(rows, cnn, std::string(rows.selectByKey) + std::to_string(key), db::adCmdText,
                               rows.codes.update, record);
}

// Removes the row `key` unless a sheet still refers to it.
template <class Record>
bool deleteUnusedRow(const ItemTable<Record>& rows, db::Connection& cnn, LumoAccess::Long key) {
    const std::string k = std::to_string(key);
    db::Recordset count;
    count.Open(std::string(rows.countSheets) + k, cnn, db::adOpenDynamic, db::adLockOptimistic, db::adCmdText);
    if (count.Fields(0).Value().toLong() != 0) return false;
    return transacted(rows.codes.remove, cnn,
                      [&] { cnn.Execute(std::string(rows.deleteByKey) + k, db::adExecuteNoRecords); });
}

}  // namespace lumo::access
