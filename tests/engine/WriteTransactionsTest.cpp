// Two connections writing the same file: a transaction that reads before
// it writes still writes when the other connection wrote in between.
#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "ConnectionImpl.h"
#include "platform/Error.h"
#include "engine/Connection.h"
#include "engine/Recordset.h"
#include "tests/engine/TestDatabase.h"

namespace lumo::test {
namespace {

TEST(WriteTransactions, AReadThenAWriteSucceedWhileAnotherConnectionWrites) {
    for (const auto journal : {TestDatabase::Journal::Wal, TestDatabase::Journal::Rollback}) {
        TestDatabase file(kEngineTables, journal);
        db::Connection first, second;
        first.Open(file.connectionString());
        second.Open(file.connectionString());

        first.BeginTrans();
        EXPECT_EQ(firstColumn(first, "SELECT COUNT(*) FROM T_PERSON"), std::vector<std::string>{"3"});
        // The other connection writes while the transaction is open: it
        // waits for the transaction instead of slipping in before its write.
        std::jthread other([&] { second.Execute("INSERT INTO T_PERSON (LASTNAME) VALUES ('second')"); });
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        EXPECT_NO_THROW(first.Execute("INSERT INTO T_PERSON (LASTNAME) VALUES ('first')"));
        first.CommitTrans();
        other.join();
        EXPECT_EQ(firstColumn(first, "SELECT LASTNAME FROM T_PERSON WHERE PERSON_ID > 3 ORDER BY PERSON_ID"),
                  (std::vector<std::string>{"first", "second"}));
    }
}

// SQLite's own COMMIT fails when another program still reads the file (a
// rollback journal needs the readers gone to commit): the failure is
// reported, the transaction stays open with its write, and a second COMMIT,
// once the reader has gone, stores it.
TEST(WriteTransactions, ACommitRefusedByAReaderLeavesTheTransactionOpen) {
    TestDatabase file(kEngineTables, TestDatabase::Journal::Rollback);
    db::Connection cn;
    cn.Open(file.connectionString());
    sqlite3_busy_timeout(db::implOf(cn).handle(), 50);  // the usual 5 s wait, made short for the test
    sqlite3* reader = nullptr;
    ASSERT_EQ(sqlite3_open(file.path().c_str(), &reader), SQLITE_OK);

    cn.BeginTrans();
    cn.Execute("INSERT INTO T_PERSON (LASTNAME) VALUES ('written')");
    // A read transaction of the other program: it holds its shared lock
    // until it ends.
    ASSERT_EQ(sqlite3_exec(reader, "BEGIN; SELECT count(*) FROM T_PERSON", nullptr, nullptr, nullptr), SQLITE_OK);
    try {
        cn.CommitTrans();
        ADD_FAILURE() << "committed past a reader";
    } catch (const lumo::Error& e) {
        EXPECT_EQ(std::string(e.what()), "コミットできません: database is locked");
    }
    EXPECT_TRUE(cn.InTransaction());
    EXPECT_EQ(firstColumn(cn, "SELECT COUNT(*) FROM T_PERSON"), std::vector<std::string>{"4"});  // its own write

    ASSERT_EQ(sqlite3_exec(reader, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
    cn.CommitTrans();
    EXPECT_FALSE(cn.InTransaction());
    sqlite3_stmt* st = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(reader, "SELECT count(*) FROM T_PERSON WHERE LASTNAME = 'written'", -1, &st, nullptr),
              SQLITE_OK);
    ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int(st, 0), 1);
    sqlite3_finalize(st);
    sqlite3_close(reader);
}

}  // namespace
}  // namespace lumo::test
