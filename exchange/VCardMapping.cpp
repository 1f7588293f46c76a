#include "exchange/VCardMapping.h"

namespace lumo::exchange::mapping {
namespace {

using P = PersonInformation;

constexpr std::array<TextField, 3> kNoFields{nullptr, nullptr, nullptr};

constexpr PersonProperty row(std::string_view name, std::string_view type, unsigned written, Form form,
                             std::array<TextField, 3> fields, bool fallback = false,
                             std::string_view valueType = {}) {
    return {name, type, written, form, fields, nullptr, nullptr, fallback, valueType};
}
constexpr PersonProperty text(std::string_view name, TextField field, unsigned written = kBoth,
                              std::string_view type = {}) {
    return row(name, type, written, Form::Text, {field, nullptr, nullptr});
}
constexpr PersonProperty pair(std::string_view name, TextField a, TextField b) {
    return row(name, {}, kBoth, Form::Components, {a, b, nullptr});
}
constexpr PersonProperty date(std::string_view name, DateField field, unsigned written) {
    return {name, {}, written, Form::Date, kNoFields, field, nullptr, false, {}};
}

// In the order the writer writes them.
constexpr PersonProperty kPerson[] = {
    pair("N", &P::strLastName, &P::strFirstName),
    text("X-PHONETIC-LAST-NAME", &P::strLastAlias),
    text("X-PHONETIC-FIRST-NAME", &P::strFirstAlias),
    row("SORT-STRING", {}, k30, Form::SortString, {&P::strLastAlias, &P::strFirstAlias, nullptr}, true),
    row("SOUND", "X-IRMC-N", kReadOnly, Form::Kana, {&P::strLastAlias, &P::strFirstAlias, nullptr}, true),
    text("X-LUMO-HONORIFIC", &P::strTitle),
    text("NICKNAME", &P::strNickName),
    pair("X-LUMO-MEMO1", &P::strLabel1, &P::strMemo1),
    pair("X-LUMO-MEMO2", &P::strLabel2, &P::strMemo2),
    row("ADR", "home", kBoth, Form::Address, {&P::strHomeZip, &P::strHomeAddress1, &P::strHomeAddress2}),
    text("URL", &P::strHomeURL, kBoth, "home"),
    pair("X-LUMO-MEMO3", &P::strLabel3, &P::strMemo3),
    pair("X-LUMO-MEMO4", &P::strLabel4, &P::strMemo4),
    text("X-PHONETIC-ORG", &P::strAlias),
    pair("ORG", &P::strCompany, &P::strSection),
    text("TITLE", &P::strPosition),
    row("ADR", "work", kBoth, Form::Address, {&P::strOfficeZip, &P::strOfficeAddress1, &P::strOfficeAddress2}),
    text("URL", &P::strOfficeURL, kBoth, "work"),
    pair("X-LUMO-MEMO5", &P::strLabel5, &P::strMemo5),
    pair("X-LUMO-MEMO6", &P::strLabel6, &P::strMemo6),
    date("BDAY", &P::dyBirthday, kBoth),
    {"X-LUMO-AGE", {}, kBoth, Form::Number, kNoFields, nullptr, &P::intAge, false, {}},
    text("X-LUMO-CONSTELLATION", &P::strConstellation),
    text("X-LUMO-BLOOD", &P::strBlood),
    date("ANNIVERSARY", &P::dyAnniversary, k40),
    date("X-ANNIVERSARY", &P::dyAnniversary, k30),
    date("X-EVOLUTION-ANNIVERSARY", &P::dyAnniversary, kReadOnly),
    date("X-KADDRESSBOOK-X-ANNIVERSARY", &P::dyAnniversary, kReadOnly),
    row("RELATED", "spouse", k40, Form::Text, {&P::strMate, nullptr, nullptr}, false, "text"),
    text("X-EVOLUTION-SPOUSE", &P::strMate, k30),
    text("X-KADDRESSBOOK-X-SPOUSESNAME", &P::strMate, kReadOnly),
    text("X-LUMO-SPOUSE-READING", &P::strMateAlias),
    text("X-LUMO-HOBBY", &P::strHobby),
    text("NOTE", &P::strNote),
    text("X-LUMO-DEFAULT", &P::strDefaut),
};

constexpr KindType kPhoneTypes[] = {
    {"FAX", {"fax", {}}},     {"MOBILE", {"cell", {}}}, {"PAGER", {"pager", {}}},
    {"OFFICE", {"work", "voice"}}, {"HOME", {"home", "voice"}},
    // Read only: what iPhones and Android write for mobile numbers.
    {"MOBILE", {"iphone", {}}}, {"MOBILE", {"x-mobile", {}}},
};

constexpr KindType kMailTypes[] = {
    {"MOBILE", {"cell", {}}},
    {"OFFICE", {"work", {}}},
    {"HOME", {"home", {}}},
};

constexpr GreetingFlag kGreetingFlags[] = {
    &LumoAccess::GreetingInformation::blnNewYear_Send,  &LumoAccess::GreetingInformation::blnNewYear_Receive,
    &LumoAccess::GreetingInformation::blnSummer_Send,   &LumoAccess::GreetingInformation::blnSummer_Receive,
    &LumoAccess::GreetingInformation::blnMidYear_Send,  &LumoAccess::GreetingInformation::blnMidYear_Receive,
    &LumoAccess::GreetingInformation::blnYearEnd_Send,  &LumoAccess::GreetingInformation::blnYearEnd_Receive,
};

}  // namespace

std::span<const PersonProperty> personProperties() { return kPerson; }
std::span<const KindType> phoneTypes() { return kPhoneTypes; }
std::span<const KindType> mailTypes() { return kMailTypes; }
std::span<const GreetingFlag> greetingFlags() { return kGreetingFlags; }

}  // namespace lumo::exchange::mapping
