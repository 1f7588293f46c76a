// Reads share one read transaction between writes (write-ahead log files
// only); what one connection or program writes must still show up.
#include <sqlite3.h>

#include <thread>

#include <gtest/gtest.h>

#include "ConnectionImpl.h"
#include "engine/Recordset.h"
#include "tests/engine/TestDatabase.h"

using namespace lumo::db;
using lumo::test::TestDatabase;
using lumo::test::kEngineTables;

namespace {

int32_t phones(Connection& cn) {
    Recordset rs;
    rs.Open("SELECT COUNT(*) FROM T_PHONE", cn, adOpenStatic, adLockReadOnly, adCmdText);
    return rs.Fields(0).Value().toLong();
}

// A writer that is not one of ours: another program on the same file.
void writeOutside(const std::string& path, const char* sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    sqlite3_busy_timeout(db, 0);  // a blocked writer fails at once
    EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
}

class ReadSnapshotTest : public ::testing::Test {
protected:
    TestDatabase db{kEngineTables, TestDatabase::Journal::Wal};
};

}  // namespace

TEST_F(ReadSnapshotTest, WritesOfAnotherConnectionOfThisProcessShowAtOnce) {
    Connection reader, writer;
    reader.Open(db.connectionString());
    writer.Open(db.connectionString());
    EXPECT_EQ(phones(reader), 3);
    writer.Execute("DELETE FROM T_PHONE WHERE PERSON_ID = 1");
    EXPECT_EQ(phones(reader), 1);
    Recordset rs;
    rs.Open("T_PHONE", writer, adOpenKeyset, adLockOptimistic, adCmdTable);
    rs.AddNew();
    rs.Fields("PERSON_ID") = int32_t{2};
    rs.Update();
    EXPECT_EQ(phones(reader), 2);
    writer.BeginTrans();
    writer.Execute("DELETE FROM T_PHONE");
    EXPECT_EQ(phones(reader), 2);  // not committed yet
    writer.CommitTrans();
    EXPECT_EQ(phones(reader), 0);
}

TEST_F(ReadSnapshotTest, OwnWritesShowAndOtherProgramsAreNotBlocked) {
    Connection cn;
    cn.Open(db.connectionString());
    EXPECT_EQ(phones(cn), 3);
    cn.Execute("DELETE FROM T_PHONE WHERE PERSON_ID = 2");
    EXPECT_EQ(phones(cn), 2);
    // The open read transaction of `cn` must not block another program.
    writeOutside(db.path(), "DELETE FROM T_PHONE WHERE PERSON_ID = 1");
    std::this_thread::sleep_for(ReadSnapshot::kMaxAge + std::chrono::milliseconds(50));
    EXPECT_EQ(phones(cn), 0);  // an older snapshot is renewed
}

TEST_F(ReadSnapshotTest, RollbackJournalFilesKeepNoReadTransactionOpen) {
    TestDatabase rollback{kEngineTables};
    Connection cn;
    cn.Open(rollback.connectionString());
    EXPECT_EQ(phones(cn), 3);
    writeOutside(rollback.path(), "DELETE FROM T_PHONE");  // would fail if `cn` still held its lock
    EXPECT_EQ(phones(cn), 0);
}
