#include "greetings/CardContent.h"

#include <algorithm>

namespace lumo::greetings {
namespace {

std::string trimmed(std::string s) {
    const auto spaceAt = [&](std::size_t i) -> std::size_t {
        if (i < s.size() && s[i] == ' ') return 1;
        if (s.compare(i, 3, "　") == 0) return 3;
        return 0;
    };
    std::size_t begin = 0;
    while (std::size_t n = spaceAt(begin)) begin += n;
    s.erase(0, begin);
    while (!s.empty() && s.back() == ' ') s.pop_back();
    while (s.size() >= 3 && s.compare(s.size() - 3, 3, "　") == 0) s.erase(s.size() - 3);
    return s;
}

}  // namespace

std::string givenNameOf(const std::string& fullName, const std::string& familyName) {
    std::string name = trimmed(fullName);
    if (!familyName.empty() && name.starts_with(familyName) && name.size() > familyName.size())
        return trimmed(name.substr(familyName.size()));
    for (std::string_view space : {" ", "　"})
        if (const std::size_t at = name.find(space); at != std::string::npos) return trimmed(name.substr(at + space.size()));
    return name;
}

cards::Recipient recipientOf(const LumoAccess::PersonInformation& p,
                             const std::vector<LumoAccess::ChildrenInformation>& children, const JointChoice& joint,
                             AddressKind kind) {
    cards::Recipient r;
    r.familyName = p.strLastName;
    r.givenNames.push_back({p.strFirstName, p.strTitle.empty() ? "様" : p.strTitle});
    if (kind == AddressKind::Office) {
        r.zip = p.strOfficeZip;
        r.address1 = p.strOfficeAddress1;
        r.address2 = p.strOfficeAddress2;
        r.company = p.strCompany;
        r.section = p.strSection;
        r.position = p.strPosition;
        return r;
    }
    r.zip = p.strHomeZip;
    r.address1 = p.strHomeAddress1;
    r.address2 = p.strHomeAddress2;
    if (joint.mate && !p.strMate.empty()) r.givenNames.push_back({givenNameOf(p.strMate, p.strLastName), "様"});
    for (const std::string& chosen : joint.children) {
        const auto has = std::ranges::any_of(children, [&](const auto& c) { return c.strName == chosen; });
        if (has) r.givenNames.push_back({givenNameOf(chosen, p.strLastName), "様"});
    }
    return r;
}

cards::Sender senderOf(const LumoAccess::PersonInformation& p, AddressKind kind) {
    cards::Sender s;
    const bool office = kind == AddressKind::Office && !p.strOfficeAddress1.empty();
    s.zip = office ? p.strOfficeZip : p.strHomeZip;
    s.address1 = office ? p.strOfficeAddress1 : p.strHomeAddress1;
    s.address2 = office ? p.strOfficeAddress2 : p.strHomeAddress2;
    s.name = p.strLastName.empty() || p.strFirstName.empty() ? p.strLastName + p.strFirstName
                                                             : p.strLastName + "　" + p.strFirstName;
    return s;
}

bool hasAddress(const cards::Recipient& r) { return !r.address1.empty() || !r.address2.empty(); }

}  // namespace lumo::greetings
