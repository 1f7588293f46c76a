#pragma once
// One person as vCard import and export see it: the person record of the
// published interface with its dependent rows, and the caption of its group
// (CATEGORIES). A plain value: copied, compared and handed between threads
// freely; it owns nothing but its strings.
#include <string>
#include <vector>

#include "access/LumoAccess.h"

namespace lumo::exchange {

struct Contact {
    LumoAccess::PersonInformation person;
    std::vector<LumoAccess::PhoneInformation> phones;        // in RANK order, as the library reads them
    std::vector<LumoAccess::MailInformation> mails;          // in descending RANK, as the library reads them
    std::vector<LumoAccess::GreetingInformation> greetings;  // one per year
    std::vector<LumoAccess::ChildrenInformation> children;
    std::string group;  // the group's caption; "" for the default group
};

}  // namespace lumo::exchange
