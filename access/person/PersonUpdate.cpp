// Rewriting a stored person and bringing the person's mails, phones,
// children and greetings in line with the caller's arrays.
//
// Each kind of row is changed in a transaction of its own, committed before
// the next kind starts, and the note (with its ToDo rows) is stored before
// any of them: an update that fails part way keeps what was committed.
// Stored rows are matched to elements by position, in the order the reads
// give the person's rows: phones by rank and mails by rank, highest first
// (the person's indexes, schema/person.sql), children and greetings in
// key order. Read, changed and written back, each row keeps its key.
#include <cstddef>
#include <string>

#include "access/core/Fields.h"
#include "access/core/Transaction.h"
#include "access/person/PersonColumns.h"
#include "access/person/clsPidAccess.h"
#include "platform/Error.h"
#include "platform/ErrorReport.h"
#include "engine/Recordset.h"

namespace lumo::access {

using namespace LumoAccess;

namespace {

template <class R>
void writeRow(db::Recordset& rs, const person::PersonRows<R>& t, const R& row) {
    rs.Fields("PERSON_ID") = db::Variant(row.lngPersonID);
    writeColumns(rs, t.columns, row, EmptyText::Null, ZeroDate::Null);
}

// Overwrites the stored rows of `person` with the elements in order, adds
// a row for each element left over, and deletes the surplus rows from the
// first on (tables that do not delete surplus rows fail on the first one
// without an element). One transaction; true after a reported failure.
template <class R>
bool updateRows(const person::PersonRows<R>& t, std::vector<R>& rows, Long person, const Database& database) {
    db::Connection& cnn = database.get();
    db::Recordset rs;
    rs.Open(person::rowsOfPerson(t, person), cnn, db::adOpenDynamic, db::adLockOptimistic, db::adCmdUnspecified);
    return transacted(t.updateCode, cnn, [&] {
        const std::size_t m = rows.size();
        if (t.updateDeletesSurplus && static_cast<std::size_t>(rs.RecordCount()) > m) {
            rs.MoveFirst();
            while (static_cast<std::size_t>(rs.RecordCount()) > m) {
                rs.Delete();
                rs.MoveNext();
            }
            rs.MoveFirst();
        } else if (!rs.Bof()) {
            rs.MoveFirst();
        }
        std::size_t j = 0;
        for (; !rs.Eof(); ++j) {
            if (j >= m) throw Error("インデックスが有効範囲にありません。");
            writeRow(rs, t, rows[j]);
            rs.Update();
            rs.MoveNext();
        }
        for (; j < m; ++j) {
            rs.AddNew();
            writeRow(rs, t, rows[j]);
            rs.Update();
        }
    });
}

template <class R>
void stamp(std::vector<R>& rows, Long person) {
    for (R& row : rows) row.lngPersonID = person;
}

}  // namespace

bool PidAccess::UpPersonalInformation(PersonInformation& PersonInfo, std::vector<PhoneInformation>& PhoneInfo,
                                      std::vector<MailInformation>& MailInfo,
                                      std::vector<GreetingInformation>& GreetingInfo,
                                      std::vector<ChildrenInformation>& ChildrenInfo, String*) noexcept {
    bool flag = false;
    const bool failed = reported("CLS-pida1015", [&] {
        lngCurrentPersonID = PersonInfo.lngPersonID;
        flag = UpdatePersonRecord(PersonInfo, {});
        // The arrays are stamped even when an earlier kind failed.
        stamp(MailInfo, lngCurrentPersonID);
        if (!flag) flag = UpdateMailRecords(MailInfo, {});
        stamp(PhoneInfo, lngCurrentPersonID);
        if (!flag) flag = UpdatePhoneRecords(PhoneInfo, {});
        stamp(ChildrenInfo, lngCurrentPersonID);
        if (!flag) flag = UpdateChildRecords(ChildrenInfo, {});
        stamp(GreetingInfo, lngCurrentPersonID);
        if (!flag) flag = UpdateGreetingRecords(GreetingInfo, {});
    });
    return failed || flag;
}

bool PidAccess::UpdatePersonRecord(PersonInformation& PersonInfo, const String&) {
    db::Connection& cnn = cnnDatabase.get();
    db::Recordset rs;
    rs.Open("SELECT * FROM T_PERSON WHERE PERSON_ID = " + std::to_string(PersonInfo.lngPersonID), cnn,
            db::adOpenDynamic, db::adLockOptimistic, db::adCmdUnspecified);
    return transacted(
        "CLS-pida1016", cnn,
        [&] {
            // The stored row is needed before the note: a person that does not
            // exist fails here, so that no ToDo rows are written for nobody.
            if (rs.Bof() || rs.Eof())
                throw Error("人物 " + std::to_string(PersonInfo.lngPersonID) + " は登録されていません。", ReportKind::NotFound);
            String reserved;
            UpdateNote(PersonInfo.lngPersonID, PersonInfo.strNote, &reserved);
        },
        [&] {
            writeColumns<PersonInformation>(rs, person::kPersonColumns, PersonInfo, EmptyText::Null,
                                                    ZeroDate::Null);
            rs.Update();
        });
}

bool PidAccess::UpdatePhoneRecords(std::vector<PhoneInformation>& PhoneInfo, const String&) {
    return updateRows(person::kPhoneRows, PhoneInfo, lngCurrentPersonID, cnnDatabase);
}

bool PidAccess::UpdateMailRecords(std::vector<MailInformation>& MailInfo, const String&) {
    return updateRows(person::kMailRows, MailInfo, lngCurrentPersonID, cnnDatabase);
}

bool PidAccess::UpdateChildRecords(std::vector<ChildrenInformation>& ChildrenInfo, const String&) {
    return updateRows(person::kChildRows, ChildrenInfo, lngCurrentPersonID, cnnDatabase);
}

bool PidAccess::UpdateGreetingRecords(std::vector<GreetingInformation>& GreetingInfo, const String&) {
    return updateRows(person::kGreetingRows, GreetingInfo, lngCurrentPersonID, cnnDatabase);
}

}  // namespace lumo::access
