// Single scraps through the published interface: insert, read, overview,
// update, delete and UpdateLastDate, with the stored row checked directly.
#include <cmath>
#include <ctime>
#include <functional>
#include <map>

#include "tests/access/AccessTestSupport.h"

namespace lumo::test {
namespace {

using namespace LumoAccess;

constexpr const char* kRegistrationText = "データを登録中にエラーが発生した為、登録は出来ませんでした。";

ScrapInformation fullScrap() {
    ScrapInformation s;
    s.lngScrapID = 777;  // replaced by the new row's identifier
    s.lngLabelID = 2;
    s.strLabe = "caller's label";
    s.dyRegDate = 45000.5;
    s.dyLastDate = 45010.25;
    s.strTitle = "O'Reilly の新刊";
    s.strSource = "朝日新聞";
    s.strKeyword = "本, 技術";
    s.strPlace = "神保町";
    s.strBody = "一行目\r\n二行目";
    s.strBodyPath = "C:\\scraps\\book.txt";
    s.strMemoLabel = "caller's memo label";
    s.strMemo = "買う";
    return s;
}

// Every field that has a column, as the stored row must show it.
std::map<std::string, std::string> columnsOf(const ScrapInformation& s) {
    auto date = [](double d) { return d == 0 ? std::string("NULL") : std::to_string(d); };
    auto text = [](const std::string& t) { return t.empty() ? std::string("NULL") : t; };
    return {{"LABEL_ID", std::to_string(s.lngLabelID)}, {"REG_DATE", date(s.dyRegDate)},
            {"ED_DATE", date(s.dyLastDate)},            {"TITLE", text(s.strTitle)},
            {"SOURCE", text(s.strSource)},              {"KEYWORD", text(s.strKeyword)},
            {"PLACE", text(s.strPlace)},                {"BODY", text(s.strBody)},
            {"BODY_PATH", text(s.strBodyPath)},         {"MEMO", text(s.strMemo)}};
}

void expectSameFields(const ScrapInformation& a, const ScrapInformation& b) {
    EXPECT_EQ(a.lngScrapID, b.lngScrapID);
    EXPECT_EQ(a.lngLabelID, b.lngLabelID);
    EXPECT_EQ(a.strLabe, b.strLabe);
    EXPECT_EQ(a.dyRegDate, b.dyRegDate);
    EXPECT_EQ(a.dyLastDate, b.dyLastDate);
    EXPECT_EQ(a.strTitle, b.strTitle);
    EXPECT_EQ(a.strSource, b.strSource);
    EXPECT_EQ(a.strKeyword, b.strKeyword);
    EXPECT_EQ(a.strPlace, b.strPlace);
    EXPECT_EQ(a.strBody, b.strBody);
    EXPECT_EQ(a.strBodyPath, b.strBodyPath);
    EXPECT_EQ(a.strMemoLabel, b.strMemoLabel);
    EXPECT_EQ(a.strMemo, b.strMemo);
}

double automationNow() { return static_cast<double>(std::time(nullptr)) / 86400.0 + 25569.0; }

class ScrapRecords : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(scrap->Initialize(db.connectionString()));
        db.exec("INSERT INTO T_GROUPING (LABEL) VALUES ('新聞'), ('雑誌')");
    }

    // One column of one row as text ("NULL" for Null; dates as printed by
    // std::to_string so that they compare with columnsOf).
    std::string stored(Long id, const std::string& column) {
        const bool date = column.ends_with("_DATE");
        const std::string value = "CASE WHEN " + column + " IS NULL THEN 'NULL' ELSE " +
                                  (date ? "printf('%f', " + column + ")" : "CAST(" + column + " AS TEXT)") + " END";
        auto v = db.column("SELECT " + value + " FROM T_SCRAP WHERE ID = " + std::to_string(id));
        return v.empty() ? "(no row)" : v.front();
    }

    void expectStored(Long id, const std::map<std::string, std::string>& columns) {
        for (const auto& [column, value] : columns) EXPECT_EQ(stored(id, column), value) << column;
    }

    // The whole table, to compare before and after a failed write.
    std::vector<std::string> table() {
        return db.column(
            "SELECT ID || '|' || quote(LABEL_ID) || '|' || quote(REG_DATE) || '|' || quote(ED_DATE) || '|' || "
            "quote(TITLE) || '|' || quote(SOURCE) || '|' || quote(KEYWORD) || '|' || quote(PLACE) || '|' || "
            "quote(BODY) || '|' || quote(BODY_PATH) || '|' || quote(MEMO) FROM T_SCRAP ORDER BY ID");
    }

    Long insert(ScrapInformation s) {
        EXPECT_FALSE(scrap->SetScrapInformation(s));
        return s.lngScrapID;
    }

    ScratchDatabase db{schema::scrapDdl()};
    RecordingSink sink;
    Ref<clsScrapAccess> scrap = createObject<clsScrapAccess>();
};

TEST_F(ScrapRecords, InsertStoresEveryColumnAndHandsBackTheNewIdentifier) {
    ScrapInformation s = fullScrap();
    String reserved = "kept";
    EXPECT_FALSE(scrap->SetScrapInformation(s, &reserved));
    EXPECT_EQ(reserved, "kept");
    EXPECT_TRUE(sink.messages().empty());
    EXPECT_EQ(s.lngScrapID, db.scalar("SELECT MAX(ID) FROM T_SCRAP"));
    expectStored(s.lngScrapID, columnsOf(s));

    ScrapInformation second = fullScrap();
    EXPECT_FALSE(scrap->SetScrapInformation(second));
    EXPECT_GT(second.lngScrapID, s.lngScrapID);

    // The caller's label texts stay with the caller; everything else comes back.
    ScrapInformation read;
    read.strLabe = "mine";
    read.strMemoLabel = "mine too";
    scrap->GetScrapInformation(s.lngScrapID, read);
    ScrapInformation expected = s;
    expected.strLabe = "mine";
    expected.strMemoLabel = "mine too";
    expectSameFields(read, expected);
    EXPECT_TRUE(sink.messages().empty());
}

TEST_F(ScrapRecords, EmptyTextsAreStoredAsNullAndReadBackEmpty) {
    ScrapInformation s;
    s.lngLabelID = 1;
    s.dyRegDate = 44000;
    const Long id = insert(s);
    for (const char* column : {"TITLE", "SOURCE", "KEYWORD", "PLACE", "BODY", "BODY_PATH", "MEMO"})
        EXPECT_EQ(stored(id, column), "NULL") << column;

    ScrapInformation read = fullScrap();
    scrap->GetScrapInformation(id, read);
    for (const std::string* text : {&read.strTitle, &read.strSource, &read.strKeyword, &read.strPlace, &read.strBody,
                                    &read.strBodyPath, &read.strMemo})
        EXPECT_EQ(*text, "");
    EXPECT_EQ(read.dyRegDate, 44000);
}

TEST_F(ScrapRecords, ZeroDatesLeaveTheDefaultRegistrationAndNoEndDate) {
    ScrapInformation s = fullScrap();
    s.dyRegDate = 0;
    s.dyLastDate = 0;
    const double before = automationNow();
    const Long id = insert(s);
    const double after = automationNow();
    EXPECT_EQ(stored(id, "ED_DATE"), "NULL");

    ScrapInformation read;
    scrap->GetScrapInformation(id, read);
    EXPECT_EQ(read.dyLastDate, 0);
    // The table's default: the time of the insert, in local time (within a
    // day of UTC either way).
    EXPECT_GT(read.dyRegDate, before - 1);
    EXPECT_LT(read.dyRegDate, after + 1);
}

TEST_F(ScrapRecords, LargeAndNumericBodiesComeBackExactly) {
    std::string megabyte;
    for (int i = 0; megabyte.size() < (1u << 20); ++i) megabyte += "行" + std::to_string(i) + "\r\n";
    const std::vector<std::string> bodies = {megabyte, "0012345678901234567890", "1e5", "-0", "  42  "};
    for (const std::string& body : bodies) {
        ScrapInformation s = fullScrap();
        s.strBody = body;
        s.strMemo = body;
        const Long id = insert(s);
        EXPECT_EQ(db.column("SELECT typeof(BODY) FROM T_SCRAP WHERE ID = " + std::to_string(id)).front(), "text");
        ScrapInformation read;
        scrap->GetScrapInformation(id, read);
        EXPECT_EQ(read.strBody, body) << body.substr(0, 20);
        EXPECT_EQ(read.strMemo, body) << body.substr(0, 20);
        ScrapInfoOverview overview;
        scrap->GetScrapInformationOverView(id, overview);
        EXPECT_EQ(overview.strBody, body) << body.substr(0, 20);
    }
    EXPECT_TRUE(sink.messages().empty());
}

TEST_F(ScrapRecords, AMissingIdentifierReadsNothingAndReportsNothing) {
    const ScrapInformation given = fullScrap();
    ScrapInformation read = given;
    scrap->GetScrapInformation(12345, read);
    expectSameFields(read, given);

    ScrapInfoOverview overview;
    overview.lngScrapID = 5;
    overview.lngLabelID = 6;
    overview.strLabe = "label";
    overview.dyRegDate = 7;
    overview.dyLastDate = 8;
    overview.strTitle = overview.strSource = overview.strKeyword = overview.strBody = "x";
    overview.strBodyPath = "path";
    scrap->GetScrapInformationOverView(12345, overview);
    EXPECT_EQ(overview.lngScrapID, 0);
    EXPECT_EQ(overview.lngLabelID, 0);
    EXPECT_EQ(overview.dyRegDate, 0);
    EXPECT_EQ(overview.dyLastDate, 0);
    EXPECT_EQ(overview.strTitle + overview.strSource + overview.strKeyword + overview.strBody, "");
    EXPECT_EQ(overview.strLabe, "label");
    EXPECT_EQ(overview.strBodyPath, "path");
    EXPECT_TRUE(sink.messages().empty());
}

TEST_F(ScrapRecords, TheOverviewKeepsTheCallersLabelAndBodyPath) {
    const ScrapInformation s = fullScrap();
    const Long id = insert(s);
    ScrapInfoOverview overview;
    overview.strLabe = "shown label";
    overview.strBodyPath = "shown path";
    scrap->GetScrapInformationOverView(id, overview);
    EXPECT_EQ(overview.lngScrapID, id);
    EXPECT_EQ(overview.lngLabelID, s.lngLabelID);
    EXPECT_EQ(overview.dyRegDate, s.dyRegDate);
    EXPECT_EQ(overview.dyLastDate, s.dyLastDate);
    EXPECT_EQ(overview.strTitle, s.strTitle);
    EXPECT_EQ(overview.strSource, s.strSource);
    EXPECT_EQ(overview.strKeyword, s.strKeyword);
    EXPECT_EQ(overview.strBody, s.strBody);
    EXPECT_EQ(overview.strLabe, "shown label");
    EXPECT_EQ(overview.strBodyPath, "shown path");
}

// Rows written by other programs may hold Null in the group and the
// registration date; such a scrap reads with 0 there instead of failing.
TEST_F(ScrapRecords, NullGroupAndRegistrationDateReadAsZero) {
    db.exec("INSERT INTO T_SCRAP (ID, LABEL_ID, REG_DATE, TITLE) VALUES (50, NULL, NULL, '古い切り抜き')");
    ScrapInformation read = fullScrap();
    scrap->GetScrapInformation(50, read);
    EXPECT_EQ(read.lngScrapID, 50);
    EXPECT_EQ(read.lngLabelID, 0);
    EXPECT_EQ(read.dyRegDate, 0);
    EXPECT_EQ(read.dyLastDate, 0);
    EXPECT_EQ(read.strTitle, "古い切り抜き");
    EXPECT_EQ(read.strMemo, "");
    ScrapInfoOverview overview;
    scrap->GetScrapInformationOverView(50, overview);
    EXPECT_EQ(overview.lngScrapID, 50);
    EXPECT_EQ(overview.strTitle, "古い切り抜き");
    EXPECT_TRUE(sink.messages().empty());
}

// A failure stops the reader: one report of its own, the fields read
// before it keep their new values, the rest and the identifier stay as
// passed. The overview still copies what the reader had filled in.
TEST_F(ScrapRecords, AFailedReadIsReportedOnceByTheReader) {
    const ScrapInformation stored = fullScrap();
    const Long id = insert(stored);
    db.exec("ALTER TABLE T_SCRAP DROP COLUMN MEMO");  // the last column the reader takes
    ASSERT_FALSE(scrap->Initialize(db.connectionString()));
    ScrapInformation read;
    read.lngScrapID = 1234;
    read.strMemo = "as passed";
    scrap->GetScrapInformation(id, read);
    EXPECT_EQ(reportCodes(sink), Codes{"CLS-srca1007"});
    EXPECT_EQ(read.lngScrapID, 1234);
    EXPECT_EQ(read.strMemo, "as passed");
    EXPECT_EQ(read.lngLabelID, stored.lngLabelID);
    EXPECT_EQ(read.strTitle, stored.strTitle);
    EXPECT_EQ(read.strBodyPath, stored.strBodyPath);

    sink.clear();
    ScrapInfoOverview overview;
    overview.lngScrapID = 99;
    scrap->GetScrapInformationOverView(id, overview);
    EXPECT_EQ(reportCodes(sink), Codes{"CLS-srca1007"});
    EXPECT_EQ(overview.lngScrapID, 0);  // from the fresh record the reader did not finish
    EXPECT_EQ(overview.strTitle, stored.strTitle);
}

TEST_F(ScrapRecords, UpdateRewritesTheRowAndHandsBackItsIdentifier) {
    const Long id = insert(fullScrap());
    insert(fullScrap());  // a neighbour that must not change
    const auto neighbour = table().back();

    ScrapInformation changed;
    changed.lngScrapID = 0;
    changed.lngLabelID = 3;
    changed.dyRegDate = 46000;
    changed.dyLastDate = 46001.5;
    changed.strTitle = "新しい題";
    changed.strSource = "雑誌";
    changed.strKeyword = "更新";
    changed.strPlace = "大阪";
    changed.strBody = "本文";
    changed.strBodyPath = "/tmp/b.txt";
    changed.strMemo = "メモ";
    changed.strLabe = "not stored";
    String reserved = "r";
    EXPECT_FALSE(scrap->UpScrapInformation(id, changed, &reserved));
    EXPECT_EQ(reserved, "r");
    EXPECT_TRUE(sink.messages().empty());
    EXPECT_EQ(changed.lngScrapID, id);
    expectStored(id, columnsOf(changed));
    EXPECT_EQ(table().back(), neighbour);
}

// The record passed is the scrap's whole new state: a date of 0 clears the
// stored date, as an empty text clears its column.
TEST_F(ScrapRecords, UpdateClearsDatesOfZeroAndEmptyTexts) {
    const ScrapInformation original = fullScrap();
    const struct {
        Date reg, last;
        const char* regStored;
        const char* lastStored;
    } cases[] = {
        {0, 0, "NULL", "NULL"},
        {0, 45002.25, "NULL", "45002.250000"},
        {45001, 0, "45001.000000", "NULL"},
        {45001, 45002.25, "45001.000000", "45002.250000"},
    };
    for (const auto& c : cases) {
        const Long id = insert(original);
        ScrapInformation changed = original;
        changed.dyRegDate = c.reg;
        changed.dyLastDate = c.last;
        changed.strMemo.clear();
        EXPECT_FALSE(scrap->UpScrapInformation(id, changed));
        EXPECT_EQ(stored(id, "REG_DATE"), c.regStored) << c.reg << " " << c.last;
        EXPECT_EQ(stored(id, "ED_DATE"), c.lastStored) << c.reg << " " << c.last;
        EXPECT_EQ(stored(id, "MEMO"), "NULL");
        ScrapInformation back;
        scrap->GetScrapInformation(id, back);
        EXPECT_EQ(back.dyLastDate, c.last);  // a cleared end date reads 0
    }
    EXPECT_TRUE(sink.messages().empty());
}

TEST_F(ScrapRecords, UpdatingAMissingIdentifierIsReportedAndChangesNothing) {
    insert(fullScrap());
    const auto before = table();
    ScrapInformation s = fullScrap();
    EXPECT_TRUE(scrap->UpScrapInformation(999, s));
    EXPECT_EQ(reportCodes(sink), Codes{"CLS-srca1009"});
    EXPECT_EQ(s.lngScrapID, 777);
    EXPECT_EQ(table(), before);
    // The transaction was ended: the next write works.
    sink.clear();
    EXPECT_FALSE(scrap->SetScrapInformation(s));
    EXPECT_TRUE(sink.messages().empty());
}

TEST_F(ScrapRecords, DeleteRemovesOneRowAndAMissingOneIsNoFailure) {
    const Long first = insert(fullScrap());
    const Long second = insert(fullScrap());
    String reserved = "r";
    EXPECT_FALSE(scrap->DelScrapInformation(first, &reserved));
    EXPECT_EQ(reserved, "r");
    EXPECT_EQ(db.column("SELECT ID FROM T_SCRAP"), std::vector<std::string>{std::to_string(second)});
    EXPECT_FALSE(scrap->DelScrapInformation(first));
    EXPECT_FALSE(scrap->DelScrapInformation(-1));
    EXPECT_TRUE(sink.messages().empty());
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM T_SCRAP"), 1);
}

TEST_F(ScrapRecords, UpdateLastDateWritesTheEndDateAndBodyOnly) {
    const ScrapInformation original = fullScrap();
    const Long id = insert(original);
    struct Case {
        double date;
        std::string body;
        std::string storedDate, storedBody;
    };
    const std::vector<Case> cases = {
        {46100.75, "読んだ", std::to_string(46100.75), "読んだ"},
        {0, "", std::to_string(0.0), "NULL"},  // day 0 is stored, not left alone
        {-1.5, "12345", std::to_string(-1.5), "12345"},
    };
    for (const Case& c : cases) {
        scrap->UpdateLastDate(id, c.date, c.body);
        auto expected = columnsOf(original);
        expected["ED_DATE"] = c.storedDate;
        expected["BODY"] = c.storedBody;
        expectStored(id, expected);
    }
    const auto before = table();
    scrap->UpdateLastDate(id + 100, 1, "nobody");
    EXPECT_EQ(table(), before);
    EXPECT_TRUE(sink.messages().empty());
}

// Writes the engine refuses (a trigger stands in for a full disk or a
// locked file): the routine's report, the flag, the table as before, and
// for the insert the registration message after the report.
TEST_F(ScrapRecords, RefusedWritesAreReportedRolledBackAndFlagged) {
    const Long id = insert(fullScrap());
    const auto before = table();
    struct Case {
        const char* event;
        const char* code;
        std::function<bool(clsScrapAccess&)> write;
    };
    const std::vector<Case> cases = {
        {"INSERT", "CLS-srca1004",
         [](clsScrapAccess& o) {
             ScrapInformation s = fullScrap();
             const bool flag = o.SetScrapInformation(s);
             EXPECT_EQ(s.lngScrapID, 777);
             return flag;
         }},
        {"UPDATE", "CLS-srca1009",
         [id](clsScrapAccess& o) {
             ScrapInformation s = fullScrap();
             s.strTitle = "changed";
             return o.UpScrapInformation(id, s);
         }},
        {"DELETE", "CLS-srca1011", [id](clsScrapAccess& o) { return o.DelScrapInformation(id); }},
        {"UPDATE", "CLS-srca1020", [id](clsScrapAccess& o) { return o.UpdateLastDate(id, 5, "b"), true; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        db.exec(std::string("CREATE TRIGGER refuse BEFORE ") + c.event +
                " ON T_SCRAP BEGIN SELECT RAISE(ABORT, 'disk I/O error'); END");
        sink.clear();
        EXPECT_TRUE(c.write(*scrap));
        ASSERT_FALSE(sink.messages().empty());
        EXPECT_TRUE(sink.messages().front().text.starts_with(c.code + std::string("\r\n")));
        if (std::string(c.event) == "INSERT") {
            ASSERT_EQ(sink.messages().size(), 2u);
            const MessageRequest& box = sink.messages()[1];
            EXPECT_EQ(box.text, kRegistrationText);
            EXPECT_EQ(box.title, "登録エラー");
            EXPECT_EQ(box.icon, MsgIcon::Information);
            EXPECT_EQ(box.buttons, MsgButtons::OK);
        } else {
            EXPECT_EQ(reportCodes(sink), Codes{c.code});
        }
        EXPECT_EQ(table(), before);
        db.exec("DROP TRIGGER refuse");
    }
    // Nothing was left open: the next insert goes through.
    sink.clear();
    insert(fullScrap());
    EXPECT_TRUE(sink.messages().empty());
}

// Without a connection every operation reports under its own code (the
// insert and update under the public operation, since their first steps
// run before the private routine's handler) and flags the failure.
TEST(ScrapRecordsUnconnected, EachOperationReportsItsOwnCode) {
    RecordingSink sink;
    Ref<clsScrapAccess> scrap = createObject<clsScrapAccess>();
    ASSERT_TRUE(scrap);
    struct Case {
        const char* code;
        std::function<bool(clsScrapAccess&)> call;
    };
    const std::vector<Case> cases = {
        {"CLS-srca1003", [](clsScrapAccess& o) { ScrapInformation s; return o.SetScrapInformation(s); }},
        {"CLS-srca1007", [](clsScrapAccess& o) { ScrapInformation s; return o.GetScrapInformation(1, s), true; }},
        {"CLS-srca1007",
         [](clsScrapAccess& o) { ScrapInfoOverview v; return o.GetScrapInformationOverView(1, v), true; }},
        {"CLS-srca1008", [](clsScrapAccess& o) { ScrapInformation s; return o.UpScrapInformation(1, s); }},
        {"CLS-srca1011", [](clsScrapAccess& o) { return o.DelScrapInformation(1); }},
        {"CLS-srca1020", [](clsScrapAccess& o) { return o.UpdateLastDate(1, 0, ""), true; }},
    };
    for (const Case& c : cases) {
        sink.clear();
        EXPECT_TRUE(c.call(*scrap)) << c.code;
        EXPECT_EQ(reportCodes(sink), Codes{c.code});
    }
}

}  // namespace
}  // namespace lumo::test
