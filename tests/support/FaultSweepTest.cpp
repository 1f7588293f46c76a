// The sweep helper on two small writes through the engine: one in a
// transaction, which must show only the old or the new state at every
// failure point, and one without, whose half-done state the sweep must
// catch.
#include "tests/support/FaultSweep.h"

#include <gtest/gtest.h>

#include "platform/ErrorReport.h"
#include "engine/Connection.h"
#include "tests/engine/TestDatabase.h"

namespace lumo::test {
namespace {

// Moves the members of group 2 to group 1 and removes group 2, reporting a
// failure under "TST-0001"; with `transaction` both writes commit together.
bool moveAndRemove(const std::string& connectionString, bool transaction) {
    return reported("TST-0001", [&] {
        db::Connection cn;
        cn.Open(connectionString);
        if (transaction) cn.BeginTrans();
        try {
            cn.Execute("UPDATE T_PERSON SET TYPE_ID = 1 WHERE TYPE_ID = 2");
            cn.Execute("DELETE FROM T_GROUPING WHERE TYPE_ID = 2");
            if (transaction) cn.CommitTrans();
        } catch (...) {
            if (cn.InTransaction()) cn.RollbackTrans();
            throw;
        }
    });
}

class FaultSweepTest : public ::testing::Test {
protected:
    DatabaseDump afterOneRun(bool transaction) {
        TemporaryFolder folder;
        const auto copy = folder.path() / "copy.mdb";
        copyDatabase(db.path(), copy);
        EXPECT_FALSE(moveAndRemove(jetConnectionString(copy), transaction));
        return dumpDatabase(copy);
    }

    TestDatabase db{kEngineTables};
};

TEST_F(FaultSweepTest, TransactionShowsOldOrNewStateAtEveryPoint) {
    const DatabaseDump before = dumpDatabase(db.path());
    const DatabaseDump after = afterOneRun(true);
    ASSERT_NE(before, after);
    std::vector<db::FaultStep> failed;
    const std::uint64_t points = sweepFailures(
        db.path(), [](const std::string& cs) { return moveAndRemove(cs, true); },
        [&](const SweepStep<bool>& s) {
            SCOPED_TRACE("step " + std::to_string(s.step));
            EXPECT_EQ(integrityCheck(s.database), "ok");
            EXPECT_EQ(s.escaped, "");
            if (s.fired) {
                failed.push_back(s.failedCall);
                EXPECT_TRUE(s.result);
                ASSERT_EQ(s.reportCodes(), std::vector<std::string>{"TST-0001"});
                EXPECT_NE(s.reports[0].text.find("disk I/O error"), std::string::npos) << s.reports[0].text;
                EXPECT_EQ(describeDifference(before, s.dump()), "");
            } else {
                EXPECT_FALSE(s.result);
                EXPECT_TRUE(s.reports.empty());
                EXPECT_EQ(describeDifference(after, s.dump()), "");
            }
        });
    // Open, BeginTrans, two statements, CommitTrans.
    EXPECT_EQ(points, 5u);
    EXPECT_EQ(failed, (std::vector<db::FaultStep>{db::FaultStep::Open, db::FaultStep::BeginTrans, db::FaultStep::Execute,
                                                  db::FaultStep::Execute, db::FaultStep::CommitTrans}));
}

TEST_F(FaultSweepTest, WritesWithoutATransactionLeaveAHalfDoneStateThatTheSweepSees) {
    const DatabaseDump before = dumpDatabase(db.path());
    const DatabaseDump after = afterOneRun(false);
    std::vector<std::uint64_t> halfDone;
    const std::uint64_t points = sweepFailures(
        db.path(), [](const std::string& cs) { return moveAndRemove(cs, false); },
        [&](const SweepStep<bool>& s) {
            const DatabaseDump state = s.dump();
            if (state != before && state != after) halfDone.push_back(s.step);
        });
    EXPECT_EQ(points, 3u);
    EXPECT_EQ(halfDone, std::vector<std::uint64_t>{3}) << "the members moved, the group stayed";
}

TEST_F(FaultSweepTest, EscapedExceptionsAndVoidOperationsAndFolders) {
    int runs = 0;
    const std::uint64_t points = sweepFailuresInFolder(
        [&](const std::filesystem::path& folder) { copyDatabase(db.path(), folder / "a.mdb"); },
        [&](const std::filesystem::path& folder) {
            ++runs;
            db::Connection cn;
            cn.Open(jetConnectionString(folder / "a.mdb"));
            cn.Execute("DELETE FROM T_PHONE");
        },
        [&](const SweepStep<std::monostate>& s) {
            EXPECT_TRUE(std::filesystem::exists(s.database / "a.mdb"));
            if (s.fired) EXPECT_NE(s.escaped.find("disk I/O error"), std::string::npos) << s.escaped;
            else EXPECT_EQ(s.escaped, "");
            EXPECT_TRUE(s.reports.empty());
        },
        {.kind = db::FaultKind::DiskIo});
    EXPECT_EQ(points, 2u);
    EXPECT_EQ(runs, 3);
}

TEST(DatabaseDumpTest, DifferencesNameTheRows) {
    TestDatabase a{kEngineTables}, b{kEngineTables};
    EXPECT_EQ(describeDifference(dumpDatabase(a.path()), dumpDatabase(b.path())), "");
    db::Connection cn;
    cn.Open(b.connectionString());
    cn.Execute("UPDATE T_PHONE SET RANK = 9 WHERE PHONE_ID = 3");
    cn.Close();
    const std::string diff = describeDifference(dumpDatabase(a.path()), dumpDatabase(b.path()));
    EXPECT_EQ(diff, "T_PHONE:\n  missing: 3|2|06-3333-4444|HOME|1\n  extra:   3|2|06-3333-4444|HOME|9\n");
    EXPECT_EQ(integrityCheck(b.path()), "ok");
    EXPECT_NE(integrityCheck(b.path() + ".none"), "ok");
}

}  // namespace
}  // namespace lumo::test
