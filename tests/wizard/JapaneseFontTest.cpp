// Under a locale that is not Japanese (ctest runs this program with
// LANG=C), the wizard's texts are drawn in one Japanese face: kanji, kana
// and Latin letters alike, not kanji in a Chinese face beside Japanese kana.
#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGlyphRun>
#include <QLabel>
#include <QRawFont>
#include <QSet>
#include <QTest>
#include <QTextLayout>

#include "export/wizard/QtJapanese.h"

namespace {

// The faces that draw `text` in `font`, as Qt lays it out.
QSet<QString> facesOf(const QString& text, const QFont& font) {
    QTextLayout layout(text, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    QSet<QString> faces;
    for (const QGlyphRun& run : layout.glyphRuns()) faces.insert(run.rawFont().familyName());
    return faces;
}

}  // namespace

class JapaneseFontTest : public QObject {
    Q_OBJECT

private slots:
    void kanjiAndKanaShareTheJapaneseFace() {
        QCOMPARE(qgetenv("LANG"), QByteArray("C"));
        if (QFontDatabase::families(QFontDatabase::Japanese).isEmpty()) QSKIP("no Japanese font installed");
        const QString family = lumo::wizard::useJapaneseFont();
        QVERIFY(!family.isEmpty());
        QVERIFY2(QFontDatabase::families(QFontDatabase::Japanese).contains(family), qPrintable(family));

        // The windows' captions: menu and destination texts, with digits.
        QLabel caption(QStringLiteral("人データ・品データのエクスポート 2024年"));
        QCOMPARE(QFontInfo(caption.font()).family(), family);
        for (const QString& text : {QStringLiteral("漢字"), QStringLiteral("ひらがなカタカナ"),
                                    QStringLiteral("出力先のフォルダーを選んでください"), caption.text()}) {
            const QSet<QString> faces = facesOf(text, caption.font());
            QVERIFY2(faces == QSet<QString>{family},
                     qPrintable(text + QStringLiteral(": ") + QStringList(faces.values()).join(QStringLiteral(", "))));
        }
    }
};

QTEST_MAIN(JapaneseFontTest)
#include "JapaneseFontTest.moc"
