#pragma once
// What a person's card prints, from the person's record: the recipient's
// address (home, or office with company, section and position), the name
// with its honorific and the joint names chosen for the card, or the
// sender's block. Pure; any thread.
#include <string>
#include <vector>

#include "access/LumoAccess.h"
#include "cards/CardLayout.h"
#include "greetings/JointNames.h"

namespace lumo::greetings {

enum class AddressKind { Home, Office };

// The given name of a spouse or child as the address book holds it
// ("山田 恵子" or "恵子"): without the person's family name, or else
// without whatever stands before the first space.
std::string givenNameOf(const std::string& fullName, const std::string& familyName);

// Joint names: the spouse when chosen, then the chosen children that the
// person still has, each with 様. Office cards print none.
cards::Recipient recipientOf(const LumoAccess::PersonInformation& person,
                             const std::vector<LumoAccess::ChildrenInformation>& children, const JointChoice& joint,
                             AddressKind kind);
cards::Sender senderOf(const LumoAccess::PersonInformation& person, AddressKind kind);

// Whether the card has anywhere to go: an address line at least.
bool hasAddress(const cards::Recipient& recipient);

}  // namespace lumo::greetings
