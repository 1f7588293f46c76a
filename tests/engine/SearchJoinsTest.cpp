// The rewrites of searches over outer joins: every statement gives the
// rows it gives unrewritten (the same statement with " OR 1 = 0" added to
// its chain of LIKE tests, which none of the rewrites accepts), and the
// rewrite the planner depends on is there.
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/Connection.h"
#include "engine/JetSql.h"
#include "engine/Recordset.h"
#include "platform/Error.h"
#include "tests/engine/TestDatabase.h"

namespace lumo::test {
namespace {

// Persons with several, one or no phones, a phone without a number and a
// phone of nobody; sheets of both kinds, a sale of a missing customer, a
// sheet naming both counterparts, contacts without names.
constexpr const char* kSearchTables = R"sql(
CREATE TABLE T_PERSON (PERSON_ID INTEGER PRIMARY KEY AUTOINCREMENT, LASTNAME TEXT COLLATE NOCASE,
                       FIRSTNAME TEXT COLLATE NOCASE);
CREATE TABLE T_PHONE (PHONE_ID INTEGER PRIMARY KEY AUTOINCREMENT, PERSON_ID LONG, TEL_NUMBER TEXT COLLATE NOCASE);
INSERT INTO T_PERSON (LASTNAME, FIRSTNAME) VALUES ('山田', '太郎'), ('Tanaka', NULL), (NULL, NULL), ('12田', 'x');
INSERT INTO T_PHONE (PERSON_ID, TEL_NUMBER) VALUES (1, '03-1234-5678'), (1, '1234'), (1, '090-1234'), (2, NULL),
  (2, '06-9999'), (9, '1234-00'), (4, '12');
CREATE TABLE T_iGROUPING (ITYPE_ID INTEGER PRIMARY KEY AUTOINCREMENT, ILABEL TEXT COLLATE NOCASE);
CREATE TABLE T_ITEMS (ID INTEGER PRIMARY KEY AUTOINCREMENT, ITYPE_ID LONG, ITEM_NAME TEXT COLLATE NOCASE,
                      ITEM_ALIAS TEXT COLLATE NOCASE);
CREATE TABLE T_iSUPPLIER (SUPPLIER_ID INTEGER PRIMARY KEY AUTOINCREMENT, ALIAS TEXT COLLATE NOCASE,
                          SUPPLIER TEXT COLLATE NOCASE, SLAST_NAME TEXT COLLATE NOCASE, SFIRST_NAME TEXT COLLATE NOCASE);
CREATE TABLE T_iCUSTOMER (CUSTOMER_ID INTEGER PRIMARY KEY AUTOINCREMENT, ALIAS TEXT COLLATE NOCASE,
                          CUSTOMER TEXT COLLATE NOCASE, CLAST_NAME TEXT COLLATE NOCASE, CFIRST_NAME TEXT COLLATE NOCASE);
CREATE TABLE T_SHEET (ID INTEGER PRIMARY KEY AUTOINCREMENT, SHEET_ID SHORT, GOODS_ID LONG, CUSTOMER_ID LONG,
                      SUPPLIER_ID LONG);
CREATE INDEX ixSheetSupplier ON T_SHEET (SUPPLIER_ID);
CREATE INDEX ixSheetCustomer ON T_SHEET (CUSTOMER_ID);
INSERT INTO T_iGROUPING (ILABEL) VALUES ('食品'), ('Books');
INSERT INTO T_ITEMS (ITYPE_ID, ITEM_NAME, ITEM_ALIAS) VALUES (1, '茶', 'ちゃ'), (2, 'Atlas', 'あとらす'), (7, 'lost', NULL);
INSERT INTO T_iSUPPLIER (ALIAS, SUPPLIER, SLAST_NAME, SFIRST_NAME) VALUES ('あおば', '青葉商事', '青木', NULL),
  (NULL, 'Kita Trading', NULL, NULL), ('みなみ', '南', '南', '一郎');
INSERT INTO T_iCUSTOMER (ALIAS, CUSTOMER, CLAST_NAME, CFIRST_NAME) VALUES ('あおい', '葵屋', NULL, '青子'),
  ('きた', 'kita shop', 'North', NULL), (NULL, NULL, NULL, NULL);
INSERT INTO T_SHEET (SHEET_ID, GOODS_ID, CUSTOMER_ID, SUPPLIER_ID) VALUES (0, 1, NULL, 1), (0, 2, NULL, 2),
  (1, 1, 1, NULL), (1, 2, 2, NULL), (1, 1, 99, NULL), (1, 2, 3, 3), (0, 3, NULL, 1), (1, 1, 2, 1), (0, 2, 0, NULL);
)sql";

constexpr const char* kSheetList =
    "SELECT T_SHEET.ID, T_iSUPPLIER.SUPPLIER, T_iCUSTOMER.CUSTOMER, T_ITEMS.ITEM_NAME, T_iGROUPING.ILABEL "
    "FROM T_iGROUPING INNER JOIN (T_ITEMS INNER JOIN (T_iSUPPLIER RIGHT JOIN "
    "(T_iCUSTOMER RIGHT JOIN T_SHEET ON T_iCUSTOMER.CUSTOMER_ID = T_SHEET.CUSTOMER_ID)"
    "ON T_iSUPPLIER.SUPPLIER_ID = T_SHEET.SUPPLIER_ID) ON T_ITEMS.ID = T_SHEET.GOODS_ID)"
    "ON T_iGROUPING.ITYPE_ID = T_ITEMS.ITYPE_ID WHERE ";
constexpr const char* kPhoneJoin =
    "SELECT T_PERSON.PERSON_ID, T_PHONE.TEL_NUMBER FROM T_PERSON LEFT JOIN T_PHONE "
    "ON T_PERSON.PERSON_ID = T_PHONE.PERSON_ID WHERE ";

std::string counterparts(const std::string& w) {
    return "T_iCUSTOMER.ALIAS LIKE '%" + w + "%' OR T_iCUSTOMER.CUSTOMER LIKE '%" + w +
           "%' OR (T_iCUSTOMER.CLAST_NAME & T_iCUSTOMER.CFIRST_NAME) LIKE '%" + w + "%' OR T_iSUPPLIER.ALIAS LIKE '%" +
           w + "%' OR T_iSUPPLIER.SUPPLIER LIKE '%" + w + "%' OR (T_iSUPPLIER.SLAST_NAME & T_iSUPPLIER.SFIRST_NAME) LIKE '%" +
           w + "%'";
}

std::string phones(const std::string& p) {
    return "T_PHONE.TEL_NUMBER LIKE '%" + p + "%' OR T_PHONE.TEL_NUMBER LIKE '%" + p + "' OR T_PHONE.TEL_NUMBER LIKE '" +
           p + "%'";
}

struct Case {
    std::string before, chain, after;  // the statement is before + "(" + chain + ")" + after
    std::vector<std::string> rewritten;     // texts the translation must hold
    std::vector<std::string> notRewritten;  // texts it must not hold
};

std::vector<Case> cases() {
    const std::string inPhones =
        "SELECT T_PERSON.PERSON_ID FROM T_PERSON WHERE T_PERSON.PERSON_ID IN (SELECT T_PERSON.PERSON_ID FROM T_PERSON "
        "LEFT JOIN T_PHONE ON T_PERSON.PERSON_ID = T_PHONE.PERSON_ID WHERE ";
    return {
        // The counterpart search: every sheet whose customer or supplier matches.
        {kSheetList + std::string("("), counterparts("あお"), ")", {"T_SHEET.CUSTOMER_ID IN (SELECT", "FROM (((T_SHEET"}, {}},
        {kSheetList + std::string("("), counterparts("kita"), ")", {"T_SHEET.SUPPLIER_ID IN (SELECT"}, {}},
        {kSheetList + std::string("("), counterparts("North"), ")", {"T_SHEET.CUSTOMER_ID IN (SELECT"}, {}},
        {kSheetList + std::string("("), counterparts("%"), ")", {"T_SHEET.CUSTOMER_ID IN (SELECT"}, {}},
        {kSheetList + std::string("("), counterparts("_"), ")", {"T_SHEET.CUSTOMER_ID IN (SELECT"}, {}},
        // A Between beside the search: its And is its own.
        {kSheetList + std::string("T_SHEET.ID BETWEEN 2 AND 8 AND ("), counterparts("あ"), ")",
         {"T_SHEET.CUSTOMER_ID IN (SELECT"}, {}},
        // Goods words and counterpart words together.
        {kSheetList + std::string("((T_ITEMS.ITEM_NAME LIKE '%茶%' OR T_iGROUPING.ILABEL LIKE '%茶%') AND ("),
         counterparts("青"), "))", {"T_SHEET.CUSTOMER_ID IN (SELECT"}, {}},
        // Goods words alone test no outer-joined table.
        {kSheetList, "T_ITEMS.ITEM_NAME LIKE '%a%' OR T_iGROUPING.ILABEL LIKE '%a%'", "", {"lumo_like_pairs("},
         {" IN (SELECT"}},
        // A test that holds on the Null row keeps the joins as they are.
        {kSheetList, "T_iCUSTOMER.ALIAS IS NULL OR T_iSUPPLIER.ALIAS LIKE '%あ%'", "", {}, {" IN (SELECT"}},
        // With ORDER BY the statement stays as written.
        {kSheetList + std::string("("), counterparts("あ"), ") ORDER BY T_SHEET.ID", {}, {" IN (SELECT"}},
        // Phones: one number against three patterns, through an outer join.
        {kPhoneJoin, phones("1234"), "", {"INNER JOIN T_PHONE", "lumo_like_any("}, {}},
        {kPhoneJoin, phones("12"), "", {"INNER JOIN T_PHONE"}, {}},
        {kPhoneJoin, phones("%"), "", {"INNER JOIN T_PHONE"}, {}},
        {inPhones, phones("1234"), ")", {"INNER JOIN T_PHONE"}, {}},
        {inPhones + "(T_PERSON.LASTNAME LIKE '%田%' OR T_PERSON.FIRSTNAME LIKE '%田%') AND (", phones("12"), "))",
         {"INNER JOIN T_PHONE"}, {}},
        // Tests of the left table, or a Null test, keep the outer join.
        {kPhoneJoin, "T_PERSON.LASTNAME LIKE '%田%' OR T_PERSON.FIRSTNAME LIKE '%田%'", "",
         {"LEFT JOIN T_PHONE", "lumo_like_pairs(T_PERSON.LASTNAME, '%田%', T_PERSON.FIRSTNAME, '%田%')"}, {}},
        // Several columns, one of them Null in a row (Tanaka's first name).
        {kPhoneJoin, "T_PERSON.LASTNAME LIKE 't%' OR T_PERSON.FIRSTNAME LIKE '%x%' OR T_PHONE.TEL_NUMBER LIKE '06%'", "",
         {"lumo_like_pairs("}, {}},
        // A chain of one column stays one lumo_like_any; an operand that is
        // no plain column keeps the chain.
        {kPhoneJoin, "T_PERSON.LASTNAME LIKE '%田%' OR T_PERSON.LASTNAME LIKE 'T%'", "", {"lumo_like_any("},
         {"lumo_like_pairs"}},
        {kPhoneJoin, "(T_PERSON.LASTNAME & T_PERSON.FIRSTNAME) LIKE '%田太%' OR T_PERSON.FIRSTNAME LIKE 'x'", "", {},
         {"lumo_like_pairs"}},
        {kPhoneJoin, "T_PHONE.TEL_NUMBER IS NULL OR T_PHONE.TEL_NUMBER LIKE '0%'", "", {"LEFT JOIN T_PHONE"}, {}},
        // Under NOT a Null row would count: left alone.
        {kPhoneJoin + std::string("NOT "), phones("12"), "", {"LEFT JOIN T_PHONE"}, {"lumo_like_any"}},
        // AND binds tighter than OR: the chain is not the whole condition.
        {kPhoneJoin + std::string("T_PERSON.LASTNAME LIKE 'T%' AND "), "T_PHONE.TEL_NUMBER LIKE '0%'",
         " OR T_PHONE.TEL_NUMBER IS NULL", {"LEFT JOIN T_PHONE"}, {}},
    };
}

std::vector<std::vector<std::string>> rowsOf(db::Connection& cn, const std::string& sql) {
    db::Recordset rs;
    rs.Open(sql, cn, db::adOpenForwardOnly, db::adLockReadOnly, db::adCmdText);
    std::vector<std::vector<std::string>> rows;
    for (; !rs.Eof(); rs.MoveNext()) {
        auto& row = rows.emplace_back();
        for (int i = 0; i < rs.FieldCount(); ++i) {
            const db::Variant v = rs.Fields(i).Value();
            row.push_back(v.isNull() ? "<null>" : v.toString());
        }
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

TEST(SearchJoins, RewrittenSearchesGiveTheRowsOfTheStatementsAsWritten) {
    TestDatabase file(kSearchTables);
    db::Connection cn;
    cn.Open(file.connectionString());
    for (const Case& c : cases()) {
        const std::string sql = c.before + "(" + c.chain + ")" + c.after;
        const std::string plain = c.before + "(" + c.chain + " OR 1 = 0)" + c.after;
        SCOPED_TRACE(sql);
        const std::string translated = db::translateJet(sql).sql;
        for (const std::string& text : c.rewritten) EXPECT_NE(translated.find(text), std::string::npos) << translated;
        for (const std::string& text : c.notRewritten) EXPECT_EQ(translated.find(text), std::string::npos) << translated;
        const std::string plainText = db::translateJet(plain).sql;
        EXPECT_EQ(plainText.find(" IN (SELECT T_i"), std::string::npos) << plainText;
        EXPECT_EQ(plainText.find("lumo_like_any"), std::string::npos) << plainText;
        const auto rows = rowsOf(cn, sql);
        EXPECT_EQ(rows, rowsOf(cn, plain));
        EXPECT_EQ(rowsOf(cn, sql), rows);  // again, from the cached statement
    }
}

TEST(SearchJoins, SearchesFindWhatTheyShould) {
    // Not only the same rows as unrewritten: the rows a reader expects.
    TestDatabase file(kSearchTables);
    db::Connection cn;
    cn.Open(file.connectionString());
    const auto ids = [&](const std::string& sql) {
        std::vector<std::string> out;
        for (const auto& row : rowsOf(cn, sql)) out.push_back(row.front());
        return out;
    };
    // あお: customer あおい (sheet 3), supplier あおば (sheets 1, 7 has lost goods, 8).
    EXPECT_EQ(ids(kSheetList + std::string("((") + counterparts("あお") + "))"),
              (std::vector<std::string>{"1", "3", "8"}));
    // A phone once per matching number; a person's numbers found by any of them.
    EXPECT_EQ(ids(kPhoneJoin + std::string("(") + phones("1234") + ")"), (std::vector<std::string>{"1", "1", "1"}));
    EXPECT_EQ(ids(kPhoneJoin + std::string("(") + phones("12") + ")"), (std::vector<std::string>{"1", "1", "1", "4"}));
    // The chain right after WHERE, without parentheses, becomes one call there.
    EXPECT_EQ(ids(kPhoneJoin + phones("12")), (std::vector<std::string>{"1", "1", "1", "4"}));
}

// The one call for a chain over several columns gives what the chain of
// OR gives: true (Jet's -1 in a select list) when one pair matches, else
// Null when one side of a pair is Null, else false.
TEST(SearchJoins, OneCallForSeveralColumnsIsTheirChainOfOr) {
    TestDatabase file(kSearchTables);
    db::Connection cn;
    cn.Open(file.connectionString());
    const struct {
        const char* arguments;
        const char* value;
    } cases[] = {
        {"'山田', '%田%', '太郎', '%x%'", "-1"},
        {"'山田', '%x%', '太郎', '%郎'", "-1"},
        {"'山田', '%x%', '太郎', '%y%'", "0"},
        {"NULL, '%田%', '太郎', '%太%'", "-1"},
        {"NULL, '%田%', '太郎', '%x%'", "<null>"},
        {"'山田', '%田%', NULL, '%x%'", "-1"},
        {"'山田', NULL, '太郎', '%x%'", "<null>"},
        {"'Tanaka', 't%A'", "-1"},
        {"'', '_', '', '%'", "-1"},
        {"'', '_', 'ab', '_'", "0"},
        {"'[x]', '[[]x]', 'a', 'b'", "-1"},
        {"12, '1_', 'a', 'b'", "-1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        const auto rows = rowsOf(cn, std::string("SELECT lumo_like_pairs(") + c.arguments + ") AS V FROM T_PERSON WHERE PERSON_ID = 1");
        ASSERT_EQ(rows.size(), 1u);
        EXPECT_EQ(rows.front().front(), c.value);
    }
    EXPECT_THROW(rowsOf(cn, "SELECT lumo_like_pairs('a', '%', 'b') AS V FROM T_PERSON"), Error);
}

}  // namespace
}  // namespace lumo::test
