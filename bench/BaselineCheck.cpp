// The baseline is only a yardstick if it writes the export's bytes on any
// data, not just on the uniform synthetic rows: these cases put quoting,
// Null values, list order, missing lists and groups, unencodable text and
// both kinds of sheet through both writers and compare the files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "bench/BaselineExport.h"
#include "bench/BenchData.h"
#include "bench/FileCompare.h"
#include "export/engine/ExportRun.h"
#include "export/engine/clsExportSource.h"
#include "platform/MessageSink.h"
#include "tools/init/InitCommand.h"
#include "tools/init/Sqlite.h"

namespace fs = std::filesystem;
using namespace lumo;
using namespace lumo::bench;

namespace {

constexpr const char* kPersonRows = R"sql(
INSERT INTO T_GROUPING (TYPE_ID, LABEL) VALUES (7, 'グループ,"A"');
INSERT INTO T_PERSON (PERSON_ID, TYPE_ID, LASTNAME, FIRSTNAME, MEMO1, COMPANY, BIRTHDAY, AGE, ANNIVERSARY, HOBBY)
  VALUES (5, 7, '山田,"太"', 'a' || char(13) || char(10) || 'b', NULL, '', 27000.5, 42, 36526, '①～髙'),
         (3, 99, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL),
         (9, 1, '😀 絵文字', 'x"y', 'メモ', 'ｶﾌﾞｼｷｶﾞｲｼｬ', -10.25, -3, NULL, 'a,b');
INSERT INTO T_PHONE (PHONE_ID, PERSON_ID, LABEL, TEL_NUMBER, RANK, TYPE) VALUES
  (10, 5, '会社,代表', '03-1', 2, 'OFFICE'), (12, 5, NULL, '03-3', 1, 'HOME'), (11, 5, '自宅', NULL, 1, 'HOME'),
  (13, 9, '', '', 0, NULL);
INSERT INTO T_EMAIL (MAIL_ID, PERSON_ID, LABEL, MAIL_ADDRESS, RANK, TYPE) VALUES
  (20, 5, '旧', 'old@example.jp', 1, 'HOME'), (22, 5, '新', 'new"@example.jp', 3, 'HOME'),
  (21, 5, '予備', 'spare@example.jp', 3, 'HOME');
INSERT INTO T_CHILDREN (CHILD_ID, PERSON_ID, CHILDREN, ALIAS) VALUES
  (31, 5, '次郎', NULL), (30, 5, '花子', 'はな,こ'), (32, 9, NULL, NULL);
)sql";

constexpr const char* kGoodsRows = R"sql(
INSERT INTO T_iGROUPING (ITYPE_ID, ILABEL) VALUES (4, '工具,"大"');
INSERT INTO T_ITEMS (ID, ITYPE_ID, MAKER, ITEM_ALIAS, ITEM_NAME, ITEM_FORM, ITEM_SPEC, MEMO_LABEL1, MEMO1)
  VALUES (1, 4, 'A,B', 'えー', '"名"', 'F-1', '仕様' || char(10) || '二行', NULL, 'x'),
         (2, 1, NULL, NULL, NULL, NULL, NULL, '', NULL),
         (3, 55, '😀', NULL, NULL, NULL, NULL, 'ラベル', 'メモ');
INSERT INTO T_iSUPPLIER (SUPPLIER_ID, ALIAS, SUPPLIER, SLAST_NAME, S_ZIP, S_TEL, S_MAIL, S_LINK_ID)
  VALUES (1, 'し', '仕入,先', '姓', '100-0001', '03', 's@example.jp', 0),
         (2, NULL, NULL, NULL, NULL, NULL, NULL, 5);
INSERT INTO T_iCUSTOMER (CUSTOMER_ID, ALIAS, CUSTOMER, CFIRST_NAME, C_ADDRESS2, C_FAX, C_LINK_ID)
  VALUES (1, 'は', '販売先', '名', '2F', '06', 0), (2, NULL, '"顧客"', NULL, NULL, NULL, 0);
INSERT INTO T_SHEET (ID, SHEET_ID, GOODS_ID, SHEET_DATE, SUPPLIER_ID, QUANTITY, STOCK_UNITPRICE, STOCK_AMOUNT)
  VALUES (4, 0, 1, 45000.75, 1, 3, 100, 300), (1, 0, 3, 2, 2, 0, 0, 0);
INSERT INTO T_SHEET (ID, SHEET_ID, GOODS_ID, SHEET_DATE, CUSTOMER_ID, QUANTITY, SALES_UNITPRICE, SALES_AMOUNT)
  VALUES (2, 1, 2, 45001, 1, -2, 150, -300), (3, 1, 1, 0, 2, 2147483647, 1, 2147483647);
)sql";

class BaselineCheck : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device seed;
        folder_ = fs::temp_directory_path() / ("lumo-baseline-check-" + std::to_string(seed()));
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(folder_, ec);
    }

    void create(bool sample) { tools::createDatabases({.folder = folder_, .sample = sample}); }
    std::string database(std::string_view kind) const {
        return (folder_ / "Data" / (kind == "person" ? "LumoBase.mdb" : "iLumoBase.mdb")).string();
    }
    void insert(std::string_view kind, const char* sql) const { tools::Database(database(kind)).exec(sql); }
    std::string file(std::string_view kind, std::string_view who) const {
        return (folder_ / (std::string(kind) + "-" + std::string(who) + ".csv")).string();
    }

    // Writes both files of `kind`; returns how many records each wrote.
    std::pair<std::int64_t, std::int64_t> exportBoth(std::string_view kind) const {
        const bool people = kind == "person";
        RecordingSink sink;
        const auto ours = exporter::runExport(connectionFor(database(kind)), file(kind, "ours"),
                                              people ? exporter::kPersons : exporter::kGoods, {});
        EXPECT_FALSE(ours.failed);
        // The replacement notice is the only message a good run shows.
        for (const MessageRequest& m : sink.messages()) EXPECT_EQ(m.icon, MsgIcon::Information) << m.text;
        const auto baseline =
            runBaseline(people ? personBaseline() : goodsBaseline(), database(kind), file(kind, "baseline"));
        EXPECT_EQ(baseline.replaced, ours.replaced);
        return {ours.records, baseline.records};
    }

    void expectSameFiles(std::string_view kind) const {
        const auto difference = firstDifference(file(kind, "ours"), file(kind, "baseline"));
        EXPECT_FALSE(difference) << kind << " files differ at " << *difference;
    }

    fs::path folder_;
};

TEST_F(BaselineCheck, SampleDataSet) {
    create(true);
    for (std::string_view kind : {"person", "goods"}) {
        const auto [ours, baseline] = exportBoth(kind);
        EXPECT_GT(ours, 0) << kind;
        EXPECT_EQ(ours, baseline) << kind;
        expectSameFiles(kind);
    }
}

TEST_F(BaselineCheck, PersonsWithQuotingNullsOrderAndMissingLists) {
    create(false);
    insert("person", kPersonRows);
    const auto [ours, baseline] = exportBoth("person");
    EXPECT_EQ(ours, 3);
    EXPECT_EQ(baseline, 3);
    expectSameFiles("person");
}

TEST_F(BaselineCheck, SheetsOfBothKindsWithQuotingAndNulls) {
    create(false);
    insert("goods", kGoodsRows);
    const auto [ours, baseline] = exportBoth("goods");
    EXPECT_EQ(ours, 4);
    EXPECT_EQ(baseline, 4);
    expectSameFiles("goods");
}

TEST_F(BaselineCheck, EmptyDatabasesGiveTheHeaderOnly) {
    create(false);
    for (std::string_view kind : {"person", "goods"}) {
        const auto [ours, baseline] = exportBoth(kind);
        EXPECT_EQ(ours, 0);
        EXPECT_EQ(baseline, 0);
        expectSameFiles(kind);
    }
}

// The comparison that guards every benchmark run finds a changed byte, a
// missing end and a missing file.
TEST_F(BaselineCheck, ComparisonFindsTheFirstDifference) {
    fs::create_directories(folder_);
    const auto write = [&](const std::string& name, const std::string& bytes) {
        std::ofstream(folder_ / name, std::ios::binary) << bytes;
        return (folder_ / name).string();
    };
    const std::string big(200000, 'x');  // longer than one read chunk
    const std::string a = write("a", "one\r\ntwo\r\n" + big + "end");
    EXPECT_FALSE(firstDifference(a, write("same", "one\r\ntwo\r\n" + big + "end")));
    EXPECT_EQ(firstDifference(a, write("changed", "one\r\ntwO\r\n" + big + "end")), "line 2, byte 7: the bytes differ");
    EXPECT_EQ(firstDifference(a, write("short", "one\r\ntwo\r\n" + big)), "line 3, byte 200010: one file ends there");
    const auto missing = firstDifference(a, (folder_ / "missing").string());
    ASSERT_TRUE(missing);
    EXPECT_NE(missing->find("cannot read"), std::string::npos);
}

}  // namespace
