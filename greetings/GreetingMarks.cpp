#include "greetings/GreetingMarks.h"

#include <algorithm>
#include <string>

#include "greetings/Mourning.h"
#include "platform/Error.h"
#include "engine/Recordset.h"

namespace lumo::greetings {

using namespace LumoAccess;

void applyChange(std::vector<GreetingInformation>& rows, Long personId, Long year, const GreetingChange& change) {
    auto it = std::ranges::find_if(rows, [&](const GreetingInformation& g) { return g.lngYear == year; });
    if (it == rows.end()) {
        GreetingInformation g;
        g.lngPersonID = personId;
        g.lngYear = year;
        rows.push_back(g);
        it = rows.end() - 1;
    }
    const SeasonInfo& s = seasonInfo(change.season);
    if (change.sent) (*it).*s.sent = *change.sent;
    if (change.received) (*it).*s.received = *change.received;
    if (change.mourning) it->strMemo = withMourning(it->strMemo, *change.mourning);
}

namespace {

[[noreturn]] void failRead(Long personId, const char* what) {
    throw Error("人物 " + std::to_string(personId) + " の" + what + "を読めません");
}

// The library overwrites a person's stored rows with the elements in the
// order the engine returns "SELECT * FROM table WHERE PERSON_ID = n",
// which need not be the order it reads them for display (phones by RANK,
// mails by RANK descending). The elements are put in that order, so that
// every stored row gets its own values back and keeps its key.
template <class R>
void inStoredOrder(db::Connection& connection, const char* table, const char* key, Long personId,
                   std::vector<R>& rows, Long R::*id) {
    db::Recordset rs;
    rs.Open(std::string("SELECT * FROM ") + table + " WHERE PERSON_ID = " + std::to_string(personId), connection,
            db::adOpenStatic, db::adLockReadOnly, db::adCmdText);
    std::vector<Long> order;
    for (; !rs.Eof(); rs.MoveNext()) order.push_back(rs.Fields(key).Value().toLong());
    const auto position = [&](const R& r) {
        return static_cast<std::size_t>(std::ranges::find(order, r.*id) - order.begin());
    };
    std::ranges::stable_sort(rows, {}, position);
}

}  // namespace

void markGreeting(AddressBook& book, Long personId, Long year, const GreetingChange& change) {
    clsPidAccess& access = book.access();
    PersonInformation person = access.GetPersonalInformation(personId);
    if (person.lngPersonID != personId) throw Error("人物 " + std::to_string(personId) + " が見つかりません");
    std::vector<PhoneInformation> phones;
    std::vector<MailInformation> mails;
    std::vector<ChildrenInformation> children;
    std::vector<GreetingInformation> greetings;
    if (access.GetPhoneNumberInfo(personId, phones)) failRead(personId, "電話番号");
    if (access.GetMailAddressInfo(personId, mails)) failRead(personId, "メールアドレス");
    if (access.GetChildInformation(personId, children)) failRead(personId, "子供");
    if (access.GetGreetingInformation(personId, greetings)) failRead(personId, "挨拶状");
    db::Connection& cn = book.connection();
    inStoredOrder(cn, "T_PHONE", "PHONE_ID", personId, phones, &PhoneInformation::lngPhoneID);
    inStoredOrder(cn, "T_EMAIL", "MAIL_ID", personId, mails, &MailInformation::lngMailID);
    inStoredOrder(cn, "T_CHILDREN", "CHILD_ID", personId, children, &ChildrenInformation::lngChildID);
    inStoredOrder(cn, "T_GREETING", "GREETING_ID", personId, greetings, &GreetingInformation::lngGreetingID);
    applyChange(greetings, personId, year, change);
    if (access.UpPersonalInformation(person, phones, mails, greetings, children))
        throw Error("人物 " + std::to_string(personId) + " の挨拶状を記録できません");
}

}  // namespace lumo::greetings
