#include "engine/Recordset.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "platform/Error.h"
#include "ConnectionImpl.h"
#include "StatementWatch.h"
#include "platform/FaultInjection.h"

namespace lumo::db {
namespace {

[[noreturn]] void noCurrentRecord() {
    throw Error("BOF と EOF のいずれかが True になっているか、または現在のレコードが削除されています。"
                "要求された操作には、現在のレコードが必要です。",
                ReportKind::NotFound);
}

[[noreturn]] void notOpen() { throw Error("オブジェクトが閉じている場合は、操作は許可されません。"); }

[[noreturn]] void connectionClosed() {
    throw Error("接続が閉じられているため、操作は許可されません。レコードセットを開き直してください。");
}

// A recordset's share of its connection's internals. It keeps them alive
// (not the SQLite handle, which closes with the Connection) and knows which
// Open of the connection the recordset belongs to. Moves with the
// recordset's state; one thread.
class ConnectionUse {
public:
    ConnectionUse() = default;
    explicit ConnectionUse(std::shared_ptr<ConnectionImpl> cn) : cn_(std::move(cn)), opened_(cn_->opened) {}

    explicit operator bool() const { return cn_ != nullptr; }
    // Closed, or closed and opened again: the statements and rows the
    // recordset holds belong to the handle that was closed.
    bool closed() const { return !cn_->db || cn_->opened != opened_; }
    // The internals, for work that needs the handle; fails once the
    // connection has been closed or destroyed.
    ConnectionImpl* operator->() const {
        if (closed()) connectionClosed();
        return cn_.get();
    }
    const ConnectionImpl* get() const { return cn_.get(); }

private:
    std::shared_ptr<ConnectionImpl> cn_;
    uint64_t opened_ = 0;
};

std::string bracket(const std::string& name) { return "[" + name + "]"; }

// Out of line and cold: the message is built only when it is needed, and
// the range check that leads here stays a compare in every column read.
// The stored column is named as the library's readers name theirs.
[[noreturn, gnu::cold, gnu::noinline]] void outOfRange(const ColumnInfo& info, sqlite3_int64 v) {
    std::string text = "オーバーフローしました。フィールド '" + info.name + "' の値 " + std::to_string(v) + " は範囲を超えています。";
    if (!info.table.empty()) text += "(" + info.table + "." + info.origin + ")";
    throw Error(text);
}

// The value of column `i` of the current row, typed by the column's info.
// It is taken once and read with the sqlite3_value_* functions: each
// sqlite3_column_* call finds the column anew, and a row is read column by
// column for every statement. (Such a value may be read on the
// connection's own thread only, which is how connections are used.) Here,
// beside the row reader, so that it is inlined there.
[[gnu::always_inline]] inline Variant readColumn(sqlite3_stmt* st, int i, const ColumnInfo& info) {
    sqlite3_value* value = sqlite3_column_value(st, i);
    const int storage = sqlite3_value_type(value);
    if (storage == SQLITE_NULL) return Variant::null();
    auto text = [&] {
        const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(value));
        return Variant(std::string_view(p, static_cast<std::size_t>(sqlite3_value_bytes(value))));
    };
    // A value stored before the schema checked its range is reported, not
    // wrapped around.
    const auto whole = [&](sqlite3_int64 low, sqlite3_int64 high) {
        const sqlite3_int64 v = sqlite3_value_int64(value);
        if (v < low || v > high) outOfRange(info, v);
        return v;
    };
    switch (info.type) {
    case VarType::Long: return Variant(static_cast<int32_t>(whole(INT32_MIN, INT32_MAX)));
    case VarType::Integer: return Variant(static_cast<int16_t>(whole(INT16_MIN, INT16_MAX)));
    case VarType::Boolean: return Variant(sqlite3_value_int64(value) != 0);
    case VarType::Date:
        if (info.inferred && storage == SQLITE_TEXT) return text();
        return Variant::date(sqlite3_value_double(value));
    case VarType::Double: return Variant(sqlite3_value_double(value));
    case VarType::String: return text();
    default: break;
    }
    switch (storage) {
    case SQLITE_INTEGER: {
        const sqlite3_int64 v = sqlite3_value_int64(value);
        if (v >= INT32_MIN && v <= INT32_MAX) return Variant(static_cast<int32_t>(v));
        return Variant(static_cast<double>(v));
    }
    case SQLITE_FLOAT: return Variant(sqlite3_value_double(value));
    default: return text();
    }
}

}  // namespace

// Rows are kept whole while a result is small. A large result over one
// table keeps only each row's identity and reads a row when the cursor
// lands on it (a keyset cursor), so that listing every key of a large table
// costs 8 bytes a row instead of a whole row of values.
constexpr std::size_t kKeysetAfterRows = 1024;

struct RecordsetImpl {
    enum class EditMode { None, Edit, AddNew };

    ConnectionUse connection;
    std::shared_ptr<const ColumnSet> columns;
    std::size_t width = 0;
    std::size_t rowCount = 0;
    std::vector<Variant> cells;        // row after row, unless keyset
    // Per row, when the source is one table. Rows of the suite's tables are
    // identified by their Long keys, so 32 bits hold every identity.
    std::vector<int32_t> rowids;
    bool keyset = false;
    bool keysetAllowed = false;              // one table, every column a plain column
    bool keyOnly = false;                    // every column is the table's AutoNumber key
    int lastField = -1;                      // the last field found by name; -1: none yet
    std::ptrdiff_t cachedRow = -1;           // keyset: the row held in rowCache
    std::vector<Variant> rowCache;
    std::string rowReader;                   // keyset and re-reads: the statement of one row by identity
    std::ptrdiff_t current = 0;              // -1: before the first row; rows(): after the last
    bool currentDeleted = false;             // the current row was deleted and is gone
    bool updatable = false;
    std::string table;  // the one table of the source, if any
    EditMode mode = EditMode::None;
    std::vector<Variant> buffer;  // the row being edited or added
    std::vector<bool> dirty;
    // A whole table is read when first needed: a table opened only to add
    // rows (every insert routine of the library) then costs nothing per
    // stored row. Until then the recordset holds just the rows it added.
    std::string unreadTable;  // the statement that reads it; empty once read

    // Back to the state of a new recordset, keeping the room of the cells
    // and identities for the next result.
    void clear() {
        RecordsetImpl fresh;
        fresh.cells = std::move(cells);
        fresh.cells.clear();
        fresh.rowids = std::move(rowids);
        fresh.rowids.clear();
        *this = std::move(fresh);
    }

    void settle() {
        if (!unreadTable.empty()) readTable();
    }
    void readTable();

    std::ptrdiff_t rows() const { return static_cast<std::ptrdiff_t>(rowCount); }
    bool open() const { return static_cast<bool>(connection); }
    void requireOpen() const {
        if (!open()) notOpen();
        if (connection.closed()) connectionClosed();
    }
    void faultPoint(FaultStep step, std::string_view doing) const {
        db::faultPoint(step, connection.get(), connection->path, doing);
    }
    bool onRow() const { return !currentDeleted && current >= 0 && current < rows(); }

    // The values of row r (materialised or read by its identity).
    Variant* row(std::ptrdiff_t r) {
        if (!keyset) return &cells[static_cast<std::size_t>(r) * width];
        if (cachedRow != r) {
            rowCache.assign(width, Variant::null());
            if (keyOnly) {  // a list of keys: the identity is the value
                for (Variant& v : rowCache) v = Variant(rowids[static_cast<std::size_t>(r)]);
            } else {
                const auto hold = connection->lockHandle();
                if (!connection->inTransaction) connection->snapshot->beforeRead();
                if (!readByRowid(rowids[static_cast<std::size_t>(r)], rowCache.data()))
                    throw Error("現在のレコードは、ほかのユーザーによって削除されています。");
            }
            cachedRow = r;
        }
        return rowCache.data();
    }

    // Field::Value takes the usual case itself; this is the rest, out of
    // line so that the usual case needs no frame.
    [[gnu::noinline]] const Variant& value(int index) {
        if (mode != EditMode::None) return buffer[static_cast<std::size_t>(index)];
        if (!onRow()) settle();
        if (!onRow()) noCurrentRecord();
        return row(current)[index];
    }

    void readRow(sqlite3_stmt* st) {
        if (columns->rowidColumn >= 0) addRowid(sqlite3_column_int64(st, columns->rowidColumn));
        ++rowCount;
        if (keyset) return;
        if (cells.capacity() == 0) cells.reserve(width);
        for (std::size_t i = 0; i < width; ++i) cells.push_back(readColumn(st, static_cast<int>(i), columns->columns[i]));
        if (keysetAllowed && rowCount > kKeysetAfterRows) {
            keyset = true;
            std::vector<Variant>().swap(cells);
        }
    }

    void setValue(int index, Variant value) {
        requireOpen();
        const ColumnInfo& column = columns->columns[static_cast<std::size_t>(index)];
        if (!updatable)
            throw Error("フィールド '" + column.name + "' を更新できません。このレコードセットは読み取り専用です "
                        "(結合やビューの結果、または読み取り専用で開かれています)。");
        if (column.origin.empty() || column.autoNumber)
            throw Error("フィールド '" + column.name + "' は更新できません。");
        if (mode == EditMode::None) {
            if (!onRow()) settle();
            if (!onRow()) noCurrentRecord();
            const Variant* values = row(current);
            buffer.assign(values, values + width);
            dirty.assign(width, false);
            mode = EditMode::Edit;
        }
        buffer[static_cast<std::size_t>(index)] = coerce(value, column.type);
        dirty[static_cast<std::size_t>(index)] = true;
    }

    void addRowid(sqlite3_int64 rowid) {
        if (rowid < INT32_MIN || rowid > INT32_MAX) throw Error("行の識別子が長整数型の範囲を超えています。");
        rowids.push_back(static_cast<int32_t>(rowid));
    }

    // These three use the handle; update and readTable take its lock, the
    // other two run under it.
    void update();
    bool readByRowid(sqlite3_int64 rowid, Variant* out);
    void rereadRow(std::ptrdiff_t r);
};

void RecordsetImpl::update() {
    if (mode == EditMode::None) return;
    const auto hold = connection->lockHandle();
    sqlite3* db = connection->handle();
    faultPoint(FaultStep::Update, "レコードを更新できません");
    std::string sql;
    std::vector<std::size_t> written;
    for (std::size_t i = 0; i < width; ++i)
        if (dirty[i]) written.push_back(i);
    if (mode == EditMode::AddNew) {
        if (written.empty()) {
            sql = "INSERT INTO " + bracket(table) + " DEFAULT VALUES";
        } else {
            std::string names, marks;
            for (std::size_t i : written) {
                names += (names.empty() ? "" : ", ") + bracket(columns->columns[i].origin);
                marks += marks.empty() ? "?" : ", ?";
            }
            sql = "INSERT INTO " + bracket(table) + " (" + names + ") VALUES (" + marks + ")";
        }
    } else {
        if (written.empty()) { mode = EditMode::None; return; }
        std::string sets;
        for (std::size_t i : written) sets += (sets.empty() ? "" : ", ") + bracket(columns->columns[i].origin) + " = ?";
        sql = "UPDATE " + bracket(table) + " SET " + sets + " WHERE _rowid_ = ?";
    }
    if (!connection->inTransaction) connection->snapshot->beforeWrite();
    else connection->checkBatch();
    sqlite3_stmt* st = connection->ownStatement(sql, "レコードを更新できません");
    {
        const ResetOnExit reset(st);
        int n = 1;
        for (std::size_t i : written) bindValue(st, n++, buffer[i]);
        if (mode == EditMode::Edit) sqlite3_bind_int64(st, n, rowids[static_cast<std::size_t>(current)]);
        if (sqlite3_step(st) != SQLITE_DONE) connection->fail("レコードを更新できません");
    }
    if (!connection->inTransaction) connection->snapshot->afterWrite();

    if (mode == EditMode::AddNew) {
        // The new row becomes current, with its key and defaults as stored.
        addRowid(sqlite3_last_insert_rowid(db));
        if (!keyset) cells.resize(cells.size() + width);
        ++rowCount;
        current = rows() - 1;
        currentDeleted = false;
        mode = EditMode::None;
        rereadRow(current);
    } else {
        if (sqlite3_changes(db) == 0) {
            mode = EditMode::None;
            throw Error("レコードが見つかりません。ほかのユーザーによって削除された可能性があります。");
        }
        if (!keyset) std::copy(buffer.begin(), buffer.end(), row(current));
        mode = EditMode::None;
        rereadRow(current);
    }
}

bool RecordsetImpl::readByRowid(sqlite3_int64 rowid, Variant* out) {
    if (rowReader.empty()) {
        std::string list;
        for (const ColumnInfo& c : columns->columns)
            list += (list.empty() ? "" : ", ") + (c.origin.empty() ? std::string("NULL") : bracket(c.origin));
        rowReader = "SELECT " + list + " FROM " + bracket(table) + " WHERE _rowid_ = ?";
    }
    sqlite3_stmt* st = connection->ownStatement(rowReader, "レコードを読み取れません");
    const ResetOnExit reset(st);
    sqlite3_bind_int64(st, 1, rowid);
    if (sqlite3_step(st) != SQLITE_ROW) return false;
    for (std::size_t i = 0; i < width; ++i)
        if (!columns->columns[i].origin.empty()) out[i] = readColumn(st, static_cast<int>(i), columns->columns[i]);
    return true;
}

// The rows added so far are part of the table; the one that was current
// stays current.
void RecordsetImpl::readTable() {
    const std::string sql = std::exchange(unreadTable, {});
    const bool wasOnRow = onRow();
    const int32_t currentRowid = wasOnRow ? rowids[static_cast<std::size_t>(current)] : 0;
    const JetSqlText text = connection->shapes.split(sql);
    const auto hold = connection->lockHandle();
    if (!connection->inTransaction) connection->snapshot->beforeRead();
    PreparedStatement* prepared = &connection->prepare(text);
    if (PreparedStatement* withRowid = connection->rowidVariant(*prepared)) prepared = withRowid;
    tellWatcher(sql, *prepared, text.literals());
    cells.clear();
    rowids.clear();
    rowCount = 0;
    keyset = false;
    cachedRow = -1;
    {
        StatementRun run(connection->handle(), *prepared, text.literals());
        while (run.step()) readRow(run.get());
    }
    current = 0;
    currentDeleted = false;
    if (wasOnRow) {
        const auto it = std::find(rowids.begin(), rowids.end(), currentRowid);
        if (it != rowids.end()) current = it - rowids.begin();
    }
}

// After a write the row is read back, so that keys and defaults show.
void RecordsetImpl::rereadRow(std::ptrdiff_t r) {
    if (keyset) {
        cachedRow = -1;
        return;
    }
    readByRowid(rowids[static_cast<std::size_t>(r)], row(r));
}

const std::string& Field::Name() const { return rs_->impl_->columns->columns[static_cast<std::size_t>(index_)].name; }

const Variant& Field::Value() const {
    RecordsetImpl& rs = *rs_->impl_;
    // A row of a result read whole, not being edited: what readers read.
    if (rs.mode == RecordsetImpl::EditMode::None && !rs.keyset && rs.onRow())
        return rs.cells[static_cast<std::size_t>(rs.current) * rs.width + static_cast<std::size_t>(index_)];
    return rs.value(index_);
}

void Field::SetValue(Variant value) const { rs_->impl_->setValue(index_, std::move(value)); }

namespace {

// Set when this thread's spare states are gone (at its exit), for the
// recordsets destroyed after that: a plain flag, which outlives them.
thread_local bool spareStatesGone = false;

// The states of recordsets closed on this thread, cleared, for the next
// ones to take: a library call opens a recordset or two and drops them, and
// taking a state here spares it and its cells and identities an
// allocation each. Only small states are kept, and only a few, so that
// the memory a thread keeps stays small. Each thread has its own; they go
// with it.
class SpareStates {
public:
    SpareStates() = default;
    SpareStates(const SpareStates&) = delete;
    SpareStates& operator=(const SpareStates&) = delete;
    ~SpareStates() { spareStatesGone = true; }

    std::unique_ptr<RecordsetImpl> take() {
        if (spare_.empty()) return std::make_unique<RecordsetImpl>();
        std::unique_ptr<RecordsetImpl> state = std::move(spare_.back());
        spare_.pop_back();
        return state;
    }
    void giveBack(std::unique_ptr<RecordsetImpl> state) {
        if (!state || spare_.size() >= kKept || state->cells.capacity() > kLargestCells ||
            state->rowids.capacity() > kLargestCells)
            return;  // freed here
        state->clear();
        spare_.push_back(std::move(state));
    }

private:
    static constexpr std::size_t kKept = 4;
    static constexpr std::size_t kLargestCells = 256;
    std::vector<std::unique_ptr<RecordsetImpl>> spare_;
};

SpareStates& spareStates() {
    thread_local SpareStates states;
    return states;
}

}  // namespace

Recordset::Recordset() : impl_(spareStatesGone ? std::make_unique<RecordsetImpl>() : spareStates().take()) {}

Recordset::~Recordset() {
    if (!spareStatesGone) spareStates().giveBack(std::move(impl_));
}

void Recordset::Open(std::string_view source, Connection& connection, int /*cursorType*/, int lockType, int options) {
    if (impl_->open()) throw Error("オブジェクトが開いている場合は、操作は許可されません。");
    ConnectionImpl& cn = *connection.impl_;
    const auto hold = cn.lockHandle();
    sqlite3* db = cn.handle();
    faultPoint(FaultStep::RecordsetOpen, &cn, cn.path, "SQL 文を実行できません");
    const std::string wholeTable = options == adCmdTable ? "SELECT * FROM [" + std::string(source) + "]" : std::string();
    const JetSqlText text = cn.shapes.split(options == adCmdTable ? std::string_view(wholeTable) : source);

    // Filled in place; a failure below leaves the recordset closed again.
    RecordsetImpl& next = *impl_;
    try {
        next.connection = ConnectionUse(connection.impl_);
        if (!cn.inTransaction) cn.snapshot->beforeRead();
        PreparedStatement* prepared = &cn.prepare(text);
        if (!prepared->columns) throw Error("この SQL 文はレコードを返しません。Execute で実行してください。");
        const std::string& single = prepared->translation.singleSource;
        PreparedStatement* withRowid = cn.rowidVariant(*prepared);
        const bool oneTable = withRowid != nullptr;
        if (oneTable) prepared = withRowid;
        std::vector<std::string> indexQueries;
        if (PreparedStatement* narrowed = cn.narrowedVariant(*prepared, text.literals(), indexQueries))
            prepared = narrowed;
        tellWatcher(options == adCmdTable ? std::string_view(wholeTable) : source, *prepared, text.literals(),
                    indexQueries);

        next.columns = prepared->columns;
        next.width = next.columns->columns.size();
        next.updatable = oneTable && lockType != adLockReadOnly;
        if (oneTable) next.table = single;
        next.keysetAllowed = oneTable && next.columns->allPlain;
        next.keyOnly = oneTable && next.columns->allKeys;
        if (options == adCmdTable && oneTable && next.updatable) {
            next.unreadTable = wholeTable;
            return;
        }
        StatementRun run(db, *prepared, text.literals(), indexQueries);
        while (run.step()) next.readRow(run.get());
    } catch (...) {
        impl_->clear();
        throw;
    }
}

// Also once the connection is gone: what the recordset holds is freed.
void Recordset::Close() {
    if (!impl_->open()) notOpen();
    impl_->clear();
}

bool Recordset::IsOpen() const { return impl_->open(); }

bool Recordset::Eof() const {
    impl_->requireOpen();
    impl_->settle();
    return impl_->rows() == 0 || impl_->current >= impl_->rows();
}

bool Recordset::Bof() const {
    impl_->requireOpen();
    impl_->settle();
    return impl_->rows() == 0 || impl_->current < 0;
}

void Recordset::MoveFirst() {
    impl_->requireOpen();
    impl_->faultPoint(FaultStep::Move, "レコードを読み取れません");
    impl_->update();
    impl_->settle();
    impl_->current = 0;
    impl_->currentDeleted = false;
}

void Recordset::MoveNext() {
    impl_->requireOpen();
    impl_->faultPoint(FaultStep::Move, "レコードを読み取れません");
    impl_->update();
    impl_->settle();
    if (impl_->currentDeleted) {  // the rows after a deleted one moved up by one
        impl_->currentDeleted = false;
        return;
    }
    if (Eof()) noCurrentRecord();
    ++impl_->current;
}

void Recordset::MoveLast() {
    impl_->requireOpen();
    impl_->faultPoint(FaultStep::Move, "レコードを読み取れません");
    impl_->update();
    impl_->settle();
    impl_->current = std::max<std::ptrdiff_t>(impl_->rows() - 1, 0);
    impl_->currentDeleted = false;
}

int32_t Recordset::RecordCount() const {
    impl_->requireOpen();
    impl_->settle();
    return static_cast<int32_t>(impl_->rows());
}

namespace {

// Field `i` exists and is the only one named `name`.
bool onlyFieldNamed(const ColumnSet& set, std::size_t i, std::string_view name) {
    return set.uniqueNames && i < set.columns.size() && NoCaseEqual{}(set.columns[i].name, name);
}

// The field named `name`, when it is not the one that followed the last
// match: the next in column order, else by hash. Out of line, so that the
// usual case in Recordset::Fields stays a few instructions without a frame.
[[gnu::noinline]] int fieldNamed(RecordsetImpl& rs, std::string_view name) {
    const ColumnSet& set = *rs.columns;
    int& last = rs.lastField;
    int& following = set.following[static_cast<std::size_t>(last + 1)];
    if (onlyFieldNamed(set, static_cast<std::size_t>(last + 1), name)) {
        following = ++last;  // in column order after all
        return last;
    }
    auto it = set.index.find(name);
    if (it == set.index.end())
        throw Error("要求された名前または序数に対応する項目がコレクションに見つかりません。(" + std::string(name) + ")");
    following = it->second;
    last = it->second;
    return last;
}

}  // namespace

Field Recordset::Fields(std::string_view name) {
    impl_->requireOpen();
    // Readers ask for the fields in the same order on every call; try the
    // one that followed the last match before anything else.
    const ColumnSet& set = *impl_->columns;
    int& last = impl_->lastField;
    const int following = set.following[static_cast<std::size_t>(last + 1)];
    if (onlyFieldNamed(set, static_cast<std::size_t>(following), name)) return Field(*this, last = following);
    return Field(*this, fieldNamed(*impl_, name));
}

Field Recordset::Fields(int index) {
    impl_->requireOpen();
    if (index < 0 || static_cast<std::size_t>(index) >= impl_->width)
        throw Error("要求された名前または序数に対応する項目がコレクションに見つかりません。(" + std::to_string(index) + ")");
    return Field(*this, index);
}

int Recordset::FieldCount() const {
    impl_->requireOpen();
    return static_cast<int>(impl_->width);
}

void Recordset::AddNew() {
    impl_->requireOpen();
    if (!impl_->updatable)
        throw Error("このレコードセットには追加できません。読み取り専用です (結合やビューの結果、または読み取り専用で開かれています)。");
    impl_->faultPoint(FaultStep::AddNew, "レコードを追加できません");
    impl_->update();
    impl_->mode = RecordsetImpl::EditMode::AddNew;
    impl_->buffer.assign(impl_->width, Variant::null());
    impl_->dirty.assign(impl_->width, false);
}

void Recordset::Update() {
    impl_->requireOpen();
    impl_->update();
}

void Recordset::Delete(int) {
    impl_->requireOpen();
    if (!impl_->updatable)
        throw Error("このレコードセットからは削除できません。読み取り専用です (結合やビューの結果、または読み取り専用で開かれています)。");
    if (impl_->mode == RecordsetImpl::EditMode::AddNew) {  // deleting a row not yet added cancels it
        impl_->mode = RecordsetImpl::EditMode::None;
        return;
    }
    impl_->mode = RecordsetImpl::EditMode::None;
    impl_->settle();
    if (!impl_->onRow()) noCurrentRecord();
    impl_->faultPoint(FaultStep::Delete, "レコードを削除できません");
    const std::string sql = "DELETE FROM " + bracket(impl_->table) + " WHERE _rowid_ = ?";
    const auto hold = impl_->connection->lockHandle();
    if (!impl_->connection->inTransaction) impl_->connection->snapshot->beforeWrite();
    else impl_->connection->checkBatch();
    sqlite3_stmt* st = impl_->connection->ownStatement(sql, "レコードを削除できません");
    const auto row = static_cast<std::size_t>(impl_->current);
    {
        const ResetOnExit reset(st);
        sqlite3_bind_int64(st, 1, impl_->rowids[row]);
        if (sqlite3_step(st) != SQLITE_DONE) impl_->connection->fail("レコードを削除できません");
    }
    if (!impl_->connection->inTransaction) impl_->connection->snapshot->afterWrite();
    if (!impl_->keyset) {
        const auto w = static_cast<std::ptrdiff_t>(impl_->width);
        impl_->cells.erase(impl_->cells.begin() + static_cast<std::ptrdiff_t>(row) * w,
                           impl_->cells.begin() + static_cast<std::ptrdiff_t>(row + 1) * w);
    }
    impl_->rowids.erase(impl_->rowids.begin() + static_cast<std::ptrdiff_t>(row));
    --impl_->rowCount;
    impl_->cachedRow = -1;
    impl_->currentDeleted = true;
}

}  // namespace lumo::db
