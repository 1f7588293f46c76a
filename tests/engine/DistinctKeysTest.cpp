// A DISTINCT that the keys make idle is left out: the person list and its
// kin give the rows they give with the DISTINCT kept (the same statement
// with the key written as an expression, which the translation does not
// take for the key), on the schema's own tables and views.
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/Connection.h"
#include "engine/JetSql.h"
#include "schema/Schema.h"
#include "tests/engine/TestDatabase.h"

namespace lumo::test {
namespace {

// Persons with two home phones, none, an office phone only, two mails of
// one rank; a group without persons; a person of a missing group.
constexpr const char* kRows = R"sql(
INSERT INTO T_GROUPING (LABEL) VALUES ('友人'), ('空');
INSERT INTO T_PERSON (TYPE_ID, LASTNAME) VALUES (1, '山田'), (2, '山田'), (1, '田中'), (9, '迷子'), (2, NULL);
INSERT INTO T_PHONE (PERSON_ID, TEL_NUMBER, RANK, TYPE) VALUES (1, '03-1', 1, 'HOME'), (1, '03-2', 1, 'home'),
  (1, '090-1', 2, 'MOBILE'), (3, '06-1', 1, 'OFFICE'), (5, '', 1, 'HOME');
INSERT INTO T_EMAIL (PERSON_ID, MAIL_ADDRESS, RANK) VALUES (1, 'a@x', 1), (1, 'b@x', 1), (2, 'c@x', 0);
)sql";

constexpr const char* kViews =
    "FROM T_GROUPING INNER JOIN (((T_PERSON LEFT JOIN vwHomePhone ON T_PERSON.PERSON_ID = vwHomePhone.PERSON_ID) "
    "LEFT JOIN vwOfficePhone ON T_PERSON.PERSON_ID = vwOfficePhone.PERSON_ID) LEFT JOIN vwMailAddress ON "
    "T_PERSON.PERSON_ID = vwMailAddress.PERSON_ID) ON T_GROUPING.TYPE_ID = T_PERSON.TYPE_ID";

struct Case {
    std::string list, from;  // SELECT DISTINCT list from; the key as "T_PERSON.PERSON_ID"
    bool idle;
};

std::vector<std::string> rowsOf(db::Connection& cn, const std::string& sql) {
    db::Recordset rs;
    rs.Open(sql, cn, db::adOpenStatic, db::adLockReadOnly, db::adCmdText);
    std::vector<std::string> rows;
    for (; !rs.Eof(); rs.MoveNext()) {
        std::string row;
        for (int i = 0; i < rs.FieldCount(); ++i)
            row += (rs.Fields(i).Value().isNull() ? std::string("<null>") : rs.Fields(i).Value().toString()) + "|";
        rows.push_back(row);
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

TEST(DistinctKeys, IdleDistinctsGoAndTheRowsStay) {
    const std::string key = "T_PERSON.PERSON_ID";
    const std::vector<Case> cases{
        {key + ", T_PERSON.LASTNAME, vwHomePhone.TEL_NUMBER AS HOME, vwOfficePhone.TEL_NUMBER AS OFFICE, "
               "vwMailAddress.MAIL_ADDRESS, T_GROUPING.LABEL",
         kViews, true},
        {key + " AS ID, vwHomePhone.TEL_NUMBER", "FROM T_PERSON LEFT JOIN vwHomePhone ON vwHomePhone.PERSON_ID = " + key,
         true},
        // Without the key, names repeat.
        {"T_PERSON.LASTNAME, vwHomePhone.TEL_NUMBER", "FROM T_PERSON LEFT JOIN vwHomePhone ON vwHomePhone.PERSON_ID = " + key,
         false},
        // A person has several phones.
        {key + ", T_PHONE.PERSON_ID AS OWNER", "FROM T_PERSON LEFT JOIN T_PHONE ON T_PHONE.PERSON_ID = " + key, false},
        // The key's table on the optional side: groups without persons.
        {key + ", T_GROUPING.LABEL", "FROM T_GROUPING LEFT JOIN T_PERSON ON T_GROUPING.TYPE_ID = T_PERSON.TYPE_ID",
         false},
        // A view the file declares no key for.
        {key + ", vwNames.LASTNAME AS NAME", "FROM T_PERSON LEFT JOIN vwNames ON vwNames.PERSON_ID = " + key, false},
    };
    TestDatabase file(std::string(schema::personDdl()) + kRows +
                      "CREATE VIEW vwNames AS SELECT PERSON_ID, LASTNAME FROM T_PERSON UNION ALL "
                      "SELECT PERSON_ID, LASTNAME FROM T_PERSON;");
    db::Connection cn;
    cn.Open(file.connectionString());
    const db::UniqueKeyLookup unique = [](std::string_view source, std::string_view column) {
        const std::string s(source), c(column);
        return (s == "T_PERSON" && c == "PERSON_ID") || (s == "T_GROUPING" && c == "TYPE_ID") ||
               ((s == "vwHomePhone" || s == "vwOfficePhone" || s == "vwMailAddress") && c == "PERSON_ID");
    };
    for (const Case& c : cases) {
        const std::string sql = "SELECT DISTINCT " + c.list + " " + c.from;
        const std::string translated = db::JetSqlText(sql).translate({}, {}, unique).sql;
        EXPECT_EQ(translated.find("DISTINCT") == std::string::npos, c.idle) << translated;
        // The key written as an expression (with the name it had) is not
        // taken for the key, so that DISTINCT stays.
        std::string list = c.list;
        if (list.starts_with(key + " AS ")) list.replace(0, key.size(), "(" + key + ")");
        else if (list.starts_with(key)) list.replace(0, key.size(), "(" + key + ") AS PERSON_ID");
        const std::string kept = "SELECT DISTINCT " + list + " " + c.from;
        EXPECT_EQ(rowsOf(cn, sql), rowsOf(cn, kept)) << sql;
    }
    // The person list finds each of the five persons of a known group once.
    EXPECT_EQ(rowsOf(cn, "SELECT DISTINCT " + cases[0].list + " " + cases[0].from).size(), 4u);
}

}  // namespace
}  // namespace lumo::test
