// Each step of the translation as the engine runs it: the text split into
// its shape (literals as '?'), translated with the schema's answers, as
// Connection does. One group of statements per step, each with every text
// the step changes (the statement, its row identity, its narrowing by a
// substring index) and what the translation learns of it, written out by
// hand against a small schema:
//   T_PERSON   PERSON_ID (whole, key), RANK (whole), LAST_NAME, FIRST_NAME,
//              BIRTHDAY and UPDATED (Date/Time); a substring index over
//              LAST_NAME and FIRST_NAME
//   T_PHONE    PHONE_ID (key), PERSON_ID (whole), TEL_NUMBER
//   T_CARD     PERSON_ID (whole), BIRTHDAY (kept as text)
//   vwHomePhone  PERSON_ID (key)
// and no answers for other tables. Each group names the passes of
// kPasses (JetSql.cpp) it is about.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/JetSql.h"
#include "platform/Error.h"

namespace {

using namespace lumo::db;

using Names = std::vector<std::string>;
using Types = std::vector<JetType>;
using Patterns = std::vector<std::vector<std::size_t>>;

// Which of the schema's answers a translation is given.
constexpr unsigned kDates = 1, kWholes = 2, kKeys = 4, kIndex = 8;

struct Column {
    std::string_view table, name;
    bool date, whole;
};

constexpr Column kSchema[] = {
    {"T_PERSON", "PERSON_ID", false, true}, {"T_PERSON", "RANK", false, true},
    {"T_PERSON", "LAST_NAME", false, false}, {"T_PERSON", "FIRST_NAME", false, false},
    {"T_PERSON", "BIRTHDAY", true, false},   {"T_PERSON", "UPDATED", true, false},
    {"T_PHONE", "PHONE_ID", false, true},    {"T_PHONE", "PERSON_ID", false, true},
    {"T_PHONE", "TEL_NUMBER", false, false}, {"T_CARD", "PERSON_ID", false, true},
    {"T_CARD", "BIRTHDAY", false, false},
};

const Column* columnOf(std::string_view table, std::string_view name) {
    const auto it = std::find_if(std::begin(kSchema), std::end(kSchema),
                                 [&](const Column& c) { return c.table == table && c.name == name; });
    return it == std::end(kSchema) ? nullptr : &*it;
}

const SubstringIndex kPersonIndex{"T_PERSON", "PERSON_ID", {"LAST_NAME", "FIRST_NAME"}, "lumo_search_person",
                                  "lumo_search_person_unindexed"};

struct Case {
    const char* jet;
    unsigned given = 0;
    Names reads = {};
    const char* sql = "";
    const char* withRowid = "";
    const char* source = "";
    const char* narrowed = "";
    Patterns patterns = {};
    const char* written = "";
    // Unless given: no parameter is a lone value assigned to a column.
    std::optional<Names> parameterColumns = {};
    std::optional<Types> itemTypes = {};
};

void expectTranslations(std::span<const Case> cases) {
    const DateColumnLookup dates = [](std::string_view table, std::string_view name) -> std::optional<bool> {
        const Column* c = columnOf(table, name);
        return c ? std::optional<bool>(c->date) : std::nullopt;
    };
    const WholeColumnLookup wholes = [](std::string_view table, std::string_view name) -> std::optional<bool> {
        const Column* c = columnOf(table, name);
        return c ? std::optional<bool>(c->whole) : std::nullopt;
    };
    const UniqueKeyLookup keys = [](std::string_view source, std::string_view column) {
        return column == (source == "T_PHONE" ? "PHONE_ID" : "PERSON_ID") &&
               (source == "T_PERSON" || source == "T_PHONE" || source == "vwHomePhone");
    };
    const SubstringIndexLookup index = [](std::string_view table) {
        return table == "T_PERSON" ? &kPersonIndex : nullptr;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.jet);
        const JetSqlText text(c.jet);
        const JetStatement st = text.translate(c.given & kDates ? dates : DateColumnLookup(),
                                               c.given & kIndex ? index : SubstringIndexLookup(),
                                               c.given & kKeys ? keys : UniqueKeyLookup(),
                                               c.given & kWholes ? wholes : WholeColumnLookup(), c.reads);
        EXPECT_EQ(st.sql, c.sql);
        EXPECT_EQ(st.sqlWithRowid, c.withRowid);
        EXPECT_EQ(st.singleSource, c.source);
        EXPECT_EQ(st.narrowedSql, c.narrowed);
        EXPECT_EQ(st.narrowingPatterns, c.patterns);
        EXPECT_EQ(st.writtenTable, c.written);
        if (c.parameterColumns) {
            EXPECT_EQ(st.parameterColumns, *c.parameterColumns);
        } else {
            EXPECT_TRUE(std::all_of(st.parameterColumns.begin(), st.parameterColumns.end(),
                                    [](const std::string& column) { return column.empty(); }));
        }
        if (c.itemTypes) {
            EXPECT_EQ(st.itemTypes, *c.itemTypes);
        }
    }
}

// "dates as numbers", "parameters", and the rendering: a date is a
// parameter like any literal, and one given to Jet's function as it
// stands reaches it as a date.
const Case kDateLiterals[] = {
    {.jet = "SELECT IsDate(#2003/11/22#), IsNumeric(#2003/11/22#)",
     .sql = "SELECT jet_isdate(lumo_date(?)), jet_isnumeric(lumo_date(?))"},
    // SQLite's own function, and a date in an expression, get the number.
    {.jet = "SELECT typeof(#2003/11/22#), Format(#2003/11/22# + 1, 'yyyy')",
     .sql = "SELECT typeof(?), jet_format(lumo_date(lumo_add(?, ?)), ?)"},
};

// "words": True and False stay in the shape, as -1 and 0.
const Case kWords[] = {
    {.jet = "SELECT LABEL FROM T_GROUPING WHERE DEFAULT = True OR T_GROUPING.DEFAULT = False",
     .sql = "SELECT LABEL FROM T_GROUPING WHERE \"DEFAULT\" = -1 OR T_GROUPING.\"DEFAULT\" = 0",
     .withRowid = "SELECT LABEL , [T_GROUPING]._rowid_ AS __lumo_rowid FROM T_GROUPING WHERE \"DEFAULT\" = -1 OR "
                  "T_GROUPING.\"DEFAULT\" = 0",
     .source = "T_GROUPING"},
    {.jet = "INSERT INTO T_GROUPING DEFAULT VALUES", .sql = "INSERT INTO T_GROUPING DEFAULT VALUES"},
    {.jet = "SELECT True AS YES, False",
     .sql = "SELECT -1 AS YES, 0",
     .itemTypes = Types{JetType::Boolean, JetType::Boolean}},
};

// "set targets", "assigned parameters".
const Case kSetTargets[] = {
    {.jet = "UPDATE T_PERSON SET [T_PERSON].[LAST_NAME] = 'x', T_PERSON.RANK = T_PERSON.RANK + 1 WHERE "
            "T_PERSON.PERSON_ID = 9",
     .sql = "UPDATE T_PERSON SET [LAST_NAME] = ?, RANK = lumo_add(T_PERSON.RANK, ?) WHERE T_PERSON.PERSON_ID = ?",
     .written = "T_PERSON",
     .parameterColumns = Names{"LAST_NAME", "", ""}},
    {.jet = "UPDATE T_GROUPING SET T_GROUPING.DEFAULT = True, T_GROUPING.LABEL = 'x' WHERE GROUP_ID = 2",
     .sql = "UPDATE T_GROUPING SET \"DEFAULT\" = -1, LABEL = ? WHERE GROUP_ID = ?",
     .written = "T_GROUPING",
     .parameterColumns = Names{"LABEL", ""}},
};

// The rendering with the schema's Date/Time columns: a column given
// to Jet's function as it stands is tagged; compared or sorted it stays
// bare, so that its index serves.
const Case kDateColumns[] = {
    {.jet = "SELECT Format(T_PERSON.BIRTHDAY, 'yyyy') AS Y, T_PERSON.UPDATED FROM T_PERSON WHERE T_PERSON.BIRTHDAY > "
            "#2000/01/01# ORDER BY T_PERSON.UPDATED",
     .given = kDates,
     .sql = "SELECT jet_format(lumo_date(T_PERSON.BIRTHDAY), ?) AS Y, T_PERSON.UPDATED FROM T_PERSON WHERE "
            "T_PERSON.BIRTHDAY > ? ORDER BY T_PERSON.UPDATED",
     .withRowid = "SELECT jet_format(lumo_date(T_PERSON.BIRTHDAY), ?) AS Y, T_PERSON.UPDATED , [T_PERSON]._rowid_ AS "
                  "__lumo_rowid FROM T_PERSON WHERE T_PERSON.BIRTHDAY > ? ORDER BY T_PERSON.UPDATED",
     .source = "T_PERSON"},
    // Without the schema's answers the column is a number to the function.
    {.jet = "SELECT Format(T_PERSON.BIRTHDAY) FROM T_PERSON",
     .sql = "SELECT jet_format(T_PERSON.BIRTHDAY) FROM T_PERSON NOT INDEXED",
     .withRowid = "SELECT jet_format(T_PERSON.BIRTHDAY) , [T_PERSON]._rowid_ AS __lumo_rowid FROM T_PERSON NOT INDEXED",
     .source = "T_PERSON"},
    // Unqualified: T_PHONE has no BIRTHDAY.
    {.jet = "SELECT CStr(BIRTHDAY) AS B, T_PHONE.TEL_NUMBER FROM T_PERSON INNER JOIN T_PHONE ON T_PERSON.PERSON_ID = "
            "T_PHONE.PERSON_ID",
     .given = kDates,
     .sql = "SELECT jet_cstr(lumo_date(BIRTHDAY)) AS B, T_PHONE.TEL_NUMBER FROM T_PERSON INNER JOIN T_PHONE ON "
            "T_PERSON.PERSON_ID = T_PHONE.PERSON_ID"},
    // By alias (no single source then); a date plus a number is a date too,
    // and so is an operand of & (joined as its text); a difference of two
    // dates is not.
    {.jet = "SELECT IsDate(P.UPDATED), Format(P.BIRTHDAY + 1) FROM T_PERSON AS P",
     .given = kDates,
     .sql = "SELECT jet_isdate(lumo_date(P.UPDATED)), jet_format(lumo_date(lumo_add(P.BIRTHDAY, ?))) FROM T_PERSON AS P"},
    {.jet = "SELECT P.LASTNAME & P.BIRTHDAY & (P.UPDATED - 1), CStr(P.UPDATED - P.BIRTHDAY) FROM T_PERSON AS P",
     .given = kDates,
     .sql = "SELECT lumo_concat(P.LASTNAME, lumo_date(P.BIRTHDAY), lumo_date((lumo_sub(P.UPDATED, ?)))), "
            "jet_cstr(lumo_sub(P.UPDATED, P.BIRTHDAY)) FROM T_PERSON AS P"},
    {.jet = "SELECT T_PHONE.TEL_NUMBER FROM T_PHONE WHERE T_PHONE.PERSON_ID IN (SELECT T_PERSON.PERSON_ID FROM "
            "T_PERSON WHERE Year(BIRTHDAY) = 1970)",
     .given = kDates,
     .sql = "SELECT T_PHONE.TEL_NUMBER FROM T_PHONE WHERE T_PHONE.PERSON_ID IN (SELECT T_PERSON.PERSON_ID FROM "
            "T_PERSON WHERE jet_year(lumo_date(BIRTHDAY)) = ? COLLATE NOCASE)",
     .withRowid = "SELECT T_PHONE.TEL_NUMBER , [T_PHONE]._rowid_ AS __lumo_rowid FROM T_PHONE WHERE "
                  "T_PHONE.PERSON_ID IN (SELECT T_PERSON.PERSON_ID FROM T_PERSON WHERE "
                  "jet_year(lumo_date(BIRTHDAY)) = ? COLLATE NOCASE)",
     .source = "T_PHONE"},
    // The tables an UPDATE and a DELETE name are read as a SELECT's are.
    {.jet = "UPDATE T_PERSON SET LAST_NAME = Format(BIRTHDAY) WHERE PERSON_ID = 1",
     .given = kDates,
     .sql = "UPDATE T_PERSON SET LAST_NAME = jet_format(lumo_date(BIRTHDAY)) WHERE PERSON_ID = ?",
     .written = "T_PERSON"},
    {.jet = "DELETE FROM T_PERSON WHERE LAST_NAME = Format(BIRTHDAY)",
     .given = kDates,
     .sql = "DELETE FROM T_PERSON WHERE LAST_NAME = jet_format(lumo_date(BIRTHDAY))"},
    {.jet = "DELETE FROM T_PHONE WHERE TEL_NUMBER = Format(BIRTHDAY)",
     .given = kDates,
     .sql = "DELETE FROM T_PHONE WHERE TEL_NUMBER = jet_format(BIRTHDAY)"},
    // T_CARD keeps its BIRTHDAY as text: bare, it is left as stored.
    {.jet = "SELECT Format(BIRTHDAY), Format(T_PERSON.BIRTHDAY) FROM T_PERSON INNER JOIN T_CARD ON "
            "T_PERSON.PERSON_ID = T_CARD.PERSON_ID",
     .given = kDates,
     .sql = "SELECT jet_format(BIRTHDAY), jet_format(lumo_date(T_PERSON.BIRTHDAY)) FROM T_PERSON INNER JOIN T_CARD ON "
            "T_PERSON.PERSON_ID = T_CARD.PERSON_ID"},
    // The table first in a parenthesised join, by its alias; a table of a
    // FROM list after its ','; an alias without AS. A name qualified by no
    // table of the statement is no date.
    {.jet = "SELECT Format(P.BIRTHDAY), Format(Q.UPDATED), Format(X.BIRTHDAY) FROM (T_PERSON AS P INNER JOIN T_PHONE "
            "ON P.PERSON_ID = T_PHONE.PERSON_ID) LEFT JOIN T_CARD ON T_CARD.PERSON_ID = P.PERSON_ID, T_PERSON Q",
     .given = kDates,
     .sql = "SELECT jet_format(lumo_date(P.BIRTHDAY)), jet_format(lumo_date(Q.UPDATED)), jet_format(X.BIRTHDAY) FROM "
            "(T_PERSON AS P INNER JOIN T_PHONE ON P.PERSON_ID = T_PHONE.PERSON_ID) LEFT JOIN T_CARD ON T_CARD.PERSON_ID "
            "= P.PERSON_ID, T_PERSON Q"},
};

// "whole assignments", "assigned parameters": a value rounded for its
// column is no longer a lone parameter.
const Case kWholeAssignments[] = {
    {.jet = "UPDATE T_PERSON SET T_PERSON.RANK = 1.5, LAST_NAME = 'x' WHERE PERSON_ID = 3",
     .given = kWholes,
     .sql = "UPDATE T_PERSON SET RANK = lumo_whole(?), LAST_NAME = ? WHERE PERSON_ID = ?",
     .written = "T_PERSON",
     .parameterColumns = Names{"", "LAST_NAME", ""}},
    {.jet = "UPDATE T_PERSON SET RANK = RANK / 2 WHERE PERSON_ID = 3",
     .given = kWholes,
     .sql = "UPDATE T_PERSON SET RANK = lumo_whole(lumo_div(RANK, ?)) WHERE PERSON_ID = ?",
     .written = "T_PERSON",
     .parameterColumns = Names{"", ""}},
    {.jet = "INSERT INTO T_PHONE (PERSON_ID, TEL_NUMBER) VALUES (2.5, '03-1')",
     .given = kWholes,
     .sql = "INSERT INTO T_PHONE (PERSON_ID, TEL_NUMBER) VALUES (lumo_whole(?), ?)",
     .written = "T_PHONE",
     .parameterColumns = Names{"", "TEL_NUMBER"}},
    {.jet = "INSERT INTO T_PERSON (RANK, LAST_NAME) VALUES (1, 'a'), (2.5, 'b')",
     .given = kWholes,
     .sql = "INSERT INTO T_PERSON (RANK, LAST_NAME) VALUES (lumo_whole(?), ?), (lumo_whole(?), ?)",
     .written = "T_PERSON",
     .parameterColumns = Names{"", "LAST_NAME", "", "LAST_NAME"}},
};

// "assigned parameters": the column each lone value goes to, so that a
// date typed as text converts for a Date/Time column.
const Case kAssignedParameters[] = {
    {.jet = "UPDATE T_PERSON SET T_PERSON.UPDATED = '2003/11/22', RANK = 2 WHERE PERSON_ID = 9",
     .sql = "UPDATE T_PERSON SET UPDATED = ?, RANK = ? WHERE PERSON_ID = ?",
     .written = "T_PERSON",
     .parameterColumns = Names{"UPDATED", "RANK", ""}},
    {.jet = "INSERT INTO T_PERSON (LAST_NAME, BIRTHDAY, RANK) VALUES ('a', '1970/01/02', 1 + 1)",
     .given = kDates,
     .sql = "INSERT INTO T_PERSON (LAST_NAME, BIRTHDAY, RANK) VALUES (?, ?, lumo_add(?, ?))",
     .written = "T_PERSON",
     .parameterColumns = Names{"LAST_NAME", "BIRTHDAY", "", ""}},
    {.jet = "DELETE FROM T_PHONE WHERE PERSON_ID = 9", .sql = "DELETE FROM T_PHONE WHERE PERSON_ID = ?"},
};

// "top", "source", "not indexed": the count stays in the shape; the
// counting query repeats the parameters it copies by number.
const Case kTop[] = {
    {.jet = "SELECT TOP 2 PERSON_ID FROM T_PERSON WHERE RANK > 0 ORDER BY LAST_NAME DESC",
     .sql = "SELECT PERSON_ID FROM T_PERSON WHERE RANK > ? ORDER BY LAST_NAME DESC LIMIT (SELECT count(*) FROM (SELECT "
            "rank() OVER (ORDER BY __lumo_k1 DESC) AS __lumo_rank FROM (SELECT PERSON_ID, LAST_NAME AS __lumo_k1 FROM "
            "T_PERSON WHERE RANK > ?1)) WHERE __lumo_rank <= 2)",
     .withRowid = "SELECT PERSON_ID , [T_PERSON]._rowid_ AS __lumo_rowid FROM T_PERSON WHERE RANK > ? ORDER BY "
                  "LAST_NAME DESC LIMIT (SELECT count(*) FROM (SELECT rank() OVER (ORDER BY __lumo_k1 DESC) AS "
                  "__lumo_rank FROM (SELECT PERSON_ID, LAST_NAME AS __lumo_k1 FROM T_PERSON WHERE RANK > ?1)) WHERE "
                  "__lumo_rank <= 2)",
     .source = "T_PERSON"},
    {.jet = "SELECT TOP 3 PERSON_ID FROM T_PERSON",
     .sql = "SELECT PERSON_ID FROM T_PERSON NOT INDEXED LIMIT 3",
     .withRowid = "SELECT PERSON_ID , [T_PERSON]._rowid_ AS __lumo_rowid FROM T_PERSON NOT INDEXED LIMIT 3",
     .source = "T_PERSON"},
    // The share is counted beside the window, in SQLite's own arithmetic.
    {.jet = "SELECT TOP 20 PERCENT P.PERSON_ID FROM T_PERSON AS P ORDER BY P.RANK",
     .sql = "SELECT P.PERSON_ID FROM T_PERSON AS P ORDER BY P.RANK LIMIT (SELECT count(*) FROM (SELECT rank() OVER "
            "(ORDER BY __lumo_k1) AS __lumo_rank, count(*) OVER () * 20 / 100.0 + 1 AS __lumo_share FROM (SELECT "
            "P.PERSON_ID, P.RANK AS __lumo_k1 FROM T_PERSON AS P)) WHERE __lumo_rank < __lumo_share)"},
    // A TOP after the start of its level: the count follows its own SELECT.
    {.jet = "INSERT INTO T_CARD (PERSON_ID) SELECT TOP 2 PERSON_ID FROM T_PERSON WHERE RANK > 0 ORDER BY RANK DESC",
     .sql = "INSERT INTO T_CARD (PERSON_ID) SELECT PERSON_ID FROM T_PERSON WHERE RANK > ? ORDER BY RANK DESC LIMIT "
            "(SELECT count(*) FROM (SELECT rank() OVER (ORDER BY __lumo_k1 DESC) AS __lumo_rank FROM (SELECT "
            "PERSON_ID, RANK AS __lumo_k1 FROM T_PERSON WHERE RANK > ?1)) WHERE __lumo_rank <= 2)",
     .written = "T_CARD"},
    // The list after TOP's count is the list: its item is typed, and the
    // one table is read whole.
    {.jet = "SELECT TOP 1 #2003/11/22# + 1 AS D FROM T_PERSON",
     .sql = "SELECT lumo_add(?, ?) AS D FROM T_PERSON NOT INDEXED LIMIT 1",
     .withRowid = "SELECT lumo_add(?, ?) AS D , [T_PERSON]._rowid_ AS __lumo_rowid FROM T_PERSON NOT INDEXED LIMIT 1",
     .source = "T_PERSON",
     .itemTypes = Types{JetType::Date}},
};

// "distinct rows": over one source each record is a row once already, so
// DISTINCTROW leaves the statement, before the source and TOP read it.
const Case kDistinctRows[] = {
    {.jet = "SELECT DISTINCTROW LAST_NAME FROM T_PERSON",
     .sql = "SELECT LAST_NAME FROM T_PERSON NOT INDEXED",
     .withRowid = "SELECT LAST_NAME , [T_PERSON]._rowid_ AS __lumo_rowid FROM T_PERSON NOT INDEXED",
     .source = "T_PERSON"},
    {.jet = "SELECT DISTINCTROW TOP 3 P.PERSON_ID FROM T_PERSON AS P",
     .sql = "SELECT P.PERSON_ID FROM T_PERSON AS P LIMIT 3"},
    // Over some of a join's tables: one row per record of those tables,
    // grouped before ORDER BY or at the end.
    {.jet = "SELECT DISTINCTROW T_PERSON.LAST_NAME FROM T_PERSON INNER JOIN T_PHONE ON T_PERSON.PERSON_ID = "
            "T_PHONE.PERSON_ID WHERE T_PERSON.RANK > 1 ORDER BY T_PERSON.LAST_NAME",
     .sql = "SELECT T_PERSON.LAST_NAME FROM T_PERSON INNER JOIN T_PHONE ON T_PERSON.PERSON_ID = T_PHONE.PERSON_ID "
            "WHERE T_PERSON.RANK > ? GROUP BY [T_PERSON]._rowid_ ORDER BY T_PERSON.LAST_NAME"},
    {.jet = "SELECT DISTINCTROW P.LAST_NAME & '!' AS N FROM T_PERSON AS P, T_PHONE AS H WHERE P.PERSON_ID = H.PERSON_ID",
     .sql = "SELECT lumo_concat(P.LAST_NAME, ?) AS N FROM T_PERSON AS P, T_PHONE AS H WHERE P.PERSON_ID = H.PERSON_ID "
            "GROUP BY [P]._rowid_"},
    // The fields of every table, or groups: each row is one already.
    {.jet = "SELECT DISTINCTROW P.LAST_NAME, H.TEL_NUMBER FROM T_PERSON AS P INNER JOIN T_PHONE AS H ON P.PERSON_ID = "
            "H.PERSON_ID",
     .sql = "SELECT P.LAST_NAME, H.TEL_NUMBER FROM T_PERSON AS P INNER JOIN T_PHONE AS H ON P.PERSON_ID = H.PERSON_ID"},
    {.jet = "SELECT DISTINCTROW P.RANK, Count(*) FROM T_PERSON AS P INNER JOIN T_PHONE AS H ON P.PERSON_ID = "
            "H.PERSON_ID GROUP BY P.RANK",
     .sql = "SELECT P.RANK, Count(*) FROM T_PERSON AS P INNER JOIN T_PHONE AS H ON P.PERSON_ID = H.PERSON_ID GROUP BY "
            "P.RANK"},
    {.jet = "SELECT PERSON_ID FROM T_PERSON WHERE PERSON_ID IN (SELECT DISTINCTROW PERSON_ID FROM T_PHONE) UNION "
            "SELECT DISTINCTROW * FROM T_CARD",
     .sql = "SELECT PERSON_ID FROM T_PERSON WHERE PERSON_ID IN (SELECT PERSON_ID FROM T_PHONE) UNION SELECT * FROM "
            "T_CARD"},
};

// "source", "not indexed", "row identity".
const Case kSource[] = {
    {.jet = "SELECT * FROM [T_PERSON] WHERE PERSON_ID = 3",
     .sql = "SELECT * FROM [T_PERSON] WHERE PERSON_ID = ?",
     .withRowid = "SELECT * , [T_PERSON]._rowid_ AS __lumo_rowid FROM [T_PERSON] WHERE PERSON_ID = ?",
     .source = "T_PERSON"},
    // The row identity's ',' ends the '&' chain of the last item.
    {.jet = "SELECT PERSON_ID, LAST_NAME & 'x' FROM T_PERSON",
     .sql = "SELECT PERSON_ID, lumo_concat(LAST_NAME, ?) FROM T_PERSON NOT INDEXED",
     .withRowid = "SELECT PERSON_ID, lumo_concat(LAST_NAME, ?) , [T_PERSON]._rowid_ AS __lumo_rowid FROM T_PERSON NOT "
                  "INDEXED",
     .source = "T_PERSON",
     .itemTypes = Types{JetType::Unknown, JetType::Text}},
    // The LIMIT's count is a literal like any other.
    {.jet = "SELECT PERSON_ID FROM T_PERSON LIMIT 5",
     .sql = "SELECT PERSON_ID FROM T_PERSON NOT INDEXED LIMIT ?",
     .withRowid = "SELECT PERSON_ID , [T_PERSON]._rowid_ AS __lumo_rowid FROM T_PERSON NOT INDEXED LIMIT ?",
     .source = "T_PERSON"},
    // The ';' that ends the statement leaves it a whole table.
    {.jet = "SELECT PERSON_ID FROM T_PERSON;",
     .sql = "SELECT PERSON_ID FROM T_PERSON NOT INDEXED;",
     .withRowid = "SELECT PERSON_ID , [T_PERSON]._rowid_ AS __lumo_rowid FROM T_PERSON NOT INDEXED;",
     .source = "T_PERSON"},
    // The text with the row identity is the one a recordset runs: it is
    // given the types as the statement is.
    {.jet = "SELECT VarType(True), Format(BIRTHDAY) FROM T_PERSON WHERE PERSON_ID = 1",
     .given = kDates,
     .sql = "SELECT jet_vartype(-1, 66), jet_format(lumo_date(BIRTHDAY)) FROM T_PERSON WHERE PERSON_ID = ?",
     .withRowid = "SELECT jet_vartype(-1, 66), jet_format(lumo_date(BIRTHDAY)) , [T_PERSON]._rowid_ AS __lumo_rowid "
                  "FROM T_PERSON WHERE PERSON_ID = ?",
     .source = "T_PERSON"},
    // The list ends at FROM: CASE's words belong to an item.
    {.jet = "SELECT CASE WHEN PERSON_ID = 1 THEN 'a' ELSE 'b' END AS X FROM T_PERSON",
     .sql = "SELECT CASE WHEN PERSON_ID = ? THEN ? ELSE ? END AS X FROM T_PERSON NOT INDEXED",
     .withRowid = "SELECT CASE WHEN PERSON_ID = ? THEN ? ELSE ? END AS X , [T_PERSON]._rowid_ AS __lumo_rowid FROM "
                  "T_PERSON NOT INDEXED",
     .source = "T_PERSON"},
    // A compound reads more than one table, however its first member ends.
    {.jet = "SELECT 1 UNION SELECT PERSON_ID FROM T_PERSON WHERE PERSON_ID < 3",
     .sql = "SELECT ? UNION SELECT PERSON_ID FROM T_PERSON WHERE PERSON_ID < ?"},
    {.jet = "SELECT PERSON_ID FROM T_PERSON WHERE RANK > 1 UNION SELECT PERSON_ID FROM T_PHONE",
     .sql = "SELECT PERSON_ID FROM T_PERSON WHERE RANK > ? UNION SELECT PERSON_ID FROM T_PHONE"},
    // Rows that are not one table's: two tables, groups, an aggregate.
    {.jet = "SELECT T_PERSON.PERSON_ID FROM T_PERSON, T_PHONE WHERE T_PERSON.PERSON_ID = T_PHONE.PERSON_ID",
     .sql = "SELECT T_PERSON.PERSON_ID FROM T_PERSON, T_PHONE WHERE T_PERSON.PERSON_ID = T_PHONE.PERSON_ID"},
    {.jet = "SELECT RANK FROM T_PERSON GROUP BY RANK", .sql = "SELECT RANK FROM T_PERSON GROUP BY RANK"},
    {.jet = "SELECT Max(RANK) FROM T_PERSON WHERE RANK < 9",
     .sql = "SELECT Max(RANK) FROM T_PERSON WHERE RANK < ?"},
    // ORDER BY ends the FROM clause as WHERE does: the rows are still the
    // table's, read in another order.
    {.jet = "SELECT PERSON_ID FROM T_PERSON ORDER BY LAST_NAME",
     .sql = "SELECT PERSON_ID FROM T_PERSON ORDER BY LAST_NAME",
     .withRowid = "SELECT PERSON_ID , [T_PERSON]._rowid_ AS __lumo_rowid FROM T_PERSON ORDER BY LAST_NAME",
     .source = "T_PERSON"},
};

// "outer joins", with the literals as parameters. The blanks where the
// DISTINCT stood are the tokens' own, as in the rewrites below.
const Case kOuterJoins[] = {
    {.jet = "SELECT T_PERSON.LAST_NAME, T_PHONE.TEL_NUMBER FROM T_PERSON RIGHT JOIN T_PHONE ON T_PERSON.PERSON_ID = "
            "T_PHONE.PERSON_ID WHERE T_PHONE.TEL_NUMBER LIKE '03%'",
     .sql = "SELECT T_PERSON.LAST_NAME, T_PHONE.TEL_NUMBER FROM T_PHONE LEFT JOIN T_PERSON ON T_PERSON.PERSON_ID = "
            "T_PHONE.PERSON_ID WHERE T_PHONE.TEL_NUMBER LIKE ?"},
    {.jet = "SELECT DISTINCT T_PERSON.PERSON_ID, vwHomePhone.TEL_NUMBER AS HOME FROM T_PERSON LEFT JOIN vwHomePhone ON "
            "T_PERSON.PERSON_ID = vwHomePhone.PERSON_ID WHERE T_PERSON.RANK > 1",
     .sql = "SELECT DISTINCT * FROM (SELECT T_PERSON.PERSON_ID, vwHomePhone.TEL_NUMBER AS HOME FROM T_PERSON LEFT JOIN "
            "vwHomePhone ON T_PERSON.PERSON_ID = vwHomePhone.PERSON_ID WHERE T_PERSON.RANK > ? LIMIT -1)"},
    // The key makes every row distinct: the DISTINCT goes.
    {.jet = "SELECT DISTINCT T_PERSON.PERSON_ID, vwHomePhone.TEL_NUMBER AS HOME FROM T_PERSON LEFT JOIN vwHomePhone ON "
            "T_PERSON.PERSON_ID = vwHomePhone.PERSON_ID WHERE T_PERSON.RANK > 1",
     .given = kKeys,
     .sql = "SELECT T_PERSON.PERSON_ID, vwHomePhone.TEL_NUMBER AS HOME FROM T_PERSON LEFT JOIN vwHomePhone ON "
            "T_PERSON.PERSON_ID = vwHomePhone.PERSON_ID WHERE T_PERSON.RANK > ?"},
    // The keys are read in the order the joins are once turned round: the
    // phones come first, and each finds one person. A RIGHT JOIN in
    // parentheses turns round too, ")ON" keeping a blank.
    {.jet = "SELECT DISTINCT T_PHONE.PHONE_ID, T_PERSON.LAST_NAME FROM T_PERSON RIGHT OUTER JOIN T_PHONE ON "
            "T_PERSON.PERSON_ID = T_PHONE.PERSON_ID WHERE T_PHONE.RANK > 1",
     .given = kKeys,
     .sql = "SELECT T_PHONE.PHONE_ID, T_PERSON.LAST_NAME FROM T_PHONE LEFT JOIN T_PERSON ON T_PERSON.PERSON_ID = "
            "T_PHONE.PERSON_ID WHERE T_PHONE.RANK > ?"},
    {.jet = "SELECT T_CARD.ID, T_PHONE.TEL_NUMBER FROM T_CARD INNER JOIN (T_PERSON RIGHT JOIN T_PHONE ON "
            "T_PERSON.PERSON_ID = T_PHONE.PERSON_ID)ON T_CARD.PERSON_ID = T_PHONE.PERSON_ID",
     .sql = "SELECT T_CARD.ID, T_PHONE.TEL_NUMBER FROM T_CARD INNER JOIN (T_PHONE LEFT JOIN T_PERSON ON "
            "T_PERSON.PERSON_ID = T_PHONE.PERSON_ID)ON T_CARD.PERSON_ID = T_PHONE.PERSON_ID"},
};

constexpr const char* kHomeList =
    "SELECT T_PERSON.PERSON_ID, T_PERSON.LAST_NAME, vwHomePhone.TEL_NUMBER AS HOME FROM T_PERSON LEFT JOIN "
    "vwHomePhone ON T_PERSON.PERSON_ID = vwHomePhone.PERSON_ID WHERE T_PERSON.RANK > 0";

// "read columns", "unused joins".
const Case kReadColumns[] = {
    {.jet = kHomeList,
     .reads = {"PERSON_ID", "last_name"},
     .sql = "SELECT T_PERSON.PERSON_ID, T_PERSON.LAST_NAME FROM T_PERSON LEFT JOIN vwHomePhone ON T_PERSON.PERSON_ID = "
            "vwHomePhone.PERSON_ID WHERE T_PERSON.RANK > ?",
     .itemTypes = Types{JetType::Unknown, JetType::Unknown}},
    // With the view's key the join adds no row, and nothing reads it.
    {.jet = kHomeList,
     .given = kKeys,
     .reads = {"PERSON_ID", "LAST_NAME"},
     .sql = "SELECT T_PERSON.PERSON_ID, T_PERSON.LAST_NAME FROM T_PERSON WHERE T_PERSON.RANK > ?"},
    // An item left out would take its literal's place among the parameters.
    {.jet = "SELECT T_PERSON.PERSON_ID, T_PERSON.LAST_NAME & 'x' AS TAGGED FROM T_PERSON INNER JOIN T_PHONE ON "
            "T_PERSON.PERSON_ID = T_PHONE.PERSON_ID",
     .reads = {"PERSON_ID"},
     .sql = "SELECT T_PERSON.PERSON_ID, lumo_concat(T_PERSON.LAST_NAME, ?) AS TAGGED FROM T_PERSON INNER JOIN T_PHONE "
            "ON T_PERSON.PERSON_ID = T_PHONE.PERSON_ID"},
};

constexpr const char* kNameSearch =
    "SELECT T_PERSON.LAST_NAME FROM T_PERSON WHERE T_PERSON.PERSON_ID IN (SELECT T_PERSON.PERSON_ID FROM T_PERSON "
    "LEFT JOIN T_PHONE ON T_PERSON.PERSON_ID = T_PHONE.PERSON_ID WHERE T_PERSON.LAST_NAME LIKE '%a%')";

// "unused joins": in IN (SELECT ...), and in the outermost query.
const Case kUnusedJoins[] = {
    {.jet = "SELECT T_PERSON.PERSON_ID FROM T_PERSON LEFT JOIN vwHomePhone ON T_PERSON.PERSON_ID = "
            "vwHomePhone.PERSON_ID WHERE T_PERSON.RANK = 1",
     .given = kKeys,
     .sql = "SELECT T_PERSON.PERSON_ID FROM T_PERSON WHERE T_PERSON.RANK = ?"},
    {.jet = kNameSearch,
     .sql = "SELECT T_PERSON.LAST_NAME FROM T_PERSON WHERE T_PERSON.PERSON_ID IN (SELECT T_PERSON.PERSON_ID FROM "
            "T_PERSON WHERE T_PERSON.LAST_NAME LIKE ?)",
     .withRowid = "SELECT T_PERSON.LAST_NAME , [T_PERSON]._rowid_ AS __lumo_rowid FROM T_PERSON WHERE "
                  "T_PERSON.PERSON_ID IN (SELECT T_PERSON.PERSON_ID FROM T_PERSON WHERE T_PERSON.LAST_NAME LIKE ?)",
     .source = "T_PERSON"},
    // A join read only by another join's ON goes once that one has gone;
    // in parentheses, the table stays alone in them.
    {.jet = "SELECT T_CARD.ID FROM T_CARD WHERE T_CARD.PERSON_ID IN (SELECT T_PERSON.PERSON_ID FROM (T_PERSON LEFT "
            "JOIN T_PHONE AS H ON H.PERSON_ID = T_PERSON.PERSON_ID) LEFT JOIN T_EMAIL ON T_EMAIL.PHONE_ID = H.PHONE_ID "
            "WHERE T_PERSON.RANK = 2)",
     .sql = "SELECT T_CARD.ID FROM T_CARD WHERE T_CARD.PERSON_ID IN (SELECT T_PERSON.PERSON_ID FROM (T_PERSON) WHERE "
            "T_PERSON.RANK = ?)",
     .withRowid = "SELECT T_CARD.ID , [T_CARD]._rowid_ AS __lumo_rowid FROM T_CARD WHERE T_CARD.PERSON_ID IN (SELECT "
                  "T_PERSON.PERSON_ID FROM (T_PERSON) WHERE T_PERSON.RANK = ?)",
     .source = "T_CARD"},
    // The key tested against its own table: the subquery's condition.
    {.jet = kNameSearch,
     .given = kKeys,
     .sql = "SELECT T_PERSON.LAST_NAME FROM T_PERSON WHERE ( T_PERSON.LAST_NAME LIKE ?)",
     .withRowid = "SELECT T_PERSON.LAST_NAME , [T_PERSON]._rowid_ AS __lumo_rowid FROM T_PERSON WHERE "
                  "( T_PERSON.LAST_NAME LIKE ?)",
     .source = "T_PERSON"},
};

// "substring narrowing", "search joins" and "like chains", which also
// write the narrowed text. A test the narrowing by keys repeats in its
// table's subquery is the test itself, written again: the statement's
// parameters are then numbered.
const Case kSearches[] = {
    // After a TOP subquery whose ORDER BY literal moved (and is written ?1),
    // the copied tests keep the numbers of their own patterns.
    {.jet = "SELECT T_SHEET.ID FROM (T_SHEET LEFT JOIN T_iCUSTOMER ON T_iCUSTOMER.CUSTOMER_ID = T_SHEET.CUSTOMER_ID) "
            "LEFT JOIN T_iSUPPLIER ON T_iSUPPLIER.SUPPLIER_ID = T_SHEET.SUPPLIER_ID WHERE T_SHEET.ID IN (SELECT TOP 2 "
            "T_ITEMS.ID FROM T_ITEMS ORDER BY 'k') AND (T_iCUSTOMER.ALIAS LIKE '%ab%' OR T_iSUPPLIER.ALIAS LIKE '%cd%')",
     .sql = "SELECT T_SHEET.ID FROM (T_SHEET LEFT JOIN T_iCUSTOMER ON T_iCUSTOMER.CUSTOMER_ID = T_SHEET.CUSTOMER_ID) "
            "LEFT JOIN T_iSUPPLIER ON T_iSUPPLIER.SUPPLIER_ID = T_SHEET.SUPPLIER_ID WHERE (T_SHEET.ID IN (SELECT "
            "__lumo_c1 AS \"ID\" FROM (SELECT *, rank() OVER (ORDER BY __lumo_k1) AS __lumo_rank FROM (SELECT "
            "T_ITEMS.ID AS __lumo_c1, ?1 AS __lumo_k1 FROM T_ITEMS)) WHERE __lumo_rank <= 2 ORDER BY __lumo_k1) AND "
            "(lumo_like_pairs(T_iCUSTOMER.ALIAS, ?2, T_iSUPPLIER.ALIAS, ?3))) AND (T_SHEET.CUSTOMER_ID IN (SELECT "
            "T_iCUSTOMER.CUSTOMER_ID FROM T_iCUSTOMER WHERE T_iCUSTOMER.ALIAS LIKE ?2) OR T_SHEET.SUPPLIER_ID IN "
            "(SELECT T_iSUPPLIER.SUPPLIER_ID FROM T_iSUPPLIER WHERE T_iSUPPLIER.ALIAS LIKE ?3))"},
    // A chain right after WHERE, in a one-table SELECT, and one in a
    // subquery; a Not Like or a column without its table keeps the chain.
    {.jet = "SELECT T_PHONE.TEL_NUMBER FROM T_PHONE WHERE T_PHONE.TEL_NUMBER LIKE '1%' OR [T_PHONE].TEL_NUMBER LIKE "
            "'%1' OR T_PHONE.tel_number LIKE '%2'",
     .sql = "SELECT T_PHONE.TEL_NUMBER FROM T_PHONE WHERE lumo_like_any(T_PHONE.TEL_NUMBER, ?, ?, ?)",
     .withRowid = "SELECT T_PHONE.TEL_NUMBER , [T_PHONE]._rowid_ AS __lumo_rowid FROM T_PHONE WHERE "
                  "lumo_like_any(T_PHONE.TEL_NUMBER, ?, ?, ?)",
     .source = "T_PHONE"},
    {.jet = "SELECT P.PERSON_ID FROM T_PERSON AS P WHERE P.PERSON_ID IN (SELECT H.PERSON_ID FROM T_PHONE AS H WHERE "
            "H.PERSON_ID > 2 AND (H.TEL_NUMBER LIKE '1%' OR (P.LAST_NAME LIKE '%1'))) AND (P.A LIKE 'x' OR P.A NOT "
            "LIKE 'y') AND (P.A LIKE 'x' OR A LIKE 'y')",
     .sql = "SELECT P.PERSON_ID FROM T_PERSON AS P WHERE P.PERSON_ID IN (SELECT H.PERSON_ID FROM T_PHONE AS H WHERE "
            "H.PERSON_ID > ? AND (lumo_like_pairs(H.TEL_NUMBER, ?, P.LAST_NAME, ?))) AND (P.A LIKE ? OR P.A NOT LIKE "
            "?) AND (P.A LIKE ? OR A LIKE ?)"},
    {.jet = "SELECT T_PERSON.PERSON_ID, T_PHONE.TEL_NUMBER FROM T_PERSON LEFT JOIN T_PHONE ON T_PERSON.PERSON_ID = "
            "T_PHONE.PERSON_ID WHERE (T_PHONE.TEL_NUMBER LIKE '%12%' OR T_PHONE.TEL_NUMBER LIKE '12%')",
     .sql = "SELECT T_PERSON.PERSON_ID, T_PHONE.TEL_NUMBER FROM T_PERSON INNER JOIN T_PHONE ON T_PERSON.PERSON_ID = "
            "T_PHONE.PERSON_ID WHERE (lumo_like_any(T_PHONE.TEL_NUMBER, ?, ?))"},
    // Counterparts: the sheets start from the keys of the matching ones.
    {.jet = "SELECT T_SHEET.ID FROM (T_SHEET LEFT JOIN T_iCUSTOMER ON T_iCUSTOMER.CUSTOMER_ID = T_SHEET.CUSTOMER_ID) "
            "LEFT JOIN T_iSUPPLIER ON T_iSUPPLIER.SUPPLIER_ID = T_SHEET.SUPPLIER_ID WHERE (T_iCUSTOMER.ALIAS LIKE "
            "'%ab%' OR T_iSUPPLIER.ALIAS LIKE '%ab%')",
     .sql = "SELECT T_SHEET.ID FROM (T_SHEET LEFT JOIN T_iCUSTOMER ON T_iCUSTOMER.CUSTOMER_ID = T_SHEET.CUSTOMER_ID) "
            "LEFT JOIN T_iSUPPLIER ON T_iSUPPLIER.SUPPLIER_ID = T_SHEET.SUPPLIER_ID WHERE (("
            "lumo_like_pairs(T_iCUSTOMER.ALIAS, ?1, T_iSUPPLIER.ALIAS, ?2))) AND (T_SHEET.CUSTOMER_ID IN (SELECT "
            "T_iCUSTOMER.CUSTOMER_ID FROM T_iCUSTOMER WHERE T_iCUSTOMER.ALIAS LIKE ?1) OR T_SHEET.SUPPLIER_ID IN "
            "(SELECT T_iSUPPLIER.SUPPLIER_ID FROM T_iSUPPLIER WHERE T_iSUPPLIER.ALIAS LIKE ?2))"},
    // The sheets first, whatever the FROM clause joined them into, and a
    // counterpart known by its alias; ")ON" keeps a blank once turned.
    {.jet = "SELECT T_SHEET.ID FROM T_ITEMS INNER JOIN ((T_SHEET LEFT JOIN T_iCUSTOMER AS C ON C.CUSTOMER_ID = "
            "T_SHEET.CUSTOMER_ID) LEFT JOIN T_iSUPPLIER ON T_iSUPPLIER.SUPPLIER_ID = T_SHEET.SUPPLIER_ID)ON "
            "T_ITEMS.ID = T_SHEET.GOODS_ID WHERE (C.ALIAS LIKE 'a%' OR T_iSUPPLIER.SUPPLIER LIKE 'b%')",
     .sql = "SELECT T_SHEET.ID FROM ((T_SHEET LEFT JOIN T_iCUSTOMER AS C ON C.CUSTOMER_ID = T_SHEET.CUSTOMER_ID) "
            "LEFT JOIN T_iSUPPLIER ON T_iSUPPLIER.SUPPLIER_ID = T_SHEET.SUPPLIER_ID) INNER JOIN T_ITEMS ON "
            "T_ITEMS.ID = T_SHEET.GOODS_ID WHERE ((lumo_like_pairs(C.ALIAS, ?1, T_iSUPPLIER.SUPPLIER, ?2))) AND "
            "(T_SHEET.CUSTOMER_ID IN (SELECT C.CUSTOMER_ID FROM T_iCUSTOMER AS C WHERE C.ALIAS LIKE ?1) OR "
            "T_SHEET.SUPPLIER_ID IN (SELECT T_iSUPPLIER.SUPPLIER_ID FROM T_iSUPPLIER WHERE T_iSUPPLIER.SUPPLIER "
            "LIKE ?2))"},
    // The patterns are literals 1 and 2; the index query is bound after
    // the three literals.
    {.jet = "SELECT T_PERSON.PERSON_ID, T_PHONE.TEL_NUMBER FROM T_PERSON LEFT JOIN T_PHONE ON T_PERSON.PERSON_ID = "
            "T_PHONE.PERSON_ID WHERE T_PERSON.RANK = 1 AND (T_PERSON.LAST_NAME LIKE '%abc%' OR T_PERSON.FIRST_NAME "
            "LIKE '%abc%')",
     .given = kIndex,
     .sql = "SELECT T_PERSON.PERSON_ID, T_PHONE.TEL_NUMBER FROM T_PERSON LEFT JOIN T_PHONE ON T_PERSON.PERSON_ID = "
            "T_PHONE.PERSON_ID WHERE T_PERSON.RANK = ? AND (lumo_like_pairs(T_PERSON.LAST_NAME, ?, "
            "T_PERSON.FIRST_NAME, ?))",
     .narrowed = "SELECT T_PERSON.PERSON_ID, T_PHONE.TEL_NUMBER FROM T_PERSON LEFT JOIN T_PHONE ON T_PERSON.PERSON_ID "
                 "= T_PHONE.PERSON_ID WHERE (T_PERSON.RANK = ? AND (lumo_like_pairs(T_PERSON.LAST_NAME, ?, "
                 "T_PERSON.FIRST_NAME, ?))) AND T_PERSON.PERSON_ID IN (SELECT rowid FROM lumo_search_person WHERE "
                 "lumo_search_person MATCH ?4 UNION ALL SELECT PERSON_ID FROM lumo_search_person_unindexed)",
     .patterns = {{1, 2}}},
};

// The types of the select list's items, from the literals' types and the
// schema's Date/Time columns; VarType is given the type it cannot see.
const Case kItemTypes[] = {
    {.jet = "SELECT 'a', 1, 100000, 1.5, #2003/11/22#, True",
     .sql = "SELECT ?, ?, ?, ?, ?, -1",
     .itemTypes = Types{JetType::Text, JetType::Integer, JetType::Long, JetType::Double, JetType::Date,
                        JetType::Boolean}},
    {.jet = "SELECT PERSON_ID, BIRTHDAY + 1 AS NEXT_DAY, DateSerial(2003, 11, 22), BIRTHDAY - UPDATED FROM T_PERSON",
     .given = kDates,
     .sql = "SELECT PERSON_ID, lumo_add(BIRTHDAY, ?) AS NEXT_DAY, jet_dateserial(?, ?, ?), lumo_sub(BIRTHDAY, UPDATED) "
            "FROM T_PERSON NOT INDEXED",
     .withRowid = "SELECT PERSON_ID, lumo_add(BIRTHDAY, ?) AS NEXT_DAY, jet_dateserial(?, ?, ?), lumo_sub(BIRTHDAY, "
                  "UPDATED) , [T_PERSON]._rowid_ AS __lumo_rowid FROM T_PERSON NOT INDEXED",
     .source = "T_PERSON",
     .itemTypes = Types{JetType::Unknown, JetType::Date, JetType::Date, JetType::Double}},
    {.jet = "SELECT VarType(True), VarType(#2003/11/22# + 1), VarType(CCur(1) + 1), VarType(1)",
     .sql = "SELECT jet_vartype(-1, 66), jet_vartype(lumo_date(lumo_add(?, ?)), 68), jet_vartype(lumo_add(jet_ccur(?), ?), 67), "
            "jet_vartype(?, 73)"},
    {.jet = "SELECT VarType(T_PERSON.BIRTHDAY + 1), VarType(BIRTHDAY) FROM T_PERSON INNER JOIN T_PHONE ON "
            "T_PERSON.PERSON_ID = T_PHONE.PERSON_ID",
     .given = kDates,
     .sql = "SELECT jet_vartype(lumo_date(lumo_add(T_PERSON.BIRTHDAY, ?)), 68), jet_vartype(lumo_date(BIRTHDAY), 68) FROM "
            "T_PERSON INNER JOIN T_PHONE ON T_PERSON.PERSON_ID = T_PHONE.PERSON_ID"},
};

TEST(TranslationSteps, DateLiterals) { expectTranslations(kDateLiterals); }
TEST(TranslationSteps, Words) { expectTranslations(kWords); }
TEST(TranslationSteps, SetTargets) { expectTranslations(kSetTargets); }
TEST(TranslationSteps, DateColumnArguments) { expectTranslations(kDateColumns); }
TEST(TranslationSteps, WholeAssignments) { expectTranslations(kWholeAssignments); }
TEST(TranslationSteps, AssignedParameters) { expectTranslations(kAssignedParameters); }
TEST(TranslationSteps, Top) { expectTranslations(kTop); }
TEST(TranslationSteps, SourceAndRowIdentity) { expectTranslations(kSource); }
TEST(TranslationSteps, DistinctRows) {
    expectTranslations(kDistinctRows);
    // Where the records cannot be told apart.
    for (const char* jet : {
             "SELECT DISTINCTROW LAST_NAME FROM T_PERSON INNER JOIN T_PHONE ON T_PERSON.PERSON_ID = T_PHONE.PERSON_ID",
             "SELECT DISTINCTROW TOP 2 T_PERSON.LAST_NAME FROM T_PERSON, T_PHONE ORDER BY T_PERSON.LAST_NAME",
             "SELECT DISTINCTROW X.A FROM (SELECT PERSON_ID AS A FROM T_PERSON) AS X INNER JOIN T_PHONE ON X.A = "
             "T_PHONE.PERSON_ID",
         }) {
        SCOPED_TRACE(jet);
        EXPECT_THROW(JetSqlText(jet).translate({}, {}, {}, {}, {}), lumo::Error);
    }
}
TEST(TranslationSteps, OuterJoins) { expectTranslations(kOuterJoins); }
TEST(TranslationSteps, ReadColumns) { expectTranslations(kReadColumns); }
TEST(TranslationSteps, UnusedJoins) { expectTranslations(kUnusedJoins); }
TEST(TranslationSteps, SearchesAndSubstringIndex) { expectTranslations(kSearches); }
TEST(TranslationSteps, ItemTypes) { expectTranslations(kItemTypes); }

}  // namespace
