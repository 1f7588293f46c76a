#pragma once
// A scratch database file of the suite's kind (application id 'LUMO') with
// tables of the test's own choosing, removed when the test ends.
#include <sqlite3.h>

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include "engine/Connection.h"
#include "engine/ConnectionString.h"
#include "engine/Recordset.h"

namespace lumo::test {

class TestDatabase {
public:
    enum class Journal { Rollback, Wal };

    explicit TestDatabase(const std::string& ddl, Journal journal = Journal::Rollback) {
        static int counter = 0;
        path_ = std::filesystem::temp_directory_path() /
                ("lumo_engine_" + std::to_string(::getpid()) + "_" + std::to_string(counter++) + ".mdb");
        std::filesystem::remove(path_);
        sqlite3* db = nullptr;
        EXPECT_EQ(sqlite3_open(path_.c_str(), &db), SQLITE_OK);
        char* err = nullptr;
        std::string all = "PRAGMA application_id = 1280658767;" + ddl;
        if (journal == Journal::Wal) all += "PRAGMA journal_mode = WAL;";
        EXPECT_EQ(sqlite3_exec(db, all.c_str(), nullptr, nullptr, &err), SQLITE_OK) << (err ? err : "");
        sqlite3_free(err);
        sqlite3_close(db);
    }
    ~TestDatabase() {
        std::filesystem::remove(path_);
        std::filesystem::remove(path_.string() + "-wal");
        std::filesystem::remove(path_.string() + "-shm");
    }
    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;

    std::string path() const { return path_.string(); }
    std::string connectionString() const { return lumo::db::jetConnectionString(path()); }

private:
    std::filesystem::path path_;
};

// The first column of every row of a statement, as text ("<null>" for
// Null), in the order the engine gives them.
inline std::vector<std::string> firstColumn(lumo::db::Connection& cn, const std::string& sql) {
    using namespace lumo::db;
    Recordset rs;
    rs.Open(sql, cn, adOpenStatic, adLockReadOnly, adCmdText);
    std::vector<std::string> out;
    for (; !rs.Eof(); rs.MoveNext())
        out.push_back(rs.Fields(0).Value().isNull() ? "<null>" : rs.Fields(0).Value().toString());
    return out;
}

// A write by another program, straight through SQLite.
inline void writeDirectly(const TestDatabase& file, const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.path().c_str(), &db), SQLITE_OK);
    char* err = nullptr;
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err), SQLITE_OK) << (err ? err : "");
    sqlite3_free(err);
    sqlite3_close(db);
}

// The tables the engine tests use: one of each column type.
inline constexpr const char* kEngineTables = R"sql(
CREATE TABLE T_GROUPING (TYPE_ID INTEGER PRIMARY KEY AUTOINCREMENT, LABEL TEXT COLLATE NOCASE,
                         "DEFAULT" YESNO NOT NULL DEFAULT 0);
CREATE TABLE T_PERSON (PERSON_ID INTEGER PRIMARY KEY AUTOINCREMENT, TYPE_ID LONG, LASTNAME TEXT COLLATE NOCASE,
                       FIRSTNAME TEXT COLLATE NOCASE, AGE SHORT, BIRTHDAY DATETIME, NOTE MEMO COLLATE NOCASE,
                       "DEFAULT" TEXT COLLATE NOCASE, SCORE DOUBLE, CHK_FLAG YESNO NOT NULL DEFAULT 0);
CREATE TABLE T_PHONE (PHONE_ID INTEGER PRIMARY KEY AUTOINCREMENT, PERSON_ID LONG, TEL_NUMBER TEXT COLLATE NOCASE,
                      TYPE TEXT COLLATE NOCASE, RANK SHORT);
CREATE VIEW vwHomePhone AS SELECT PERSON_ID, TEL_NUMBER FROM T_PHONE WHERE TYPE = 'HOME';
INSERT INTO T_GROUPING (LABEL, "DEFAULT") VALUES ('未分類', -1), ('友人', 0);
INSERT INTO T_PERSON (TYPE_ID, LASTNAME, FIRSTNAME, AGE, BIRTHDAY, "DEFAULT") VALUES
  (1, '山田', '太郎', 40, 30000.5, 'OFFICE'), (2, 'O''Brien', NULL, NULL, NULL, NULL), (2, NULL, 'Ann', 3, NULL, NULL);
INSERT INTO T_PHONE (PERSON_ID, TEL_NUMBER, TYPE, RANK) VALUES (1, '03-1111-2222', 'HOME', 1), (1, '090-0000-0000', 'MOBILE', 2),
  (2, '06-3333-4444', 'HOME', 1);
)sql";

}  // namespace lumo::test
