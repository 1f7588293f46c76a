#include "engine/DistinctKeys.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "SearchConditions.h"

namespace lumo::db {
namespace {

// The shared readers of a translated SELECT (SearchConditions.h).
using namespace detail;

struct Entry {
    std::string_view source;  // the table or view
    std::string_view name;    // what its columns are qualified with
    std::size_t at;           // its token
    bool known = false;       // gives at most one row per row of the key's table
};

struct Equality {
    std::string_view leftName, leftColumn, rightName, rightColumn;
};

// The entries and ON equalities of the FROM clause; false for anything
// else than names, INNER / LEFT joins and "ON a.x = b.y".
bool readFrom(const Tokens& t, std::size_t b, std::size_t e, std::vector<Entry>& entries,
              std::vector<Equality>& equalities, std::size_t& firstLeft) {
    const std::vector<std::size_t> sig = detail::significantIn(t, b, e);
    firstLeft = e;
    for (std::size_t k = 0; k < sig.size();) {
        const Token& x = t[sig[k]];
        if (isOp(x, "(") || isOp(x, ")")) {
            ++k;
            continue;
        }
        if (isWord(x, "LEFT")) firstLeft = std::min(firstLeft, sig[k]);
        if (isWord(x, "LEFT") || isWord(x, "INNER") || isWord(x, "OUTER") || isWord(x, "JOIN")) {
            ++k;
            continue;
        }
        if (isWord(x, "ON")) {
            ++k;
            const auto left = detail::qualifiedColumn(t, sig, k);
            if (!left || k >= sig.size() || !isOp(t[sig[k]], "=")) return false;
            ++k;
            const auto right = detail::qualifiedColumn(t, sig, k);
            if (!right) return false;
            equalities.push_back({left->qualifier, left->column, right->qualifier, right->column});
            if (k < sig.size() && !isOp(t[sig[k]], ")") && !isWord(t[sig[k]], "LEFT") && !isWord(t[sig[k]], "INNER") &&
                !isWord(t[sig[k]], "JOIN"))
                return false;
            continue;
        }
        if (!isName(x) || detail::isFromKeyword(x)) return false;  // a comma, a subquery, RIGHT, CROSS ...
        Entry entry{unquotedName(x), unquotedName(x), sig[k]};
        ++k;
        if (k < sig.size() && isWord(t[sig[k]], "AS")) ++k;
        if (k < sig.size() && isName(t[sig[k]]) && !detail::isFromKeyword(t[sig[k]])) entry.name = unquotedName(t[sig[k++]]);
        entries.push_back(entry);
    }
    return !entries.empty();
}

Entry* named(std::vector<Entry>& entries, std::string_view name) {
    for (Entry& entry : entries)
        if (sameName(entry.name, name)) return &entry;
    return nullptr;
}

}  // namespace

bool distinctIsIdle(const Tokens& t, const std::vector<std::vector<std::size_t>>& list, std::size_t from,
                    std::size_t fromEnd, const UniqueKeyLookup& unique) {
    if (!unique) return false;
    std::vector<Entry> entries;
    std::vector<Equality> equalities;
    std::size_t firstLeft = fromEnd;
    if (!readFrom(t, from + 1, fromEnd, entries, equalities, firstLeft)) return false;
    // The key's table: named in the list as q.k, before every LEFT JOIN.
    Entry* anchor = nullptr;
    for (const std::vector<std::size_t>& item : list) {
        std::size_t k = 0;
        const auto column = detail::qualifiedColumn(t, item, k);
        if (!column || (k != item.size() && !(k + 2 == item.size() && isWord(t[item[k]], "AS")))) continue;
        Entry* entry = named(entries, column->qualifier);
        if (entry && entry->at < firstLeft && unique(entry->source, column->column)) {
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
