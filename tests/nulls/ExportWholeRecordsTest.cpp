// What the export writes for a record the library could not read whole
// (the empty line, counted in the closing message), and what a stopped
// run leaves: an existing file stays as it was, a new one keeps the lines
// written so far.
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "export/engine/ExportRun.h"
#include "export/engine/clsExportSource.h"
#include "platform/MessageSink.h"
#include "tests/export/ExportFixture.h"

namespace lumo::test {
namespace {

namespace fs = std::filesystem;
using exporter::ExportHooks;
using exporter::runExport;

// The file after its header line.
std::string body(const std::string& file) {
    const std::size_t end = file.find("\r\n");
    return end == std::string::npos ? std::string() : file.substr(end + 2);
}

std::string allTexts(const RecordingSink& sink) {
    std::string all;
    for (const MessageRequest& m : sink.messages()) all += m.text + "\n";
    return all;
}

std::vector<std::string> temporaries(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        if (e.path().filename().string().find(".tmp-") != std::string::npos) names.push_back(e.path().filename());
    return names;
}

// Person B's mail has a rank no Integer holds (a damaged row; the schema's
// checks would refuse it), so its mails cannot be read; A and C are whole.
// Group 99 has no caption, so the first field is empty.
constexpr const char* kPersons = R"sql(
PRAGMA ignore_check_constraints = ON;
INSERT INTO T_PERSON (PERSON_ID, TYPE_ID, LASTNAME, AGE) VALUES (1, 99, 'A', 0), (2, 99, 'B', 0), (3, 99, 'C', 0);
INSERT INTO T_EMAIL (PERSON_ID, LABEL, MAIL_ADDRESS, RANK) VALUES (2, 'M', 'b@x', 40000);
INSERT INTO T_PHONE (PERSON_ID, LABEL, TEL_NUMBER, RANK) VALUES (3, 'L', '1', 1);
)sql";

TEST(ExportWholeRecords, APersonWithAFailedReadIsTheEmptyLineAndIsCounted) {
    ExportFolder folder;
    ExportFolder::sql(folder.personDb(), kPersons);
    RecordingSink sink;
    const auto result = runExport(ExportFolder::connection(folder.personDb()), folder.out("p.csv"), exporter::kPersons, {});
    EXPECT_FALSE(result.failed);
    EXPECT_EQ(result.records, 3);
    EXPECT_EQ(result.unread, 1);
    // A, the empty line of B (without it: B with no mails), and C with
    // his phone; 31 empty fields before the birthday, nine commas for
    // three empty groups.
    EXPECT_EQ(body(readBytes(folder.out("p.csv"))),
              ",,,A,,,,,,,,,,,,,,,,,,,,,,,,,,,,1899/12/30,0,,,1899/12/30,,,,,,,,,,,,\r\n"
              "\r\n"
              ",,,C,,,,,,,,,,,,,,,,,,,,,,,,,,,,1899/12/30,0,,,1899/12/30,,,,,L,1,,,,,,\r\n");
    // The library's two reports (the recordset of the mails, then the
    // reader), and the closing message.
    ASSERT_EQ(sink.messages().size(), 3u) << allTexts(sink);
    EXPECT_TRUE(sink.messages()[0].text.starts_with("CLS-pida1006\r\n")) << sink.messages()[0].text;
    EXPECT_TRUE(sink.messages()[0].text.ends_with("(T_EMAIL.RANK)")) << sink.messages()[0].text;
    EXPECT_TRUE(sink.messages()[1].text.starts_with("CLS-pida1038\r\n")) << sink.messages()[1].text;
    EXPECT_EQ(sink.messages()[2].text, "読めなかったレコード 1 件を空の行として書き出しました。");
    EXPECT_EQ(sink.messages()[2].icon, MsgIcon::Information);
    EXPECT_EQ(sink.messages()[2].title, "エクスポート");
}

// The goods readers return no flag: their reports count all the same. The
// customer of sheet 1 has a link number no Long holds; sheet 2 has no
// supplier at all (0 is none) and is written with empty counterpart fields.
TEST(ExportWholeRecords, ASheetWhoseCounterpartReportedIsTheEmptyLine) {
    ExportFolder folder;
    ExportFolder::sql(folder.itemDb(), R"sql(
PRAGMA ignore_check_constraints = ON;
INSERT INTO T_ITEMS (ID, ITYPE_ID, ITEM_NAME) VALUES (1, 99, 'G');
INSERT INTO T_iCUSTOMER (CUSTOMER_ID, CUSTOMER, C_LINK_ID) VALUES (1, 'K', 3000000000);
INSERT INTO T_SHEET (ID, SHEET_ID, GOODS_ID, SHEET_DATE, CUSTOMER_ID, QUANTITY, SALES_UNITPRICE, SALES_AMOUNT)
  VALUES (1, 1, 1, 45292, 1, 2, 150, 300);
INSERT INTO T_SHEET (ID, SHEET_ID, GOODS_ID, SHEET_DATE, SUPPLIER_ID, QUANTITY, STOCK_UNITPRICE, STOCK_AMOUNT)
  VALUES (2, 0, 1, 45292, NULL, 3, 100, 300);
)sql");
    RecordingSink sink;
    const auto result = runExport(ExportFolder::connection(folder.itemDb()), folder.out("g.csv"), exporter::kGoods, {});
    EXPECT_FALSE(result.failed);
    EXPECT_EQ(result.unread, 1);
    // 仕入データ, no label, the date, G and its figures, the caption
    // メモ１： of a goods row without one, then thirteen empty fields.
    EXPECT_EQ(body(readBytes(folder.out("g.csv"))),
              "\r\n"
              "\x8E\x64\x93\xFC\x83\x66\x81\x5B\x83\x5E,,2024/01/01,,,G,,,3,100,300,\x83\x81\x83\x82\x82\x50\x81\x46"
              ",,,,,,,,,,,,,\r\n");
    ASSERT_EQ(sink.messages().size(), 2u) << allTexts(sink);
    EXPECT_TRUE(sink.messages()[0].text.starts_with("CLS-iida1031\r\n")) << sink.messages()[0].text;
    EXPECT_TRUE(sink.messages()[0].text.ends_with("(T_iCUSTOMER.C_LINK_ID)")) << sink.messages()[0].text;
    EXPECT_EQ(sink.messages()[1].text, "読めなかったレコード 1 件を空の行として書き出しました。");
}

// Stopped after the first of three records, with and without a file of
// that name: an existing file is never replaced by the partial one (the
// closing message says so); a new one keeps the header and the line.
TEST(ExportStop, AStoppedRunNeverReplacesAnExistingFile) {
    const struct {
        bool existing;
        StagedFile::Replace replace;
    } cases[] = {{true, StagedFile::Replace::Yes}, {true, StagedFile::Replace::No}, {false, StagedFile::Replace::Yes}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.existing ? "existing file" : "no file") +
                     (c.replace == StagedFile::Replace::Yes ? ", replace" : ", no replace"));
        ExportFolder folder;
        ExportFolder::sql(folder.personDb(), kPersons);
        ExportFolder::sql(folder.personDb(), "DELETE FROM T_EMAIL");
        if (c.existing) std::ofstream(folder.out("p.csv"), std::ios::binary) << "old,file\r\n";
        RecordingSink sink;
        ExportHooks hooks;
        hooks.stopRequested = [] { return true; };
        const auto result = runExport(ExportFolder::connection(folder.personDb()), folder.out("p.csv"),
                                      exporter::kPersons, hooks, c.replace);
        EXPECT_FALSE(result.failed);
        EXPECT_TRUE(result.stopped);
        EXPECT_EQ(result.records, 1);
        EXPECT_EQ(result.keptExisting, c.existing);
        EXPECT_TRUE(temporaries(folder.dir()).empty());
        if (c.existing) {
            EXPECT_EQ(readBytes(folder.out("p.csv")), "old,file\r\n");
            ASSERT_EQ(sink.messages().size(), 1u);
            EXPECT_EQ(sink.messages()[0].text, "中止したため、既存のファイルはそのまま残しています (書き出した 1 件は保存していません)。");
            EXPECT_EQ(sink.messages()[0].icon, MsgIcon::Information);
        } else {
            EXPECT_EQ(body(readBytes(folder.out("p.csv"))),
                      ",,,A,,,,,,,,,,,,,,,,,,,,,,,,,,,,1899/12/30,0,,,1899/12/30,,,,,,,,,,,,\r\n");
            EXPECT_TRUE(sink.messages().empty()) << sink.messages().front().text;
        }
    }
}

}  // namespace
}  // namespace lumo::test
