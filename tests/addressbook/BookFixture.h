#pragma once
// What the tests of 住所録 share: a sample folder (lumo init --sample) made
// for the test, the main window opened on it, and waiting for the list the
// window shows after a search or a group choice.
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "addressbook/MainWindow.h"
#include "addressbook/PersonListModel.h"
#include "tests/support/DatabaseState.h"
#include "tools/init/InitCommand.h"

template <>
inline char* QTest::toString(const std::string& text) {
    return qstrdup(text.c_str());
}

namespace lumo::test {

inline void makeSampleFolder(const std::filesystem::path& folder) {
    tools::InitOptions options;
    options.folder = folder;
    options.sample = true;
    tools::createDatabases(options);
}

// Types `text` key by key, as a keyboard (or an input method committing
// one character at a time) would; QTest::keyClicks takes Latin-1 only.
inline void typeText(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &release);
    }
}

// Waits until the window's list shows the answer to its latest request
// (a request starts as soon as the search or the group changes).
inline bool waitForList(book::MainWindow& window, int timeoutMs = 10000) {
    for (int waited = 0; waited < timeoutMs; waited += 5) {
        QTest::qWait(5);
        if (!window.listBusy()) return true;
    }
    return false;
}

// The 氏名 column of the list, top to bottom.
inline std::vector<std::string> listedNames(const book::MainWindow& window) {
    std::vector<std::string> names;
    const book::PersonListModel* model = window.personModel();
    for (int row = 0; row < model->rowCount(); ++row)
        names.push_back(model->data(model->index(row, book::PersonListModel::Name)).toString().toStdString());
    return names;
}

// A sample folder and the main window on it.
struct OpenBook {
    TemporaryFolder folder{"lumo_book"};
    std::unique_ptr<book::MainWindow> window;

    OpenBook() {
        makeSampleFolder(folder.path());
        window = std::make_unique<book::MainWindow>(book::BookFolder{folder.path()});
        if (window->open()) waitForList(*window);
    }
    std::filesystem::path database() const { return folder.path() / "Data" / "LumoBase.mdb"; }
    // Types `text` into the emptied search box, key by key, and waits for the list.
    std::vector<std::string> search(const QString& text) {
        window->searchBox()->clear();
        waitForList(*window);
        typeText(window->searchBox(), text);
        waitForList(*window);
        return listedNames(*window);
    }
};

}  // namespace lumo::test
