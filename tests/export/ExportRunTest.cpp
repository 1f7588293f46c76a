#include "export/engine/ExportRun.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "export/engine/clsExportSource.h"
#include "platform/MessageSink.h"
#include "tests/export/ExportFixture.h"

using namespace lumo;
using namespace lumo::exporter;
using lumo::test::ExportFolder;
using lumo::test::readBytes;

namespace {

constexpr const char* kPersonRows = R"sql(
INSERT INTO T_GROUPING (TYPE_ID, LABEL) VALUES (2, '友人'), (3, '仕事');
INSERT INTO T_PERSON (PERSON_ID, TYPE_ID, LASTNAME, FIRSTNAME, HOME_ADDRESS1, BIRTHDAY, AGE, ANNIVERSARY, HOBBY, NOTE)
  VALUES (1, 2, '山田', '太郎', '千代田区1-1, ビル', 36526, 40, 0, '釣り "海"', '2026/12/24 年賀状'),
         (2, 99, NULL, NULL, NULL, NULL, 0, NULL, NULL, NULL),
         (3, 3, '髙橋', 'ｵﾌｨｽ①', NULL, NULL, 7, NULL, '囲碁' || char(13) || char(10) || '将棋', NULL);
INSERT INTO T_PHONE (PERSON_ID, LABEL, TEL_NUMBER, RANK, TYPE) VALUES
  (1, '携帯', '090-1', 2, 'MOBILE'), (1, '自宅', '03-1', 1, 'HOME');
INSERT INTO T_EMAIL (PERSON_ID, LABEL, MAIL_ADDRESS, RANK, TYPE) VALUES (1, '私用', 'taro@example.jp', 1, 'HOME');
INSERT INTO T_CHILDREN (PERSON_ID, CHILDREN, ALIAS) VALUES (1, '花子', 'はなこ');
)sql";

}  // namespace

TEST(ExportRun, PersonFileByteForByte) {
    ExportFolder folder;
    ExportFolder::sql(folder.personDb(), kPersonRows);
    RecordingSink sink;
    int32_t range = -1, last = 0;
    ExportHooks hooks;
    hooks.setRange = [&](int32_t m) { range = m; };
    hooks.setValue = [&](int32_t v) { last = v; };
    const auto result = runExport(ExportFolder::connection(folder.personDb()), folder.out("p.csv"), kPersons, hooks);
    EXPECT_FALSE(result.failed);
    EXPECT_EQ(result.records, 3);
    EXPECT_EQ(range, 3);
    EXPECT_EQ(last, 3);
    EXPECT_TRUE(sink.messages().empty()) << sink.messages().front().text;

    // The file's bytes as written out by hand (CP932, CR LF), so that a
    // fault of the encoder cannot hide in the expectation too: the header,
    // 山田 with a quoted address and hobby and his phones, mail and child,
    // the person with nothing but a group that has no row, and 髙橋 with
    // extension characters and a hobby over two lines.
    const std::string expected =
        // header
        "\x95\xAA\x97\xDE,\x82\xD3\x82\xE8\x82\xAA\x82\xC8(\x90\xA9),\x82\xD3\x82\xE8\x82\xAA\x82\xC8(\x96\xBC)"
        ",\x90\xA9,\x96\xBC,\x8Ch\x8F\xCC,\x83j\x83"
        "b\x83N\x83l\x81[\x83\x80,\x83\x89\x83x\x83\x8B\x82P,\x83\x81\x83\x82\x82P,\x83\x89\x83x\x83\x8B\x82Q,"
        "\x83\x81\x83\x82\x82Q,\x8E\xA9\x91\xEE\x97X\x95\xD6\x94\xD4\x8D\x86, \x8E\xA9\x91\xEE\x8FZ\x8F\x8A\x82P"
        ",\x8E\xA9\x91\xEE\x8FZ\x8F\x8A\x82Q,\x83z\x81[\x83\x80\x83y\x81[\x83W,\x83\x89\x83x\x83\x8B\x82R,\x83\x81\x83\x82\x82R"
        ",\x83\x89\x83x\x83\x8B\x82S,\x83\x81\x83\x82\x82S,\x82\xD3\x82\xE8\x82\xAA\x82\xC8,\x89\xEF\x8E\xD0\x96\xBC,"
        "\x96\xF0\x90"
        "E,\x95\x94\x8F\x90,\x89\xEF\x8E\xD0\x97X\x95\xD6\x94\xD4\x8D\x86,\x89\xEF\x8E\xD0\x8FZ\x8F\x8A\x82P,\x89\xEF\x8E\xD0\x8FZ"
        "\x8F\x8A\x82Q,\x89\xEF\x8E\xD0\x83z\x81[\x83\x80\x83y\x81[\x83W,\x83\x89\x83x\x83\x8B\x82T,\x83\x81\x83\x82\x82T"
        ",\x83\x89\x83x\x83\x8B\x82U,\x83\x81\x83\x82\x82U,\x92"
        "a\x90\xB6\x93\xFA,\x94N\x97\xEE,\x90\xAF\x8D\xC0,\x8C\x8C\x89t\x8C^,\x8BL\x94O\x93\xFA,\x82\xD3\x82\xE8\x82\xAA\x82\xC8,"
        "\x94z\x8B\xF4\x8E\xD2,\x8E\xEF\x96\xA1\r\n"
        // yamada
        "\x97"
        "F\x90l,,,\x8ER\x93"
        "c,\x91\xBE\x98Y,,,,,,,,\"\x90\xE7\x91\xE3\x93"
        "c\x8B\xE6"
        "1-1, \x83r\x83\x8B\",,,,,,,,,,,,,,,,,,,2000/01/01,40,,,1899/12/30,,,\"\x92\xDE\x82\xE8 \"\"\x8A"
        "C\"\"\",,\x8E\xA9\x91\xEE,03-1,\x8Cg\x91\xD1,090-1,,\x8E\x84\x97p,taro@example.jp,,\x82\xCD\x82\xC8\x82\xB1,"
        "\x89\xD4\x8Eq\r\n"
        // nobody
        ",,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,1899/12/30,0,,,1899/12/30,,,,,,,,,,,,\r\n"
        // takahashi
        "\x8E"
        "d\x8E\x96,,,\xFB\xFC\x8B\xB4,\xB5\xCC\xA8\xBD\x87@,,,,,,,,,,,,,,,,,,,,,,,,,,,1899/12/30,7,,,1899/12/3"
        "0,,,\"\x88\xCD\x8C\xE9\r\n\x8F\xAB\x8A\xFB\",,,,,,,,,\r\n";
    EXPECT_EQ(readBytes(folder.out("p.csv")), expected);
    // The extension characters and half-width kana in their CP932 bytes.
    const std::string bytes = readBytes(folder.out("p.csv"));
    EXPECT_NE(bytes.find("\xFB\xFC"), std::string::npos);          // 髙
    EXPECT_NE(bytes.find("\xB5\xCC\xA8\xBD\x87\x40"), std::string::npos);  // ｵﾌｨｽ①
}

// Every text column of the goods, supplier and customer rows holds its own
// name, so a field written in another one's place shows.
TEST(ExportRun, GoodsFileWithPurchaseAndSale) {
    ExportFolder folder;
    ExportFolder::sql(folder.itemDb(), R"sql(
INSERT INTO T_iGROUPING (ITYPE_ID, ILABEL) VALUES (2, '家電');
INSERT INTO T_ITEMS (ID, ITYPE_ID, MAKER, ITEM_ALIAS, ITEM_NAME, ITEM_FORM, ITEM_SPEC, MEMO_LABEL1, MEMO1, PHOTO_PATH, NOTE)
  VALUES (1, 2, 'MAKER', 'ITEM_ALIAS', 'ITEM_NAME', 'ITEM_FORM', 'ITEM_SPEC', 'MEMO_LABEL1', 'MEMO1', 'PHOTO_PATH', 'NOTE');
INSERT INTO T_iSUPPLIER (SUPPLIER_ID, ALIAS, SUPPLIER, SLAST_ALIAS, SLAST_NAME, SFIRST_ALIAS, SFIRST_NAME, S_ZIP,
                         S_ADDRESS1, S_ADDRESS2, S_TEL, S_FAX, S_MAIL, S_DEFAULT, S_LINK_ID)
  VALUES (1, 'ALIAS', 'SUPPLIER', 'SLAST_ALIAS', 'SLAST_NAME', 'SFIRST_ALIAS', 'SFIRST_NAME', 'S_ZIP', 'S_ADDRESS1',
          'S_ADDRESS2', 'S_TEL', 'S_FAX', 'S_MAIL', 'S_DEFAULT', 0);
INSERT INTO T_iCUSTOMER (CUSTOMER_ID, ALIAS, CUSTOMER, CLAST_ALIAS, CLAST_NAME, CFIRST_ALIAS, CFIRST_NAME, C_ZIP,
                         C_ADDRESS1, C_ADDRESS2, C_TEL, C_FAX, C_MAIL, C_DEFAULT, C_LINK_ID)
  VALUES (1, 'ALIAS', 'CUSTOMER', 'CLAST_ALIAS', 'CLAST_NAME', 'CFIRST_ALIAS', 'CFIRST_NAME', 'C_ZIP', 'C_ADDRESS1',
          'C_ADDRESS2', 'C_TEL', 'C_FAX', 'C_MAIL', 'C_DEFAULT', 0);
INSERT INTO T_SHEET (ID, SHEET_ID, GOODS_ID, SHEET_DATE, SUPPLIER_ID, QUANTITY, STOCK_UNITPRICE, STOCK_AMOUNT, SALES_UNITPRICE, SALES_AMOUNT)
  VALUES (1, 0, 1, 45292, 1, 3, 100, 300, 999, 999);
INSERT INTO T_SHEET (ID, SHEET_ID, GOODS_ID, SHEET_DATE, CUSTOMER_ID, QUANTITY, STOCK_UNITPRICE, STOCK_AMOUNT, SALES_UNITPRICE, SALES_AMOUNT)
  VALUES (2, 1, 1, 0, 1, 2, 1, 1, 150, 300);
)sql");
    RecordingSink sink;
    const auto result = runExport(ExportFolder::connection(folder.itemDb()), folder.out("g.csv"), kGoods, {});
    EXPECT_FALSE(result.failed);
    EXPECT_TRUE(sink.messages().empty()) << sink.messages().front().text;
    // CP932 bytes written out by hand: the header, then 仕入データ and
    // 販売データ lines of group 家電 (45292 is 2024/01/01, 0 is 1899/12/30).
    const std::string expected =
        // header
        "\x93`\x95[\x8B\xE6\x95\xAA,\x8E\xED\x95\xCA,\x8E"
        "d\x93\xFC\x81"
        "E\x94\xCC\x94\x84\x93\xFA,\x83\x81\x81[\x83J\x81[\x96\xBC,\x82\xD3\x82\xE8\x82\xAA\x82\xC8,\x90\xBB\x95i"
        "\x96\xBC,\x8C^\x8E\xAE,\x8E"
        "d\x97l,\x90\x94\x97\xCA,\x92P\x89\xBF,\x8B\xE0\x8Az,\x83\x89\x83x\x83\x8B,\x83\x81\x83\x82,\x82\xD3\x82\xE8\x82\xAA\x82\xC8,"
        "\x8E"
        "d\x93\xFC\x81"
        "E\x94\xCC\x94\x84\x90\xE6,\x82\xD3\x82\xE8\x82\xAA\x82\xC8(\x90\xA9),\x90\xA9,\x82\xD3\x82\xE8\x82\xAA\x82\xC8("
        "\x96\xBC),\x96\xBC,\x97X\x95\xD6\x94\xD4\x8D\x86,\x8FZ\x8F\x8A\x82P,\x8FZ\x8F\x8A\x82Q,\x93"
        "d\x98"
        "b\x94\xD4\x8D\x86,\x82"
        "e\x82`\x82w,\x93"
        "d\x8Eq\x83\x81\x81[\x83\x8B\r\n"
        // purchase
        "\x8E"
        "d\x93\xFC\x83"
        "f\x81[\x83^,\x89\xC6\x93"
        "d,2024/01/01,MAKER,ITEM_ALIAS,ITEM_NAME,ITEM_FORM,ITEM_SPEC,3,100,300,MEMO_LABEL1,MEMO1,ALIAS,SUPPLIE"
        "R,SLAST_ALIAS,SLAST_NAME,SFIRST_ALIAS,SFIRST_NAME,S_ZIP,S_ADDRESS1,S_ADDRESS2,S_TEL,S_FAX,S_MAIL\r\n"
        // sale
        "\x94\xCC\x94\x84\x83"
        "f\x81[\x83^,\x89\xC6\x93"
        "d,1899/12/30,MAKER,ITEM_ALIAS,ITEM_NAME,ITEM_FORM,ITEM_SPEC,2,150,300,MEMO_LABEL1,MEMO1,ALIAS,CUSTOME"
        "R,CLAST_ALIAS,CLAST_NAME,CFIRST_ALIAS,CFIRST_NAME,C_ZIP,C_ADDRESS1,C_ADDRESS2,C_TEL,C_FAX,C_MAIL\r\n";
    EXPECT_EQ(readBytes(folder.out("g.csv")), expected);
}

// A stop asked for after a record keeps the header and the lines written
// so far; asked for after the last record there was nothing left to stop,
// and the run is complete.
TEST(ExportRun, StopKeepsHeaderAndLinesWrittenSoFar) {
    struct Case {
        int stopAfter;  // records written when the stop is asked for
        bool stopped;
        int records;
    };
    for (const Case c : {Case{1, true, 1}, Case{2, true, 2}, Case{3, false, 3}}) {
        SCOPED_TRACE("stop after record " + std::to_string(c.stopAfter));
        ExportFolder folder;
        ExportFolder::sql(folder.personDb(), kPersonRows);
        RecordingSink sink;
        ExportHooks hooks;
        int yields = 0;
        hooks.yield = [&] { ++yields; };
        hooks.stopRequested = [&] { return yields == c.stopAfter; };
        const auto result = runExport(ExportFolder::connection(folder.personDb()), folder.out("p.csv"), kPersons, hooks);
        EXPECT_EQ(result.stopped, c.stopped);
        EXPECT_FALSE(result.failed);
        EXPECT_EQ(result.records, c.records);
        const std::string bytes = readBytes(folder.out("p.csv"));
        EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), c.records + 1 + (c.records == 3 ? 1 : 0))
            << "the header and the lines written (the last person's hobby has a line break of its own)";
    }
}

TEST(ExportRun, MissingDatabaseReportsOnceAndWritesNoFile) {
    ExportFolder folder;
    RecordingSink sink;
    const auto result = runExport(ExportFolder::connection(folder.out("Data/none.mdb")), folder.out("p.csv"), kPersons, {});
    EXPECT_TRUE(result.failed);
    ASSERT_EQ(sink.messages().size(), 1u);
    EXPECT_EQ(sink.messages()[0].text.rfind("FM-pi1003\r\n", 0), 0u);
    EXPECT_FALSE(std::filesystem::exists(folder.out("p.csv")));
}

TEST(ExportRun, UncreatableFileReportsOnceAndStops) {
    ExportFolder folder;
    ExportFolder::sql(folder.personDb(), kPersonRows);
    RecordingSink sink;
    const auto result =
        runExport(ExportFolder::connection(folder.personDb()), folder.out("no/such/dir/p.csv"), kPersons, {});
    EXPECT_TRUE(result.failed);
    ASSERT_EQ(sink.messages().size(), 1u);
    EXPECT_EQ(sink.messages()[0].text.rfind("CLS-exp1006\r\n", 0), 0u);
}

TEST(ExportRun, UnencodableCharactersAreCountedAndAnnounced) {
    ExportFolder folder;
    ExportFolder::sql(folder.personDb(), "INSERT INTO T_PERSON (TYPE_ID, LASTNAME, AGE) VALUES (1, '😀é', 1);");
    RecordingSink sink;
    const auto result = runExport(ExportFolder::connection(folder.personDb()), folder.out("p.csv"), kPersons, {});
    EXPECT_EQ(result.replaced, 2u);
    ASSERT_EQ(sink.messages().size(), 1u);
    EXPECT_EQ(sink.messages()[0].icon, MsgIcon::Information) << sink.messages()[0].text;
    EXPECT_NE(readBytes(folder.out("p.csv")).find(",??,"), std::string::npos);
}

TEST(ExportRun, EmptyLabelTableGivesEmptyLabels) {
    ExportFolder folder;
    ExportFolder::sql(folder.personDb(), "DELETE FROM T_GROUPING; INSERT INTO T_PERSON (TYPE_ID, LASTNAME, AGE) VALUES (1, 'a', 1);");
    RecordingSink sink;
    const auto result = runExport(ExportFolder::connection(folder.personDb()), folder.out("p.csv"), kPersons, {});
    EXPECT_FALSE(result.failed);
    EXPECT_TRUE(sink.messages().empty());
    const std::string bytes = readBytes(folder.out("p.csv"));
    EXPECT_NE(bytes.find("\r\n,,,a,"), std::string::npos);
}

TEST(LabelLookup, LastMatchWinsAndMissingIsEmpty) {
    const LumoAccess::LabelTable labels{{"1", "未分類"}, {"3", "旧"}, {"3", "新"}};
    EXPECT_EQ(labelFor(labels, 3), "新");
    EXPECT_EQ(labelFor(labels, 1), "未分類");
    EXPECT_EQ(labelFor(labels, 7), "");
    EXPECT_EQ(labelFor({}, 1), "");
}

TEST(ExportChecks, FolderAndFileQuestions) {
    ExportFolder folder;
    clsExportSource source;
    RecordingSink sink;
    const std::string newDir = folder.out("new");
    sink.answer(MsgResult::No);
    EXPECT_TRUE(source.FolderCheck(newDir));
    EXPECT_FALSE(std::filesystem::exists(newDir));
    sink.answer(MsgResult::Yes);
    EXPECT_FALSE(source.FolderCheck(newDir));
    EXPECT_TRUE(std::filesystem::is_directory(newDir));
    ASSERT_EQ(sink.messages().size(), 2u);
    EXPECT_EQ(sink.messages()[0].title, "新規作成確認");
    EXPECT_EQ(sink.messages()[0].buttons, MsgButtons::YesNo);

    const std::string file = folder.out("new/x.csv");
    EXPECT_FALSE(source.FileCheck(file));  // no file: no question
    std::ofstream(file) << "old";
    sink.answer(MsgResult::No);
    EXPECT_TRUE(source.FileCheck(file));
    EXPECT_TRUE(std::filesystem::exists(file));
    sink.answer(MsgResult::Yes);
    EXPECT_FALSE(source.FileCheck(file));
    EXPECT_EQ(readBytes(file), "old") << "kept until a complete new file replaces it";
    EXPECT_EQ(sink.messages().back().text, "同じ名前のファイルが存在しているため、ファイルを上書きします。よろしいですか？");
    if (::geteuid() != 0) {  // a read-only file is refused, as deleting it would be
        std::filesystem::permissions(file, std::filesystem::perms::owner_read);
        sink.answer(MsgResult::Yes);
        EXPECT_TRUE(source.FileCheck(file));
        EXPECT_EQ(sink.messages().back().text.substr(0, 14), "CLS-exp1003\r\n");
    }
}
