#include "engine/DistinctKeys.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "FromClause.h"

namespace lumo::db {
namespace {

using detail::isWord;
using detail::sameName;
using detail::Token;

struct Entry {
    std::string_view source;  // the table or view
    std::string_view name;    // what its columns are qualified with
    std::size_t at;           // its place in the FROM clause, in the order the clause reads
    bool known = false;       // gives at most one row per row of the key's table
};

struct Equality {
    std::string_view leftName, leftColumn, rightName, rightColumn;
};

// The entries and ON equalities of a FROM clause, read in its order.
struct FromReading {
    std::vector<Entry> entries;
    std::vector<Equality> equalities;
    std::size_t at = 0;                     // entries and joins read so far
    std::size_t firstLeft = static_cast<std::size_t>(-1);  // the place of the first LEFT JOIN
};

// The parts [b, e) of one level of the FROM clause, and the joins in
// parentheses in them; false for anything else than names, INNER / LEFT
// joins and "ON a.x = b.y".
bool readFrom(const tree::Tree& tree, const tree::Parts& parts, std::size_t b, std::size_t e, FromReading& r) {
    for (std::size_t k = b; k < e;) {
        const tree::Clauses::Part& part = parts[k];
        if (const tree::Index inner = tree::groupAt(tree, part); inner != tree::kNoNode) {
            const tree::Parts& innerParts = std::get<tree::Clauses>(tree.nodes[inner]).parts;
            if (!readFrom(tree, innerParts, 0, innerParts.size(), r)) return false;
            ++k;
            continue;
        }
        if (const Token* w = tree::wordOf(tree, part)) {
            if (const std::optional<tree::Join> join = tree::joinAt(tree, parts, k, e)) {
                if (join->kind == tree::Join::Kind::Right) return false;
                if (join->kind == tree::Join::Kind::Left) r.firstLeft = std::min(r.firstLeft, r.at);
                ++r.at;
                k = join->join + 1;
                continue;
            }
            if (!isWord(*w, "ON") || k + 1 >= e) return false;  // a comma, CROSS ...
            const std::optional<tree::ColumnEquality> eq = tree::columnEquality(tree, parts[k + 1].expression);
            if (!eq) return false;
            r.equalities.push_back({tree::nameAt(tree, eq->leftName.first), tree::nameAt(tree, eq->leftName.rest[1]),
                                    tree::nameAt(tree, eq->rightName.first), tree::nameAt(tree, eq->rightName.rest[1])});
            k += 2;
            if (k < e && !tree::startsInnerOrLeftJoin(tree, parts[k])) return false;
            continue;
        }
        const std::optional<tree::Entry> entry = tree::entryAt(tree, parts, k, e);
        if (!entry) return false;  // a subquery, an expression
        r.entries.push_back({tree::nameAt(tree, entry->table), entry->name, r.at++});
        k = entry->end;
    }
    return true;
}

Entry* named(std::vector<Entry>& entries, std::string_view name) {
    for (Entry& entry : entries)
        if (sameName(entry.name, name)) return &entry;
    return nullptr;
}

}  // namespace

bool distinctIsIdle(const tree::Tree& tree, const tree::Select& q, const UniqueKeyLookup& unique) {
    if (!unique) return false;
    FromReading r;
    const tree::Parts& parts = tree::outerParts(tree);
    if (!readFrom(tree, parts, q.from + 1, q.fromEnd, r) || r.entries.empty()) return false;
    std::vector<Entry>& entries = r.entries;
    const std::vector<Equality>& equalities = r.equalities;
    const std::size_t firstLeft = r.firstLeft;
    // The key's table: named in the list as q.k (or q.k AS name), before
    // every LEFT JOIN.
    Entry* anchor = nullptr;
    for (const tree::Select::Range& item : q.items) {
        const tree::SelectItem read = tree::itemAt(tree, parts, item);
        const auto [first, second] = read.expression;
        if (read.kind != tree::SelectItem::Kind::Named || second != first + 1) continue;
        const tree::QualifiedName* column = tree::columnAt(tree, parts[first].expression);
        if (!column) continue;
        Entry* entry = named(entries, tree::nameAt(tree, column->first));
        if (entry && entry->at < firstLeft && unique(entry->source, tree::nameAt(tree, column->rest[1]))) {
            anchor = entry;
            break;
        }
    }
    if (!anchor) return false;
    anchor->known = true;
    for (bool grew = true; grew;) {
        grew = false;
        for (const Equality& eq : equalities) {
            Entry* left = named(entries, eq.leftName);
            Entry* right = named(entries, eq.rightName);
            if (!left || !right) return false;
            const auto learn = [&](Entry& from, Entry& to, std::string_view column) {
                if (from.known && !to.known && unique(to.source, column)) to.known = grew = true;
            };
            learn(*left, *right, eq.rightColumn);
            learn(*right, *left, eq.leftColumn);
        }
    }
    return std::all_of(entries.begin(), entries.end(), [](const Entry& e) { return e.known; });
}

}  // namespace lumo::db
