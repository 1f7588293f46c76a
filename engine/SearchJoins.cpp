#include "SearchJoins.h"

#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "Conditions.h"
#include "FromClause.h"

namespace lumo::db::tree {
namespace {

using detail::isName;
using detail::isOp;
using detail::isWord;
using detail::sameName;

// --- First rewrite ---------------------------------------------------------

// "LEFT [OUTER] JOIN <entry known as table>" among the parts [b, e) of one
// level: the index of LEFT.
std::optional<std::size_t> leftJoinOf(const Tree& tree, const Parts& parts, std::size_t b, std::size_t e,
                                      std::string_view table) {
    for (std::size_t k = b; k < e; ++k) {
        const std::optional<Join> join = joinAt(tree, parts, k, e);
        if (!join || join->kind != Join::Kind::Left) continue;
        const std::optional<Entry> entry = entryAt(tree, parts, join->join + 1, e);
        if (entry && sameName(entry->name, table)) return k;
    }
    return std::nullopt;
}

void innerWhereTested(Tree& tree, Index level, std::size_t select) {
    Parts& parts = partsOf(tree, level);
    const Select q = selectAt(tree, parts, select);
    const Index where = whereOf(parts, q);
    if (where == kNoNode || q.shaped) return;
    std::size_t fromEnd = q.where;
    for (const Index condition : conditionsOf(tree, where)) {
        const std::vector<LikeTest> tests = likeTests(tree, condition);
        if (tests.empty()) continue;
        bool oneTable = true;
        for (const LikeTest& test : tests) oneTable = oneTable && sameName(test.table, tests.front().table);
        if (!oneTable) continue;
        const std::optional<std::size_t> left = leftJoinOf(tree, parts, q.from + 1, fromEnd, tests.front().table);
        if (!left) continue;
        tree.tokens[parts[*left].place.at].text = "INNER";
        if (isWordPart(tree, parts[*left + 1], "OUTER")) {
            parts.erase(parts.begin() + static_cast<std::ptrdiff_t>(*left) + 1);
            --fromEnd;
        }
    }
}

// --- Second rewrite --------------------------------------------------------

// A table joined on the right of a LEFT JOIN by "ON A.x = B.y".
struct OuterTable {
    Entry entry;
    Index key;    // its own column of the ON clause
    Index other;  // the other table's column
    std::string_view otherName;
};

// The LEFT JOIN of `name` anywhere among the parts [b, e) of a FROM
// clause's level and the groups in it.
std::optional<OuterTable> outerTable(const Tree& tree, const Parts& parts, std::size_t b, std::size_t e,
                                     std::string_view name) {
    for (std::size_t i = b; i < e; ++i) {
        if (const Written* w = writtenAt(tree, parts[i])) {
            for (const Written::Item& item : w->items) {
                if (item.group == kNoNode) continue;
                const Parts& inner = std::get<Clauses>(tree.nodes[std::get<Group>(tree.nodes[item.group]).inner]).parts;
                if (std::optional<OuterTable> found = outerTable(tree, inner, 0, inner.size(), name)) return found;
            }
            continue;
        }
        const std::optional<Join> join = joinAt(tree, parts, i, e);
        if (!join || join->kind != Join::Kind::Left) continue;
        const std::size_t on = join->on;
        const std::optional<Entry> entry = entryAt(tree, parts, join->join + 1, on);
        if (on + 1 >= e || !entry || entry->end != on || !sameName(entry->name, name)) continue;
        // ON a.x = b.y, and then the end of this level or another join.
        const std::optional<ColumnEquality> eq = columnEquality(tree, parts[on + 1].expression);
        if (!eq) return std::nullopt;
        const QualifiedName* left = &eq->leftName;
        const QualifiedName* right = &eq->rightName;
        const std::size_t after = on + 2;
        if (after < e && !startsInnerOrLeftJoin(tree, parts[after])) return std::nullopt;
        const bool ownFirst = sameName(nameAt(tree, left->first), name);
        const QualifiedName* other = ownFirst ? right : left;
        if (sameName(nameAt(tree, other->first), name)) return std::nullopt;
        return OuterTable{*entry, ownFirst ? eq->left : eq->right, ownFirst ? eq->right : eq->left,
                          nameAt(tree, other->first)};
    }
    return std::nullopt;
}

// A level's parts in their new order, written back once the whole FROM
// clause could be turned.
struct Turn {
    Parts* parts;
    Parts turned;
};

// Turns the inner joins of the parts [b, e) of a FROM clause's level round
// so that the table known as `first` comes first: it must be the first
// table, or lie in the first group, or in the group on the right of the
// one inner join of this level.
bool turnFirst(Tree& tree, Parts& parts, std::size_t b, std::size_t e, std::string_view first,
               std::vector<Turn>& turns) {
    if (b >= e) return false;
    if (const Index inner = groupAt(tree, parts[b]); inner != kNoNode) {
        Parts& innerParts = partsOf(tree, inner);
        return turnFirst(tree, innerParts, 0, innerParts.size(), first, turns);
    }
    const std::optional<Entry> left = entryAt(tree, parts, b, e);
    if (!left) return false;
    if (sameName(left->name, first)) return true;
    const std::optional<Join> inner = joinAt(tree, parts, left->end, e);
    if (!inner || inner->kind != Join::Kind::Inner || inner->on != inner->join + 2 || inner->on >= e) return false;
    const std::size_t join = inner->join, on = inner->on;
    const Index right = groupAt(tree, parts[join + 1]);
    if (right == kNoNode) return false;
    for (std::size_t k = on + 1; k < e; ++k)
        if (isJoinWord(tree, parts[k])) return false;
    Parts& rightParts = partsOf(tree, right);
    if (!turnFirst(tree, rightParts, 0, rightParts.size(), first, turns)) return false;
    // <entry> [INNER] JOIN (<group>) ON ...  ->  (<group>) [INNER] JOIN <entry> ON ...
    // The two trade the white space before them, so that the group keeps
    // the place of the level's first part.
    const auto at = [&](std::size_t k) { return parts.begin() + static_cast<std::ptrdiff_t>(k); };
    Clauses::Part group = parts[join + 1];
    Clauses::Part table = parts[b];
    std::swap(group.place, table.place);
    Parts turned(parts.begin(), at(b));
    turned.push_back(group);
    turned.insert(turned.end(), at(left->end), at(join + 1));
    turned.push_back(table);
    turned.insert(turned.end(), at(b + 1), at(left->end));
    turned.insert(turned.end(), at(on), parts.end());
    turns.push_back({&parts, std::move(turned)});
    return true;
}

void narrowByKeys(Tree& tree) {
    const Parts& root = outerParts(tree);
    if (root.empty() || !isWordPart(tree, root[0], "SELECT")) return;
    const Select q = selectAt(tree, root, 0);
    const Index where = whereOf(root, q);
    if (where == kNoNode || q.shaped || q.star) return;
    for (const Index condition : conditionsOf(tree, where)) {
        const std::vector<LikeTest> tests = likeTests(tree, condition);
        if (tests.empty()) continue;
        std::vector<OuterTable> tables;
        bool usable = true;
        for (const LikeTest& test : tests) {
            bool known = false;
            for (const OuterTable& table : tables) known = known || sameName(table.entry.name, test.table);
            if (known) continue;
            std::optional<OuterTable> table = outerTable(tree, root, q.from + 1, q.where, test.table);
            usable = table && (tables.empty() || sameName(table->otherName, tables.front().otherName));
            if (!usable) break;
            tables.push_back(*table);
        }
        if (!usable || tables.size() < 2) continue;
        std::vector<Turn> turns;
        if (!turnFirst(tree, partsOf(tree, tree.root), q.from + 1, q.where, tables.front().otherName, turns)) return;
        KeysNarrowing narrowing{where, {}};
        for (const OuterTable& table : tables) {
            KeysNarrowing::Keys& keys = narrowing.keys.emplace_back(KeysNarrowing::Keys{
                table.other, table.key, table.entry.table, table.entry.alias, table.entry.as, {}});
            for (const LikeTest& test : tests)
                if (sameName(test.table, table.entry.name)) keys.tests.push_back(test.node);
        }
        // The turns hold the levels' parts: written back before a node is
        // added, which may move every level.
        for (Turn& turn : turns) *turn.parts = std::move(turn.turned);
        tree.nodes.emplace_back(std::move(narrowing));
        partsOf(tree, tree.root)[q.where + 1].expression = static_cast<Index>(tree.nodes.size() - 1);
        tree.additions.numbered = true;
        return;
    }
}

}  // namespace

void rewriteSearchJoins(Tree& tree) {
    // Most statements have no outer join to look at.
    bool outer = false;
    for (const detail::Token& t : tree.tokens) outer = outer || isWord(t, "LEFT");
    if (!outer) return;
    for (Index n = 0; n < tree.nodes.size(); ++n) {
        if (!std::holds_alternative<Clauses>(tree.nodes[n])) continue;
        for (std::size_t k = 0; k < partsOf(tree, n).size(); ++k)
            if (isWordPart(tree, partsOf(tree, n)[k], "SELECT")) innerWhereTested(tree, n, k);
    }
    narrowByKeys(tree);
}

}  // namespace lumo::db::tree
