#include "FromClause.h"

#include <algorithm>

#include "engine/JetAggregates.h"

namespace lumo::db::tree {

using detail::isName;
using detail::isOp;
using detail::isWord;

bool isJoinWord(const Tree& tree, const Clauses::Part& part) {
    const detail::Token* t = wordOf(tree, part);
    if (!t) return false;
    for (std::string_view w : {"LEFT", "RIGHT", "INNER", "OUTER", "JOIN", "CROSS", "FULL", "NATURAL", "ON", "AS"})
        if (isWord(*t, w)) return true;
    return false;
}

namespace {

bool isQuantifierPart(const Tree& tree, const Clauses::Part& part) {
    const detail::Token* t = wordOf(tree, part);
    return t && detail::isQuantifier(*t);
}

bool isStar(const Tree& tree, Index node) {
    if (const Atom* a = std::get_if<Atom>(&tree.nodes[node])) return isOp(tree.tokens[a->place.at], "*");
    if (const QualifiedName* q = std::get_if<QualifiedName>(&tree.nodes[node]))
        return isOp(tree.tokens[q->rest.back().at], "*");
    return false;
}

}  // namespace

std::optional<TopWords> topAt(const Tree& tree, const Parts& parts, std::size_t select) {
    std::size_t k = select + 1;
    if (k < parts.size() && isQuantifierPart(tree, parts[k])) ++k;
    if (k + 1 >= parts.size() || !isWordPart(tree, parts[k], "TOP") || parts[k + 1].expression == kNoNode) return std::nullopt;
    const Atom* count = std::get_if<Atom>(&tree.nodes[parts[k + 1].expression]);
    if (!count) return std::nullopt;
    const detail::TokenKind kind = tree.tokens[count->place.at].kind;
    if (kind != detail::TokenKind::Number && kind != detail::TokenKind::Date) return std::nullopt;
    TopWords out{k, k + 1, false, k + 2};
    if (out.list < parts.size() && isWordPart(tree, parts[out.list], "PERCENT")) {
        out.percent = true;
        ++out.list;
    }
    return out;
}


namespace {

// The clause words a SELECT's reader looks for, told apart in one look at
// each word part (every pass reads its SELECTs, some several times).
enum class ClauseWord { None, From, Where, Group, Having, Order, Union, Intersect, Except, Limit, Offset, End };

ClauseWord clauseWordOf(const detail::Token* t) {
    using W = ClauseWord;
    if (!t) return W::None;
    if (t->kind == detail::TokenKind::Op) return t->text == ";" ? W::End : W::None;
    const std::string_view x = t->text;
    const auto is = [&](std::string_view w) { return detail::equalsKeyword(x, w); };
    switch (x.size()) {
    case 4: return is("FROM") ? W::From : W::None;
    case 5:
        return is("WHERE") ? W::Where : is("GROUP") ? W::Group : is("ORDER") ? W::Order : is("UNION") ? W::Union
               : is("LIMIT") ? W::Limit : W::None;
    case 6: return is("HAVING") ? W::Having : is("EXCEPT") ? W::Except : is("OFFSET") ? W::Offset : W::None;
    case 9: return is("INTERSECT") ? W::Intersect : W::None;
    default: return W::None;
    }
}

}  // namespace

// The first part of a select list without TOP: past DISTINCT, DISTINCTROW or ALL.
static std::size_t listAt(const Tree& tree, const Parts& parts, std::size_t select) {
    std::size_t k = select + 1;
    while (k < parts.size() && isQuantifierPart(tree, parts[k])) ++k;
    return k;
}

Select selectAt(const Tree& tree, const Parts& parts, std::size_t select) {
    using W = ClauseWord;
    const std::size_t none = parts.size();
    Select q;
    q.select = select;
    q.top = topAt(tree, parts, select);
    q.distinct = select + 1 < none && isWordPart(tree, parts[select + 1], "DISTINCT");
    q.list = q.top ? q.top->list : listAt(tree, parts, select);
    q.listEnd = q.from = q.where = q.fromEnd = q.order = none;
    q.shaped = q.top.has_value();
    std::size_t start = q.list;
    for (std::size_t k = q.list; k < none; ++k) {
        const W w = clauseWordOf(wordOf(tree, parts[k]));
        if (q.listEnd == none) {
            // The list, up to its end: items between the commas.
            const bool comma = w == W::None && isCommaPart(tree, parts[k]);
            if (w == W::None && !comma) continue;
            q.items.emplace_back(start, k);
            if (k == start + 1 && parts[start].expression != kNoNode && isStar(tree, parts[start].expression)) q.star = true;
            start = k + 1;
            if (comma) continue;
            q.listEnd = k;
            if (w == W::From) {
                q.from = k;
                continue;
            }
        }
        if (w == W::None || w == W::From) continue;
        const bool ends = w != W::Where && w != W::Offset;
        if (q.from < none) {
            if (q.where == none && w == W::Where) q.where = k;
            if (q.fromEnd == none) q.fromEnd = k;
        }
        if (q.order == none && w == W::Order && k + 1 < none && isWordPart(tree, parts[k + 1], "BY")) q.order = k;
        q.grouped = q.grouped || w == W::Group || w == W::Having;
        q.compound = q.compound || w == W::Union || w == W::Except || w == W::Intersect;
        q.shaped = q.shaped || ends;
    }
    if (q.listEnd == none) {
        q.items.emplace_back(start, none);
        if (none == start + 1 && parts[start].expression != kNoNode && isStar(tree, parts[start].expression)) q.star = true;
    }
    return q;
}

SelectItem itemAt(const Tree& tree, const Parts& parts, Select::Range item) {
    using Kind = SelectItem::Kind;
    const auto [first, second] = item;
    SelectItem out{Kind::Expression, item, {}};
    if (second >= first + 3 && isWordPart(tree, parts[second - 2], "AS")) {
        const Written* alias = writtenAt(tree, parts[second - 1]);
        if (alias && alias->items.size() == 1 && alias->items[0].group == kNoNode &&
            isName(tree.tokens[alias->items[0].place.at])) {
            out.kind = Kind::Named;
            out.expression = {first, second - 2};
            out.name = nameAt(tree, alias->items[0].place);
        }
        return out;
    }
    if (second != first + 1 || parts[first].expression == kNoNode) return out;
    const Index node = parts[first].expression;
    if (isStar(tree, node)) {
        out.kind = Kind::Star;
    } else if (const Atom* a = std::get_if<Atom>(&tree.nodes[node]); a && a->role == Atom::Role::Name) {
        out.kind = Kind::Named;
        out.name = nameAt(tree, a->place);
    } else if (const QualifiedName* q = columnAt(tree, node)) {
        out.kind = Kind::Named;
        out.name = nameAt(tree, q->rest[1]);
    }
    return out;
}

std::vector<Index> itemTokens(const Tree& tree, const Parts& parts, const Select& q, std::size_t i, Index end) {
    const auto [first, second] = q.items[i];
    const Index b = first < parts.size() ? parts[first].place.at : end;
    const Index e = second < parts.size() ? parts[second].place.at : end;
    return significantIn(tree, b, std::max(b, e));
}

bool callsAggregate(const Tree& tree, Index b, Index e) {
    bool calls = false;
    Index before = kNoNode;  // the significant token before
    forEachSignificant(tree, b, e, [&](Index i) {
        calls = before != kNoNode && isOp(tree.tokens[i], "(") && tree.tokens[before].kind == detail::TokenKind::Word &&
                isAggregateName(tree.tokens[before].text);
        before = i;
        return !calls;
    });
    return calls;
}

Index whereOf(const Parts& parts, const Select& q) {
    if (q.from == parts.size() || q.where + 2 != parts.size()) return kNoNode;
    return parts[q.where + 1].expression;
}

std::optional<Entry> entryAt(const Tree& tree, const Parts& parts, std::size_t b, std::size_t e) {
    if (b >= e) return std::nullopt;
    const Written* w = writtenAt(tree, parts[b]);
    if (!w || w->items.empty() || w->items.size() > 2) return std::nullopt;
    for (const Written::Item& item : w->items)
        if (item.group != kNoNode || !isName(tree.tokens[item.place.at])) return std::nullopt;
    Entry out{w->items[0].place, {0, kNoNode}, false, b + 1, nameAt(tree, w->items[0].place)};
    if (w->items.size() == 2) {
        out.alias = w->items[1].place;
    } else if (b + 2 < e && isWordPart(tree, parts[b + 1], "AS")) {
        const Written* alias = writtenAt(tree, parts[b + 2]);
        if (!alias || alias->items.size() != 1 || alias->items[0].group != kNoNode ||
            !isName(tree.tokens[alias->items[0].place.at]))
            return std::nullopt;
        out.alias = alias->items[0].place;
        out.as = true;
        out.end = b + 3;
    }
    if (out.alias.at != kNoNode) out.name = nameAt(tree, out.alias);
    return out;
}

std::optional<Join> joinAt(const Tree& tree, const Parts& parts, std::size_t b, std::size_t e) {
    if (b >= e) return std::nullopt;
    Join out;
    if (isWordPart(tree, parts[b], "LEFT")) out.kind = Join::Kind::Left;
    else if (isWordPart(tree, parts[b], "RIGHT")) out.kind = Join::Kind::Right;
    // The JOIN word follows the kind's word, or stands first alone.
    out.join = out.kind != Join::Kind::Inner || isWordPart(tree, parts[b], "INNER") ? b + 1 : b;
    if (out.kind != Join::Kind::Inner && out.join < e && isWordPart(tree, parts[out.join], "OUTER")) {
        out.outer = true;
        ++out.join;
    }
    if (out.join >= e || !isWordPart(tree, parts[out.join], "JOIN")) return std::nullopt;
    out.on = out.join + 1;
    while (out.on < e && !isWordPart(tree, parts[out.on], "ON")) ++out.on;
    return out;
}

bool startsInnerOrLeftJoin(const Tree& tree, const Clauses::Part& part) {
    return isWordPart(tree, part, "LEFT") || isWordPart(tree, part, "INNER") || isWordPart(tree, part, "JOIN");
}

Index groupAt(const Tree& tree, const Clauses::Part& part) {
    const Written* w = writtenAt(tree, part);
    if (!w || w->items.size() != 1 || w->items[0].group == kNoNode) return kNoNode;
    const Group& g = std::get<Group>(tree.nodes[w->items[0].group]);
    return g.closed ? g.inner : kNoNode;
}

const QualifiedName* columnAt(const Tree& tree, Index node) {
    const QualifiedName* q = std::get_if<QualifiedName>(&tree.nodes[node]);
    return q && q->rest.size() == 2 && isName(tree.tokens[q->first.at]) && isName(tree.tokens[q->rest[1].at]) ? q
                                                                                                          : nullptr;
}

std::optional<ColumnEquality> columnEquality(const Tree& tree, Index node) {
    const Compare* eq = node == kNoNode ? nullptr : std::get_if<Compare>(&tree.nodes[node]);
    if (!eq || eq->steps.size() != 1 || eq->steps[0].kind != Compare::Kind::Comparison ||
        !isOp(tree.tokens[eq->steps[0].op.at], "="))
        return std::nullopt;
    const QualifiedName* left = columnAt(tree, eq->first);
    const QualifiedName* right = columnAt(tree, eq->steps[0].right);
    if (!left || !right) return std::nullopt;
    return ColumnEquality{eq->first, eq->steps[0].right, *left, *right};
}

namespace {

void collectSources(const Tree& tree, const Parts& parts, std::size_t b, std::size_t e, std::vector<Source>& out) {
    // A source stands first in a level, after JOIN, or after a ',' of a
    // FROM list.
    for (std::size_t k = b; k < e; ++k) {
        if (k != b && !isWordPart(tree, parts[k - 1], "JOIN") && !isCommaPart(tree, parts[k - 1])) continue;
        if (const Index inner = groupAt(tree, parts[k]); inner != kNoNode) {
            const Parts& innerParts = std::get<Clauses>(tree.nodes[inner]).parts;
            if (innerParts.empty() || !isWordPart(tree, innerParts[0], "SELECT")) {
                collectSources(tree, innerParts, 0, innerParts.size(), out);
                continue;
            }
            // (SELECT ...) [AS] X
            std::size_t a = k + 1;
            if (a < e && isWordPart(tree, parts[a], "AS")) ++a;
            const Written* alias = a < e ? writtenAt(tree, parts[a]) : nullptr;
            out.push_back({{0, kNoNode}, alias && alias->items.size() == 1 ? nameAt(tree, alias->items[0].place) : "",
                           true});
            continue;
        }
        const Written* w = writtenAt(tree, parts[k]);
        if (w && w->items.size() == 2 && w->items[0].group != kNoNode) {  // (SELECT ...) X
            out.push_back({{0, kNoNode}, nameAt(tree, w->items[1].place), true});
            continue;
        }
        if (const std::optional<Entry> entry = entryAt(tree, parts, k, e)) out.push_back({entry->table, entry->name});
    }
}

}  // namespace

std::vector<Source> sourcesOf(const Tree& tree, const Parts& parts, std::size_t b, std::size_t e) {
    std::vector<Source> out;
    collectSources(tree, parts, b, e, out);
    return out;
}

std::optional<std::string_view> leadingName(const Tree& tree, const Clauses::Part& part) {
    const Written* w = writtenAt(tree, part);
    if (!w || w->items.empty() || w->items[0].group != kNoNode || !isName(tree.tokens[w->items[0].place.at]))
        return std::nullopt;
    return nameAt(tree, w->items[0].place);
}

namespace {

// The first part of [b, parts' end) that is the clause word `word`; the
// parts' count for none.
std::size_t wordAt(const Tree& tree, const Parts& parts, std::size_t b, std::string_view word) {
    while (b < parts.size() && !isWordPart(tree, parts[b], word)) ++b;
    return b;
}

}  // namespace

std::optional<Write> writeOf(const Tree& tree) {
    const Parts& parts = outerParts(tree);
    if (parts.size() < 3) return std::nullopt;
    if (isWordPart(tree, parts[0], "UPDATE")) {
        const std::size_t set = wordAt(tree, parts, 2, "SET");
        return Write{Write::Kind::Update, leadingName(tree, parts[1]).value_or(""), 1, set, set};
    }
    if (isWordPart(tree, parts[0], "INSERT")) {
        const Written* into = isWordPart(tree, parts[1], "INTO") ? writtenAt(tree, parts[2]) : nullptr;
        if (!into || into->items.empty()) return std::nullopt;
        return Write{Write::Kind::Insert, leadingName(tree, parts[2]).value_or(""), 2, 3, parts.size(), into};
    }
    if (isWordPart(tree, parts[0], "DELETE")) {
        const std::size_t from = wordAt(tree, parts, 1, "FROM");
        if (from + 1 >= parts.size()) return std::nullopt;
        return Write{Write::Kind::Delete, leadingName(tree, parts[from + 1]).value_or(""), from + 1,
                     wordAt(tree, parts, from + 1, "WHERE"), parts.size()};
    }
    return std::nullopt;
}

std::string_view tableNamed(const Tree& tree, const Parts& parts, std::size_t b, std::size_t e,
                            std::string_view qualifier) {
    for (const Source& s : sourcesOf(tree, parts, b, e))
        if (!s.derived && detail::sameName(s.name, qualifier)) return nameAt(tree, s.table);
    return {};
}

}  // namespace lumo::db::tree
