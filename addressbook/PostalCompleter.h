#pragma once
// The postal code help of one address on the card (自宅 or 勤務先): a code
// typed into the postal code field (seven digits, with or without the
// hyphen, full-width too) offers the addresses of that code in a popup
// list, and an address typed into 住所１ offers the codes it may have.
// Nothing is written until the user picks a candidate: picking an address
// puts it into 住所１ (unless 住所１ already begins with it), picking a
// code puts it into the postal code field as "100-0001".
//
// Owned by the card (a child QObject); the two fields and the table must
// outlive it (the table is the main window's, or a test's). GUI thread
// only.
#include <QObject>

class QCompleter;
class QLineEdit;
class QStandardItemModel;

namespace lumo::postal {
class PostalTable;
}

namespace lumo::book {

class PostalCompleter : public QObject {
    Q_OBJECT
public:
    PostalCompleter(const postal::PostalTable& table, QLineEdit* code, QLineEdit* address, QObject* parent);

    // The popup lists (for the tests and the screenshots).
    QCompleter* codeCandidates() const { return codeCompleter_; }
    QCompleter* addressCandidates() const { return addressCompleter_; }

private:
    void offerAddresses(const QString& typed);
    void offerCodes(const QString& typed);

    const postal::PostalTable& table_;
    QLineEdit* code_;
    QLineEdit* address_;
    QStandardItemModel* addresses_;  // the candidates of a code
    QStandardItemModel* codes_;      // the candidates of an address
    QCompleter* codeCompleter_;
    QCompleter* addressCompleter_;
};

}  // namespace lumo::book
