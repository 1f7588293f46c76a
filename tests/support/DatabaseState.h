#pragma once
// Looking at a database file from outside the engine layer (plain SQLite,
// so an armed fault switch never touches the look): every row of every
// table, the differences between two such dumps, and SQLite's own
// integrity check. Free functions; each opens the file, reads and closes
// it again, so they may be called from any thread on a file nobody writes.
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace lumo::test {

// Every row of every table (sqlite_sequence included: a rolled back insert
// leaves no trace there either), each row as "v1|v2|..." with Null as
// "<null>", rows sorted, so two dumps compare equal exactly when the
// tables hold the same rows.
struct DatabaseDump {
    std::map<std::string, std::vector<std::string>> tables;
    bool operator==(const DatabaseDump&) const = default;
};

DatabaseDump dumpDatabase(const std::filesystem::path& file);

// "" when equal; otherwise, per table that differs, the rows only in one
// of them (at most a few of each), for a test's failure message.
std::string describeDifference(const DatabaseDump& expected, const DatabaseDump& actual);

// "ok", or what PRAGMA integrity_check found (or why it could not run).
std::string integrityCheck(const std::filesystem::path& file);

// Copies a database file (with its write-ahead log, if any) to `to`.
void copyDatabase(const std::filesystem::path& from, const std::filesystem::path& to);

// A new empty folder under the system's temporary folder, removed with
// everything in it when the object ends.
class TemporaryFolder {
public:
    explicit TemporaryFolder(const std::string& prefix = "lumo_test");
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace lumo::test
