#pragma once
// Where the address book's data lives: a folder holding Data/LumoBase.mdb
// (the folder the program was started in, or the one named on its command
// line), what state that file is in, and making the three database files
// there as `lumo init` makes them. Plain values and free functions; any
// thread.
#include <filesystem>
#include <string>

namespace lumo::book {

struct BookFolder {
    std::filesystem::path folder;

    std::filesystem::path personDatabase() const { return folder / "Data" / "LumoBase.mdb"; }
    // The program's own file beside the databases (postal codes).
    std::filesystem::path postalDatabase() const { return folder / "Data" / "LumoPostal.sqlite"; }
    std::string connectionString() const;
};

enum class DatabaseState {
    Missing,  // no Data/LumoBase.mdb
    Jet,      // a Jet 4 file not yet converted by lumo import
    Present,  // something else; opening it says whether it is one of ours
};

DatabaseState databaseState(const BookFolder& book);

// Makes the person, item and scrap databases (empty) as `lumo init DIR`
// does. Throws lumo::Error.
void createEmptyDatabases(const BookFolder& book);

// The texts of the start-up questions and reports.
std::string missingDatabaseQuestion(const BookFolder& book);
std::string jetDatabaseReport(const BookFolder& book);

}  // namespace lumo::book
