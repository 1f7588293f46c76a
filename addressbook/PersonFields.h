#pragma once
// The text fields of a person record as the card shows them: which tab,
// which caption, which member of PersonInformation. The editor builds its
// form from this table, and reads and writes the record through it, so a
// field is named in one place. Also the comparison of what was read at
// opening with what is stored now. Constant data and free functions; any
// thread.
#include <vector>

#include "access/LumoAccess.h"

namespace lumo::book {

enum class CardTab { Basic, Home, Office, Family, Memo };

struct TextField {
    CardTab tab;
    const char* caption;
    LumoAccess::String LumoAccess::PersonInformation::*member;
};

// In the card's order (the order of the form and of Tab).
const std::vector<TextField>& textFields();

// What the editor shows of one person: the record and its four lists.
struct PersonCard {
    LumoAccess::PersonInformation person;
    std::vector<LumoAccess::PhoneInformation> phones;
    std::vector<LumoAccess::MailInformation> mails;
    std::vector<LumoAccess::GreetingInformation> greetings;
    std::vector<LumoAccess::ChildrenInformation> children;
};

// Equal in every stored value (identifiers of the list rows included).
bool sameCard(const PersonCard& a, const PersonCard& b);

// The name a question or the window title uses: "姓 名".
LumoAccess::String displayName(const LumoAccess::PersonInformation& person);

}  // namespace lumo::book
