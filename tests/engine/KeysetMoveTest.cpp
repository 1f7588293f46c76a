// A large one-table result keeps row identities and reads a row when the
// cursor lands on it; moving back to the first or on to the last row must
// show that row, not the one read last.
#include <sqlite3.h>

#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "engine/Recordset.h"
#include "tests/engine/TestDatabase.h"

using namespace lumo::db;
using lumo::test::TestDatabase;
using lumo::test::kEngineTables;

namespace {

constexpr int kRows = 1500;  // past the point where only identities are kept

class KeysetMove : public ::testing::Test {
protected:
    void SetUp() override {
        cn.Open(db.connectionString());
        cn.BeginTrans();
        for (int i = 0; i < kRows; ++i)
            cn.Execute("INSERT INTO T_PHONE (PERSON_ID, TEL_NUMBER, RANK) VALUES (9, 'N" + std::to_string(i) + "', " +
                       std::to_string(i % 7) + ")");
        cn.CommitTrans();
        rs.Open("SELECT * FROM T_PHONE WHERE PERSON_ID = 9 ORDER BY PHONE_ID", cn, adOpenStatic, adLockPessimistic,
                adCmdText);
    }

    std::string here() {
        return rs.Fields("TEL_NUMBER").Value().toString() + "/" + std::to_string(rs.Fields("RANK").Value().toLong());
    }
    static std::string row(int i) { return "N" + std::to_string(i) + "/" + std::to_string(i % 7); }

    TestDatabase db{kEngineTables};
    Connection cn;
    Recordset rs;
};

TEST_F(KeysetMove, FirstAndLastAfterWalkingPastTheKeptRows) {
    struct Step {
        const char* move;
        std::function<void(Recordset&)> apply;
        int expectedRow;
    };
    const Step steps[] = {
        {"MoveFirst after 1,100 rows", [](Recordset& r) { r.MoveFirst(); }, 0},
        {"MoveNext", [](Recordset& r) { r.MoveNext(); }, 1},
        {"MoveLast", [](Recordset& r) { r.MoveLast(); }, kRows - 1},
        {"MoveFirst from the last row", [](Recordset& r) { r.MoveFirst(); }, 0},
        {"MoveLast again", [](Recordset& r) { r.MoveLast(); }, kRows - 1},
    };
    for (int i = 0; i < 1100; ++i) {
        ASSERT_EQ(here(), row(i));
        rs.MoveNext();
    }
    for (const Step& step : steps) {
        SCOPED_TRACE(step.move);
        step.apply(rs);
        EXPECT_EQ(here(), row(step.expectedRow));
    }
}

// The row is read again when the cursor comes back to it: a change made
// meanwhile by another program shows.
TEST_F(KeysetMove, ARowChangedMeanwhileShowsWhenTheCursorReturns) {
    rs.MoveLast();
    EXPECT_EQ(here(), row(kRows - 1));
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(db.path().c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "UPDATE T_PHONE SET TEL_NUMBER = 'changed' WHERE TEL_NUMBER IN ('N0', 'N1499')",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(other);
    rs.MoveFirst();
    EXPECT_EQ(here(), "changed/0");
    rs.MoveLast();
    EXPECT_EQ(here(), "changed/" + std::to_string((kRows - 1) % 7));
}

}  // namespace
