// The lists of the 表示 menu: the ToDo rows with their persons, the
// birthdays and anniversaries of the next 30 days, the duplicate
// candidates, and the merge of a pair (written first, the other deleted
// only after that, also when an engine step fails).
#include <QTableWidget>

#include "addressbook/ListWindows.h"
#include "addressbook/Reminders.h"
#include "client/AccessLibrary.h"
#include "platform/MessageSink.h"
#include "engine/Connection.h"
#include "engine/ConnectionString.h"
#include "platform/FaultInjection.h"
#include "tests/addressbook/BookFixture.h"
#include "tests/support/FaultSweep.h"

using namespace lumo;
using Rows = std::vector<std::string>;

namespace {

db::Connection& openOn(db::Connection& c, const std::filesystem::path& folder) {
    c.Open(book::BookFolder{folder}.connectionString());
    return c;
}

// A second 山田 太郎 (person 21): same reading and postal code, his mobile
// number, and a phone, a mail and a greeting year the first one lacks.
void addSecondYamada(const std::filesystem::path& folder) {
    db::Connection c;
    openOn(c, folder);
    c.Execute("INSERT INTO T_PERSON (PERSON_ID, TYPE_ID, LASTNAME, FIRSTNAME, LASTALIAS, FIRSTALIAS, HOME_ZIP, HOBBY, "
              "NICKNAME) VALUES (21, 2, '山田', '太郎', 'やまだ', 'たろう', '150-0001', '将棋', 'タロ')");
    c.Execute("INSERT INTO T_PHONE (PERSON_ID, LABEL, TEL_NUMBER, RANK, TYPE) VALUES (21, '携帯', '090-1234-5678', 1, 'MOBILE')");
    c.Execute("INSERT INTO T_PHONE (PERSON_ID, LABEL, TEL_NUMBER, RANK, TYPE) VALUES (21, '会社', '03-9999-0000', 2, 'OFFICE')");
    c.Execute("INSERT INTO T_EMAIL (PERSON_ID, LABEL, MAIL_ADDRESS, RANK, TYPE) VALUES (21, '会社', 'taro@work.example.jp', 1, '')");
    c.Execute("INSERT INTO T_GREETING (PERSON_ID, TARGET, SUMMER_SEND) VALUES (21, 2019, -1)");
}

const std::string kPhones = "SELECT PERSON_ID, TEL_NUMBER FROM T_PHONE WHERE PERSON_ID IN (1, 21) ORDER BY PERSON_ID, RANK";

}  // namespace

class RemindersTest : public QObject {
    Q_OBJECT
private slots:
    void theTodoListShowsEachRowWithItsPerson() {
        test::TemporaryFolder folder;
        test::makeSampleFolder(folder.path());
        db::Connection c;
        const std::vector<book::TodoRow> rows = book::readTodo(openOn(c, folder.path()));
        QVERIFY(rows.size() >= 5);
        QCOMPARE(rows.front().name, std::string("井上 真理子"));  // いのうえ: the first reading with a ToDo row
        bool yamada = false;
        for (const book::TodoRow& row : rows)
            if (row.personId == 1) {
                yamada = true;
                QCOMPARE(row.name, std::string("山田 太郎"));
                QCOMPARE(row.note, std::string("26/12/24 年賀状を出す\r\n27/01/10 新年会の幹事"));
            }
        QVERIFY(yamada);
    }

    void comingDatesAreTheNextThirtyDays() {
        test::TemporaryFolder folder;
        test::makeSampleFolder(folder.path());
        db::Connection c;
        openOn(c, folder.path());
        // 2026/04/01: 山口 さくら's birthday that day, 山田 太郎's on 04/12.
        std::vector<book::ComingDate> coming = book::readComingDates(c, 46113);
        QCOMPARE(coming.size(), std::size_t{2});
        QCOMPARE(coming[0].personId, 14);
        QCOMPARE(coming[0].inDays, 0);
        QCOMPARE(coming[1].personId, 1);
        QCOMPARE(coming[1].inDays, 11);
        QCOMPARE(coming[1].date, 46124.0);
        // 2026/05/20: 佐藤 花子's wedding anniversary (06/10), no birthday.
        coming = book::readComingDates(c, 46162);
        QCOMPARE(coming.size(), std::size_t{1});
        QCOMPARE(coming[0].personId, 4);
        QVERIFY(!coming[0].birthday);
        QCOMPARE(coming[0].inDays, 21);
        // Born on 2000/02/29: in 2027 the day is 02/28 (小林 翔太's 03/21 follows).
        c.Execute("UPDATE T_PERSON SET BIRTHDAY = 36585 WHERE PERSON_ID = 20");
        coming = book::readComingDates(c, 46438);
        QCOMPARE(coming.size(), std::size_t{2});
        QCOMPARE(coming[1].personId, 11);
        QCOMPARE(coming[0].personId, 20);
        QCOMPARE(coming[0].date, 46446.0);
    }

    void duplicatesArePairedAndMergedIntoTheLeftOne() {
        RecordingSink sink;
        test::OpenBook book;
        addSecondYamada(book.folder.path());
        db::Connection c;
        const std::vector<book::DuplicatePair> pairs = book::readDuplicates(openOn(c, book.folder.path()));
        QCOMPARE(pairs.size(), std::size_t{1});
        QCOMPARE(pairs[0].first, 1);
        QCOMPARE(pairs[0].second, 21);
        QCOMPARE(pairs[0].why, std::string("よみと郵便番号が同じ"));

        auto* window = qobject_cast<book::DuplicatesWindow*>(book.window->showDuplicates());
        QVERIFY(window);
        QCOMPARE(window->table()->rowCount(), 1);
        QCOMPARE(window->table()->item(0, 0)->text(), QString("山田 太郎"));
        QCOMPARE(window->table()->item(0, 2)->text(), QString("山田 太郎"));
        sink.answer(MsgResult::Yes);
        QVERIFY(window->mergeRow(0));
        QCOMPARE(window->table()->rowCount(), 0);
        QCOMPARE(sink.messages().size(), std::size_t{1});  // the question, no report
        QCOMPARE(test::queryRows(book.database(), kPhones),
                 (Rows{"1|03-3401-1234", "1|090-1234-5678", "1|03-9999-0000"}));
        QCOMPARE(test::queryRows(book.database(), "SELECT HOBBY, NICKNAME FROM T_PERSON WHERE PERSON_ID = 1"),
                 (Rows{"釣り|タロ"}));
        QCOMPARE(test::scalarOf(book.database(), "SELECT COUNT(*) FROM T_PERSON WHERE PERSON_ID = 21"), 0LL);
        QCOMPARE(test::scalarOf(book.database(), "SELECT COUNT(*) FROM T_EMAIL WHERE PERSON_ID = 1 AND MAIL_ADDRESS = 'taro@work.example.jp'"), 1LL);
        QCOMPARE(test::scalarOf(book.database(), "SELECT COUNT(*) FROM T_GREETING WHERE PERSON_ID = 1 AND TARGET = 2019 AND SUMMER_SEND <> 0"), 1LL);
        window->close();
    }

    void aSharedPhoneNumberIsADuplicateCandidate() {
        test::TemporaryFolder folder;
        test::makeSampleFolder(folder.path());
        db::Connection c;
        openOn(c, folder.path());
        c.Execute("INSERT INTO T_PHONE (PERSON_ID, LABEL, TEL_NUMBER, RANK, TYPE) VALUES (20, '', '052-261-7777', 2, 'HOME')");
        const std::vector<book::DuplicatePair> pairs = book::readDuplicates(c);
        QCOMPARE(pairs.size(), std::size_t{1});
        QCOMPARE(pairs[0].first, 5);
        QCOMPARE(pairs[0].second, 20);
        QCOMPARE(pairs[0].why, std::string("電話番号 052-261-7777 が同じ"));
    }

    // Whatever step fails, the other person is deleted only after the
    // kept one holds the merged phones.
    void aFailedMergeLeavesAtWorstBoth() {
        const std::uint64_t points = test::sweepFailuresInFolder(
            [](const std::filesystem::path& folder) {
                test::makeSampleFolder(folder);
                addSecondYamada(folder);
            },
            [](const std::filesystem::path& folder) {
                LumoAccess::Ref<LumoAccess::clsPidAccess> pid;
                {
                    const db::FaultPause setup;
                    pid = client::AccessLibrary::instance().create<LumoAccess::clsPidAccess>();
                    pid->Initialize(book::BookFolder{folder}.connectionString());
                }
                const bool merged = book::mergePersons(*pid, 1, 21);
                const db::FaultPause teardown;
                pid.reset();
                return merged;
            },
            [](const test::SweepStep<bool>& s) {
                const auto database = s.database / "Data" / "LumoBase.mdb";
                QCOMPARE(test::integrityCheck(database), std::string("ok"));
                const bool otherGone = test::scalarOf(database, "SELECT COUNT(*) FROM T_PERSON WHERE PERSON_ID = 21") == 0;
                if (!s.fired) QVERIFY(s.result && otherGone);
                if (otherGone)
                    QCOMPARE(test::queryRows(database, kPhones),
                             (Rows{"1|03-3401-1234", "1|090-1234-5678", "1|03-9999-0000"}));
                if (s.fired && !s.result) QVERIFY(!s.reports.empty());
            });
        QVERIFY(points > 5);
    }
};

QTEST_MAIN(RemindersTest)
#include "RemindersTest.moc"
