// The engine's LIKE and its rewrites of outer joins: the same rows as
// SQLite's own LIKE and the statements as written, and the rewritten
// texts themselves where the planner depends on them.
#include <sqlite3.h>

#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/Connection.h"
#include "engine/JetSql.h"
#include "engine/LikeFunction.h"
#include "engine/Recordset.h"
#include "tests/engine/TestDatabase.h"

namespace lumo::test {
namespace {

using db::likeMatches;
using db::translateJet;

// What SQLite's built-in LIKE answers (a connection without our function).
bool sqliteLike(const std::string& pattern, const std::string& text) {
    sqlite3* raw = nullptr;
    sqlite3_open(":memory:", &raw);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(raw, "SELECT ?1 LIKE ?2", -1, &st, nullptr);
    sqlite3_bind_text(st, 1, text.c_str(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    sqlite3_bind_text(st, 2, pattern.c_str(), static_cast<int>(pattern.size()), SQLITE_TRANSIENT);
    sqlite3_step(st);
    const bool result = sqlite3_column_int(st, 0) != 0;
    sqlite3_finalize(st);
    sqlite3_close(raw);
    return result;
}

TEST(EngineLike, AgreesWithSqlitesOwnLike) {
    const std::vector<std::string> patterns = {
        "%", "", "%%", "a", "A", "%a%", "%a", "a%", "_", "__", "%_%", "a_c", "%b_d%", "%1234%", "%1234", "1234%",
        "03-%-1234", "%山田%", "山_", "%山_%", "_田", "%田", "O'B%", "%o'brien%", "a%b%c", "%a%a%", "%ab%ab%",
        "x%", "%ｶﾞ%", "%é%", "É%", "%%ab%%", "%AB", "ab", "%03-3401-1234%", "%ﾞ%"};
    const std::vector<std::string> texts = {
        "", "a", "A", "abc", "ABC", "abcd", "aXbYc", "ababab", "aab", "03-3401-1234", "090-1234-5678", "12341234",
        "山田", "山田太郎", "小山田", "山", "O'Brien", "o'BRIEN", "ｵｶﾞﾜ", "é", "É", "_", "%"};
    for (const std::string& p : patterns)
        for (const std::string& t : texts)
            EXPECT_EQ(likeMatches(p, t), sqliteLike(p, t)) << "'" << t << "' LIKE '" << p << "'";
}

TEST(EngineLike, NullGivesNullThroughTheEngine) {
    TestDatabase file(kEngineTables);
    db::Connection cn;
    cn.Open(file.connectionString());
    db::Recordset rs;
    rs.Open("SELECT LASTNAME LIKE '%a%' AS M FROM T_PERSON WHERE FIRSTNAME = 'Ann'", cn, db::adOpenStatic,
            db::adLockReadOnly, db::adCmdText);
    ASSERT_FALSE(rs.Eof());
    EXPECT_TRUE(rs.Fields("M").Value().isNull());
}

TEST(OuterJoins, RightJoinsBecomeMirroredLeftJoins) {
    EXPECT_EQ(translateJet("SELECT A.X, B.Y FROM A RIGHT JOIN (B RIGHT OUTER JOIN C AS Z ON B.K = Z.K) ON A.K = B.K "
                           "WHERE A.X = 1")
                  .sql,
              "SELECT A.X, B.Y FROM (C AS Z LEFT JOIN B ON B.K = Z.K) LEFT JOIN A ON A.K = B.K WHERE A.X = 1");
    // With * the columns would come in another order; a chain without
    // parentheses is left to SQLite.
    for (const char* kept : {"SELECT * FROM A RIGHT JOIN B ON A.K = B.K",
                             "SELECT A.X FROM A RIGHT JOIN B ON A.K = B.K LEFT JOIN C ON C.K = B.K"})
        EXPECT_EQ(translateJet(kept).sql, kept);
    // An item without a name of its own: only its Jet operator is rewritten.
    EXPECT_EQ(translateJet("SELECT DISTINCT P.ID, V.N + 1 FROM P LEFT JOIN V ON P.ID = V.ID").sql,
              "SELECT DISTINCT P.ID, lumo_add(V.N, 1) FROM P LEFT JOIN V ON P.ID = V.ID");
}

TEST(OuterJoins, DistinctIsAppliedToTheFinishedRows) {
    EXPECT_EQ(translateJet("SELECT DISTINCT P.ID, V.N AS NUMBER FROM P LEFT JOIN V ON P.ID = V.ID WHERE P.ID > 1").sql,
              "SELECT DISTINCT * FROM (SELECT P.ID, V.N AS NUMBER FROM P LEFT JOIN V ON P.ID = V.ID WHERE P.ID > 1 "
              "LIMIT -1)");
    for (const char* kept : {"SELECT DISTINCT P.ID FROM P INNER JOIN V ON P.ID = V.ID",
                             "SELECT DISTINCT P.ID FROM P LEFT JOIN V ON P.ID = V.ID ORDER BY P.ID",
                             "SELECT DISTINCT * FROM P LEFT JOIN V ON P.ID = V.ID",
                             "SELECT P.ID FROM P LEFT JOIN V ON P.ID = V.ID"})
        EXPECT_EQ(translateJet(kept).sql, kept);
}

// Rows of a statement through the engine, and through SQLite as written
// (with & spelt for SQLite), compared as sets.
std::multiset<std::vector<std::string>> engineRows(db::Connection& cn, const std::string& sql,
                                                   std::vector<std::string>* names) {
    db::Recordset rs;
    rs.Open(sql, cn, db::adOpenStatic, db::adLockReadOnly, db::adCmdText);
    for (int i = 0; names && i < rs.FieldCount(); ++i) names->push_back(rs.Fields(i).Name());
    std::multiset<std::vector<std::string>> rows;
    for (; !rs.Eof(); rs.MoveNext()) {
        std::vector<std::string> row;
        for (int i = 0; i < rs.FieldCount(); ++i) {
            const db::Variant& v = rs.Fields(i).Value();
            row.push_back(v.isNull() ? "<null>" : v.toString());
        }
        rows.insert(row);
    }
    return rows;
}

TEST(OuterJoins, RewrittenStatementsKeepTheirRowsAndNames) {
    TestDatabase file(kEngineTables);
    db::Connection cn;
    cn.Open(file.connectionString());
    std::vector<std::string> names;
    // A person with two home phones would appear twice without DISTINCT.
    cn.Execute("INSERT INTO T_PHONE (PERSON_ID, TEL_NUMBER, TYPE, RANK) VALUES (1, '03-1111-2222', 'HOME', 3)", -1);
    const auto distinct = engineRows(
        cn,
        "SELECT DISTINCT T_PERSON.PERSON_ID, vwHomePhone.TEL_NUMBER AS HOME, T_GROUPING.LABEL FROM T_GROUPING "
        "INNER JOIN (T_PERSON LEFT JOIN vwHomePhone ON T_PERSON.PERSON_ID = vwHomePhone.PERSON_ID) ON "
        "T_GROUPING.TYPE_ID = T_PERSON.TYPE_ID",
        &names);
    EXPECT_EQ(names, (std::vector<std::string>{"PERSON_ID", "HOME", "LABEL"}));
    EXPECT_EQ(distinct, (std::multiset<std::vector<std::string>>{
                            {"1", "03-1111-2222", "未分類"}, {"2", "06-3333-4444", "友人"}, {"3", "<null>", "友人"}}));

    names.clear();
    const auto right = engineRows(cn,
                                  "SELECT T_PERSON.LASTNAME, T_PHONE.TEL_NUMBER FROM T_PERSON RIGHT JOIN T_PHONE ON "
                                  "T_PERSON.PERSON_ID = T_PHONE.PERSON_ID AND T_PERSON.AGE > 10",
                                  &names);
    EXPECT_EQ(names, (std::vector<std::string>{"LASTNAME", "TEL_NUMBER"}));
    EXPECT_EQ(right, (std::multiset<std::vector<std::string>>{{"山田", "03-1111-2222"},
                                                              {"山田", "03-1111-2222"},
                                                              {"山田", "090-0000-0000"},
                                                              {"<null>", "06-3333-4444"}}));
}

}  // namespace
}  // namespace lumo::test
