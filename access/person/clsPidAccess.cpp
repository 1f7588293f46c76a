#include "access/person/clsPidAccess.h"

#include "access/core/Fields.h"
#include "access/core/Groups.h"
#include "access/core/Notes.h"
#include "platform/ErrorReport.h"
#include "access/core/Rows.h"
#include "engine/Recordset.h"
#include "access/person/PersonColumns.h"

namespace lumo::access {

using namespace LumoAccess;

namespace {

constexpr FrameCodes kFrame{"CLS-pida1000", "CLS-pida1001", "CLS-pida1007"};

// Reading for display: dynamic cursor, lock and command type left to the engine.
void openForDisplay(db::Recordset& rs, const std::string& sql, db::Connection& cnn) {
    rs.Open(sql, cnn, db::adOpenDynamic, -1, db::adCmdUnspecified);
}

std::string byPerson(std::string_view select, Long id) { return std::string(select) + std::to_string(id); }

}  // namespace

PidAccess::PidAccess() : AccessObject(kFrame) {
    reported(kFrame.creation, [this] { lngCurrentPersonID = 0; });
}

// ------------------------------------------------------------------ groups

String PidAccess::GetGroupingLabel() noexcept { return groupingLabel(kPersonGroups); }

Long PidAccess::GetGroupID() noexcept { return groupID(kPersonGroups, cnnDatabase); }

void PidAccess::GetGroupLabel(LabelTable& aryLabel) noexcept { groupLabel(kPersonGroups, cnnDatabase, aryLabel); }

void PidAccess::DeleteGroup(Long lngID, String*) noexcept { deleteGroup(kPersonGroups, cnnDatabase, lngID); }

Long PidAccess::GetGroupIDEx(const String& strLabel) noexcept { return groupIDEx(kPersonGroups, cnnDatabase, strLabel); }

// ------------------------------------------------------------ notes and ToDo

Variant PidAccess::UpdateNote(Long lngPersonID, const String& strNote, String*) noexcept {
    updateNote(kPersonNotes, cnnDatabase, lngPersonID, strNote);
    return {};
}

void PidAccess::DeleteToDo() noexcept { deleteToDo(kPersonNotes, cnnDatabase); }

// ------------------------------------------------------- opening routines

bool PidAccess::OpenPersonRecordset(Long lngPersonID, db::Recordset& rs, const String&) {
    return reported("CLS-pida1004", [&] {
        openForDisplay(rs, byPerson("SELECT * FROM T_PERSON WHERE T_PERSON.PERSON_ID = ", lngPersonID),
                       cnnDatabase.get());
    });
}

bool PidAccess::OpenPhoneRecordset(Long lngPersonID, db::Recordset& rs, const String&) {
    return reported("CLS-pida1005", [&] {
        openForDisplay(rs,
                       byPerson("SELECT T_PHONE.PHONE_ID, T_PHONE.TYPE, T_PHONE.LABEL, T_PHONE.TEL_NUMBER, "
                                "T_PHONE.RANK FROM T_PHONE WHERE PERSON_ID = ",
                                lngPersonID) +
                           " ORDER BY T_PHONE.RANK, T_PHONE.PHONE_ID",
                       cnnDatabase.get());
    });
}

bool PidAccess::OpenMailRecordset(Long lngPersonID, db::Recordset& rs, const String&) {
    return reported("CLS-pida1006", [&] {
        openForDisplay(rs,
                       byPerson("SELECT T_EMAIL.MAIL_ID, T_EMAIL.TYPE, T_EMAIL.LABEL, T_EMAIL.MAIL_ADDRESS, "
                                "T_EMAIL.RANK FROM T_EMAIL WHERE PERSON_ID = ",
                                lngPersonID) +
                           " ORDER BY T_EMAIL.RANK DESC",
                       cnnDatabase.get());
    });
}

// ------------------------------------------------------------------ readers

PersonInformation PidAccess::GetPersonalInformation(Long lngPersonID, String*) noexcept {
    PersonInformation result;
    reported("CLS-pida1037", [&] {
        db::Recordset rs;
        OpenPersonRecordset(lngPersonID, rs, {});
        PersonInformation p;
        if (!rs.Bof() && !rs.Eof()) {
            p.lngPersonID = lngPersonID;
            readColumns<PersonInformation>(rs, person::kPersonTable, person::kPersonColumns, p);
        }
        result = std::move(p);
    });
    return result;
}

bool PidAccess::GetPhoneNumberInfo(Long lngPersonID, std::vector<PhoneInformation>& paPhone, String*) noexcept {
    return reported("CLS-pida1039", [&] {
        db::Recordset rs;
        OpenPhoneRecordset(lngPersonID, rs, {});
        person::readPersonRows(rs, person::kPhoneRows, lngPersonID, paPhone);
    });
}

bool PidAccess::GetMailAddressInfo(Long lngPersonID, std::vector<MailInformation>& paMail, String*) noexcept {
    return reported("CLS-pida1038", [&] {
        db::Recordset rs;
        OpenMailRecordset(lngPersonID, rs, {});
        person::readPersonRows(rs, person::kMailRows, lngPersonID, paMail);
    });
}

bool PidAccess::GetChildInformation(Long lngPersonID, std::vector<ChildrenInformation>& pachild, String*) noexcept {
    return reported("CLS-pida1040", [&] {
        db::Recordset rs;
        openForDisplay(rs, person::rowsOfPerson(person::kChildRows, lngPersonID), cnnDatabase.get());
        person::readPersonRows(rs, person::kChildRows, lngPersonID, pachild);
    });
}

bool PidAccess::GetGreetingInformation(Long lngPersonID, std::vector<GreetingInformation>& paGreeting, String*) noexcept {
    return reported("CLS-pida1041", [&] {
        db::Recordset rs;
        openForDisplay(rs, person::rowsOfPerson(person::kGreetingRows, lngPersonID), cnnDatabase.get());
        person::readPersonRows(rs, person::kGreetingRows, lngPersonID, paGreeting);
    });
}

}  // namespace lumo::access
