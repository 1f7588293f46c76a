#pragma once
// Adding, rewriting and removing one goods, supplier or customer row,
// written once over the names of ItemRows.h. Each runs one transaction of
// its own on the object's connection. Its opening steps (the recordset, and
// for the add and the rewrite the begin of the transaction) run before its
// handler: their failures reach the caller. Later failures are reported
// under the routine's code, rolled back, and give true.
#include <string>

#include "access/LumoAccess.h"
#include "access/core/Fields.h"
#include "access/core/Transaction.h"
#include "access/item/ItemRows.h"
#include "platform/db/Recordset.h"

namespace lumo::access {

template <class Record, std::size_t N>
void writeColumns(const RowTable<Record, N>& rows, db::Recordset& rs, const Record& record) {
    for (const auto& column : rows.columns)
        rs.Fields(column.name) = column.number ? db::Variant(record.*column.number) : textOrNull(record.*column.text);
}

// Adds `record` as a new row; its key field gets the key the row was given
// once the row is committed.
template <class Record, std::size_t N>
bool insertRow(const RowTable<Record, N>& rows, db::Connection& cnn, Record& record) {
    db::Recordset rs;
    rs.Open(rows.table, cnn, db::adOpenDynamic, db::adLockOptimistic, db::adCmdTable);
    cnn.BeginTrans();
    LumoAccess::Long key = 0;
    if (committed(rows.codes.insert, cnn, [&] {
            rs.AddNew();
            writeColumns(rows, rs, record);
            rs.Update();
            key = longOf(rs, rows.keyColumn);
        }))
        return true;
    record.*rows.key = key;
    return false;
}

// Rewrites the row `key` from `record`. A key without a row fails at the
// first column set.
template <class Record, std::size_t N>
bool updateRow(const RowTable<Record, N>& rows, db::Connection& cnn, LumoAccess::Long key, Record& record) {
    db::Recordset rs;
    rs.Open(std::string(rows.selectByKey) + std::to_string(key), cnn, db::adOpenDynamic, db::adLockOptimistic,
            db::adCmdText);
    cnn.BeginTrans();
    LumoAccess::Long stored = 0;
    if (committed(rows.codes.update, cnn, [&] {
            writeColumns(rows, rs, record);
            rs.Update();
            stored = longOf(rs, rows.keyColumn);
        }))
        return true;
    record.*rows.key = stored;
    return false;
}

// Removes the row `key` unless a sheet still refers to it.
template <class Record, std::size_t N>
bool deleteUnusedRow(const RowTable<Record, N>& rows, db::Connection& cnn, LumoAccess::Long key) {
    const std::string k = std::to_string(key);
    db::Recordset count;
    count.Open(std::string(rows.countSheets) + k, cnn, db::adOpenDynamic, db::adLockOptimistic, db::adCmdText);
    if (count.Fields(0).Value().toLong() != 0) return false;
    return transacted(rows.codes.remove, cnn,
                      [&] { cnn.Execute(std::string(rows.deleteByKey) + k, db::adExecuteNoRecords); });
}

}  // namespace lumo::access
