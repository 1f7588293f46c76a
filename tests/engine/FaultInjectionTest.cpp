// The fault switch: which calls count as steps, what a failing step
// throws, and that the database is left as the real failure would leave it.
#include "platform/FaultInjection.h"

#include <sqlite3.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "platform/Error.h"
#include "engine/Recordset.h"
#include "tests/engine/TestDatabase.h"

using namespace lumo::db;
using lumo::Error;
using lumo::test::TestDatabase;
using lumo::test::kEngineTables;

namespace {

// The description of the failure `call` throws; "" when it throws none.
std::string failureOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const Error& e) {
        return e.what();
    }
    return "";
}

long long count(const TestDatabase& db, const std::string& sql) {
    sqlite3* h = nullptr;
    sqlite3_open_v2(db.path().c_str(), &h, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(h, sql.c_str(), -1, &st, nullptr);
    const long long n = sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int64(st, 0) : -1;
    sqlite3_finalize(st);
    sqlite3_close(h);
    return n;
}

class FaultInjectionTest : public ::testing::Test {
protected:
    void SetUp() override { cn.Open(db.connectionString()); }
    void TearDown() override { disarmFault(); }
    long long persons() { return count(db, "SELECT COUNT(*) FROM T_PERSON"); }

    TestDatabase db{kEngineTables};
    Connection cn;
};

// One case per kind of step: the call made to fail at its first step, the
// text it must throw, and the step recorded.
struct StepCase {
    const char* name;
    FaultStep step;
    std::function<void(Connection&, Recordset&)> arrange;  // runs before arming
    std::function<void(Connection&, Recordset&)> call;
    const char* expected;
};

TEST_F(FaultInjectionTest, EachKindOfCallFailsAsTheEngineWould) {
    const auto openTable = [](Connection& c, Recordset& rs) { rs.Open("T_PERSON", c, adOpenKeyset, adLockOptimistic, adCmdTable); };
    const StepCase cases[] = {
        {"Execute", FaultStep::Execute, {}, [](Connection& c, Recordset&) { c.Execute("DELETE FROM T_PHONE"); },
         "SQL 文を実行できません: disk I/O error"},
        {"BeginTrans", FaultStep::BeginTrans, {}, [](Connection& c, Recordset&) { c.BeginTrans(); },
         "トランザクションを開始できません: disk I/O error"},
        {"RecordsetOpen", FaultStep::RecordsetOpen, {}, openTable, "SQL 文を実行できません: disk I/O error"},
        {"AddNew", FaultStep::AddNew, openTable, [](Connection&, Recordset& rs) { rs.AddNew(); },
         "レコードを追加できません: disk I/O error"},
        {"Update", FaultStep::Update, openTable,
         [](Connection&, Recordset& rs) {
             rs.Fields("LASTNAME") = Variant(std::string("佐藤"));
             rs.Update();
         },
         "レコードを更新できません: disk I/O error"},
        {"Delete", FaultStep::Delete, openTable, [](Connection&, Recordset& rs) { rs.Delete(); },
         "レコードを削除できません: disk I/O error"},
        {"MoveNext", FaultStep::Move, openTable, [](Connection&, Recordset& rs) { rs.MoveNext(); },
         "レコードを読み取れません: disk I/O error"},
        {"MoveLast", FaultStep::Move, openTable, [](Connection&, Recordset& rs) { rs.MoveLast(); },
         "レコードを読み取れません: disk I/O error"},
    };
    for (const StepCase& c : cases) {
        SCOPED_TRACE(c.name);
        Recordset rs;
        if (c.arrange) c.arrange(cn, rs);
        const long long before = persons();
        {
            ScopedFault fault({.failAt = 1});
            EXPECT_EQ(failureOf([&] { c.call(cn, rs); }), c.expected);
        }
        const FaultRecord record = faultRecord();
        EXPECT_EQ(record.steps, 1u);
        EXPECT_EQ(record.failures, 1u);
        EXPECT_EQ(record.firstFailed, c.step);
        EXPECT_EQ(persons(), before) << "a failed call changes nothing";
        EXPECT_FALSE(cn.InTransaction());
        // Disarmed, the same call works.
        EXPECT_EQ(failureOf([&] { c.call(cn, rs); }), "");
        if (cn.InTransaction()) cn.RollbackTrans();
    }
}

TEST_F(FaultInjectionTest, OpenFailsWithThePathInTheText) {
    Connection other;
    ScopedFault fault({.failAt = 1, .kind = FaultKind::Locked});
    EXPECT_EQ(failureOf([&] { other.Open(db.connectionString()); }),
              "データベース ファイル '" + db.path() + "' を開けません: database is locked");
    EXPECT_FALSE(other.IsOpen());
    EXPECT_EQ(failureOf([&] { other.Open(db.connectionString()); }), "") << "only the first step fails";
}

TEST_F(FaultInjectionTest, FailedCommitKeepsTheTransactionForTheRollback) {
    const long long before = persons();
    cn.BeginTrans();
    cn.Execute("INSERT INTO T_PERSON (LASTNAME) VALUES ('新')");
    {
        ScopedFault fault({.failAt = 1, .kind = FaultKind::DiskFull});
        EXPECT_EQ(failureOf([&] { cn.CommitTrans(); }), "コミットできません: database or disk is full");
    }
    EXPECT_TRUE(cn.InTransaction());
    cn.RollbackTrans();
    EXPECT_EQ(persons(), before);
}

TEST_F(FaultInjectionTest, FailedRollbackStillEndsTheTransaction) {
    const long long before = persons();
    cn.BeginTrans();
    cn.Execute("INSERT INTO T_PERSON (LASTNAME) VALUES ('新')");
    {
        ScopedFault fault({.failAt = 1});
        EXPECT_EQ(failureOf([&] { cn.RollbackTrans(); }), "ロールバックできません: disk I/O error");
    }
    EXPECT_FALSE(cn.InTransaction());
    EXPECT_EQ(persons(), before);
    cn.Execute("INSERT INTO T_PERSON (LASTNAME) VALUES ('次')");  // commits on its own again
    EXPECT_EQ(persons(), before + 1);
}

TEST_F(FaultInjectionTest, OnlyTheNamedStepFailsUnlessSticky) {
    // Plain fields, the plan made in the loop: GCC 12 at -O2 takes the
    // strings of a FaultPlan inside a table's braces for uninitialized.
    const struct {
        std::uint64_t failAt;
        bool sticky;
        std::string_view outcomes;  // per call: '.' works, 'x' fails
    } cases[] = {
        {3, false, "..x..."},
        {2, true, ".xxxxx"},
        {7, false, "......"},
    };
    for (const auto& c : cases) {
        ScopedFault fault({.failAt = c.failAt, .sticky = c.sticky});
        std::string got;
        for (int i = 0; i < 6; ++i)
            got += failureOf([&] { cn.Execute("UPDATE T_PERSON SET AGE = 1 WHERE PERSON_ID = 1"); }).empty() ? '.' : 'x';
        EXPECT_EQ(got, c.outcomes) << "failAt " << c.failAt;
        EXPECT_EQ(faultRecord().steps, 6u);
        EXPECT_EQ(faultRecord().fired(), c.outcomes.find('x') != std::string_view::npos);
    }
}

TEST_F(FaultInjectionTest, StepsCountOnlyOnTheChosenConnectionOrFile) {
    TestDatabase otherDb{kEngineTables};
    Connection second, elsewhere;
    second.Open(db.connectionString());
    elsewhere.Open(otherDb.connectionString());
    const auto run = [&](Connection& c) { return failureOf([&] { c.Execute("UPDATE T_PERSON SET AGE = 2"); }).empty() ? '.' : 'x'; };

    {
        ScopedFault fault({.failAt = 2, .connection = faultIdentity(second)});
        std::string got;
        for (Connection* c : {&cn, &second, &elsewhere, &cn, &second}) got += run(*c);
        EXPECT_EQ(got, "....x");
        EXPECT_EQ(faultRecord().steps, 2u);
    }
    {
        std::string path = db.path();
        for (char& ch : path) if (ch == '/') ch = '\\';  // as a Windows connection string writes it
        ScopedFault fault({.failAt = 3, .dataSource = path});
        std::string got;
        for (Connection* c : {&cn, &elsewhere, &second, &elsewhere, &cn}) got += run(*c);
        EXPECT_EQ(got, "....x");
        EXPECT_EQ(faultRecord().steps, 3u);
    }
}

TEST_F(FaultInjectionTest, NothingIsCountedWhileDisarmed) {
    armFault({.failAt = 1});
    disarmFault();
    Recordset rs;
    rs.Open("SELECT * FROM T_PERSON", cn, adOpenKeyset, adLockReadOnly, adCmdText);
    rs.MoveNext();
    EXPECT_EQ(faultRecord().steps, 0u);
    EXPECT_FALSE(faultRecord().fired());
}

TEST_F(FaultInjectionTest, PausedStepsAreNeitherCountedNorFailed) {
    ScopedFault fault({.failAt = 2});
    std::string got;
    const auto run = [&] { got += failureOf([&] { cn.Execute("UPDATE T_PERSON SET AGE = 3"); }).empty() ? '.' : 'x'; };
    run();
    {
        FaultPause setup;
        run();
        run();
    }
    run();
    EXPECT_EQ(got, "...x");
    EXPECT_EQ(faultRecord().steps, 2u);
}

TEST(FaultKinds, EngineTextsAndSystemErrors) {
    EXPECT_EQ(faultDescription(FaultKind::DiskIo), "disk I/O error");
    EXPECT_EQ(faultDescription(FaultKind::Locked), "database is locked");
    EXPECT_EQ(faultDescription(FaultKind::DiskFull), "database or disk is full");
    EXPECT_EQ(faultErrno(FaultKind::DiskFull), ENOSPC);
    EXPECT_EQ(faultErrno(FaultKind::DiskIo), EIO);
    ScopedFault fault({.failAt = 2, .kind = FaultKind::DiskFull, .onlyStep = FaultStep::FileWrite});
    EXPECT_EQ(fileFault(FaultStep::FileWrite, "/tmp/a.csv"), 0);
    EXPECT_EQ(fileFault(FaultStep::Publish, "/tmp/a.csv"), 0) << "another kind of step is not counted";
    EXPECT_EQ(fileFault(FaultStep::FileWrite, "/tmp/a.csv"), ENOSPC);
    EXPECT_EQ(faultRecord().firstFailed, FaultStep::FileWrite);
}

}  // namespace
