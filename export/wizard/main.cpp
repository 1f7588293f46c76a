// LumoExport: writes the person data or the goods data of the databases
// under the current directory to a CSV file, led by three windows.
#include <QApplication>
#include <QTranslator>

#include "export/wizard/QtJapanese.h"
#include "export/wizard/QtMessageSink.h"
#include "export/wizard/WizardWindows.h"
#include "export/wizard/frmMain.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("LumoExport"));
    QTranslator qtTexts;
    lumo::wizard::installJapaneseQtTexts(qtTexts);
    const lumo::wizard::QtMessageSink messageBoxes;

    lumo::wizard::WizardWindows windows;
    windows.loadMain().show();
    return QApplication::exec();
}
