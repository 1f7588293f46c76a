// Outer joins that nothing reads, dropped from subqueries after IN: the
// statement gives the rows it gives with the join kept (the same statement
// with an always-true test that reads the joined table), and the join goes
// only where it may.
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/Connection.h"
#include "engine/JetSql.h"
#include "tests/engine/TestDatabase.h"

namespace lumo::test {
namespace {

constexpr const char* kTables = R"sql(
CREATE TABLE T_PERSON (PERSON_ID INTEGER PRIMARY KEY AUTOINCREMENT, LASTNAME TEXT COLLATE NOCASE);
CREATE TABLE T_PHONE (PHONE_ID INTEGER PRIMARY KEY AUTOINCREMENT, PERSON_ID LONG, TEL_NUMBER TEXT COLLATE NOCASE);
CREATE TABLE T_EMAIL (MAIL_ID INTEGER PRIMARY KEY AUTOINCREMENT, PERSON_ID LONG, PHONE_ID LONG);
INSERT INTO T_PERSON (LASTNAME) VALUES ('山田'), ('田中'), ('Sato'), (NULL);
INSERT INTO T_PHONE (PERSON_ID, TEL_NUMBER) VALUES (1, '03-1'), (1, '06-2'), (2, '03-3'), (9, '03-9');
INSERT INTO T_EMAIL (PERSON_ID, PHONE_ID) VALUES (1, 1), (3, 4), (9, NULL);
)sql";

constexpr const char* kKept = " AND (T_PHONE.PHONE_ID IS NULL OR T_PHONE.PHONE_ID IS NOT NULL)";

struct Case {
    std::string before, after;  // the statement is before + after, or before + keep + after
    bool dropped;
    std::string keep = kKept;
};

TEST(UnusedJoins, SubqueriesAfterInGiveTheSameRowsWithoutAJoinNothingReads) {
    const std::string outer = "SELECT P.PERSON_ID FROM T_PERSON AS P, T_EMAIL AS E WHERE E.MAIL_ID = 1 AND P.PERSON_ID ";
    const std::string inner = "(SELECT T_PERSON.PERSON_ID FROM T_PERSON LEFT JOIN T_PHONE ON T_PERSON.PERSON_ID = "
                              "T_PHONE.PERSON_ID WHERE ";
    const std::vector<Case> cases{
        {outer + "IN " + inner + "T_PERSON.LASTNAME LIKE '%田%'", ")", true},
        {outer + "NOT IN " + inner + "T_PERSON.LASTNAME LIKE '%田%'", ")", true},
        {outer + "IN " + inner + "T_PERSON.LASTNAME IS NULL OR T_PERSON.PERSON_ID > 2", ")", true},
        // The joined table read, by name or maybe by a bare column.
        {outer + "IN " + inner + "T_PHONE.TEL_NUMBER LIKE '03%'", ")", false},
        {outer + "IN " + inner + "TEL_NUMBER LIKE '03%'", ")", false},
        {outer + "IN (SELECT T_PERSON.PERSON_ID FROM T_PERSON LEFT JOIN T_PHONE AS Q ON T_PERSON.PERSON_ID = "
                 "Q.PERSON_ID WHERE Q.TEL_NUMBER LIKE '03%'",
         ")", false, " AND Q.PHONE_ID > 0"},
        // What counts or limits the rows keeps them.
        {"SELECT P.PERSON_ID FROM T_PERSON AS P, T_EMAIL AS E WHERE E.MAIL_ID = 1 AND 3 IN (SELECT COUNT(*) FROM "
         "T_PERSON LEFT JOIN T_PHONE ON T_PERSON.PERSON_ID = T_PHONE.PERSON_ID WHERE T_PERSON.PERSON_ID = 1",
         ")", false},
        {outer + "IN (SELECT TOP 1 T_PERSON.PERSON_ID FROM T_PERSON LEFT JOIN T_PHONE ON T_PERSON.PERSON_ID = "
                 "T_PHONE.PERSON_ID WHERE T_PERSON.PERSON_ID > 0",
         " ORDER BY T_PHONE.TEL_NUMBER)", false},
        // A literal in the ON clause: the literals after it are bound by
        // their order.
        {outer + "IN (SELECT T_PERSON.PERSON_ID FROM T_PERSON LEFT JOIN T_PHONE ON T_PERSON.PERSON_ID = "
                 "T_PHONE.PERSON_ID AND T_PHONE.TEL_NUMBER = '03-1' WHERE T_PERSON.LASTNAME LIKE '%田%'",
         ")", false},
        // A second join reads the first: the second goes, then the first.
        {outer + "IN (SELECT T_PERSON.PERSON_ID FROM (T_PERSON LEFT JOIN T_PHONE ON T_PERSON.PERSON_ID = "
                 "T_PHONE.PERSON_ID) LEFT JOIN T_EMAIL ON T_EMAIL.PHONE_ID = T_PHONE.PHONE_ID WHERE "
                 "T_PERSON.LASTNAME LIKE '%a%'",
         ")", true},
    };
    TestDatabase file(kTables);
    db::Connection cn;
    cn.Open(file.connectionString());
    for (const Case& c : cases) {
        const std::string sql = c.before + c.after;
        const bool joined = db::JetSqlText(sql).translate().sql.find("T_PHONE") != std::string::npos;
        EXPECT_EQ(!joined, c.dropped) << sql;
        std::vector<std::string> rows = firstColumn(cn, sql), kept = firstColumn(cn, c.before + c.keep + c.after);
        std::sort(rows.begin(), rows.end());
        std::sort(kept.begin(), kept.end());
        EXPECT_EQ(rows, kept) << sql;
    }
    // So that two empty answers cannot pass: 山田 and 田中.
    EXPECT_EQ(firstColumn(cn, cases.front().before + cases.front().after).size(), 2u);
}

// A WHERE clause that is only "T.k IN (SELECT T.k FROM T WHERE c)" becomes
// "(c)" where k is T's key and T is never the optional side.
TEST(UnusedJoins, AKeyTestedAgainstItsOwnTableBecomesTheCondition) {
    struct InCase {
        std::string sql;
        bool inlined;
    };
    const std::string persons =
        "SELECT T_PERSON.PERSON_ID, T_PHONE.TEL_NUMBER FROM T_PERSON LEFT JOIN T_PHONE ON T_PERSON.PERSON_ID = "
        "T_PHONE.PERSON_ID WHERE ";
    const std::vector<InCase> cases{
        {persons + "T_PERSON.PERSON_ID IN (SELECT T_PERSON.PERSON_ID FROM T_PERSON WHERE T_PERSON.LASTNAME LIKE '%田%')",
         true},
        {persons + "T_PERSON.PERSON_ID IN (SELECT T_PERSON.PERSON_ID FROM T_PERSON WHERE T_PERSON.LASTNAME IS NULL "
                   "OR T_PERSON.PERSON_ID = 3) ORDER BY 1",
         true},
        // The optional side: c would hold of the Null rows the join adds.
        {"SELECT T_EMAIL.MAIL_ID, T_PERSON.PERSON_ID FROM T_EMAIL LEFT JOIN T_PERSON ON T_PERSON.PERSON_ID = "
         "T_EMAIL.PERSON_ID WHERE T_PERSON.PERSON_ID IN (SELECT T_PERSON.PERSON_ID FROM T_PERSON WHERE "
         "T_PERSON.LASTNAME IS NULL)",
         false},
        // Not a key: another phone of the same person is kept by IN.
        {"SELECT T_PHONE.PHONE_ID, T_PERSON.LASTNAME FROM T_PHONE INNER JOIN T_PERSON ON T_PERSON.PERSON_ID = "
         "T_PHONE.PERSON_ID WHERE T_PHONE.PERSON_ID IN (SELECT T_PHONE.PERSON_ID FROM T_PHONE WHERE "
         "T_PHONE.TEL_NUMBER LIKE '03%')",
         false},
        // More than the one test.
        {persons + "T_PERSON.PERSON_ID IN (SELECT T_PERSON.PERSON_ID FROM T_PERSON WHERE T_PERSON.LASTNAME LIKE "
                   "'%田%') OR T_PHONE.PHONE_ID = 4",
         false},
    };
    TestDatabase file(kTables);
    db::Connection cn;
    cn.Open(file.connectionString());
    const db::UniqueKeyLookup unique = [](std::string_view source, std::string_view column) {
        return (source == "T_PERSON" && column == "PERSON_ID") || (source == "T_PHONE" && column == "PHONE_ID");
    };
    for (const InCase& c : cases) {
        const std::string translated = db::JetSqlText(c.sql).translate({}, {}, unique).sql;
        EXPECT_EQ(translated.find("IN (SELECT") == std::string::npos, c.inlined) << translated;
        // The engine, with the file's own keys, against the statement with
        // the subquery's table renamed, which nothing inlines.
        std::string kept = c.sql;
        const std::size_t in = kept.find("(SELECT ") + 8;
        const std::size_t from = kept.find(" FROM ", in) + 6;
        const std::size_t end = kept.find(' ', from);
        const std::string table = kept.substr(from, end - from);
        kept.insert(end, " AS X");
        for (std::size_t at = kept.find(table + ".", in); at != std::string::npos && at < kept.find(')', in);
             at = kept.find(table + ".", at))
            kept.replace(at, table.size(), "X");
        std::vector<std::string> rows = firstColumn(cn, c.sql), expected = firstColumn(cn, kept);
        std::sort(rows.begin(), rows.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(rows, expected) << c.sql << "\n" << kept;
    }
}

}  // namespace
}  // namespace lumo::test
