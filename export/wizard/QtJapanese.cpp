#include "export/wizard/QtJapanese.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFont>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QString>
#include <QTranslator>
#include <cstdio>

namespace lumo::wizard {

bool installJapaneseQtTexts(QTranslator& translator) {
    if (!translator.load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    return QCoreApplication::installTranslator(&translator);
}

QString useJapaneseFont() {
    // The gothic faces of Japanese desktops, the packages' Recommends first
    // (fonts-noto-cjk, fonts-ipafont-gothic); then any face made for Japanese.
    static const char* const kPreferred[] = {"Noto Sans CJK JP", "IPAexGothic", "IPAGothic", "IPAPGothic",
                                             "VL Gothic", "TakaoGothic", "Noto Serif CJK JP", "IPAexMincho"};
    const QStringList installed = QFontDatabase::families(QFontDatabase::Japanese);
    QString family;
    for (const char* name : kPreferred)
        if (installed.contains(QString::fromUtf8(name), Qt::CaseInsensitive)) {
            family = QString::fromUtf8(name);
            break;
        }
    if (family.isEmpty()) {
        // A face that lists Japanese among many (a pan-Unicode one) draws
        // kanji in its Chinese forms; one named for Japan is the better guess.
        for (const QString& name : installed)
            if (name.contains(QStringLiteral("JP")) || name.contains(QStringLiteral("Gothic"))) {
                family = name;
                break;
            }
    }
    if (family.isEmpty()) return {};
    QFont font = QApplication::font();
    font.setFamilies({family});
    QApplication::setFont(font);
    return family;
}

void makeApplicationJapanese(QTranslator& translator) {
    installJapaneseQtTexts(translator);
    useJapaneseFont();
}

std::optional<int> answerWithoutWindows(int argc, char* argv[], std::string_view name, std::string_view version,
                                        std::string_view usage) {
    if (argc != 2) return std::nullopt;
    const std::string_view option(argv[1]);
    if (option == "--help" || option == "-h") {
        std::fwrite(usage.data(), 1, usage.size(), stdout);
        return 0;
    }
    if (option == "--version") {
        std::printf("%.*s %.*s\n", static_cast<int>(name.size()), name.data(), static_cast<int>(version.size()),
                    version.data());
        return 0;
    }
    return std::nullopt;
}

}  // namespace lumo::wizard
