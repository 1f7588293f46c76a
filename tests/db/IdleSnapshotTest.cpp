// A connection that read once and then sits idle holds no read
// transaction: another program's writes are checkpointed and the -wal file
// goes back to a small size, however much was written meanwhile.
#include <sqlite3.h>

#include <filesystem>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "platform/Error.h"
#include "platform/db/Recordset.h"
#include "tests/db/TestDatabase.h"

using namespace lumo::db;
using lumo::test::TestDatabase;
using lumo::test::kEngineTables;

namespace {

// Another program: writes 10,000 rows in 100 transactions, then asks for a
// checkpoint that empties the -wal file. Returns whether the checkpoint
// was held up by a reader.
bool writeManyRowsAndCheckpoint(const std::string& path) {
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    sqlite3_busy_timeout(db, 0);
    EXPECT_EQ(sqlite3_exec(db, "PRAGMA synchronous = OFF", nullptr, nullptr, nullptr), SQLITE_OK);
    for (int t = 0; t < 100; ++t) {
        const std::string sql = "BEGIN; WITH RECURSIVE n(k) AS (SELECT 1 UNION ALL SELECT k + 1 FROM n WHERE k < 100) "
                                "INSERT INTO T_PHONE (PERSON_ID, TEL_NUMBER, TYPE) SELECT 7, printf('%080d', k), 'WORK' "
                                "FROM n; COMMIT;";
        EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    }
    int log = 0, checkpointed = 0;
    const int rc = sqlite3_wal_checkpoint_v2(db, nullptr, SQLITE_CHECKPOINT_TRUNCATE, &log, &checkpointed);
    sqlite3_close(db);
    return rc == SQLITE_BUSY;
}

struct ReadOnce {
    const char* name;
    std::function<void(Connection&)> read;
};

TEST(IdleSnapshot, AReaderThatReadOnceDoesNotHoldBackCheckpoints) {
    const ReadOnce ways[] = {
        {"recordset closed",
         [](Connection& cn) {
             Recordset rs;
             rs.Open("SELECT * FROM T_PHONE", cn, adOpenStatic, adLockReadOnly, adCmdText);
             rs.Close();
         }},
        {"recordset destroyed",
         [](Connection& cn) {
             Recordset rs;
             rs.Open("SELECT COUNT(*) FROM T_PHONE", cn, adOpenStatic, adLockReadOnly, adCmdText);
             EXPECT_EQ(rs.Fields(0).Value().toLong(), 3);
         }},
        {"two recordsets, closed in the order opened",
         [](Connection& cn) {
             auto first = std::make_unique<Recordset>();
             first->Open("SELECT * FROM T_PERSON", cn, adOpenStatic, adLockReadOnly, adCmdText);
             Recordset second;
             second.Open("SELECT * FROM T_PHONE", cn, adOpenStatic, adLockReadOnly, adCmdText);
             first.reset();
         }},
        {"table opened whole and navigated",
         [](Connection& cn) {
             Recordset rs;
             rs.Open("T_PHONE", cn, adOpenKeyset, adLockOptimistic, adCmdTable);
             rs.MoveLast();
         }},
        {"a statement that returns rows, run through Execute",
         [](Connection& cn) { cn.Execute("SELECT * FROM T_PHONE"); }},
        {"a recordset that could not open",
         [](Connection& cn) {
             Recordset rs;
             EXPECT_THROW(rs.Open("SELECT NO_SUCH_COLUMN FROM T_PHONE", cn, adOpenStatic, adLockReadOnly, adCmdText),
                          lumo::Error);
         }},
    };
    for (const ReadOnce& way : ways) {
        SCOPED_TRACE(way.name);
        TestDatabase db{kEngineTables, TestDatabase::Journal::Wal};
        Connection reader;
        reader.Open(db.connectionString());
        way.read(reader);
        EXPECT_FALSE(writeManyRowsAndCheckpoint(db.path()));
        std::error_code ec;
        EXPECT_LT(std::filesystem::file_size(db.path() + "-wal", ec), 64u * 1024) << "the -wal file stayed large";

        // The reader still sees what was written.
        Recordset count;
        count.Open("SELECT COUNT(*) FROM T_PHONE WHERE PERSON_ID = 7", reader, adOpenStatic, adLockReadOnly, adCmdText);
        EXPECT_EQ(count.Fields(0).Value().toLong(), 10000);
    }
}

}  // namespace
