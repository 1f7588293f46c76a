#include "addressbook/PersonEditor.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "addressbook/PostalCompleter.h"
#include "client/AccessLibrary.h"
#include "platform/Dates.h"
#include "platform/MessageSink.h"
#include "tools/postal/PostalTable.h"

using lumo::dates::currentYear;
using lumo::dates::formatYmd;
using lumo::dates::recognize;

namespace lumo::book {
namespace {

using namespace LumoAccess;

QString qs(const std::string& s) { return QString::fromStdString(s); }
std::string ss(const QString& s) { return s.toStdString(); }

// Phone kinds: the caption the card shows and the TYPE the views read.
const std::vector<std::pair<QString, std::string>>& phoneKinds() {
    static const std::vector<std::pair<QString, std::string>> kinds{
        {QStringLiteral("自宅"), "HOME"}, {QStringLiteral("勤務先"), "OFFICE"}, {QStringLiteral("携帯"), "MOBILE"},
        {QStringLiteral("その他"), ""}};
    return kinds;
}

constexpr int kIdRole = Qt::UserRole + 1;
constexpr int kKindColumn = 2;  // phone table: the kind chooser

// The greeting grid's check columns, in order, with their record members.
struct GreetingColumn {
    const char* caption;
    Boolean GreetingInformation::*member;
};
const std::array<GreetingColumn, 8>& greetingColumns() {
    static const std::array<GreetingColumn, 8> columns{{
        {"年賀 出", &GreetingInformation::blnNewYear_Send},
        {"年賀 受", &GreetingInformation::blnNewYear_Receive},
        {"暑中 出", &GreetingInformation::blnSummer_Send},
        {"暑中 受", &GreetingInformation::blnSummer_Receive},
        {"中元 出", &GreetingInformation::blnMidYear_Send},
        {"中元 受", &GreetingInformation::blnMidYear_Receive},
        {"歳暮 出", &GreetingInformation::blnYearEnd_Send},
        {"歳暮 受", &GreetingInformation::blnYearEnd_Receive},
    }};
    return columns;
}

QString cellText(const QTableWidget* table, int row, int column) {
    const QTableWidgetItem* item = table->item(row, column);
    return item ? item->text() : QString();
}

Long rowId(const QTableWidget* table, int row) {
    const QTableWidgetItem* item = table->item(row, 0);
    return item ? item->data(kIdRole).toInt() : 0;
}

void setTextCell(QTableWidget* table, int row, int column, const QString& text) {
    table->setItem(row, column, new QTableWidgetItem(text));
}

void addKindChooser(QTableWidget* table, int row, const std::string& type) {
    auto* kind = new QComboBox(table);
    int chosen = static_cast<int>(phoneKinds().size()) - 1;
    for (std::size_t i = 0; i < phoneKinds().size(); ++i) {
        kind->addItem(phoneKinds()[i].first);
        if (QString::compare(qs(type), qs(phoneKinds()[i].second), Qt::CaseInsensitive) == 0) chosen = static_cast<int>(i);
    }
    kind->setCurrentIndex(chosen);
    table->setCellWidget(row, kKindColumn, kind);
}

std::string kindOf(const QTableWidget* table, int row) {
    const auto* kind = qobject_cast<const QComboBox*>(table->cellWidget(row, kKindColumn));
    const int at = kind ? kind->currentIndex() : -1;
    return at >= 0 ? phoneKinds()[static_cast<std::size_t>(at)].second : std::string();
}

// Swaps two rows of a table, cell widgets (the phone kind) included.
void swapRows(QTableWidget* table, int a, int b) {
    for (int c = 0; c < table->columnCount(); ++c) {
        if (auto* ka = qobject_cast<QComboBox*>(table->cellWidget(a, c))) {
            auto* kb = qobject_cast<QComboBox*>(table->cellWidget(b, c));
            const int ia = ka->currentIndex();
            ka->setCurrentIndex(kb->currentIndex());
            kb->setCurrentIndex(ia);
            continue;
        }
        QTableWidgetItem* ia = table->takeItem(a, c);
        QTableWidgetItem* ib = table->takeItem(b, c);
        table->setItem(a, c, ib);
        table->setItem(b, c, ia);
    }
}

QTableWidget* makeTable(const QStringList& captions) {
    auto* table = new QTableWidget(0, static_cast<int>(captions.size()));
    table->setHorizontalHeaderLabels(captions);
    table->horizontalHeader()->setStretchLastSection(true);
    table->verticalHeader()->setVisible(false);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setTabKeyNavigation(false);  // Tab leaves the table, to the next field of the card
    return table;
}

// A table with the buttons that add, remove and reorder its rows.
QWidget* withRowButtons(QTableWidget* table, const std::function<void(int)>& addRow, bool keepStoredRows = false) {
    auto* box = new QWidget;
    auto* layout = new QHBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(table, 1);
    auto* buttons = new QVBoxLayout;
    const auto button = [&](const char* caption) {
        auto* b = new QPushButton(QString::fromUtf8(caption));
        b->setAutoDefault(false);
        buttons->addWidget(b);
        return b;
    };
    QObject::connect(button("追加"), &QPushButton::clicked, table, [table, addRow] {
        const int row = table->rowCount();
        table->insertRow(row);
        addRow(row);
        table->setCurrentCell(row, 0);
        table->editItem(table->item(row, 0));
    });
    QPushButton* remove = button("削除");
    QObject::connect(remove, &QPushButton::clicked, table, [table, keepStoredRows] {
        const int row = table->currentRow();
        if (row < 0) return;
        // Stored greetings cannot be removed one by one (the library
        // keeps as many as are stored); their marks can be cleared.
        if (keepStoredRows && rowId(table, row) != 0) return;
        table->removeRow(row);
    });
    QObject::connect(button("上へ"), &QPushButton::clicked, table, [table] {
        const int row = table->currentRow();
        if (row <= 0) return;
        swapRows(table, row, row - 1);
        table->setCurrentCell(row - 1, table->currentColumn());
    });
    QObject::connect(button("下へ"), &QPushButton::clicked, table, [table] {
        const int row = table->currentRow();
        if (row < 0 || row + 1 >= table->rowCount()) return;
        swapRows(table, row, row + 1);
        table->setCurrentCell(row + 1, table->currentColumn());
    });
    buttons->addStretch();
    layout->addLayout(buttons);
    return box;
}

std::string dateText(Date d) { return d == 0 ? std::string() : formatYmd(d); }

}  // namespace

PersonEditor::PersonEditor(clsPidAccess& pid, std::vector<GroupChoice> groups, int32_t personId, int32_t newGroup,
                           QWidget* parent)
    : QDialog(parent), pid_(pid), groups_(std::move(groups)), personId_(personId) {
    setObjectName(QStringLiteral("PersonEditor"));
    auto* layout = new QVBoxLayout(this);
    tabs_ = new QTabWidget;
    const std::array<std::pair<CardTab, const char*>, 5> tabs{
        {{CardTab::Basic, "基本(&1)"}, {CardTab::Home, "自宅(&2)"}, {CardTab::Office, "勤務先(&3)"},
         {CardTab::Family, "家族(&4)"}, {CardTab::Memo, "メモ(&5)"}}};
    for (const auto& [tab, caption] : tabs) tabs_->addTab(buildTab(tab), QString::fromUtf8(caption));
    layout->addWidget(tabs_);

    auto* buttons = new QDialogButtonBox;
    QPushButton* saveButton = buttons->addButton(QStringLiteral("保存(&S)"), QDialogButtonBox::AcceptRole);
    delete_ = buttons->addButton(QStringLiteral("削除(&D)"), QDialogButtonBox::DestructiveRole);
    QPushButton* closeButton = buttons->addButton(QStringLiteral("閉じる"), QDialogButtonBox::RejectRole);
    saveButton->setShortcut(QKeySequence::Save);
    saveButton->setToolTip(QStringLiteral("保存 (Ctrl+S)"));
    delete_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    delete_->setToolTip(QStringLiteral("削除 (Ctrl+D)"));
    closeButton->setToolTip(QStringLiteral("閉じる (Esc)"));
    for (QPushButton* b : {saveButton, delete_, closeButton}) b->setAutoDefault(false);
    connect(saveButton, &QPushButton::clicked, this, [this] { save(); });
    connect(delete_, &QPushButton::clicked, this, [this] { removePerson(); });
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
    layout->addWidget(buttons);

    PersonCard card;
    if (personId_ != 0) {
        if (std::optional<PersonCard> read = readCard(personId_)) card = std::move(*read);
    } else {
        card.person.lngTypeID = newGroup;
        card.person.strDefaut = "HOME";
    }
    opened_ = card;
    showCard(card);
    textEdit(&PersonInformation::strLastName)->setFocus();  // the card's first field
    resize(860, 600);
}

void PersonEditor::usePostalTable(const postal::PostalTable& table) {
    const auto help = [&](LumoAccess::String PersonInformation::*code, LumoAccess::String PersonInformation::*address) {
        QLineEdit* codeEdit = textEdit(code);
        codeEdit->setToolTip(QStringLiteral("7 桁の郵便番号で住所の候補を出します (%1)").arg(qs(table.sourceLabel())));
        return new PostalCompleter(table, codeEdit, textEdit(address), this);
    };
    delete homePostal_;
    delete officePostal_;
    homePostal_ = help(&PersonInformation::strHomeZip, &PersonInformation::strHomeAddress1);
    officePostal_ = help(&PersonInformation::strOfficeZip, &PersonInformation::strOfficeAddress1);
}

QWidget* PersonEditor::buildTab(CardTab tab) {
    auto* page = new QWidget;
    auto* form = new QFormLayout(page);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    const auto addText = [&](const TextField& f) {
        auto* edit = new QLineEdit;
        edit->setObjectName(QString::fromUtf8(f.caption));
        form->addRow(QString::fromUtf8(f.caption), edit);
        texts_.emplace_back(f.member, edit);
    };
    const auto textsOf = [&](CardTab t, std::size_t from, std::size_t to) {
        std::size_t n = 0;
        for (const TextField& f : textFields())
            if (f.tab == t && n++ >= from && n <= to) addText(f);
    };
    switch (tab) {
    case CardTab::Basic: {
        textsOf(tab, 0, 6);
        group_ = new QComboBox;
        for (const GroupChoice& g : groups_) group_->addItem(g.label, g.typeId);
        form->addRow(QStringLiteral("グループ"), group_);
        mainAddress_ = new QComboBox;
        mainAddress_->addItem(QStringLiteral("自宅"), QStringLiteral("HOME"));
        mainAddress_->addItem(QStringLiteral("勤務先"), QStringLiteral("OFFICE"));
        form->addRow(QStringLiteral("主な連絡先"), mainAddress_);
        phones_ = makeTable({QStringLiteral("ラベル"), QStringLiteral("電話番号"), QStringLiteral("種別")});
        phones_->setColumnWidth(1, 200);
        form->addRow(QStringLiteral("電話"),
                     withRowButtons(phones_, [this](int row) { addKindChooser(phones_, row, "HOME"); }));
        mails_ = makeTable({QStringLiteral("ラベル"), QStringLiteral("メールアドレス")});
        form->addRow(QStringLiteral("メール"), withRowButtons(mails_, [](int) {}));
        textsOf(tab, 6, 100);
        break;
    }
    case CardTab::Home:
    case CardTab::Office: textsOf(tab, 0, 100); break;
    case CardTab::Family: {
        birthday_ = new QLineEdit;
        birthday_->setPlaceholderText(QStringLiteral("yyyy/mm/dd"));
        form->addRow(QStringLiteral("誕生日"), birthday_);
        age_ = new QSpinBox;
        age_->setRange(0, 200);
        form->addRow(QStringLiteral("年齢"), age_);
        anniversary_ = new QLineEdit;
        anniversary_->setPlaceholderText(QStringLiteral("yyyy/mm/dd"));
        form->addRow(QStringLiteral("記念日"), anniversary_);
        textsOf(tab, 0, 100);
        children_ = makeTable({QStringLiteral("名前"), QStringLiteral("よみ")});
        form->addRow(QStringLiteral("子供"), withRowButtons(children_, [](int) {}));
        break;
    }
    case CardTab::Memo: {
        QStringList captions{QStringLiteral("年")};
        for (const GreetingColumn& c : greetingColumns()) captions << QString::fromUtf8(c.caption);
        captions << QStringLiteral("メモ");
        greetings_ = makeTable(captions);
        for (int c = 1; c <= static_cast<int>(greetingColumns().size()); ++c) greetings_->setColumnWidth(c, 50);
        greetings_->setColumnWidth(0, 56);
        form->addRow(QStringLiteral("あいさつ状"), withRowButtons(
                                                    greetings_,
                                                    [this](int row) {
                                                        setTextCell(greetings_, row, 0, QString::number(currentYear()));
                                                        for (int c = 1; c <= 8; ++c) {
                                                            auto* item = new QTableWidgetItem;
                                                            item->setCheckState(Qt::Unchecked);
                                                            greetings_->setItem(row, c, item);
                                                        }
                                                        setTextCell(greetings_, row, 9, {});
                                                    },
                                                    true));
        note_ = new QPlainTextEdit;
        note_->setTabChangesFocus(true);
        form->addRow(QStringLiteral("ノート"), note_);
        break;
    }
    }
    return page;
}

QLineEdit* PersonEditor::textEdit(String PersonInformation::*member) const {
    for (const auto& [m, edit] : texts_)
        if (m == member) return edit;
    return nullptr;
}

void PersonEditor::showCard(const PersonCard& card) {
    const PersonInformation& p = card.person;
    for (const auto& [member, edit] : texts_) edit->setText(qs(p.*member));
    int group = group_->findData(p.lngTypeID);
    if (group < 0 && p.lngTypeID != 0) {
        group_->addItem(QString::number(p.lngTypeID), p.lngTypeID);
        group = group_->count() - 1;
    }
    group_->setCurrentIndex(std::max(group, 0));
    mainAddress_->setCurrentIndex(QString::compare(qs(p.strDefaut), QStringLiteral("OFFICE"), Qt::CaseInsensitive) == 0);
    birthday_->setText(qs(dateText(p.dyBirthday)));
    anniversary_->setText(qs(dateText(p.dyAnniversary)));
    age_->setValue(p.intAge);
    note_->setPlainText(qs(p.strNote));

    phones_->setRowCount(0);
    for (const PhoneInformation& phone : card.phones) {
        const int row = phones_->rowCount();
        phones_->insertRow(row);
        setTextCell(phones_, row, 0, qs(phone.strLabel));
        phones_->item(row, 0)->setData(kIdRole, phone.lngPhoneID);
        setTextCell(phones_, row, 1, qs(phone.strPhoneNumber));
        addKindChooser(phones_, row, phone.strType);
    }
    mails_->setRowCount(0);
    for (const MailInformation& mail : card.mails) {
        const int row = mails_->rowCount();
        mails_->insertRow(row);
        setTextCell(mails_, row, 0, qs(mail.strLabel));
        mails_->item(row, 0)->setData(kIdRole, mail.lngMailID);
        setTextCell(mails_, row, 1, qs(mail.strMailAddress));
    }
    children_->setRowCount(0);
    for (const ChildrenInformation& child : card.children) {
        const int row = children_->rowCount();
        children_->insertRow(row);
        setTextCell(children_, row, 0, qs(child.strName));
        children_->item(row, 0)->setData(kIdRole, child.lngChildID);
        setTextCell(children_, row, 1, qs(child.strAlias));
    }
    greetings_->setRowCount(0);
    for (const GreetingInformation& g : card.greetings) {
        const int row = greetings_->rowCount();
        greetings_->insertRow(row);
        setTextCell(greetings_, row, 0, QString::number(g.lngYear));
        greetings_->item(row, 0)->setData(kIdRole, g.lngGreetingID);
        for (std::size_t c = 0; c < greetingColumns().size(); ++c) {
            auto* item = new QTableWidgetItem;
            item->setCheckState(g.*(greetingColumns()[c].member) ? Qt::Checked : Qt::Unchecked);
            greetings_->setItem(row, static_cast<int>(c) + 1, item);
        }
        setTextCell(greetings_, row, 9, qs(g.strMemo));
    }
    // What the form holds now counts as unchanged.
    shown_ = formCard();
    delete_->setEnabled(personId_ != 0);
    updateTitle();
}

PersonCard PersonEditor::formCard() const {
    PersonCard card;
    PersonInformation& p = card.person;
    p = opened_.person;  // the values the card does not show stay as read
    p.lngPersonID = personId_;
    for (const auto& [member, edit] : texts_) p.*member = ss(edit->text());
    p.lngTypeID = group_->currentData().toInt();
    p.strDefaut = ss(mainAddress_->currentData().toString());
    p.dyBirthday = recognize(ss(birthday_->text().trimmed())).value_or(0);
    p.dyAnniversary = recognize(ss(anniversary_->text().trimmed())).value_or(0);
    p.intAge = static_cast<Integer>(age_->value());
    p.strNote = ss(note_->toPlainText());

    const int phoneCount = phones_->rowCount();
    for (int row = 0; row < phoneCount; ++row) {
        PhoneInformation phone;
        phone.lngPhoneID = rowId(phones_, row);
        phone.lngPersonID = personId_;
        phone.strLabel = ss(cellText(phones_, row, 0));
        phone.strPhoneNumber = ss(cellText(phones_, row, 1).trimmed());
        phone.intRank = static_cast<Integer>(row + 1);  // phone lists run in ascending rank
        phone.strType = kindOf(phones_, row);
        card.phones.push_back(std::move(phone));
    }
    const int mailCount = mails_->rowCount();
    for (int row = 0; row < mailCount; ++row) {
        MailInformation mail;
        mail.lngMailID = rowId(mails_, row);
        mail.lngPersonID = personId_;
        mail.strLabel = ss(cellText(mails_, row, 0));
        mail.strMailAddress = ss(cellText(mails_, row, 1).trimmed());
        mail.intRank = static_cast<Integer>(mailCount - row);  // mail lists run in descending rank
        card.mails.push_back(std::move(mail));
    }
    for (int row = 0; row < children_->rowCount(); ++row) {
        ChildrenInformation child;
        child.lngChildID = rowId(children_, row);
        child.lngPersonID = personId_;
        child.strName = ss(cellText(children_, row, 0));
        child.strAlias = ss(cellText(children_, row, 1));
        card.children.push_back(std::move(child));
    }
    for (int row = 0; row < greetings_->rowCount(); ++row) {
        GreetingInformation g;
        g.lngGreetingID = rowId(greetings_, row);
        g.lngPersonID = personId_;
        g.lngYear = cellText(greetings_, row, 0).toInt();
        for (std::size_t c = 0; c < greetingColumns().size(); ++c) {
            const QTableWidgetItem* item = greetings_->item(row, static_cast<int>(c) + 1);
            g.*(greetingColumns()[c].member) = item && item->checkState() == Qt::Checked;
        }
        g.strMemo = ss(cellText(greetings_, row, 9));
        card.greetings.push_back(std::move(g));
    }
    return card;
}

bool PersonEditor::isModified() const { return !sameCard(formCard(), shown_); }

namespace {

// Whether the library has shown a report on this thread since the last
// clearReports(): some operations report a failure of one of their steps
// and still return "no failure" (the note of a save), and a card that took
// that for success would throw away what the user typed.
void clearReports() {
    if (const auto clear = client::AccessLibrary::instance().entry<LumoClearLastReportProc>("LumoClearLastReport"))
        clear();
}
bool libraryReported() {
    const auto last = client::AccessLibrary::instance().entry<LumoGetLastReportProc>("LumoGetLastReport");
    const char* code = nullptr;
    const char* text = nullptr;
    return last && last(&code, &text) != 0;
}

}  // namespace

std::optional<PersonCard> PersonEditor::readCard(int32_t id) const {
    clearReports();
    PersonCard card;
    card.person = pid_.GetPersonalInformation(id);
    bool failed = pid_.GetPhoneNumberInfo(id, card.phones);
    failed = pid_.GetMailAddressInfo(id, card.mails) || failed;
    failed = pid_.GetChildInformation(id, card.children) || failed;
    failed = pid_.GetGreetingInformation(id, card.greetings) || failed;
    if (failed || libraryReported()) return std::nullopt;
    return card;
}

bool PersonEditor::save() {
    for (QLineEdit* date : {birthday_, anniversary_}) {
        const std::string text = ss(date->text().trimmed());
        if (!text.empty() && !recognize(text)) {
            tabs_->setCurrentIndex(static_cast<int>(CardTab::Family));
            date->setFocus();
            showMessage("日付 '" + text + "' を読み取れません。yyyy/mm/dd の形で入力してください。", MsgButtons::OK,
                        MsgIcon::Exclamation);
            return false;
        }
    }
    PersonCard card = formCard();
    bool failed = false;
    if (personId_ != 0) {
        const std::optional<PersonCard> stored = readCard(personId_);
        if (!stored) return false;
        if (stored->person.lngPersonID != personId_) {
            showMessage("「" + displayName(opened_.person) +
                            "」は、このカードを開いた後でほかのプログラムによって削除されています。\r\n"
                            "保存しませんでした。入力した内容はそのまま残っています。",
                        MsgButtons::OK, MsgIcon::Exclamation);
            return false;
        }
        if (openedKnown_ && !sameCard(*stored, opened_)) {
            const MsgResult answer = showMessage("「" + displayName(stored->person) +
                                                     "」は、このカードを開いた後でほかのプログラムによって変更されています。\r\n"
                                                     "この内容で上書きしますか？",
                                                 MsgButtons::YesNo, MsgIcon::Question);
            if (answer != MsgResult::Yes) return false;
        }
        clearReports();
        failed = pid_.UpPersonalInformation(card.person, card.phones, card.mails, card.greetings, card.children);
    } else {
        clearReports();
        failed = pid_.SetPersonalInformation(card.person, card.phones, card.mails, card.greetings, card.children);
        // Stored after all, though with a report: later saves rewrite it.
        if (!failed) personId_ = card.person.lngPersonID;
    }
    failed = libraryReported() || failed;
    // What is stored now is what the next save compares with: after a
    // failure parts may have been written by this save itself.
    std::optional<PersonCard> now = personId_ != 0 ? readCard(personId_) : std::nullopt;
    openedKnown_ = now.has_value() || personId_ == 0;
    if (now) opened_ = *now;
    if (failed || (personId_ != 0 && !now)) {
        // The form keeps what was typed.
        delete_->setEnabled(personId_ != 0);
        return false;
    }
    showCard(*now);
    emit saved(personId_);
    return true;
}

bool PersonEditor::removePerson() {
    if (personId_ == 0) return false;
    const MsgResult answer = showMessage("「" + displayName(opened_.person) + "」を削除します。よろしいですか？",
                                         MsgButtons::YesNo, MsgIcon::Question, "削除の確認");
    if (answer != MsgResult::Yes) return false;
    Long id = personId_;
    if (pid_.DelPersonalInformation(id)) return false;
    const int32_t removedId = personId_;
    personId_ = 0;
    shown_ = formCard();  // nothing left to save
    emit removed(removedId);
    QDialog::done(QDialog::Accepted);
    return true;
}

void PersonEditor::done(int result) {
    if (isModified()) {
        const MsgResult answer = showMessage("変更が保存されていません。保存しますか？", MsgButtons::YesNoCancel,
                                             MsgIcon::Question, "住所録");
        if (answer == MsgResult::Cancel) return;
        if (answer == MsgResult::Yes && !save()) return;
    }
    QDialog::done(result);
}

void PersonEditor::updateTitle() {
    const std::string name = displayName(opened_.person);
    setWindowTitle(personId_ == 0 || name.empty() ? QStringLiteral("新しい人 - 住所録")
                                                  : qs(name) + QStringLiteral(" - 住所録"));
}

}  // namespace lumo::book
