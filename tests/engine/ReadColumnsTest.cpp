// A caller that names the columns it reads gets the rows of the whole
// statement, the same ones, as many, in the same order: the person list's
// statements over a file with a person of two home phones, one without
// phones, one without names and one of a missing group; and the
// statements whose rows the left-out items or joins would change keep them.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/Connection.h"
#include "engine/JetSql.h"
#include "engine/RowStream.h"
#include "schema/Schema.h"
#include "tests/engine/TestDatabase.h"

namespace lumo::test {
namespace {

constexpr const char* kRows = R"sql(
INSERT INTO T_GROUPING (TYPE_ID, LABEL) VALUES (11, '友人'), (12, '仕事');
INSERT INTO T_PERSON (TYPE_ID, LASTNAME, FIRSTNAME, LASTALIAS, FIRSTALIAS) VALUES
  (11, '山田', '太郎', 'やまだ', 'たろう'), (12, '田中', NULL, 'たなか', NULL), (11, NULL, NULL, NULL, NULL),
  (9, '迷子', NULL, 'まいご', NULL);
INSERT INTO T_PHONE (PERSON_ID, TEL_NUMBER, RANK, TYPE) VALUES (1, '03-1', 1, 'HOME'), (1, '03-2', 1, 'HOME'),
  (1, '090-1', 2, 'MOBILE'), (3, '06-1', 1, 'OFFICE'), (4, '0120', 1, 'HOME');
INSERT INTO T_EMAIL (PERSON_ID, MAIL_ADDRESS, RANK) VALUES (1, 'a@x', 1), (2, 'b@x', 1);
)sql";

// The person list as the library writes it.
const std::string kList =
    "SELECT T_PERSON.PERSON_ID, ([T_PERSON].[LASTNAME] & [T_PERSON].[FIRSTNAME]) AS PERSON_NAME, "
    "T_PERSON.COMPANY, vwOfficePhone.TEL_NUMBER AS OFFICE_PHONE, vwHomePhone.TEL_NUMBER AS HOME_PHONE, "
    "vwMailAddress.MAIL_ADDRESS, T_GROUPING.LABEL, "
    "([T_PERSON].[LASTALIAS] & [T_PERSON].[FIRSTALIAS]) AS PERSON_ALIAS "
    "FROM T_GROUPING INNER JOIN (((T_PERSON LEFT JOIN vwHomePhone ON T_PERSON.PERSON_ID = vwHomePhone.PERSON_ID) "
    "LEFT JOIN vwOfficePhone ON T_PERSON.PERSON_ID = vwOfficePhone.PERSON_ID) LEFT JOIN vwMailAddress ON "
    "T_PERSON.PERSON_ID = vwMailAddress.PERSON_ID) ON T_GROUPING.TYPE_ID = T_PERSON.TYPE_ID";
const std::string kPhoneSearch =
    " WHERE T_PERSON.PERSON_ID IN (SELECT T_PERSON.PERSON_ID FROM T_PERSON LEFT JOIN T_PHONE ON "
    "T_PERSON.PERSON_ID = T_PHONE.PERSON_ID WHERE (T_PHONE.TEL_NUMBER LIKE '%0%' OR T_PHONE.TEL_NUMBER LIKE '%0' "
    "OR T_PHONE.TEL_NUMBER LIKE '0%'))";

// Each row as the named columns' texts joined by '|' ("<null>" for Null,
// "<none>" for a column the statement lacks).
std::vector<std::string> rowsOf(db::Connection& cn, const std::string& sql, const std::vector<std::string>& names,
                                const std::vector<std::string>& reads) {
    std::vector<std::string> rows;
    db::forEachRow(
        cn, sql,
        [&](const db::RowView& row) {
            std::string text;
            for (const std::string& name : names) {
                const int c = row.column(name);
                text += (c < 0 ? std::string("<none>") : row.isNull(c) ? std::string("<null>") : std::string(row.text(c))) + "|";
            }
            rows.push_back(text);
            return true;
        },
        reads);
    return rows;
}

struct Case {
    const char* what;
    std::string sql;
    std::vector<std::string> reads;  // also the columns compared
    std::vector<std::string> rows;   // with and without `reads` alike
};

TEST(ReadColumns, TheRowsOfTheWholeStatement) {
    const std::vector<std::string> list{"PERSON_ID", "PERSON_ALIAS", "LABEL"};
    const std::vector<Case> cases{
        {"everyone: one row for two home phones, none for a missing group", kList, list,
         {"1|やまだたろう|友人|", "2|たなか|仕事|", "3|<null>|友人|"}},
        {"phone digits", kList + kPhoneSearch, list, {"1|やまだたろう|友人|", "3|<null>|友人|"}},
        {"in an order of its own", kList + " ORDER BY T_PERSON.LASTALIAS DESC", list,
         {"1|やまだたろう|友人|", "2|たなか|仕事|", "3|<null>|友人|"}},
        // The order names a left-out item by its alias: the item stays.
        {"ordered by an alias", kList + " ORDER BY HOME_PHONE DESC, T_PERSON.PERSON_ID DESC", {"PERSON_ID"},
         {"1|", "3|", "2|"}},
        {"ordered by position", kList + " ORDER BY 5 DESC, 1", {"PERSON_ID"}, {"1|", "2|", "3|"}},
        // A person has several phones: the join makes rows and stays.
        {"a join of many rows",
         "SELECT T_PERSON.PERSON_ID, T_PHONE.TEL_NUMBER FROM T_PERSON LEFT JOIN T_PHONE ON "
         "T_PERSON.PERSON_ID = T_PHONE.PERSON_ID ORDER BY T_PERSON.PERSON_ID, T_PHONE.PHONE_ID",
         {"PERSON_ID"},
         {"1|", "1|", "1|", "2|", "3|", "4|"}},
        // DISTINCT over both columns gives a row per group and type.
        {"distinct",
         "SELECT DISTINCT T_PERSON.TYPE_ID, T_PHONE.TYPE FROM T_PERSON LEFT JOIN T_PHONE ON "
         "T_PERSON.PERSON_ID = T_PHONE.PERSON_ID ORDER BY T_PERSON.TYPE_ID, T_PHONE.TYPE",
         {"TYPE_ID"},
         {"9|", "11|", "11|", "11|", "12|"}},
        {"an aggregate",
         "SELECT Count(*) AS N, Max(vwHomePhone.TEL_NUMBER) AS M FROM T_PERSON LEFT JOIN vwHomePhone ON "
         "T_PERSON.PERSON_ID = vwHomePhone.PERSON_ID",
         {"N"},
         {"4|"}},
    };
    TestDatabase file(std::string(schema::personDdl()) + kRows);
    db::Connection cn;
    cn.Open(file.connectionString());
    for (const Case& c : cases) {
        // Narrowed first, then whole: the cache keeps the two apart.
        EXPECT_EQ(rowsOf(cn, c.sql, c.reads, c.reads), c.rows) << c.what;
        EXPECT_EQ(rowsOf(cn, c.sql, c.reads, {}), c.rows) << c.what;
    }
}

TEST(ReadColumns, TheColumnsNotReadAreLeftOutOnlyWhenAsked) {
    TestDatabase file(std::string(schema::personDdl()) + kRows);
    db::Connection cn;
    cn.Open(file.connectionString());
    const std::vector<std::string> names{"PERSON_ID", "HOME_PHONE", "MAIL_ADDRESS"};
    const std::string sql = kList + kPhoneSearch;
    EXPECT_EQ(rowsOf(cn, sql, names, {"PERSON_ID"}), (std::vector<std::string>{"1|<none>|<none>|", "3|<none>|<none>|"}));
    EXPECT_EQ(rowsOf(cn, sql, names, {}), (std::vector<std::string>{"1|03-1|a@x|", "3|<null>|<null>|"}));
    EXPECT_EQ(rowsOf(cn, sql, names, {"person_id", "Mail_Address"}),
              (std::vector<std::string>{"1|<none>|a@x|", "3|<none>|<null>|"}));
}

// The joins only the left-out items read go; one whose rows a kept item
// reads stays.
TEST(ReadColumns, TheJoinsOnlyLeftOutItemsReadGo) {
    const db::UniqueKeyLookup unique = [](std::string_view source, std::string_view column) {
        return column == "PERSON_ID" && (source == "T_PERSON" || source.substr(0, 2) == "vw");
    };
    const std::string sql = kList + kPhoneSearch;
    const auto translated = [&](const std::vector<std::string>& reads) {
        return db::JetSqlText(sql).translate({}, {}, unique, {}, reads).sql;
    };
    const std::string narrowed = translated({"PERSON_ID", "PERSON_ALIAS", "LABEL"});
    EXPECT_EQ(narrowed.find("vwHomePhone"), std::string::npos) << narrowed;
    EXPECT_EQ(narrowed.find("vwOfficePhone"), std::string::npos) << narrowed;
    EXPECT_EQ(narrowed.find("vwMailAddress"), std::string::npos) << narrowed;
    EXPECT_NE(narrowed.find("T_GROUPING"), std::string::npos) << narrowed;
    const std::string mails = translated({"PERSON_ID", "MAIL_ADDRESS"});
    EXPECT_EQ(mails.find("vwHomePhone"), std::string::npos) << mails;
    EXPECT_NE(mails.find("vwMailAddress"), std::string::npos) << mails;
    EXPECT_NE(translated({}).find("vwHomePhone"), std::string::npos);
}

}  // namespace
}  // namespace lumo::test
