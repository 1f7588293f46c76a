#pragma once
// The address book of a data folder as the card programs use it: the
// program's own engine connection to Data/LumoBase.mdb for the lists, and
// a person object of the library (through its published interface) for
// reading and writing persons.
//
// Owns both; they live as long as the object, which is used by one thread
// at a time.
#include <filesystem>

#include "access/LumoAccess.h"
#include "engine/Connection.h"

namespace lumo::greetings {

class AddressBook {
public:
    // Throws lumo::Error when the database or the library cannot be opened.
    explicit AddressBook(const std::filesystem::path& folder);
    AddressBook(const AddressBook&) = delete;
    AddressBook& operator=(const AddressBook&) = delete;

    const std::filesystem::path& folder() const { return folder_; }
    db::Connection& connection() { return connection_; }
    LumoAccess::clsPidAccess& access() { return *access_; }

private:
    std::filesystem::path folder_;
    db::Connection connection_;
    LumoAccess::Ref<LumoAccess::clsPidAccess> access_;
};

}  // namespace lumo::greetings
