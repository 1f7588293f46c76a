#include "engine/ProgramSettings.h"

#include <sqlite3.h>

namespace lumo::db {

// sqlite3_config refuses (SQLITE_MISUSE) once SQLite has been initialised,
// so a late call is harmless rather than racing other threads.
bool configureSqliteForProgram() { return sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0) == SQLITE_OK; }

}  // namespace lumo::db
