#include "StatementTables.h"

#include <optional>
#include <variant>

#include "FromClause.h"

namespace lumo::db::tree {

StatementTables::StatementTables(const Tree& tree, const DateColumnLookup& isDate) : isDate_(isDate) {
    const auto add = [&](const Parts& parts, std::size_t b, std::size_t e) {
        for (const Source& s : sourcesOf(tree, parts, b, e))
            if (!s.derived) tables_.push_back({nameAt(tree, s.table), s.name});
    };
    if (const std::optional<Write> write = writeOf(tree)) {
        // INSERT INTO T (C, ...): its table stands with the column list.
        if (write->kind != Write::Kind::Insert) add(outerParts(tree), write->tables, write->tablesEnd);
        else if (!write->table.empty()) tables_.push_back({write->table, {}});
    }
    // Every SELECT at any depth: the statement's, its compounds' and its
    // subqueries'.
    for (const Node& node : tree.nodes) {
        const Clauses* level = std::get_if<Clauses>(&node);
        if (!level) continue;
        for (std::size_t k = 0; k < level->parts.size(); ++k) {
            if (!isWordPart(tree, level->parts[k], "SELECT")) continue;
            const Select q = selectAt(tree, level->parts, k);
            if (q.from < level->parts.size()) add(level->parts, q.from + 1, q.fromEnd);
        }
    }
}

bool StatementTables::isDate(std::string_view qualifier, std::string_view column) const {
    bool date = false;
    for (const Table& table : tables_) {
        if (table.name.empty()) continue;
        if (!qualifier.empty() && !detail::sameName(qualifier, table.name) && !detail::sameName(qualifier, table.alias))
            continue;
        const std::optional<bool> declared = isDate_(table.name, column);
        if (declared && !*declared) return false;
        date = date || declared.value_or(false);
    }
    return date;
}

}  // namespace lumo::db::tree
