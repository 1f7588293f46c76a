#include "engine/ReadColumns.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>

#include "SearchConditions.h"

namespace lumo::db {
namespace {

using detail::isName;
using detail::isOp;
using detail::isWord;
using detail::sameName;
using detail::Token;
using detail::unquotedName;
using Kind = detail::TokenKind;
using Tokens = std::vector<Token>;

// An aggregate anywhere makes a query of groups, whose rows its items make.
bool callsAggregate(const Tokens& t) {
    constexpr std::array<std::string_view, 11> kAggregates{"COUNT", "SUM", "AVG",   "MIN", "MAX", "FIRST",
                                                           "LAST",  "STDEV", "STDEVP", "VAR", "VARP"};
    const std::vector<std::size_t> sig = detail::significantIn(t, 0, t.size());
    for (std::size_t k = 0; k + 1 < sig.size(); ++k)
        if (t[sig[k]].kind == Kind::Word && isOp(t[sig[k + 1]], "(") &&
            std::any_of(kAggregates.begin(), kAggregates.end(), [&](std::string_view a) { return isWord(t[sig[k]], a); }))
            return true;
    return false;
}

// One item of the select list: its tokens [begin, end), white space
// included, and the name of its column ("" when it has none of its own).
struct ListItem {
    std::size_t begin, end;
    std::string_view name;
    bool keep = false;
};

// "name", "q.name" or "... AS name".
std::string_view ownName(const Tokens& t, const std::vector<std::size_t>& sig) {
    const std::size_t n = sig.size();
    if (n == 0 || !isName(t[sig[n - 1]])) return {};
    if (n == 1 || (n == 3 && isName(t[sig[0]]) && isOp(t[sig[1]], ".")) || (n >= 3 && isWord(t[sig[n - 2]], "AS")))
        return unquotedName(t[sig[n - 1]]);
    return {};
}


// Whether the ORDER BY [b, e) needs a dropped item: a column number, or a
// bare name that a dropped item has (it may be its alias).
bool orderNeedsDropped(const Tokens& t, std::size_t b, std::size_t e, const std::vector<ListItem>& items) {
    const std::vector<std::size_t> sig = detail::significantIn(t, b, e);
    for (std::size_t k = 0; k < sig.size(); ++k) {
        const Token& x = t[sig[k]];
        if (x.kind == Kind::Number) return true;
        if (!isName(x)) continue;
        const bool dotted = (k > 0 && isOp(t[sig[k - 1]], ".")) || (k + 1 < sig.size() && isOp(t[sig[k + 1]], "."));
        if (dotted) continue;
        for (const ListItem& item : items)
            if (!item.keep && sameName(item.name, unquotedName(x))) return true;
    }
    return false;
}

template <class T>
void keepKept(std::vector<T>& v, const std::vector<ListItem>& items) {
    if (v.size() != items.size()) return;
    std::vector<T> kept;
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i].keep) kept.push_back(std::move(v[i]));
    v = std::move(kept);
}

}  // namespace

void narrowToReadColumns(Tokens& t, const std::vector<std::string>& reads, JetStatement& st) {
    if (reads.empty()) return;
    const std::vector<std::size_t> sig = detail::significantIn(t, 0, t.size());
    if (sig.size() < 4 || !isWord(t[sig[0]], "SELECT")) return;
    std::size_t k = 1;
    if (isWord(t[sig[k]], "DISTINCT")) return;
    if (isWord(t[sig[k]], "ALL")) ++k;
    if (callsAggregate(t)) return;

    std::vector<ListItem> items;
    std::vector<std::size_t> itemSig;
    std::size_t itemBegin = sig[k - 1] + 1, from = 0, order = 0;
    int depth = 0;
    for (; k < sig.size(); ++k) {
        const Token& x = t[sig[k]];
        if (isOp(x, "(")) ++depth;
        if (isOp(x, ")")) --depth;
        if (depth != 0) {
            if (!from) itemSig.push_back(sig[k]);
            continue;
        }
        if (!from && (isOp(x, ",") || isWord(x, "FROM"))) {
            items.push_back({itemBegin, sig[k], ownName(t, itemSig)});
            itemSig.clear();
            itemBegin = sig[k] + 1;
            if (isWord(x, "FROM")) from = sig[k];
            continue;
        }
        if (!from) {
            itemSig.push_back(sig[k]);
            continue;
        }
        if (isWord(x, "GROUP") || isWord(x, "HAVING") || isWord(x, "UNION") || isWord(x, "EXCEPT") ||
            isWord(x, "INTERSECT"))
            return;
        if (isWord(x, "ORDER") && !order) order = sig[k];
    }
    if (!from || depth != 0) return;

    std::size_t kept = 0;
    for (std::size_t i = 0; i < items.size(); ++i) {
        ListItem& item = items[i];
        if (item.name.empty()) return;  // Jet numbers the unnamed ones: Expr1000, ...
        for (std::size_t j = 0; j < i; ++j)
            if (sameName(items[j].name, item.name)) return;  // a shared name is told apart by its qualifier
        item.keep = std::any_of(reads.begin(), reads.end(), [&](const std::string& r) { return sameName(r, item.name); });
        if (!item.keep && detail::holdsLiteral(t, item.begin, item.end)) return;
        kept += item.keep ? 1 : 0;
    }
    if (kept == 0 || kept == items.size()) return;
    if (order && orderNeedsDropped(t, order, t.size(), items)) return;

    Tokens out(t.begin(), t.begin() + static_cast<std::ptrdiff_t>(items.front().begin));
    bool first = true;
    for (const ListItem& item : items) {
        if (!item.keep) continue;
        if (!first) out.push_back({Kind::Op, ","});
        first = false;
        out.insert(out.end(), t.begin() + static_cast<std::ptrdiff_t>(item.begin),
                   t.begin() + static_cast<std::ptrdiff_t>(item.end));
    }
    out.push_back({Kind::Space, " "});
    out.insert(out.end(), t.begin() + static_cast<std::ptrdiff_t>(from), t.end());
    t = std::move(out);
    keepKept(st.items, items);
    keepKept(st.qualifiers, items);
}

}  // namespace lumo::db
