#include "addressbook/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <sys/resource.h>
#include <unistd.h>
#include <chrono>
#include <filesystem>

#include "addressbook/ListWindows.h"
#include "addressbook/PersonListModel.h"
#include "addressbook/PersonQueries.h"
#include "addressbook/SearchRunner.h"
#include "client/AccessLibrary.h"
#include "platform/Dates.h"
#include "platform/Error.h"
#include "platform/ErrorReport.h"
#include "engine/Recordset.h"

namespace lumo::book {
namespace {

using namespace LumoAccess;

QString qs(const std::string& s) { return QString::fromStdString(s); }

constexpr int kTypeRole = Qt::UserRole + 1;   // group list: TYPE_ID, 0 for すべて
constexpr int kLabelRole = Qt::UserRole + 2;  // group list: the caption alone

// Esc in the search box clears it (and so lists everybody again).
class ClearOnEscape : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            if (auto* edit = qobject_cast<QLineEdit*>(watched); edit && !edit->text().isEmpty()) {
                edit->clear();
                return true;
            }
        }
        return false;
    }
};

QString summaryHtml(const PersonaInfoOverview& o) {
    const auto e = [](const std::string& s) { return qs(s).toHtmlEscaped(); };
    // The overview puts the nickname and the company's reading in
    // parentheses also when they are empty.
    const auto unlessEmpty = [&](const std::string& s) { return s == "()" ? QString() : e(s); };
    QString html = QStringLiteral("<p><b style='font-size:large'>%1</b> %2</p>").arg(e(o.strName), unlessEmpty(o.strNickName));
    if (!o.strCompany.empty()) html += QStringLiteral("<p>%1 %2</p>").arg(e(o.strCompany), unlessEmpty(o.strAlias));
    const auto address = [&](const char* caption, const std::string& zip, const std::string& a1, const std::string& a2) {
        if (zip.empty() && a1.empty() && a2.empty()) return;
        html += QStringLiteral("<p><b>%1</b><br>〒%2<br>%3<br>%4</p>").arg(QString::fromUtf8(caption), e(zip), e(a1), e(a2));
    };
    address("自宅", o.strHomeZip, o.strHomeAddress1, o.strHomeAddress2);
    address("勤務先", o.strOfficeZip, o.strOfficeAddress1, o.strOfficeAddress2);
    QString lines;
    const std::array<std::pair<const std::string*, const std::string*>, 5> rows{
        {{&o.strPhonelabel1, &o.strPhone1}, {&o.strPhonelabel2, &o.strPhone2}, {&o.strPhonelabel3, &o.strPhone3},
         {&o.strMaillabel1, &o.strMail1}, {&o.strMaillabel2, &o.strMail2}}};
    for (const auto& [label, value] : rows)
        if (!value->empty()) lines += QStringLiteral("%1 %2<br>").arg(e(*label), e(*value));
    if (!lines.isEmpty()) html += QStringLiteral("<p>") + lines + QStringLiteral("</p>");
    if (!o.strNote.empty()) html += QStringLiteral("<p><b>ノート</b><br>%1</p>").arg(e(o.strNote).replace('\n', "<br>"));
    return html;
}

}  // namespace

MainWindow::MainWindow(BookFolder book, QWidget* parent) : QMainWindow(parent), book_(std::move(book)) {
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(QStringLiteral("住所録 - ") + qs(book_.folder.filename().empty() ? book_.folder.string()
                                                                                 : book_.folder.filename().string()));
    model_ = std::make_unique<PersonListModel>(connection_);

    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    auto* top = new QHBoxLayout;
    search_ = new QLineEdit;
    search_->setPlaceholderText(QStringLiteral("検索 (名前・よみ・会社・配偶者・電話番号)  Ctrl+F"));
    search_->setClearButtonEnabled(true);
    search_->installEventFilter(new ClearOnEscape(search_));
    top->addWidget(search_, 1);
    const std::vector<std::string>& captions = kanaRowCaptions();
    for (std::size_t i = 0; i < captions.size(); ++i) {
        auto* button = new QPushButton(qs(captions[i]));
        button->setFixedWidth(34);
        button->setFocusPolicy(Qt::NoFocus);
        // Alt+1 ... Alt+0 jump to あ ... わ.
        const int key = i == 9 ? Qt::Key_0 : Qt::Key_1 + static_cast<int>(i);
        button->setShortcut(QKeySequence(Qt::ALT | key));
        button->setToolTip(qs(captions[i]) + QStringLiteral("行へ (Alt+") + QString::number((i + 1) % 10) + ")");
        connect(button, &QPushButton::clicked, this, [this, i] { jumpToKana(static_cast<int>(i)); });
        top->addWidget(button);
        index_.push_back(button);
    }
    layout->addLayout(top);

    auto* split = new QSplitter;
    groups_ = new QListWidget;
    groups_->setObjectName(QStringLiteral("groups"));
    list_ = new QTableView;
    list_->setObjectName(QStringLiteral("persons"));
    list_->setModel(model_.get());
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->verticalHeader()->setVisible(false);
    list_->verticalHeader()->setDefaultSectionSize(list_->fontMetrics().height() + 8);
    list_->horizontalHeader()->setStretchLastSection(true);
    list_->setColumnWidth(PersonListModel::Name, 130);
    list_->setColumnWidth(PersonListModel::Reading, 150);
    list_->setColumnWidth(PersonListModel::Phone, 120);
    list_->setColumnWidth(PersonListModel::Address, 240);
    list_->setTabKeyNavigation(false);
    summary_ = new QLabel;
    summary_->setObjectName(QStringLiteral("summary"));
    summary_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    summary_->setWordWrap(true);
    summary_->setTextFormat(Qt::RichText);
    summary_->setMinimumWidth(230);
    summary_->setMargin(8);
    split->addWidget(groups_);
    split->addWidget(list_);
    split->addWidget(summary_);
    split->setStretchFactor(0, 0);
    split->setStretchFactor(1, 1);
    split->setStretchFactor(2, 0);
    split->setSizes({150, 720, 260});
    layout->addWidget(split, 1);
    setCentralWidget(central);
    count_ = new QLabel;
    statusBar()->addPermanentWidget(count_);
    postalSource_ = new QLabel;
    postalSource_->setObjectName(QStringLiteral("postalSource"));
    statusBar()->addPermanentWidget(postalSource_);
    // Read when the first list is shown (startPostalLoad), so that it does
    // not compete with that list for the machine.
    postalSource_->setText(QStringLiteral("郵便番号: 読み込み中"));

    buildMenus();

    connect(search_, &QLineEdit::textChanged, this, [this] { requestList(); });
    connect(groups_, &QListWidget::currentRowChanged, this, [this] { requestList(); });
    connect(list_, &QTableView::activated, this, [this](const QModelIndex& index) {
        if (const int32_t id = model_->idAt(index.row())) openCard(id);
    });
    connect(list_->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] { showSummary(); });
    // Another program may have written the file while the user was away.
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state == Qt::ApplicationActive && pid_ && isActiveWindow()) refreshAll();
    });
    resize(1180, 680);
    setTabOrder(search_, list_);
    setTabOrder(list_, groups_);
}

MainWindow::~MainWindow() = default;

void MainWindow::buildMenus() {
    struct Item {
        const char* caption;
        QKeySequence keys;
        std::function<void()> run;
    };
    const auto fill = [this](QMenu* menu, const std::vector<Item>& items) {
        for (const Item& item : items) {
            if (!item.caption) {
                menu->addSeparator();
                continue;
            }
            QAction* action = menu->addAction(QString::fromUtf8(item.caption), this, item.run);
            action->setShortcut(item.keys);
            action->setShortcutContext(Qt::WindowShortcut);
        }
    };
    fileMenu_ = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
    fill(fileMenu_, {
                        {"新しい人(&N)", QKeySequence::New, [this] { openCard(0); }},
                        {"カードを開く(&O)", QKeySequence(Qt::CTRL | Qt::Key_O),
                         [this] {
                             if (const int32_t id = currentPersonId()) openCard(id);
                         }},
                        {"グループへ移動(&M)...", QKeySequence(Qt::CTRL | Qt::Key_M), [this] { chooseGroupForCurrent(); }},
                        {nullptr, {}, {}},
                        {"エクスポート(&E)...", QKeySequence(Qt::CTRL | Qt::Key_E), [this] { startExport(); }},
                        {nullptr, {}, {}},
                        {"終了(&X)", QKeySequence::Quit, [this] { close(); }},
                    });
    viewMenu_ = menuBar()->addMenu(QStringLiteral("表示(&V)"));
    fill(viewMenu_, {
                        {"検索(&S)", QKeySequence::Find,
                         [this] {
                             search_->setFocus();
                             search_->selectAll();
                         }},
                        {"一覧へ(&L)", QKeySequence(Qt::CTRL | Qt::Key_L), [this] { list_->setFocus(); }},
                        {"グループへ(&G)", QKeySequence(Qt::CTRL | Qt::Key_G), [this] { groups_->setFocus(); }},
                        {"最新の情報に更新(&R)", QKeySequence::Refresh, [this] { refreshAll(); }},
                        {nullptr, {}, {}},
                        {"ToDo(&T)...", QKeySequence(Qt::CTRL | Qt::Key_T), [this] { showTodo(); }},
                        {"近づく誕生日と記念日(&B)...", QKeySequence(Qt::CTRL | Qt::Key_B), [this] { showComingDates(); }},
                        {"重複の候補(&U)...", QKeySequence(Qt::CTRL | Qt::Key_U), [this] { showDuplicates(); }},
                    });
    toolBar_ = addToolBar(QStringLiteral("ツール"));
    toolBar_->setObjectName(QStringLiteral("mainToolBar"));
    toolBar_->setMovable(false);
    toolBar_->addAction(fileMenu_->actions().at(0));
    toolBar_->addAction(fileMenu_->actions().at(1));
}

bool MainWindow::open() {
    const bool failed = reported("FM-ab1000", [&] {
        pid_ = client::AccessLibrary::instance().create<clsPidAccess>();
    });
    if (failed || !pid_) return false;
    if (pid_->Initialize(book_.connectionString())) return false;
    if (reported("FM-ab1001", [&] { connection_.Open(book_.connectionString()); })) return false;
    runner_ = std::make_unique<SearchRunner>(book_.connectionString());
    connect(runner_.get(), &SearchRunner::answered, this,
            [this](const std::shared_ptr<ListAnswer>& answer) { applyAnswer(answer); });
    loadGroups();
    requestList();
    search_->setFocus();  // typing starts a search at once
    return true;
}

std::vector<GroupChoice> MainWindow::groupChoices() const {
    std::vector<GroupChoice> choices;
    for (int i = 0; i < groups_->count(); ++i)
        if (const int id = groups_->item(i)->data(kTypeRole).toInt(); id > 0)
            choices.push_back({id, groups_->item(i)->data(kLabelRole).toString()});
    return choices;
}

void MainWindow::loadGroups() {
    const int32_t chosen = selectedTypeId();
    const QSignalBlocker quiet(groups_);
    groups_->clear();
    reported("FM-ab1003", [&] {
        db::Recordset total;
        total.Open(personCountStatement(), connection_, db::adOpenForwardOnly, db::adLockReadOnly, db::adCmdText);
        auto* all = new QListWidgetItem(QStringLiteral("すべて (%1)").arg(total.Fields(0).Value().toLong()));
        all->setData(kTypeRole, 0);
        groups_->addItem(all);
        total.Close();
        db::Recordset rs;
        rs.Open(groupCountsStatement(), connection_, db::adOpenForwardOnly, db::adLockReadOnly, db::adCmdText);
        for (; !rs.Eof(); rs.MoveNext()) {
            const QString label = qs(rs.Fields(1).Value().isNull() ? std::string() : rs.Fields(1).Value().toString());
            auto* item = new QListWidgetItem(QStringLiteral("%1 (%2)").arg(label).arg(rs.Fields(2).Value().toLong()));
            item->setData(kTypeRole, rs.Fields(0).Value().toLong());
            item->setData(kLabelRole, label);
            groups_->addItem(item);
        }
    });
    int row = 0;
    for (int i = 0; i < groups_->count(); ++i)
        if (groups_->item(i)->data(kTypeRole).toInt() == chosen) row = i;
    groups_->setCurrentRow(row);
}

int32_t MainWindow::selectedTypeId() const {
    const QListWidgetItem* item = groups_->currentItem();
    return item ? item->data(kTypeRole).toInt() : 0;
}

QString MainWindow::selectedGroupLabel() const {
    const QListWidgetItem* item = groups_->currentItem();
    return item && item->data(kTypeRole).toInt() > 0 ? item->data(kLabelRole).toString() : QString();
}

void MainWindow::requestList() {
    if (!runner_) return;
    // One statement at a time: a change while one runs is asked for when
    // it ends, so typing never waits and no stale list is shown.
    if (inFlight_) {
        pending_ = true;
        runner_->cancel();  // its list would only be dropped
        return;
    }
    if (keepSelection_ == 0) keepSelection_ = currentPersonId();
    const SearchWords words = searchWords(search_->text().toStdString());
    if (words.empty()) {
        if (const auto kept = wholeLists_.find(selectedTypeId()); kept != wholeLists_.end()) {
            showEntries(kept->second);
            return;
        }
    }
    askedWholeList_ = words.empty() ? selectedTypeId() : -1;
    if (words.empty()) {
        inFlight_ = true;
        if (selectedTypeId() == 0) runner_->requestEveryone(personIdsStatement(0));
        else runner_->request(personIdsStatement(selectedTypeId()));
        return;
    }
    std::string sql = pid_->CreateSimpleViewQuery(words.name, words.phone);
    const std::string label = selectedGroupLabel().toStdString();
    askedSearch_ = sql + '\n' + label;
    if (const auto kept = std::find_if(searchLists_.begin(), searchLists_.end(),
                                       [&](const auto& list) { return list.first == askedSearch_; });
        kept != searchLists_.end()) {
        showEntries(kept->second);
        return;
    }
    inFlight_ = true;
    runner_->request(std::move(sql), label);
}

void MainWindow::keepSearchList(const std::vector<ListEntry>& entries) {
    if (entries.size() > kKeptSearchRows) return;
    searchLists_.emplace_back(askedSearch_, entries);
    const auto rows = [&] {
        std::size_t n = 0;
        for (const auto& list : searchLists_) n += list.second.size();
        return n;
    };
    while (searchLists_.size() > kKeptSearches || rows() > kKeptSearchRows) searchLists_.erase(searchLists_.begin());
}

void MainWindow::applyAnswer(const std::shared_ptr<ListAnswer>& answer) {
    inFlight_ = false;
    if (pending_) {
        pending_ = false;
        requestList();
        return;
    }
    if (!answer->failure.empty()) showReport("FM-ab1004", answer->failure);
    else if (askedWholeList_ >= 0) wholeLists_[askedWholeList_] = answer->entries;
    else keepSearchList(answer->entries);
    showEntries(std::move(answer->entries));
}

void MainWindow::showEntries(std::vector<ListEntry> entries) {
    model_->setEntries(std::move(entries));
    const int kept = keepSelection_ ? model_->rowOf(keepSelection_) : -1;
    keepSelection_ = 0;
    if (model_->rowCount() > 0) list_->setCurrentIndex(model_->index(std::max(kept, 0), 0));
    if (kept > 0) list_->scrollTo(model_->index(kept, 0));
    showSummary();
    count_->setText(QStringLiteral("%1 人").arg(model_->rowCount()));
    if (!postalStarted_) startPostalLoad();
    emit listShown();
}

int32_t MainWindow::currentPersonId() const {
    const QModelIndex index = list_->currentIndex();
    return index.isValid() ? model_->idAt(index.row()) : 0;
}

void MainWindow::showSummary() {
    const int32_t id = currentPersonId();
    if (!id || !pid_) {
        summary_->clear();
        return;
    }
    summary_->setText(summaryHtml(pid_->GetPersonalInformaionOverView(id)));
}

void MainWindow::jumpToKana(int kanaRow) {
    const int row = model_->firstRowOfKana(kanaRow);
    if (row < 0) return;
    const QModelIndex index = model_->index(row, 0);
    list_->setCurrentIndex(index);
    list_->scrollTo(index, QAbstractItemView::PositionAtTop);
    list_->setFocus();
}

void MainWindow::refreshAll() {
    if (!pid_) return;
    wholeLists_.clear();
    searchLists_.clear();
    loadGroups();
    model_->refreshRows();
    keepSelection_ = currentPersonId();
    requestList();
}

PersonEditor* MainWindow::openCard(int32_t personId) {
    if (!pid_) return nullptr;
    auto* editor = new PersonEditor(*pid_, groupChoices(), personId, selectedTypeId() > 0 ? selectedTypeId() : 0, this);
    editor->setAttribute(Qt::WA_DeleteOnClose);
    editor->usePostalTable(postalTable());
    connect(editor, &PersonEditor::saved, this, [this](int32_t id) {
        keepSelection_ = id;
        refreshAll();
    });
    connect(editor, &PersonEditor::removed, this, [this](int32_t) { refreshAll(); });
    editor->show();
    return editor;
}

void MainWindow::showPostal(const std::function<postal::PostalTable()>& read) {
    try {
        postal_ = read();
        postalSource_->setText(qs(postal_.sourceLabel()));
        postalSource_->setToolTip(QString());
    } catch (const std::exception& e) {
        // The cards go on without postal help; the address book itself is fine.
        postal_ = {};
        postalSource_->setText(QStringLiteral("郵便番号: 読めません"));
        postalSource_->setToolTip(QString::fromUtf8(e.what()));
    }
}

void MainWindow::startPostalLoad() {
    postalStarted_ = true;
    pendingPostal_ = std::async(std::launch::async, [file = book_.postalDatabase()] {
        // Nothing waits for the table until a card asks for a code: the
        // searches typed meanwhile go first.
        setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 10);
        return postal::loadPostalTable(file);
    });
    auto* poll = new QTimer(this);
    poll->setInterval(50);
    connect(poll, &QTimer::timeout, this, [this, poll] {
        if (pendingPostal_.valid() && pendingPostal_.wait_for(std::chrono::seconds(0)) != std::future_status::ready) return;
        finishPostalLoad();
        poll->deleteLater();
    });
    poll->start();
}

void MainWindow::finishPostalLoad() {
    // Asked for before any list was shown: read it now.
    if (!postalStarted_) {
        postalStarted_ = true;
        showPostal([this] { return postal::loadPostalTable(book_.postalDatabase()); });
    }
    if (pendingPostal_.valid()) showPostal([this] { return pendingPostal_.get(); });
}

void MainWindow::loadPostalTable(const std::filesystem::path& skkDictionary) {
    if (postalStarted_) finishPostalLoad();
    postalStarted_ = true;
    showPostal([&] { return postal::loadPostalTable(book_.postalDatabase(), skkDictionary); });
}

const postal::PostalTable& MainWindow::postalTable() {
    finishPostalLoad();
    return postal_;
}

bool MainWindow::movePerson(int32_t personId, int32_t typeId) {
    PersonEditor card(*pid_, groupChoices(), personId, 0, this);
    const int at = card.groupBox()->findData(typeId);
    if (at < 0) return false;
    card.groupBox()->setCurrentIndex(at);
    const bool moved = card.save();
    if (moved) refreshAll();
    return moved;
}

void MainWindow::chooseGroupForCurrent() {
    const int32_t id = currentPersonId();
    if (!id) return;
    QStringList labels;
    const std::vector<GroupChoice> choices = groupChoices();
    for (const GroupChoice& g : choices) labels << g.label;
    bool ok = false;
    const QString chosen = QInputDialog::getItem(this, QStringLiteral("グループへ移動"), QStringLiteral("移動先のグループ:"),
                                                 labels, 0, false, &ok);
    if (!ok) return;
    for (const GroupChoice& g : choices)
        if (g.label == chosen) movePerson(id, g.typeId);
}

namespace {

// A list window that opens the cards of its persons and ends when closed.
template <class Window>
Window* shownList(MainWindow& main, Window* window) {
    window->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(window, &PersonListDialog::openPerson, &main, [&main](int32_t id) { main.openCard(id); });
    window->show();
    return window;
}

}  // namespace

QDialog* MainWindow::showTodo() {
    std::vector<TodoRow> rows;
    if (reported("FM-ab1006", [&] { rows = readTodo(connection_); })) return nullptr;
    return shownList(*this, makeTodoWindow(rows, this));
}

QDialog* MainWindow::showComingDates() {
    std::vector<ComingDate> rows;
    if (reported("FM-ab1007", [&] { rows = readComingDates(connection_, dates::now()); })) return nullptr;
    return shownList(*this, makeComingDatesWindow(rows, this));
}

QDialog* MainWindow::showDuplicates() {
    auto* window = new DuplicatesWindow(
        *pid_,
        [this] {
            std::vector<DuplicatePair> pairs;
            reported("FM-ab1008", [&] { pairs = readDuplicates(connection_); });
            return pairs;
        },
        this);
    connect(window, &DuplicatesWindow::merged, this, [this] { refreshAll(); });
    return shownList(*this, window);
}

void MainWindow::startExport() {
    // The export wizard reads the databases under its current folder.
    const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/LumoExport");
    const QString program = std::filesystem::exists(beside.toStdString()) ? beside : QStringLiteral("LumoExport");
    if (!QProcess::startDetached(program, {}, qs(book_.folder.string())))
        showReport("FM-ab1005", "エクスポートを開始できません (" + program.toStdString() + ")。");
}

}  // namespace lumo::book
