#include "engine/ReadColumns.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>

#include "FromClause.h"

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

// One item of the select list: its parts [first, end) and its tokens
// [begin, stop), white space included, and the name of its column (""
// when it has none of its own).
struct ListItem {
    std::size_t first, end;
    std::size_t begin, stop;
    std::string_view name;
    bool keep = false;
};

// Whether the ORDER BY [b, e) needs a dropped item: a column number, or a
// bare name that a dropped item has (it may be its alias).
bool orderNeedsDropped(const tree::Tree& tree, tree::Index b, tree::Index e, const std::vector<ListItem>& items) {
    const Tokens& t = tree.tokens;
    const std::vector<tree::Index> sig = tree::significantIn(tree, b, e);
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

void narrowToReadColumns(tree::Tree& tree, const std::vector<std::string>& reads, JetStatement& st) {
    if (reads.empty()) return;
    const Tokens& t = tree.tokens;
    tree::Parts& parts = tree::partsOf(tree, tree.root);
    if (parts.size() < 3 || !tree::isWordPart(tree, parts[0], "SELECT")) return;
    const tree::Select q = tree::selectAt(tree, parts, 0);
    if (q.distinct || q.from == parts.size() || q.grouped || q.compound ||
        tree::callsAggregate(tree, 0, static_cast<tree::Index>(t.size())))
        return;
    const std::size_t k = q.list, order = q.order;

    // The items, each with the white space after the comma before it.
    std::vector<ListItem> items;
    for (const auto& [first, end] : q.items) {
        if (first == end) return;
        const std::size_t begin = parts[first - 1].place.at + 1, stop = parts[end].place.at;
        const tree::SelectItem item = tree::itemAt(tree, parts, {first, end});
        items.push_back({first, end, begin, stop, item.kind == tree::SelectItem::Kind::Named ? item.name : ""});
    }
    const std::size_t from = q.from;

    std::size_t kept = 0;
    for (std::size_t i = 0; i < items.size(); ++i) {
        ListItem& item = items[i];
        if (item.name.empty()) return;  // Jet numbers the unnamed ones: Expr1000, ...
        for (std::size_t j = 0; j < i; ++j)
            if (sameName(items[j].name, item.name)) return;  // a shared name is told apart by its qualifier
        item.keep = std::any_of(reads.begin(), reads.end(), [&](const std::string& r) { return sameName(r, item.name); });
        if (!item.keep && detail::holdsLiteral(t, item.begin, item.stop)) return;
        kept += item.keep ? 1 : 0;
    }
    if (kept == 0 || kept == items.size()) return;
    if (order < parts.size() && orderNeedsDropped(tree, parts[order].place.at, static_cast<tree::Index>(t.size()), items)) return;

    // Each kept item with the comma written before it; the first kept one
    // without. What is not written is taken out of the statement.
    tree::Parts out(parts.begin(), parts.begin() + static_cast<std::ptrdiff_t>(k));
    for (std::size_t i = 0; i < items.size(); ++i) {
        const ListItem& item = items[i];
        const bool comma = i > 0 && out.size() > k && item.keep;
        if (i > 0 && !comma) tree.removed.emplace_back(parts[item.first - 1].place.at, parts[item.first - 1].place.at + 1);
        if (!item.keep) {
            tree.removed.emplace_back(item.begin, item.stop);
            continue;
        }
        if (comma) out.push_back(parts[item.first - 1]);
        out.insert(out.end(), parts.begin() + static_cast<std::ptrdiff_t>(item.first),
                   parts.begin() + static_cast<std::ptrdiff_t>(item.end));
    }
    out.insert(out.end(), parts.begin() + static_cast<std::ptrdiff_t>(from), parts.end());
    parts = std::move(out);
    keepKept(st.items, items);
    keepKept(st.qualifiers, items);
}

}  // namespace lumo::db
