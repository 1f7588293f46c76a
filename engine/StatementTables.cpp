#include "StatementTables.h"

#include <algorithm>
#include <array>
#include <optional>
#include <variant>

namespace lumo::db::tree {
namespace {

using detail::equalsKeyword;
using detail::isName;
using detail::isOp;
using detail::isWord;
using detail::sameName;
using detail::unquotedName;

// The clause words after which a name is a table.
bool namesTable(const detail::Token& t) {
    return isWord(t, "FROM") || isWord(t, "JOIN") || isWord(t, "UPDATE") || isWord(t, "INTO");
}

// The clause words that end a FROM list (its ',' then no longer lists a table).
bool endsFrom(const detail::Token& t) {
    static constexpr std::array<std::string_view, 6> words = {"WHERE", "GROUP", "ORDER", "HAVING", "UNION", "SELECT"};
    return t.kind == detail::TokenKind::Word &&
           std::any_of(words.begin(), words.end(), [&](std::string_view w) { return equalsKeyword(t.text, w); });
}

}  // namespace

StatementTables::StatementTables(const Tree& tree, const DateColumnLookup& isDate) : isDate_(isDate) {
    // A node comes after the nodes inside it: from the last to the first,
    // each level is read before the parenthesised joins in it.
    std::vector<bool> firstIsTable(tree.nodes.size(), false);
    for (Index n = static_cast<Index>(tree.nodes.size()); n-- > 0;)
        if (std::holds_alternative<Clauses>(tree.nodes[n])) readLevel(tree, n, firstIsTable);
}

// One nesting level: each part in a table's place that is a name, with the
// alias after it ("T A", or "T AS A"). A parenthesised join in a table's
// place holds a table first.
void StatementTables::readLevel(const Tree& tree, Index level, std::vector<bool>& firstIsTable) {
    const auto& parts = std::get<Clauses>(tree.nodes[level]).parts;
    const auto word = [&](std::size_t k) { return k < parts.size() ? wordOf(tree, parts[k]) : nullptr; };
    bool inFrom = false;
    for (std::size_t k = 0; k < parts.size(); ++k) {
        if (const detail::Token* w = word(k)) {
            if (isWord(*w, "FROM")) inFrom = true;
            else if (endsFrom(*w)) inFrom = false;
            continue;
        }
        const detail::Token* before = k > 0 ? word(k - 1) : nullptr;
        const bool tablePlace =
            before ? namesTable(*before) || (inFrom && isOp(*before, ",")) : k == 0 && firstIsTable[level];
        const Written* names = tablePlace ? std::get_if<Written>(&tree.nodes[parts[k].expression]) : nullptr;
        if (!names || names->items.empty()) continue;
        const Written::Item& first = names->items[0];
        if (first.group != kNoNode) {
            firstIsTable[std::get<Group>(tree.nodes[first.group]).inner] = true;
            continue;
        }
        const detail::Token& name = tree.tokens[first.place.at];
        if (!isName(name) || (names->items.size() > 1 && isOp(tree.tokens[names->items[1].place.at], "."))) continue;
        Table table{unquotedName(name), {}};
        if (names->items.size() > 1 && names->items[1].group == kNoNode && isName(tree.tokens[names->items[1].place.at]))
            table.alias = unquotedName(tree.tokens[names->items[1].place.at]);
        else if (const detail::Token* as = word(k + 1); as && isWord(*as, "AS") && k + 2 < parts.size()) {
            const Written* alias = parts[k + 2].expression == kNoNode
                                       ? nullptr
                                       : std::get_if<Written>(&tree.nodes[parts[k + 2].expression]);
            if (alias && !alias->items.empty() && alias->items[0].group == kNoNode &&
                isName(tree.tokens[alias->items[0].place.at]))
                table.alias = unquotedName(tree.tokens[alias->items[0].place.at]);
        }
        tables_.push_back(table);
    }
}

bool StatementTables::isDate(std::string_view qualifier, std::string_view column) const {
    bool date = false;
    for (const Table& table : tables_) {
        if (table.name.empty()) continue;
        if (!qualifier.empty() && !sameName(qualifier, table.name) && !sameName(qualifier, table.alias)) continue;
        const std::optional<bool> declared = isDate_(table.name, column);
        if (declared && !*declared) return false;
        date = date || declared.value_or(false);
    }
    return date;
}

}  // namespace lumo::db::tree
