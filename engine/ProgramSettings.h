#pragma once
// SQLite settings that belong to a whole process, made by the suite's own
// programs (lumo, LumoExport, the benchmarks) and never by the library:
// libLumoAccess may be loaded into a host program that uses SQLite itself
// and reads its memory statistics.
//
// Call once, first thing in main, before anything opens a database and
// before a second thread starts. Later calls change nothing.

namespace lumo::db {

// Turns off SQLite's memory statistics. SQLite counts every allocation
// under a process-wide lock, and each statement run allocates and frees a
// buffer per text column read; the library runs one small statement per
// reader call, so the lock cost the goods export about a fifth of its time.
// The suite's programs never read the statistics.
//
// True when the setting took effect; false when SQLite was already in use
// in this process, which leaves everything as it was.
bool configureSqliteForProgram();

}  // namespace lumo::db
