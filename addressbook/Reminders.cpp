#include "addressbook/Reminders.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "addressbook/PersonFields.h"
#include "addressbook/PersonQueries.h"
#include "client/AccessLibrary.h"
#include "platform/Dates.h"
#include "engine/Connection.h"
#include "engine/Recordset.h"

namespace lumo::book {
namespace {

using namespace LumoAccess;

std::string text(db::Recordset& rs, int field) {
    const db::Variant& v = rs.Fields(field).Value();
    return v.isNull() ? std::string() : v.toString();
}

std::string joinedName(const std::string& last, const std::string& first) {
    if (last.empty() || first.empty()) return last + first;
    return last + " " + first;
}

// The next day on or after `today` with the month and day of `date`.
double nextOccurrence(double date, double today) {
    const auto d = dates::fromAutomation(date);
    const auto t = dates::fromAutomation(today);
    for (int year = t.year; year <= t.year + 1; ++year) {
        int day = d.day;
        if (d.month == 2 && day == 29 && dates::toAutomation(year, 3, 1) - dates::toAutomation(year, 2, 28) == 1) day = 28;
        const double candidate = dates::toAutomation(year, d.month, day);
        if (candidate >= std::floor(today)) return candidate;
    }
    return 0;
}

void clearReports() {
    if (auto clear = client::AccessLibrary::instance().entry<LumoClearLastReportProc>("LumoClearLastReport")) clear();
}
bool reportedSince() {
    const auto last = client::AccessLibrary::instance().entry<LumoGetLastReportProc>("LumoGetLastReport");
    const char* code = nullptr;
    const char* description = nullptr;
    return last && last(&code, &description) != 0;
}

bool readCard(clsPidAccess& pid, int32_t id, PersonCard& card) {
    clearReports();
    card.person = pid.GetPersonalInformation(id);
    bool failed = pid.GetPhoneNumberInfo(id, card.phones);
    failed = pid.GetMailAddressInfo(id, card.mails) || failed;
    failed = pid.GetChildInformation(id, card.children) || failed;
    failed = pid.GetGreetingInformation(id, card.greetings) || failed;
    return !failed && !reportedSince() && card.person.lngPersonID == id;
}

}  // namespace

std::vector<TodoRow> readTodo(db::Connection& connection) {
    db::Recordset rs;
    rs.Open("SELECT T_TODOLIST.PERSON_ID, T_PERSON.LASTNAME, T_PERSON.FIRSTNAME, T_TODOLIST.NOTE, T_TODOLIST.CHK_FLAG, "
            "(T_PERSON.LASTALIAS & T_PERSON.FIRSTALIAS) AS PERSON_ALIAS "
            "FROM T_TODOLIST INNER JOIN T_PERSON ON T_TODOLIST.PERSON_ID = T_PERSON.PERSON_ID",
            connection, db::adOpenForwardOnly, db::adLockReadOnly, db::adCmdText);
    std::vector<std::pair<std::string, TodoRow>> rows;
    for (; !rs.Eof(); rs.MoveNext())
        rows.push_back({readingSortKey(text(rs, 5)),
                        {rs.Fields(0).Value().toLong(), joinedName(text(rs, 1), text(rs, 2)), text(rs, 3),
                         rs.Fields(4).Value().toLong() != 0}});
    std::stable_sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<TodoRow> out;
    for (auto& [key, row] : rows) out.push_back(std::move(row));
    return out;
}

std::vector<ComingDate> readComingDates(db::Connection& connection, double today, int days) {
    db::Recordset rs;
    rs.Open("SELECT PERSON_ID, LASTNAME, FIRSTNAME, BIRTHDAY, ANNIVERSARY FROM T_PERSON "
            "WHERE BIRTHDAY <> 0 OR ANNIVERSARY <> 0",
            connection, db::adOpenForwardOnly, db::adLockReadOnly, db::adCmdText);
    std::vector<ComingDate> out;
    const double first = std::floor(today);
    for (; !rs.Eof(); rs.MoveNext()) {
        for (const bool birthday : {true, false}) {
            const db::Variant& v = rs.Fields(birthday ? 3 : 4).Value();
            if (v.isNull() || v.toDouble() == 0) continue;
            const double next = nextOccurrence(v.toDouble(), first);
            const int inDays = static_cast<int>(next - first);
            if (next == 0 || inDays > days) continue;
            out.push_back({rs.Fields(0).Value().toLong(), joinedName(text(rs, 1), text(rs, 2)), birthday, next, inDays});
        }
    }
    std::stable_sort(out.begin(), out.end(), [](const ComingDate& a, const ComingDate& b) {
        return a.inDays != b.inDays ? a.inDays < b.inDays : a.personId < b.personId;
    });
    return out;
}

std::vector<DuplicatePair> readDuplicates(db::Connection& connection) {
    std::map<std::pair<int32_t, int32_t>, std::string> pairs;
    db::Recordset same;
    same.Open("SELECT A.PERSON_ID, B.PERSON_ID FROM T_PERSON AS A INNER JOIN T_PERSON AS B "
              "ON A.LASTALIAS = B.LASTALIAS AND A.FIRSTALIAS = B.FIRSTALIAS AND A.HOME_ZIP = B.HOME_ZIP "
              "WHERE A.PERSON_ID < B.PERSON_ID AND A.HOME_ZIP <> '' AND (A.LASTALIAS & A.FIRSTALIAS) <> ''",
              connection, db::adOpenForwardOnly, db::adLockReadOnly, db::adCmdText);
    for (; !same.Eof(); same.MoveNext())
        pairs[{same.Fields(0).Value().toLong(), same.Fields(1).Value().toLong()}] = "よみと郵便番号が同じ";
    same.Close();
    db::Recordset phones;
    phones.Open("SELECT DISTINCT P.PERSON_ID, Q.PERSON_ID, P.TEL_NUMBER FROM T_PHONE AS P INNER JOIN T_PHONE AS Q "
                "ON P.TEL_NUMBER = Q.TEL_NUMBER WHERE P.PERSON_ID < Q.PERSON_ID AND P.TEL_NUMBER <> ''",
                connection, db::adOpenForwardOnly, db::adLockReadOnly, db::adCmdText);
    for (; !phones.Eof(); phones.MoveNext()) {
        std::string& why = pairs[{phones.Fields(0).Value().toLong(), phones.Fields(1).Value().toLong()}];
        if (why.empty()) why = "電話番号 " + text(phones, 2) + " が同じ";
    }
    std::vector<DuplicatePair> out;
    for (const auto& [ids, why] : pairs) out.push_back({ids.first, ids.second, why});
    return out;
}

bool mergePersons(clsPidAccess& pid, int32_t keep, int32_t other) {
    PersonCard a, b;
    if (!readCard(pid, keep, a) || !readCard(pid, other, b)) return false;
    for (const TextField& f : textFields())
        if ((a.person.*f.member).empty()) a.person.*f.member = b.person.*f.member;
    if (a.person.dyBirthday == 0) a.person.dyBirthday = b.person.dyBirthday;
    if (a.person.dyAnniversary == 0) a.person.dyAnniversary = b.person.dyAnniversary;
    if (a.person.intAge == 0) a.person.intAge = b.person.intAge;
    if (!b.person.strNote.empty() && a.person.strNote.find(b.person.strNote) == std::string::npos)
        a.person.strNote += (a.person.strNote.empty() ? "" : "\n") + b.person.strNote;
    for (PhoneInformation phone : b.phones)
        if (std::none_of(a.phones.begin(), a.phones.end(),
                         [&](const PhoneInformation& p) { return p.strPhoneNumber == phone.strPhoneNumber; })) {
            phone.lngPhoneID = 0;
            phone.intRank = static_cast<Integer>(a.phones.size() + 1);
            a.phones.push_back(phone);
        }
    for (MailInformation mail : b.mails)
        if (std::none_of(a.mails.begin(), a.mails.end(),
                         [&](const MailInformation& m) { return m.strMailAddress == mail.strMailAddress; })) {
            mail.lngMailID = 0;
            a.mails.push_back(mail);
        }
    // Mails run in descending rank: the kept person's stay first.
    for (std::size_t i = 0; i < a.mails.size(); ++i) a.mails[i].intRank = static_cast<Integer>(a.mails.size() - i);
    for (ChildrenInformation child : b.children)
        if (std::none_of(a.children.begin(), a.children.end(),
                         [&](const ChildrenInformation& c) { return c.strName == child.strName; })) {
            child.lngChildID = 0;
            a.children.push_back(child);
        }
    for (GreetingInformation g : b.greetings) {
        auto same = std::find_if(a.greetings.begin(), a.greetings.end(),
                                 [&](const GreetingInformation& x) { return x.lngYear == g.lngYear; });
        if (same == a.greetings.end()) {
            g.lngGreetingID = 0;
            a.greetings.push_back(g);
            continue;
        }
        for (Boolean GreetingInformation::*flag :
             {&GreetingInformation::blnNewYear_Send, &GreetingInformation::blnNewYear_Receive,
              &GreetingInformation::blnSummer_Send, &GreetingInformation::blnSummer_Receive,
              &GreetingInformation::blnMidYear_Send, &GreetingInformation::blnMidYear_Receive,
              &GreetingInformation::blnYearEnd_Send, &GreetingInformation::blnYearEnd_Receive})
            (*same).*flag = (*same).*flag || g.*flag;
        if (same->strMemo.empty()) same->strMemo = g.strMemo;
    }
    clearReports();
    if (pid.UpPersonalInformation(a.person, a.phones, a.mails, a.greetings, a.children) || reportedSince()) return false;
    Long id = other;
    return !pid.DelPersonalInformation(id);
}

}  // namespace lumo::book
