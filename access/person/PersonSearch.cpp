// The person list a client shows (its statement, built here and run by the
// client) and the short overview of one person shown beside it.
#include <array>
#include <utility>

#include "access/core/Fields.h"
#include "access/core/SearchText.h"
#include "access/person/clsPidAccess.h"
#include "platform/ErrorReport.h"
#include "engine/Recordset.h"

namespace lumo::access {

using namespace LumoAccess;

namespace {

// A name fragment is looked for in both names and readings, the company
// and its reading, and the spouse's name and reading.
std::string nameCondition(const String& strName) {
    return likeGroup({{"T_PERSON.LASTNAME LIKE '%", "%'"},
                      {"T_PERSON.FIRSTNAME LIKE '%", "%'"},
                      {"T_PERSON.LASTALIAS LIKE '%", "%'"},
                      {"T_PERSON.FIRSTALIAS LIKE '%", "%'"},
                      {"T_PERSON.ALIAS LIKE '%", "%'"},
                      {"T_PERSON.COMPANY Like '%", "%'"},
                      {"T_PERSON.MATEALIAS LIKE '%", "%'"},
                      {"T_PERSON.MATE Like '%", "%'"}},
                     strName, Enclosed::Yes);
}

// A phone fragment anywhere in a number, at its end or at its start.
std::string phoneCondition(const String& strPhone) {
    return likeGroup({{"T_PHONE.TEL_NUMBER LIKE '%", "%'"},
                      {"T_PHONE.TEL_NUMBER LIKE '%", "'"},
                      {"T_PHONE.TEL_NUMBER LIKE '", "%'"}},
                     strPhone, Enclosed::Yes);
}

// The list shows one row per person: the condition only picks person
// keys (through IN), so several matching phones of one person do not
// repeat that person.
constexpr std::string_view kPersonList =
    "SELECT DISTINCT T_PERSON.PERSON_ID, "
    "([T_PERSON].[LASTNAME] & [T_PERSON].[FIRSTNAME]) AS PERSON_NAME, "
    "T_PERSON.COMPANY, vwOfficePhone.TEL_NUMBER AS OFFICE_PHONE, "
    "vwHomePhone.TEL_NUMBER AS HOME_PHONE, vwMailAddress.MAIL_ADDRESS, T_GROUPING.LABEL, "
    "([T_PERSON].[LASTALIAS] & [T_PERSON].[FIRSTALIAS]) AS PERSON_ALIAS, T_PERSON.ALIAS "
    "FROM T_GROUPING INNER JOIN (((T_PERSON LEFT JOIN vwHomePhone ON "
    "T_PERSON.PERSON_ID = vwHomePhone.PERSON_ID) LEFT JOIN vwOfficePhone ON "
    "T_PERSON.PERSON_ID = vwOfficePhone.PERSON_ID) LEFT JOIN vwMailAddress ON "
    "T_PERSON.PERSON_ID = vwMailAddress.PERSON_ID) ON T_GROUPING.TYPE_ID = T_PERSON.TYPE_ID"
    " WHERE T_PERSON.PERSON_ID IN (";

// Persons without phones stay candidates of a name search: the phones are
// joined with an outer join.
constexpr std::string_view kMatchingPersons =
    "SELECT T_PERSON.PERSON_ID FROM T_PERSON LEFT JOIN T_PHONE ON T_PERSON.PERSON_ID = T_PHONE.PERSON_ID WHERE ";

// A caption and a value field of the overview.
using Slot = std::pair<String*, String*>;

// Fills the slots from the recordset's rows in order, LABEL into the
// caption and `valueColumn` into the value, until either runs out.
template <std::size_t N>
void fillSlots(db::Recordset& rs, std::string_view valueColumn, const std::array<Slot, N>& slots) {
    if (rs.Bof() || rs.Eof()) return;
    for (std::size_t n = 0; n < N && !rs.Eof(); ++n, rs.MoveNext()) {
        *slots[n].first = textOf(rs, "LABEL");
        *slots[n].second = textOf(rs, valueColumn);
    }
}

}  // namespace

String PidAccess::CreateSimpleViewQuery(const String& strName, const String& strPhone) noexcept {
    String sql;
    reported("CLS-pida1002", [&] {
        const std::string condition = bothGroups(nameCondition(strName), phoneCondition(strPhone), Join::AsWritten);
        // An empty search lists nobody rather than everybody.
        if (condition.empty()) return;
        sql.append(kPersonList).append(kMatchingPersons).append(condition).append(")");
    });
    return sql;
}

String PidAccess::GetFindView(const String& strName, const String& strPhone) noexcept {
    String sql;
    reported("CLS-pida1033", [&] {
        LumoAccess::clsPidAccess& self = *this;
        sql = self.CreateSimpleViewQuery(strName, strPhone);
    });
    return sql;
}

PersonaInfoOverview PidAccess::GetPersonalInformaionOverView(Long lngPersonID, String*) noexcept {
    // Filled in place: after a failure the caller still gets what was
    // filled up to it.
    PersonaInfoOverview overview;
    reported("CLS-pida1003", [&] {
        db::Recordset person, phones, mails;
        OpenPersonRecordset(lngPersonID, person, {});
        OpenPhoneRecordset(lngPersonID, phones, {});
        OpenMailRecordset(lngPersonID, mails, {});

        if (!person.Bof() && !person.Eof()) {
            overview.strName = textOf(person, "LASTNAME") + " " + textOf(person, "FIRSTNAME");
            overview.strNickName = "(" + textOf(person, "NICKNAME") + ")";
            overview.strCompany = textOf(person, "COMPANY");
            overview.strAlias = "(" + textOf(person, "ALIAS") + ")";
            overview.strHomeZip = textOf(person, "HOME_ZIP");
            overview.strHomeAddress1 = textOf(person, "HOME_ADDRESS1");
            overview.strHomeAddress2 = textOf(person, "HOME_ADDRESS2");
            overview.strOfficeZip = textOf(person, "OFFICE_ZIP");
            overview.strOfficeAddress1 = textOf(person, "OFFICE_ADDRESS1");
            overview.strOfficeAddress2 = textOf(person, "OFFICE_ADDRESS2");
            overview.strNote = textOf(person, "NOTE");
        }

        // Phones run by rank, mails highest rank first; the first rows fill
        // the slots and the rest is not shown.
        fillSlots(phones, "TEL_NUMBER",
                  std::array<Slot, 3>{{{&overview.strPhonelabel1, &overview.strPhone1},
                                       {&overview.strPhonelabel2, &overview.strPhone2},
                                       {&overview.strPhonelabel3, &overview.strPhone3}}});
        fillSlots(mails, "MAIL_ADDRESS",
                  std::array<Slot, 2>{{{&overview.strMaillabel1, &overview.strMail1},
                                       {&overview.strMaillabel2, &overview.strMail2}}});
    });
    return overview;
}

}  // namespace lumo::access
