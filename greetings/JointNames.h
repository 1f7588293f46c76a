#pragma once
// Which joint names (連名) each person's card prints: the spouse (MATE) and
// the children chosen for that card. The address book's schema has no
// place for this choice, so it lives in a small SQLite file of the
// programs' own beside the databases, Data/LumoCards.sqlite:
//
//   CREATE TABLE joint_names (person_id INTEGER PRIMARY KEY,
//                             mate INTEGER NOT NULL,      -- 1: print MATE
//                             children TEXT NOT NULL);    -- chosen names, one a line
//
// Children are kept by name, so that a choice survives the library's
// rewriting of a person's child rows. A person without a row prints no
// joint names. The functions open the file for each call; any thread.
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "access/LumoAccess.h"

namespace lumo::greetings {

struct JointChoice {
    bool mate = false;
    std::vector<std::string> children;
    bool operator==(const JointChoice&) const = default;
};

// DIR/Data/LumoCards.sqlite for the data folder DIR.
std::filesystem::path jointNamesFile(const std::filesystem::path& folder);

// Every stored choice; none when the file does not exist. Throws lumo::Error.
std::map<LumoAccess::Long, JointChoice> loadJointNames(const std::filesystem::path& file);
// Stores one person's choice (an empty choice removes the row), creating
// the file when needed. Throws lumo::Error.
void storeJointChoice(const std::filesystem::path& file, LumoAccess::Long personId, const JointChoice& choice);

}  // namespace lumo::greetings
