#include "addressbook/PersonFields.h"

namespace lumo::book {

using LumoAccess::PersonInformation;
using P = PersonInformation;

const std::vector<TextField>& textFields() {
    static const std::vector<TextField> fields{
        {CardTab::Basic, "姓", &P::strLastName},
        {CardTab::Basic, "名", &P::strFirstName},
        {CardTab::Basic, "よみ (姓)", &P::strLastAlias},
        {CardTab::Basic, "よみ (名)", &P::strFirstAlias},
        {CardTab::Basic, "敬称", &P::strTitle},
        {CardTab::Basic, "ニックネーム", &P::strNickName},
        {CardTab::Basic, "ラベル１", &P::strLabel1},
        {CardTab::Basic, "メモ１", &P::strMemo1},
        {CardTab::Basic, "ラベル２", &P::strLabel2},
        {CardTab::Basic, "メモ２", &P::strMemo2},
        {CardTab::Home, "郵便番号", &P::strHomeZip},
        {CardTab::Home, "住所１", &P::strHomeAddress1},
        {CardTab::Home, "住所２", &P::strHomeAddress2},
        {CardTab::Home, "ホームページ", &P::strHomeURL},
        {CardTab::Home, "ラベル３", &P::strLabel3},
        {CardTab::Home, "メモ３", &P::strMemo3},
        {CardTab::Home, "ラベル４", &P::strLabel4},
        {CardTab::Home, "メモ４", &P::strMemo4},
        {CardTab::Office, "会社名", &P::strCompany},
        {CardTab::Office, "よみ (会社)", &P::strAlias},
        {CardTab::Office, "部署", &P::strSection},
        {CardTab::Office, "役職", &P::strPosition},
        {CardTab::Office, "郵便番号", &P::strOfficeZip},
        {CardTab::Office, "住所１", &P::strOfficeAddress1},
        {CardTab::Office, "住所２", &P::strOfficeAddress2},
        {CardTab::Office, "ホームページ", &P::strOfficeURL},
        {CardTab::Office, "ラベル５", &P::strLabel5},
        {CardTab::Office, "メモ５", &P::strMemo5},
        {CardTab::Office, "ラベル６", &P::strLabel6},
        {CardTab::Office, "メモ６", &P::strMemo6},
        {CardTab::Family, "星座", &P::strConstellation},
        {CardTab::Family, "血液型", &P::strBlood},
        {CardTab::Family, "配偶者", &P::strMate},
        {CardTab::Family, "よみ (配偶者)", &P::strMateAlias},
        {CardTab::Family, "趣味", &P::strHobby},
    };
    return fields;
}

namespace {

bool samePerson(const P& a, const P& b) {
    for (const TextField& f : textFields())
        if (a.*(f.member) != b.*(f.member)) return false;
    return a.lngPersonID == b.lngPersonID && a.lngTypeID == b.lngTypeID && a.dyBirthday == b.dyBirthday &&
           a.intAge == b.intAge && a.dyAnniversary == b.dyAnniversary && a.strNote == b.strNote &&
           a.strDefaut == b.strDefaut;
}

template <class T, class Same>
bool sameList(const std::vector<T>& a, const std::vector<T>& b, Same same) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (!same(a[i], b[i])) return false;
    return true;
}

}  // namespace

bool sameCard(const PersonCard& a, const PersonCard& b) {
    using namespace LumoAccess;
    return samePerson(a.person, b.person) &&
           sameList(a.phones, b.phones,
                    [](const PhoneInformation& x, const PhoneInformation& y) {
                        return x.lngPhoneID == y.lngPhoneID && x.strLabel == y.strLabel &&
                               x.strPhoneNumber == y.strPhoneNumber && x.intRank == y.intRank && x.strType == y.strType;
                    }) &&
           sameList(a.mails, b.mails,
                    [](const MailInformation& x, const MailInformation& y) {
                        return x.lngMailID == y.lngMailID && x.strLabel == y.strLabel &&
                               x.strMailAddress == y.strMailAddress && x.intRank == y.intRank && x.strType == y.strType;
                    }) &&
           sameList(a.greetings, b.greetings,
                    [](const GreetingInformation& x, const GreetingInformation& y) {
                        return x.lngGreetingID == y.lngGreetingID && x.lngYear == y.lngYear &&
                               x.blnNewYear_Send == y.blnNewYear_Send && x.blnNewYear_Receive == y.blnNewYear_Receive &&
                               x.blnSummer_Send == y.blnSummer_Send && x.blnSummer_Receive == y.blnSummer_Receive &&
                               x.blnMidYear_Send == y.blnMidYear_Send && x.blnMidYear_Receive == y.blnMidYear_Receive &&
                               x.blnYearEnd_Send == y.blnYearEnd_Send && x.blnYearEnd_Receive == y.blnYearEnd_Receive &&
                               x.strMemo == y.strMemo;
                    }) &&
           sameList(a.children, b.children, [](const ChildrenInformation& x, const ChildrenInformation& y) {
               return x.lngChildID == y.lngChildID && x.strAlias == y.strAlias && x.strName == y.strName;
           });
}

LumoAccess::String displayName(const P& person) {
    if (person.strFirstName.empty()) return person.strLastName;
    if (person.strLastName.empty()) return person.strFirstName;
    return person.strLastName + " " + person.strFirstName;
}

}  // namespace lumo::book
