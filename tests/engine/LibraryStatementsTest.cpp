// The statements the library's readers and the export hand to the engine,
// through the production translation (literals lifted, then translated):
// the SQLite text each one runs as, written out by hand. These are the
// statements run for every record read, so a change in how the parser
// cuts or the renderer writes a statement shows here first.
#include <gtest/gtest.h>

#include <string>

#include "engine/JetSql.h"

namespace {

using lumo::db::JetSqlText;

struct LibraryStatement {
    const char* jet;
    const char* sql;
    const char* withRowid;  // "" for a statement that is not single-source
};

const LibraryStatement kStatements[] = {
    {"SELECT * FROM T_PERSON WHERE T_PERSON.PERSON_ID = 12", "SELECT * FROM T_PERSON WHERE T_PERSON.PERSON_ID = ?",
     "SELECT * , [T_PERSON]._rowid_ AS __lumo_rowid FROM T_PERSON WHERE T_PERSON.PERSON_ID = ?"},
    {"SELECT T_PHONE.PHONE_ID, T_PHONE.TYPE, T_PHONE.LABEL, T_PHONE.TEL_NUMBER, T_PHONE.RANK FROM T_PHONE "
     "WHERE PERSON_ID = 7 ORDER BY T_PHONE.RANK, T_PHONE.PHONE_ID",
     "SELECT T_PHONE.PHONE_ID, T_PHONE.TYPE, T_PHONE.LABEL, T_PHONE.TEL_NUMBER, T_PHONE.RANK FROM T_PHONE "
     "WHERE PERSON_ID = ? ORDER BY T_PHONE.RANK, T_PHONE.PHONE_ID",
     "SELECT T_PHONE.PHONE_ID, T_PHONE.TYPE, T_PHONE.LABEL, T_PHONE.TEL_NUMBER, T_PHONE.RANK , [T_PHONE]._rowid_ AS "
     "__lumo_rowid FROM T_PHONE WHERE PERSON_ID = ? ORDER BY T_PHONE.RANK, T_PHONE.PHONE_ID"},
    {"SELECT T_EMAIL.MAIL_ID, T_EMAIL.RANK FROM T_EMAIL WHERE PERSON_ID = 7 ORDER BY T_EMAIL.RANK DESC",
     "SELECT T_EMAIL.MAIL_ID, T_EMAIL.RANK FROM T_EMAIL WHERE PERSON_ID = ? ORDER BY T_EMAIL.RANK DESC",
     "SELECT T_EMAIL.MAIL_ID, T_EMAIL.RANK , [T_EMAIL]._rowid_ AS __lumo_rowid FROM T_EMAIL WHERE PERSON_ID = ? "
     "ORDER BY T_EMAIL.RANK DESC"},
    // Whole tables come in key order.
    {"SELECT PERSON_ID FROM T_PERSON", "SELECT PERSON_ID FROM T_PERSON NOT INDEXED",
     "SELECT PERSON_ID , [T_PERSON]._rowid_ AS __lumo_rowid FROM T_PERSON NOT INDEXED"},
    {"SELECT * FROM T_iGROUPING", "SELECT * FROM T_iGROUPING NOT INDEXED",
     "SELECT * , [T_iGROUPING]._rowid_ AS __lumo_rowid FROM T_iGROUPING NOT INDEXED"},
    {"SELECT * FROM T_iSUPPLIER WHERE SUPPLIER_ID = 3", "SELECT * FROM T_iSUPPLIER WHERE SUPPLIER_ID = ?",
     "SELECT * , [T_iSUPPLIER]._rowid_ AS __lumo_rowid FROM T_iSUPPLIER WHERE SUPPLIER_ID = ?"},
    // A search list: a join, a text test on a literal, a truth of its own.
    {"SELECT T_PERSON.PERSON_ID FROM T_PERSON INNER JOIN T_GROUPING ON T_PERSON.PERSON_ID = T_GROUPING.PERSON_ID "
     "WHERE T_GROUPING.GROUP_ID = 2 AND (T_PERSON.LAST_NAME LIKE '%山%' OR T_PERSON.FIRST_NAME & 'x' = 'ax') "
     "ORDER BY T_PERSON.KANA",
     "SELECT T_PERSON.PERSON_ID FROM T_PERSON INNER JOIN T_GROUPING ON T_PERSON.PERSON_ID = T_GROUPING.PERSON_ID "
     "WHERE T_GROUPING.GROUP_ID = ? AND (T_PERSON.LAST_NAME LIKE ? OR lumo_concat(T_PERSON.FIRST_NAME, ?) = ? COLLATE "
     "NOCASE) ORDER BY T_PERSON.KANA",
     ""},
    // Writes: SET targets lose their table; a date becomes its number.
    {"UPDATE T_PERSON SET T_PERSON.UPDATED = #2003/11/22#, T_PERSON.RANK = RANK + 1 WHERE PERSON_ID = 9",
     "UPDATE T_PERSON SET UPDATED = ?, RANK = lumo_add(RANK, ?) WHERE PERSON_ID = ?", ""},
    {"INSERT INTO T_PHONE (PERSON_ID, TEL_NUMBER) VALUES (9, '03-1234')",
     "INSERT INTO T_PHONE (PERSON_ID, TEL_NUMBER) VALUES (?, ?)", ""},
    {"DELETE FROM T_PHONE WHERE PERSON_ID = 9 AND NOT RANK IN (1, Null)",
     "DELETE FROM T_PHONE WHERE PERSON_ID = ? AND NOT RANK IN (?)", ""},
};

TEST(LibraryStatements, TranslateToTheTextTheyRunAs) {
    for (const LibraryStatement& s : kStatements) {
        const lumo::db::JetStatement st = JetSqlText(s.jet).translate();
        EXPECT_EQ(st.sql, s.sql) << s.jet;
        EXPECT_EQ(st.sqlWithRowid, s.withRowid) << s.jet;
    }
}

}  // namespace
