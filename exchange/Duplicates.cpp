#include "exchange/Duplicates.h"

#include <algorithm>

namespace lumo::exchange {

std::string phoneDigits(std::string_view number) {
    std::string digits;
    for (std::size_t i = 0; i < number.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(number[i]);
        if (c >= '0' && c <= '9') {
            digits += static_cast<char>(c);
        } else if (c == 0xEF && i + 2 < number.size() && static_cast<unsigned char>(number[i + 1]) == 0xBC) {
            // U+FF10..U+FF19, full-width digits: EF BC 90..99.
            const unsigned char d = static_cast<unsigned char>(number[i + 2]);
            if (d >= 0x90 && d <= 0x99) {
                digits += static_cast<char>('0' + (d - 0x90));
                i += 2;
            }
        }
    }
    return digits;
}

std::string mailKey(std::string_view address) {
    while (!address.empty() && (address.front() == ' ' || address.front() == '\t')) address.remove_prefix(1);
    while (!address.empty() && (address.back() == ' ' || address.back() == '\t')) address.remove_suffix(1);
    std::string key(address);
    for (char& c : key)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return key;
}

bool sameContact(const Contact& a, const Contact& b) {
    const auto& p = a.person;
    const auto& q = b.person;
    if (p.strLastName != q.strLastName || p.strFirstName != q.strFirstName || p.strLastAlias != q.strLastAlias ||
        p.strFirstAlias != q.strFirstAlias)
        return false;
    for (const auto& x : a.phones) {
        const std::string dx = phoneDigits(x.strPhoneNumber);
        if (dx.empty()) continue;
        if (std::ranges::any_of(b.phones, [&](const auto& y) { return phoneDigits(y.strPhoneNumber) == dx; }))
            return true;
    }
    for (const auto& x : a.mails) {
        const std::string kx = mailKey(x.strMailAddress);
        if (kx.empty()) continue;
        if (std::ranges::any_of(b.mails, [&](const auto& y) { return mailKey(y.strMailAddress) == kx; })) return true;
    }
    return false;
}

std::vector<std::string> KnownContacts::keysOf(const Contact& c) {
    std::string name;
    const auto part = [](std::string& key, std::string_view text) {
        key += std::to_string(text.size());
        key += ':';
        key += text;
    };
    for (const std::string* field : {&c.person.strLastName, &c.person.strFirstName, &c.person.strLastAlias,
                                     &c.person.strFirstAlias})
        part(name, *field);
    std::vector<std::string> keys;
    for (const auto& ph : c.phones) {
        const std::string digits = phoneDigits(ph.strPhoneNumber);
        if (digits.empty()) continue;
        std::string key = name + 'T';
        part(key, digits);
        keys.push_back(std::move(key));
    }
    for (const auto& m : c.mails) {
        const std::string address = mailKey(m.strMailAddress);
        if (address.empty()) continue;
        std::string key = name + 'M';
        part(key, address);
        keys.push_back(std::move(key));
    }
    return keys;
}

void KnownContacts::add(const Contact& c) {
    for (std::string& key : keysOf(c)) keys_.insert(std::move(key));
}

bool KnownContacts::has(const Contact& c) const {
    for (const std::string& key : keysOf(c))
        if (keys_.contains(key)) return true;
    return false;
}

}  // namespace lumo::exchange
