// Where Jet's '&' stands among the other operators, seen in the rows a
// statement returns: it binds below '+' and '-' and above comparisons and
// LIKE, so `a & b LIKE 'x%'` compares the joined text.
#include <string>

#include <gtest/gtest.h>

#include "engine/Recordset.h"
#include "tests/engine/TestDatabase.h"

using namespace lumo::db;
using lumo::test::TestDatabase;
using lumo::test::kEngineTables;

namespace {

TEST(ConcatPrecedence, RowsSelectedByConditionsOverJoinedText) {
    TestDatabase db{kEngineTables};
    Connection cn;
    cn.Open(db.connectionString());
    cn.Execute("INSERT INTO T_PERSON (TYPE_ID, LASTNAME, FIRSTNAME, AGE) VALUES (1, '山本', '花子', 30), "
               "(1, '山口', NULL, 20), (1, '川山', '山男', 10)");
    struct Case {
        const char* where;
        int rows;
    };
    // The persons: 山田 太郎 (40), O'Brien, Ann (3), 山本 花子 (30), 山口 (20), 川山 山男 (10).
    const Case cases[] = {
        {"LASTNAME & FIRSTNAME LIKE '山%'", 3},
        {"FIRSTNAME & LASTNAME LIKE '山%'", 2},
        {"'x' & LASTNAME LIKE 'x山%'", 3},
        {"LASTNAME & FIRSTNAME = '山田太郎'", 1},
        {"LASTNAME & FIRSTNAME <> '山田太郎' AND LASTNAME LIKE '山%'", 2},
        {"LASTNAME & AGE + 1 = '山田41'", 1},
        {"AGE & 0 = '400'", 1},
        {"NOT LASTNAME & FIRSTNAME LIKE '%山%'", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where);
        Recordset rs;
        rs.Open(std::string("SELECT PERSON_ID FROM T_PERSON WHERE ") + c.where, cn, adOpenStatic, adLockReadOnly,
                adCmdText);
        EXPECT_EQ(rs.RecordCount(), c.rows);
    }
}

// The joined text is read back whole, a NUL inside it included; and Null
// operands count as empty text unless all are Null.
TEST(ConcatPrecedence, JoinedTextKeepsEveryByte) {
    TestDatabase db{kEngineTables};
    lumo::test::writeDirectly(db, "UPDATE T_PERSON SET LASTNAME = CAST(X'61006263' AS TEXT) WHERE PERSON_ID = 3");
    Connection cn;
    cn.Open(db.connectionString());
    Recordset rs;
    rs.Open("SELECT LASTNAME & FIRSTNAME & 'x', FIRSTNAME & NULL FROM T_PERSON ORDER BY PERSON_ID", cn, adOpenStatic,
            adLockReadOnly, adCmdText);
    const std::string expected[][2] = {{"山田太郎x", "太郎"}, {"O'Brienx", "<null>"}, {std::string("a\0bcAnnx", 8), "Ann"}};
    for (const auto& row : expected) {
        ASSERT_FALSE(rs.Eof());
        EXPECT_EQ(rs.Fields(0).Value().toString(), row[0]);
        EXPECT_EQ(rs.Fields(1).Value().isNull() ? "<null>" : rs.Fields(1).Value().toString(), row[1]);
        rs.MoveNext();
    }
    EXPECT_TRUE(rs.Eof());
}

}  // namespace
