#include "engine/Recordset.h"

#include <gtest/gtest.h>

#include "platform/Error.h"
#include "tests/engine/TestDatabase.h"

using namespace lumo::db;
using lumo::Error;
using lumo::test::TestDatabase;
using lumo::test::kEngineTables;

namespace {

class RecordsetTest : public ::testing::Test {
protected:
    void SetUp() override { cn.Open(db.connectionString(), "", "", -1); }
    TestDatabase db{kEngineTables};
    Connection cn;
};

}  // namespace

TEST_F(RecordsetTest, EmptyResultIsBothBofAndEof) {
    Recordset rs;
    rs.Open("SELECT * FROM T_PERSON WHERE T_PERSON.PERSON_ID = 999", cn, adOpenKeyset, adLockReadOnly, -1);
    EXPECT_TRUE(rs.Eof());
    EXPECT_TRUE(rs.Bof());
    EXPECT_EQ(rs.RecordCount(), 0);
    EXPECT_THROW(rs.Fields("LASTNAME").Value(), Error);
    EXPECT_THROW(rs.MoveNext(), Error);
}

TEST_F(RecordsetTest, NavigationAndCount) {
    Recordset rs;
    rs.Open("SELECT * FROM T_PHONE WHERE PERSON_ID = 1 ORDER BY T_PHONE.RANK DESC", cn, adOpenKeyset, adLockReadOnly, -1);
    EXPECT_EQ(rs.RecordCount(), 2);
    EXPECT_FALSE(rs.Bof());
    EXPECT_EQ(rs.Fields("TEL_NUMBER").Value().toString(), "090-0000-0000");
    rs.MoveNext();
    EXPECT_EQ(rs.Fields("tel_number").Value().toString(), "03-1111-2222");  // names ignore case
    rs.MoveNext();
    EXPECT_TRUE(rs.Eof());
    rs.MoveFirst();
    EXPECT_EQ(rs.Fields("RANK").Value().toLong(), 2);
    rs.MoveLast();
    EXPECT_EQ(rs.Fields("RANK").Value().toLong(), 1);
    EXPECT_THROW(rs.Fields("NO_SUCH_COLUMN"), Error);
}

TEST_F(RecordsetTest, ValuesTakeTheirTypesFromTheDeclaredColumns) {
    Recordset rs;
    rs.Open("SELECT * FROM T_PERSON ORDER BY PERSON_ID", cn, adOpenKeyset, adLockReadOnly, adCmdText);
    EXPECT_EQ(rs.Fields("PERSON_ID").Value().type(), VarType::Long);
    EXPECT_EQ(rs.Fields("AGE").Value().type(), VarType::Integer);
    EXPECT_EQ(rs.Fields("BIRTHDAY").Value().type(), VarType::Date);
    EXPECT_DOUBLE_EQ(rs.Fields("BIRTHDAY").Value().toDate(), 30000.5);
    EXPECT_EQ(rs.Fields("CHK_FLAG").Value().type(), VarType::Boolean);
    EXPECT_EQ(rs.Fields("DEFAULT").Value().toString(), "OFFICE");
    rs.MoveNext();
    EXPECT_TRUE(rs.Fields("FIRSTNAME").Value().isNull());
    EXPECT_TRUE(rs.Fields("BIRTHDAY").Value().isNull());
    EXPECT_THROW(rs.Fields("AGE").Value().toInteger(), Error);  // Null to a number fails

    Recordset g;
    g.Open("SELECT * FROM T_GROUPING WHERE DEFAULT = -1", cn, adOpenKeyset, adLockPessimistic, adCmdText);
    ASSERT_EQ(g.RecordCount(), 1);
    EXPECT_EQ(g.Fields("DEFAULT").Value(), Variant(true));
    Recordset c;
    c.Open("SELECT COUNT(*) FROM T_PHONE WHERE PERSON_ID = 1", cn, adOpenKeyset, adLockPessimistic, adCmdText);
    EXPECT_EQ(c.Fields(0).Value(), Variant(int32_t{2}));
}

TEST_F(RecordsetTest, TextComparesIgnoringAsciiCase) {
    Recordset rs;
    rs.Open("SELECT * FROM T_PERSON WHERE LASTNAME = 'o''brien'", cn, adOpenKeyset, adLockReadOnly, adCmdText);
    EXPECT_EQ(rs.RecordCount(), 1);
    Recordset like;
    like.Open("SELECT * FROM T_PERSON WHERE FIRSTNAME LIKE '%AN%'", cn, adOpenKeyset, adLockReadOnly, adCmdText);
    EXPECT_EQ(like.RecordCount(), 1);
}

TEST_F(RecordsetTest, ConcatTreatsNullAsEmptyUnlessAllAreNull) {
    Recordset rs;
    rs.Open("SELECT (LASTNAME & FIRSTNAME) AS N, (FIRSTNAME & NOTE) AS M FROM T_PERSON ORDER BY PERSON_ID", cn,
            adOpenKeyset, adLockReadOnly, adCmdText);
    EXPECT_EQ(rs.Fields("N").Value().toString(), "山田太郎");
    rs.MoveNext();
    EXPECT_EQ(rs.Fields("N").Value().toString(), "O'Brien");
    EXPECT_TRUE(rs.Fields("M").Value().isNull());
}

TEST_F(RecordsetTest, JetNamesForJoinsAndViews) {
    Recordset rs;
    rs.Open("SELECT T_PERSON.PERSON_ID, T_PHONE.PERSON_ID, vwHomePhone.TEL_NUMBER, T_GROUPING.LABEL FROM T_GROUPING INNER JOIN "
            "((T_PERSON LEFT JOIN vwHomePhone ON T_PERSON.PERSON_ID = vwHomePhone.PERSON_ID) LEFT JOIN T_PHONE ON "
            "T_PERSON.PERSON_ID = T_PHONE.PERSON_ID) ON T_GROUPING.TYPE_ID = T_PERSON.TYPE_ID",
            cn, adOpenKeyset, adLockReadOnly, adCmdText);
    EXPECT_EQ(rs.Fields(0).Name(), "T_PERSON.PERSON_ID");
    EXPECT_EQ(rs.Fields(1).Name(), "T_PHONE.PERSON_ID");
    EXPECT_EQ(rs.Fields(2).Name(), "TEL_NUMBER");
    EXPECT_EQ(rs.Fields(3).Name(), "LABEL");
    EXPECT_THROW(rs.Fields("LABEL") = "x", Error);  // joins are read-only
    EXPECT_THROW(rs.AddNew(), Error);

    Recordset right;
    right.Open("SELECT T_PHONE.TEL_NUMBER, T_PERSON.LASTNAME FROM T_PERSON RIGHT JOIN T_PHONE ON T_PERSON.PERSON_ID = "
               "T_PHONE.PERSON_ID WHERE T_PHONE.PERSON_ID IN (SELECT PERSON_ID FROM T_PERSON WHERE TYPE_ID = 2)",
               cn, adOpenKeyset, adLockReadOnly, adCmdText);
    EXPECT_EQ(right.RecordCount(), 1);

    Recordset view;
    view.Open("SELECT * FROM vwHomePhone", cn, adOpenKeyset, adLockOptimistic, adCmdText);
    EXPECT_EQ(view.RecordCount(), 2);
    EXPECT_THROW(view.Fields("TEL_NUMBER") = "1", Error);  // views are read-only
}

TEST_F(RecordsetTest, AddNewMakesTheNewRowCurrentWithKeyAndDefaults) {
    Recordset rs;
    rs.Open("SELECT * FROM T_GROUPING", cn, adOpenKeyset, adLockOptimistic, adCmdText);
    const int32_t before = rs.RecordCount();
    rs.AddNew();
    rs.Fields("LABEL") = "仕事";
    rs.Update();
    EXPECT_EQ(rs.RecordCount(), before + 1);
    EXPECT_EQ(rs.Fields("TYPE_ID").Value().toLong(), 3);
    EXPECT_EQ(rs.Fields("DEFAULT").Value(), Variant(false));
    EXPECT_EQ(rs.Fields("LABEL").Value().toString(), "仕事");
    EXPECT_THROW(rs.Fields("TYPE_ID") = int32_t{9}, Error);  // AutoNumber keys are the engine's

    Recordset empty;  // an empty single-table recordset takes inserts too
    empty.Open("SELECT * FROM T_PHONE WHERE PERSON_ID = 77", cn, adOpenKeyset, adLockOptimistic, adCmdText);
    empty.AddNew();
    empty.Fields("PERSON_ID") = "77";  // converted to the column's type
    empty.Fields("RANK") = 1.0;
    empty.Update();
    EXPECT_EQ(empty.Fields("PERSON_ID").Value(), Variant(int32_t{77}));
    EXPECT_EQ(empty.Fields("RANK").Value(), Variant(int16_t{1}));
    EXPECT_FALSE(empty.Eof());
}

TEST_F(RecordsetTest, AssignmentAndUpdateRewriteTheCurrentRow) {
    {
        Recordset rs;
        rs.Open("SELECT * FROM T_PERSON WHERE PERSON_ID = 2", cn, adOpenKeyset, adLockOptimistic, 1);
        rs.Fields("FIRSTNAME") = "Pat";
        rs.Fields("BIRTHDAY") = Variant::date(40000);
        rs.Fields("LASTNAME") = Variant::null();
        rs.Update();
        EXPECT_EQ(rs.Fields("FIRSTNAME").Value().toString(), "Pat");
    }
    Recordset check;
    check.Open("SELECT * FROM T_PERSON WHERE PERSON_ID = 2", cn, adOpenKeyset, adLockReadOnly, 1);
    EXPECT_EQ(check.Fields("FIRSTNAME").Value().toString(), "Pat");
    EXPECT_DOUBLE_EQ(check.Fields("BIRTHDAY").Value().toDate(), 40000);
    EXPECT_TRUE(check.Fields("LASTNAME").Value().isNull());
    EXPECT_THROW(check.Fields("FIRSTNAME") = "x", Error);  // opened read-only
}

TEST_F(RecordsetTest, WritingWithoutACurrentRowFails) {
    Recordset rs;
    rs.Open("SELECT * FROM T_PERSON WHERE PERSON_ID = 999", cn, adOpenKeyset, adLockOptimistic, 1);
    EXPECT_THROW(rs.Fields("LASTNAME") = "x", Error);
    Recordset all;
    all.Open("SELECT * FROM T_PHONE", cn, adOpenKeyset, adLockOptimistic, 1);
    while (!all.Eof()) all.MoveNext();
    EXPECT_THROW(all.Fields("TEL_NUMBER") = "x", Error);
}

TEST_F(RecordsetTest, DeleteRemovesTheRowAndTheLoopCarriesOn) {
    Recordset rs;
    rs.Open("SELECT * FROM T_PHONE WHERE PERSON_ID = 1", cn, adOpenKeyset, adLockOptimistic, adCmdText);
    ASSERT_EQ(rs.RecordCount(), 2);
    int deleted = 0;
    while (!rs.Eof()) {
        rs.Delete(adAffectCurrent);
        EXPECT_THROW(rs.Fields("TEL_NUMBER").Value(), Error);  // the deleted row is gone
        ++deleted;
        rs.MoveNext();
    }
    EXPECT_EQ(deleted, 2);
    EXPECT_EQ(rs.RecordCount(), 0);
    Recordset check;
    check.Open("SELECT COUNT(*) FROM T_PHONE", cn, adOpenKeyset, adLockReadOnly, adCmdText);
    EXPECT_EQ(check.Fields(0).Value().toLong(), 1);
}

TEST_F(RecordsetTest, RepeatedShapesWithOtherLiteralsReadTheirOwnRows) {
    // Statements are cached by shape; the literals must still decide the rows.
    for (int id : {1, 2, 3, 1}) {
        Recordset rs;
        rs.Open("SELECT * FROM T_PERSON WHERE T_PERSON.PERSON_ID = " + std::to_string(id), cn, adOpenKeyset,
                adLockReadOnly, -1);
        ASSERT_EQ(rs.RecordCount(), 1);
        EXPECT_EQ(rs.Fields("PERSON_ID").Value().toLong(), id);
    }
    for (int i = 0; i < 300; ++i) {  // more shapes than the cache holds
        Recordset rs;
        rs.Open("SELECT PERSON_ID AS C" + std::to_string(i) + " FROM T_PERSON WHERE PERSON_ID = 1", cn, adOpenKeyset,
                adLockReadOnly, -1);
        EXPECT_EQ(rs.Fields("C" + std::to_string(i)).Value().toLong(), 1);
    }
}

// Past a thousand rows a one-table recordset keeps only row identities and
// reads each row when the cursor reaches it; it must behave the same.
TEST_F(RecordsetTest, LargeOneTableResultsBehaveLikeSmallOnes) {
    cn.BeginTrans();
    for (int i = 0; i < 3000; ++i)
        cn.Execute("INSERT INTO T_PHONE (PERSON_ID, TEL_NUMBER, RANK) VALUES (9, 'N" + std::to_string(i) + "', " +
                   std::to_string(i % 7) + ")");
    cn.CommitTrans();

    Recordset rs;
    rs.Open("SELECT * FROM T_PHONE WHERE PERSON_ID = 9 ORDER BY PHONE_ID", cn, adOpenStatic, adLockPessimistic, adCmdText);
    ASSERT_EQ(rs.RecordCount(), 3000);
    int seen = 0;
    for (; !rs.Eof(); rs.MoveNext(), ++seen) {
        ASSERT_EQ(rs.Fields("TEL_NUMBER").Value().toString(), "N" + std::to_string(seen));
        ASSERT_EQ(rs.Fields("RANK").Value(), Variant(static_cast<int16_t>(seen % 7)));
    }
    EXPECT_EQ(seen, 3000);

    rs.MoveFirst();
    rs.MoveNext();
    rs.Fields("TEL_NUMBER") = "変更";
    rs.Update();
    EXPECT_EQ(rs.Fields("TEL_NUMBER").Value().toString(), "変更");
    rs.Delete(adAffectCurrent);
    rs.MoveNext();
    EXPECT_EQ(rs.Fields("TEL_NUMBER").Value().toString(), "N2");
    EXPECT_EQ(rs.RecordCount(), 2999);
    rs.AddNew();
    rs.Fields("PERSON_ID") = int32_t{9};
    rs.Fields("TEL_NUMBER") = "新";
    rs.Update();
    EXPECT_EQ(rs.RecordCount(), 3000);
    EXPECT_EQ(rs.Fields("TEL_NUMBER").Value().toString(), "新");
    EXPECT_GT(rs.Fields("PHONE_ID").Value().toLong(), 3000);
    rs.MoveLast();
    EXPECT_EQ(rs.Fields("TEL_NUMBER").Value().toString(), "新");

    Recordset check;
    check.Open("SELECT COUNT(*) FROM T_PHONE WHERE PERSON_ID = 9 AND TEL_NUMBER = '変更'", cn, adOpenStatic,
               adLockReadOnly, adCmdText);
    EXPECT_EQ(check.Fields(0).Value().toLong(), 0);  // it was deleted after the change
}

// A recordset's state is taken over by the next recordset of its thread
// once it is gone: whatever the one before left, the next starts closed and
// then holds just its own rows, fields and edits.
TEST_F(RecordsetTest, ARecordsetStartsAfreshWhateverTheOneBeforeLeft) {
    struct Leftover {
        const char* what;
        void (*leave)(Recordset&, Connection&);
    };
    const Leftover leftovers[] = {
        {"read to its end", [](Recordset& rs, Connection& cn) {
             rs.Open("SELECT * FROM T_PERSON ORDER BY PERSON_ID", cn, adOpenKeyset, adLockReadOnly, 1);
             while (!rs.Eof()) rs.MoveNext();
         }},
        {"a row added but not stored", [](Recordset& rs, Connection& cn) {
             rs.Open("SELECT * FROM T_PHONE WHERE PERSON_ID = 1", cn, adOpenKeyset, adLockOptimistic, 1);
             rs.AddNew();
             rs.Fields("PERSON_ID") = int32_t{1};
             rs.Fields("TEL_NUMBER") = "000-left-over";
         }},
        {"a row changed but not stored", [](Recordset& rs, Connection& cn) {
             rs.Open("SELECT * FROM T_PHONE WHERE PERSON_ID = 1 ORDER BY T_PHONE.RANK DESC", cn, adOpenKeyset,
                     adLockOptimistic, 1);
             rs.Fields("TEL_NUMBER") = "000-left-over";
         }},
        {"its current row deleted", [](Recordset& rs, Connection& cn) {
             rs.Open("SELECT * FROM T_PHONE WHERE PERSON_ID = 1", cn, adOpenKeyset, adLockOptimistic, 1);
             rs.AddNew();
             rs.Fields("PERSON_ID") = int32_t{1};
             rs.Fields("TEL_NUMBER") = "000-left-over";
             rs.Update();
             rs.Delete();
         }},
        {"a failed open", [](Recordset& rs, Connection& cn) {
             EXPECT_THROW(rs.Open("SELECT NO_SUCH_COLUMN FROM T_PHONE", cn, adOpenKeyset, adLockReadOnly, 1), Error);
         }},
        {"a table opened whole, never read", [](Recordset& rs, Connection& cn) {
             rs.Open("T_PHONE", cn, adOpenKeyset, adLockOptimistic, adCmdTable);
         }},
        {"closed", [](Recordset& rs, Connection& cn) {
             rs.Open("SELECT * FROM T_GROUPING", cn, adOpenKeyset, adLockReadOnly, 1);
             (void)rs.Fields("LABEL").Value();
             rs.Close();
         }},
    };
    for (const Leftover& leftover : leftovers) {
        SCOPED_TRACE(leftover.what);
        for (int i = 0; i < 6; ++i) {  // more than a thread keeps, so that every kept state comes back
            Recordset before;
            leftover.leave(before, cn);
        }
        for (int i = 0; i < 6; ++i) {
            Recordset rs;
            EXPECT_FALSE(rs.IsOpen());
            EXPECT_THROW(rs.Eof(), Error);
            rs.Open("SELECT * FROM T_PHONE WHERE PERSON_ID = 1 ORDER BY T_PHONE.RANK DESC", cn, adOpenKeyset,
                    adLockReadOnly, 1);
            ASSERT_EQ(rs.RecordCount(), 2);
            EXPECT_EQ(rs.Fields("TEL_NUMBER").Value().toString(), "090-0000-0000");
            EXPECT_EQ(rs.Fields("RANK").Value().toLong(), 2);
            rs.MoveNext();
            EXPECT_EQ(rs.Fields("TEL_NUMBER").Value().toString(), "03-1111-2222");
            rs.MoveNext();
            EXPECT_TRUE(rs.Eof());
        }
    }
    // Nothing left over was stored.
    Recordset check;
    check.Open("SELECT * FROM T_PHONE WHERE TEL_NUMBER = '000-left-over'", cn, adOpenKeyset, adLockReadOnly, 1);
    EXPECT_EQ(check.RecordCount(), 0);
}
