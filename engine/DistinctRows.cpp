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

// The tables of the FROM parts [b, e), by the name their columns are
// qualified with; a derived table with its alias is `derived`.
struct Source {
    std::string_view name;
    bool derived;
};

void sourcesOf(const Tree& tree, const Parts& parts, std::size_t b, std::size_t e, std::vector<Source>& out) {
    for (std::size_t k = b; k < e; ++k) {
        if (k != b && !isWordPart(tree, parts[k - 1], "JOIN") && !isCommaPart(tree, parts[k - 1])) continue;
        if (const Index inner = groupAt(tree, parts[k]); inner != kNoNode) {
            const Parts& innerParts = std::get<Clauses>(tree.nodes[inner]).parts;
            if (!innerParts.empty() && isWordPart(tree, innerParts[0], "SELECT")) {
                // (SELECT ...) [AS] X
                std::size_t a = k + 1;
                if (a < e && isWordPart(tree, parts[a], "AS")) ++a;
                const Written* alias = a < e ? writtenAt(tree, parts[a]) : nullptr;
                out.push_back({alias && alias->items.size() == 1 ? nameAt(tree, alias->items[0].place) : "", true});
            } else {
                sourcesOf(tree, innerParts, 0, innerParts.size(), out);
            }
            continue;
        }
        const Written* w = writtenAt(tree, parts[k]);
        if (w && w->items.size() == 2 && w->items[0].group != kNoNode) {  // (SELECT ...) X
            out.push_back({nameAt(tree, w->items[1].place), true});
            continue;
        }
        if (const std::optional<Entry> entry = entryAt(tree, parts, k, e)) out.push_back({entry->name, false});
    }
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
    std::vector<Source> sources;
    sourcesOf(tree, parts, q.from + 1, q.fromEnd, sources);
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
