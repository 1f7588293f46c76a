#pragma once
// The person card: every field of one person on five tabs (基本, 自宅,
// 勤務先, 家族, メモ), the phones, e-mail addresses and children as tables
// whose row order is their order, the greetings as a grid of years, and
// the note. It creates (SetPersonalInformation), saves
// (UpPersonalInformation) and deletes (DelPersonalInformation) through the
// library.
//
// A save first reads the person again and compares it with what the card
// read when it opened, so that a change or deletion by another program
// meanwhile is said instead of overwritten or revived. A failed save leaves
// every field as typed.
//
// Owned by whoever opens it (the main window, or a test); GUI thread only.
// It uses the caller's library object, which must outlive it.
#include <QDialog>
#include <QString>
#include <array>
#include <optional>
#include <utility>
#include <vector>

#include "access/LumoAccess.h"
#include "addressbook/PersonFields.h"

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QSpinBox;
class QTabWidget;
class QTableWidget;
class QPushButton;

namespace lumo::postal {
class PostalTable;
}

namespace lumo::book {

class PostalCompleter;

struct GroupChoice {
    int32_t typeId = 0;
    QString label;
};

class PersonEditor : public QDialog {
    Q_OBJECT
public:
    // personId 0: a new person in group `newGroup`.
    PersonEditor(LumoAccess::clsPidAccess& pid, std::vector<GroupChoice> groups, int32_t personId,
                 int32_t newGroup = 0, QWidget* parent = nullptr);

    int32_t personId() const { return personId_; }
    // The card as the form holds it now.
    PersonCard formCard() const;
    bool isModified() const;
    // Saves; false when nothing was saved (the reason has been shown).
    bool save();
    // Asks, then deletes; false when nothing was deleted.
    bool removePerson();

    // For the tests and the screenshots: the widgets by caption.
    QLineEdit* textEdit(LumoAccess::String LumoAccess::PersonInformation::*member) const;
    QTableWidget* phoneTable() const { return phones_; }
    QTableWidget* mailTable() const { return mails_; }
    QTableWidget* childTable() const { return children_; }
    QTableWidget* greetingGrid() const { return greetings_; }
    QPlainTextEdit* noteEdit() const { return note_; }
    QComboBox* groupBox() const { return group_; }
    QTabWidget* tabs() const { return tabs_; }
    QLineEdit* birthdayEdit() const { return birthday_; }

    // Offers postal codes and addresses from `table` on the 自宅 and 勤務先
    // tabs; the table must outlive the card.
    void usePostalTable(const postal::PostalTable& table);
    // The postal help of the 自宅 or 勤務先 tab; null before usePostalTable.
    PostalCompleter* postalHelp(CardTab tab) const { return tab == CardTab::Office ? officePostal_ : homePostal_; }

    void done(int result) override;

signals:
    void saved(int32_t personId);
    void removed(int32_t personId);

private:
    // Reads the person and its lists; nullopt when the library reported a
    // failure (it has been shown).
    std::optional<PersonCard> readCard(int32_t id) const;
    void showCard(const PersonCard& card);
    QWidget* buildTab(CardTab tab);
    void updateTitle();

    LumoAccess::clsPidAccess& pid_;
    std::vector<GroupChoice> groups_;
    int32_t personId_ = 0;
    PersonCard opened_;  // as stored when the card was read (the comparison at save)
    PersonCard shown_;   // as the form was filled (the unsaved-changes test)
    bool openedKnown_ = true;  // false when the read after a save failed

    QTabWidget* tabs_ = nullptr;
    std::vector<std::pair<LumoAccess::String LumoAccess::PersonInformation::*, QLineEdit*>> texts_;
    QComboBox* group_ = nullptr;
    QComboBox* mainAddress_ = nullptr;
    QLineEdit* birthday_ = nullptr;
    QLineEdit* anniversary_ = nullptr;
    QSpinBox* age_ = nullptr;
    QTableWidget* phones_ = nullptr;
    QTableWidget* mails_ = nullptr;
    QTableWidget* children_ = nullptr;
    QTableWidget* greetings_ = nullptr;
    QPlainTextEdit* note_ = nullptr;
    QPushButton* delete_ = nullptr;
    PostalCompleter* homePostal_ = nullptr;
    PostalCompleter* officePostal_ = nullptr;
};

}  // namespace lumo::book
