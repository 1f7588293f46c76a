#include "access/core/Groups.h"

#include "access/core/Database.h"
#include "access/core/Fields.h"
#include "platform/ErrorReport.h"
#include "access/core/Rows.h"
#include "access/core/SqlText.h"
#include "access/core/Transaction.h"
#include "platform/Error.h"
#include "engine/Recordset.h"

namespace lumo::access {
namespace {

using db::adCmdText;
using db::adLockOptimistic;
using db::adLockPessimistic;
using db::adOpenDynamic;

}  // namespace

std::string groupingLabel(const GroupTable& groups) {
    std::string sql;
    reported(groups.codes.groupingLabel, [&] { sql = concat({"SELECT * FROM ", groups.table}); });
    return sql;
}

LumoAccess::Long groupID(const GroupTable& groups, const Database& db) {
    LumoAccess::Long id = 0;
    reported(groups.codes.groupID, [&] {
        db::Recordset rs;
        rs.Open(concat({"SELECT * FROM ", groups.table, " WHERE DEFAULT = -1"}), db.get(), adOpenDynamic,
                adLockPessimistic, adCmdText);
        if (!rs.Bof() && !rs.Eof()) id = longOf(rs, rowKey(groups.table, groups.key));
    });
    return id;
}

bool groupLabel(const GroupTable& groups, const Database& db, LumoAccess::LabelTable& labels) {
    return reported(groups.codes.groupLabel, [&] {
        db::Recordset rs;
        rs.Open(concat({"SELECT * FROM ", groups.table}), db.get(), adOpenDynamic, adLockOptimistic, adCmdText);
        readRows(rs, labels, [&](std::array<std::string, 2>& row) {
            // A group without a caption is listed with an empty one, as
            // every reader reads a Null text (Fields.h).
            row[0] = std::to_string(longOf(rs, rowKey(groups.table, groups.key)));
            row[1] = textOf(rs, groups.caption);
        });
    });
}

LumoAccess::Long groupIDEx(const GroupTable& groups, const Database& db, const std::string& caption) {
    LumoAccess::Long id = 0;
    reported(groups.codes.groupIDEx, [&] {
        const std::string_view label = caption.empty() ? kNoGroupCaption : std::string_view(caption);
        db::Recordset rs;
        rs.Open(concat({"SELECT * FROM ", groups.table, " WHERE ", groups.caption, " = ", sqlString(label)}),
                db.get(), adOpenDynamic, adLockPessimistic, adCmdText);
        if (rs.Bof() || rs.Eof()) {
            rs.AddNew();
            rs.Fields(groups.caption) = db::Variant(label);
            rs.Update();
        }
        id = longOf(rs, rowKey(groups.table, groups.key));
    });
    return id;
}

bool deleteGroup(const GroupTable& groups, const Database& db, LumoAccess::Long id) {
    bool failed = false;
    return reported(groups.codes.deleteGroup, [&] {
        db::Connection& cnn = db.get();
        LumoAccess::Long defaultGroup = 0;
        {
            db::Recordset rs;
            rs.Open(concat({"SELECT ", groups.key, " FROM ", groups.table, " WHERE DEFAULT <> 0"}), cnn,
                    adOpenDynamic, adLockPessimistic, adCmdText);
            if (rs.Bof() || rs.Eof())
                throw Error("既定のグループがありません。メンバーの移し先がないため、グループを削除できません。",
                            ReportKind::Constraint);
            defaultGroup = longOf(rs, rowKey(groups.table, groups.key));
        }
        // Deleting the default group would leave nowhere for the members of
        // later deletions to go.
        if (id == defaultGroup) throw Error("既定のグループは削除できません。", ReportKind::Constraint);
        const std::string d = std::to_string(defaultGroup);
        const std::string g = std::to_string(id);
        const std::string member = concat({groups.memberTable, ".", groups.memberColumn});
        // Both or neither: members moved out of a group that stays would
        // look like a deletion that never happened.
        failed = transacted(groups.codes.deleteGroup, cnn, [&] {
            cnn.Execute(concat({"UPDATE ", groups.memberTable, " SET ", member, " = ", d, " WHERE ", member, " = ", g}), -1);
            cnn.Execute(concat({"DELETE FROM ", groups.table, " WHERE ", groups.key, " = ", g}), -1);
        });
    }) || failed;
}

}  // namespace lumo::access
