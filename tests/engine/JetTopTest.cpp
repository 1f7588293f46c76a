// Jet's TOP through the engine: the first n rows of the order and every
// row that ties with the n-th, on a small table whose points tie in
// several places. Each expected set is worked out from the rows below.
#include <gtest/gtest.h>

#include <algorithm>
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

// Points in descending order: 90 (1) | 80 (2 3 8) | 70 (4 9) | 60 (7) | Null (5 6).
// In ascending order Null comes first, as Jet sorts it.
constexpr const char* kScores = R"sql(
CREATE TABLE T_GRP (GRP INTEGER PRIMARY KEY, LABEL TEXT COLLATE NOCASE);
CREATE TABLE T_SCORE (ID INTEGER PRIMARY KEY, NAME TEXT COLLATE NOCASE, GRP LONG, PTS LONG, BONUS LONG,
                      SEEN DATETIME DEFAULT 45000.5);
INSERT INTO T_GRP VALUES (1, 'one'), (2, 'two'), (3, 'three');
INSERT INTO T_SCORE (ID, NAME, GRP, PTS, BONUS) VALUES (1, 'a', 1, 90, 5), (2, 'b', 1, 80, NULL), (3, 'c', 2, 80, 3), (4, 'd', 2, 70, 3),
  (5, 'e', 3, NULL, 1), (6, 'f', 3, NULL, 2), (7, 'g', 1, 60, 1), (8, 'H', 2, 80, 9), (9, 'i', 2, 70, 3);
)sql";

class JetTop : public ::testing::Test {
protected:
    void SetUp() override { cn_.Open(db_.connectionString()); }

    // The first column of every row, as text ("<null>" for Null), in the
    // order given, and sorted.
    std::vector<std::string> column(const std::string& sql) { return lumo::test::firstColumn(cn_, sql); }
    std::vector<std::string> sorted(const std::string& sql) {
        std::vector<std::string> out = column(sql);
        std::sort(out.begin(), out.end());
        return out;
    }
    std::string failure(const std::string& sql) {
        try {
            column(sql);
        } catch (const lumo::Error& e) {
            return e.what();
        }
        return "(ran)";
    }

    TestDatabase db_{kScores};
    Connection cn_;
};

using Rows = std::vector<std::string>;

struct Case {
    const char* what;
    std::string sql;
    Rows rows;  // the first column, sorted
};

TEST_F(JetTop, GivesTheRowsThatTieWithTheLastOne) {
    const std::vector<Case> cases{
        {"ties at the boundary", "SELECT TOP 2 ID FROM T_SCORE ORDER BY PTS DESC", {"1", "2", "3", "8"}},
        {"no ties", "SELECT TOP 1 ID FROM T_SCORE ORDER BY PTS DESC", {"1"}},
        {"the count ends with a tie group", "SELECT TOP 4 ID FROM T_SCORE ORDER BY PTS DESC", {"1", "2", "3", "8"}},
        {"ties past the end", "SELECT TOP 8 ID FROM T_SCORE ORDER BY PTS DESC",
         {"1", "2", "3", "4", "5", "6", "7", "8", "9"}},
        {"more than there are", "SELECT TOP 20 ID FROM T_SCORE ORDER BY PTS",
         {"1", "2", "3", "4", "5", "6", "7", "8", "9"}},
        {"Nulls tie with each other", "SELECT TOP 1 ID FROM T_SCORE ORDER BY PTS", {"5", "6"}},
        {"ascending", "SELECT TOP 4 ID FROM T_SCORE ORDER BY PTS ASC", {"4", "5", "6", "7", "9"}},
        {"two keys, only the first ties", "SELECT TOP 2 ID FROM T_SCORE ORDER BY PTS DESC, BONUS", {"1", "2"}},
        {"two keys, Null first in the second", "SELECT TOP 3 ID FROM T_SCORE ORDER BY PTS DESC, BONUS ASC",
         {"1", "2", "3"}},
        {"two keys, both tie", "SELECT TOP 5 ID FROM T_SCORE ORDER BY PTS DESC, BONUS", {"1", "2", "3", "4", "8", "9"}},
        {"a key by position", "SELECT TOP 2 ID, PTS FROM T_SCORE ORDER BY 2 DESC", {"1", "2", "3", "8"}},
        {"a key by alias", "SELECT TOP 2 ID, PTS * 2 AS DOUBLED FROM T_SCORE ORDER BY DOUBLED DESC",
         {"1", "2", "3", "8"}},
        {"a key by expression (Null + 5 is Null)", "SELECT TOP 4 ID FROM T_SCORE ORDER BY PTS + BONUS DESC",
         {"1", "3", "4", "8", "9"}},
        {"every row ties on a Jet expression", "SELECT TOP 1 ID FROM T_SCORE ORDER BY Mid(NAME, 1, 0) & 'x'",
         {"1", "2", "3", "4", "5", "6", "7", "8", "9"}},
        {"with WHERE", "SELECT TOP 1 ID FROM T_SCORE WHERE GRP = 2 ORDER BY PTS DESC", {"3", "8"}},
        {"with a join", "SELECT TOP 1 T_GRP.LABEL FROM T_GRP INNER JOIN T_SCORE ON T_GRP.GRP = T_SCORE.GRP "
                        "ORDER BY T_SCORE.PTS DESC, T_GRP.GRP",
         {"one"}},
        {"with a join, tied", "SELECT TOP 2 T_SCORE.ID FROM T_GRP INNER JOIN T_SCORE ON T_GRP.GRP = T_SCORE.GRP "
                              "WHERE T_GRP.LABEL <> 'three' ORDER BY T_SCORE.PTS DESC",
         {"1", "2", "3", "8"}},
        {"GROUP BY and HAVING, ordered by an aggregate",
         "SELECT TOP 1 GRP FROM T_SCORE WHERE ID <> 9 GROUP BY GRP HAVING COUNT(*) > 1 ORDER BY COUNT(*) DESC",
         {"1", "2"}},
        {"GROUP BY, ordered by an aggregate's alias",
         "SELECT TOP 2 GRP, COUNT(*) AS N FROM T_SCORE WHERE ID <> 9 GROUP BY GRP ORDER BY N DESC", {"1", "2"}},
        {"DISTINCT counts the distinct rows", "SELECT DISTINCT TOP 3 PTS FROM T_SCORE ORDER BY PTS DESC",
         {"70", "80", "90"}},
        {"DISTINCT with ties", "SELECT DISTINCT TOP 2 PTS, BONUS FROM T_SCORE ORDER BY PTS DESC",
         {"80", "80", "80", "90"}},
        {"DISTINCT, Null keys", "SELECT DISTINCT TOP 1 PTS, BONUS FROM T_SCORE ORDER BY PTS",
         {"<null>", "<null>"}},
        {"in a subquery after IN",
         "SELECT NAME FROM T_SCORE WHERE ID IN (SELECT TOP 2 ID FROM T_SCORE WHERE GRP = 2 ORDER BY PTS)",
         {"d", "i"}},
        {"in a subquery, ties", "SELECT NAME FROM T_SCORE WHERE ID IN (SELECT TOP 3 ID FROM T_SCORE ORDER BY PTS DESC)",
         {"H", "a", "b", "c"}},
        {"as a derived table", "SELECT COUNT(*) FROM (SELECT TOP 2 ID FROM T_SCORE ORDER BY PTS DESC) AS X", {"4"}},
        {"nested TOP", "SELECT TOP 1 NAME FROM T_SCORE WHERE ID IN (SELECT TOP 2 ID FROM T_SCORE ORDER BY PTS DESC) "
                       "ORDER BY BONUS DESC",
         {"H"}},
        {"in a subquery that refers to the query around it",
         "SELECT NAME FROM T_SCORE AS S WHERE ID IN (SELECT TOP 1 ID FROM T_SCORE AS X WHERE X.GRP = S.GRP "
         "ORDER BY X.PTS DESC)",
         {"H", "a", "c", "e", "f"}},
        {"as a value of the select list",
         "SELECT (SELECT TOP 1 LABEL FROM T_GRP WHERE T_GRP.GRP = T_SCORE.GRP ORDER BY LABEL DESC) FROM T_SCORE "
         "WHERE ID > 7",
         {"two", "two"}},
        {"a derived table's columns keep their names",
         "SELECT X.NAME FROM (SELECT TOP 1 PTS AS P, T_SCORE.NAME FROM T_SCORE ORDER BY P DESC) AS X WHERE X.P > 0",
         {"a"}},
        {"no ORDER BY: n rows", "SELECT COUNT(*) FROM (SELECT TOP 2 ID FROM T_SCORE)", {"2"}},
        // S2 repeats each row once per member of its group: the first two
        // rows both have 90 points, so only ID 1 is in the subquery.
        {"a join that repeats rows counts them", "SELECT NAME FROM T_SCORE WHERE ID IN (SELECT TOP 2 T_SCORE.ID FROM "
                                                 "T_SCORE LEFT JOIN T_SCORE AS S2 ON S2.GRP = T_SCORE.GRP ORDER BY "
                                                 "T_SCORE.PTS DESC)",
         {"a"}},
        {"a RIGHT JOIN, Nulls tied first", "SELECT TOP 1 T_GRP.LABEL FROM T_SCORE RIGHT JOIN T_GRP ON "
                                           "T_GRP.GRP = T_SCORE.GRP ORDER BY T_SCORE.PTS",
         {"three", "three"}},
        {"a LEFT JOIN searched with LIKE", "SELECT TOP 2 T_SCORE.ID FROM T_SCORE LEFT JOIN T_GRP ON "
                                           "T_GRP.GRP = T_SCORE.GRP WHERE T_GRP.LABEL LIKE '%o%' ORDER BY T_SCORE.PTS",
         {"4", "7", "9"}},
        {"a final ';'", "SELECT TOP 1 ID FROM T_SCORE ORDER BY PTS;", {"5", "6"}},
    };
    for (const Case& c : cases) EXPECT_EQ(sorted(c.sql), c.rows) << c.what << ": " << c.sql;
}

TEST_F(JetTop, PercentRoundsTheShareUpAndAddsTheTies) {
    // Nine rows.
    const std::vector<Case> cases{
        {"0.9 rows is 1", "SELECT TOP 10 PERCENT ID FROM T_SCORE ORDER BY PTS DESC", {"1"}},
        {"1.8 rows is 2, and its ties", "SELECT TOP 20 PERCENT ID FROM T_SCORE ORDER BY PTS DESC", {"1", "2", "3", "8"}},
        {"4.05 rows is 5, and its ties", "SELECT TOP 45 PERCENT ID FROM T_SCORE ORDER BY PTS DESC",
         {"1", "2", "3", "4", "8", "9"}},
        {"4.5 rows is 5, no ties", "SELECT TOP 50 PERCENT ID FROM T_SCORE ORDER BY ID", {"1", "2", "3", "4", "5"}},
        {"Nulls first, the share ends a tie group", "SELECT TOP 50 PERCENT ID FROM T_SCORE ORDER BY PTS",
         {"4", "5", "6", "7", "9"}},
        {"of the rows WHERE leaves", "SELECT TOP 50 PERCENT ID FROM T_SCORE WHERE GRP = 1 ORDER BY PTS", {"2", "7"}},
        {"a fraction of a percent", "SELECT TOP 0.5 PERCENT ID FROM T_SCORE ORDER BY ID", {"1"}},
        {"all", "SELECT COUNT(*) FROM (SELECT TOP 100 PERCENT ID FROM T_SCORE ORDER BY PTS)", {"9"}},
        {"a share written with an exponent", "SELECT COUNT(*) FROM (SELECT TOP 1E+2 PERCENT ID FROM T_SCORE ORDER BY PTS)",
         {"9"}},
        {"no ORDER BY: the share", "SELECT COUNT(*) FROM (SELECT TOP 30 PERCENT ID FROM T_SCORE)", {"3"}},
        {"of the distinct rows", "SELECT COUNT(*) FROM (SELECT DISTINCT TOP 50 PERCENT GRP FROM T_SCORE)", {"2"}},
        {"of the groups", "SELECT TOP 34 PERCENT GRP FROM T_SCORE GROUP BY GRP ORDER BY MAX(PTS) DESC", {"1", "2"}},
        {"in a subquery",
         "SELECT NAME FROM T_SCORE WHERE ID IN (SELECT TOP 25 PERCENT ID FROM T_SCORE ORDER BY PTS DESC)",
         {"H", "a", "b", "c"}},
    };
    for (const Case& c : cases) EXPECT_EQ(sorted(c.sql), c.rows) << c.what << ": " << c.sql;
}

TEST_F(JetTop, KeepsTheOrderTheFieldsAndTheUpdatableSource) {
    EXPECT_EQ(column("SELECT TOP 6 ID FROM T_SCORE ORDER BY PTS DESC, BONUS DESC, ID"),
              (Rows{"1", "8", "3", "2", "4", "9"}));
    Recordset plain, top;
    const std::string list = " ID, PTS * 2, NAME AS N, T_SCORE.BONUS, SEEN FROM T_SCORE ORDER BY PTS DESC";
    plain.Open("SELECT" + list, cn_, adOpenStatic, adLockReadOnly, adCmdText);
    top.Open("SELECT TOP 2" + list, cn_, adOpenStatic, adLockReadOnly, adCmdText);
    ASSERT_EQ(top.FieldCount(), 5);
    ASSERT_EQ(top.FieldCount(), plain.FieldCount());
    for (int i = 0; i < top.FieldCount(); ++i) {
        EXPECT_EQ(top.Fields(i).Name(), plain.Fields(i).Name()) << i;
        EXPECT_EQ(top.Fields(i).Value(), plain.Fields(i).Value()) << i;  // the first row, value and type
    }
    EXPECT_EQ(top.Fields(1).Name(), "Expr1000");
    EXPECT_EQ(top.Fields(4).Value().type(), VarType::Date);
    Recordset derived;
    derived.Open("SELECT * FROM (SELECT TOP 1 PTS AS P, T_SCORE.NAME, [GRP] FROM T_SCORE ORDER BY P DESC)", cn_,
                 adOpenStatic, adLockReadOnly, adCmdText);
    ASSERT_EQ(derived.FieldCount(), 3);
    EXPECT_EQ(derived.Fields(0).Name() + " " + derived.Fields(1).Name() + " " + derived.Fields(2).Name(), "P NAME GRP");
    const JetStatement st = translateJet("SELECT TOP 2 * FROM T_SCORE ORDER BY PTS DESC");
    EXPECT_EQ(st.singleSource, "T_SCORE");
    EXPECT_EQ(st.sql.rfind("SELECT * FROM T_SCORE ORDER BY PTS DESC LIMIT (", 0), 0u) << st.sql;
}

TEST_F(JetTop, RunsByShapeWithTheLiteralsOfEachText) {
    // The counting query repeats the WHERE: its literals are the same
    // parameters, whatever comes after them.
    const std::string sql = "SELECT NAME FROM T_SCORE WHERE NAME <> '%s' AND ID IN (SELECT TOP 1 ID FROM T_SCORE "
                            "WHERE GRP = %d AND BONUS > %d ORDER BY PTS DESC) AND PTS > %d";
    const auto text = [&](const char* name, int grp, int bonus, int pts) {
        std::string s = sql;
        for (const std::string& v : {std::string(name), std::to_string(grp), std::to_string(bonus), std::to_string(pts)})
            s.replace(s.find('%'), 2, v);
        return s;
    };
    EXPECT_EQ(sorted(text("zz", 2, 0, 10)), (Rows{"H", "c"}));
    EXPECT_EQ(sorted(text("c", 2, 0, 10)), (Rows{"H"}));
    EXPECT_EQ(sorted(text("zz", 2, 5, 10)), (Rows{"H"}));
    EXPECT_EQ(sorted(text("zz", 1, 0, 10)), (Rows{"a"}));
    EXPECT_EQ(sorted(text("zz", 2, 2, 75)), (Rows{"H", "c"}));
    const std::string first = text("zz", 2, 0, 10);
    const JetSqlText jet(first);
    EXPECT_EQ(jet.literals().size(), 4u);
    const JetStatement st = jet.translate();
    EXPECT_EQ(st.sql.find("?4"), std::string::npos) << st.sql;  // copies name ?2 and ?3 only
    EXPECT_NE(st.sql.find("?2"), std::string::npos) << st.sql;
    // Between numbers its parameters; one after a subquery follows on.
    EXPECT_EQ(sorted("SELECT TOP 1 ID FROM T_SCORE WHERE PTS BETWEEN 61 AND 85 ORDER BY PTS"), (Rows{"4", "9"}));
    EXPECT_EQ(sorted("SELECT NAME FROM T_SCORE WHERE ID IN (SELECT TOP 1 ID FROM T_SCORE WHERE PTS BETWEEN 61 AND 85 "
                     "ORDER BY PTS) AND NAME <> 'd'"),
              (Rows{"i"}));
    EXPECT_EQ(sorted("SELECT NAME FROM T_SCORE WHERE NAME <> 'x' AND ID IN (SELECT TOP 2 ID FROM T_SCORE WHERE GRP = 2 "
                     "ORDER BY IIf(NAME = 'c', 0, 1), PTS) AND PTS BETWEEN 1 AND 99"),
              (Rows{"c", "d", "i"}));
    // A TOP inside a TOP: the inner ranked rows are written again inside
    // the outer's counting query, their literals numbered in both.
    EXPECT_EQ(sorted("SELECT TOP 1 NAME FROM T_SCORE WHERE NAME <> 'x' AND ID IN (SELECT TOP 2 ID FROM T_SCORE WHERE "
                     "GRP = 2 ORDER BY PTS) ORDER BY BONUS DESC"),
              (Rows{"d", "i"}));
}

TEST(JetTopParameters, ATextGluedToAWordStaysAnAnonymousParameter) {
    // Found by the fuzzer's parameter count: 'x'03 became ?03, a numbered
    // parameter that binds the third literal.
    const std::string sql = "SELECT 'x'03M FROM T WHERE A = 'y'";
    const JetSqlText jet(sql);
    EXPECT_EQ(jet.translate().sql, "SELECT ? 03M FROM T WHERE A = ?");
}

TEST_F(JetTop, RefusesWhatItCannotAnswerAsJetDoes) {
    struct Refusal {
        std::string sql;
        const char* words;
    };
    const std::string deep = "SELECT ID FROM T_SCORE WHERE ID IN (SELECT TOP 1 ID FROM T_SCORE WHERE ID IN "
                             "(SELECT TOP 1 ID FROM T_SCORE WHERE ID IN (SELECT TOP 1 ID FROM T_SCORE WHERE ID IN "
                             "(SELECT TOP 1 ID FROM T_SCORE WHERE ID IN (SELECT TOP 1 ID FROM T_SCORE)))))";
    const std::vector<Refusal> refusals{
        {"SELECT TOP 2 * FROM T_SCORE ORDER BY 2", "列番号 2"},
        {"SELECT TOP 2 ID FROM T_SCORE ORDER BY 3", "列番号 3"},
        {"SELECT TOP 2.5 ID FROM T_SCORE", "TOP の後には行数を整数で"},
        {"SELECT TOP #2024/01/31# ID FROM T_SCORE", "TOP の後には行数を整数で"},
        {"SELECT TOP 1 ID FROM T_SCORE UNION SELECT GRP FROM T_GRP", "UNION"},
        // A LIMIT in the last member would end the whole compound.
        {"SELECT GRP FROM T_GRP UNION SELECT TOP 1 ID FROM T_SCORE ORDER BY PTS", "UNION"},
        {"SELECT GRP FROM T_GRP UNION ALL SELECT TOP 1 ID FROM T_SCORE", "UNION"},
        {"SELECT TOP 1 ID FROM T_SCORE LIMIT 3", "LIMIT"},
        {deep, "入れ子"},
    };
    for (const Refusal& r : refusals) {
        const std::string message = failure(r.sql);
        EXPECT_NE(message.find(r.words), std::string::npos) << r.sql << " -> " << message;
    }
    // Keys named by alias repeat their item at every level: bounded.
    std::string keys = "A";
    for (int i = 0; i < 60; ++i) keys += ", A";
    std::string repeated = "SELECT TOP 1 ID AS A FROM T_SCORE ORDER BY " + keys;
    for (int level = 0; level < 3; ++level)
        repeated = "SELECT TOP 1 (" + repeated + ") AS A FROM T_SCORE ORDER BY " + keys;
    EXPECT_NE(failure(repeated).find("複雑すぎます"), std::string::npos);
    // Four levels are within the bound.
    EXPECT_EQ(column(deep.substr(0, deep.find(" WHERE ID IN (SELECT TOP 1 ID FROM T_SCORE)")) + "))))"), (Rows{"1"}));
}

}  // namespace
