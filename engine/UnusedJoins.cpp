#include "engine/UnusedJoins.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "Conditions.h"
#include "FromClause.h"

namespace lumo::db {
namespace {

using detail::isName;
using detail::isOp;
using detail::isWord;
using detail::sameName;
using detail::Token;
using detail::unquotedName;
using tree::Clauses;
using tree::Index;
using tree::kNoNode;
using tree::Parts;
using tree::Tree;

bool isOneOf(const Token& x, std::initializer_list<std::string_view> words) {
    for (std::string_view w : words)
        if (isWord(x, w)) return true;
    return false;
}

// Words that name no column in the clauses the checks read.
bool isKeyword(const Token& x) {
    return isOneOf(x, {"LEFT", "RIGHT", "INNER", "OUTER", "JOIN", "CROSS", "FULL", "NATURAL", "ON", "AS", "SELECT",
                       "DISTINCT", "FROM", "WHERE", "AND", "OR", "NOT", "LIKE", "IN", "IS", "NULL", "BETWEEN",
                       "ESCAPE", "TRUE", "FALSE"});
}

// A LEFT JOIN of one table: its parts [first, end) in the level it stands
// in, its tokens [begin, stop), and the name its columns are qualified with.
struct LeftJoin {
    Index level;
    std::size_t first, end;
    std::size_t on;  // its ON word among the parts
    Index begin, stop;
    std::string_view name;
    std::string_view source;  // the table or view joined
};

// The pass over one statement's tree. What it and the passes before it
// took out (Tree::removed) the checks that read tokens skip, as they would
// read the statement without it. Lives for one pass.
class Dropper {
public:
    Dropper(Tree& tree, const UniqueKeyLookup& unique) : tree_(tree), unique_(unique) {}

    void run() {
        // Every subquery after IN, at any depth, as the tree stands now:
        // a drop changes no Compare.
        for (Index n = 0; n < tree_.nodes.size(); ++n) {
            const auto* compare = std::get_if<tree::Compare>(&tree_.nodes[n]);
            if (!compare) continue;
            for (const tree::Compare::Step& step : compare->steps) {
                if (step.kind != tree::Compare::Kind::In) continue;
                const auto* group = std::get_if<tree::Group>(&tree_.nodes[step.right]);
                if (group && startsWithSelect(group->inner))
                    while (dropIn(group->inner)) {
                    }
            }
        }
        for (Index n = 0; n < tree_.nodes.size(); ++n) {
            if (!std::holds_alternative<Clauses>(tree_.nodes[n])) continue;
            for (std::size_t s = 0; s < partsOf(n).size(); ++s)
                if (isWordPart(tree_, partsOf(n)[s], "SELECT")) inlineKeySubquery(n, s);
        }
        if (startsWithSelect(tree_.root))
            while (dropOuter()) {
            }
    }

private:
    Parts& partsOf(Index level) { return tree::partsOf(tree_, level); }
    const Clauses& levelOf(Index level) const { return std::get<Clauses>(tree_.nodes[level]); }

    bool startsWithSelect(Index level) const {
        const Parts& parts = levelOf(level).parts;
        return !parts.empty() && isWordPart(tree_, parts[0], "SELECT");
    }

    std::vector<Index> significantIn(Index b, Index e) const { return tree::significantIn(tree_, b, e); }

    // Each "LEFT [OUTER] JOIN U [[AS] A] ON <condition>" of one table among
    // the parts [b, e) of `level` and in the joins in parentheses there;
    // the condition ends at the next join word of its level or at the end.
    void leftJoinsIn(Index level, std::size_t b, std::size_t e, std::vector<LeftJoin>& joins) const {
        const Clauses& c = levelOf(level);
        const Parts& parts = c.parts;
        for (std::size_t k = b; k < e; ++k) {
            if (const tree::Written* w = tree::writtenAt(tree_, parts[k])) {
                for (const tree::Written::Item& item : w->items) {
                    if (item.group == kNoNode) continue;
                    const Index inner = std::get<tree::Group>(tree_.nodes[item.group]).inner;
                    leftJoinsIn(inner, 0, levelOf(inner).parts.size(), joins);
                }
                continue;
            }
            const std::optional<tree::Join> join = tree::joinAt(tree_, parts, k, e);
            if (!join || join->kind != tree::Join::Kind::Left) continue;
            const std::optional<tree::Entry> entry = tree::entryAt(tree_, parts, join->join + 1, e);
            if (!entry || entry->end != join->on || join->on + 1 >= e) continue;
            std::size_t end = entry->end + 1;
            while (end < e && !tree::isJoinWord(tree_, parts[end])) ++end;
            joins.push_back({level, k, end, entry->end, parts[k].place.at, end < parts.size() ? parts[end].place.lead : c.trail,
                             entry->name, tree::nameAt(tree_, entry->table)});
        }
    }

    // Whether the tokens of [b, e) outside `join` read nothing of the
    // joined table and have every column qualified (an unqualified one
    // could be its).
    bool unused(Index b, Index e, const LeftJoin& join) const {
        const std::vector<Index> sig = significantIn(b, e);
        const auto& t = tree_.tokens;
        for (std::size_t k = 0; k < sig.size(); ++k) {
            if (sig[k] >= join.begin && sig[k] < join.stop) continue;
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

    // Whether the FROM clause [b, e) outside `join` (another join's ON)
    // reads the joined table. Only the FROM clause names tables bare.
    bool unusedInFrom(Index b, Index e, const LeftJoin& join) const {
        const std::vector<Index> sig = significantIn(b, e);
        for (std::size_t k = 0; k + 1 < sig.size(); ++k) {
            if (sig[k] >= join.begin && sig[k] < join.stop) continue;
            const Token& x = tree_.tokens[sig[k]];
            if (isName(x) && isOp(tree_.tokens[sig[k + 1]], ".") && sameName(unquotedName(x), join.name)) return false;
        }
        return true;
    }

    // The token ranges of a SELECT's clauses.
    struct Ranges {
        Index list, from, fromEnd, end;  // [list, from) the select list, [from, fromEnd) FROM's, [fromEnd, end) the rest
    };
    Ranges rangesOf(Index level, const tree::Select& q) const {
        const Clauses& c = levelOf(level);
        const Parts& parts = c.parts;
        return {parts[0].place.at + 1, parts[q.from].place.at + 1,
                q.where < parts.size() ? parts[q.where].place.at : c.end, c.end};
    }

    // Drops the first join of the SELECT at the start of `level` that
    // nothing reads (and, with `oneRow`, that finds at most one row per
    // row).
    bool dropFirstUnused(Index level, const tree::Select& q, bool oneRow) {
        const Ranges r = rangesOf(level, q);
        std::vector<LeftJoin> joins;
        leftJoinsIn(level, q.from + 1, q.where, joins);
        for (const LeftJoin& join : joins) {
            // A literal is bound by its order: taking one out would bind
            // every later one to the wrong place.
            if (!unused(r.list, r.from - 1, join) || !unused(r.fromEnd, r.end, join) ||
                !unusedInFrom(r.from, r.fromEnd, join) || detail::holdsLiteral(tree_.tokens, join.begin, join.stop) ||
                (oneRow && !joinsOneRow(join)))
                continue;
            Parts& parts = partsOf(join.level);
            parts.erase(parts.begin() + static_cast<std::ptrdiff_t>(join.first),
                        parts.begin() + static_cast<std::ptrdiff_t>(join.end));
            tree_.removed.emplace_back(join.begin, join.stop);
            return true;
        }
        return false;
    }

    // The SELECT of a subquery after IN, without a join nothing reads.
    bool dropIn(Index level) {
        const Parts& parts = partsOf(level);
        const tree::Select q = tree::selectAt(tree_, parts, 0);
        if (q.from == parts.size() || q.star || q.shaped) return false;
        const Ranges r = rangesOf(level, q);
        const auto& t = tree_.tokens;
        for (Index i = r.list; i + 1 < r.from; ++i)
            if (isOp(t[i], "(")) return false;  // an aggregate would count the repeated rows
        for (Index i = r.list; i < r.end; ++i)
            if (isWord(t[i], "SELECT")) return false;  // its names are its own
        return dropFirstUnused(level, q, false);
    }

    // The outermost SELECT without one LEFT JOIN that nothing but its own
    // ON clause reads and that finds at most one row for each row: it
    // changes neither which rows come nor how many.
    bool dropOuter() {
        const Parts& parts = partsOf(tree_.root);
        const tree::Select q = tree::selectAt(tree_, parts, 0);
        if (q.from == parts.size() || q.star || q.shaped) return false;
        return dropFirstUnused(tree_.root, q, true);
    }

    // Whether the join's ON clause is one equality "X.c = J.k" (either way
    // round) of a column of another source with a column that holds each
    // value once in the joined source.
    bool joinsOneRow(const LeftJoin& join) const {
        if (!unique_ || join.end != join.on + 2) return false;
        const Index condition = levelOf(join.level).parts[join.on + 1].expression;
        const std::optional<tree::ColumnEquality> eq = tree::columnEquality(tree_, tree::unwrapped(tree_, condition));
        if (!eq) return false;
        const auto keyOfJoined = [&](const tree::QualifiedName& mine, const tree::QualifiedName& other) {
            return sameName(tree::nameAt(tree_, mine.first), join.name) &&
                   !sameName(tree::nameAt(tree_, other.first), join.name) &&
                   unique_(join.source, tree::nameAt(tree_, mine.rest[1]));
        };
        return keyOfJoined(eq->leftName, eq->rightName) || keyOfJoined(eq->rightName, eq->leftName);
    }

    enum class Named { Yes, No, LeftJoinFirst };

    // Whether the FROM parts [b, e) name the table `table` as it is (no
    // alias) before their first LEFT JOIN.
    Named namedBeforeLeftJoins(const Parts& parts, std::size_t b, std::size_t e, std::string_view table) const {
        for (std::size_t k = b; k < e; ++k) {
            if (isWordPart(tree_, parts[k], "LEFT")) return Named::LeftJoinFirst;
            if (const Index inner = tree::groupAt(tree_, parts[k]); inner != kNoNode) {
                const Parts& innerParts = levelOf(inner).parts;
                const Named found = namedBeforeLeftJoins(innerParts, 0, innerParts.size(), table);
                if (found != Named::No) return found;
                continue;
            }
            const tree::Written* w = tree::writtenAt(tree_, parts[k]);
            const bool entry = k == b || isWordPart(tree_, parts[k - 1], "JOIN");
            if (entry && w && w->items.size() == 1 && w->items[0].group == kNoNode &&
                isName(tree_.tokens[w->items[0].place.at]) && sameName(tree::nameAt(tree_, w->items[0].place), table) &&
                !(k + 1 < e && isWordPart(tree_, parts[k + 1], "AS")))
                return Named::Yes;
        }
        return Named::No;
    }

    // The SELECT at part `s` of `level`, rewritten when its WHERE clause is
    // only a test of a key against a subquery of the same table.
    void inlineKeySubquery(Index level, std::size_t s) {
        const Parts& parts = partsOf(level);
        const tree::Select q = tree::selectAt(tree_, parts, s);
        if (q.from == parts.size() || q.where + 1 >= parts.size()) return;
        // Nothing after the subquery but the outer query's own clauses.
        if (q.where + 2 < parts.size() && !isWordPart(tree_, parts[q.where + 2], "GROUP") &&
            !isWordPart(tree_, parts[q.where + 2], "ORDER") && !isWordPart(tree_, parts[q.where + 2], "LIMIT"))
            return;
        const Index where = parts[q.where + 1].expression;
        const auto* in = where == kNoNode ? nullptr : std::get_if<tree::Compare>(&tree_.nodes[where]);
        if (!in || in->steps.size() != 1 || in->steps[0].kind != tree::Compare::Kind::In || in->steps[0].negated) return;
        const tree::QualifiedName* key = tree::columnAt(tree_, in->first);
        const auto* group = std::get_if<tree::Group>(&tree_.nodes[in->steps[0].right]);
        if (!key || !group || !group->closed) return;
        const std::string_view table = tree::nameAt(tree_, key->first), column = tree::nameAt(tree_, key->rest[1]);
        // The subquery: SELECT T.k FROM T WHERE c.
        const Parts& sub = levelOf(group->inner).parts;
        if (sub.size() != 6 || !isWordPart(tree_, sub[0], "SELECT") || !isWordPart(tree_, sub[2], "FROM") ||
            !isWordPart(tree_, sub[4], "WHERE") || sub[5].expression == kNoNode || sub[1].expression == kNoNode)
            return;
        const tree::QualifiedName* selected = tree::columnAt(tree_, sub[1].expression);
        const tree::Written* from = tree::writtenAt(tree_, sub[3]);
        if (!selected || !sameName(tree::nameAt(tree_, selected->first), table) ||
            !sameName(tree::nameAt(tree_, selected->rest[1]), column) || !from || from->items.size() != 1 ||
            from->items[0].group != kNoNode || !isName(tree_.tokens[from->items[0].place.at]) ||
            !sameName(tree::nameAt(tree_, from->items[0].place), table))
            return;
        if (!unique_ || !unique_(table, column) ||
            namedBeforeLeftJoins(parts, q.from + 1, q.where, table) != Named::Yes)
            return;
        // The subquery's group keeps only its condition: "(c)".
        const Index subquery = in->steps[0].right;
        Clauses& inner = std::get<Clauses>(tree_.nodes[group->inner]);
        const Clauses::Part condition = inner.parts[5];
        inner.parts = {condition};
        inner.operand = true;
        partsOf(level)[q.where + 1].expression = subquery;
    }

    Tree& tree_;
    const UniqueKeyLookup& unique_;
};

}  // namespace

void dropUnusedJoins(tree::Tree& tree, const UniqueKeyLookup& unique) { Dropper(tree, unique).run(); }

}  // namespace lumo::db
