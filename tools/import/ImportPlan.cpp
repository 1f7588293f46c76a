#include "tools/import/ImportPlan.h"

#include <optional>

#include "tools/import/JetNames.h"
#include "tools/init/Sqlite.h"

namespace lumo::tools {
namespace {

struct SchemaColumn {
    std::string name;
    ColumnKind kind;
};

struct SchemaTable {
    std::string name;
    std::vector<SchemaColumn> columns;
};

// Our tables and columns as the DDL declares them, read back from a
// database made in memory, so that the DDL stays their only description.
// The engine's own tables (lumo_*: the search index, the views' keys) are
// no data: the schema and its triggers fill them.
std::vector<SchemaTable> schemaTables(std::string_view ddl) {
    Database db(":memory:");
    db.exec(ddl);
    std::vector<SchemaTable> tables;
    Statement names = db.prepare(
        "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite%' "
        "AND substr(name, 1, 5) <> 'lumo_' ORDER BY rowid");
    while (names.step()) tables.push_back({names.columnText(0), {}});
    for (SchemaTable& table : tables) {
        Statement info = db.prepare("SELECT name, type, pk FROM pragma_table_info(?)");
        info.bind(1, std::string_view(table.name));
        while (info.step())
            table.columns.push_back({info.columnText(0), columnKindOf(info.columnText(1), info.columnInt(2) != 0)});
    }
    return tables;
}

template <class Items>
auto findByName(Items& items, std::string_view name) -> decltype(&items.front()) {
    for (auto& item : items)
        if (sameJetName(item.name, name)) return &item;
    return nullptr;
}

}  // namespace

FilePlan planImport(const JetFile& source, const schema::DatabaseFile& target) {
    FilePlan plan{target, {}, {}};
    const std::vector<SchemaTable> ours = schemaTables(target.ddl);
    for (const std::string& sourceName : source.tableNames()) {
        const SchemaTable* table = findByName(ours, sourceName);
        if (!table) {
            plan.unknown.push_back(sourceName);
            continue;
        }
        TablePlan tablePlan{sourceName, table->name, {}, {}};
        const JetTable jet(source, sourceName);
        for (std::size_t i = 0; i < jet.columns().size(); ++i) {
            const JetColumn& column = jet.columns()[i];
            const SchemaColumn* ourColumn = findByName(table->columns, column.name);
            if (!ourColumn) {
                plan.unknown.push_back(sourceName + "." + column.name);
            } else if (!canHold(ourColumn->kind, column.type)) {
                plan.unknown.push_back(sourceName + "." + column.name + " (" + std::string(jetTypeName(column.type)) + ")");
            } else {
                tablePlan.columns.push_back({i, ourColumn->name, column.type, ourColumn->kind});
                if (ourColumn->kind == ColumnKind::Key) tablePlan.keyColumn = ourColumn->name;
            }
        }
        plan.tables.push_back(std::move(tablePlan));
    }
    return plan;
}

}  // namespace lumo::tools
