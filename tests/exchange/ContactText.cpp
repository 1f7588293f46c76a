#include "tests/exchange/ContactText.h"

#include <sstream>

namespace lumo::test {

std::string contactText(const exchange::Contact& c, bool withIds) {
    std::ostringstream o;
    const auto& p = c.person;
    const auto line = [&](const char* name, const auto& value) { o << name << '=' << value << '\n'; };
    if (withIds) line("lngPersonID", p.lngPersonID);
    line("group", c.group);
    line("strLastName", p.strLastName);
    line("strLastAlias", p.strLastAlias);
    line("strFirstName", p.strFirstName);
    line("strFirstAlias", p.strFirstAlias);
    line("strTitle", p.strTitle);
    line("strNickName", p.strNickName);
    line("strLabel1", p.strLabel1);
    line("strMemo1", p.strMemo1);
    line("strLabel2", p.strLabel2);
    line("strMemo2", p.strMemo2);
    line("strHomeZip", p.strHomeZip);
    line("strHomeAddress1", p.strHomeAddress1);
    line("strHomeAddress2", p.strHomeAddress2);
    line("strHomeURL", p.strHomeURL);
    line("strLabel3", p.strLabel3);
    line("strMemo3", p.strMemo3);
    line("strLabel4", p.strLabel4);
    line("strMemo4", p.strMemo4);
    line("strAlias", p.strAlias);
    line("strCompany", p.strCompany);
    line("strPosition", p.strPosition);
    line("strSection", p.strSection);
    line("strOfficeZip", p.strOfficeZip);
    line("strOfficeAddress1", p.strOfficeAddress1);
    line("strOfficeAddress2", p.strOfficeAddress2);
    line("strOfficeURL", p.strOfficeURL);
    line("strLabel5", p.strLabel5);
    line("strMemo5", p.strMemo5);
    line("strLabel6", p.strLabel6);
    line("strMemo6", p.strMemo6);
    o.precision(17);
    line("dyBirthday", p.dyBirthday);
    line("intAge", p.intAge);
    line("strConstellation", p.strConstellation);
    line("strBlood", p.strBlood);
    line("dyAnniversary", p.dyAnniversary);
    line("strMateAlias", p.strMateAlias);
    line("strMate", p.strMate);
    line("strHobby", p.strHobby);
    line("strNote", p.strNote);
    line("strDefaut", p.strDefaut);
    for (const auto& x : c.phones)
        o << "phone=" << x.strType << '|' << x.strLabel << '|' << x.strPhoneNumber << '|' << x.intRank << '\n';
    for (const auto& x : c.mails)
        o << "mail=" << x.strType << '|' << x.strLabel << '|' << x.strMailAddress << '|' << x.intRank << '\n';
    for (const auto& x : c.children) o << "child=" << x.strName << '|' << x.strAlias << '\n';
    for (const auto& g : c.greetings)
        o << "greeting=" << g.lngYear << '|' << g.blnNewYear_Send << g.blnNewYear_Receive << g.blnSummer_Send
          << g.blnSummer_Receive << g.blnMidYear_Send << g.blnMidYear_Receive << g.blnYearEnd_Send
          << g.blnYearEnd_Receive << '|' << g.strMemo << '\n';
    return o.str();
}

}  // namespace lumo::test
