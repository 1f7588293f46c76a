// Renders the windows of 住所録 to PNG files for a person to check by eye
// (scripts/screenshots-addressbook): the main window on the folder it is
// started in, a search, each tab of a person's card, the ToDo, coming
// dates and duplicates windows, the postal code candidates of a card, and
// the start-up question.
//   LumoAddressBookScreens OUTPUT-FOLDER       (run in the sample folder)
#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QKeyEvent>
#include <QPainter>
#include <QEventLoop>
#include <QLineEdit>
#include <QMessageBox>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QTranslator>
#include <cstdio>
#include <filesystem>

#include "addressbook/LibraryMessages.h"
#include "addressbook/MainWindow.h"
#if LUMO_BOOK_OTHER_PARTS
#include "addressbook/OtherParts.h"
#endif
#include "addressbook/PersonListModel.h"
#include "addressbook/PostalCompleter.h"
#include "export/wizard/QtJapanese.h"
#include "export/wizard/QtMessageSink.h"
#include "engine/ProgramSettings.h"

namespace {

using lumo::book::MainWindow;

// Lets the window's list answer arrive and the window settle.
void waitForList(MainWindow& window) {
    QEventLoop loop;
    QObject::connect(&window, &MainWindow::listShown, &loop, &QEventLoop::quit);
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    loop.exec();
    QApplication::processEvents();
}

bool save(QWidget& widget, const std::filesystem::path& file) {
    QApplication::processEvents();
    const bool ok = widget.grab().save(QString::fromStdString(file.string()));
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", file.c_str());
    return ok;
}

// The card with its popup list of candidates drawn below the field, where
// it shows on a screen (the popup is a window of its own, which grab()
// leaves out, and the offscreen screen is narrower than the card).
bool saveWithPopup(QWidget& card, QWidget& field, QWidget& popup, const std::filesystem::path& file) {
    QApplication::processEvents();
    QPixmap picture = card.grab();
    {
        QPainter painter(&picture);
        painter.drawPixmap(field.mapTo(&card, field.rect().bottomLeft()), popup.grab());
    }
    const bool ok = picture.save(QString::fromStdString(file.string()));
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", file.c_str());
    return ok;
}

void typeKeys(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: LumoAddressBookScreens OUTPUT-FOLDER\n");
        return 2;
    }
    lumo::db::configureSqliteForProgram();
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("住所録"));
    QTranslator qtTexts;
    lumo::wizard::makeApplicationJapanese(qtTexts);
    const lumo::book::LibraryMessages messages;
    const std::filesystem::path out = argv[1];
    bool ok = true;

    MainWindow window(lumo::book::BookFolder{std::filesystem::current_path()});
    if (!window.open()) return 1;
#if LUMO_BOOK_OTHER_PARTS
    lumo::book::addOtherParts(window);
#endif
    window.show();
    waitForList(window);
    window.personView()->setCurrentIndex(window.personModel()->index(0, 0));
    ok = save(window, out / "addressbook-main.png") && ok;

    window.searchBox()->setText(QStringLiteral("山"));
    waitForList(window);
    ok = save(window, out / "addressbook-search.png") && ok;
    window.searchBox()->clear();
    waitForList(window);

    lumo::book::PersonEditor* card = window.openCard(window.personModel()->idAt(0));
    const char* names[] = {"basic", "home", "office", "family", "memo"};
    for (int tab = 0; tab < card->tabs()->count(); ++tab) {
        card->tabs()->setCurrentIndex(tab);
        ok = save(*card, out / (std::string("addressbook-card-") + names[tab] + ".png")) && ok;
    }
    card->close();

    // A code of two towns typed on the 自宅 tab; a table of its own, so
    // that the picture does not depend on the postal data installed.
    const lumo::postal::PostalTable postalCodes(
        lumo::postal::PostalSource::JapanPost, "2026-11-30",
        {{"4980000", "愛知県弥富市"}, {"4980000", "三重県桑名郡木曽岬町"}, {"1500001", "東京都渋谷区神宮前"}});
    card = window.openCard(window.personModel()->idAt(0));
    card->usePostalTable(postalCodes);
    card->tabs()->setCurrentIndex(1);
    QLineEdit* zip = card->textEdit(&LumoAccess::PersonInformation::strHomeZip);
    zip->setFocus();
    zip->clear();
    typeKeys(zip, QStringLiteral("498-0000"));
    QWidget* popup = card->postalHelp(lumo::book::CardTab::Home)->codeCandidates()->popup();
    ok = saveWithPopup(*card, *zip, *popup, out / "addressbook-postal.png") && ok;
    popup->hide();
    card->setAttribute(Qt::WA_DeleteOnClose, false);
    delete card;

    const std::pair<const char*, QDialog* (MainWindow::*)()> lists[] = {
        {"todo", &MainWindow::showTodo}, {"dates", &MainWindow::showComingDates}, {"duplicates", &MainWindow::showDuplicates}};
    for (const auto& [name, show] : lists) {
        QDialog* list = (window.*show)();
        ok = list && save(*list, out / (std::string("addressbook-") + name + ".png")) && ok;
        if (list) list->close();
    }

    // The start-up question in a folder without a database.
    QMessageBox question;
    lumo::wizard::prepareMessageBox(
        question, {lumo::book::missingDatabaseQuestion(lumo::book::BookFolder{"/home/user/住所録"}),
                   lumo::MsgButtons::YesNo, lumo::MsgIcon::Question, "新規作成確認"});
    question.show();
    ok = save(question, out / "addressbook-new-database.png") && ok;
    return ok ? 0 : 1;
}
