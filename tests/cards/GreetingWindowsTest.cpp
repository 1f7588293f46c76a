// The address book's year's list and print preview, driven offscreen: the
// filters and counts, search as you type with Space ticking 受 while the
// box keeps the focus, the preview drawn from the cairo drawing, saving
// with 出 ticked. LUMO_SCREENSHOT_DIR, when set, receives a picture of each.
#include <QApplication>
#include <QLineEdit>
#include <QSettings>
#include <QStandardPaths>
#include <QTableWidget>
#include <QtTest>

#include "addressbook/greetings/PrintPreviewWindow.h"
#include "addressbook/greetings/YearListWindow.h"
#include "tests/cards/CardFixture.h"

namespace lumo::greetings {

class GreetingWindowsTest : public QObject {
    Q_OBJECT

    void screenshot(QWidget& window, const char* name) {
        const QByteArray dir = qgetenv("LUMO_SCREENSHOT_DIR");
        if (!dir.isEmpty()) QVERIFY(window.grab().save(QString(dir) + "/" + name));
    }
    // Typed characters, kana included (QTest::keyClicks knows Latin-1 only).
    static void type(QWidget* widget, const QString& text) {
        for (const QChar c : text) {
            QTest::sendKeyEvent(QTest::Press, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }
    std::string received(int person) {
        return test::Db(personDb_).text("SELECT NEWYEAR_RECEIVE FROM T_GREETING WHERE TARGET = 2027 AND PERSON_ID = " +
                                        std::to_string(person));
    }

    std::unique_ptr<test::ScratchFolder> folder_;
    std::string personDb_;

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() {
        folder_ = std::make_unique<test::ScratchFolder>();
        personDb_ = test::makeEmptyDatabases(folder_->path());
        test::fillCardFixture(personDb_);
    }

    void yearListFiltersCountsAndTicksFromTheSearchBox() {
        AddressBook book(folder_->path());
        YearListWindow window(book);
        window.setYear(test::kYear);
        window.setFilter(YearFilter::ToSend);
        QCOMPARE(window.shownIds(), (std::vector<LumoAccess::Long>{6, 2, 4, 5, 1, 3}));
        QVERIFY(window.countsText().contains("送る 6"));
        window.setFilter(YearFilter::Mourning);
        QCOMPARE(window.shownIds(), (std::vector<LumoAccess::Long>{7}));
        window.setFilter(YearFilter::All);
        window.show();
        window.activateWindow();
        window.searchBox()->setFocus();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        screenshot(window, "greetings-year-list.png");

        // January: names typed one after another, Space ticks 受.
        type(window.searchBox(), "やまだ");
        QCOMPARE(window.shownIds(), (std::vector<LumoAccess::Long>{1}));
        QTest::keyClick(window.searchBox(), Qt::Key_Space);
        QCOMPARE(received(1), "-1");
        QCOMPARE(window.searchBox()->text(), QString("やまだ"));
        QCOMPARE(QApplication::focusWidget(), window.searchBox());
        window.searchBox()->clear();
        type(window.searchBox(), "佐藤");
        QTest::keyClick(window.searchBox(), Qt::Key_Space);
        QCOMPARE(received(2), "-1");
        QCOMPARE(QApplication::focusWidget(), window.searchBox());
        // Space again takes the tick off.
        QTest::keyClick(window.searchBox(), Qt::Key_Space);
        QCOMPARE(received(2), "0");
        window.setFilter(YearFilter::Unanswered);
        window.searchBox()->clear();
        QCOMPARE(window.shownIds(), (std::vector<LumoAccess::Long>{1}));
    }

    void previewShowsTheCardsAndWhoIsLeftOut() {
        AddressBook book(folder_->path());
        PrintRequest request;
        request.year = test::kYear;
        PrintPreviewWindow window(book, request, cards::Sender{"1500001", "東京都渋谷区神宮前1-2-3", "", "山田　太郎"});
        QCOMPARE(window.cardCount(), 5);
        QVERIFY(window.leftOutText().contains("伊藤 誠 (住所がありません)"));
        QVERIFY(window.leftOutText().contains("林 恵子 (2027年は喪中です)"));
        // 100 x 148 mm at 110 dpi.
        QCOMPARE(window.image().width(), 433);
        QCOMPARE(window.image().height(), 641);
        window.showCard(3);  // 山田
        const QImage kanji = window.image();
        window.setNumbers(cards::NumberStyle::Arabic);
        QVERIFY(window.image() != kanji);
        window.setNumbers(cards::NumberStyle::Kanji);
        QCOMPARE(window.image(), kanji);
        // The offset moves the drawing and is kept for the next window.
        window.setOffset(2.0, -1.5);
        QVERIFY(window.image() != kanji);
        {
            PrintPreviewWindow again(book, request);
            again.showCard(3);
            QCOMPARE(again.image().size(), kanji.size());
        }
        QCOMPARE(QSettings().value("cards/offsetX").toDouble(), 2.0);
        QCOMPARE(QSettings().value("cards/offsetY").toDouble(), -1.5);
        window.setOffset(0, 0);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        screenshot(window, "greetings-print-preview.png");

        const std::filesystem::path pdf = folder_->path() / "cards.pdf";
        QCOMPARE(window.save(pdf, true), 0);
        QVERIFY(std::filesystem::file_size(pdf) > 1000);
        QCOMPARE(test::Db(personDb_).integer("SELECT COUNT(*) FROM T_GREETING WHERE TARGET = 2027 AND NEWYEAR_SEND = -1"),
                 5);
    }
};

}  // namespace lumo::greetings

QTEST_MAIN(lumo::greetings::GreetingWindowsTest)
#include "GreetingWindowsTest.moc"
