#pragma once
// The person list (氏名, よみ, 電話, 住所, グループ) of the main window. It
// holds only each listed person's identifier and index row; the texts of a
// row are read when the view asks for them, a page of rows at a time, and
// only a few pages are kept, so that a list of 100,000 persons opens at
// once and scrolls with flat memory.
//
// Owned by the main window, on the GUI thread only; it reads through the
// window's engine connection, which must outlive it.
#include <QAbstractTableModel>
#include <array>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace lumo::db {
class Connection;
class Recordset;
}

namespace lumo::book {

struct ListEntry {
    int32_t id = 0;
    int8_t kanaRow = -1;  // kanaRowOf the reading
};

// The whole list (every person, sorted as readEntries sorts) and where each
// identifier stands in it. A search's persons put in this order are sorted
// as their readings would sort them, without reading or comparing a single
// text: a search that finds half of 100,000 persons spent a fifth of its
// time on that. True only as long as the file holds what the whole list
// was read from; the search thread knows when (SearchRunner.cpp).
// A value; any thread, one at a time.
struct ReadingOrder {
    std::vector<ListEntry> entries;
    std::vector<int32_t> position;  // by identifier: its index in entries, -1 for none

    explicit ReadingOrder(std::vector<ListEntry> whole);
};

// Reads a statement's PERSON_ID and PERSON_ALIAS columns into entries sorted
// by reading, then identifier; with a group caption, only the rows whose
// LABEL column holds it. Throws lumo::Error. The rows are read as they
// come, none kept; when `superseded` answers true (asked every thousand
// rows or so), the statement stops there and the answer is empty.
// With `order` (which must be true of the file), the rows are put in its
// order; a row of a person it does not know sorts them all by reading, as
// without it.
std::vector<ListEntry> readEntries(db::Connection& connection, const std::string& sql,
                                   const std::string& labelFilter = {},
                                   const std::function<bool()>& superseded = {},
                                   const ReadingOrder* order = nullptr);

class PersonListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Name, Reading, Phone, Address, Group, ColumnCount };
    static constexpr int kPageRows = 64;
    static constexpr std::size_t kKeptPages = 16;

    explicit PersonListModel(db::Connection& connection, QObject* parent = nullptr);

    void setEntries(std::vector<ListEntry> entries);
    const std::vector<ListEntry>& entries() const { return entries_; }
    // Forgets the rows read, so that the next look reads them again.
    void refreshRows();
    int32_t idAt(int row) const;
    int rowOf(int32_t id) const;
    // The first row in index row `kanaRow` or after it, -1 for none.
    int firstRowOfKana(int kanaRow) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // How many pages were read since the list was set (for the tests of
    // "read as shown").
    int pagesRead() const { return pagesRead_; }

private:
    using Row = std::array<QString, ColumnCount>;
    struct Page {
        std::vector<Row> rows;
    };
    const Page& page(int number) const;

    db::Connection& connection_;
    std::vector<ListEntry> entries_;
    mutable std::unordered_map<int, std::list<std::pair<int, Page>>::iterator> pageIndex_;
    mutable std::list<std::pair<int, Page>> pages_;  // most recently used first
    mutable int pagesRead_ = 0;
};

}  // namespace lumo::book
