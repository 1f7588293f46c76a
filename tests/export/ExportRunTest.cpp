#include "export/engine/ExportRun.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "export/engine/clsExportSource.h"
#include "platform/MessageSink.h"
#include "tests/export/ExportFixture.h"

using namespace lumo;
using namespace lumo::exporter;
using lumo::test::ExportFolder;
using lumo::test::cp932Lines;
using lumo::test::readBytes;

namespace {

// 39 person fields: label, the 37 texts and numbers between, hobby.
std::string personFields(const std::string& label, const std::string& last, const std::string& first,
                         const std::string& middle, const std::string& birthday, const std::string& age,
                         const std::string& anniversary, const std::string& hobby) {
    return label + ",," + "," + last + "," + first + middle + "," + birthday + "," + age + ",,," + anniversary + ",,," +
           hobby;
}

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

    const std::string middle(26, ',');  // fields 6 to 31 are empty for these persons
    const std::string yamada =
        "友人,,,山田,太郎,,,,,,,,\"千代田区1-1, ビル\",,,,,,,,,,,,,,,,,,,2000/01/01,40,,,1899/12/30,,,\"釣り \"\"海\"\"\"" +
        std::string(",,自宅,03-1,携帯,090-1,,私用,taro@example.jp,,はなこ,花子");
    const std::string nobody = personFields("", "", "", middle, "1899/12/30", "0", "1899/12/30", "") + ",,,,,,,,,";
    const std::string takahashi =
        personFields("仕事", "髙橋", "ｵﾌｨｽ①", middle, "1899/12/30", "7", "1899/12/30", "\"囲碁\r\n将棋\"") + ",,,,,,,,,";
    EXPECT_EQ(readBytes(folder.out("p.csv")), cp932Lines({personHeader(), yamada, nobody, takahashi}));
    // The extension characters and half-width kana in their CP932 bytes.
    const std::string bytes = readBytes(folder.out("p.csv"));
    EXPECT_NE(bytes.find("\xFB\xFC"), std::string::npos);          // 髙
    EXPECT_NE(bytes.find("\xB5\xCC\xA8\xBD\x87\x40"), std::string::npos);  // ｵﾌｨｽ①
}

TEST(ExportRun, GoodsFileWithPurchaseAndSale) {
    ExportFolder folder;
    ExportFolder::sql(folder.itemDb(), R"sql(
INSERT INTO T_iGROUPING (ITYPE_ID, ILABEL) VALUES (2, '家電');
INSERT INTO T_ITEMS (ID, ITYPE_ID, MAKER, ITEM_ALIAS, ITEM_NAME, ITEM_FORM, ITEM_SPEC, MEMO_LABEL1, MEMO1)
  VALUES (1, 2, 'ソニー', 'てれび', 'テレビ', 'KJ-1', '4K', '色', '黒');
INSERT INTO T_iSUPPLIER (SUPPLIER_ID, ALIAS, SUPPLIER, SLAST_NAME, S_TEL, S_LINK_ID) VALUES (1, 'おろし', '卸商事', '佐藤', '03-9', 0);
INSERT INTO T_iCUSTOMER (CUSTOMER_ID, ALIAS, CUSTOMER, CLAST_NAME, C_MAIL, C_LINK_ID) VALUES (1, 'こきゃく', '顧客,株式会社', '鈴木', 'a@b.jp', 0);
INSERT INTO T_SHEET (ID, SHEET_ID, GOODS_ID, SHEET_DATE, SUPPLIER_ID, QUANTITY, STOCK_UNITPRICE, STOCK_AMOUNT, SALES_UNITPRICE, SALES_AMOUNT)
  VALUES (1, 0, 1, 45292, 1, 3, 100, 300, 999, 999);
INSERT INTO T_SHEET (ID, SHEET_ID, GOODS_ID, SHEET_DATE, CUSTOMER_ID, QUANTITY, STOCK_UNITPRICE, STOCK_AMOUNT, SALES_UNITPRICE, SALES_AMOUNT)
  VALUES (2, 1, 1, 0, 1, 2, 1, 1, 150, 300);
)sql");
    RecordingSink sink;
    const auto result = runExport(ExportFolder::connection(folder.itemDb()), folder.out("g.csv"), kGoods, {});
    EXPECT_FALSE(result.failed);
    EXPECT_TRUE(sink.messages().empty()) << sink.messages().front().text;
    const std::string purchase = "仕入データ,家電,2024/01/01,ソニー,てれび,テレビ,KJ-1,4K,3,100,300,色,黒,おろし,卸商事,,佐藤,,,,,,03-9,,";
    const std::string sale = "販売データ,家電,1899/12/30,ソニー,てれび,テレビ,KJ-1,4K,2,150,300,色,黒,こきゃく,\"顧客,株式会社\",,鈴木,,,,,,,,a@b.jp";
    EXPECT_EQ(readBytes(folder.out("g.csv")), cp932Lines({goodsHeader(), purchase, sale}));
}

TEST(ExportRun, StopKeepsHeaderAndLinesWrittenSoFar) {
    ExportFolder folder;
    ExportFolder::sql(folder.personDb(), kPersonRows);
    RecordingSink sink;
    ExportHooks hooks;
    int yields = 0;
    hooks.yield = [&] { ++yields; };
    hooks.stopRequested = [&] { return yields == 2; };
    const auto result = runExport(ExportFolder::connection(folder.personDb()), folder.out("p.csv"), kPersons, hooks);
    EXPECT_TRUE(result.stopped);
    EXPECT_EQ(result.records, 2);
    const std::string bytes = readBytes(folder.out("p.csv"));
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 3);  // the header and two lines
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
