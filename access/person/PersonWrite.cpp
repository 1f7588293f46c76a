// Storing a new person with its phones, mails, greetings and children, and
// deleting a person.
//
// Every row is committed in a transaction of its own. There is no
// transaction around a whole insert, so an insert that fails after its
// person row was committed deletes that row again (the compensation); the
// database file's delete trigger takes the rows that belong to it along.
#include <optional>
#include <string>

#include "access/core/Fields.h"
#include "access/core/Transaction.h"
#include "access/person/PersonColumns.h"
#include "access/person/clsPidAccess.h"
#include "platform/Error.h"
#include "platform/ErrorReport.h"
#include "schema/ToDoRule.h"
#include "engine/Recordset.h"

namespace lumo::access {

using namespace LumoAccess;

namespace {

// The short form writes these columns of the full form, in this order; the
// address is the office one only for strDefaut "OFFICE" exactly (case
// matters), and DEFAULT keeps an empty strDefaut as a zero-length text.
struct ShortColumn {
    std::string_view name;
    EmptyText empty = EmptyText::Null;
};
constexpr ShortColumn kShortHead[] = {{"TYPE_ID"},  {"LASTALIAS"}, {"LASTNAME"}, {"FIRSTALIAS"},
                                      {"FIRSTNAME"}, {"ALIAS"},     {"COMPANY"}};
constexpr ShortColumn kShortHome[] = {{"HOME_ZIP"}, {"HOME_ADDRESS1"}, {"HOME_ADDRESS2"}};
constexpr ShortColumn kShortOffice[] = {{"OFFICE_ZIP"}, {"OFFICE_ADDRESS1"}, {"OFFICE_ADDRESS2"}};
constexpr ShortColumn kShortTail[] = {{"DEFAULT", EmptyText::Kept}, {"NOTE"}};

const Column<PersonInformation>& personColumn(std::string_view name) {
    for (const Column<PersonInformation>& c : person::kPersonColumns)
        if (c.name == name) return c;
    throw Error("T_PERSON に列 " + std::string(name) + " はありません。");
}

void writeShortForm(db::Recordset& rs, const PersonInformation& p) {
    const auto write = [&](std::span<const ShortColumn> columns) {
        for (const ShortColumn& c : columns) writeColumn(rs, personColumn(c.name), p, c.empty, ZeroDate::Unset);
    };
    write(kShortHead);
    write(p.strDefaut == "OFFICE" ? std::span<const ShortColumn>(kShortOffice) : kShortHome);
    write(kShortTail);
}

// One dependent row in a transaction of its own; the new key is written
// back into the element.
template <class R>
bool insertRow(const person::PersonRows<R>& t, R& row, const Database& database) {
    db::Connection& cnn = database.get();
    db::Recordset rs;
    rs.Open(t.table, cnn, db::adOpenDynamic, db::adLockOptimistic, db::adCmdTable);
    return transacted(t.insertCode, cnn, [&] {
        rs.AddNew();
        rs.Fields("PERSON_ID") = db::Variant(row.lngPersonID);
        writeColumns(rs, t.columns, row, t.insertText, ZeroDate::Unset);
        rs.Update();
        row.*t.id = longOf(rs, rowKey(t.table, t.key));
    });
}

// Stores the elements of `rows` one by one for `person` (skipping those
// the table's insert does not store) until one fails; true then.
template <class R, class Insert>
bool insertEach(const person::PersonRows<R>& t, std::vector<R>& rows, Long person, Insert&& insert) {
    for (R& row : rows) {
        if (t.required && (row.*t.required).empty()) continue;
        row.lngPersonID = person;
        if (insert(row)) return true;
    }
    return false;
}

std::string deletePerson(Long lngPersonID) {
    return "DELETE FROM T_PERSON WHERE PERSON_ID = " + std::to_string(lngPersonID);
}

}  // namespace

// ------------------------------------------------------------ public operations

bool PidAccess::SetPersonalInformationEZ(PersonInformation& PersonInfo, std::vector<PhoneInformation>& PhoneInfo,
                                         std::vector<MailInformation>& MailInfo, String*) noexcept {
    return InsertPerson("CLS-pida1008", PersonInfo, true, [&](Long id) {
        return insertEach(person::kPhoneRows, PhoneInfo, id, [&](auto& r) { return InsertPhoneRecord(r, {}); }) ||
               insertEach(person::kMailRows, MailInfo, id, [&](auto& r) { return InsertMailRecord(r, {}); });
    });
}

bool PidAccess::SetPersonalInformation(PersonInformation& PersonInfo, std::vector<PhoneInformation>& PhoneInfo,
                                       std::vector<MailInformation>& MailInfo,
                                       std::vector<GreetingInformation>& GreetingInfo,
                                       std::vector<ChildrenInformation>& ChildrenInfo, String*) noexcept {
    return InsertPerson("CLS-pida1009", PersonInfo, false, [&](Long id) {
        return insertEach(person::kPhoneRows, PhoneInfo, id, [&](auto& r) { return InsertPhoneRecord(r, {}); }) ||
               insertEach(person::kMailRows, MailInfo, id, [&](auto& r) { return InsertMailRecord(r, {}); }) ||
               insertEach(person::kGreetingRows, GreetingInfo, id,
                          [&](auto& r) { return InsertGreetingRecord(r, {}); }) ||
               insertEach(person::kChildRows, ChildrenInfo, id, [&](auto& r) { return InsertChildRecord(r, {}); });
    });
}

// The compensation deletes only a row this call stored, by the ID this
// call read back: the caller's lngPersonID may name another person (one
// read earlier and passed again) when the person insert itself failed. It
// also runs when the failure is this operation's own (a routine's opening
// steps), so that a client that retries never finds the person twice.
bool PidAccess::InsertPerson(std::string_view locationCode, PersonInformation& PersonInfo, bool blnShort,
                             const std::function<bool(Long)>& dependents) {
    std::optional<Long> stored;
    bool flag = false;
    const bool failed = reported(locationCode, [&] {
        flag = InsertPersonRecord(PersonInfo, blnShort, {});
        if (flag) return;
        stored = PersonInfo.lngPersonID;
        lngCurrentPersonID = 0;
        flag = dependents(*stored);
    });
    if (!failed && !flag) return false;
    if (stored) {
        DeletePersonRecord(*stored, {});
        lngCurrentPersonID = 0;
    } else if (flag) {
        lngCurrentPersonID = 0;
    }
    return true;
}

bool PidAccess::DelPersonalInformation(Long& lngPersonID, String*) noexcept {
    const std::string sql = deletePerson(lngPersonID);
    db::Connection* cnn = nullptr;
    if (reported("CLS-pida1022", [&] { cnn = &cnnDatabase.get(); })) return true;
    return transacted("CLS-pida1022", *cnn, [&] { cnn->Execute(sql, db::adExecuteNoRecords); });
}

// ------------------------------------------------------------ private routines

bool PidAccess::InsertPersonRecord(PersonInformation& PersonInfo, bool blnShort, const String&) {
    db::Connection& cnn = cnnDatabase.get();
    db::Recordset rsPerson;
    db::Recordset rsTodo;
    rsPerson.Open("T_PERSON", cnn, db::adOpenDynamic, db::adLockOptimistic, db::adCmdTable);
    rsTodo.Open("T_TODOLIST", cnn, db::adOpenDynamic, db::adLockPessimistic, db::adCmdTable);
    return begunThenCommitted("CLS-pida1010", cnn, [&] {
        rsPerson.AddNew();
        if (blnShort) writeShortForm(rsPerson, PersonInfo);
        else
            writeColumns<PersonInformation>(rsPerson, person::kPersonColumns, PersonInfo, EmptyText::Null,
                                                    ZeroDate::Unset);
        rsPerson.Update();
        PersonInfo.lngPersonID = longOf(rsPerson, rowKey(person::kPersonTable, "PERSON_ID"));
        if (schema::longEnoughForToDo(PersonInfo.strNote)) {
            rsTodo.AddNew();
            rsTodo.Fields("CHK_FLAG") = db::Variant(true);
            rsTodo.Fields("PERSON_ID") = db::Variant(PersonInfo.lngPersonID);
            rsTodo.Fields("NOTE") = db::Variant(PersonInfo.strNote);
            rsTodo.Update();
        }
    });
}

bool PidAccess::InsertPhoneRecord(PhoneInformation& PhoneInfo, const String&) {
    return insertRow(person::kPhoneRows, PhoneInfo, cnnDatabase);
}

bool PidAccess::InsertMailRecord(MailInformation& MailInfo, const String&) {
    return insertRow(person::kMailRows, MailInfo, cnnDatabase);
}

bool PidAccess::InsertGreetingRecord(GreetingInformation& GreetingInfo, const String&) {
    return insertRow(person::kGreetingRows, GreetingInfo, cnnDatabase);
}

bool PidAccess::InsertChildRecord(ChildrenInformation& ChildInfo, const String&) {
    return insertRow(person::kChildRows, ChildInfo, cnnDatabase);
}

bool PidAccess::DeletePersonRecord(Long lngPersonID, const String&) {
    const std::string sql = deletePerson(lngPersonID);
    return transacted("CLS-pida1023", cnnDatabase.get(),
                      [&] { cnnDatabase.get().Execute(sql, db::adExecuteNoRecords); });
}

}  // namespace lumo::access
