#include "platform/db/JetFunctions.h"

namespace lumo::db {

// The table of functions grows here, one family per file.
std::optional<std::string_view> sqliteFunctionName(std::string_view) { return std::nullopt; }

void installJetFunctions(sqlite3*) {}

}  // namespace lumo::db
