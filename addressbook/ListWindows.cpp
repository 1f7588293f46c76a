#include "addressbook/ListWindows.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "addressbook/PersonFields.h"
#include "platform/Dates.h"
#include "platform/MessageSink.h"

namespace lumo::book {
namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }
constexpr int kPersonRole = Qt::UserRole + 1;

}  // namespace

PersonListDialog::PersonListDialog(const QString& title, const QStringList& captions, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(title + QStringLiteral(" - 住所録"));
    auto* layout = new QVBoxLayout(this);
    table_ = new QTableWidget(0, static_cast<int>(captions.size()));
    table_->setHorizontalHeaderLabels(captions);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->verticalHeader()->setVisible(false);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setTabKeyNavigation(false);
    layout->addWidget(table_);
    connect(table_, &QTableWidget::activated, this, [this](const QModelIndex& index) {
        if (const int32_t id = personAt(index.row(), index.column())) emit openPerson(id);
    });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(760, 460);
}

void PersonListDialog::addRow(const std::vector<int32_t>& persons, const QStringList& cells) {
    const int row = table_->rowCount();
    table_->insertRow(row);
    for (int c = 0; c < cells.size(); ++c) {
        auto* item = new QTableWidgetItem(cells[c]);
        const auto at = static_cast<std::size_t>(c);
        item->setData(kPersonRole, at < persons.size() ? persons[at] : (persons.empty() ? 0 : persons.front()));
        table_->setItem(row, c, item);
    }
}

void PersonListDialog::clearRows() { table_->setRowCount(0); }

int32_t PersonListDialog::personAt(int row, int column) const {
    const QTableWidgetItem* item = table_->item(row, column);
    return item ? item->data(kPersonRole).toInt() : 0;
}

PersonListDialog* makeTodoWindow(const std::vector<TodoRow>& rows, QWidget* parent) {
    auto* window = new PersonListDialog(QStringLiteral("ToDo"), {QStringLiteral("氏名"), QStringLiteral("内容")}, parent);
    for (const TodoRow& row : rows) window->addRow({row.personId}, {qs(row.name), qs(row.note)});
    window->table()->setColumnWidth(0, 160);
    return window;
}

PersonListDialog* makeComingDatesWindow(const std::vector<ComingDate>& rows, QWidget* parent) {
    auto* window = new PersonListDialog(QStringLiteral("近づく誕生日と記念日"),
                                        {QStringLiteral("日付"), QStringLiteral("あと"), QStringLiteral("種類"),
                                         QStringLiteral("氏名")},
                                        parent);
    for (const ComingDate& row : rows)
        window->addRow({row.personId},
                       {qs(dates::formatYmd(row.date)),
                        row.inDays == 0 ? QStringLiteral("今日") : QStringLiteral("%1 日").arg(row.inDays),
                        row.birthday ? QStringLiteral("誕生日") : QStringLiteral("記念日"), qs(row.name)});
    window->table()->setColumnWidth(0, 110);
    return window;
}

DuplicatesWindow::DuplicatesWindow(LumoAccess::clsPidAccess& pid, std::function<std::vector<DuplicatePair>()> read,
                                   QWidget* parent)
    : PersonListDialog(QStringLiteral("重複の候補"),
                       {QStringLiteral("残す人"), QStringLiteral("住所・電話"), QStringLiteral("結合する人"),
                        QStringLiteral("住所・電話"), QStringLiteral("理由")},
                       parent),
      pid_(pid), read_(std::move(read)) {
    merge_ = new QPushButton(QStringLiteral("結合(&J)"));
    merge_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_J));
    merge_->setToolTip(QStringLiteral("右の人を左の人に結合します (Ctrl+J)"));
    layout()->addWidget(merge_);
    connect(merge_, &QPushButton::clicked, this, [this] {
        if (table_->currentRow() >= 0) mergeRow(table_->currentRow());
    });
    for (int c : {0, 2}) table_->setColumnWidth(c, 120);
    for (int c : {1, 3}) table_->setColumnWidth(c, 200);
    resize(900, 460);
    reload();
}

void DuplicatesWindow::reload() {
    clearRows();
    for (const DuplicatePair& pair : read_()) {
        const auto describe = [&](int32_t id) {
            const LumoAccess::PersonaInfoOverview o = pid_.GetPersonalInformaionOverView(id);
            return std::pair{qs(o.strName),
                             qs(o.strHomeZip + " " + o.strHomeAddress1 + o.strHomeAddress2 + " " + o.strPhone1).trimmed()};
        };
        const auto [leftName, leftMore] = describe(pair.first);
        const auto [rightName, rightMore] = describe(pair.second);
        addRow({pair.first, pair.first, pair.second, pair.second, pair.first},
               {leftName, leftMore, rightName, rightMore, qs(pair.why)});
    }
    if (table_->rowCount() > 0) table_->setCurrentCell(0, 0);
    merge_->setEnabled(table_->rowCount() > 0);
}

bool DuplicatesWindow::mergeRow(int row) {
    const int32_t keep = personAt(row, 0), other = personAt(row, 2);
    if (!keep || !other) return false;
    const std::string question = "「" + table_->item(row, 2)->text().toStdString() + "」を「" +
                                 table_->item(row, 0)->text().toStdString() +
                                 "」に結合します。結合した後、「" + table_->item(row, 2)->text().toStdString() +
                                 "」は削除されます。よろしいですか？";
    if (showMessage(question, MsgButtons::YesNo, MsgIcon::Question, "結合の確認") != MsgResult::Yes) return false;
    const bool merged = mergePersons(pid_, keep, other);
    reload();
    if (merged) emit this->merged();
    return merged;
}

}  // namespace lumo::book
