#include "DistinctRows.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "FromClause.h"
#include "platform/Error.h"

namespace lumo::db::tree {
namespace {

using detail::isOp;
using detail::isWord;

[[noreturn]] void refuse(std::string_view why) {
    throw Error("DISTINCTROW を使えない SELECT です (" + std::string(why) +
                ")。DISTINCT か GROUP BY で選んでください。");
}

// The qualifiers the select list's columns name, in the order they first
// stand; refuses a column without one. The tree tells a column from the
// words around it: an unqualified column is a name atom, a qualified one a
// qualified name (functions' names and operators' words are neither).
std::vector<std::string_view> qualifiersOf(const Tree& tree, const Parts& parts, const Select& q) {
    enum Mark : unsigned char { None, Column, Qualifier };
    std::vector<Mark> marks(tree.tokens.size(), None);
    for (const Node& node : tree.nodes) {
        if (const Atom* a = std::get_if<Atom>(&node); a && a->role == Atom::Role::Name) marks[a->place.at] = Column;
        if (const QualifiedName* n = std::get_if<QualifiedName>(&node)) marks[n->first.at] = Qualifier;
    }
    std::vector<std::string_view> out;
    for (std::size_t i = 0; i < q.items.size(); ++i) {
        const auto [first, second] = itemAt(tree, parts, q.items[i]).expression;
        if (first >= second) continue;
        const Index b = parts[first].place.at;
        const Index e = second < parts.size() ? parts[second].place.at : static_cast<Index>(tree.tokens.size());
        for (const Index k : significantIn(tree, b, e)) {
            if (isWord(tree.tokens[k], "SELECT")) refuse("副問い合わせの列");
            const std::string_view name = detail::unquotedName(tree.tokens[k]);
            if (marks[k] == Column) refuse("表を付けない列 " + std::string(name));
            if (marks[k] == Qualifier &&
                std::none_of(out.begin(), out.end(), [&](std::string_view n) { return detail::sameName(n, name); }))
                out.push_back(name);
        }
    }
    return out;
}

// What DISTINCTROW means for the SELECT `q` of level `level`: nothing
// more, or its rows grouped by the records of some of its tables.
void groupByRecords(Tree& tree, Index level, const Select& q) {
    const Parts& parts = partsOf(tree, level);
    const Index listEnd = q.listEnd < parts.size() ? parts[q.listEnd].place.at : static_cast<Index>(tree.tokens.size());
    if (q.star || q.from == parts.size() || q.grouped || callsAggregate(tree, parts[q.list].place.at, listEnd)) return;
    const std::vector<Source> sources = sourcesOf(tree, parts, q.from + 1, q.fromEnd);
    if (sources.size() <= 1) return;
    const std::vector<std::string_view> read = qualifiersOf(tree, parts, q);
    std::string keys;
    for (const Source& s : sources) {
        const bool isRead =
            std::any_of(read.begin(), read.end(), [&](std::string_view n) { return detail::sameName(n, s.name); });
        if (!isRead) continue;
        if (s.derived) refuse("副問い合わせの表 " + std::string(s.name) + " の列");
        keys += (keys.empty() ? "[" : ", [") + std::string(s.name) + "]._rowid_";
    }
    const bool everyTable = std::all_of(sources.begin(), sources.end(), [&](const Source& s) {
        return std::any_of(read.begin(), read.end(), [&](std::string_view n) { return detail::sameName(n, s.name); });
    });
    if (everyTable || keys.empty()) return;
    if (q.top) refuse("TOP と、結合した表の一部の列");
    // Before the first clause word after the FROM and WHERE clauses (ORDER
    // BY, a compound, ';'), or at the level's end.
    std::size_t k = q.where < parts.size() ? q.where + 1 : q.fromEnd;
    while (k < parts.size() && parts[k].expression != kNoNode) ++k;
    tree.additions.rowGroups.push_back({level, k < parts.size() ? parts[k].place.at : kNoNode, std::move(keys)});
}

}  // namespace

void writeDistinctRows(Tree& tree) {
    if (!tree.additions.distinctRows) return;
    for (Index n = 0; n < tree.nodes.size(); ++n) {
        if (!std::holds_alternative<Clauses>(tree.nodes[n])) continue;
        for (std::size_t k = 1; k < partsOf(tree, n).size(); ++k) {
            if (!isWordPart(tree, partsOf(tree, n)[k], "DISTINCTROW") ||
                !isWordPart(tree, partsOf(tree, n)[k - 1], "SELECT"))
                continue;
            groupByRecords(tree, n, selectAt(tree, partsOf(tree, n), k - 1));
            // The word goes either way: grouped, the rows are the records.
            Parts& parts = partsOf(tree, n);
            const Index word = parts[k].place.at;
            tree.removed.emplace_back(word, word + 1);
            parts.erase(parts.begin() + static_cast<std::ptrdiff_t>(k));
        }
    }
}

}  // namespace lumo::db::tree
