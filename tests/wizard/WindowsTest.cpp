// The menu and the destination window: their start, the connection text,
// the folder and overwrite questions, the file lists and the way the
// windows lead to one another.
#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QTranslator>
#include <QTest>
#include <filesystem>

#include "export/wizard/QtJapanese.h"
#include "export/wizard/QtMessageSink.h"
#include "export/wizard/ScreenPointer.h"
#include "export/wizard/WizardWindows.h"
#include "export/wizard/frmExport.h"
#include "export/wizard/frmMain.h"
#include "export/wizard/frmProcInfo.h"
#include "platform/MessageSink.h"
#include "tests/wizard/WizardFixture.h"

using namespace lumo;
using namespace lumo::wizard;
using lumo::test::DatabaseFolder;
using lumo::test::readBytes;
namespace fs = std::filesystem;


namespace {

bool pointerIsNormal() { return QGuiApplication::overrideCursor() == nullptr; }

int visibleWindows() {
    int visible = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible()) ++visible;
    return visible;
}

// The destination window as the menu opens it.
frmExport& openDestination(WizardWindows& windows, bool goods = false) {
    frmMain& menu = windows.loadMain();
    menu.show();
    if (goods) menu.optSina.setChecked(true);
    menu.cmdNext.click();
    return *windows.destination();
}

}  // namespace

class WindowsTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { showDefaultPointer(); }

    // Window titles do not show in offscreen pictures; the menu's label is
    // the one caption with half-width katakana.
    void captions() {
        WizardWindows windows;
        QCOMPARE(windows.loadMain().windowTitle(), QStringLiteral("エクスポートメニュー"));
        QCOMPARE(windows.menu()->Label1.text(), QStringLiteral("エクスポートするﾃﾞｰﾀを選択して下さい。"));
        QCOMPARE(windows.loadExport().windowTitle(), QStringLiteral("エクスポート"));
        QCOMPARE(frmProcInfo().windowTitle(), QStringLiteral("エクスポート状況"));
    }

    void menuStartsWithPersonOption() {
        WizardWindows windows;
        frmMain& menu = windows.loadMain();
        menu.show();
        QVERIFY(menu.optHito.isChecked());
        QVERIFY(!menu.optSina.isChecked());
    }

    void nextBuildsConnectionText_data() {
        QTest::addColumn<bool>("goods");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("file");
        QTest::newRow("persons") << false << 0 << QStringLiteral("\\Data\\LumoBase.mdb");
        QTest::newRow("goods") << true << 1 << QStringLiteral("\\Data\\iLumoBase.mdb");
    }
    void nextBuildsConnectionText() {
        QFETCH(bool, goods);
        QFETCH(int, kind);
        QFETCH(QString, file);
        DatabaseFolder folder;
        RecordingSink sink;
        WizardWindows windows;
        frmExport& destination = openDestination(windows, goods);

        QVERIFY(!windows.menu()->isVisible());
        QVERIFY(destination.isVisible());
        QCOMPARE(int{destination.m_intExportType}, kind);
        QCOMPARE(destination.m_strServerConnection,
                 lumo::db::jetConnectionString(folder.path() + file.toStdString()));
        // The lists start where the program was started; the name is empty.
        QCOMPARE(destination.dirList.path().toStdString(), folder.path());
        QCOMPARE(destination.fileList.path().toStdString(), folder.path());
        QVERIFY(destination.txtFileName.text().isEmpty());
        QVERIFY(sink.messages().empty());
    }

    void missingFolder_data() {
        QTest::addColumn<MsgResult>("answer");
        QTest::newRow("yes") << MsgResult::Yes;
        QTest::newRow("no") << MsgResult::No;
    }
    void missingFolder() {
        QFETCH(MsgResult, answer);
        DatabaseFolder folder;
        const std::string expected = folder.reference(exporter::kPersons);
        RecordingSink sink;
        WizardWindows windows;
        frmExport& destination = openDestination(windows);
        const fs::path out = folder.file("出力");
        fs::create_directory(out);
        destination.dirList.setPath(QString::fromStdString(out.string()));
        fs::remove(out);  // gone since it was chosen
        destination.txtFileName.setText(QStringLiteral("人.csv"));
        sink.answer(answer);
        const lumo::test::PointerWitness pointer;
        destination.cmdExport.click();

        QCOMPARE(pointer.hourglass(), std::vector<bool>{true});  // asked while the hourglass showed
        QCOMPARE(sink.messages().size(), std::size_t{1});
        const MessageRequest& question = sink.messages()[0];
        QCOMPARE(question.title, std::string("新規作成確認"));
        QCOMPARE(question.text, std::string("指定されたフォルダが見つかりませんでした。\r\n新しくフォルダを作成します。よろしいですか？"));
        QVERIFY(question.buttons == MsgButtons::YesNo && question.icon == MsgIcon::Question);
        if (answer == MsgResult::Yes) {
            QCOMPARE(readBytes(out / "人.csv"), expected);
        } else {
            QVERIFY(!fs::exists(out));
        }
        QVERIFY(destination.isVisible());
        QVERIFY(pointerIsNormal());
    }

    void existingFile_data() { missingFolder_data(); }
    void existingFile() {
        QFETCH(MsgResult, answer);
        DatabaseFolder folder;
        const std::string expected = folder.reference(exporter::kPersons);
        RecordingSink sink;
        WizardWindows windows;
        frmExport& destination = openDestination(windows);
        lumo::test::writeBytes(folder.file("old.csv"), "old\r\n");
        destination.txtFileName.setText(QStringLiteral("old.csv"));
        sink.answer(answer);
        const lumo::test::PointerWitness pointer;
        destination.cmdExport.click();

        QCOMPARE(pointer.hourglass(), std::vector<bool>{true});
        QCOMPARE(sink.messages().size(), std::size_t{1});
        QCOMPARE(sink.messages()[0].title, std::string("ファイルの上書き確認"));
        QCOMPARE(sink.messages()[0].text, std::string("同じ名前のファイルが存在しているため、ファイルを上書きします。よろしいですか？"));
        QCOMPARE(readBytes(folder.file("old.csv")), answer == MsgResult::Yes ? expected : std::string("old\r\n"));
        QVERIFY(destination.isVisible());
        QVERIFY(pointerIsNormal());
    }

    // Menu → destination → run → destination → menu → end, with goods data.
    void windowFlow() {
        DatabaseFolder folder;
        const std::string expected = folder.reference(exporter::kGoods);
        RecordingSink sink;
        WizardWindows windows;
        frmExport& destination = openDestination(windows, true);
        destination.txtFileName.setText(QStringLiteral("goods.csv"));
        destination.cmdExport.click();

        QCOMPARE(readBytes(folder.file("goods.csv")), expected);
        QVERIFY(sink.messages().empty());
        QVERIFY(QApplication::activeModalWidget() == nullptr);  // the progress window closed itself
        QVERIFY(destination.isVisible());
        QVERIFY(pointerIsNormal());
        QCOMPARE(visibleWindows(), 1);

        destination.cmdClose.click();
        QVERIFY(!destination.isVisible());
        frmMain* menu = windows.menu();
        QVERIFY(menu->isVisible());
        QVERIFY(menu->optHito.isChecked());  // a fresh menu
        QCOMPARE(visibleWindows(), 1);

        menu->cmdClose.click();
        QCOMPARE(visibleWindows(), 0);  // the program ends
    }

    void closingDestinationBringsMenuBack() {
        DatabaseFolder folder;
        RecordingSink sink;
        WizardWindows windows;
        frmExport& destination = openDestination(windows);
        QVERIFY(destination.close());
        QVERIFY(windows.menu()->isVisible());
        QVERIFY(sink.messages().empty());
        // The next destination window starts afresh.
        frmExport& again = openDestination(windows);
        QVERIFY(again.isVisible());
        QVERIFY(again.txtFileName.text().isEmpty());
    }

    void emptyFileNameStartsNoRun() {
        DatabaseFolder folder;
        RecordingSink sink;
        WizardWindows windows;
        frmExport& destination = openDestination(windows);
        const fs::path out = folder.file("missing");
        fs::create_directory(out);
        destination.dirList.setPath(QString::fromStdString(out.string()));
        fs::remove(out);
        destination.cmdExport.click();

        QCOMPARE(sink.messages().size(), std::size_t{1});  // no folder question, no run
        const MessageRequest& message = sink.messages()[0];
        QCOMPARE(message.text, std::string(kNoFileName));
        QVERIFY(message.buttons == MsgButtons::OK && message.icon == MsgIcon::Exclamation);
        QVERIFY(!fs::exists(out));
        QVERIFY(destination.isVisible());
        QVERIFY(pointerIsNormal());
    }

    void fileListAndFolderList() {
        DatabaseFolder folder;
        RecordingSink sink;
        WizardWindows windows;
        frmExport& destination = openDestination(windows);
        const fs::path dir = folder.file("files");
        fs::create_directories(dir / "sub");
        for (const char* name : {"b.txt", "a.csv", ".hidden"}) lumo::test::writeBytes(dir / name, "x");
        destination.dirList.setPath(QString::fromStdString(dir.string()));

        QStringList listed;
        for (int i = 0; i < destination.fileList.count(); ++i) listed << destination.fileList.item(i)->text();
        QCOMPARE(listed, (QStringList{QStringLiteral("a.csv"), QStringLiteral("b.txt")}));
        QListWidgetItem* b = destination.fileList.item(1);
        QTest::mouseClick(destination.fileList.viewport(), Qt::LeftButton, {},
                          destination.fileList.visualItemRect(b).center());
        QCOMPARE(destination.txtFileName.text(), QStringLiteral("b.txt"));

        // Choosing a sub-folder shows its files.
        QTreeWidgetItem* here = destination.dirList.currentItem();
        QCOMPARE(here->childCount(), 1);
        destination.dirList.setCurrentItem(here->child(0));
        QCOMPARE(destination.fileList.path().toStdString(), (dir / "sub").string());
        QCOMPARE(destination.fileList.count(), 0);
        QVERIFY(sink.messages().empty());

        // A folder that has gone since it was listed is reported by the
        // folder list's handler, its line break a lone CR.
        fs::create_directory(dir / "sub" / "gone");
        destination.dirList.setPath(QString::fromStdString((dir / "sub").string()));
        fs::remove(dir / "sub" / "gone");
        destination.dirList.setCurrentItem(destination.dirList.currentItem()->child(0));
        QCOMPARE(sink.messages().size(), std::size_t{1});
        const std::string& report = sink.messages()[0].text;
        QVERIFY2(report.starts_with("FM-exp1004\r") && !report.starts_with("FM-exp1004\r\n"), report.c_str());
        QVERIFY(report.size() > std::string("FM-exp1004\r").size());
    }

    void driveChangeShowsVolumeRoot() {
        DatabaseFolder folder;
        RecordingSink sink;
        WizardWindows windows;
        frmExport& destination = openDestination(windows);
        const QString root = DriveList::volumeOf(QString::fromStdString(folder.path()));
        const int index = destination.drvList.findData(root);
        QVERIFY(index >= 0);
        QCOMPARE(destination.drvList.currentIndex(), index);  // the current directory's volume
        emit destination.drvList.activated(index);
        QCOMPARE(destination.dirList.path(), root);
        QCOMPARE(destination.fileList.path(), root);
        QVERIFY(sink.messages().empty());
    }

    // The program's boxes: title, text, buttons in Japanese, the answer.
    void qtMessageBoxes() {
        QTranslator japanese;
        QVERIFY(installJapaneseQtTexts(japanese));
        QApplication::setApplicationName(QStringLiteral("LumoExport"));
        QString title, text, yes, defaultButton;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMetaObject::invokeMethod(
            qApp,
            [&] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                if (!box) return;
                title = box->windowTitle();
                text = box->text();
                icon = box->icon();
                yes = box->button(QMessageBox::Yes)->text();
                defaultButton = box->defaultButton()->text();
                box->button(QMessageBox::No)->click();
            },
            Qt::QueuedConnection);
        const MsgResult answer =
            showMessageBox({"FM-exp1003\r説明", MsgButtons::YesNo, MsgIcon::Question, std::string()});

        QCOMPARE(answer, MsgResult::No);
        QCOMPARE(title, QStringLiteral("LumoExport"));  // no title of its own: the program's name
        QCOMPARE(text, QStringLiteral("FM-exp1003\n説明"));
        QCOMPARE(icon, QMessageBox::Question);
        QVERIFY2(yes.startsWith(QStringLiteral("はい")), qPrintable(yes));
        QCOMPARE(defaultButton, yes);
    }
};

QTEST_MAIN(WindowsTest)
#include "WindowsTest.moc"
#include "engine/ConnectionString.h"
