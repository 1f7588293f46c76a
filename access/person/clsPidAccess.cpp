#include "access/person/clsPidAccess.h"

#include "access/core/Fields.h"
#include "access/core/Groups.h"
#include "access/core/Notes.h"
#include "platform/ErrorReport.h"
#include "access/core/Rows.h"
#include "platform/db/Recordset.h"

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

String PidAccess::GetGroupingLabel() { return groupingLabel(kPersonGroups); }

Long PidAccess::GetGroupID() { return groupID(kPersonGroups, cnnDatabase); }

void PidAccess::GetGroupLabel(LabelTable& aryLabel) { groupLabel(kPersonGroups, cnnDatabase, aryLabel); }

void PidAccess::DeleteGroup(Long lngID, String*) { deleteGroup(kPersonGroups, cnnDatabase, lngID); }

Long PidAccess::GetGroupIDEx(const String& strLabel) { return groupIDEx(kPersonGroups, cnnDatabase, strLabel); }

// ------------------------------------------------------------ notes and ToDo

Variant PidAccess::UpdateNote(Long lngPersonID, const String& strNote, String*) {
    updateNote(kPersonNotes, cnnDatabase, lngPersonID, strNote);
    return {};
}

void PidAccess::DeleteToDo() { deleteToDo(kPersonNotes, cnnDatabase); }

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

PersonInformation PidAccess::GetPersonalInformation(Long lngPersonID, String*) {
    PersonInformation result;
    reported("CLS-pida1037", [&] {
        db::Recordset rs;
        OpenPersonRecordset(lngPersonID, rs, {});
        PersonInformation p;
        if (!rs.Bof() && !rs.Eof()) {
            p.lngPersonID = lngPersonID;
            p.lngTypeID = longOf(rs, "TYPE_ID");
            p.strLastAlias = textOf(rs, "LASTALIAS");
            p.strLastName = textOf(rs, "LASTNAME");
            p.strFirstAlias = textOf(rs, "FIRSTALIAS");
            p.strFirstName = textOf(rs, "FIRSTNAME");
            p.strTitle = textOf(rs, "TITLE");
            p.strNickName = textOf(rs, "NICKNAME");
            p.strLabel1 = textOf(rs, "LABEL1");
            p.strMemo1 = textOf(rs, "MEMO1");
            p.strLabel2 = textOf(rs, "LABEL2");
            p.strMemo2 = textOf(rs, "MEMO2");
            p.strHomeZip = textOf(rs, "HOME_ZIP");
            p.strHomeAddress1 = textOf(rs, "HOME_ADDRESS1");
            p.strHomeAddress2 = textOf(rs, "HOME_ADDRESS2");
            p.strHomeURL = textOf(rs, "HOME_URL");
            p.strLabel3 = textOf(rs, "LABEL3");
            p.strMemo3 = textOf(rs, "MEMO3");
            p.strLabel4 = textOf(rs, "LABEL4");
            p.strMemo4 = textOf(rs, "MEMO4");
            p.strAlias = textOf(rs, "ALIAS");
            p.strCompany = textOf(rs, "COMPANY");
            p.strPosition = textOf(rs, "CO_POSITION");
            p.strSection = textOf(rs, "CO_SECTION");
            p.strOfficeZip = textOf(rs, "OFFICE_ZIP");
            p.strOfficeAddress1 = textOf(rs, "OFFICE_ADDRESS1");
            p.strOfficeAddress2 = textOf(rs, "OFFICE_ADDRESS2");
            p.strOfficeURL = textOf(rs, "OFFICE_URL");
            p.strLabel5 = textOf(rs, "LABEL5");
            p.strMemo5 = textOf(rs, "MEMO5");
            p.strLabel6 = textOf(rs, "LABEL6");
            p.strMemo6 = textOf(rs, "MEMO6");
            p.dyBirthday = dateOf(rs, "BIRTHDAY");
            p.strConstellation = textOf(rs, "CONSTELLATION");
            p.intAge = integerOrZero(rs, "AGE");
            p.strBlood = textOf(rs, "BLOOD");
            p.dyAnniversary = dateOf(rs, "ANNIVERSARY");
            p.strMateAlias = textOf(rs, "MATEALIAS");
            p.strMate = textOf(rs, "MATE");
            p.strHobby = textOf(rs, "HOBBY");
            p.strDefaut = textOf(rs, "DEFAULT");
            p.strNote = textOf(rs, "NOTE");
        }
        result = std::move(p);
    });
    return result;
}

bool PidAccess::GetPhoneNumberInfo(Long lngPersonID, std::vector<PhoneInformation>& paPhone, String*) {
    return reported("CLS-pida1039", [&] {
        db::Recordset rs;
        OpenPhoneRecordset(lngPersonID, rs, {});
        readRows(rs, paPhone, [&](PhoneInformation& phone) {
            phone.lngPhoneID = longOf(rs, "PHONE_ID");
            phone.lngPersonID = lngPersonID;
            phone.strPhoneNumber = textOf(rs, "TEL_NUMBER");
            phone.strLabel = textOf(rs, "LABEL");
            phone.intRank = integerOf(rs, "RANK");
            phone.strType = textOf(rs, "TYPE");
        });
    });
}

bool PidAccess::GetMailAddressInfo(Long lngPersonID, std::vector<MailInformation>& paMail, String*) {
    return reported("CLS-pida1038", [&] {
        db::Recordset rs;
        OpenMailRecordset(lngPersonID, rs, {});
        readRows(rs, paMail, [&](MailInformation& mail) {
            mail.lngMailID = longOf(rs, "MAIL_ID");
            mail.lngPersonID = lngPersonID;
            mail.strMailAddress = textOf(rs, "MAIL_ADDRESS");
            mail.strLabel = textOf(rs, "LABEL");
            mail.intRank = integerOf(rs, "RANK");
            mail.strType = textOf(rs, "TYPE");
        });
    });
}

bool PidAccess::GetChildInformation(Long lngPersonID, std::vector<ChildrenInformation>& pachild, String*) {
    return reported("CLS-pida1040", [&] {
        db::Recordset rs;
        openForDisplay(rs, byPerson("SELECT * FROM T_CHILDREN WHERE PERSON_ID = ", lngPersonID), cnnDatabase.get());
        readRows(rs, pachild, [&](ChildrenInformation& child) {
            child.lngChildID = longOf(rs, "CHILD_ID");
            child.lngPersonID = lngPersonID;
            child.strName = textOf(rs, "CHILDREN");
            child.strAlias = textOf(rs, "ALIAS");
        });
    });
}

bool PidAccess::GetGreetingInformation(Long lngPersonID, std::vector<GreetingInformation>& paGreeting, String*) {
    return reported("CLS-pida1041", [&] {
        db::Recordset rs;
        openForDisplay(rs, byPerson("SELECT * FROM T_GREETING WHERE PERSON_ID = ", lngPersonID), cnnDatabase.get());
        readRows(rs, paGreeting, [&](GreetingInformation& g) {
            g.lngGreetingID = longOf(rs, "GREETING_ID");
            g.lngPersonID = lngPersonID;
            g.lngYear = longOf(rs, "TARGET");
            g.strMemo = textOf(rs, "MEMO");
            g.blnNewYear_Send = flagOf(rs, "NEWYEAR_SEND");
            g.blnNewYear_Receive = flagOf(rs, "NEWYEAR_RECEIVE");
            g.blnSummer_Send = flagOf(rs, "SUMMER_SEND");
            g.blnSummer_Receive = flagOf(rs, "SUMMER_RECEIVE");
            g.blnYearEnd_Send = flagOf(rs, "YEAREND_SEND");
            g.blnYearEnd_Receive = flagOf(rs, "YEAREND_RECEIVE");
            g.blnMidYear_Send = flagOf(rs, "MIDYEAR_SEND");
            g.blnMidYear_Receive = flagOf(rs, "MIDYEAR_RECEIVE");
        });
    });
}

}  // namespace lumo::access
