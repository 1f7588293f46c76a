#include "greetings/GreetingMarks.h"

#include <algorithm>
#include <string>

#include "greetings/Mourning.h"
#include "platform/Error.h"

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

}  // namespace

void markGreeting(clsPidAccess& access, Long personId, Long year, const GreetingChange& change) {
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
    // Phones and mails are read in their display order (RANK), but the
    // update overwrites the stored rows in key order: put them in key
    // order so that every row gets its own values back.
    std::ranges::sort(phones, {}, &PhoneInformation::lngPhoneID);
    std::ranges::sort(mails, {}, &MailInformation::lngMailID);
    std::ranges::sort(children, {}, &ChildrenInformation::lngChildID);
    std::ranges::sort(greetings, {}, &GreetingInformation::lngGreetingID);
    applyChange(greetings, personId, year, change);
    if (access.UpPersonalInformation(person, phones, mails, greetings, children))
        throw Error("人物 " + std::to_string(personId) + " の挨拶状を記録できません");
}

}  // namespace lumo::greetings
