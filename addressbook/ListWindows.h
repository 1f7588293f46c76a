#pragma once
// The windows of the 表示 menu besides the main list: ToDo, the coming
// birthdays and anniversaries, and the duplicate candidates with their
// merge. Each is a table whose rows name persons; double-click (or Enter)
// opens the person's card through the main window.
//
// Made by the main window (their parent), on the GUI thread; they read
// through the window's connection and library object, which outlive them.
#include <QDialog>
#include <cstdint>
#include <functional>
#include <vector>

#include "addressbook/Reminders.h"

class QTableWidget;
class QPushButton;

namespace lumo::book {

class PersonListDialog : public QDialog {
    Q_OBJECT
public:
    PersonListDialog(const QString& title, const QStringList& captions, QWidget* parent);
    // One row: the person each cell belongs to (the left one opens on a
    // double-click unless the cell says otherwise) and the texts.
    void addRow(const std::vector<int32_t>& persons, const QStringList& cells);
    void clearRows();
    QTableWidget* table() const { return table_; }
    int32_t personAt(int row, int column) const;

signals:
    void openPerson(int32_t personId);

protected:
    QTableWidget* table_ = nullptr;
};

// The ToDo rows, newest reading first by person.
PersonListDialog* makeTodoWindow(const std::vector<TodoRow>& rows, QWidget* parent);
PersonListDialog* makeComingDatesWindow(const std::vector<ComingDate>& rows, QWidget* parent);

// Pairs side by side; 結合 writes the left person completed from the right
// one, then deletes the right one.
class DuplicatesWindow : public PersonListDialog {
    Q_OBJECT
public:
    DuplicatesWindow(LumoAccess::clsPidAccess& pid, std::function<std::vector<DuplicatePair>()> read, QWidget* parent);
    void reload();
    // Merges the pair of `row`; false when nothing was merged.
    bool mergeRow(int row);
    QPushButton* mergeButton() const { return merge_; }

signals:
    void merged();

private:
    LumoAccess::clsPidAccess& pid_;
    std::function<std::vector<DuplicatePair>()> read_;
    QPushButton* merge_ = nullptr;
};

}  // namespace lumo::book
