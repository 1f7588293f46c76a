#include "engine/OuterJoins.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "FromClause.h"
#include "engine/DistinctKeys.h"

namespace lumo::db {
namespace {

using detail::isName;
using detail::isOp;
using detail::isWord;
using detail::Token;
using tree::Clauses;
using tree::Index;
using tree::kNoNode;
using tree::Parts;
using tree::Tree;

// The clauses of the statement's SELECT, as parts of its outer level.
struct Outer {
    std::size_t from = 0, fromEnd = 0;  // FROM, and the part that ends its clause (the parts' count for none)
    bool distinct = false, star = false;
    bool shaped = false;  // TOP/ORDER/GROUP/HAVING/LIMIT/compound
    bool named = true;    // every item has a name of its own (AS name, q.name, name)
    tree::Select select;
};

std::optional<Outer> outerOf(const Tree& tree) {
    const Parts& parts = tree::outerParts(tree);
    if (parts.empty() || !tree::isWordPart(tree, parts[0], "SELECT")) return std::nullopt;
    const tree::Select q = tree::selectAt(tree, parts, 0);
    if (q.from == parts.size()) return std::nullopt;
    // TOP keeps its ORDER BY's rows: they are counted, not made distinct
    // afterwards (shaped).
    Outer o{q.from, q.fromEnd, q.distinct, false, q.shaped, true, q};
    // A '*' anywhere in the list, COUNT(*) too.
    for (std::size_t i = 0; i < q.items.size(); ++i) {
        for (const Index t : tree::itemTokens(tree, parts, q, i, static_cast<Index>(tree.tokens.size())))
            o.star = o.star || isOp(tree.tokens[t], "*");
        // Asked only of a DISTINCT, which the finished rows may need.
        if (o.distinct) o.named = o.named && tree::itemAt(tree, parts, q.items[i]).kind == tree::SelectItem::Kind::Named;
    }
    return o;
}

// The tokens of the FROM clause, in the order they were written.
bool fromHoldsWord(const Tree& tree, const Outer& o, std::string_view word) {
    const Parts& parts = tree::outerParts(tree);
    const Index e = o.fromEnd < parts.size() ? parts[o.fromEnd].place.at : static_cast<Index>(tree.tokens.size());
    for (Index i = parts[o.from].place.at; i < e; ++i)
        if (isWord(tree.tokens[i], word)) return true;
    return false;
}

// A join operand among the parts [b, e): a table (with an alias) or a
// parenthesised join.
bool isOperand(const Tree& tree, const Parts& parts, std::size_t b, std::size_t e) {
    const auto name = [&](const tree::Written::Item& item) {
        return item.group == kNoNode && isName(tree.tokens[item.place.at]);
    };
    const tree::Written* w = tree::writtenAt(tree, parts[b]);
    if (!w) return false;
    if (e - b == 1)
        return (w->items.size() == 1 && (w->items[0].group != kNoNode || name(w->items[0]))) ||
               (w->items.size() == 2 && name(w->items[0]) && name(w->items[1]));
    const tree::Written* alias = e - b == 3 ? tree::writtenAt(tree, parts[b + 2]) : nullptr;
    return alias && w->items.size() == 1 && name(w->items[0]) && tree::isWordPart(tree, parts[b + 1], "AS") &&
           alias->items.size() == 1 && name(alias->items[0]);
}

// One join of one level among its parts [b, e), "A RIGHT [OUTER] JOIN B
// ON c", becomes "B LEFT JOIN A ON c"; the joins in parentheses inside
// first (a subquery stays as it is). Whether anything changed.
bool mirrorLevel(Tree& tree, Parts& parts, std::size_t b, std::size_t e) {
    bool changed = false;
    for (std::size_t k = b; k < e; ++k) {
        const tree::Written* w = tree::writtenAt(tree, parts[k]);
        if (!w) continue;
        for (const tree::Written::Item& item : w->items) {
            if (item.group == kNoNode) continue;
            Parts& inner = tree::partsOf(tree, std::get<tree::Group>(tree.nodes[item.group]).inner);
            if (!inner.empty() && tree::isWordPart(tree, inner[0], "SELECT")) continue;
            changed = mirrorLevel(tree, inner, 0, inner.size()) || changed;
        }
    }
    const auto find = [&](std::size_t from, std::string_view word) {
        for (std::size_t k = from; k < e; ++k)
            if (tree::isWordPart(tree, parts[k], word)) return k;
        return e;
    };
    const std::size_t right = find(b, "RIGHT");
    const std::optional<tree::Join> mirrored = tree::joinAt(tree, parts, right, e);
    if (!mirrored || mirrored->kind != tree::Join::Kind::Right) return changed;
    const std::size_t join = mirrored->join, on = mirrored->on;
    const bool oneJoin = on < e && find(b, "JOIN") == join && find(join + 1, "JOIN") == e;
    if (!oneJoin || !isOperand(tree, parts, b, right) || !isOperand(tree, parts, join + 1, on)) return changed;
    const auto at = [&](std::size_t k) { return parts.begin() + static_cast<std::ptrdiff_t>(k); };
    // The two operands trade the white space before them, so that the one
    // coming first keeps the place of the level's first part.
    Parts turned(parts.begin(), at(b));
    turned.insert(turned.end(), at(join + 1), at(on));
    turned.push_back(parts[right]);
    turned.push_back(parts[join]);
    const std::size_t left = turned.size();
    turned.insert(turned.end(), at(b), at(right));
    std::swap(turned[b].place, turned[left].place);
    turned.insert(turned.end(), at(on), parts.end());
    tree.tokens[parts[right].place.at].text = "LEFT";
    parts = std::move(turned);
    return true;
}

// SELECT DISTINCT <list> FROM ...  ->  SELECT DISTINCT * FROM (SELECT
// <list> FROM ... LIMIT -1), written by the renderer, or SELECT <list>
// FROM ... when the keys make every row distinct already (the rows and
// their order are those of the inner SELECT either way).
void distinctOverFinishedRows(Tree& tree, const Outer& o, const UniqueKeyLookup& unique) {
    if (!o.distinct || o.star || o.shaped || !o.named || !fromHoldsWord(tree, o, "LEFT")) return;
    Parts& parts = tree::partsOf(tree, tree.root);
    if (distinctIsIdle(tree, o.select, unique)) {
        const Index distinct = parts[1].place.at;
        tree.removed.emplace_back(distinct, distinct + 1);
        parts.erase(parts.begin() + 1);
        return;
    }
    tree.additions.finishedRowsAfter = parts[1].place.at;
}

}  // namespace

void rewriteOuterJoins(Tree& tree, const UniqueKeyLookup& unique) {
    std::optional<Outer> outer = outerOf(tree);
    if (!outer) return;
    if (!outer->star && fromHoldsWord(tree, *outer, "RIGHT") &&
        mirrorLevel(tree, tree::partsOf(tree, tree.root), outer->from + 1, outer->fromEnd))
        outer = outerOf(tree);
    if (outer) distinctOverFinishedRows(tree, *outer, unique);
}

}  // namespace lumo::db
