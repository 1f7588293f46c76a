#include "engine/OuterJoins.h"
#include "engine/DistinctKeys.h"

#include "JetTokens.h"
#include "JoinItems.h"

#include <algorithm>
#include <optional>
#include <string_view>

namespace lumo::db {
namespace {

using detail::Token;
using Kind = detail::TokenKind;
using Tokens = std::vector<Token>;

using detail::isName;
using detail::isOp;
using detail::isWord;

using detail::append;
using detail::isOperand;
using detail::Item;
using detail::itemsOf;
using detail::space;
using detail::word;

Tokens rewriteJoinLevel(const Tokens& t, std::size_t b, std::size_t e);

// The tokens of a group with its inside rewritten; a subquery stays as it is.
Tokens rewriteGroup(const Item& group) {
    const Tokens& g = group.tokens;
    const auto firstInside = std::find_if(g.begin() + 1, g.end(), [](const Token& x) { return x.kind != Kind::Space; });
    if (g.size() < 2 || !isOp(g.back(), ")") || (firstInside != g.end() && isWord(*firstInside, "SELECT"))) return g;
    Tokens out{g.front()};
    Tokens inner = rewriteJoinLevel(g, 1, g.size() - 1);
    out.insert(out.end(), inner.begin(), inner.end());
    out.push_back(g.back());
    return out;
}

// One join at one nesting level, "A RIGHT [OUTER] JOIN B ON c", becomes
// "B LEFT JOIN A ON c"; groups inside are rewritten first.
Tokens rewriteJoinLevel(const Tokens& t, std::size_t b, std::size_t e) {
    std::vector<Item> items = itemsOf(t, b, e);
    bool changed = false;
    for (Item& item : items) {
        if (!item.group) continue;
        Tokens rewritten = rewriteGroup(item);
        if (rewritten.size() != item.tokens.size() ||
            !std::equal(rewritten.begin(), rewritten.end(), item.tokens.begin(),
                        [](const Token& x, const Token& y) { return x.text == y.text; })) {
            item.tokens = std::move(rewritten);
            changed = true;
        }
    }
    auto find = [&](std::size_t from, std::string_view w) {
        for (std::size_t i = from; i < items.size(); ++i)
            if (!items[i].group && isWord(items[i].first(), w)) return i;
        return items.size();
    };
    const std::size_t right = find(0, "RIGHT");
    std::size_t join = right + 1;
    if (join < items.size() && isWord(items[join].first(), "OUTER")) ++join;
    const std::size_t on = find(join, "ON");
    const bool oneJoin = right < items.size() && join < items.size() && isWord(items[join].first(), "JOIN") &&
                         on < items.size() && find(0, "JOIN") == join && find(join + 1, "JOIN") == items.size();
    if (oneJoin && isOperand(items, 0, right) && isOperand(items, join + 1, on)) {
        Tokens out;
        append(out, items, join + 1, on);
        out.insert(out.end(), {space(), word("LEFT"), space(), word("JOIN")});
        append(out, items, 0, right);
        append(out, items, on, items.size());
        return out;
    }
    if (!changed) return Tokens(t.begin() + static_cast<std::ptrdiff_t>(b), t.begin() + static_cast<std::ptrdiff_t>(e));
    Tokens out;
    append(out, items, 0, items.size());
    return out;
}

bool endsFromClause(const Token& t) {
    return isWord(t, "WHERE") || isWord(t, "GROUP") || isWord(t, "ORDER") || isWord(t, "HAVING") ||
           isWord(t, "UNION") || isWord(t, "LIMIT") || isOp(t, ";");
}

// Where the parts of a top-level SELECT begin (token indexes).
struct SelectParts {
    std::size_t select = 0, from = 0, fromEnd = 0;
    bool distinct = false, star = false, shaped = false;  // shaped: ORDER/GROUP/HAVING/LIMIT/compound
    std::vector<std::vector<std::size_t>> listItems;      // significant tokens of each select item
};

std::optional<SelectParts> partsOf(const Tokens& t) {
    SelectParts p;
    std::size_t k = 0;
    while (k < t.size() && t[k].kind == Kind::Space) ++k;
    if (k == t.size() || !isWord(t[k], "SELECT")) return std::nullopt;
    p.select = k;
    int depth = 0;
    bool seenFirst = false;
    p.listItems.emplace_back();
    for (std::size_t i = k + 1; i < t.size(); ++i) {
        const Token& x = t[i];
        if (x.kind == Kind::Space) continue;
        if (isOp(x, "(")) ++depth;
        if (isOp(x, ")")) --depth;
        const bool top = depth == 0;
        if (!p.from) {
            if (!seenFirst && isWord(x, "DISTINCT")) {
                p.distinct = true;
                seenFirst = true;
                continue;
            }
            seenFirst = true;
            if (top && isWord(x, "FROM")) {
                p.from = i;
                continue;
            }
            if (isOp(x, "*")) p.star = true;
            if (top && isOp(x, ",")) p.listItems.emplace_back();
            else p.listItems.back().push_back(i);
            continue;
        }
        if (!top) continue;
        if (!p.fromEnd && endsFromClause(x)) p.fromEnd = i;
        if (isWord(x, "GROUP") || isWord(x, "ORDER") || isWord(x, "HAVING") || isWord(x, "UNION") ||
            isWord(x, "LIMIT") || isWord(x, "EXCEPT") || isWord(x, "INTERSECT") || isOp(x, ";"))
            p.shaped = true;
    }
    if (!p.from) return std::nullopt;
    if (!p.fromEnd) p.fromEnd = t.size();
    return p;
}

// The item's own column name: "... AS name", "q.name" or "name".
bool hasOwnName(const Tokens& t, const std::vector<std::size_t>& item) {
    if (item.empty()) return false;
    const Token& last = t[item.back()];
    if (!isName(last)) return false;
    if (item.size() == 1) return true;
    const Token& before = t[item[item.size() - 2]];
    return isWord(before, "AS") || (isOp(before, ".") && item.size() == 3);
}

bool anyWordIn(const Tokens& t, std::size_t b, std::size_t e, std::string_view w) {
    return std::any_of(t.begin() + static_cast<std::ptrdiff_t>(b), t.begin() + static_cast<std::ptrdiff_t>(e),
                       [&](const Token& x) { return isWord(x, w); });
}

bool sameText(const Tokens& a, const Tokens& t, std::size_t b, std::size_t e) {
    return std::equal(a.begin(), a.end(), t.begin() + static_cast<std::ptrdiff_t>(b),
                      t.begin() + static_cast<std::ptrdiff_t>(e),
                      [](const Token& x, const Token& y) { return x.text == y.text; });
}

// The FROM clause with every RIGHT JOIN mirrored; false when nothing changed.
bool mirrorRightJoins(Tokens& tokens, const SelectParts& parts) {
    if (parts.star || !anyWordIn(tokens, parts.from, parts.fromEnd, "RIGHT")) return false;
    const Tokens from = rewriteJoinLevel(tokens, parts.from + 1, parts.fromEnd);
    if (sameText(from, tokens, parts.from + 1, parts.fromEnd)) return false;
    Tokens out(tokens.begin(), tokens.begin() + static_cast<std::ptrdiff_t>(parts.from) + 1);
    out.push_back(space());
    out.insert(out.end(), from.begin(), from.end());
    if (parts.fromEnd < tokens.size()) out.push_back(space());
    out.insert(out.end(), tokens.begin() + static_cast<std::ptrdiff_t>(parts.fromEnd), tokens.end());
    tokens = std::move(out);
    return true;
}

// SELECT DISTINCT <list> FROM ...  ->  SELECT DISTINCT * FROM (SELECT <list> FROM ... LIMIT -1),
// or SELECT <list> FROM ... when the keys make every row distinct already
// (the rows and their order are those of the inner SELECT either way).
void distinctOverFinishedRows(Tokens& tokens, const SelectParts& parts, const UniqueKeyLookup& unique) {
    const bool named = std::all_of(parts.listItems.begin(), parts.listItems.end(),
                                   [&](const std::vector<std::size_t>& item) { return hasOwnName(tokens, item); });
    if (!parts.distinct || parts.star || parts.shaped || !named || !anyWordIn(tokens, parts.from, parts.fromEnd, "LEFT"))
        return;
    std::size_t distinct = parts.select + 1;
    while (!isWord(tokens[distinct], "DISTINCT")) ++distinct;
    if (distinctIsIdle(tokens, parts.listItems, parts.from, parts.fromEnd, unique)) {
        tokens[distinct] = space();
        return;
    }
    Tokens out(tokens.begin(), tokens.begin() + static_cast<std::ptrdiff_t>(distinct) + 1);
    out.insert(out.end(), {space(), {Kind::Op, "*"}, space(), word("FROM"), space(), {Kind::Op, "("}, word("SELECT")});
    out.insert(out.end(), tokens.begin() + static_cast<std::ptrdiff_t>(distinct) + 1, tokens.end());
    out.insert(out.end(), {space(), word("LIMIT"), space(), {Kind::Op, "-1"}, {Kind::Op, ")"}});
    tokens = std::move(out);
}

}  // namespace

void rewriteOuterJoins(Tokens& tokens, const UniqueKeyLookup& unique) {
    std::optional<SelectParts> parts = partsOf(tokens);
    if (parts && mirrorRightJoins(tokens, *parts)) parts = partsOf(tokens);
    if (parts) distinctOverFinishedRows(tokens, *parts, unique);
}

}  // namespace lumo::db
