#include "addressbook/greetings/YearListWindow.h"

#include <QCheckBox>
#include <algorithm>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include "greetings/JointNames.h"
#include "platform/Error.h"

namespace lumo::greetings {
namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

enum ColumnIndex { kName, kAlias, kLastSent, kLastReceived, kSent, kReceived, kMourning, kColumns };

}  // namespace

YearListWindow::YearListWindow(AddressBook& book, QWidget* parent) : QWidget(parent), book_(book) {
    setWindowTitle("年賀状の一覧");
    year_ = new QSpinBox;
    year_->setRange(1900, 9999);
    year_->setValue(defaultYear());
    year_->setSuffix(" 年");
    season_ = new QComboBox;
    for (const SeasonInfo& s : seasons()) season_->addItem(q(std::string(s.name)));
    filter_ = new QComboBox;
    for (const YearFilterInfo& f : yearFilters()) filter_->addItem(q(std::string(f.name)));
    search_ = new QLineEdit;
    search_->setPlaceholderText("名前かふりがなで探す (Space で受を付け外し)");
    search_->installEventFilter(this);
    table_ = new QTableWidget(0, kColumns);
    table_->setHorizontalHeaderLabels({"名前", "ふりがな", "昨年出", "昨年受", "出", "受", "喪中"});
    table_->verticalHeader()->hide();
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->horizontalHeader()->setSectionResizeMode(kName, QHeaderView::Stretch);
    table_->horizontalHeader()->setSectionResizeMode(kAlias, QHeaderView::Stretch);
    counts_ = new QLabel;
    joint_ = new QPushButton("連名...");
    print_ = new QPushButton("印刷...");

    auto* top = new QHBoxLayout;
    top->addWidget(year_);
    top->addWidget(season_);
    top->addWidget(new QLabel("表示:"));
    top->addWidget(filter_);
    top->addWidget(search_, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(counts_, 1);
    bottom->addWidget(joint_);
    bottom->addWidget(print_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(table_, 1);
    layout->addLayout(bottom);

    connect(year_, &QSpinBox::valueChanged, this, [this] { reload(); });
    connect(season_, &QComboBox::currentIndexChanged, this, [this] { reload(); });
    connect(filter_, &QComboBox::currentIndexChanged, this, [this] { refill(); });
    connect(search_, &QLineEdit::textChanged, this, [this] { refill(); });
    // A click on a tick column toggles it.
    connect(table_, &QTableWidget::cellClicked, this, [this](int row, int column) {
        if (row < 0 || static_cast<std::size_t>(row) >= shown_.size()) return;
        const LumoAccess::Long id = shown_[static_cast<std::size_t>(row)];
        if (column == kSent) toggleSent(id);
        else if (column == kReceived) toggleReceived(id);
        else if (column == kMourning) toggleMourning(id);
    });
    connect(joint_, &QPushButton::clicked, this, [this] { editJointNames(); });
    connect(print_, &QPushButton::clicked, this, [this] { emit printRequested(shown_, year()); });
    resize(760, 520);
    reload();
}

LumoAccess::Long YearListWindow::year() const { return year_->value(); }
void YearListWindow::setYear(LumoAccess::Long year) { year_->setValue(year); }
void YearListWindow::setSeason(Season season) { season_->setCurrentIndex(static_cast<int>(season)); }
void YearListWindow::setFilter(YearFilter filter) { filter_->setCurrentIndex(static_cast<int>(filter)); }
std::vector<LumoAccess::Long> YearListWindow::shownIds() const { return shown_; }

void YearListWindow::reload() {
    try {
        rows_ = readYearList(book_.connection(), year(), static_cast<Season>(season_->currentIndex()));
    } catch (const std::exception& e) {
        rows_.clear();
        QMessageBox::warning(this, windowTitle(), q(std::string("一覧を読めません: ") + e.what()));
    }
    refill();
}

void YearListWindow::refill() {
    const auto filter = static_cast<YearFilter>(filter_->currentIndex());
    const std::vector<YearListRow> shown = matching(filtered(rows_, filter), search_->text().toStdString());
    const LumoAccess::Long current =
        table_->currentRow() >= 0 && static_cast<std::size_t>(table_->currentRow()) < shown_.size()
            ? shown_[static_cast<std::size_t>(table_->currentRow())]
            : 0;
    shown_.clear();
    table_->setRowCount(static_cast<int>(shown.size()));
    int currentRow = shown.empty() ? -1 : 0;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        const YearListRow& r = shown[i];
        shown_.push_back(r.personId);
        const int row = static_cast<int>(i);
        const auto set = [&](int column, const QString& text) {
            auto* item = new QTableWidgetItem(text);
            if (column >= kLastSent) item->setTextAlignment(Qt::AlignCenter);
            table_->setItem(row, column, item);
        };
        set(kName, q(r.name));
        set(kAlias, q(r.alias));
        set(kLastSent, r.lastSent ? "○" : "");
        set(kLastReceived, r.lastReceived ? "○" : "");
        set(kSent, r.sent ? "○" : "");
        set(kReceived, r.received ? "○" : "");
        set(kMourning, r.mourning ? "喪中" : "");
        if (r.personId == current) currentRow = row;
    }
    if (currentRow >= 0) table_->setCurrentCell(currentRow, kName);
    counts_->setText(countsText());
}

QString YearListWindow::countsText() const {
    const YearCounts c = countYearList(rows_);
    return QString("表示 %1 人 / 全 %2 人　送る %3　未返信 %4　喪中 %5　出 %6　受 %7")
        .arg(shown_.size())
        .arg(c.all)
        .arg(c.toSend)
        .arg(c.unanswered)
        .arg(c.mourning)
        .arg(c.sent)
        .arg(c.received);
}

YearListRow* YearListWindow::rowOf(LumoAccess::Long personId) {
    for (YearListRow& r : rows_)
        if (r.personId == personId) return &r;
    return nullptr;
}

bool YearListWindow::change(LumoAccess::Long personId, const GreetingChange& change) {
    try {
        markGreeting(book_, personId, year(), change);
    } catch (const std::exception& e) {
        QMessageBox::warning(this, windowTitle(), q(std::string("記録できません: ") + e.what()));
        return false;
    }
    return true;
}

bool YearListWindow::toggleSent(LumoAccess::Long personId) {
    YearListRow* row = rowOf(personId);
    if (!row) return false;
    GreetingChange c{static_cast<Season>(season_->currentIndex()), !row->sent, {}, {}};
    if (!this->change(personId, c)) return false;
    row->sent = !row->sent;
    refill();
    return true;
}

bool YearListWindow::toggleReceived(LumoAccess::Long personId) {
    YearListRow* row = rowOf(personId);
    if (!row) return false;
    GreetingChange c{static_cast<Season>(season_->currentIndex()), {}, !row->received, {}};
    if (!this->change(personId, c)) return false;
    row->received = !row->received;
    refill();
    return true;
}

bool YearListWindow::toggleMourning(LumoAccess::Long personId) {
    YearListRow* row = rowOf(personId);
    if (!row) return false;
    GreetingChange c{static_cast<Season>(season_->currentIndex()), {}, {}, !row->mourning};
    if (!this->change(personId, c)) return false;
    row->mourning = !row->mourning;
    refill();
    return true;
}

bool YearListWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == search_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const int row = table_->currentRow();
        if (key->key() == Qt::Key_Space && key->modifiers() == Qt::NoModifier) {
            // Space ticks, it is not typed: names are searched without it.
            if (row >= 0 && static_cast<std::size_t>(row) < shown_.size()) toggleReceived(shown_[static_cast<std::size_t>(row)]);
            search_->setFocus();
            return true;
        }
        if ((key->key() == Qt::Key_Down || key->key() == Qt::Key_Up) && !shown_.empty()) {
            const int next = std::clamp(row + (key->key() == Qt::Key_Down ? 1 : -1), 0, static_cast<int>(shown_.size()) - 1);
            table_->setCurrentCell(next, kName);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void YearListWindow::editJointNames() {
    const int row = table_->currentRow();
    if (row < 0 || static_cast<std::size_t>(row) >= shown_.size()) return;
    const LumoAccess::Long id = shown_[static_cast<std::size_t>(row)];
    const LumoAccess::PersonInformation person = book_.access().GetPersonalInformation(id);
    std::vector<LumoAccess::ChildrenInformation> children;
    book_.access().GetChildInformation(id, children);
    const std::filesystem::path file = jointNamesFile(book_.folder());
    JointChoice choice;
    try {
        const auto all = loadJointNames(file);
        if (auto it = all.find(id); it != all.end()) choice = it->second;
    } catch (const std::exception&) {
    }

    QDialog dialog(this);
    dialog.setWindowTitle(q("連名 - " + person.strLastName + " " + person.strFirstName));
    auto* layout = new QVBoxLayout(&dialog);
    auto* mate = new QCheckBox(q("配偶者 " + person.strMate));
    mate->setEnabled(!person.strMate.empty());
    mate->setChecked(choice.mate);
    layout->addWidget(mate);
    std::vector<QCheckBox*> boxes;
    for (const auto& child : children) {
        auto* box = new QCheckBox(q("子供 " + child.strName));
        box->setChecked(std::ranges::find(choice.children, child.strName) != choice.children.end());
        layout->addWidget(box);
        boxes.push_back(box);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted) return;
    JointChoice chosen{mate->isChecked(), {}};
    for (std::size_t i = 0; i < boxes.size(); ++i)
        if (boxes[i]->isChecked()) chosen.children.push_back(children[i].strName);
    try {
        storeJointChoice(file, id, chosen);
    } catch (const std::exception& e) {
        QMessageBox::warning(this, windowTitle(), q(std::string("連名を記録できません: ") + e.what()));
    }
}

}  // namespace lumo::greetings
