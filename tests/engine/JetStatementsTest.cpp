// Every statement shape the library and the export send to the engine, run
// on a `lumo init --sample` database. Each result is compared with the same
// question asked of SQLite directly, in SQLite's own dialect.
#include <sqlite3.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <set>

#include <gtest/gtest.h>

#include "engine/ConnectionString.h"
#include "engine/Recordset.h"
#include "tools/init/InitCommand.h"

using namespace lumo::db;

namespace {

// The engine's text of a stored date, worked out here from the C++
// library's calendar rather than the engine's own date code: yyyy/mm/dd,
// and H:MM:SS after it when there is a time of day.
std::string dateText(double automation) {
    using namespace std::chrono;
    const double whole = std::floor(automation);
    const year_month_day ymd{sys_days{1899y / December / 30} + days{static_cast<long>(whole)}};
    const long seconds = std::lround((automation - whole) * 86400);
    char text[40];
    std::snprintf(text, sizeof text, "%04d/%02u/%02u", static_cast<int>(ymd.year()), static_cast<unsigned>(ymd.month()),
                  static_cast<unsigned>(ymd.day()));
    std::string out = text;
    if (seconds != 0) {
        std::snprintf(text, sizeof text, " %ld:%02ld:%02ld", seconds / 3600, seconds / 60 % 60, seconds % 60);
        out += text;
    }
    return out;
}

class SampleDatabases : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = std::filesystem::temp_directory_path() / ("lumo_statements_" + std::to_string(::getpid()));
        std::filesystem::remove_all(dir_);
        lumo::tools::InitOptions options;
        options.folder = dir_;
        options.sample = true;
        lumo::tools::createDatabases(options);
    }
    static void TearDownTestSuite() { std::filesystem::remove_all(dir_); }

    void open(const char* file) {
        path_ = (dir_ / "Data" / file).string();
        cn_.Open(jetConnectionString(path_), "", "", -1);
    }

    // The rows of a Jet statement through the engine, one text per row.
    std::multiset<std::string> viaEngine(const std::string& jet) {
        Recordset rs;
        rs.Open(jet, cn_, adOpenStatic, adLockReadOnly, adCmdText);
        std::multiset<std::string> rows;
        for (; !rs.Eof(); rs.MoveNext()) {
            std::string row;
            for (int i = 0; i < rs.FieldCount(); ++i) {
                const Variant& v = rs.Fields(i).Value();
                row += (v.isNull() ? std::string("<null>") : v.type() == VarType::Boolean ? (v.toBool() ? "-1" : "0")
                                                                                              : v.toString()) + "|";
            }
            rows.insert(row);
        }
        return rows;
    }

    // The same question in SQLite's dialect, straight through SQLite.
    std::multiset<std::string> viaSqlite(const std::string& sql) {
        sqlite3* db = nullptr;
        sqlite3_open_v2(path_.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_stmt* st = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
        std::multiset<std::string> rows;
        while (st && sqlite3_step(st) == SQLITE_ROW) {
            std::string row;
            for (int i = 0; i < sqlite3_column_count(st); ++i) {
                const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
                if (!text) row += "<null>";
                else if (const char* decl = sqlite3_column_decltype(st, i); decl && std::string_view(decl) == "DATETIME")
                    row += dateText(sqlite3_column_double(st, i));
                else row += text;
                row += "|";
            }
            rows.insert(row);
        }
        sqlite3_finalize(st);
        sqlite3_close(db);
        return rows;
    }

    void expectSame(const std::string& jet, const std::string& sqlite, std::size_t atLeast = 1) {
        const auto engine = viaEngine(jet);
        EXPECT_EQ(engine, viaSqlite(sqlite)) << jet;
        EXPECT_GE(engine.size(), atLeast) << jet;
    }

    int32_t execute(const std::string& jet) { return cn_.Execute(jet, -1); }

    static std::filesystem::path dir_;
    std::string path_;
    Connection cn_;
};

std::filesystem::path SampleDatabases::dir_;

}  // namespace

TEST_F(SampleDatabases, PersonReadersAndNotes) {
    open("LumoBase.mdb");
    expectSame("SELECT * FROM T_PERSON WHERE T_PERSON.PERSON_ID = 1", "SELECT * FROM T_PERSON WHERE PERSON_ID = 1");
    expectSame("SELECT T_PHONE.PHONE_ID, T_PHONE.TYPE, T_PHONE.LABEL, T_PHONE.TEL_NUMBER, T_PHONE.RANK "
               "FROM T_PHONE WHERE PERSON_ID = 1 ORDER BY T_PHONE.RANK, T_PHONE.PHONE_ID",
               "SELECT PHONE_ID, TYPE, LABEL, TEL_NUMBER, RANK FROM T_PHONE WHERE PERSON_ID = 1", 2);
    expectSame("SELECT T_EMAIL.MAIL_ID, T_EMAIL.TYPE, T_EMAIL.LABEL, T_EMAIL.MAIL_ADDRESS, T_EMAIL.RANK "
               "FROM T_EMAIL WHERE PERSON_ID = 1 ORDER BY T_EMAIL.RANK DESC",
               "SELECT MAIL_ID, TYPE, LABEL, MAIL_ADDRESS, RANK FROM T_EMAIL WHERE PERSON_ID = 1");
    for (const char* table : {"T_CHILDREN", "T_GREETING", "T_TODOLIST", "T_PHONE", "T_EMAIL"}) {
        const std::string where = std::string(" FROM ") + table + " WHERE PERSON_ID = 1";
        expectSame("SELECT *" + where, "SELECT *" + where, 0);
    }
    expectSame("SELECT NOTE FROM T_PERSON WHERE PERSON_ID = 1", "SELECT NOTE FROM T_PERSON WHERE PERSON_ID = 1");
    expectSame("SELECT PERSON_ID FROM T_PERSON", "SELECT PERSON_ID FROM T_PERSON", 15);
}

TEST_F(SampleDatabases, PersonSearchJoinsTheViews) {
    open("LumoBase.mdb");
    const std::string name = "田", phone = "03";
    const std::string sub =
        "SELECT T_PERSON.PERSON_ID FROM T_PERSON LEFT JOIN T_PHONE ON T_PERSON.PERSON_ID = T_PHONE.PERSON_ID WHERE "
        "(T_PERSON.LASTNAME LIKE '%" + name + "%' OR T_PERSON.FIRSTNAME LIKE '%" + name + "%' OR T_PERSON.LASTALIAS LIKE '%" +
        name + "%' OR T_PERSON.FIRSTALIAS LIKE '%" + name + "%' OR T_PERSON.ALIAS LIKE '%" + name +
        "%' OR T_PERSON.COMPANY Like '%" + name + "%' OR T_PERSON.MATEALIAS LIKE '%" + name + "%' OR T_PERSON.MATE Like '%" +
        name + "%') AND (T_PHONE.TEL_NUMBER LIKE '%" + phone + "%' OR T_PHONE.TEL_NUMBER LIKE '%" + phone +
        "' OR T_PHONE.TEL_NUMBER LIKE '" + phone + "%')";
    const std::string jet =
        "SELECT DISTINCT T_PERSON.PERSON_ID, ([T_PERSON].[LASTNAME] & [T_PERSON].[FIRSTNAME]) AS PERSON_NAME, "
        "T_PERSON.COMPANY, vwOfficePhone.TEL_NUMBER AS OFFICE_PHONE, vwHomePhone.TEL_NUMBER AS HOME_PHONE, "
        "vwMailAddress.MAIL_ADDRESS, T_GROUPING.LABEL, ([T_PERSON].[LASTALIAS] & [T_PERSON].[FIRSTALIAS]) AS PERSON_ALIAS, "
        "T_PERSON.ALIAS FROM T_GROUPING INNER JOIN (((T_PERSON LEFT JOIN vwHomePhone ON T_PERSON.PERSON_ID = "
        "vwHomePhone.PERSON_ID) LEFT JOIN vwOfficePhone ON T_PERSON.PERSON_ID = vwOfficePhone.PERSON_ID) LEFT JOIN "
        "vwMailAddress ON T_PERSON.PERSON_ID = vwMailAddress.PERSON_ID) ON T_GROUPING.TYPE_ID = T_PERSON.TYPE_ID"
        " WHERE T_PERSON.PERSON_ID IN (" + sub + ")";
    const std::string sqlite =
        "SELECT DISTINCT P.PERSON_ID, CASE WHEN P.LASTNAME IS NULL AND P.FIRSTNAME IS NULL THEN NULL ELSE "
        "IFNULL(P.LASTNAME,'') || IFNULL(P.FIRSTNAME,'') END, P.COMPANY, O.TEL_NUMBER, H.TEL_NUMBER, M.MAIL_ADDRESS, "
        "G.LABEL, CASE WHEN P.LASTALIAS IS NULL AND P.FIRSTALIAS IS NULL THEN NULL ELSE IFNULL(P.LASTALIAS,'') || "
        "IFNULL(P.FIRSTALIAS,'') END, P.ALIAS FROM T_PERSON P JOIN T_GROUPING G ON G.TYPE_ID = P.TYPE_ID "
        "LEFT JOIN vwHomePhone H ON H.PERSON_ID = P.PERSON_ID LEFT JOIN vwOfficePhone O ON O.PERSON_ID = P.PERSON_ID "
        "LEFT JOIN vwMailAddress M ON M.PERSON_ID = P.PERSON_ID WHERE P.PERSON_ID IN (SELECT X.PERSON_ID FROM T_PERSON X "
        "JOIN T_PHONE T ON T.PERSON_ID = X.PERSON_ID WHERE (X.LASTNAME || X.FIRSTNAME || IFNULL(X.LASTALIAS,'') || "
        "IFNULL(X.FIRSTALIAS,'') || IFNULL(X.ALIAS,'') || IFNULL(X.COMPANY,'') || IFNULL(X.MATEALIAS,'') || "
        "IFNULL(X.MATE,'')) LIKE '%田%' AND T.TEL_NUMBER LIKE '%03%')";
    expectSame(jet, sqlite);
    Recordset rs;
    rs.Open(jet, cn_, adOpenStatic, adLockReadOnly, adCmdText);
    for (const char* field : {"PERSON_ID", "PERSON_NAME", "COMPANY", "OFFICE_PHONE", "HOME_PHONE", "MAIL_ADDRESS", "LABEL",
                              "PERSON_ALIAS", "ALIAS"})
        EXPECT_NO_THROW(rs.Fields(field)) << field;
}

TEST_F(SampleDatabases, GroupStatementsOfTheThreeDatabases) {
    struct Names { const char* file; const char* table; const char* key; const char* label; const char* member; };
    for (const Names& n : {Names{"LumoBase.mdb", "T_GROUPING", "TYPE_ID", "LABEL", "T_PERSON"},
                           Names{"iLumoBase.mdb", "T_iGROUPING", "ITYPE_ID", "ILABEL", "T_ITEMS"},
                           Names{"LumoScrap.mdb", "T_GROUPING", "LABEL_ID", "LABEL", "T_SCRAP"}}) {
        cn_.Close();
        open(n.file);
        const std::string t = n.table, k = n.key, l = n.label, m = n.member;
        expectSame("SELECT * FROM " + t, "SELECT * FROM " + t, 2);
        expectSame("SELECT * FROM " + t + " WHERE DEFAULT = -1", "SELECT * FROM " + t + " WHERE \"DEFAULT\" = -1");
        expectSame("SELECT " + k + " FROM " + t + " WHERE DEFAULT <> 0", "SELECT " + k + " FROM " + t + " WHERE \"DEFAULT\" <> 0");
        expectSame("SELECT * FROM " + t + " WHERE " + l + " = '未分類'", "SELECT * FROM " + t + " WHERE " + l + " = '未分類'");
        const auto members = viaSqlite("SELECT * FROM " + m + " WHERE " + k + " = 2");
        EXPECT_EQ(execute("UPDATE " + m + " SET " + m + "." + k + " = 1 WHERE " + m + "." + k + " = 2"),
                  static_cast<int32_t>(members.size()));
        EXPECT_EQ(execute("DELETE FROM " + t + " WHERE " + k + " = 2"), 1);
        EXPECT_TRUE(viaSqlite("SELECT * FROM " + m + " WHERE " + k + " = 2").empty());
    }
}

TEST_F(SampleDatabases, ItemReadersSearchesAndDeletes) {
    open("iLumoBase.mdb");
    expectSame("SELECT * FROM T_ITEMS WHERE ITEM_NAME = 'キャンパスノート'", "SELECT * FROM T_ITEMS WHERE ITEM_NAME = 'キャンパスノート'");
    expectSame("SELECT * FROM T_iSUPPLIER WHERE SUPPLIER = '丸髙食品株式会社'", "SELECT * FROM T_iSUPPLIER WHERE SUPPLIER = '丸髙食品株式会社'");
    expectSame("SELECT * FROM T_iCUSTOMER WHERE CUSTOMER_ID =1", "SELECT * FROM T_iCUSTOMER WHERE CUSTOMER_ID = 1");
    expectSame("SELECT * FROM T_SHEET WHERE ID = 2", "SELECT * FROM T_SHEET WHERE ID = 2");
    expectSame("SELECT COUNT(*) FROM T_SHEET WHERE GOODS_ID = 1", "SELECT COUNT(*) FROM T_SHEET WHERE GOODS_ID = 1");
    expectSame("SELECT ID FROM T_SHEET", "SELECT ID FROM T_SHEET", 15);

    // The sheet list: the counterpart of each kind through right joins.
    const std::string w = "株式会社";
    const std::string jet =
        "SELECT T_SHEET.SHEET_ID, T_SHEET.SHEET_DATE, T_ITEMS.ITEM_NAME, T_iSUPPLIER.SUPPLIER, T_iCUSTOMER.CUSTOMER, "
        "T_SHEET.QUANTITY, T_SHEET.SALES_UNITPRICE AS SALES, T_SHEET.STOCK_UNITPRICE AS STOCK,T_SHEET.ID, "
        "T_iSUPPLIER.ALIAS, T_iCUSTOMER.ALIAS, T_ITEMS.ITEM_ALIAS, T_iGROUPING.ILABEL FROM T_iGROUPING INNER JOIN "
        "(T_ITEMS INNER JOIN (T_iSUPPLIER RIGHT JOIN (T_iCUSTOMER RIGHT JOIN T_SHEET ON T_iCUSTOMER.CUSTOMER_ID = "
        "T_SHEET.CUSTOMER_ID)ON T_iSUPPLIER.SUPPLIER_ID = T_SHEET.SUPPLIER_ID) ON T_ITEMS.ID = T_SHEET.GOODS_ID)ON "
        "T_iGROUPING.ITYPE_ID = T_ITEMS.ITYPE_ID WHERE ((T_iCUSTOMER.ALIAS LIKE '%" + w + "%' OR T_iCUSTOMER.CUSTOMER LIKE '%" +
        w + "%' OR (T_iCUSTOMER.CLAST_ALIAS & T_iCUSTOMER.CFIRST_ALIAS) LIKE '%" + w +
        "%' OR (T_iCUSTOMER.CLAST_NAME & T_iCUSTOMER.CFIRST_NAME) LIKE '%" + w + "%' OR T_iSUPPLIER.ALIAS LIKE '%" + w +
        "%' OR T_iSUPPLIER.SUPPLIER LIKE '%" + w + "%' OR (T_iSUPPLIER.SLAST_ALIAS & T_iSUPPLIER.SFIRST_ALIAS) LIKE '%" + w +
        "%' OR (T_iSUPPLIER.SLAST_NAME & T_iSUPPLIER.SFIRST_NAME) LIKE '%" + w + "%'))";
    const std::string sqlite =
        "SELECT S.SHEET_ID, S.SHEET_DATE, I.ITEM_NAME, SU.SUPPLIER, C.CUSTOMER, S.QUANTITY, S.SALES_UNITPRICE, "
        "S.STOCK_UNITPRICE, S.ID, SU.ALIAS, C.ALIAS, I.ITEM_ALIAS, G.ILABEL FROM T_SHEET S JOIN T_ITEMS I ON I.ID = S.GOODS_ID "
        "JOIN T_iGROUPING G ON G.ITYPE_ID = I.ITYPE_ID LEFT JOIN T_iSUPPLIER SU ON SU.SUPPLIER_ID = S.SUPPLIER_ID "
        "LEFT JOIN T_iCUSTOMER C ON C.CUSTOMER_ID = S.CUSTOMER_ID WHERE IFNULL(C.CUSTOMER,'') || IFNULL(SU.SUPPLIER,'') "
        "|| IFNULL(C.ALIAS,'') || IFNULL(SU.ALIAS,'') || IFNULL(C.CLAST_NAME,'') || IFNULL(C.CFIRST_NAME,'') || "
        "IFNULL(SU.SLAST_NAME,'') || IFNULL(SU.SFIRST_NAME,'') LIKE '%株式会社%'";
    expectSame(jet, sqlite);
    Recordset rs;
    rs.Open(jet, cn_, adOpenStatic, adLockReadOnly, adCmdText);
    EXPECT_EQ(rs.Fields(9).Name(), "T_iSUPPLIER.ALIAS");
    EXPECT_EQ(rs.Fields(10).Name(), "T_iCUSTOMER.ALIAS");

    expectSame("SELECT [T_ITEMS].[ID], [T_ITEMS].[MAKER], [T_ITEMS].[ITEM_NAME], [T_ITEMS].[ITEM_FORM], [T_ITEMS].[ITEM_SPEC] "
               "FROM T_iGROUPING INNER JOIN T_ITEMS ON [T_iGROUPING].[ITYPE_ID]=[T_ITEMS].[ITYPE_ID] WHERE "
               "T_ITEMS.ITEM_ALIAS LIKE '%ノート%' OR T_ITEMS.ITEM_NAME LIKE '%ノート%'",
               "SELECT I.ID, I.MAKER, I.ITEM_NAME, I.ITEM_FORM, I.ITEM_SPEC FROM T_ITEMS I JOIN T_iGROUPING G ON "
               "G.ITYPE_ID = I.ITYPE_ID WHERE I.ITEM_ALIAS LIKE '%ノート%' OR I.ITEM_NAME LIKE '%ノート%'");
    for (const auto& [t, p, key, name] : {std::tuple{"T_iSUPPLIER", "S", "SUPPLIER_ID", "SUPPLIER"},
                                          std::tuple{"T_iCUSTOMER", "C", "CUSTOMER_ID", "CUSTOMER"}}) {
        const std::string T = t, P = p;
        expectSame("SELECT " + T + "." + key + " AS ID, " + T + "." + name + " AS COMPANY, [" + P + "LAST_NAME] & [" + P +
                       "FIRST_NAME] AS TANTO, " + T + "." + P + "_TEL AS TEL, " + T + "." + P + "_MAIL AS MAIL FROM " + T +
                       "  WHERE " + T + "." + P + "_TEL LIKE '%0%' OR " + T + "." + P + "_FAX LIKE '%0%'",
                   "SELECT " + std::string(key) + ", " + name + ", CASE WHEN " + P + "LAST_NAME IS NULL AND " + P +
                       "FIRST_NAME IS NULL THEN NULL ELSE IFNULL(" + P + "LAST_NAME,'') || IFNULL(" + P +
                       "FIRST_NAME,'') END, " + P + "_TEL, " + P + "_MAIL FROM " + T + " WHERE " + P + "_TEL LIKE '%0%' OR " +
                       P + "_FAX LIKE '%0%'");
    }
    const auto sheets = viaSqlite("SELECT * FROM T_SHEET WHERE GOODS_ID = 1");
    EXPECT_EQ(execute("DELETE FROM T_SHEET WHERE ID = 1"), 1);
    EXPECT_EQ(execute("DELETE FROM T_iSUPPLIER WHERE SUPPLIER_ID = 999"), 0);
    EXPECT_EQ(viaSqlite("SELECT * FROM T_SHEET WHERE GOODS_ID = 1").size(), sheets.size() - 1);
}

TEST_F(SampleDatabases, ScrapRecordsAndSearch) {
    open("LumoScrap.mdb");
    expectSame("SELECT * FROM T_SCRAP WHERE ID = 1", "SELECT * FROM T_SCRAP WHERE ID = 1");
    expectSame("SELECT BODY, ED_DATE FROM T_SCRAP WHERE ID = 1", "SELECT BODY, ED_DATE FROM T_SCRAP WHERE ID = 1");
    expectSame("SELECT T_SCRAP.ID, T_SCRAP.REG_DATE, T_SCRAP.TITLE, T_SCRAP.KEYWORD, T_SCRAP.SOURCE, T_GROUPING.LABEL, "
               "T_SCRAP.BODY_PATH FROM T_GROUPING INNER JOIN T_SCRAP ON T_GROUPING.LABEL_ID = T_SCRAP.LABEL_ID WHERE "
               "(T_SCRAP.KEYWORD LIKE '%桜%') OR (T_SCRAP.SOURCE LIKE '%新聞%' OR T_GROUPING.LABEL LIKE '%新聞%' OR "
               "T_SCRAP.TITLE LIKE '%新聞%')",
               "SELECT S.ID, S.REG_DATE, S.TITLE, S.KEYWORD, S.SOURCE, G.LABEL, S.BODY_PATH FROM T_SCRAP S JOIN T_GROUPING G "
               "ON G.LABEL_ID = S.LABEL_ID WHERE S.KEYWORD LIKE '%桜%' OR S.SOURCE LIKE '%新聞%' OR G.LABEL LIKE '%新聞%' "
               "OR S.TITLE LIKE '%新聞%'");
    EXPECT_EQ(execute("DELETE FROM T_SCRAP WHERE ID = 1"), 1);
}
