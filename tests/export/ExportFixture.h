#pragma once
// Databases for export tests: made by `lumo init`'s own code, then filled
// with exactly the rows a test needs through plain SQL.
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "tools/init/InitCommand.h"
#include "engine/ConnectionString.h"

namespace lumo::test {

class ExportFolder {
public:
    ExportFolder() {
        static int counter = 0;
        dir_ = std::filesystem::temp_directory_path() /
               ("lumo_export_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        tools::InitOptions options;
        options.folder = dir_;
        tools::createDatabases(options);
    }
    ~ExportFolder() { std::filesystem::remove_all(dir_); }
    ExportFolder(const ExportFolder&) = delete;
    ExportFolder& operator=(const ExportFolder&) = delete;

    std::filesystem::path dir() const { return dir_; }
    std::string personDb() const { return (dir_ / "Data" / "LumoBase.mdb").string(); }
    std::string itemDb() const { return (dir_ / "Data" / "iLumoBase.mdb").string(); }
    std::string scrapDb() const { return (dir_ / "Data" / "LumoScrap.mdb").string(); }
    static std::string connection(const std::string& db) {
        return lumo::db::jetConnectionString(db);
    }
    std::string out(const std::string& name) const { return (dir_ / name).string(); }

    static void sql(const std::string& db, const std::string& statements) {
        sqlite3* h = nullptr;
        ASSERT_EQ(sqlite3_open(db.c_str(), &h), SQLITE_OK);
        char* err = nullptr;
        EXPECT_EQ(sqlite3_exec(h, statements.c_str(), nullptr, nullptr, &err), SQLITE_OK) << (err ? err : "");
        sqlite3_free(err);
        sqlite3_close(h);
    }

private:
    std::filesystem::path dir_;
};

inline std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

}  // namespace lumo::test
