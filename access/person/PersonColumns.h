#pragma once
// Where each field of the person records is stored: one table of (column,
// field) per record type (Columns.h). The readers, the inserts and the
// update read and write through these tables, so a column and its field are
// paired once.
//
// The tables are constant data; any thread may read them.
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "access/LumoAccess.h"
#include "access/core/Columns.h"
#include "access/core/Fields.h"
#include "access/core/Rows.h"
#include "engine/Recordset.h"
#include "schema/PersonColumns.h"

namespace lumo::access::person {

using LumoAccess::Boolean;
using LumoAccess::ChildrenInformation;
using LumoAccess::Date;
using LumoAccess::GreetingInformation;
using LumoAccess::Integer;
using LumoAccess::Long;
using LumoAccess::MailInformation;
using LumoAccess::PersonInformation;
using LumoAccess::PhoneInformation;
using LumoAccess::String;

using schema::kPersonColumns;  // T_PERSON
using schema::kPersonTable;

// A table of rows that belong to a person, and its routines' codes.
template <class R>
struct PersonRows {
    std::string_view table;
    std::string_view key;                // AutoNumber key, read back by the insert
    Long R::*id;                         // the field that receives it
    std::span<const Column<R>> columns;  // written after PERSON_ID, in this order
    // The insert stores only elements where this text is not empty
    // (nullptr: every element).
    String R::*required;
    EmptyText insertText;  // the update always stores an empty text as Null
    bool updateDeletesSurplus;  // false: more stored rows than elements is a failure
    std::string_view insertCode;
    std::string_view updateCode;
};

inline constexpr Column<PhoneInformation> kPhoneColumns[] = {
    {"LABEL", &PhoneInformation::strLabel},
    {"TEL_NUMBER", &PhoneInformation::strPhoneNumber},
    {"RANK", &PhoneInformation::intRank},
    {"TYPE", &PhoneInformation::strType},
};
inline constexpr PersonRows<PhoneInformation> kPhoneRows{
    "T_PHONE", "PHONE_ID", &PhoneInformation::lngPhoneID, kPhoneColumns, &PhoneInformation::strPhoneNumber,
    EmptyText::Kept, true, "CLS-piad1011", "CLS-pida1017"};

inline constexpr Column<MailInformation> kMailColumns[] = {
    {"LABEL", &MailInformation::strLabel},
    {"MAIL_ADDRESS", &MailInformation::strMailAddress},
    {"RANK", &MailInformation::intRank},
    {"TYPE", &MailInformation::strType},
};
inline constexpr PersonRows<MailInformation> kMailRows{
    "T_EMAIL", "MAIL_ID", &MailInformation::lngMailID, kMailColumns, &MailInformation::strMailAddress,
    EmptyText::Kept, true, "CLS-pida1012", "CLS-pida1018"};

inline constexpr Column<GreetingInformation> kGreetingColumns[] = {
    {"TARGET", &GreetingInformation::lngYear},
    {"NEWYEAR_SEND", &GreetingInformation::blnNewYear_Send},
    {"NEWYEAR_RECEIVE", &GreetingInformation::blnNewYear_Receive},
    {"SUMMER_SEND", &GreetingInformation::blnSummer_Send},
    {"SUMMER_RECEIVE", &GreetingInformation::blnSummer_Receive},
    {"MIDYEAR_SEND", &GreetingInformation::blnMidYear_Send},
    {"MIDYEAR_RECEIVE", &GreetingInformation::blnMidYear_Receive},
    {"YEAREND_SEND", &GreetingInformation::blnYearEnd_Send},
    {"YEAREND_RECEIVE", &GreetingInformation::blnYearEnd_Receive},
    {"MEMO", &GreetingInformation::strMemo},
};
inline constexpr PersonRows<GreetingInformation> kGreetingRows{
    "T_GREETING", "GREETING_ID", &GreetingInformation::lngGreetingID, kGreetingColumns, nullptr,
    EmptyText::Null, false, "CLS-pida1013", "CLS-pida1019"};

inline constexpr Column<ChildrenInformation> kChildColumns[] = {
    {"CHILDREN", &ChildrenInformation::strName},
    {"ALIAS", &ChildrenInformation::strAlias},
};
inline constexpr PersonRows<ChildrenInformation> kChildRows{
    "T_CHILDREN", "CHILD_ID", &ChildrenInformation::lngChildID, kChildColumns, &ChildrenInformation::strName,
    EmptyText::Kept, true, "CLS-pida1020", "CLS-pida1021"};

// The statement of every row of `person` in `t`, in the engine's order.
template <class R>
std::string rowsOfPerson(const PersonRows<R>& t, Long person) {
    return "SELECT * FROM " + std::string(t.table) + " WHERE PERSON_ID = " + std::to_string(person);
}

// Reads the recordset's rows into `rows` the way the array readers do
// (Rows.h); PERSON_ID is not read, every row gets `person`.
template <class R>
void readPersonRows(db::Recordset& rs, const PersonRows<R>& t, Long person, std::vector<R>& rows) {
    readRows(rs, rows, [&](R& row) {
        row.*t.id = longOf(rs, rowKey(t.table, t.key));
        row.lngPersonID = person;
        readColumns(rs, t.table, t.columns, row);
    });
}

}  // namespace lumo::access::person
