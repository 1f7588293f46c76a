#pragma once
// Opening a database file of the suite, and describing what went wrong with
// one. Every failure names its real cause: missing, a folder, not readable,
// empty, damaged, not a Lumo database, a Windows Jet file; a write to a
// file opened for reading says "read-only". Stateless; any thread.
#include <sqlite3.h>

#include <memory>
#include <string>

#include "engine/SqliteHandle.h"
#include "platform/Error.h"

namespace lumo::db {

// A file the open made for its own use (an empty shared-memory file for a
// read-only connection), removed when the object goes, which must be after
// the connection's handle has closed. Removed only while no connection
// has filled it (a writer that opened it meanwhile has).
class MadeFile {
public:
    explicit MadeFile(std::string path) : path_(std::move(path)) {}
    ~MadeFile();
    MadeFile(const MadeFile&) = delete;
    MadeFile& operator=(const MadeFile&) = delete;

private:
    std::string path_;
};

struct OpenedFile {
    DbHandle db;
    bool readOnly = false;
    std::unique_ptr<MadeFile> made;  // to be dropped after db has closed
};

// Never creates a database file. A file that this process may not write,
// or whose folder it may not write (so no journal could be made), is
// opened for reading. When reading then fails because the write-ahead log
// or its shared-memory file can neither be made nor grown (a full disk, a
// folder that takes no new file, a folder the process may not write), the
// files that attempt made are removed and the file is opened for reading
// only, without writing anything: a log that holds transactions, or one
// whose shared memory a writer has filled, is read through the shared
// memory opened read-only (made empty when there is none, and removed
// again when the connection closes); otherwise the database file is all
// there is, and it is opened as immutable, which is sound because nobody
// is writing to it either (a writer has a log and fills its shared
// memory). Throws lumo::Error with the description of the cause.
OpenedFile openDatabaseFile(const std::string& path);

// The description of the last failure on `db`, in the user's terms where
// the cause is the file itself (damaged, read-only), else SQLite's text.
std::string describeFailure(sqlite3* db);
// The kind of report (platform/FailureKinds.h) of the last failure on `db`.
ReportKind failureKind(sqlite3* db);

}  // namespace lumo::db
