#include "addressbook/PersonListModel.h"

#include <algorithm>
#include <array>
#include <optional>

#include "addressbook/PersonQueries.h"
#include "platform/ErrorReport.h"
#include "engine/Connection.h"
#include "engine/Recordset.h"
#include "engine/RowStream.h"
#include "platform/Error.h"

namespace lumo::book {
namespace {

QString textOf(db::Recordset& rs, int field) {
    const db::Variant& v = rs.Fields(field).Value();
    return v.isNull() ? QString() : QString::fromStdString(v.toString());
}

}  // namespace

ReadingOrder::ReadingOrder(std::vector<ListEntry> whole) : entries(std::move(whole)) {
    int32_t largest = -1;
    for (const ListEntry& e : entries) largest = std::max(largest, e.id);
    // Keys far apart would make the table large for few persons: then
    // there is no order, and searches sort by reading.
    if (static_cast<std::size_t>(largest) + 1 > 4 * entries.size() + 65'536) return;
    position.assign(static_cast<std::size_t>(largest + 1), -1);
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (entries[i].id >= 0) position[static_cast<std::size_t>(entries[i].id)] = static_cast<int32_t>(i);
}

namespace {

// The only columns the list reads of a list statement's rows: the search
// statements also join phones and mail addresses for other programs'
// columns, which the engine then leaves out.
const std::vector<std::string>& listColumns() {
    static const std::vector<std::string> columns{"PERSON_ID", "PERSON_ALIAS", "LABEL"};
    return columns;
}

// readEntries with a reading order: how often each listed person came,
// then the whole list walked once. Nullopt when a row names a person the
// order does not know.
std::optional<std::vector<ListEntry>> entriesInOrder(db::Connection& connection, const std::string& sql,
                                                     const std::string& labelFilter,
                                                     const std::function<bool()>& superseded,
                                                     const ReadingOrder& order) {
    if (order.position.empty()) return std::nullopt;
    std::vector<uint8_t> times(order.entries.size(), 0);
    std::size_t listed = 0;
    int id = -1, label = -1;
    std::size_t seen = 0;
    bool stopped = false, stray = false;
    db::forEachRow(connection, sql, [&](const db::RowView& row) {
        if (++seen % 1024 == 0 && superseded && superseded()) return !(stopped = true);
        if (id < 0) {
            id = row.column("PERSON_ID");
            label = row.column("LABEL");
            if (id < 0 || row.column("PERSON_ALIAS") < 0)
                throw Error("一覧の SQL 文に PERSON_ID と PERSON_ALIAS の列がありません。");
        }
        if (!labelFilter.empty() && (label < 0 || row.text(label) != labelFilter)) return true;
        const long long person = row.integer(id);
        const int32_t at = person >= 0 && static_cast<std::size_t>(person) < order.position.size()
                               ? order.position[static_cast<std::size_t>(person)]
                               : -1;
        // Counted up to 255 times; a person listed more often is stray too.
        if (at < 0 || times[static_cast<std::size_t>(at)] == 255) return !(stray = true);
        ++times[static_cast<std::size_t>(at)];
        ++listed;
        return true;
    }, listColumns());
    if (stopped) return std::vector<ListEntry>{};
    if (stray) return std::nullopt;
    std::vector<ListEntry> entries;
    entries.reserve(listed);
    for (std::size_t i = 0; i < times.size(); ++i)
        for (uint8_t k = 0; k < times[i]; ++k) entries.push_back(order.entries[i]);
    return entries;
}

}  // namespace

std::vector<ListEntry> readEntries(db::Connection& connection, const std::string& sql, const std::string& labelFilter,
                                   const std::function<bool()>& superseded, const ReadingOrder* order) {
    if (order) {
        if (std::optional<std::vector<ListEntry>> entries = entriesInOrder(connection, sql, labelFilter, superseded, *order))
            return std::move(*entries);
    }
    struct Sorted {
        std::string reading;
        ListEntry entry;
    };
    std::vector<Sorted> rows;
    // Only the key, the reading and the group of each row are kept, as the
    // rows come: a search over 100,000 persons then holds no more than its
    // list needs.
    int id = -1, alias = -1, label = -1;
    std::size_t seen = 0;
    bool stopped = false;
    db::forEachRow(connection, sql, [&](const db::RowView& row) {
        if (++seen % 1024 == 0 && superseded && superseded()) return !(stopped = true);
        if (id < 0) {
            id = row.column("PERSON_ID");
            alias = row.column("PERSON_ALIAS");
            label = row.column("LABEL");
            if (id < 0 || alias < 0) throw Error("一覧の SQL 文に PERSON_ID と PERSON_ALIAS の列がありません。");
        }
        if (!labelFilter.empty() && (label < 0 || row.text(label) != labelFilter)) return true;
        Sorted sorted{readingSortKey(row.text(alias)), {}};
        sorted.entry.id = static_cast<int32_t>(row.integer(id));
        sorted.entry.kanaRow = static_cast<int8_t>(kanaRowOf(sorted.reading));
        rows.push_back(std::move(sorted));
        return true;
    }, listColumns());
    if (stopped) return {};
    std::sort(rows.begin(), rows.end(), [](const Sorted& a, const Sorted& b) {
        return a.reading != b.reading ? a.reading < b.reading : a.entry.id < b.entry.id;
    });
    std::vector<ListEntry> entries;
    entries.reserve(rows.size());
    for (const Sorted& row : rows) entries.push_back(row.entry);
    return entries;
}

PersonListModel::PersonListModel(db::Connection& connection, QObject* parent)
    : QAbstractTableModel(parent), connection_(connection) {}

void PersonListModel::setEntries(std::vector<ListEntry> entries) {
    beginResetModel();
    entries_ = std::move(entries);
    pages_.clear();
    pageIndex_.clear();
    pagesRead_ = 0;
    endResetModel();
}

void PersonListModel::refreshRows() {
    pages_.clear();
    pageIndex_.clear();
    if (!entries_.empty()) emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
}

int32_t PersonListModel::idAt(int row) const {
    return row >= 0 && row < rowCount() ? entries_[static_cast<std::size_t>(row)].id : 0;
}

int PersonListModel::rowOf(int32_t id) const {
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].id == id) return static_cast<int>(i);
    return -1;
}

int PersonListModel::firstRowOfKana(int kanaRow) const {
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].kanaRow >= kanaRow) return static_cast<int>(i);
    return -1;
}

int PersonListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(entries_.size());
}

int PersonListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant PersonListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()) return {};
    const Page& p = page(index.row() / kPageRows);
    const auto at = static_cast<std::size_t>(index.row() % kPageRows);
    if (at >= p.rows.size()) return {};
    return p.rows[at][static_cast<std::size_t>(index.column())];
}

QVariant PersonListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
    static const std::array<const char*, ColumnCount> captions{"氏名", "よみ", "電話", "住所", "グループ"};
    return section >= 0 && section < ColumnCount ? QString::fromUtf8(captions[static_cast<std::size_t>(section)])
                                                 : QVariant();
}

const PersonListModel::Page& PersonListModel::page(int number) const {
    if (const auto found = pageIndex_.find(number); found != pageIndex_.end()) {
        pages_.splice(pages_.begin(), pages_, found->second);
        return found->second->second;
    }
    Page page;
    const std::size_t first = static_cast<std::size_t>(number) * kPageRows;
    const std::size_t last = std::min(entries_.size(), first + kPageRows);
    std::vector<int32_t> ids;
    for (std::size_t i = first; i < last; ++i) ids.push_back(entries_[i].id);
    page.rows.resize(ids.size());
    // A failed read shows one report and leaves the rows empty; the next
    // refresh reads them again.
    reported("FM-ab1002", [&] {
        std::unordered_map<int32_t, Row> byId;
        db::Recordset rs;
        rs.Open(personRowsStatement(ids), connection_, db::adOpenForwardOnly, db::adLockReadOnly, db::adCmdText);
        for (; !rs.Eof(); rs.MoveNext()) {
            Row row;
            row[Name] = textOf(rs, 1).trimmed();
            row[Reading] = textOf(rs, 2).trimmed();
            row[Phone] = textOf(rs, 3);
            if (row[Phone].isEmpty()) row[Phone] = textOf(rs, 4);
            row[Address] = textOf(rs, 5);
            if (row[Address].isEmpty()) row[Address] = textOf(rs, 6);
            row[Group] = textOf(rs, 7);
            byId.emplace(rs.Fields(0).Value().toLong(), std::move(row));
        }
        for (std::size_t i = 0; i < ids.size(); ++i)
            if (auto found = byId.find(ids[i]); found != byId.end()) page.rows[i] = std::move(found->second);
    });
    ++pagesRead_;
    pages_.emplace_front(number, std::move(page));
    pageIndex_[number] = pages_.begin();
    if (pages_.size() > kKeptPages) {
        pageIndex_.erase(pages_.back().first);
        pages_.pop_back();
    }
    return pages_.front().second;
}

}  // namespace lumo::book
