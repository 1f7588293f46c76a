// The main window's list: what the search box finds (a word, a reading, a
// spouse, a company, phone digits, quotes, LIKE wildcards and [ taken
// literally), Esc, the groups with their counts, the あかさたな index and
// the summary; and the search box's words as the library receives them.
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>

#include "access/LumoAccess.h"
#include "addressbook/LibraryMessages.h"
#include "addressbook/PersonEditor.h"
#include "addressbook/PersonQueries.h"
#include "engine/Connection.h"
#include "platform/MessageSink.h"
#include "tests/addressbook/BookFixture.h"

using namespace lumo;
using Names = std::vector<std::string>;

class SearchTest : public QObject {
    Q_OBJECT
private slots:
    void wordsReachTheLibraryLiterally_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("phone");
        QTest::newRow("word") << "山田" << "山田" << "";
        QTest::newRow("blanks around") << "　山田 " << "山田" << "";
        QTest::newRow("percent") << "100%" << "100[%]" << "";
        QTest::newRow("underscore") << "a_b" << "a[_]b" << "";
        QTest::newRow("bracket") << "[株]" << "[[]株]" << "";
        QTest::newRow("quote (the library doubles it)") << "O'Brien" << "O'Brien" << "";
        QTest::newRow("digits") << "3401" << "" << "3401";
        QTest::newRow("number with hyphens") << "03-3401" << "" << "03-3401";
        QTest::newRow("full-width digits") << "０３－３４０１" << "" << "03-3401";
        QTest::newRow("hyphen alone is a word") << "-" << "-" << "";
        QTest::newRow("empty") << "  " << "" << "";
    }
    void wordsReachTheLibraryLiterally() {
        QFETCH(QString, typed);
        QFETCH(QString, name);
        QFETCH(QString, phone);
        const book::SearchWords words = book::searchWords(typed.toStdString());
        QCOMPARE(words.name, name.toStdString());
        QCOMPARE(words.phone, phone.toStdString());
    }

    void readingsFallIntoTheirIndexRow() {
        QCOMPARE(book::kanaRowOf("あおき"), 0);
        QCOMPARE(book::kanaRowOf("がっこう"), 1);
        QCOMPARE(book::kanaRowOf("オブライエン"), 0);
        QCOMPARE(book::kanaRowOf("ゆき"), 7);
        QCOMPARE(book::kanaRowOf("をの"), 9);
        QCOMPARE(book::kanaRowOf("んー"), 9);
        QCOMPARE(book::kanaRowOf("Brien"), -1);
        QCOMPARE(book::kanaRowOf(""), -1);
        QCOMPARE(book::readingSortKey("オブライエン"), std::string("おぶらいえん"));
        QCOMPARE(book::readingSortKey("ｵﾌｨｽ"), std::string("ｵﾌｨｽ"));
    }

    void theListIsSortedByReadingAndTheGroupsCountTheirMembers() {
        RecordingSink sink;
        test::OpenBook book;
        const Names all = test::listedNames(*book.window);
        QCOMPARE(all.size(), std::size_t{20});
        QCOMPARE(all.front(), std::string("伊藤 誠"));       // いとう
        QCOMPARE(all[2], std::string("O'Brien Michael"));  // オブライエン, among the お
        QCOMPARE(all.back(), std::string("渡辺 由美"));      // わたなべ
        QStringList groups;
        for (int i = 0; i < book.window->groupList()->count(); ++i) groups << book.window->groupList()->item(i)->text();
        QCOMPARE(groups, (QStringList{"すべて (20)", "未分類 (1)", "友人 (5)", "仕事 (7)", "家族 (4)", "趣味仲間 (3)"}));
        book.window->groupList()->setCurrentRow(5);
        QVERIFY(test::waitForList(*book.window));
        QCOMPARE(test::listedNames(*book.window), (Names{"小林 翔太", "田中 美咲", "林 恵子"}));
        QVERIFY(sink.messages().empty());
    }

    void theSearchBoxFindsAsTheUserTypes_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<Names>("expected");
        QTest::newRow("a word in the names") << "山" << Names{"山口 さくら", "山田 太郎", "山本 大輔"};
        QTest::newRow("a reading, also the spouse's") << "けいこ" << Names{"林 恵子", "山田 太郎"};
        QTest::newRow("a company") << "みらい" << Names{"鈴木 健一"};
        QTest::newRow("the company's name with a capital") << "dublin" << Names{"O'Brien Michael"};
        QTest::newRow("phone digits") << "3401" << Names{"山田 太郎"};
        QTest::newRow("full-width phone digits") << "０９０" << Names{"木村 拓也", "髙橋 一郎", "中村 愛", "山田 太郎", "山本 大輔"};
        QTest::newRow("a quote in the word") << "O'Brien" << Names{"O'Brien Michael"};
        QTest::newRow("nobody") << "存在しない名前" << Names{};
    }
    void theSearchBoxFindsAsTheUserTypes() {
        QFETCH(QString, typed);
        QFETCH(Names, expected);
        RecordingSink sink;
        test::OpenBook book;
        const Names found = book.search(typed);
        QCOMPARE(found, expected);
        QVERIFY(sink.messages().empty());
        // Esc empties the box and lists everybody again.
        QTest::keyClick(book.window->searchBox(), Qt::Key_Escape);
        QVERIFY(test::waitForList(*book.window));
        QCOMPARE(book.window->searchBox()->text(), QString());
        QCOMPARE(book.window->personModel()->rowCount(), 20);
    }

    // %, _, [ and quotes are meant literally: each word finds exactly the
    // persons holding it as typed, and none whose text a wildcard would
    // match (満足度1000 holds 度1_0 and 0% read as wildcards).
    void wildcardsAndQuotesInTheWordAreLiteral() {
        RecordingSink sink;
        test::OpenBook book;
        struct Added {
            const char* last;
            const char* first;
            const char* reading;
            const char* company;
        };
        for (const Added& a : {Added{"百", "満点", "ひゃく", "満足度100%"}, Added{"千", "十点", "せん", "満足度1000"},
                               Added{"O'Hara", "Sean", "おはら", "'50%' Off"}, Added{"角", "括弧", "すみ", "[株]ルミナ"}}) {
            LumoAccess::PersonInformation p;
            p.strLastName = a.last;
            p.strFirstName = a.first;
            p.strLastAlias = a.reading;
            p.strCompany = a.company;
            p.lngTypeID = book.window->groupChoices().front().typeId;  // the list shows persons of a group
            std::vector<LumoAccess::PhoneInformation> phones;
            std::vector<LumoAccess::MailInformation> mails;
            QVERIFY(!book.window->library().SetPersonalInformationEZ(p, phones, mails));
        }
        const std::vector<std::pair<QString, Names>> cases{
            {QStringLiteral("0%"), {"O'Hara Sean", "百 満点"}},  // '50%' holds 0% too
            {QStringLiteral("%"), {"O'Hara Sean", "百 満点"}},
            {QStringLiteral("'50%'"), {"O'Hara Sean"}},
            {QStringLiteral("O'Hara"), {"O'Hara Sean"}},
            {QStringLiteral("度1_0"), {}},
            {QStringLiteral("[株]"), {"角 括弧"}},
            {QStringLiteral("[株"), {"角 括弧"}},
        };
        for (const auto& [word, expected] : cases) {
            const Names found = book.search(word);
            std::string listed;
            for (const std::string& name : found) listed += " [" + name + "]";
            QVERIFY2(found == expected, qPrintable(word + QString::fromStdString(": found" + listed)));
        }
        QVERIFY(sink.messages().empty());
    }

    void theIndexJumpsToTheFirstReadingOfItsRowAndTheSummaryFollows() {
        RecordingSink sink;
        test::OpenBook book;
        book.window->indexButtons().at(7)->click();  // や
        QCOMPARE(book.window->personModel()->data(book.window->personView()->currentIndex()).toString(),
                 QStringLiteral("山口 さくら"));
        QVERIFY(book.window->summary()->text().contains(QStringLiteral("山口 さくら")));
        QVERIFY(book.window->summary()->text().contains(QStringLiteral("098-861-0000")));
        QVERIFY(!book.window->summary()->text().contains(QStringLiteral("()")));
        book.window->indexButtons().at(3)->click();  // た
        QCOMPARE(book.window->personModel()->data(book.window->personView()->currentIndex()).toString(),
                 QStringLiteral("髙橋 一郎"));
    }

    // The library's reports reach the screen through its published entry
    // point: one message box per report, with the report's text.
    void aLibraryReportIsOneMessageBox() {
        const book::LibraryMessages messages;
        QStringList seen;
        QTimer closer;
        connect(&closer, &QTimer::timeout, this, [&] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
                    seen << box->text();
                    box->button(QMessageBox::Ok)->click();
                }
        });
        closer.start(20);
        test::TemporaryFolder folder;
        book::MainWindow window(book::BookFolder{folder.path()});  // no database there
        QVERIFY(!window.open());
        QCOMPARE(seen.size(), 1);
        QVERIFY2(seen[0].startsWith("CLS-pida"), qPrintable(seen[0]));
    }

    // 1,000 persons: the rows of a page are read when that page is shown.
    // A search is put in the order of the list of everyone only while
    // nobody else wrote the file: after another program changes a
    // reading, the same persons come in the new reading order.
    void aSearchFollowsReadingsAnotherProgramChanged() {
        RecordingSink sink;
        test::OpenBook book;
        QCOMPARE(book.search(QStringLiteral("山")), (Names{"山口 さくら", "山田 太郎", "山本 大輔"}));
        {
            db::Connection other;
            other.Open(book::BookFolder{book.folder.path()}.connectionString());
            other.Execute("UPDATE T_PERSON SET LASTALIAS = 'あやまもと' WHERE LASTNAME = '山本'");
        }
        // A word not searched before, so that no kept list answers it.
        QCOMPARE(book.search(QStringLiteral("やま")), (Names{"山本 大輔", "山口 さくら", "山田 太郎"}));
        QVERIFY(sink.messages().empty());
    }

    // readEntries with an order: the order's sequence, each row as often as
    // the statement gives it; a person the order lacks sorts by reading.
    void entriesTakeTheOrderOfTheWholeList() {
        test::TemporaryFolder folder;
        test::makeSampleFolder(folder.path());
        db::Connection connection;
        connection.Open(book::BookFolder{folder.path()}.connectionString());
        const std::vector<book::ListEntry> whole = book::readEntries(connection, book::personIdsStatement(0));
        QCOMPARE(whole.size(), std::size_t{20});
        const auto ids = [](const std::vector<book::ListEntry>& entries) {
            std::vector<int32_t> out;
            for (const book::ListEntry& e : entries) out.push_back(e.id);
            return out;
        };
        // 14 やまぐち, 1 やまだ, 9 やまもと; 1 twice.
        const std::string twice = "SELECT PERSON_ID, (LASTALIAS & FIRSTALIAS) AS PERSON_ALIAS FROM T_PERSON "
                                  "WHERE PERSON_ID IN (9, 1, 14) UNION ALL "
                                  "SELECT PERSON_ID, (LASTALIAS & FIRSTALIAS) AS PERSON_ALIAS FROM T_PERSON "
                                  "WHERE PERSON_ID = 1";
        const book::ReadingOrder full(whole);
        QCOMPARE(ids(book::readEntries(connection, twice, {}, {}, &full)), (std::vector<int32_t>{14, 1, 1, 9}));
        std::vector<book::ListEntry> without9 = whole;
        std::erase_if(without9, [](const book::ListEntry& e) { return e.id == 9; });
        const book::ReadingOrder partial(without9);
        QCOMPARE(ids(book::readEntries(connection, twice, {}, {}, &partial)), (std::vector<int32_t>{14, 1, 1, 9}));
        // Keys too far apart for a table by key: no order, still sorted.
        const book::ReadingOrder sparse(std::vector<book::ListEntry>{{1, 7}, {2'000'000'000, 0}});
        QVERIFY(sparse.position.empty());
        QCOMPARE(ids(book::readEntries(connection, twice, {}, {}, &sparse)), (std::vector<int32_t>{14, 1, 1, 9}));
    }

    void rowsAreReadAsTheyAreShown() {
        RecordingSink sink;
        test::TemporaryFolder folder;
        tools::InitOptions options;
        options.folder = folder.path();
        options.persons = 1000;
        tools::createDatabases(options);
        book::MainWindow window(book::BookFolder{folder.path()});
        QVERIFY(window.open());
        window.resize(1000, 600);
        window.show();
        QVERIFY(test::waitForList(window));
        QTest::qWait(20);
        QCOMPARE(window.personModel()->rowCount(), 1000);
        QVERIFY(window.personModel()->pagesRead() <= 2);
        window.personView()->scrollToBottom();
        QTest::qWait(20);
        QVERIFY(window.personModel()->pagesRead() <= 4);
        QVERIFY(!window.personModel()->data(window.personModel()->index(999, 0)).toString().isEmpty());
        QVERIFY(sink.messages().empty());
    }
};

QTEST_MAIN(SearchTest)
#include "SearchTest.moc"
