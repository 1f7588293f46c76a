// The progress window: the run from its activation, the progress bar, the
// Cancel question, closing at the end and staying open after a failure.
#include <QGuiApplication>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <vector>

#include "export/wizard/ScreenPointer.h"
#include "export/wizard/frmProcInfo.h"
#include "platform/MessageSink.h"
#include "platform/FaultInjection.h"
#include "tests/wizard/WizardFixture.h"

using namespace lumo;
using namespace lumo::wizard;
using lumo::test::DatabaseFolder;
using lumo::test::readBytes;
namespace fs = std::filesystem;

namespace {

// A progress window set up the way the destination window sets it up.
void prepare(frmProcInfo& progress, const DatabaseFolder& folder, int16_t kind, const std::string& file) {
    progress.m_intTypeFlag = kind;
    progress.m_strServer = folder.connection(kind);
    progress.m_strFile = folder.file(file).string();
}

// Asks the window to stop (through `action`) while the run is between
// records, as a click would be handled, once the bar shows `value`.
void duringRecord(frmProcInfo& progress, int value, void (*action)(frmProcInfo&)) {
    QObject::connect(&progress.expbar, &QProgressBar::valueChanged, &progress, [&progress, value, action](int v) {
        if (v == value) QMetaObject::invokeMethod(&progress, [&progress, action] { action(progress); }, Qt::QueuedConnection);
    });
}

void pressCancel(frmProcInfo& progress) { progress.cmdCancel.click(); }
void closeWindow(frmProcInfo& progress) { progress.close(); }

}  // namespace

class ProgressTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { showDefaultPointer(); }

    void wholeRunWritesFileAndCloses_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("records");
        QTest::newRow("persons") << 0 << DatabaseFolder::kPersonCount;
        QTest::newRow("goods") << 1 << DatabaseFolder::kSheetCount;
    }
    void wholeRunWritesFileAndCloses() {
        QFETCH(int, kind);
        QFETCH(int, records);
        DatabaseFolder folder;
        const std::string expected = folder.reference(static_cast<int16_t>(kind));
        RecordingSink sink;
        frmProcInfo progress;
        prepare(progress, folder, static_cast<int16_t>(kind), "out.csv");
        std::vector<int> values;
        bool hourglassDuringRun = true;
        QObject::connect(&progress.expbar, &QProgressBar::valueChanged, [&](int v) {
            values.push_back(v);
            hourglassDuringRun = hourglassDuringRun && hourglassShown();
        });
        showHourglass();  // as the destination window leaves it

        QCOMPARE(progress.exec(), int{QDialog::Accepted});  // returns only when the window has closed

        QCOMPARE(readBytes(folder.file("out.csv")), expected);
        QCOMPARE(progress.expbar.maximum(), records);
        std::vector<int> perRecord;
        for (int i = 1; i <= records; ++i) perRecord.push_back(i);
        QCOMPARE(values, perRecord);
        QVERIFY(hourglassDuringRun);
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);
        QVERIFY(sink.messages().empty());
    }

    void stopRequest_data() {
        QTest::addColumn<bool>("viaCloseBox");
        QTest::addColumn<MsgResult>("answer");
        QTest::addColumn<int>("lines");  // header included
        QTest::newRow("cancel, no") << false << MsgResult::No << 1 + DatabaseFolder::kPersonCount;
        QTest::newRow("cancel, yes") << false << MsgResult::Yes << 1 + 2;
        QTest::newRow("close box, yes") << true << MsgResult::Yes << 1 + 2;
    }
    void stopRequest() {
        QFETCH(bool, viaCloseBox);
        QFETCH(MsgResult, answer);
        QFETCH(int, lines);
        DatabaseFolder folder;
        const std::string full = folder.reference(exporter::kPersons);
        RecordingSink sink;
        frmProcInfo progress;
        prepare(progress, folder, exporter::kPersons, "out.csv");
        duringRecord(progress, 2, viaCloseBox ? &closeWindow : &pressCancel);
        sink.answer(answer);

        QCOMPARE(progress.exec(), int{QDialog::Accepted});

        QCOMPARE(sink.messages().size(), std::size_t{1});
        const MessageRequest& question = sink.messages()[0];
        QCOMPARE(question.title, std::string("エクスポートの中止"));
        QCOMPARE(question.text, std::string("エクスポートを中止します。よろしいですか？"));
        QVERIFY(question.buttons == MsgButtons::YesNo && question.icon == MsgIcon::Question);
        const std::string written = readBytes(folder.file("out.csv"));
        QCOMPARE(lumo::test::countLines(written), lines);
        QCOMPARE(written, lumo::test::firstLines(full, lines));
        QCOMPARE(progress.m_blnStop, answer == MsgResult::Yes);
    }

    // Cancel over a file the user chose to replace: the file stays as it
    // was, and the closing message says so.
    void cancelKeepsTheFileItWouldReplace() {
        DatabaseFolder folder;
        std::ofstream(folder.file("out.csv"), std::ios::binary) << "old,complete\r\n";
        RecordingSink sink;
        frmProcInfo progress;
        prepare(progress, folder, exporter::kPersons, "out.csv");
        duringRecord(progress, 2, &pressCancel);
        sink.answer(MsgResult::Yes);

        QCOMPARE(progress.exec(), int{QDialog::Accepted});

        QCOMPARE(readBytes(folder.file("out.csv")), std::string("old,complete\r\n"));
        QCOMPARE(sink.messages().size(), std::size_t{2});
        QCOMPARE(sink.messages()[1].text,
                 std::string("中止したため、既存のファイルはそのまま残しています (書き出した 2 件は保存していません)。"));
        QVERIFY(sink.messages()[1].icon == MsgIcon::Information);
        for (const auto& e : fs::directory_iterator(folder.file("out.csv").parent_path()))
            QVERIFY2(e.path().filename().string().find(".tmp-") == std::string::npos, e.path().c_str());
    }

    void missingDatabaseReportsAndKeepsWindow() {
        DatabaseFolder folder;
        RecordingSink sink;
        frmProcInfo progress;
        prepare(progress, folder, exporter::kPersons, "out.csv");
        progress.m_strServer = lumo::db::jetConnectionString(folder.path() + "\\Data\\Missing.mdb");
        showHourglass();
        progress.show();
        QCoreApplication::processEvents();  // the activation runs the export

        QCOMPARE(sink.messages().size(), std::size_t{1});
        QVERIFY2(sink.messages()[0].text.starts_with("FM-pi1003\r\n"), sink.messages()[0].text.c_str());
        QVERIFY(!fs::exists(folder.file("out.csv")));
        QVERIFY(progress.isVisible());
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);
        // Once the run has ended the window closes like any other.
        QVERIFY(progress.close());
        QCOMPARE(sink.messages().size(), std::size_t{1});
    }

    // The disk fills while the first record is written: one message box,
    // the window stays, the file the user chose to replace is unchanged.
    void diskFullShowsOneMessageAndKeepsThePreviousFile() {
        DatabaseFolder folder;
        std::ofstream(folder.file("out.csv")) << "old";
        RecordingSink sink;
        frmProcInfo progress;
        prepare(progress, folder, exporter::kPersons, "out.csv");
        {
            // File steps: creating the file, its header, then the first record.
            db::ScopedFault full({.failAt = 3, .kind = db::FaultKind::DiskFull, .sticky = true,
                                  .onlyStep = db::FaultStep::FileWrite});
            progress.show();
            QCoreApplication::processEvents();  // the activation runs the export
        }
        QCOMPARE(sink.messages().size(), std::size_t{1});
        const std::string& text = sink.messages()[0].text;
        QVERIFY2(text.starts_with("CLS-exp1005\r\n") && text.find("No space left on device") != std::string::npos,
                 text.c_str());
        QVERIFY(progress.isVisible());
        QCOMPARE(readBytes(folder.file("out.csv")), std::string("old"));
        for (const auto& e : fs::directory_iterator(folder.file("out.csv").parent_path()))
            QVERIFY2(e.path().filename().string().find(".tmp-") == std::string::npos, e.path().c_str());
        QVERIFY(progress.close());
    }

    void emptyTableEndsAtOnce() {
        DatabaseFolder folder;
        tools::InitOptions options;  // databases without records
        options.folder = folder.path() + "/empty";
        tools::createDatabases(options);
        RecordingSink sink;
        frmProcInfo progress;
        progress.m_strServer = lumo::db::jetConnectionString(folder.path() + "\\empty\\Data\\LumoBase.mdb");
        progress.m_strFile = folder.file("out.csv").string();
        QCOMPARE(progress.exec(), int{QDialog::Accepted});
        QCOMPARE(lumo::test::countLines(readBytes(folder.file("out.csv"))), 1);  // the header alone
        QVERIFY(sink.messages().empty());
    }
};

QTEST_MAIN(ProgressTest)
#include "ProgressTest.moc"
#include "engine/ConnectionString.h"
