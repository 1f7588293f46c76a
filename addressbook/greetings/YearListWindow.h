#pragma once
// The address book's year's list (年賀状の一覧): every person with last
// year's and this year's 出 and 受 and 喪中 for a year and a season, the
// filters 送る, 未返信, 喪中 and すべて with their counts, and search as you
// type. In January the user ticks the cards that came one after another:
// typing a name narrows the list, Space toggles 受 of the person shown
// first (or chosen), and the box keeps the focus for the next name.
//
// The window uses the caller's AddressBook, which must outlive it; it
// lives on the GUI thread like every widget.
#include <QWidget>
#include <vector>

#include "greetings/AddressBook.h"
#include "greetings/GreetingMarks.h"
#include "greetings/YearList.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QTableWidget;
class QPushButton;

namespace lumo::greetings {

class YearListWindow : public QWidget {
    Q_OBJECT
public:
    explicit YearListWindow(AddressBook& book, QWidget* parent = nullptr);

    LumoAccess::Long year() const;
    void setYear(LumoAccess::Long year);
    void setSeason(Season season);
    void setFilter(YearFilter filter);
    // The persons shown, in order.
    std::vector<LumoAccess::Long> shownIds() const;
    const std::vector<YearListRow>& rows() const { return rows_; }
    QLineEdit* searchBox() const { return search_; }
    QTableWidget* table() const { return table_; }
    QString countsText() const;

    // Ticks or unticks 出 / 受 of a person for the year through the library;
    // false (and the row unchanged) when the library refused.
    bool toggleSent(LumoAccess::Long personId);
    bool toggleReceived(LumoAccess::Long personId);
    bool toggleMourning(LumoAccess::Long personId);

signals:
    // The persons the user asked to print (the shown ones).
    void printRequested(std::vector<LumoAccess::Long> ids, LumoAccess::Long year);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void reload();
    void refill();
    bool change(LumoAccess::Long personId, const GreetingChange& change);
    void editJointNames();
    YearListRow* rowOf(LumoAccess::Long personId);

    AddressBook& book_;
    std::vector<YearListRow> rows_;
    std::vector<LumoAccess::Long> shown_;
    QSpinBox* year_;
    QComboBox* season_;
    QComboBox* filter_;
    QLineEdit* search_;
    QTableWidget* table_;
    QLabel* counts_;
    QPushButton* joint_;
    QPushButton* print_;
};

}  // namespace lumo::greetings
