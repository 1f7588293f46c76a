#pragma once
// Helpers for the tests of the lumo command: scratch folders, direct
// SQLite queries on the files it makes, and running the lumo binary.
#include <sqlite3.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace lumo::test {

// A fresh empty folder, removed with everything in it at the end.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path data(const std::string& file) const { return path_ / "Data" / file; }

private:
    std::filesystem::path path_;
};

// Plain SQLite access, independent of the engine layer under test.
class Db {
public:
    explicit Db(const std::filesystem::path& file);
    void exec(const std::string& sql);
    std::int64_t integer(const std::string& sql);  // first column of the first row
    std::string text(const std::string& sql);       // "" for Null or no row
    std::vector<std::vector<std::string>> rows(const std::string& sql);  // Null as "<null>"
    sqlite3* handle() const { return db_.get(); }

private:
    struct Closer {
        void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
    };
    std::unique_ptr<sqlite3, Closer> db_;
};

std::string readFile(const std::filesystem::path& file);

// Makes the three database files, empty, in folder/Data (as `lumo init`
// does) and returns the path of the person database.
std::string makeEmptyDatabases(const std::filesystem::path& folder);

struct RunResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs build/bin/lumo (LUMO_BIN_DIR, else beside the test program) with
// the arguments, without a shell; `input` is its standard input.
RunResult runLumo(const std::vector<std::string>& args, const std::string& input = {});

}  // namespace lumo::test
