// The three database files as `lumo init` makes them: every table, view
// and column with its type, the default groups, defaults, indexes on the
// links, the delete triggers, and text comparison that ignores ASCII case.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/Dates.h"
#include "schema/Schema.h"
#include "tests/tools/ToolsTestSupport.h"
#include "tools/init/InitCommand.h"

namespace lumo::test {
namespace {

// Column kinds: A AutoNumber, L Long, I Integer, B Yes/No, D Date/Time,
// T Text, M multi-line Text.
using Columns = std::vector<std::pair<std::string, char>>;
using Tables = std::map<std::string, Columns>;

const Tables kPersonTables{
    {"T_PERSON",
     {{"PERSON_ID", 'A'}, {"TYPE_ID", 'L'}, {"LASTNAME", 'T'}, {"LASTALIAS", 'T'}, {"FIRSTNAME", 'T'},
      {"FIRSTALIAS", 'T'}, {"TITLE", 'T'}, {"NICKNAME", 'T'}, {"LABEL1", 'T'}, {"MEMO1", 'T'}, {"LABEL2", 'T'},
      {"MEMO2", 'T'}, {"HOME_ZIP", 'T'}, {"HOME_ADDRESS1", 'T'}, {"HOME_ADDRESS2", 'T'}, {"HOME_URL", 'T'},
      {"LABEL3", 'T'}, {"MEMO3", 'T'}, {"LABEL4", 'T'}, {"MEMO4", 'T'}, {"ALIAS", 'T'}, {"COMPANY", 'T'},
      {"CO_POSITION", 'T'}, {"CO_SECTION", 'T'}, {"OFFICE_ZIP", 'T'}, {"OFFICE_ADDRESS1", 'T'},
      {"OFFICE_ADDRESS2", 'T'}, {"OFFICE_URL", 'T'}, {"LABEL5", 'T'}, {"MEMO5", 'T'}, {"LABEL6", 'T'},
      {"MEMO6", 'T'}, {"BIRTHDAY", 'D'}, {"AGE", 'I'}, {"CONSTELLATION", 'T'}, {"BLOOD", 'T'},
      {"ANNIVERSARY", 'D'}, {"MATEALIAS", 'T'}, {"MATE", 'T'}, {"HOBBY", 'T'}, {"NOTE", 'M'}, {"DEFAULT", 'T'}}},
    {"T_PHONE",
     {{"PHONE_ID", 'A'}, {"PERSON_ID", 'L'}, {"LABEL", 'T'}, {"TEL_NUMBER", 'T'}, {"RANK", 'I'}, {"TYPE", 'T'}}},
    {"T_EMAIL",
     {{"MAIL_ID", 'A'}, {"PERSON_ID", 'L'}, {"LABEL", 'T'}, {"MAIL_ADDRESS", 'T'}, {"RANK", 'I'}, {"TYPE", 'T'}}},
    {"T_GREETING",
     {{"GREETING_ID", 'A'}, {"PERSON_ID", 'L'}, {"TARGET", 'L'}, {"NEWYEAR_SEND", 'B'}, {"NEWYEAR_RECEIVE", 'B'},
      {"SUMMER_SEND", 'B'}, {"SUMMER_RECEIVE", 'B'}, {"MIDYEAR_SEND", 'B'}, {"MIDYEAR_RECEIVE", 'B'},
      {"YEAREND_SEND", 'B'}, {"YEAREND_RECEIVE", 'B'}, {"MEMO", 'T'}}},
    {"T_CHILDREN", {{"CHILD_ID", 'A'}, {"PERSON_ID", 'L'}, {"CHILDREN", 'T'}, {"ALIAS", 'T'}}},
    {"T_GROUPING", {{"TYPE_ID", 'A'}, {"LABEL", 'T'}, {"DEFAULT", 'B'}}},
    {"T_TODOLIST", {{"PERSON_ID", 'L'}, {"NOTE", 'M'}, {"CHK_FLAG", 'B'}}},
};

const Tables kItemTables{
    {"T_ITEMS",
     {{"ID", 'A'}, {"ITYPE_ID", 'L'}, {"MAKER", 'T'}, {"ITEM_ALIAS", 'T'}, {"ITEM_NAME", 'T'}, {"ITEM_FORM", 'T'},
      {"ITEM_SPEC", 'T'}, {"MEMO_LABEL1", 'T'}, {"MEMO1", 'T'}, {"PHOTO_PATH", 'T'}, {"NOTE", 'M'}}},
    {"T_iSUPPLIER",
     {{"SUPPLIER_ID", 'A'}, {"ALIAS", 'T'}, {"SUPPLIER", 'T'}, {"SLAST_ALIAS", 'T'}, {"SLAST_NAME", 'T'},
      {"SFIRST_ALIAS", 'T'}, {"SFIRST_NAME", 'T'}, {"S_ZIP", 'T'}, {"S_ADDRESS1", 'T'}, {"S_ADDRESS2", 'T'},
      {"S_TEL", 'T'}, {"S_FAX", 'T'}, {"S_MAIL", 'T'}, {"S_DEFAULT", 'T'}, {"S_LINK_ID", 'L'}}},
    {"T_iCUSTOMER",
     {{"CUSTOMER_ID", 'A'}, {"ALIAS", 'T'}, {"CUSTOMER", 'T'}, {"CLAST_ALIAS", 'T'}, {"CLAST_NAME", 'T'},
      {"CFIRST_ALIAS", 'T'}, {"CFIRST_NAME", 'T'}, {"C_ZIP", 'T'}, {"C_ADDRESS1", 'T'}, {"C_ADDRESS2", 'T'},
      {"C_TEL", 'T'}, {"C_FAX", 'T'}, {"C_MAIL", 'T'}, {"C_DEFAULT", 'T'}, {"C_LINK_ID", 'L'}}},
    {"T_SHEET",
     {{"ID", 'A'}, {"SHEET_ID", 'I'}, {"GOODS_ID", 'L'}, {"SHEET_DATE", 'D'}, {"CUSTOMER_ID", 'L'},
      {"SUPPLIER_ID", 'L'}, {"QUANTITY", 'L'}, {"SALES_UNITPRICE", 'L'}, {"SALES_AMOUNT", 'L'},
      {"STOCK_UNITPRICE", 'L'}, {"STOCK_AMOUNT", 'L'}, {"NOTE", 'M'}}},
    {"T_iGROUPING", {{"ITYPE_ID", 'A'}, {"ILABEL", 'T'}, {"DEFAULT", 'B'}}},
    {"T_TODOLIST", {{"SHEET_ID", 'L'}, {"NOTE", 'M'}, {"CHK_FLAG", 'B'}}},
};

const Tables kScrapTables{
    {"T_SCRAP",
     {{"ID", 'A'}, {"LABEL_ID", 'L'}, {"REG_DATE", 'D'}, {"ED_DATE", 'D'}, {"TITLE", 'T'}, {"SOURCE", 'T'},
      {"KEYWORD", 'T'}, {"PLACE", 'T'}, {"BODY", 'M'}, {"BODY_PATH", 'T'}, {"MEMO", 'T'}}},
    {"T_GROUPING", {{"LABEL_ID", 'A'}, {"LABEL", 'T'}, {"DEFAULT", 'B'}}},
};

const std::map<std::string, std::vector<std::string>> kPersonViews{
    {"vwHomePhone", {"PERSON_ID", "TEL_NUMBER"}},
    {"vwOfficePhone", {"PERSON_ID", "TEL_NUMBER"}},
    {"vwMailAddress", {"PERSON_ID", "MAIL_ADDRESS"}},
};

std::string firstWord(const char* declared) {
    std::string word = declared ? declared : "";
    return word.substr(0, word.find(' '));
}

// The tables and views of the data; the engine's own (lumo_*)
// are tested by what they do.
std::set<std::string> names(Db& db, const std::string& type) {
    std::set<std::string> result;
    for (const auto& row : db.rows("SELECT name FROM sqlite_master WHERE type = '" + type +
                                   "' AND name NOT LIKE 'sqlite_%' AND substr(name, 1, 5) <> 'lumo_'"))
        result.insert(row[0]);
    return result;
}

std::vector<std::string> columnNames(Db& db, const std::string& table) {
    std::vector<std::string> result;
    for (const auto& row : db.rows("SELECT name FROM pragma_table_info('" + table + "')")) result.push_back(row[0]);
    return result;
}

void expectTables(Db& db, const Tables& expected) {
    std::set<std::string> expectedNames;
    for (const auto& [table, columns] : expected) expectedNames.insert(table);
    EXPECT_EQ(names(db, "table"), expectedNames);

    for (const auto& [table, columns] : expected) {
        std::vector<std::string> want;
        for (const auto& column : columns) want.push_back(column.first);
        std::vector<std::string> have = columnNames(db, table);
        std::sort(want.begin(), want.end());
        std::sort(have.begin(), have.end());
        EXPECT_EQ(have, want) << table;

        for (const auto& [column, kind] : columns) {
            const char* declared = nullptr;
            const char* collation = nullptr;
            int notNull = 0, primaryKey = 0, autoIncrement = 0;
            ASSERT_EQ(sqlite3_table_column_metadata(db.handle(), "main", table.c_str(), column.c_str(), &declared,
                                                    &collation, &notNull, &primaryKey, &autoIncrement),
                      SQLITE_OK)
                << table << "." << column;
            const std::string where = table + "." + column;
            const std::string type = firstWord(declared);
            switch (kind) {
                case 'A':
                    EXPECT_EQ(type, "INTEGER") << where;
                    EXPECT_TRUE(primaryKey && autoIncrement) << where;
                    break;
                case 'L': EXPECT_EQ(type, "LONG") << where; break;
                case 'I': EXPECT_EQ(type, "SHORT") << where; break;
                case 'B':
                    EXPECT_EQ(type, "YESNO") << where;
                    EXPECT_TRUE(notNull) << where;
                    break;
                case 'D': EXPECT_EQ(type, "DATETIME") << where; break;
                case 'T':
                case 'M':
                    EXPECT_EQ(type, kind == 'T' ? "TEXT" : "MEMO") << where;
                    EXPECT_STREQ(collation, "NOCASE") << where;
                    break;
                default: FAIL() << "bad kind for " << where;
            }
        }
    }
}

class SchemaTest : public ::testing::Test {
protected:
    void SetUp() override {
        tools::InitOptions options;
        options.folder = folder.path();
        tools::createDatabases(options);
    }
    Db person() { return Db(folder.data("LumoBase.mdb")); }
    Db item() { return Db(folder.data("iLumoBase.mdb")); }
    Db scrap() { return Db(folder.data("LumoScrap.mdb")); }

    ScratchFolder folder;
};

TEST_F(SchemaTest, PersonDatabaseHasEveryTableColumnAndView) {
    Db db = person();
    expectTables(db, kPersonTables);
    std::set<std::string> viewNames;
    for (const auto& [view, columns] : kPersonViews) {
        viewNames.insert(view);
        EXPECT_EQ(columnNames(db, view), columns) << view;
    }
    EXPECT_EQ(names(db, "view"), viewNames);
}

TEST_F(SchemaTest, ItemAndScrapDatabasesHaveEveryTableAndColumn) {
    Db items = item();
    expectTables(items, kItemTables);
    EXPECT_TRUE(names(items, "view").empty());
    Db scraps = scrap();
    expectTables(scraps, kScrapTables);
}

TEST_F(SchemaTest, FilesCarryTheSuitesApplicationIdAndVersion) {
    for (const char* file : {"LumoBase.mdb", "iLumoBase.mdb", "LumoScrap.mdb"}) {
        Db db(folder.data(file));
        EXPECT_EQ(db.integer("PRAGMA application_id"), schema::kApplicationId) << file;
        EXPECT_EQ(db.integer("PRAGMA user_version"), schema::kUserVersion) << file;
    }
}

TEST_F(SchemaTest, EachDatabaseStartsWithOneDefaultGroupAndNewGroupsAreNotDefault) {
    struct Case {
        Db db;
        std::string table, key, caption;
    };
    Case cases[] = {{person(), "T_GROUPING", "TYPE_ID", "LABEL"},
                    {item(), "T_iGROUPING", "ITYPE_ID", "ILABEL"},
                    {scrap(), "T_GROUPING", "LABEL_ID", "LABEL"}};
    for (Case& c : cases) {
        EXPECT_EQ(c.db.rows("SELECT " + c.caption + ", \"DEFAULT\" FROM " + c.table),
                  (std::vector<std::vector<std::string>>{{"未分類", "-1"}}))
            << c.table;
        c.db.exec("INSERT INTO " + c.table + " (" + c.caption + ") VALUES ('友人')");
        EXPECT_EQ(c.db.integer("SELECT \"DEFAULT\" FROM " + c.table + " WHERE " + c.caption + " = '友人'"), 0);
        EXPECT_EQ(c.db.integer("SELECT COUNT(*) FROM " + c.table + " WHERE \"DEFAULT\" = -1"), 1);
    }
}

TEST_F(SchemaTest, FlagsDefaultToFalseAndScrapRegistrationDefaultsToNow) {
    Db people = person();
    people.exec("INSERT INTO T_TODOLIST (PERSON_ID, NOTE) VALUES (1, 'x')");
    people.exec("INSERT INTO T_GREETING (PERSON_ID, TARGET) VALUES (1, 2025)");
    EXPECT_EQ(people.integer("SELECT CHK_FLAG FROM T_TODOLIST"), 0);
    EXPECT_EQ(people.text("SELECT NEWYEAR_SEND || SUMMER_RECEIVE || YEAREND_SEND FROM T_GREETING"), "000");

    Db scraps = scrap();
    const double before = dates::now();
    scraps.exec("INSERT INTO T_SCRAP (LABEL_ID, TITLE) VALUES (1, 't')");
    const double after = dates::now();
    const double registered = std::stod(scraps.text("SELECT REG_DATE FROM T_SCRAP"));
    const double oneMinute = 1.0 / 1440;
    EXPECT_GE(registered, before - oneMinute);
    EXPECT_LE(registered, after + oneMinute);
    EXPECT_EQ(scraps.text("SELECT typeof(ED_DATE) FROM T_SCRAP"), "null");
}

TEST_F(SchemaTest, NotesAndBodiesOfDigitsStayText) {
    Db people = person();
    people.exec("INSERT INTO T_PERSON (TYPE_ID, NOTE) VALUES (1, '0123')");
    EXPECT_EQ(people.rows("SELECT NOTE, typeof(NOTE) FROM T_PERSON"),
              (std::vector<std::vector<std::string>>{{"0123", "text"}}));
    Db scraps = scrap();
    scraps.exec("INSERT INTO T_SCRAP (LABEL_ID, BODY) VALUES (1, '007')");
    EXPECT_EQ(scraps.text("SELECT BODY FROM T_SCRAP"), "007");
}

TEST_F(SchemaTest, TextComparisonIgnoresAsciiCase) {
    Db people = person();
    people.exec("INSERT INTO T_GROUPING (LABEL) VALUES ('ABC')");
    EXPECT_EQ(people.text("SELECT LABEL FROM T_GROUPING WHERE LABEL = 'abc'"), "ABC");
    EXPECT_EQ(people.text("SELECT LABEL FROM T_GROUPING WHERE LABEL LIKE '%b%'"), "ABC");
    EXPECT_EQ(people.integer("SELECT COUNT(*) FROM T_GROUPING WHERE LABEL = 'abd'"), 0);

    Db items = item();
    items.exec("INSERT INTO T_ITEMS (ITYPE_ID, ITEM_NAME) VALUES (1, 'Pen')");
    items.exec("INSERT INTO T_iSUPPLIER (SUPPLIER) VALUES ('ACME')");
    EXPECT_EQ(items.integer("SELECT COUNT(*) FROM T_ITEMS WHERE ITEM_NAME = 'PEN'"), 1);
    EXPECT_EQ(items.integer("SELECT COUNT(*) FROM T_iSUPPLIER WHERE SUPPLIER = 'acme'"), 1);
}

TEST_F(SchemaTest, LinkAndLookupColumnsAreIndexed) {
    const std::vector<std::pair<std::string, std::vector<std::string>>> personLinks{
        {"T_PERSON", {"TYPE_ID"}}, {"T_PHONE", {"PERSON_ID"}}, {"T_EMAIL", {"PERSON_ID"}},
        {"T_GREETING", {"PERSON_ID"}}, {"T_CHILDREN", {"PERSON_ID"}}, {"T_TODOLIST", {"PERSON_ID"}},
        {"T_GROUPING", {"LABEL"}}};
    const std::vector<std::pair<std::string, std::vector<std::string>>> itemLinks{
        {"T_ITEMS", {"ITYPE_ID", "ITEM_NAME"}},
        {"T_SHEET", {"GOODS_ID", "SUPPLIER_ID", "CUSTOMER_ID"}},
        {"T_TODOLIST", {"SHEET_ID"}},
        {"T_iGROUPING", {"ILABEL"}},
        {"T_iSUPPLIER", {"SUPPLIER"}},
        {"T_iCUSTOMER", {"CUSTOMER"}}};
    const std::vector<std::pair<std::string, std::vector<std::string>>> scrapLinks{
        {"T_SCRAP", {"LABEL_ID"}}, {"T_GROUPING", {"LABEL"}}};

    // An index serves a column when the column leads it.
    auto expectIndexed = [](Db db, const auto& links) {
        for (const auto& [table, columns] : links) {
            std::set<std::string> leading;
            for (const auto& index : db.rows("SELECT name FROM pragma_index_list('" + table + "')"))
                leading.insert(db.text("SELECT name FROM pragma_index_info('" + index[0] + "') WHERE seqno = 0"));
            for (const std::string& column : columns) EXPECT_TRUE(leading.count(column)) << table << "." << column;
        }
    };
    expectIndexed(person(), personLinks);
    expectIndexed(item(), itemLinks);
    expectIndexed(scrap(), scrapLinks);
}

TEST_F(SchemaTest, DeletingAPersonRemovesOnlyThatPersonsDependentRows) {
    Db db = person();
    for (int id : {1, 2}) {
        const std::string p = std::to_string(id);
        db.exec("INSERT INTO T_PERSON (PERSON_ID, TYPE_ID, LASTNAME) VALUES (" + p + ", 1, 'n" + p + "');"
                "INSERT INTO T_PHONE (PERSON_ID, TEL_NUMBER, RANK, TYPE) VALUES (" + p + ", '1', 1, 'HOME');"
                "INSERT INTO T_EMAIL (PERSON_ID, MAIL_ADDRESS, RANK) VALUES (" + p + ", 'a@b', 1);"
                "INSERT INTO T_GREETING (PERSON_ID, TARGET) VALUES (" + p + ", 2025);"
                "INSERT INTO T_CHILDREN (PERSON_ID, CHILDREN) VALUES (" + p + ", 'c');"
                "INSERT INTO T_TODOLIST (PERSON_ID, NOTE, CHK_FLAG) VALUES (" + p + ", 'todo', -1);");
    }
    db.exec("DELETE FROM T_PERSON WHERE PERSON_ID = 1");
    for (const char* table : {"T_PHONE", "T_EMAIL", "T_GREETING", "T_CHILDREN", "T_TODOLIST"}) {
        EXPECT_EQ(db.rows(std::string("SELECT DISTINCT PERSON_ID FROM ") + table),
                  (std::vector<std::vector<std::string>>{{"2"}}))
            << table;
    }
    EXPECT_EQ(db.integer("SELECT COUNT(*) FROM T_GROUPING"), 1);  // groups are not dependents
}

TEST_F(SchemaTest, DeletingASheetRemovesItsToDoRowsButNothingElseCascades) {
    Db db = item();
    db.exec("INSERT INTO T_ITEMS (ID, ITYPE_ID, ITEM_NAME) VALUES (1, 1, 'g');"
            "INSERT INTO T_iSUPPLIER (SUPPLIER_ID, SUPPLIER) VALUES (1, 's');"
            "INSERT INTO T_iCUSTOMER (CUSTOMER_ID, CUSTOMER) VALUES (1, 'c');"
            "INSERT INTO T_SHEET (ID, SHEET_ID, GOODS_ID, SUPPLIER_ID) VALUES (1, 0, 1, 1);"
            "INSERT INTO T_SHEET (ID, SHEET_ID, GOODS_ID, CUSTOMER_ID) VALUES (2, 1, 1, 1);"
            "INSERT INTO T_TODOLIST (SHEET_ID, NOTE, CHK_FLAG) VALUES (1, 'a', -1), (1, 'b', 0), (2, 'c', -1);");
    db.exec("DELETE FROM T_SHEET WHERE ID = 1");
    EXPECT_EQ(db.rows("SELECT SHEET_ID, NOTE FROM T_TODOLIST"), (std::vector<std::vector<std::string>>{{"2", "c"}}));
    EXPECT_EQ(db.integer("SELECT COUNT(*) FROM T_ITEMS"), 1);
    EXPECT_EQ(db.integer("SELECT COUNT(*) FROM T_iSUPPLIER"), 1);

    db.exec("DELETE FROM T_ITEMS; DELETE FROM T_iSUPPLIER; DELETE FROM T_iCUSTOMER;");
    EXPECT_EQ(db.integer("SELECT COUNT(*) FROM T_SHEET"), 1);
    EXPECT_EQ(db.integer("SELECT COUNT(*) FROM T_TODOLIST"), 1);
}

TEST_F(SchemaTest, PhoneViewsShowTheFirstHomeAndOfficeNumberOfEachPerson) {
    Db db = person();
    db.exec(
        // person 1: two home numbers (rank decides), an office number typed
        // in lower case, a mobile number, and a home row without a number
        "INSERT INTO T_PHONE (PHONE_ID, PERSON_ID, TEL_NUMBER, RANK, TYPE) VALUES"
        " (1, 1, 'home-rank2', 2, 'HOME'), (2, 1, 'home-rank1', 1, 'Home'), (3, 1, 'office', 3, 'office'),"
        " (4, 1, 'mobile', 0, 'MOBILE'), (5, 1, '', 0, 'HOME'),"
        // person 2: equal ranks, the lower PHONE_ID wins
        " (6, 2, 'office-b', 1, 'OFFICE'), (7, 2, 'office-a', 1, 'OFFICE'),"
        // person 3: only a mobile number
        " (8, 3, 'mobile-only', 1, 'MOBILE');");
    EXPECT_EQ(db.rows("SELECT PERSON_ID, TEL_NUMBER FROM vwHomePhone ORDER BY PERSON_ID"),
              (std::vector<std::vector<std::string>>{{"1", "home-rank1"}}));
    EXPECT_EQ(db.rows("SELECT PERSON_ID, TEL_NUMBER FROM vwOfficePhone ORDER BY PERSON_ID"),
              (std::vector<std::vector<std::string>>{{"1", "office"}, {"2", "office-b"}}));
}

TEST_F(SchemaTest, MailViewShowsTheHighestRankedAddressOfEachPerson) {
    Db db = person();
    db.exec("INSERT INTO T_EMAIL (MAIL_ID, PERSON_ID, MAIL_ADDRESS, RANK, TYPE) VALUES"
            " (1, 1, 'low', 1, 'HOME'), (2, 1, 'rank3-id2', 3, 'MOBILE'), (3, 1, 'rank3-id3', 3, 'OFFICE'),"
            " (4, 2, NULL, 9, 'HOME'), (5, 2, 'only', 1, 'HOME'), (6, 3, '', 1, 'HOME');");
    // Equal ranks: the lower MAIL_ID. Rows without an address do not count.
    EXPECT_EQ(db.rows("SELECT PERSON_ID, MAIL_ADDRESS FROM vwMailAddress ORDER BY PERSON_ID"),
              (std::vector<std::vector<std::string>>{{"1", "rank3-id2"}, {"2", "only"}}));
}

}  // namespace
}  // namespace lumo::test
