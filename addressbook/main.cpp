// LumoAddressBook (住所録): keeps the address book of a folder
// (DIR/Data/LumoBase.mdb): groups, persons with their cards, search as you
// type.
#include <QApplication>
#include <QTranslator>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string_view>

#include "addressbook/BookFolder.h"
#include "addressbook/LibraryMessages.h"
#include "addressbook/MainWindow.h"
#if LUMO_BOOK_OTHER_PARTS
#include "addressbook/OtherParts.h"
#endif
#include "export/wizard/QtJapanese.h"
#include "platform/ErrorReport.h"
#include "platform/MessageSink.h"
#include "engine/ProgramSettings.h"

namespace {

// Also the text of the man page (LumoAddressBook.1), written from this output.
constexpr std::string_view kUsage =
    "使い方 / Usage:\n"
    "  LumoAddressBook [DIR]\n"
    "      フォルダー DIR (省略時は現在のフォルダー) の Data/LumoBase.mdb の住所録を開きます。\n"
    "      データベースがなければ、空のデータベースを作るかどうかを尋ねます。\n"
    "      opens the address book Data/LumoBase.mdb of folder DIR (default: the current folder);\n"
    "      without one it offers to create an empty one\n"
    "  LumoAddressBook --help\n"
    "      この説明を表示します / shows this text\n"
    "  LumoAddressBook --version\n"
    "      版を表示します / shows the version\n"
    "例 / Examples:\n"
    "  lumo init --sample ~/住所録 && LumoAddressBook ~/住所録\n";

}  // namespace

int main(int argc, char* argv[]) {
    lumo::db::configureSqliteForProgram();
    if (const auto answered = lumo::wizard::answerWithoutWindows(argc, argv, "LumoAddressBook", LUMO_VERSION, kUsage))
        return *answered;
    if (argc > 2) {
        std::fwrite(kUsage.data(), 1, kUsage.size(), stderr);
        return 2;
    }
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Lumo"));
    QApplication::setApplicationName(QStringLiteral("LumoAddressBook"));
    QApplication::setApplicationDisplayName(QStringLiteral("住所録"));
    QTranslator qtTexts;
    lumo::wizard::makeApplicationJapanese(qtTexts);

    std::unique_ptr<lumo::book::LibraryMessages> messages;
    if (lumo::reported("FM-ab0001", [&] { messages = std::make_unique<lumo::book::LibraryMessages>(); }))
        return 1;

    std::error_code ec;
    lumo::book::BookFolder book{std::filesystem::absolute(argc == 2 ? argv[1] : ".", ec)};
    switch (lumo::book::databaseState(book)) {
    case lumo::book::DatabaseState::Jet:
        lumo::showMessage(lumo::book::jetDatabaseReport(book), lumo::MsgButtons::OK, lumo::MsgIcon::Exclamation);
        return 1;
    case lumo::book::DatabaseState::Missing:
        if (lumo::showMessage(lumo::book::missingDatabaseQuestion(book), lumo::MsgButtons::YesNo,
                              lumo::MsgIcon::Question, "新規作成確認") != lumo::MsgResult::Yes)
            return 1;
        if (lumo::reported("FM-ab0002", [&] { lumo::book::createEmptyDatabases(book); })) return 1;
        break;
    case lumo::book::DatabaseState::Present: break;
    }
    lumo::book::MainWindow window(book);
    if (!window.open()) return 1;
#if LUMO_BOOK_OTHER_PARTS
    lumo::book::addOtherParts(window);
#endif
    window.show();
    return QApplication::exec();
}
