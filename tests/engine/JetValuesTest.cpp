// Jet's values through the engine. Date/Time columns given to Jet's
// functions are dates there: Format, CStr and IsDate of a column show the
// date, through aliases, joins and subqueries; a column of another type,
// or one compared in WHERE, stays as it was. A sign before a text reads
// the text as a number, or fails as Jet fails. The whole-number
// conversions overflow outside their type, for literals and columns alike.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Error.h"
#include "engine/Connection.h"
#include "engine/JetSql.h"
#include "engine/Recordset.h"
#include "tests/engine/TestDatabase.h"

using namespace lumo::db;
using lumo::test::TestDatabase;

namespace {

struct Case {
    std::string sql;
    std::string answer;  // the first field of the first row as text, "<null>", or the error's description (…。)
};

const std::string kTables = std::string(lumo::test::kEngineTables) + R"sql(
CREATE TABLE T_EVENT (EVENT_ID INTEGER PRIMARY KEY AUTOINCREMENT, PERSON_ID LONG, BIRTHDAY TEXT COLLATE NOCASE,
                      HELD DATE);
CREATE INDEX IX_EVENT_HELD ON T_EVENT (HELD);
INSERT INTO T_EVENT (PERSON_ID, BIRTHDAY, HELD) VALUES (1, '30000', 45000), (2, NULL, NULL);
CREATE TABLE T_SCORE (SCORE_ID INTEGER PRIMARY KEY AUTOINCREMENT, GRP LONG, PTS DOUBLE, NOTE TEXT);
INSERT INTO T_SCORE (GRP, PTS, NOTE) VALUES (1, 2, 'a'), (1, 4, NULL), (1, 4, '４'), (1, 4, '1,000'), (1, 5, NULL),
    (1, 5, NULL), (1, 7, NULL), (1, 9, 'z'), (2, NULL, NULL), (2, 10, 'x'), (3, NULL, 'abc');
)sql";

class JetValues : public ::testing::Test {
protected:
    void SetUp() override { cn_.Open(db_.connectionString()); }

    std::string first(const std::string& sql) {
        try {
            Recordset rs;
            rs.Open(sql, cn_, adOpenStatic, adLockReadOnly, adCmdText);
            if (rs.Eof()) return "<no row>";
            return rs.Fields(0).Value().isNull() ? "<null>" : rs.Fields(0).Value().toString();
        } catch (const lumo::Error& e) {
            return e.what();
        }
    }

    void expectAll(const std::vector<Case>& cases) {
        for (const Case& c : cases) {
            const std::string got = first(c.sql);
            if (c.answer.ends_with("。")) EXPECT_NE(got.find(c.answer), std::string::npos) << c.sql << " gave " << got;
            else EXPECT_EQ(got, c.answer) << c.sql;
        }
    }

    TestDatabase db_{kTables};
    Connection cn_;
};

TEST_F(JetValues, FunctionsSeeADateColumnAsADate) {
    expectAll({
        {"SELECT Format(BIRTHDAY) FROM T_PERSON WHERE PERSON_ID = 1", "1982/02/18 12:00:00"},
        {"SELECT Format(T_PERSON.BIRTHDAY, 'yyyy') FROM T_PERSON WHERE PERSON_ID = 1", "1982"},
        {"SELECT Format([T_PERSON].[BIRTHDAY], 'mm/dd') FROM T_PERSON WHERE PERSON_ID = 1", "02/18"},
        {"SELECT CStr(BIRTHDAY) FROM T_PERSON WHERE PERSON_ID = 1", "1982/02/18 12:00:00"},
        {"SELECT IsDate(BIRTHDAY) FROM T_PERSON WHERE PERSON_ID = 1", "-1"},
        {"SELECT IsDate(BIRTHDAY) FROM T_PERSON WHERE PERSON_ID = 2", "0"},
        {"SELECT Format(BIRTHDAY) FROM T_PERSON WHERE PERSON_ID = 2", "<null>"},
        {"SELECT Year(BIRTHDAY) FROM T_PERSON WHERE PERSON_ID = 1", "1982"},
        {"SELECT Format(DateAdd('d', 1, BIRTHDAY), 'yyyy/mm/dd') FROM T_PERSON WHERE PERSON_ID = 1", "1982/02/19"},
        {"SELECT Format(HELD, 'Long Date') FROM T_EVENT WHERE EVENT_ID = 1", "2023年3月15日"},
        {"SELECT Format(Held) FROM t_event WHERE EVENT_ID = 1", "2023/03/15"},
        // A date plus a number is a date, so an expression of dates is one too.
        {"SELECT Format(BIRTHDAY + 0) FROM T_PERSON WHERE PERSON_ID = 1", "1982/02/18 12:00:00"},
        {"SELECT CStr((BIRTHDAY - 1) + #0:30#) FROM T_PERSON WHERE PERSON_ID = 1", "1982/02/17 12:30:00"},
        {"SELECT IsDate(HELD + 1) FROM T_EVENT WHERE EVENT_ID = 1", "-1"},
        {"SELECT 'held ' & HELD & ', ' & (HELD + 1) FROM T_EVENT WHERE EVENT_ID = 1", "held 2023/03/15, 2023/03/16"},
        {"SELECT 'x' & BIRTHDAY FROM T_PERSON WHERE PERSON_ID = 2", "x"},
    });
}

TEST_F(JetValues, AliasesJoinsAndSubqueriesFindTheirTables) {
    expectAll({
        {"SELECT Format(P.BIRTHDAY, 'yyyy') FROM T_PERSON AS P WHERE P.PERSON_ID = 1", "1982"},
        {"SELECT Format(P.BIRTHDAY, 'yyyy') FROM T_PERSON P WHERE P.PERSON_ID = 1", "1982"},
        {"SELECT Format(T_PERSON.BIRTHDAY, 'yyyy') FROM T_PERSON INNER JOIN T_PHONE ON T_PERSON.PERSON_ID = "
         "T_PHONE.PERSON_ID WHERE T_PHONE.PHONE_ID = 1",
         "1982"},
        {"SELECT Format(T_PERSON.BIRTHDAY, 'yyyy') FROM (T_PERSON LEFT JOIN T_PHONE ON T_PERSON.PERSON_ID = "
         "T_PHONE.PERSON_ID) WHERE T_PERSON.PERSON_ID = 1",
         "1982"},
        {"SELECT X FROM (SELECT Format(BIRTHDAY, 'yyyy') AS X FROM T_PERSON WHERE PERSON_ID = 1)", "1982"},
        {"SELECT PERSON_ID FROM T_PERSON WHERE Format(BIRTHDAY, 'yyyy') = '1982'", "1"},
    });
}

// The same name is a date in one table and a text in another: each
// qualified column keeps its own type, and an unqualified one that could be
// either is left as stored.
TEST_F(JetValues, OtherColumnsKeepTheirValues) {
    expectAll({
        {"SELECT Format(E.BIRTHDAY) FROM T_EVENT AS E WHERE E.EVENT_ID = 1", "30000"},
        {"SELECT Format(P.BIRTHDAY, 'yyyy') & '/' & Format(E.BIRTHDAY) FROM T_PERSON AS P, T_EVENT AS E "
         "WHERE P.PERSON_ID = 1 AND E.EVENT_ID = 1",
         "1982/30000"},
        {"SELECT Format(AGE) FROM T_PERSON WHERE PERSON_ID = 1", "40"},
        {"SELECT Format(BIRTHDAY * 1) FROM T_PERSON WHERE PERSON_ID = 1", "30000.5"},
        {"SELECT Format(T_PERSON.BIRTHDAY - P.BIRTHDAY) FROM T_PERSON, T_PERSON AS P WHERE T_PERSON.PERSON_ID = 1 AND "
         "P.PERSON_ID = 1",
         "0"},
        {"SELECT Len(BIRTHDAY) FROM T_EVENT WHERE EVENT_ID = 1", "5"},
    });
}

// A statement without a Jet function on a date column translates as it
// did, and a comparison of the column keeps its index.
TEST_F(JetValues, ComparisonsStayBareAndIndexed) {
    const DateColumnLookup lookup = [](std::string_view table, std::string_view column) -> std::optional<bool> {
        if (table == "T_EVENT" && column == "HELD") return true;
        if (table == "T_EVENT" && column == "EVENT_ID") return false;
        return std::nullopt;
    };
    for (const char* sql : {"SELECT HELD FROM T_EVENT WHERE HELD > #2020/01/01# ORDER BY HELD",
                            "SELECT EVENT_ID FROM T_EVENT WHERE Len(EVENT_ID) = 1 AND HELD = 45000",
                            "UPDATE T_EVENT SET HELD = HELD + 1 WHERE HELD < 3"}) {
        const JetSqlText text(sql);
        EXPECT_EQ(text.translate(lookup).sql, text.translate().sql) << sql;
    }
    const JetSqlText wrapped("SELECT Format(HELD, 'yyyy') FROM T_EVENT WHERE HELD > 1");
    EXPECT_EQ(wrapped.translate(lookup).sql, "SELECT jet_format(lumo_date(HELD), ?) FROM T_EVENT WHERE HELD > ?");

    Recordset plan;
    plan.Open("EXPLAIN QUERY PLAN SELECT Format(HELD, 'yyyy') FROM T_EVENT WHERE HELD > #2020/01/01#", cn_,
              adOpenStatic, adLockReadOnly, adCmdText);
    std::string detail;
    for (; !plan.Eof(); plan.MoveNext()) detail += plan.Fields(3).Value().toString();
    EXPECT_NE(detail.find("IX_EVENT_HELD"), std::string::npos) << detail;
}

// One shape, first with a number and then with a text after the sign: the
// shape cache must not hand the text SQLite's minus, which makes it 0.
TEST_F(JetValues, SignsBeforeTextReadItAsANumber) {
    expectAll({
        {"SELECT -'12' FROM T_PERSON WHERE PERSON_ID = 1", "-12"},
        {"SELECT -'1,025' FROM T_PERSON WHERE PERSON_ID = 1", "-1025"},
        {"SELECT - ' 2.5 ' FROM T_PERSON WHERE PERSON_ID = 1", "-2.5"},
        {"SELECT 1 - -'3' FROM T_PERSON WHERE PERSON_ID = 1", "4"},
        {"SELECT -'abc' FROM T_PERSON WHERE PERSON_ID = 1", "型が一致しません。"},
        {"SELECT - -'abc' FROM T_PERSON WHERE PERSON_ID = 1", "型が一致しません。"},
        {"SELECT -'' FROM T_PERSON WHERE PERSON_ID = 1", "型が一致しません。"},
        {"SELECT 5 - 'x' FROM T_PERSON WHERE PERSON_ID = 1", "型が一致しません。"},
        {"SELECT +'abc' FROM T_PERSON WHERE PERSON_ID = 1", "abc"},
        {"SELECT -12 FROM T_PERSON WHERE PERSON_ID = 1", "-12"},
        {"SELECT PERSON_ID FROM T_PERSON WHERE TYPE_ID = -'-2' ORDER BY PERSON_ID", "2"},
    });
}

// Literals beyond 32 bits reach the conversions whole; a Long column's
// product is checked where it is converted. Plain arithmetic widens, as
// Jet's variant arithmetic does (Long to Double), instead of failing.
TEST_F(JetValues, WholeNumberConversionsOverflowOutsideTheirType) {
    expectAll({
        {"SELECT CLng(2147483647) FROM T_PERSON WHERE PERSON_ID = 1", "2147483647"},
        {"SELECT CLng(2147483648) FROM T_PERSON WHERE PERSON_ID = 1", "オーバーフローしました。"},
        {"SELECT CLng(-2147483649) FROM T_PERSON WHERE PERSON_ID = 1", "オーバーフローしました。"},
        {"SELECT CLng('2147483648') FROM T_PERSON WHERE PERSON_ID = 1", "オーバーフローしました。"},
        {"SELECT CInt(32768) FROM T_PERSON WHERE PERSON_ID = 1", "オーバーフローしました。"},
        {"SELECT CInt(AGE * 1000) FROM T_PERSON WHERE PERSON_ID = 1", "オーバーフローしました。"},
        {"SELECT CInt(AGE * 800) FROM T_PERSON WHERE PERSON_ID = 1", "32000"},
        {"SELECT CByte(AGE * 7) FROM T_PERSON WHERE PERSON_ID = 1", "オーバーフローしました。"},
        {"SELECT CLng(TYPE_ID * 2147483647) FROM T_PERSON WHERE PERSON_ID = 1", "2147483647"},
        {"SELECT CLng(TYPE_ID * 2147483647) FROM T_PERSON WHERE PERSON_ID = 2", "オーバーフローしました。"},
        {"SELECT 2147483647 + 1 FROM T_PERSON WHERE PERSON_ID = 1", "2147483648"},
        {"SELECT TYPE_ID * 2147483647 FROM T_PERSON WHERE PERSON_ID = 2", "4294967294"},
    });
}

// Jet's aggregates beyond SQLite's: the spread of 2 4 4 4 5 5 7 9 is 2
// (population) and 32/7 (sample variance); First and Last take the rows
// as read, a Null value included; the statistics leave Nulls out.
TEST_F(JetValues, JetAggregates) {
    expectAll({
        {"SELECT StDevP(PTS) FROM T_SCORE WHERE GRP = 1", "2"},
        {"SELECT VarP(PTS) FROM T_SCORE WHERE GRP = 1", "4"},
        {"SELECT Round(Var(PTS), 6) FROM T_SCORE WHERE GRP = 1", "4.571429"},
        {"SELECT Round(StDev(PTS) * StDev(PTS) * 7, 9) FROM T_SCORE WHERE GRP = 1", "32"},
        {"SELECT StDev(PTS) FROM T_SCORE WHERE GRP = 2", "<null>"},   // one value
        {"SELECT StDevP(PTS) FROM T_SCORE WHERE GRP = 2", "0"},
        {"SELECT VarP(PTS) FROM T_SCORE WHERE GRP = 3", "<null>"},    // none
        {"SELECT First(NOTE) & Last(NOTE) FROM T_SCORE WHERE GRP = 1", "az"},
        {"SELECT First(NOTE) FROM T_SCORE WHERE GRP = 2", "<null>"},
        {"SELECT Last(PTS) FROM T_SCORE WHERE GRP = 2", "10"},
        {"SELECT VarP(NOTE) FROM T_SCORE WHERE SCORE_ID IN (3, 4)", "248004"},  // 4 and 1000, typed as texts
        {"SELECT StDev(NOTE) FROM T_SCORE WHERE GRP = 3", "型が一致しません。"},
        {"SELECT GRP FROM T_SCORE GROUP BY GRP HAVING First(PTS) Is Null AND Last(PTS) Is Null", "3"},
        {"SELECT Count(*) FROM (SELECT GRP, Last(NOTE) AS N FROM T_SCORE GROUP BY GRP) WHERE N Is Not Null", "3"},
    });
}

}  // namespace
