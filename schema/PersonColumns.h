#pragma once
// T_PERSON: the one list of its columns and the fields of
// PersonInformation they hold (RecordColumns.h), in the order the writers
// assign them. PERSON_ID is the key and not a field of the table.
#include <string_view>

#include "access/LumoAccess.h"
#include "schema/RecordColumns.h"

namespace lumo::schema {

inline constexpr std::string_view kPersonTable = "T_PERSON";

inline constexpr Column<LumoAccess::PersonInformation> kPersonColumns[] = {
    {"TYPE_ID", &LumoAccess::PersonInformation::lngTypeID},
    {"LASTALIAS", &LumoAccess::PersonInformation::strLastAlias},
    {"LASTNAME", &LumoAccess::PersonInformation::strLastName},
    {"FIRSTALIAS", &LumoAccess::PersonInformation::strFirstAlias},
    {"FIRSTNAME", &LumoAccess::PersonInformation::strFirstName},
    {"TITLE", &LumoAccess::PersonInformation::strTitle},
    {"NICKNAME", &LumoAccess::PersonInformation::strNickName},
    {"LABEL1", &LumoAccess::PersonInformation::strLabel1},
    {"MEMO1", &LumoAccess::PersonInformation::strMemo1},
    {"LABEL2", &LumoAccess::PersonInformation::strLabel2},
    {"MEMO2", &LumoAccess::PersonInformation::strMemo2},
    {"HOME_ZIP", &LumoAccess::PersonInformation::strHomeZip},
    {"HOME_ADDRESS1", &LumoAccess::PersonInformation::strHomeAddress1},
    {"HOME_ADDRESS2", &LumoAccess::PersonInformation::strHomeAddress2},
    {"HOME_URL", &LumoAccess::PersonInformation::strHomeURL},
    {"LABEL3", &LumoAccess::PersonInformation::strLabel3},
    {"MEMO3", &LumoAccess::PersonInformation::strMemo3},
    {"LABEL4", &LumoAccess::PersonInformation::strLabel4},
    {"MEMO4", &LumoAccess::PersonInformation::strMemo4},
    {"ALIAS", &LumoAccess::PersonInformation::strAlias},
    {"COMPANY", &LumoAccess::PersonInformation::strCompany},
    {"CO_POSITION", &LumoAccess::PersonInformation::strPosition},
    {"CO_SECTION", &LumoAccess::PersonInformation::strSection},
    {"OFFICE_ZIP", &LumoAccess::PersonInformation::strOfficeZip},
    {"OFFICE_ADDRESS1", &LumoAccess::PersonInformation::strOfficeAddress1},
    {"OFFICE_ADDRESS2", &LumoAccess::PersonInformation::strOfficeAddress2},
    {"OFFICE_URL", &LumoAccess::PersonInformation::strOfficeURL},
    {"LABEL5", &LumoAccess::PersonInformation::strLabel5},
    {"MEMO5", &LumoAccess::PersonInformation::strMemo5},
    {"LABEL6", &LumoAccess::PersonInformation::strLabel6},
    {"MEMO6", &LumoAccess::PersonInformation::strMemo6},
    {"BIRTHDAY", &LumoAccess::PersonInformation::dyBirthday},
    {"AGE", &LumoAccess::PersonInformation::intAge},
    {"CONSTELLATION", &LumoAccess::PersonInformation::strConstellation},
    {"BLOOD", &LumoAccess::PersonInformation::strBlood},
    {"ANNIVERSARY", &LumoAccess::PersonInformation::dyAnniversary},
    {"MATEALIAS", &LumoAccess::PersonInformation::strMateAlias},
    {"MATE", &LumoAccess::PersonInformation::strMate},
    {"HOBBY", &LumoAccess::PersonInformation::strHobby},
    {"NOTE", &LumoAccess::PersonInformation::strNote},
    {"DEFAULT", &LumoAccess::PersonInformation::strDefaut},
};

}  // namespace lumo::schema
