#pragma once
// Opening a database file of the suite, and describing what went wrong with
// one. Every failure names its real cause: missing, a folder, not readable,
// empty, damaged, not a Lumo database, a Windows Jet file; a write to a
// file opened for reading says "read-only". Stateless; any thread.
#include <sqlite3.h>

#include <memory>
#include <string>

namespace lumo::db {

struct OpenedFile {
    std::unique_ptr<sqlite3, int (*)(sqlite3*)> db{nullptr, sqlite3_close_v2};
    bool readOnly = false;
};

// Never creates a file. A file that this process may not write, or whose
// folder it may not write (so no journal could be made), is opened for
// reading; a write-ahead-log file that then cannot be read because its
// shared-memory file can neither be found nor made is opened as immutable,
// which is sound only because nobody can be writing to it either. Throws
// lumo::Error with the description of the cause.
OpenedFile openDatabaseFile(const std::string& path);

// The description of the last failure on `db`, in the user's terms where
// the cause is the file itself (damaged, read-only), else SQLite's text.
std::string describeFailure(sqlite3* db);

}  // namespace lumo::db
