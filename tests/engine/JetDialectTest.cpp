// Jet SQL as a user types it at `lumo sql`: unaliased expressions and their
// Expr names, TOP, date literals, text after the end of a statement and
// deep nesting, run through the engine on a scratch database.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Dates.h"
#include "platform/Error.h"
#include "engine/Connection.h"
#include "engine/JetDateLiteral.h"
#include "engine/JetSql.h"
#include "engine/Recordset.h"
#include "tests/engine/TestDatabase.h"

using namespace lumo::db;
using lumo::test::kEngineTables;
using lumo::test::TestDatabase;

namespace {

class JetDialect : public ::testing::Test {
protected:
    void SetUp() override { cn_.Open(db_.connectionString()); }

    std::vector<std::string> names(const std::string& sql) {
        Recordset rs;
        rs.Open(sql, cn_, adOpenStatic, adLockReadOnly, adCmdText);
        std::vector<std::string> out;
        for (int i = 0; i < rs.FieldCount(); ++i) out.push_back(rs.Fields(i).Name());
        return out;
    }
    // The first column of every row, as text ("<null>" for Null).
    std::vector<std::string> column(const std::string& sql) { return lumo::test::firstColumn(cn_, sql); }
    std::string failure(const std::string& sql) {
        try {
            Recordset rs;
            rs.Open(sql, cn_, adOpenStatic, adLockReadOnly, adCmdText);
        } catch (const lumo::Error& e) {
            return e.what();
        }
        return "(ran)";
    }

    TestDatabase db_{kEngineTables};
    Connection cn_;
};

TEST_F(JetDialect, UnaliasedExpressionsAreNamedExprInOrder) {
    struct Case {
        std::string sql;
        std::vector<std::string> fields;
    };
    const std::vector<Case> cases{
        {"SELECT LASTNAME & FIRSTNAME FROM T_PERSON", {"Expr1000"}},
        {"SELECT LASTNAME & FIRSTNAME, PERSON_ID, 'x', AGE + 1 AS A, AGE * 2, T_PERSON.AGE FROM T_PERSON",
         {"Expr1000", "PERSON_ID", "Expr1001", "A", "Expr1002", "AGE"}},
        {"SELECT COUNT(*) FROM T_PERSON WHERE PERSON_ID > 1", {"Expr1000"}},
        {"SELECT *, LABEL & '!' FROM T_GROUPING", {"TYPE_ID", "LABEL", "DEFAULT", "Expr1000"}},
        {"SELECT 1, 'two'", {"Expr1000", "Expr1001"}},
        // Null and True are values, not names; an alias in brackets is a name.
        {"SELECT Null, True, P.AGE AS [Years], P.LASTNAME FROM T_PERSON AS P",
         {"Expr1000", "Expr1001", "Years", "LASTNAME"}},
        {"SELECT TOP 1 Null, PERSON_ID FROM T_PERSON ORDER BY PERSON_ID", {"Expr1000", "PERSON_ID"}},
        {"SELECT DISTINCT T_PERSON.TYPE_ID, TYPE_ID + 1 FROM T_PERSON", {"TYPE_ID", "Expr1000"}},
        {"SELECT T_PERSON.LASTNAME & '-' & T_PHONE.TEL_NUMBER FROM T_PERSON INNER JOIN T_PHONE ON "
         "T_PERSON.PERSON_ID = T_PHONE.PERSON_ID",
         {"Expr1000"}},
    };
    for (const Case& c : cases) EXPECT_EQ(names(c.sql), c.fields) << c.sql;
    EXPECT_EQ(column("SELECT LASTNAME & FIRSTNAME FROM T_PERSON"),
              (std::vector<std::string>{"山田太郎", "O'Brien", "Ann"}));
}

// DISTINCTROW gives each record of the tables read once: two persons of
// type 2, each beside three phones, are two rows (DISTINCT would give one).
TEST_F(JetDialect, DistinctRowGivesEachRecordOnce) {
    EXPECT_EQ(column("SELECT DISTINCTROW T_PERSON.TYPE_ID FROM T_PERSON, T_PHONE WHERE T_PERSON.TYPE_ID = 2"),
              (std::vector<std::string>{"2", "2"}));
    EXPECT_EQ(column("SELECT DISTINCT T_PERSON.TYPE_ID FROM T_PERSON, T_PHONE WHERE T_PERSON.TYPE_ID = 2"),
              (std::vector<std::string>{"2"}));
    EXPECT_EQ(column("SELECT DISTINCTROW T_PERSON.LASTNAME FROM T_PERSON INNER JOIN T_PHONE ON T_PERSON.PERSON_ID = "
                     "T_PHONE.PERSON_ID ORDER BY T_PERSON.PERSON_ID DESC"),
              (std::vector<std::string>{"O'Brien", "山田"}));
    // Is Null and IIf are no columns: the one table read is T_PERSON.
    EXPECT_EQ(column("SELECT DISTINCTROW IIf(T_PERSON.FIRSTNAME Is Null, 'x', 'y') FROM T_PERSON, T_PHONE WHERE "
                     "T_PERSON.TYPE_ID = 2 ORDER BY T_PERSON.PERSON_ID"),
              (std::vector<std::string>{"x", "y"}));
    EXPECT_EQ(column("SELECT DISTINCTROW TOP 2 PERSON_ID FROM T_PERSON ORDER BY PERSON_ID DESC"),
              (std::vector<std::string>{"3", "2"}));
}

TEST_F(JetDialect, TopLimitsTheRowsAndKeepsTheLiteralsInPlace) {
    EXPECT_EQ(column("SELECT TOP 2 PERSON_ID FROM T_PERSON ORDER BY PERSON_ID DESC"),
              (std::vector<std::string>{"3", "2"}));
    EXPECT_EQ(column("SELECT TOP 1 LASTNAME FROM T_PERSON WHERE PERSON_ID > 1 AND FIRSTNAME IS NULL ORDER BY PERSON_ID;"),
              (std::vector<std::string>{"O'Brien"}));
    EXPECT_EQ(column("SELECT TOP 2 * FROM T_PERSON"), (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(column("SELECT DISTINCT TOP 1 TYPE_ID FROM T_PERSON ORDER BY TYPE_ID DESC"),
              (std::vector<std::string>{"2"}));
    // Jet rounds a share of the rows up: half of 3 rows is 2, a third is 1.
    EXPECT_EQ(column("SELECT TOP 50 PERCENT PERSON_ID FROM T_PERSON ORDER BY PERSON_ID"),
              (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(column("SELECT TOP 33.4 PERCENT PERSON_ID FROM T_PERSON WHERE PERSON_ID < 99 ORDER BY PERSON_ID DESC"),
              (std::vector<std::string>{"3", "2"}));
    EXPECT_EQ(column("SELECT TOP 100 PERCENT PERSON_ID FROM T_PERSON ORDER BY PERSON_ID").size(), 3u);
    EXPECT_EQ(translateJet("SELECT TOP 3 * FROM T WHERE A = 'x';").sql, "SELECT * FROM T WHERE A = 'x' LIMIT 3;");
    EXPECT_EQ(JetSqlText("SELECT TOP 3 A & B FROM T WHERE A = 'x' ORDER BY A & B").translate().sql,
              "SELECT lumo_concat(A, B) FROM T WHERE A = ? ORDER BY lumo_concat(A, B) LIMIT (SELECT count(*) FROM "
              "(SELECT rank() OVER (ORDER BY __lumo_k1) AS __lumo_rank FROM (SELECT lumo_concat(A, B), "
              "lumo_concat(A, B) AS __lumo_k1 FROM T WHERE A = ?1)) WHERE __lumo_rank <= 3)");
}

TEST(JetDateLiteral, ReadsJetsFormsRegardlessOfLocale) {
    using lumo::dates::toAutomation;
    const double jan31 = toAutomation(2024, 1, 31);
    struct Case {
        const char* inner;
        double value;
    };
    const std::vector<Case> cases{
        {"2024/01/31", jan31},
        {"2024-1-31", jan31},
        {"01/31/2024", jan31},
        {"1-31-2024", jan31},
        {" 2024/1/31 ", jan31},
        {"1/31/2024 13:45", toAutomation(2024, 1, 31, 13, 45)},
        {"2024/01/31 1:45:10 PM", toAutomation(2024, 1, 31, 13, 45, 10)},
        {"2024/01/31 12:00 AM", jan31},
        {"13:45", toAutomation(1899, 12, 30, 13, 45)},
        {"1800/1/1", toAutomation(1800, 1, 1)},
    };
    for (const Case& c : cases) EXPECT_DOUBLE_EQ(jetDateLiteral(c.inner), c.value) << c.inner;
    for (const char* bad : {"2024/02/30", "31/01/2024", "abc", "", "2024/01/31 25:00", "2024/01/31 1:5",
                            "24/01/31", "2024/01/31 13:00 PM", "2024/01/31 x"})
        EXPECT_THROW(jetDateLiteral(bad), lumo::Error) << bad;
}

TEST_F(JetDialect, DateLiteralsWorkInWhereAndValues) {
    const double jan31 = lumo::dates::toAutomation(2024, 1, 31);
    EXPECT_EQ(cn_.Execute("UPDATE T_PERSON SET BIRTHDAY = #2024/01/31# WHERE PERSON_ID = 2"), 1);
    EXPECT_EQ(cn_.Execute("INSERT INTO T_PERSON (LASTNAME, BIRTHDAY) VALUES ('d', #1/31/2024 12:00 PM#)"), 1);
    EXPECT_EQ(column("SELECT LASTNAME FROM T_PERSON WHERE BIRTHDAY >= #2024-01-31# ORDER BY PERSON_ID"),
              (std::vector<std::string>{"O'Brien", "d"}));
    Recordset rs;
    rs.Open("SELECT BIRTHDAY FROM T_PERSON WHERE BIRTHDAY = #01/31/2024#", cn_, adOpenStatic, adLockReadOnly, adCmdText);
    ASSERT_FALSE(rs.Eof());
    EXPECT_EQ(rs.Fields(0).Value(), Variant::date(jan31));
    rs.Close();
    EXPECT_NE(failure("SELECT * FROM T_PERSON WHERE BIRTHDAY = #2024/02/30#").find("日付の構文エラー"), std::string::npos);
    EXPECT_NE(failure("SELECT * FROM T_PERSON WHERE BIRTHDAY = #2024/02/01").find("閉じていません"), std::string::npos);
}

TEST_F(JetDialect, TextAfterTheEndOfAStatementIsRefusedAndNothingRuns) {
    for (const char* sql : {"SELECT 1; DROP TABLE T_PERSON", "DELETE FROM T_PHONE; DELETE FROM T_PERSON",
                            "DELETE FROM T_PHONE;;", "SELECT 1 ; -- note\n SELECT 2"}) {
        try {
            cn_.Execute(sql);
            ADD_FAILURE() << "ran: " << sql;
        } catch (const lumo::Error& e) {
            EXPECT_EQ(std::string(e.what()), "SQL ステートメントの後に文字が見つかりました。") << sql;
        }
    }
    EXPECT_EQ(column("SELECT COUNT(*) FROM T_PHONE"), std::vector<std::string>{"3"});
    EXPECT_EQ(column("SELECT COUNT(*) FROM T_PERSON; -- a closing note"), std::vector<std::string>{"3"});
}

TEST_F(JetDialect, NestingIsBoundedWithAClearDescription) {
    const auto nested = [](int depth) {
        return "SELECT " + std::string(static_cast<std::size_t>(depth), '(') + "1 & 2" +
               std::string(static_cast<std::size_t>(depth), ')') + " AS X";
    };
    EXPECT_EQ(column(nested(kMaxNesting)), std::vector<std::string>{"12"});
    for (int depth : {kMaxNesting + 1, 20000}) {
        const std::string message = failure(nested(depth));
        EXPECT_NE(message.find("クエリが複雑すぎます"), std::string::npos) << message.substr(0, 200);
        EXPECT_THROW(translateJet(nested(depth)), lumo::Error);
    }
}

TEST(JetSqlEdges, StatementsEndingInsideTheirLastClauseAndStrayParentheses) {
    // An UPDATE without WHERE ends inside its SET list; a stray ')' must not
    // make numbers look like column numbers of an ORDER BY.
    EXPECT_EQ(JetSqlText("UPDATE T SET A = 'x', B = 2").translate().sql, "UPDATE T SET A = ?, B = ?");
    EXPECT_EQ(JetSqlText("UPDATE T SET A").translate().sql, "UPDATE T SET A");
    EXPECT_EQ(JetSqlText("INSERT INTO T (A, B) VALUES ('x'").translate().sql, "INSERT INTO T (A, B) VALUES (?");
    const JetSqlText stray("SELECT A) FROM T WHERE B = 5");
    ASSERT_EQ(stray.literals().size(), 1u);
    EXPECT_EQ(stray.literals()[0].integer, 5);
}

TEST(JetSqlEdges, ADateAfterTopStaysInTheShapeAsANumberThere) {
    // Lifted, the date would come back as a number, and the statement
    // rebuilt from shape and literals would have another shape.
    for (const char* text : {"TOP #0:00#", "SELECT TOP #2024/01/31# A FROM T", "SELECT TOP 2 A FROM T"}) {
        SCOPED_TRACE(text);
        const JetSqlText jet(text);
        EXPECT_TRUE(jet.literals().empty());
        EXPECT_EQ(jet.shape(), text);
    }
}

}  // namespace
