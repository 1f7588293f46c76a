#pragma once
// Whom a printing run prints, in the address book's reading order: the
// 送る list of the year (New Year cards), or a group, or chosen persons;
// persons in mourning for the year and persons without an address are
// left out, each with the reason, so that the caller can say who and why.
//
// Reads through the caller's AddressBook (one thread at a time).
#include <optional>
#include <string>
#include <vector>

#include "cards/CardLayout.h"
#include "greetings/AddressBook.h"
#include "greetings/CardContent.h"

namespace lumo::greetings {

struct PrintRequest {
    LumoAccess::Long year = 0;
    std::optional<LumoAccess::Long> group;  // persons of this group
    std::vector<LumoAccess::Long> ids;      // or these persons (when not empty)
    AddressKind address = AddressKind::Home;
};

struct PrintedCard {
    LumoAccess::Long personId = 0;
    std::string name;
    cards::Recipient recipient;
};

struct LeftOut {
    LumoAccess::Long personId = 0;
    std::string name;
    std::string reason;  // 喪中, 住所がありません, ...
};

struct PrintSelection {
    std::vector<PrintedCard> cards;
    std::vector<LeftOut> leftOut;
};

// Throws lumo::Error for an ID without a person.
PrintSelection selectCards(AddressBook& book, const PrintRequest& request);

// The group of that caption or decimal ID; nullopt when there is none.
std::optional<LumoAccess::Long> findGroup(AddressBook& book, const std::string& captionOrId);

}  // namespace lumo::greetings
