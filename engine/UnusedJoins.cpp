#include "engine/UnusedJoins.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "SearchConditions.h"

namespace lumo::db {
namespace {

// The shared readers of a translated SELECT (SearchConditions.h).
using namespace detail;

bool isOneOf(const Token& x, std::initializer_list<std::string_view> words) {
    for (std::string_view w : words)
        if (isWord(x, w)) return true;
    return false;
}

// Words that name no column in the conditions a subquery after IN has.
bool isKeyword(const Token& x) {
    return detail::isFromKeyword(x) || isOneOf(x, {"SELECT", "DISTINCT", "FROM", "WHERE", "AND", "OR", "NOT", "LIKE",
                                                   "IN", "IS", "NULL", "BETWEEN", "ESCAPE", "TRUE", "FALSE"});
}

// A LEFT JOIN of one table: its tokens [begin, end) and the name its
// columns are qualified with.
struct LeftJoin {
    std::size_t begin = 0, end = 0;
    std::string_view name;
    std::string_view source;  // the table or view joined
};

// Each "LEFT [OUTER] JOIN U [[AS] A] ON <condition>" of one table in the
// FROM clause [b, e), at any depth; the condition ends at the next join of
// its level, at the ')' that closes its level, or at e.
std::vector<LeftJoin> leftJoinsIn(const Tokens& t, std::size_t b, std::size_t e) {
    std::vector<LeftJoin> joins;
    const std::vector<std::size_t> sig = detail::significantIn(t, b, e);
    for (std::size_t k = 0; k < sig.size(); ++k) {
        if (!isWord(t[sig[k]], "LEFT")) continue;
        std::size_t j = k + 1;
        if (j < sig.size() && isWord(t[sig[j]], "OUTER")) ++j;
        if (j + 1 >= sig.size() || !isWord(t[sig[j]], "JOIN") || !isName(t[sig[j + 1]]) || isKeyword(t[sig[j + 1]]))
            continue;
        LeftJoin join{sig[k], e, unquotedName(t[sig[j + 1]]), unquotedName(t[sig[j + 1]])};
        j += 2;
        if (j < sig.size() && isWord(t[sig[j]], "AS")) ++j;
        if (j < sig.size() && isName(t[sig[j]]) && !isKeyword(t[sig[j]])) join.name = unquotedName(t[sig[j++]]);
        if (j >= sig.size() || !isWord(t[sig[j]], "ON")) continue;
        int depth = 0;
        for (++j; j < sig.size(); ++j) {
            const Token& x = t[sig[j]];
            if (isOp(x, "(")) ++depth;
            if (isOp(x, ")") && --depth < 0) break;
            if (depth == 0 && detail::isFromKeyword(x)) break;
        }
        if (j < sig.size()) join.end = sig[j];
        joins.push_back(join);
    }
    return joins;
}

// Whether the tokens of [b, e) outside `join` read nothing of the joined
// table and have every column qualified (an unqualified one could be its).
bool unused(const Tokens& t, std::size_t b, std::size_t e, const LeftJoin& join) {
    const std::vector<std::size_t> sig = detail::significantIn(t, b, e);
    for (std::size_t k = 0; k < sig.size(); ++k) {
        if (sig[k] >= join.begin && sig[k] < join.end) continue;
        const Token& x = t[sig[k]];
        if (!isName(x) || isKeyword(x)) continue;
        const bool qualifier = k + 1 < sig.size() && isOp(t[sig[k + 1]], ".");
        if (qualifier && sameName(unquotedName(x), join.name)) return false;
        const bool column = k > 0 && isOp(t[sig[k - 1]], ".");
        const bool function = k + 1 < sig.size() && isOp(t[sig[k + 1]], "(");
        const bool alias = k > 0 && isWord(t[sig[k - 1]], "AS");  // names a result column
        // A subquery's own source (in the outermost WHERE clause).
        const bool source = k > 0 && (isWord(t[sig[k - 1]], "FROM") || isWord(t[sig[k - 1]], "JOIN"));
        if (source && sameName(unquotedName(x), join.name)) return false;
        if (!qualifier && !column && !function && !alias && !source) return false;
    }
    return true;
}

// Whether the FROM clause [b, e) outside `join` (another join's ON) reads
// the joined table. Only the FROM clause names tables bare.
bool unusedInFrom(const Tokens& t, std::size_t b, std::size_t e, const LeftJoin& join) {
    const std::vector<std::size_t> sig = detail::significantIn(t, b, e);
    for (std::size_t k = 0; k + 1 < sig.size(); ++k) {
        if (sig[k] >= join.begin && sig[k] < join.end) continue;
        if (isName(t[sig[k]]) && isOp(t[sig[k + 1]], ".") && sameName(unquotedName(t[sig[k]]), join.name))
            return false;
    }
    return true;
}

// Whether the join's tokens hold a literal, or a literal's parameter: the
// literals are bound by their order, so taking one out would bind every
// later one to the wrong place (and a shown statement keeps its literals).
bool holdsLiteral(const Tokens& t, const LeftJoin& join) { return detail::holdsLiteral(t, join.begin, join.end); }

// The SELECT after "IN (" at tokens[s], rewritten when it can be.
bool dropIn(Tokens& t, std::size_t s) {
    const detail::Select q = detail::selectAt(t, s);
    if (q.from == detail::kNoToken || q.star || q.shaped) return false;
    for (std::size_t i = q.select + 1; i < q.from; ++i)
        if (isOp(t[i], "(")) return false;  // an aggregate would count the repeated rows
    for (std::size_t i = q.select + 1; i < q.end; ++i)
        if (isWord(t[i], "SELECT")) return false;  // its names are its own
    const std::size_t fromEnd = q.where == detail::kNoToken ? q.end : q.where;
    for (const LeftJoin& join : leftJoinsIn(t, q.from + 1, fromEnd)) {
        if (!unused(t, q.select + 1, q.from, join) || !unused(t, fromEnd, q.end, join) ||
            !unusedInFrom(t, q.from + 1, fromEnd, join) || holdsLiteral(t, join))
            continue;
        t.erase(t.begin() + static_cast<std::ptrdiff_t>(join.begin), t.begin() + static_cast<std::ptrdiff_t>(join.end));
        return true;
    }
    return false;
}

// "Q . k" at sig[k] of `t`.
bool isColumn(const Tokens& t, const std::vector<std::size_t>& sig, std::size_t k, std::string_view q,
              std::string_view column) {
    const std::optional<detail::QualifiedColumn> c = detail::qualifiedColumn(t, sig, k);
    return c && sameName(c->qualifier, q) && sameName(c->column, column);
}

// Whether the FROM clause [b, e) names the table `q` as it is (no alias),
// before its first LEFT JOIN.
bool namedBeforeLeftJoins(const Tokens& t, std::size_t b, std::size_t e, std::string_view q) {
    const std::vector<std::size_t> sig = detail::significantIn(t, b, e);
    for (std::size_t k = 0; k < sig.size(); ++k) {
        const Token& x = t[sig[k]];
        if (isWord(x, "LEFT")) return false;
        if (!isName(x) || detail::isFromKeyword(x) || !sameName(unquotedName(x), q)) continue;
        const bool qualifier = k + 1 < sig.size() && isOp(t[sig[k + 1]], ".");
        const bool aliased = k + 1 < sig.size() && isName(t[sig[k + 1]]) && !detail::isFromKeyword(t[sig[k + 1]]);
        const bool entry = k == 0 || isWord(t[sig[k - 1]], "JOIN") || isOp(t[sig[k - 1]], "(");
        if (entry && !qualifier && !aliased && !(k + 1 < sig.size() && isWord(t[sig[k + 1]], "AS"))) return true;
    }
    return false;
}

// The SELECT at tokens[s], rewritten when its WHERE clause is only a test
// of a key against a subquery of the same table.
bool inlineKeySubquery(Tokens& t, std::size_t s, const UniqueKeyLookup& unique) {
    const detail::Select q = detail::selectAt(t, s);
    if (q.from == detail::kNoToken || q.where == detail::kNoToken) return false;
    const std::vector<std::size_t> sig = detail::significantIn(t, q.where + 1, q.end);
    if (sig.size() < 6 || !isName(t[sig[0]]) || !isName(t[sig[2]]) || !isWord(t[sig[3]], "IN") ||
        !isOp(t[sig[4]], "(") || !isWord(t[sig[5]], "SELECT"))
        return false;
    const std::string_view table = unquotedName(t[sig[0]]), key = unquotedName(t[sig[2]]);
    if (!isColumn(t, sig, 0, table, key)) return false;
    const detail::Select sub = detail::selectAt(t, sig[5]);
    if (sub.where == detail::kNoToken || sub.star || sub.shaped || sub.end >= q.end) return false;
    // Nothing after the subquery but the outer query's own clauses.
    const std::vector<std::size_t> after = detail::significantIn(t, sub.end + 1, q.end);
    if (!after.empty() && !isWord(t[after.front()], "GROUP") && !isWord(t[after.front()], "ORDER") &&
        !isWord(t[after.front()], "LIMIT"))
        return false;
    const std::vector<std::size_t> list = detail::significantIn(t, sub.select + 1, sub.from);
    const std::vector<std::size_t> from = detail::significantIn(t, sub.from + 1, sub.where);
    if (list.size() != 3 || !isColumn(t, list, 0, table, key) || from.size() != 1 || !isName(t[from[0]]) ||
        !sameName(unquotedName(t[from[0]]), table))
        return false;
    if (!unique || !unique(table, key) || !namedBeforeLeftJoins(t, q.from + 1, q.where, table)) return false;
    Tokens condition{{detail::TokenKind::Op, "("}};
    condition.insert(condition.end(), t.begin() + static_cast<std::ptrdiff_t>(sub.where) + 1,
                     t.begin() + static_cast<std::ptrdiff_t>(sub.end));
    condition.push_back({detail::TokenKind::Op, ")"});
    t.erase(t.begin() + static_cast<std::ptrdiff_t>(sig[0]), t.begin() + static_cast<std::ptrdiff_t>(sub.end) + 1);
    t.insert(t.begin() + static_cast<std::ptrdiff_t>(sig[0]), condition.begin(), condition.end());
    return true;
}

// Whether the join's ON clause is one equality "X.c = J.k" (either way
// round) of a column of another source with a column that holds each
// value once in the joined source: each row then finds at most one row.
bool joinsOneRow(const Tokens& t, const LeftJoin& join, const UniqueKeyLookup& unique) {
    if (!unique) return false;
    const std::vector<std::size_t> all = detail::significantIn(t, join.begin, join.end);
    const auto on = std::find_if(all.begin(), all.end(), [&](std::size_t i) { return isWord(t[i], "ON"); });
    if (on == all.end()) return false;
    std::size_t b = *on + 1, e = join.end;
    detail::stripParentheses(t, b, e);
    const std::vector<std::size_t> sig = detail::significantIn(t, b, e);
    if (sig.size() != 7 || !isOp(t[sig[3]], "=")) return false;
    std::size_t k = 0;
    const std::optional<detail::QualifiedColumn> left = detail::qualifiedColumn(t, sig, k);
    if (!left || k != 3) return false;
    k = 4;
    const std::optional<detail::QualifiedColumn> right = detail::qualifiedColumn(t, sig, k);
    if (!right || k != 7) return false;
    const auto keyOfJoined = [&](const detail::QualifiedColumn& mine, const detail::QualifiedColumn& other) {
        return sameName(mine.qualifier, join.name) && !sameName(other.qualifier, join.name) &&
               unique(join.source, mine.column);
    };
    return keyOfJoined(*left, *right) || keyOfJoined(*right, *left);
}

// The outermost SELECT at tokens[s] without one LEFT JOIN that nothing but
// its own ON clause reads and that finds at most one row for each row: it
// changes neither which rows come nor how many.
bool dropOuter(Tokens& t, std::size_t s, const UniqueKeyLookup& unique) {
    const detail::Select q = detail::selectAt(t, s);
    if (q.from == detail::kNoToken || q.star || q.shaped) return false;
    const std::size_t fromEnd = q.where == detail::kNoToken ? q.end : q.where;
    for (const LeftJoin& join : leftJoinsIn(t, q.from + 1, fromEnd)) {
        if (!unused(t, q.select + 1, q.from, join) || !unused(t, fromEnd, q.end, join) ||
            !unusedInFrom(t, q.from + 1, fromEnd, join) || holdsLiteral(t, join) || !joinsOneRow(t, join, unique))
            continue;
        t.erase(t.begin() + static_cast<std::ptrdiff_t>(join.begin), t.begin() + static_cast<std::ptrdiff_t>(join.end));
        return true;
    }
    return false;
}

}  // namespace

void dropUnusedJoins(Tokens& t, const UniqueKeyLookup& unique) {
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (!isWord(t[i], "IN")) continue;
        const std::vector<std::size_t> next = detail::significantIn(t, i + 1, std::min(t.size(), i + 6));
        if (next.size() < 2 || !isOp(t[next[0]], "(") || !isWord(t[next[1]], "SELECT")) continue;
        while (dropIn(t, next[1])) {
        }
    }
    for (std::size_t i = 0; i < t.size(); ++i)
        if (isWord(t[i], "SELECT")) inlineKeySubquery(t, i, unique);
    const auto first = std::find_if(t.begin(), t.end(), [](const Token& x) { return x.kind != TokenKind::Space; });
    if (first != t.end() && isWord(*first, "SELECT"))
        while (dropOuter(t, static_cast<std::size_t>(first - t.begin()), unique)) {
        }
}

}  // namespace lumo::db
