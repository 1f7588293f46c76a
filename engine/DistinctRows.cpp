#include "DistinctRows.h"

#include <algorithm>

#include "FromClause.h"
#include "platform/Error.h"

namespace lumo::db::tree {
namespace {

// Whether the FROM clause of `q` reads one source: a table (with its
// alias) or one parenthesised query.
bool readsOneSource(const Tree& tree, const Parts& parts, const Select& q) {
    if (q.from == parts.size()) return true;  // no FROM: one row
    const std::size_t b = q.from + 1, e = q.fromEnd;
    if (const std::optional<Entry> entry = entryAt(tree, parts, b, e); entry && entry->end == e) return true;
    const Written* w = b < e ? writtenAt(tree, parts[b]) : nullptr;
    if (!w || w->items.empty() || w->items[0].group == kNoNode) return false;
    // (SELECT ...) [AS] X: the group and its alias are the clause.
    std::size_t end = b + 1;
    if (end < e && isWordPart(tree, parts[end], "AS")) end += 2;
    return end == e && w->items.size() <= 2;
}

}  // namespace

void dropIdleDistinctRows(Tree& tree) {
    const bool any = std::any_of(tree.tokens.begin(), tree.tokens.end(),
                                 [](const detail::Token& t) { return detail::isWord(t, "DISTINCTROW"); });
    if (!any) return;
    for (Index n = 0; n < tree.nodes.size(); ++n) {
        if (!std::holds_alternative<Clauses>(tree.nodes[n])) continue;
        for (std::size_t k = 1; k < partsOf(tree, n).size(); ++k) {
            Parts& parts = partsOf(tree, n);
            if (!isWordPart(tree, parts[k], "DISTINCTROW") || !isWordPart(tree, parts[k - 1], "SELECT")) continue;
            const Select q = selectAt(tree, parts, k - 1);
            if (!q.star && !readsOneSource(tree, parts, q))
                throw Error("DISTINCTROW は一つの表から選ぶ SELECT か、* で選ぶ SELECT にだけ使えます。"
                            "結合した表の一部の列からは DISTINCT か GROUP BY で選んでください。");
            const Index word = parts[k].place.at;
            tree.removed.emplace_back(word, word + 1);
            parts.erase(parts.begin() + static_cast<std::ptrdiff_t>(k));
        }
    }
}

}  // namespace lumo::db::tree
