#pragma once
// Ticking 出 and 受, and marking 喪中, for one person and year through the
// library. The library's update rewrites the person and all of the
// person's phones, mails, children and greetings from the arrays it is
// given, so the person is read whole first and written back whole, with
// only the greeting row of the year changed (or added when missing).
//
// The address book is the caller's; one thread at a time, as its rule says.
#include <optional>
#include <vector>

#include "access/LumoAccess.h"
#include "greetings/AddressBook.h"
#include "greetings/Season.h"

namespace lumo::greetings {

struct GreetingChange {
    Season season = Season::NewYear;
    std::optional<bool> sent;
    std::optional<bool> received;
    std::optional<bool> mourning;
};

// Applies the change to the first row of `year` among the person's rows,
// or to a new row of that year appended at the end (the library matches
// rows by position and adds the surplus elements as new rows).
void applyChange(std::vector<LumoAccess::GreetingInformation>& rows, LumoAccess::Long personId, LumoAccess::Long year,
                 const GreetingChange& change);

// Reads person `personId` whole, applies the change and writes the person
// back. Throws lumo::Error when the person is missing or the library has
// reported a failure (nothing is written when reading failed).
void markGreeting(AddressBook& book, LumoAccess::Long personId, LumoAccess::Long year, const GreetingChange& change);

}  // namespace lumo::greetings
