#include "tools/import/ImportWriter.h"

#include <string_view>
#include <utility>

#include "platform/Error.h"
#include "tools/import/Orphans.h"
#include "tools/init/TableWriter.h"

namespace lumo::tools {
namespace {

constexpr std::size_t kProgressEvery = 200;

// Our schema's triggers delete dependent rows with their owner. The import
// copies rows as they are, orphans included, so no trigger may act on
// what it writes: they are dropped for the copy and made again from their
// own text afterwards, inside the same transaction. Our lumo_ triggers
// stay: they only keep the search index and the first phones and mails
// true of the rows copied. Lives for one file's copy, on the thread that
// builds it; refers to (does not own) `db`.
class TriggersSuspended {
public:
    explicit TriggersSuspended(Database& db) : db_(db) {
        Statement list = db.prepare("SELECT name, sql FROM sqlite_master WHERE type = 'trigger' AND substr(name, 1, 5) <> 'lumo_' "
            "ORDER BY rowid");
        while (list.step()) triggers_.emplace_back(list.columnText(0), list.columnText(1));
        for (const auto& [name, sql] : triggers_) db.exec("DROP TRIGGER \"" + name + "\"");
    }
    // Not a destructor: a failed import throws the whole file away, and a
    // trigger must not be made again in a transaction that has failed.
    void restore() {
        for (const auto& [name, sql] : triggers_) db_.exec(sql);
        triggers_.clear();
    }

private:
    Database& db_;
    std::vector<std::pair<std::string, std::string>> triggers_;
};

std::string describeKey(const TablePlan& table, const std::vector<ImportValue>& values, std::size_t rowNumber) {
    for (std::size_t i = 0; i < table.columns.size(); ++i)
        if (table.columns[i].name == table.keyColumn && std::holds_alternative<std::int64_t>(values[i]))
            return table.keyColumn + " = " + std::to_string(std::get<std::int64_t>(values[i]));
    return std::to_string(rowNumber) + " 行目 (row " + std::to_string(rowNumber) + ")";
}

void checkAllRead(const std::string& table, std::size_t read, std::size_t stored) {
    if (read != stored)
        throw Error("表 " + table + " は " + std::to_string(stored) + " 行のはずですが " + std::to_string(read) +
                    " 行しか読めません。ファイルが壊れています (rows missing: the file is damaged)");
}

TableResult copyTable(const JetFile& source, const TablePlan& plan, Database& db, const ImportProgress& progress) {
    TableResult result{plan.name, 0, 0, 0, false};
    // The DDL seeds the default group; the source brings its own groups.
    db.exec("DELETE FROM \"" + plan.name + "\"");
    JetTable jet(source, plan.source);
    std::vector<std::string_view> names;
    for (const ColumnMapping& column : plan.columns) names.push_back(column.name);
    TableWriter writer(db, plan.name, names);
    const std::size_t total = jet.storedRowCount();
    std::vector<ImportValue> values(plan.columns.size());
    std::vector<SqlValue> bound(plan.columns.size());

    progress(plan.name, 0, total);
    jet.forEachRow([&](std::span<const JetCell> cells) {
        ++result.read;
        // Convert every value first, so that a message can name the key.
        std::size_t failedColumn = plan.columns.size();
        std::string why;
        for (std::size_t i = 0; i < plan.columns.size(); ++i) {
            const ColumnMapping& column = plan.columns[i];
            try {
                values[i] = convertCell(cells[column.source], column.jetType, column.kind);
            } catch (const Error& e) {
                values[i] = nullptr;
                if (failedColumn == plan.columns.size()) {
                    failedColumn = i;
                    why = e.what();
                }
            }
        }
        if (failedColumn != plan.columns.size())
            throw Error("表 " + plan.source + " の " + describeKey(plan, values, result.read) + " の列 " +
                        plan.columns[failedColumn].name + " を書けません (cannot write): " + why);
        for (std::size_t i = 0; i < values.size(); ++i) bound[i] = bindable(values[i]);
        writer.insert(bound);
        ++result.written;
        if (result.written % kProgressEvery == 0) progress(plan.name, result.written, total);
    });
    checkAllRead(plan.source, result.read, total);
    progress(plan.name, result.written, total);
    return result;
}

}  // namespace

std::vector<TableResult> writeImport(const JetFile& source, const FilePlan& plan, Database& db,
                                     const ImportProgress& progress) {
    TriggersSuspended triggers(db);
    std::vector<TableResult> results;
    for (const TablePlan& table : plan.tables) results.push_back(copyTable(source, table, db, progress));
    triggers.restore();
    for (TableResult& result : results)
        if (const OwnerLink* link = ownerLinkOf(plan.target.fileName, result.table)) result.orphans = countOrphans(db, *link);
    return results;
}

TableResult countSkippedTable(const JetFile& source, const std::string& table) {
    JetTable jet(source, table);
    TableResult result{table, 0, 0, 0, true};
    jet.forEachRow([&](std::span<const JetCell>) { ++result.read; });
    return result;
}

}  // namespace lumo::tools
