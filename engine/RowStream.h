#pragma once
// Reads the rows of a SELECT one at a time as SQLite produces them,
// keeping none: for a caller that wants a few columns of a large result
// once, in order (a program's list of every matching key), where a
// Recordset would first hold every row of the result whole.
//
//   forEachRow(connection, sql, [&](const RowView& row) {
//       ids.push_back(row.integer(idColumn));
//       return true;  // false stops the statement: the rest is not read
//   });
//
// The statement is translated, narrowed by a substring index and run
// exactly as Recordset::Open runs it, so the rows are the same ones in the
// same order. A RowView is valid only inside the call that received it;
// its texts point into SQLite's row.
//
// Threads: on the thread that uses the connection (Connection.h); the
// connection is held for the whole run, so the visitor must not use the
// same connection itself.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3_stmt;

namespace lumo::db {

class Connection;
struct ColumnSet;

class RowView {
public:
    // The position of a field by name (ignoring ASCII case), -1 for none.
    int column(std::string_view name) const;
    bool isNull(int column) const;
    std::string_view text(int column) const;  // "" for Null
    int64_t integer(int column) const;        // 0 for Null

private:
    friend void forEachRow(Connection&, std::string_view, const std::function<bool(const RowView&)>&,
                           const std::vector<std::string>&);
    RowView(sqlite3_stmt* statement, const ColumnSet& columns) : statement_(statement), columns_(columns) {}
    sqlite3_stmt* statement_;
    const ColumnSet& columns_;
};

// Runs `sql` (Jet SQL that returns rows) and calls `row` for each row until
// it returns false. Throws lumo::Error as Recordset::Open does.
// With `reads`, the names of the only result columns the visitor reads:
// where that cannot change the rows, the others are left out, and so are
// the joins that only they needed (ReadColumns.h); the rows, their number
// and order stay those of the whole statement. The visitor then finds
// its columns by name (RowView::column), as their positions may change.
void forEachRow(Connection& connection, std::string_view sql, const std::function<bool(const RowView&)>& row,
                const std::vector<std::string>& reads = {});

}  // namespace lumo::db
