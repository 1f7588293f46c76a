// The progress window's percentage: shown beside the bar, never drawn on
// it (where part of it would sit on the filled colour and part on the
// empty one), and always the bar's own figure.
#include <QTest>

#include "export/wizard/frmProcInfo.h"

using lumo::wizard::frmProcInfo;

class ProgressTextTest : public QObject {
    Q_OBJECT

private slots:
    void percentageBesideTheBar_data() {
        QTest::addColumn<int>("records");
        QTest::addColumn<int>("done");
        QTest::addColumn<QString>("shown");
        QTest::newRow("start") << 10 << 0 << QStringLiteral("0%");
        QTest::newRow("a third") << 3 << 1 << QStringLiteral("33%");
        QTest::newRow("half of many") << 20000 << 10000 << QStringLiteral("50%");
        QTest::newRow("end") << 7 << 7 << QStringLiteral("100%");
    }
    void percentageBesideTheBar() {
        QFETCH(int, records);
        QFETCH(int, done);
        QFETCH(QString, shown);
        frmProcInfo progress;
        // As the run drives the bar: its range first, then each record.
        progress.expbar.setRange(0, records);
        for (int value : {0, done}) progress.expbar.setValue(value);
        QVERIFY(!progress.expbar.isTextVisible());
        QCOMPARE(progress.lblPercent.text(), shown);
        QCOMPARE(progress.lblPercent.text(), progress.expbar.text());
    }
};

QTEST_MAIN(ProgressTextTest)
#include "ProgressTextTest.moc"
