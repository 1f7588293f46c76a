#pragma once
// The one table that says which kind of report (platform/Error.h) a
// failure met below the suite is: SQLite's result codes and the system's
// error numbers (errno) of the file operations. The suite's own failures
// name their kind where they are raised (Error's second argument).
#include "platform/Error.h"

namespace lumo {

// The kind of an SQLite result code, primary or extended (SQLITE_IOERR_WRITE
// counts as SQLITE_IOERR); Other for a code the table does not name.
ReportKind kindOfSqliteResult(int resultCode) noexcept;

// The kind of a system error number (ENOSPC, EACCES, ...); Other for one
// the table does not name.
ReportKind kindOfSystemError(int errorNumber) noexcept;

}  // namespace lumo
