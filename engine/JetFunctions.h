#pragma once
// The functions a user may call in Jet SQL (Left, Mid, InStr, Format,
// DateAdd, ...), with Jet's meaning: arguments, Null rules and errors.
// Each is an SQLite application-defined function registered on every
// connection under its own name (jet_<name>), so that SQLite's built-in
// functions of the same name (replace, round, hex, trim, ...) keep serving
// the library's own statements unchanged. The translator asks
// sqliteFunctionName() for every call it meets and writes the registered
// name in place of the Jet one.
//
// Stateless: the registry is built once and may be read from any thread.
#include <sqlite3.h>

#include <optional>
#include <string_view>

namespace lumo::db {

// The registered name for a Jet function name (case ignored), or nothing
// when the name is not one of Jet's functions handled here (the call is then
// left as written, for SQLite's own functions and aggregates).
std::optional<std::string_view> sqliteFunctionName(std::string_view jetName);

namespace jet {
struct FunctionEntry;
}
// The same lookup with the function's entry (its result type, for the
// translation's types); both live as long as the process.
struct JetFunction {
    std::string_view sqliteName;
    const jet::FunctionEntry* entry;
};
std::optional<JetFunction> jetFunction(std::string_view jetName);

// Registers every function on the connection, and the date tag of
// JetDateColumns.h that the translation gives Date/Time columns to them in. Throws lumo::Error when
// SQLite refuses one, so that a missing function cannot show up later as
// "no such function".
void installJetFunctions(sqlite3* db);

}  // namespace lumo::db
