#pragma once
// A contact as lines of "field=value", every field named by hand, so that
// tests compare whole contacts and a failure shows the field that differs.
#include <string>

#include "exchange/Contact.h"

namespace lumo::test {

// Ids (person, phone, mail, greeting and child ids and their person ids)
// are left out unless withIds.
std::string contactText(const exchange::Contact& contact, bool withIds = false);

}  // namespace lumo::test
