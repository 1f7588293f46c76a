// Two connections writing the same file: a transaction that reads before
// it writes still writes when the other connection wrote in between.
#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "platform/db/Connection.h"
#include "platform/db/Recordset.h"
#include "tests/db/TestDatabase.h"

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

}  // namespace
}  // namespace lumo::test
