// LumoExport: writes the person data or the goods data of the databases
// under the current directory to a CSV file, led by three windows.
#include <QApplication>
#include <QTranslator>
#include <string_view>

#include "export/wizard/QtJapanese.h"
#include "export/wizard/QtMessageSink.h"
#include "export/wizard/WizardWindows.h"
#include "export/wizard/frmMain.h"
#include "engine/ProgramSettings.h"

namespace {

// Also the text of the man page (LumoExport.1), written from this output.
constexpr std::string_view kUsage =
    "使い方 / Usage:\n"
    "  LumoExport\n"
    "      現在のフォルダーの Data/LumoBase.mdb (人データ) または Data/iLumoBase.mdb (品データ) を\n"
    "      CSV ファイル (CP932) にエクスポートします。メニューでデータを選び、次の画面で出力先を選びます。\n"
    "      exports the person data or the goods data of the databases under the current folder\n"
    "      to a CSV file (CP932), led by a menu, a destination window and a progress window\n"
    "  LumoExport --help\n"
    "      この説明を表示します / shows this text\n"
    "  LumoExport --version\n"
    "      版を表示します / shows the version\n"
    "例 / Examples:\n"
    "  lumo init --sample sample && cd sample && LumoExport\n"
    "  lumo export person sample      (同じエクスポートを画面なしで / the same export without windows)\n";

}  // namespace

int main(int argc, char* argv[]) {
    lumo::db::configureSqliteForProgram();
    if (const auto answered = lumo::wizard::answerWithoutWindows(argc, argv, "LumoExport", LUMO_VERSION, kUsage))
        return *answered;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("LumoExport"));
    QTranslator qtTexts;
    lumo::wizard::makeApplicationJapanese(qtTexts);
    const lumo::wizard::QtMessageSink messageBoxes;

    lumo::wizard::WizardWindows windows;
    windows.loadMain().show();
    return QApplication::exec();
}
