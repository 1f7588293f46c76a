// What the engine does with values and objects used past their time: a
// recordset whose connection went first, parameter markers a caller wrote
// into a statement, and pointers handed over as values.
#include <functional>
#include <memory>
#include <string>
#include <type_traits>

#include <gtest/gtest.h>

#include "platform/Error.h"
#include "engine/Recordset.h"
#include "tests/engine/TestDatabase.h"

using namespace lumo::db;
using lumo::test::TestDatabase;
using lumo::test::kEngineTables;

namespace {

constexpr std::string_view kClosed = "接続が閉じられているため";

std::string failureOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const lumo::Error& e) {
        return e.what();
    }
    return "";
}

// Enough phones that a one-table recordset keeps only row identities and
// reads each row from the file when the cursor reaches it.
void addManyPhones(Connection& cn) {
    cn.BeginTrans();
    for (int i = 0; i < 1500; ++i) cn.Execute("INSERT INTO T_PHONE (PERSON_ID, TEL_NUMBER) VALUES (8, 'K" + std::to_string(i) + "')");
    cn.CommitTrans();
}

struct OpenedCase {
    const char* name;
    const char* source;
    int lockType;
    int options;
    std::function<void(Recordset&)> use;  // what the recordset is asked after its connection went
};

TEST(RecordsetLifetime, EveryUseAfterTheConnectionWentFailsCleanly) {
    const OpenedCase cases[] = {
        {"rows held in memory", "SELECT * FROM T_PERSON", adLockReadOnly, adCmdText,
         [](Recordset& rs) { rs.Fields("LASTNAME").Value(); }},
        {"row read by identity", "SELECT * FROM T_PHONE WHERE PERSON_ID = 8", adLockReadOnly, adCmdText,
         [](Recordset& rs) {
             rs.MoveLast();
             rs.Fields("TEL_NUMBER").Value();
         }},
        {"table read when first navigated", "T_PHONE", adLockOptimistic, adCmdTable,
         [](Recordset& rs) { rs.Eof(); }},
        {"row changed", "SELECT * FROM T_PERSON WHERE PERSON_ID = 1", adLockOptimistic, adCmdText,
         [](Recordset& rs) {
             rs.Fields("LASTNAME") = "後";
             rs.Update();
         }},
        {"row added", "SELECT * FROM T_PERSON", adLockOptimistic, adCmdText, [](Recordset& rs) { rs.AddNew(); }},
        {"row deleted", "SELECT * FROM T_PERSON", adLockOptimistic, adCmdText,
         [](Recordset& rs) { rs.Delete(adAffectCurrent); }},
        {"count", "SELECT * FROM T_PHONE WHERE PERSON_ID = 8", adLockReadOnly, adCmdText,
         [](Recordset& rs) { rs.RecordCount(); }},
    };
    for (const OpenedCase& c : cases) {
        SCOPED_TRACE(c.name);
        TestDatabase db{kEngineTables};
        Recordset rs;
        {
            Connection cn;
            cn.Open(db.connectionString());
            addManyPhones(cn);
            rs.Open(c.source, cn, adOpenKeyset, c.lockType, c.options);
        }
        EXPECT_NE(failureOf([&] { c.use(rs); }).find(kClosed), std::string::npos);
        EXPECT_TRUE(rs.IsOpen());
        rs.Close();  // what it holds is freed without its connection
        EXPECT_FALSE(rs.IsOpen());
    }
}

TEST(RecordsetLifetime, ARecordsetOfAClosedConnectionStaysClosedWhenItOpensAgain) {
    TestDatabase db{kEngineTables};
    Connection cn;
    cn.Open(db.connectionString());
    addManyPhones(cn);
    Recordset old;
    old.Open("SELECT * FROM T_PHONE WHERE PERSON_ID = 8", cn, adOpenKeyset, adLockOptimistic, adCmdText);
    old.MoveNext();
    cn.Close();
    cn.Open(db.connectionString());
    EXPECT_NE(failureOf([&] { old.MoveLast(); }).find(kClosed), std::string::npos);
    EXPECT_NE(failureOf([&] { old.Fields("TEL_NUMBER").Value(); }).find(kClosed), std::string::npos);

    Recordset fresh;
    fresh.Open("SELECT * FROM T_PHONE WHERE PERSON_ID = 8", cn, adOpenKeyset, adLockOptimistic, adCmdText);
    fresh.MoveLast();
    EXPECT_EQ(fresh.Fields("TEL_NUMBER").Value().toString(), "K1499");
}

// A plain command text carries its values in it; a marker would be left
// unbound (or bound to an earlier statement's value).
TEST(ParameterMarkers, AreRefusedOutsideLiteralsAndNames) {
    TestDatabase db{kEngineTables};
    Connection cn;
    cn.Open(db.connectionString());
    for (const char* sql : {"SELECT 'a', ? FROM T_PERSON", "SELECT ?1 FROM T_PERSON", "SELECT :a FROM T_PERSON",
                            "SELECT @a FROM T_PERSON", "SELECT $a FROM T_PERSON",
                            "SELECT * FROM T_PERSON WHERE LASTNAME = ?", "SELECT * FROM T_PERSON WHERE AGE > ?2"}) {
        SCOPED_TRACE(sql);
        Recordset rs;
        const std::string failure = failureOf([&] { rs.Open(sql, cn, adOpenStatic, adLockReadOnly, adCmdText); });
        EXPECT_NE(failure.find("パラメータ"), std::string::npos) << failure;
        EXPECT_FALSE(rs.IsOpen());
    }
    const std::string update = failureOf([&] { cn.Execute("UPDATE T_PERSON SET AGE = ? WHERE PERSON_ID = 1"); });
    EXPECT_NE(update.find("パラメータ (?)"), std::string::npos) << update;
    Recordset age;
    age.Open("SELECT AGE FROM T_PERSON WHERE PERSON_ID = 1", cn, adOpenStatic, adLockReadOnly, adCmdText);
    EXPECT_EQ(age.Fields(0).Value().toLong(), 40);

    // The same characters inside literals, dates and bracketed names are
    // the caller's text, not markers.
    Recordset text;
    text.Open("SELECT '?:@$' AS [Q?], #2024/01/31 12:30:00# AS D FROM T_PERSON WHERE LASTNAME LIKE '%?%' OR PERSON_ID = 1",
              cn, adOpenStatic, adLockReadOnly, adCmdText);
    ASSERT_EQ(text.RecordCount(), 1);
    EXPECT_EQ(text.Fields("Q?").Value().toString(), "?:@$");
}

TEST(VariantValues, PointersOtherThanTextAreNotValues) {
    EXPECT_FALSE((std::is_constructible_v<Variant, int*>));
    EXPECT_FALSE((std::is_constructible_v<Variant, const void*>));
    EXPECT_FALSE((std::is_constructible_v<Variant, const std::string*>));
    EXPECT_FALSE((std::is_constructible_v<Variant, Variant*>));
    EXPECT_FALSE((std::is_constructible_v<Variant, std::nullptr_t>));
    EXPECT_FALSE((std::is_convertible_v<void (*)(), Variant>));
    // What the callers write stays as it was.
    EXPECT_EQ(Variant("text").type(), VarType::String);
    char buffer[] = "text";
    EXPECT_EQ(Variant(static_cast<char*>(buffer)).type(), VarType::String);
    EXPECT_EQ(Variant(true).type(), VarType::Boolean);
    EXPECT_EQ(Variant(int32_t{1}).type(), VarType::Long);
}

}  // namespace
