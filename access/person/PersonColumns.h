#pragma once
// Where each field of the person records is stored: one table of (column,
// field) per record type. The readers, the inserts and the update read and
// write through these tables, so a column and its field are paired once.
//
// The tables are constant data; any thread may read them.
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

#include "access/LumoAccess.h"
#include "access/core/Fields.h"
#include "access/core/Rows.h"
#include "engine/Recordset.h"

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

template <class R>
using FieldOf = std::variant<String R::*, Long R::*, Integer R::*, Date R::*, Boolean R::*>;

template <class R>
struct Column {
    std::string_view name;
    FieldOf<R> field;
};

// How a writer stores an empty text: as Null, or as a zero-length text.
enum class EmptyText { Null, Kept };

inline constexpr std::string_view kPersonTable = "T_PERSON";

// T_PERSON in the order the writers assign it. PERSON_ID is the key and
// not a field of these tables.
inline constexpr Column<PersonInformation> kPersonColumns[] = {
    {"TYPE_ID", &PersonInformation::lngTypeID},
    {"LASTALIAS", &PersonInformation::strLastAlias},
    {"LASTNAME", &PersonInformation::strLastName},
    {"FIRSTALIAS", &PersonInformation::strFirstAlias},
    {"FIRSTNAME", &PersonInformation::strFirstName},
    {"TITLE", &PersonInformation::strTitle},
    {"NICKNAME", &PersonInformation::strNickName},
    {"LABEL1", &PersonInformation::strLabel1},
    {"MEMO1", &PersonInformation::strMemo1},
    {"LABEL2", &PersonInformation::strLabel2},
    {"MEMO2", &PersonInformation::strMemo2},
    {"HOME_ZIP", &PersonInformation::strHomeZip},
    {"HOME_ADDRESS1", &PersonInformation::strHomeAddress1},
    {"HOME_ADDRESS2", &PersonInformation::strHomeAddress2},
    {"HOME_URL", &PersonInformation::strHomeURL},
    {"LABEL3", &PersonInformation::strLabel3},
    {"MEMO3", &PersonInformation::strMemo3},
    {"LABEL4", &PersonInformation::strLabel4},
    {"MEMO4", &PersonInformation::strMemo4},
    {"ALIAS", &PersonInformation::strAlias},
    {"COMPANY", &PersonInformation::strCompany},
    {"CO_POSITION", &PersonInformation::strPosition},
    {"CO_SECTION", &PersonInformation::strSection},
    {"OFFICE_ZIP", &PersonInformation::strOfficeZip},
    {"OFFICE_ADDRESS1", &PersonInformation::strOfficeAddress1},
    {"OFFICE_ADDRESS2", &PersonInformation::strOfficeAddress2},
    {"OFFICE_URL", &PersonInformation::strOfficeURL},
    {"LABEL5", &PersonInformation::strLabel5},
    {"MEMO5", &PersonInformation::strMemo5},
    {"LABEL6", &PersonInformation::strLabel6},
    {"MEMO6", &PersonInformation::strMemo6},
    {"BIRTHDAY", &PersonInformation::dyBirthday},
    {"AGE", &PersonInformation::intAge},
    {"CONSTELLATION", &PersonInformation::strConstellation},
    {"BLOOD", &PersonInformation::strBlood},
    {"ANNIVERSARY", &PersonInformation::dyAnniversary},
    {"MATEALIAS", &PersonInformation::strMateAlias},
    {"MATE", &PersonInformation::strMate},
    {"HOBBY", &PersonInformation::strHobby},
    {"NOTE", &PersonInformation::strNote},
    {"DEFAULT", &PersonInformation::strDefaut},
};

// A table of rows that belong to a person, and its routines' codes.
template <class R>
struct RowTable {
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
inline constexpr RowTable<PhoneInformation> kPhoneRows{
    "T_PHONE", "PHONE_ID", &PhoneInformation::lngPhoneID, kPhoneColumns, &PhoneInformation::strPhoneNumber,
    EmptyText::Kept, true, "CLS-piad1011", "CLS-pida1017"};

inline constexpr Column<MailInformation> kMailColumns[] = {
    {"LABEL", &MailInformation::strLabel},
    {"MAIL_ADDRESS", &MailInformation::strMailAddress},
    {"RANK", &MailInformation::intRank},
    {"TYPE", &MailInformation::strType},
};
inline constexpr RowTable<MailInformation> kMailRows{
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
inline constexpr RowTable<GreetingInformation> kGreetingRows{
    "T_GREETING", "GREETING_ID", &GreetingInformation::lngGreetingID, kGreetingColumns, nullptr,
    EmptyText::Null, false, "CLS-pida1013", "CLS-pida1019"};

inline constexpr Column<ChildrenInformation> kChildColumns[] = {
    {"CHILDREN", &ChildrenInformation::strName},
    {"ALIAS", &ChildrenInformation::strAlias},
};
inline constexpr RowTable<ChildrenInformation> kChildRows{
    "T_CHILDREN", "CHILD_ID", &ChildrenInformation::lngChildID, kChildColumns, &ChildrenInformation::strName,
    EmptyText::Kept, true, "CLS-pida1020", "CLS-pida1021"};

// Reads the columns of the current row of `table` into `record`. None of
// them is the row's key, so each follows the Null rule of a value
// (Fields.h): a Null number reads 0.
template <class R>
void readColumns(db::Recordset& rs, std::string_view table, std::span<const Column<R>> columns, R& record) {
    for (const Column<R>& c : columns) {
        std::visit(
            [&](auto member) {
                auto& field = record.*member;
                using T = std::remove_reference_t<decltype(field)>;
                const TableColumn column{table, c.name};
                if constexpr (std::is_same_v<T, String>) field = textOf(rs, c.name);
                else if constexpr (std::is_same_v<T, Long>) field = longOf(rs, column);
                else if constexpr (std::is_same_v<T, Integer>) field = integerOf(rs, column);
                else if constexpr (std::is_same_v<T, Date>) field = dateOf(rs, column);
                else field = flagOf(rs, column);
            },
            c.field);
    }
}

// The statement of every row of `person` in `t`, in the engine's order.
template <class R>
std::string rowsOfPerson(const RowTable<R>& t, Long person) {
    return "SELECT * FROM " + std::string(t.table) + " WHERE PERSON_ID = " + std::to_string(person);
}

// Reads the recordset's rows into `rows` the way the array readers do
// (Rows.h); PERSON_ID is not read, every row gets `person`.
template <class R>
void readPersonRows(db::Recordset& rs, const RowTable<R>& t, Long person, std::vector<R>& rows) {
    readRows(rs, rows, [&](R& row) {
        row.*t.id = longOf(rs, rowKey(t.table, t.key));
        row.lngPersonID = person;
        readColumns(rs, t.table, t.columns, row);
    });
}

// Assigns one column of the row being edited or added; a Date of 0 as
// `zero` says (Fields.h).
template <class R>
void writeColumn(db::Recordset& rs, const Column<R>& c, const R& record, EmptyText empty, ZeroDate zero) {
    std::visit(
        [&](auto member) {
            const auto& field = record.*member;
            using T = std::remove_cvref_t<decltype(field)>;
            if constexpr (std::is_same_v<T, String>)
                rs.Fields(c.name) = empty == EmptyText::Null ? textOrNull(field) : db::Variant(field);
            else if constexpr (std::is_same_v<T, Date>)
                setDate(rs, c.name, field, zero);
            else
                rs.Fields(c.name) = db::Variant(field);
        },
        c.field);
}

template <class R>
void writeColumns(db::Recordset& rs, std::span<const Column<R>> columns, const R& record, EmptyText empty,
                  ZeroDate zero) {
    for (const Column<R>& c : columns) writeColumn(rs, c, record, empty, zero);
}

}  // namespace lumo::access::person
