// The main window's entries for the parts built beside 住所録: the 年賀状
// menu opens the year's list on the same folder, the ファイル menu holds
// the vCard entries, and the 同期 button sits on the tool bar with the
// last sync in the status bar.
#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

#include "addressbook/MainWindow.h"
#include "addressbook/OtherParts.h"
#include "addressbook/greetings/YearListWindow.h"
#include "tests/addressbook/BookFixture.h"

using namespace lumo;

namespace {

QAction* actionNamed(const QList<QAction*>& actions, const QString& text) {
    for (QAction* action : actions)
        if (action->text() == text) return action;
    return nullptr;
}

}  // namespace

class OtherPartsTest : public QObject {
    Q_OBJECT
private slots:
    void theEntriesAreThereAndTheYearListOpensOnTheFolder() {
        test::TemporaryFolder folder;
        test::makeSampleFolder(folder.path());
        book::MainWindow window(book::BookFolder{folder.path()});
        QVERIFY(window.open());
        book::addOtherParts(window);
        window.show();
        QVERIFY(test::waitForList(window));

        QVERIFY(actionNamed(window.fileMenu()->actions(), QStringLiteral("vCard の読み込み(&I)...")));
        QVERIFY(actionNamed(window.fileMenu()->actions(), QStringLiteral("vCard の書き出し(&V)...")));
        QAction* sync = actionNamed(window.mainToolBar()->actions(), QStringLiteral("同期"));
        QVERIFY(sync);
        QVERIFY(!sync->shortcut().isEmpty());
        QCOMPARE(window.statusBar()->currentMessage(), QStringLiteral("同期したことはありません"));

        QAction* cardsMenu = actionNamed(window.menuBar()->actions(), QStringLiteral("年賀状(&Y)"));
        QVERIFY(cardsMenu && cardsMenu->menu());
        QAction* list = actionNamed(cardsMenu->menu()->actions(), QStringLiteral("年賀状の一覧と印刷(&L)..."));
        QVERIFY(list);
        list->trigger();
        greetings::YearListWindow* opened = nullptr;
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* yearList = qobject_cast<greetings::YearListWindow*>(widget)) opened = yearList;
        QVERIFY(opened);
        QVERIFY(opened->isVisible());
        opened->close();  // deletes itself and reads the lists again
        QVERIFY(test::waitForList(window));
    }
};

QTEST_MAIN(OtherPartsTest)
#include "OtherPartsTest.moc"
