// Postal codes: lumo postal import of a hand-made utf_ken_all.csv (a town
// name split over rows, 以下に掲載がない場合, a code of two towns) and the
// lookups both ways; a failed import that keeps the older file; the SKK
// dictionary (EUC-JP) when there is no file; the card offering candidates
// and writing only what the user picks.
#include <QAbstractItemView>
#include <QCompleter>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <sys/time.h>

#include <ctime>
#include <fstream>
#include <sstream>

#include "addressbook/PersonEditor.h"
#include "addressbook/PostalCompleter.h"
#include "tests/addressbook/BookFixture.h"
#include "tools/postal/PostalCommand.h"
#include "tools/postal/PostalTable.h"

using namespace lumo;
using Entries = std::vector<postal::PostalEntry>;

namespace {

const std::string kKenAll =
    "13101,\"100  \",\"1000000\",\"ﾄｳｷｮｳﾄ\",\"ﾁﾖﾀﾞｸ\",\"ｲｶﾆｹｲｻｲｶﾞﾅｲﾊﾞｱｲ\",\"東京都\",\"千代田区\",\"以下に掲載がない場合\",0,0,0,0,0,0\r\n"
    "13101,\"100  \",\"1000001\",\"ﾄｳｷｮｳﾄ\",\"ﾁﾖﾀﾞｸ\",\"ﾁﾖﾀﾞ\",\"東京都\",\"千代田区\",\"千代田\",0,0,0,0,0,0\r\n"
    "01224,\"066  \",\"0660005\",\"ﾎｯｶｲﾄﾞｳ\",\"ﾁﾄｾｼ\",\"ｷｮｳﾜ\",\"北海道\",\"千歳市\",\"協和（８８－２、２７１－１０、\",1,0,0,0,0,0\r\n"
    "01224,\"066  \",\"0660005\",\"ﾎｯｶｲﾄﾞｳ\",\"ﾁﾄｾｼ\",\"ｷｮｳﾜ\",\"北海道\",\"千歳市\",\"３４３－２、４０４－１、\",1,0,0,0,0,0\r\n"
    "01224,\"066  \",\"0660005\",\"ﾎｯｶｲﾄﾞｳ\",\"ﾁﾄｾｼ\",\"ｷｮｳﾜ\",\"北海道\",\"千歳市\",\"４３１－１２番地）\",1,0,0,0,0,0\r\n"
    "01224,\"066  \",\"0660005\",\"ﾎｯｶｲﾄﾞｳ\",\"ﾁﾄｾｼ\",\"ｷｮｳﾜ\",\"北海道\",\"千歳市\",\"協和（その他）\",1,0,0,0,0,0\r\n"
    "01101,\"060  \",\"0600042\",\"ﾎｯｶｲﾄﾞｳ\",\"ｻｯﾎﾟﾛｼﾁｭｳｵｳｸ\",\"ｵｵﾄﾞｵﾘﾆｼ\",\"北海道\",\"札幌市中央区\",\"大通西（１～１９丁目）\",1,0,1,0,0,0\r\n"
    "01101,\"060  \",\"0600042\",\"ﾎｯｶｲﾄﾞｳ\",\"ｻｯﾎﾟﾛｼﾁｭｳｵｳｸ\",\"ｵｵﾄﾞｵﾘﾋｶﾞｼ\",\"北海道\",\"札幌市中央区\",\"大通東\",1,0,1,0,0,0\r\n"
    "13103,\"105  \",\"1050011\",\"ﾄｳｷｮｳﾄ\",\"ﾐﾅﾄｸ\",\"ｼﾊﾞｺｳｴﾝ\",\"東京都\",\"港区\",\"芝公園\",0,0,1,0,0,0\r\n"
    "14104,\"231  \",\"2310023\",\"ｶﾅｶﾞﾜｹﾝ\",\"ﾖｺﾊﾏｼﾅｶｸ\",\"ﾔﾏｼﾀﾁｮｳ\",\"神奈川県\",\"横浜市中区\",\"山下町\",0,0,0,0,0,0\r\n";

// ";; 郵便番号の辞書", "1000001 /東京都千代田区千代田/",
// "4980000 /愛知県弥富市/三重県桑名郡木曽岬町;注/" in EUC-JP.
const std::string kSkkDictionary =
    "\x3b\x3b\x20\xcd\xb9\xca\xd8\xc8\xd6\xb9\xe6\xa4\xce\xbc\xad\xbd\xf1\x0a"
    "1000001 /\xc5\xec\xb5\xfe\xc5\xd4\xc0\xe9\xc2\xe5\xc5\xc4\xb6\xe8\xc0\xe9\xc2\xe5\xc5\xc4/\x0a"
    "4980000 /\xb0\xa6\xc3\xce\xb8\xa9\xcc\xef\xc9\xd9\xbb\xd4/\xbb\xb0\xbd\xc5\xb8\xa9\xb7\xac\xcc\xbe\xb7\xb4"
    "\xcc\xda\xc1\xbe\xcc\xa8\xc4\xae\x3b\xc3\xed/\x0a";

void writeFile(const std::filesystem::path& file, const std::string& content) {
    std::ofstream(file, std::ios::binary) << content;
}

int runPostal(const std::vector<std::string>& words, std::string* errText = nullptr) {
    const std::vector<std::string_view> views(words.begin(), words.end());
    std::ostringstream out, err;
    int code = 0;
    try {
        code = tools::kPostalCommand.run(views, out, err);
    } catch (const tools::UsageError& e) {
        if (errText) *errText = e.what();
        return tools::kExitUsage;
    } catch (const std::exception& e) {
        if (errText) *errText = e.what();
        return tools::kExitFailure;
    }
    return code;
}

// The tables the file's rows become (the split name and the row repeating
// 協和 as one address, 以下に掲載がない場合 as the city alone).
const Entries kImported{
    {"0600042", "北海道札幌市中央区大通西"}, {"0600042", "北海道札幌市中央区大通東"}, {"0660005", "北海道千歳市協和"},
    {"1000000", "東京都千代田区"},         {"1000001", "東京都千代田区千代田"},     {"1050011", "東京都港区芝公園"},
    {"2310023", "神奈川県横浜市中区山下町"},
};

}  // namespace

class PostalTest : public QObject {
    Q_OBJECT

private slots:
    void typedCodesAreNormalized() {
        const struct {
            std::string typed;
            std::optional<std::string> code;
        } cases[]{
            {"1000001", "1000001"}, {"100-0001", "1000001"}, {"１００－０００１", "1000001"}, {"〒100-0001", "1000001"},
            {"100ー0001", "1000001"}, {"100000", std::nullopt}, {"10000011", std::nullopt}, {"100-000a", std::nullopt},
            {"", std::nullopt},
        };
        for (const auto& c : cases) QCOMPARE(postal::normalizedCode(c.typed), c.code);
    }

    void importThenLookUpBothWays() {
        test::TemporaryFolder folder{"lumo_postal"};
        std::filesystem::create_directories(folder.path() / "Data");
        const std::filesystem::path csv = folder.path() / "utf_ken_all.csv";
        writeFile(csv, kKenAll);
        QCOMPARE(runPostal({"import", "--date", "2026-11-30", "--", folder.path().string(), csv.string()}), 0);
        const postal::PostalTable table = postal::loadPostalTable(folder.path() / "Data" / "LumoPostal.sqlite", "");
        QCOMPARE(table.sourceLabel(), std::string("郵便番号: 日本郵便 2026/11/30"));
        Entries all;
        for (const char* code : {"0600042", "0660005", "1000000", "1000001", "1050011", "2310023"})
            for (const postal::PostalEntry& e : table.byCode(code)) all.push_back(e);
        QCOMPARE(all.size(), kImported.size());
        QVERIFY(all == kImported);
        QVERIFY(table.byCode("9999999").empty());
        QVERIFY((table.byAddress("東京都千代田区千代田1-1") ==
                 Entries{{"1000001", "東京都千代田区千代田"}, {"1000000", "東京都千代田区"}}));
        QVERIFY((table.byAddress("神奈川") == Entries{{"2310023", "神奈川県横浜市中区山下町"}}));
        QVERIFY(table.byAddress("大阪府").empty());
    }

    void theDateIsTheFilesUnlessGiven() {
        test::TemporaryFolder folder{"lumo_postal"};
        std::filesystem::create_directories(folder.path() / "Data");
        const std::filesystem::path csv = folder.path() / "utf_ken_all.csv";
        writeFile(csv, kKenAll);
        std::tm local{};
        local.tm_year = 2025 - 1900, local.tm_mon = 5, local.tm_mday = 1, local.tm_hour = 12, local.tm_isdst = -1;
        const timeval times[2]{{std::mktime(&local), 0}, {std::mktime(&local), 0}};
        QCOMPARE(::utimes(csv.c_str(), times), 0);
        QCOMPARE(runPostal({"import", folder.path().string(), csv.string()}), 0);
        QCOMPARE(postal::readPostalFile(folder.path() / "Data" / "LumoPostal.sqlite").date(), std::string("2025-06-01"));
    }

    void aFailedImportKeepsTheOlderFile() {
        test::TemporaryFolder folder{"lumo_postal"};
        std::filesystem::create_directories(folder.path() / "Data");
        const std::filesystem::path csv = folder.path() / "utf_ken_all.csv";
        writeFile(csv, kKenAll);
        QCOMPARE(runPostal({"import", "--date", "2026-11-30", folder.path().string(), csv.string()}), 0);
        writeFile(csv, kKenAll + "13101,\"100  \",\"10000\",\"ﾄｳｷｮｳﾄ\",\"ﾁﾖﾀﾞｸ\",\"\",\"東京都\",\"千代田区\",\"\",0\r\n");
        std::string err;
        QCOMPARE(runPostal({"import", "--date", "2026-12-31", folder.path().string(), csv.string()}, &err), 1);
        QVERIFY2(err.starts_with("11 行目"), err.c_str());
        const postal::PostalTable kept = postal::readPostalFile(folder.path() / "Data" / "LumoPostal.sqlite");
        QCOMPARE(kept.date(), std::string("2026-11-30"));
        QCOMPARE(kept.size(), kImported.size());
        std::size_t files = 0;
        for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.path() / "Data")) ++files;
        QCOMPARE(files, std::size_t{1});  // no temporary file left

        const struct {
            std::vector<std::string> words;
            int exit;
        } wrong[]{
            {{"import", folder.path().string()}, 2},
            {{"export", folder.path().string(), csv.string()}, 2},
            {{"import", "--date", "2026/11/30", folder.path().string(), csv.string()}, 2},
            {{"import", (folder.path() / "nowhere").string(), csv.string()}, 1},
            {{"import", folder.path().string(), (folder.path() / "none.csv").string()}, 1},
        };
        for (const auto& w : wrong) QCOMPARE(runPostal(w.words), w.exit);
    }

    void theSkkDictionaryWithoutTheFile() {
        test::TemporaryFolder folder{"lumo_postal"};
        const std::filesystem::path dictionary = folder.path() / "SKK-JISYO.zipcode";
        writeFile(dictionary, kSkkDictionary);
        const postal::PostalTable table = postal::loadPostalTable(folder.path() / "LumoPostal.sqlite", dictionary);
        QCOMPARE(table.sourceLabel(), std::string("郵便番号: SKK 辞書"));
        QVERIFY((table.byCode("1000001") == Entries{{"1000001", "東京都千代田区千代田"}}));
        QVERIFY((table.byCode("4980000") ==
                 Entries{{"4980000", "愛知県弥富市"}, {"4980000", "三重県桑名郡木曽岬町"}}));
        QVERIFY((table.byAddress("三重県桑名郡木曽岬町雁ケ地") == Entries{{"4980000", "三重県桑名郡木曽岬町"}}));
        QCOMPARE(postal::loadPostalTable(folder.path() / "none.sqlite", folder.path() / "none").sourceLabel(),
                 std::string("郵便番号: なし"));
    }

    void theCardOffersCandidatesAndWritesOnlyThePick() {
        test::OpenBook book;
        const std::filesystem::path csv = book.folder.path() / "utf_ken_all.csv";
        writeFile(csv, kKenAll);
        QCOMPARE(runPostal({"import", "--date", "2026-11-30", book.folder.path().string(), csv.string()}), 0);
        book.window->loadPostalTable("");
        auto* source = book.window->statusBar()->findChild<QLabel*>(QStringLiteral("postalSource"));
        QVERIFY(source);
        QCOMPARE(source->text(), QStringLiteral("郵便番号: 日本郵便 2026/11/30"));

        // A window opened on the folder now reads the file at its start.
        book::MainWindow another(book::BookFolder{book.folder.path()});
        QVERIFY(another.open());
        auto* anotherSource = another.statusBar()->findChild<QLabel*>(QStringLiteral("postalSource"));
        QTRY_COMPARE(anotherSource->text(), QStringLiteral("郵便番号: 日本郵便 2026/11/30"));
        QCOMPARE(another.postalTable().size(), kImported.size());

        book::PersonEditor* card = book.window->openCard(1);
        QVERIFY(card);
        card->tabs()->setCurrentIndex(1);
        QLineEdit* zip = card->textEdit(&LumoAccess::PersonInformation::strHomeZip);
        QLineEdit* address = card->textEdit(&LumoAccess::PersonInformation::strHomeAddress1);
        const QString stored = address->text();
        zip->clear();
        test::typeText(zip, QStringLiteral("１００－０００１"));
        QCompleter* addresses = card->postalHelp(book::CardTab::Home)->codeCandidates();
        QVERIFY(addresses->popup()->isVisible());
        QCOMPARE(addresses->completionModel()->rowCount(), 1);
        QCOMPARE(addresses->completionModel()->index(0, 0).data().toString(), QStringLiteral("〒100-0001  東京都千代田区千代田"));
        QCOMPARE(address->text(), stored);  // offered, not written
        QTest::keyClick(addresses->popup(), Qt::Key_Down);
        QTest::keyClick(addresses->popup(), Qt::Key_Return);
        QCOMPARE(address->text(), QStringLiteral("東京都千代田区千代田"));
        QCOMPARE(zip->text(), QStringLiteral("１００－０００１"));

        card->tabs()->setCurrentIndex(2);
        QLineEdit* officeZip = card->textEdit(&LumoAccess::PersonInformation::strOfficeZip);
        QLineEdit* officeAddress = card->textEdit(&LumoAccess::PersonInformation::strOfficeAddress1);
        officeZip->setText(QStringLiteral("999-9999"));
        officeAddress->clear();
        test::typeText(officeAddress, QStringLiteral("東京都港区芝公園4-2-8"));
        QCompleter* codes = card->postalHelp(book::CardTab::Office)->addressCandidates();
        QVERIFY(codes->popup()->isVisible());
        QCOMPARE(codes->completionModel()->rowCount(), 1);
        QCOMPARE(codes->completionModel()->index(0, 0).data().toString(), QStringLiteral("〒105-0011  東京都港区芝公園"));
        QCOMPARE(officeZip->text(), QStringLiteral("999-9999"));
        QTest::keyClick(codes->popup(), Qt::Key_Down);
        QTest::keyClick(codes->popup(), Qt::Key_Return);
        QCOMPARE(officeZip->text(), QStringLiteral("105-0011"));
        QCOMPARE(officeAddress->text(), QStringLiteral("東京都港区芝公園4-2-8"));

        // A code without addresses offers nothing.
        zip->clear();
        test::typeText(zip, QStringLiteral("9999999"));
        QVERIFY(!addresses->popup()->isVisible());
    }
};

QTEST_MAIN(PostalTest)
#include "PostalTest.moc"
