// What the engine keeps from one recordset to the next (the order in which
// fields were asked for, the statements rows are written with) must never
// show in what a later recordset reads or writes.
#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "platform/Error.h"
#include "engine/Recordset.h"
#include "tests/engine/TestDatabase.h"

using namespace lumo::db;
using lumo::Error;
using lumo::test::TestDatabase;
using lumo::test::kEngineTables;

namespace {

class RecordsetReuseTest : public ::testing::Test {
protected:
    void SetUp() override { cn.Open(db.connectionString(), "", "", -1); }
    TestDatabase db{kEngineTables};
    Connection cn;
};

// The value of the field whose name is `name` (ignoring case), found by
// position rather than by the lookup under test.
Variant byPosition(Recordset& rs, const std::string& name) {
    for (int i = 0; i < rs.FieldCount(); ++i) {
        std::string a = rs.Fields(i).Name(), b = name;
        for (char& c : a) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        for (char& c : b) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (a == b) return rs.Fields(i).Value();
    }
    ADD_FAILURE() << "no field " << name;
    return {};
}

}  // namespace

TEST_F(RecordsetReuseTest, FieldsAskedForInAnyOrderAreTheFieldsNamed) {
    // Each list is read on rows of one shape, one open after another, and
    // the lists follow each other on the same shape too.
    const std::vector<std::vector<std::string>> orders = {
        {"PERSON_ID", "TYPE_ID", "LASTNAME", "FIRSTNAME", "AGE", "BIRTHDAY", "NOTE", "DEFAULT", "SCORE", "CHK_FLAG"},
        {"CHK_FLAG", "SCORE", "DEFAULT", "NOTE", "BIRTHDAY", "AGE", "FIRSTNAME", "LASTNAME", "TYPE_ID", "PERSON_ID"},
        {"LASTNAME", "PERSON_ID", "LASTNAME", "AGE", "AGE", "FIRSTNAME"},
        {"lastname", "FirstName", "age", "PERSON_ID"},
        {"AGE"},
        {"FIRSTNAME", "AGE", "NOTE", "PERSON_ID"},
    };
    for (int pass = 0; pass < 2; ++pass) {
        for (const auto& order : orders) {
            for (int id : {1, 2, 3}) {
                Recordset rs;
                rs.Open("SELECT * FROM T_PERSON WHERE PERSON_ID = " + std::to_string(id), cn, adOpenDynamic, -1, -1);
                for (const std::string& name : order) {
                    SCOPED_TRACE(name + " of person " + std::to_string(id));
                    EXPECT_EQ(rs.Fields(name).Value(), byPosition(rs, name));
                }
                EXPECT_THROW(rs.Fields("NO_SUCH_FIELD"), Error);
                EXPECT_EQ(rs.Fields(order.front()).Value(), byPosition(rs, order.front()));
            }
        }
    }
}

TEST_F(RecordsetReuseTest, RowsOfOneShapeAreWrittenAfterAFailedWrite) {
    // Each step adds a row through its own recordset; the ones whose value
    // breaks the column's check fail and leave nothing behind.
    struct Step {
        const char* label;
        Variant isDefault;  // "DEFAULT" is NOT NULL
        bool fails;
    };
    const Step steps[] = {
        {"一", Variant(true), false},      {"二", Variant::null(), true}, {"三", Variant(false), false},
        {"四", Variant::null(), true},     {"五", Variant(true), false},
    };
    std::vector<std::string> stored = {"未分類", "友人"};
    for (const Step& step : steps) {
        SCOPED_TRACE(step.label);
        Recordset rs;
        rs.Open("T_GROUPING", cn, adOpenKeyset, adLockOptimistic, adCmdTable);
        rs.AddNew();
        rs.Fields("LABEL") = step.label;
        rs.Fields("DEFAULT") = step.isDefault;
        if (step.fails) {
            EXPECT_THROW(rs.Update(), Error);
            continue;
        }
        rs.Update();
        EXPECT_EQ(rs.Fields("LABEL").Value().toString(), step.label);
        stored.push_back(step.label);
    }
    Recordset all;
    all.Open("SELECT LABEL FROM T_GROUPING ORDER BY TYPE_ID", cn, adOpenStatic, adLockReadOnly, adCmdText);
    std::vector<std::string> labels;
    for (; !all.Eof(); all.MoveNext()) labels.push_back(all.Fields("LABEL").Value().toString());
    EXPECT_EQ(labels, stored);
}

TEST_F(RecordsetReuseTest, RewritesAndDeletesOfOneShapeReachTheirOwnRows) {
    // person, new first name (Null breaks nothing), delete afterwards
    struct Step {
        int person;
        Variant firstName;
        bool remove;
    };
    const Step steps[] = {{1, Variant("A"), false}, {2, Variant("B"), true}, {3, Variant::null(), false},
                          {1, Variant("C"), true}};
    cn.BeginTrans();
    for (const Step& step : steps) {
        Recordset rs;
        rs.Open("SELECT * FROM T_PERSON WHERE PERSON_ID = " + std::to_string(step.person), cn, adOpenKeyset,
                adLockOptimistic, adCmdText);
        ASSERT_FALSE(rs.Eof());
        rs.Fields("FIRSTNAME") = step.firstName;
        rs.Update();
        if (step.remove) rs.Delete(adAffectCurrent);
    }
    cn.RollbackTrans();  // the statements must not keep the rolled-back rows alive
    cn.BeginTrans();
    for (const Step& step : steps) {
        Recordset rs;
        rs.Open("SELECT * FROM T_PERSON WHERE PERSON_ID = " + std::to_string(step.person), cn, adOpenKeyset,
                adLockOptimistic, adCmdText);
        if (rs.Eof()) continue;  // deleted by an earlier step
        rs.Fields("FIRSTNAME") = step.firstName;
        rs.Update();
        if (step.remove) rs.Delete(adAffectCurrent);
    }
    cn.CommitTrans();
    Recordset rest;
    rest.Open("SELECT PERSON_ID, FIRSTNAME FROM T_PERSON ORDER BY PERSON_ID", cn, adOpenStatic, adLockReadOnly,
              adCmdText);
    ASSERT_EQ(rest.RecordCount(), 1);
    EXPECT_EQ(rest.Fields("PERSON_ID").Value().toLong(), 3);
    EXPECT_TRUE(rest.Fields("FIRSTNAME").Value().isNull());
}
