#include "addressbook/PostalCompleter.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QLineEdit>
#include <QStandardItemModel>

#include "tools/postal/PostalTable.h"

namespace lumo::book {
namespace {

// What the field gets when the user picks a row.
constexpr int kPickedRole = Qt::UserRole + 1;
// Fewer characters than this (a prefecture's name) offer no codes.
constexpr qsizetype kShortestAddress = 3;

QCompleter* popupOn(QLineEdit* edit, QStandardItemModel* model, const char* name, QObject* parent) {
    auto* completer = new QCompleter(model, parent);
    completer->setObjectName(QString::fromUtf8(name));
    completer->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    completer->setMaxVisibleItems(8);
    // Attached with setWidget, not QLineEdit::setCompleter, so that the
    // popup never writes into the field by itself; only the pick does.
    completer->setWidget(edit);
    return completer;
}

void show(QCompleter* completer, const QStandardItemModel& model) {
    if (model.rowCount() == 0) {
        completer->popup()->hide();
        return;
    }
    completer->complete();
    completer->popup()->setCurrentIndex({});
}

void addRow(QStandardItemModel& model, const postal::PostalEntry& entry, const QString& picked) {
    auto* item = new QStandardItem(QStringLiteral("〒%1  %2").arg(QString::fromStdString(postal::displayCode(entry.code)),
                                                                  QString::fromStdString(entry.address)));
    item->setData(picked, kPickedRole);
    item->setEditable(false);
    model.appendRow(item);
}

}  // namespace

PostalCompleter::PostalCompleter(const postal::PostalTable& table, QLineEdit* code, QLineEdit* address, QObject* parent)
    : QObject(parent),
      table_(table),
      code_(code),
      address_(address),
      addresses_(new QStandardItemModel(this)),
      codes_(new QStandardItemModel(this)),
      codeCompleter_(popupOn(code, addresses_, "postal-addresses", this)),
      addressCompleter_(popupOn(address, codes_, "postal-codes", this)) {
    connect(code_, &QLineEdit::textEdited, this, &PostalCompleter::offerAddresses);
    connect(address_, &QLineEdit::textEdited, this, &PostalCompleter::offerCodes);
    connect(codeCompleter_, qOverload<const QModelIndex&>(&QCompleter::activated), this, [this](const QModelIndex& i) {
        const QString picked = i.data(kPickedRole).toString();
        if (!address_->text().startsWith(picked)) address_->setText(picked);
    });
    connect(addressCompleter_, qOverload<const QModelIndex&>(&QCompleter::activated), this,
            [this](const QModelIndex& i) { code_->setText(i.data(kPickedRole).toString()); });
}

void PostalCompleter::offerAddresses(const QString& typed) {
    addresses_->clear();
    if (const auto code = postal::normalizedCode(typed.toStdString()))
        for (const postal::PostalEntry& e : table_.byCode(*code)) addRow(*addresses_, e, QString::fromStdString(e.address));
    show(codeCompleter_, *addresses_);
}

void PostalCompleter::offerCodes(const QString& typed) {
    codes_->clear();
    const QString text = typed.trimmed();
    if (text.size() >= kShortestAddress)
        for (const postal::PostalEntry& e : table_.byAddress(text.toStdString()))
            addRow(*codes_, e, QString::fromStdString(postal::displayCode(e.code)));
    show(addressCompleter_, *codes_);
}

}  // namespace lumo::book
