#pragma once
// When an imported card is a person the address book already has.
// Stateless; any thread.
#include <string>
#include <string_view>

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

}  // namespace lumo::exchange
