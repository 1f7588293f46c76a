#pragma once
// Writing a person as one vCard. Stateless functions; any thread.
#include <string>
#include <string_view>

#include "exchange/Contact.h"

namespace lumo::exchange {

// 2.1 is read only; writeVCard writes 3.0 (RFC 2426) and 4.0 (RFC 6350)
// and treats v21 as 3.0.
enum class VCardVersion { v21, v30, v40 };

// One card, BEGIN:VCARD to END:VCARD, in UTF-8 with CR LF line ends, lines
// folded at 75 octets without splitting a character, values escaped as the
// version's RFC says. Every field of the contact is written (exchange/
// VCardMapping.h says as what), so that readVCards gives the same contact
// back, ids aside. `uid` becomes the UID property ("" leaves it out).
std::string writeVCard(const Contact& contact, VCardVersion version, std::string_view uid);

}  // namespace lumo::exchange
