#pragma once
// When an imported card is a person the address book already has.
// The functions are stateless (any thread); KnownContacts below says its
// own rules.
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "exchange/Contact.h"

namespace lumo::exchange {

// The same family and given name, the same readings, and at least one
// phone number (digits only: "03-1234-5678" is "0312345678") or one mail
// address (ignoring ASCII case) in common.
bool sameContact(const Contact& a, const Contact& b);

// The digits of a phone number (full-width digits count), for comparing.
std::string phoneDigits(std::string_view number);
// A mail address in ASCII lower case, blanks around it removed.
std::string mailKey(std::string_view address);

// The persons an import has met (the folder's, and those it added), kept
// as what sameContact compares: has(c) is true exactly when sameContact(k,
// c) holds for some k added, in one lookup per phone and mail of c instead
// of a comparison with every person of the same name. Owned by one import
// and used by its thread.
class KnownContacts {
public:
    void add(const Contact& c);
    bool has(const Contact& c) const;

private:
    // The name and readings with each phone's digits and each mail's key,
    // every part prefixed by its length, so no two differ only in where
    // one part ends.
    static std::vector<std::string> keysOf(const Contact& c);
    std::unordered_set<std::string> keys_;
};

}  // namespace lumo::exchange
