#include "engine/SearchJoins.h"

#include <optional>
#include <string>
#include <string_view>

#include "JetTokens.h"
#include "JoinItems.h"
#include "SearchConditions.h"

namespace lumo::db {
namespace {

using detail::isName;
using detail::isOp;
using detail::isWord;
using detail::Item;
using detail::itemsOf;
using detail::space;
using detail::Token;
using detail::Tokens;
using detail::word;
using detail::conditionsOf;
using detail::likeTests;
using detail::LikeTest;
using detail::sameName;
using detail::Select;
using detail::selectAt;
using detail::significantIn;
using detail::stripParentheses;
using Kind = detail::TokenKind;

constexpr std::size_t kNone = detail::kNoToken;

std::string nameOf(const Token& t) { return std::string(detail::unquotedName(t)); }

// The name the FROM entry at items[b] is known by ("T", "T A" or
// "T AS A"), and in `end` the item after it; empty when items[b] is no
// table.
std::string entryAt(const std::vector<Item>& items, std::size_t b, std::size_t& end) {
    end = b + 1;
    if (b >= items.size() || items[b].group || !isName(items[b].first()) || detail::isFromKeyword(items[b].first())) return {};
    std::string name = nameOf(items[b].first());
    if (end < items.size() && isWord(items[end].first(), "AS")) ++end;
    if (end < items.size() && !items[end].group && isName(items[end].first()) && !detail::isFromKeyword(items[end].first()))
        name = nameOf(items[end++].first());
    else if (end != b + 1)
        return {};  // AS without a name
    return name;
}

// "LEFT [OUTER] JOIN <table> [[AS] alias]" at the outermost level of the
// FROM clause of `q`, for the table known as `table`: the index of LEFT.
std::size_t leftJoinOf(const Tokens& t, const Select& q, const std::string& table) {
    const std::size_t fromEnd = q.where == kNone ? q.end : q.where;
    const std::vector<std::size_t> sig = significantIn(t, q.from + 1, fromEnd);
    int depth = 0;
    for (std::size_t k = 0; k < sig.size(); ++k) {
        const Token& x = t[sig[k]];
        if (isOp(x, "(")) ++depth;
        if (isOp(x, ")")) --depth;
        if (depth != 0 || !isWord(x, "LEFT")) continue;
        std::size_t j = k + 1;
        if (j < sig.size() && isWord(t[sig[j]], "OUTER")) ++j;
        if (j >= sig.size() || !isWord(t[sig[j]], "JOIN") || j + 1 >= sig.size() || !isName(t[sig[j + 1]])) continue;
        std::string name = nameOf(t[sig[j + 1]]);
        std::size_t at = j + 2;
        if (at < sig.size() && isWord(t[sig[at]], "AS")) ++at;
        if (at < sig.size() && isName(t[sig[at]]) && !isWord(t[sig[at]], "ON")) name = nameOf(t[sig[at]]);
        if (sameName(name, table)) return sig[k];
    }
    return kNone;
}

// First rewrite, on one SELECT.
void innerWhereTested(Tokens& t, const Select& q) {
    if (q.from == kNone || q.shaped) return;
    for (auto [b, e] : conditionsOf(t, q)) {
        const std::vector<LikeTest> tests = likeTests(t, b, e);
        if (tests.empty()) continue;
        bool oneTable = true;
        for (const LikeTest& test : tests) oneTable = oneTable && sameName(test.table, tests.front().table);
        if (!oneTable) continue;
        const std::size_t left = leftJoinOf(t, q, tests.front().table);
        if (left == kNone) continue;
        t[left] = word("INNER");
        for (std::size_t i = left + 1; !isWord(t[i], "JOIN"); ++i)
            if (isWord(t[i], "OUTER")) t[i] = space();
    }
}

// --- Second rewrite --------------------------------------------------------

// A table joined on the right of a LEFT JOIN by "ON A.x = B.y".
struct OuterTable {
    Tokens entry;           // "T", "T A" or "T AS A"
    std::string name;       // what its columns are qualified with
    Tokens key;             // its own column of the ON clause, qualified
    Tokens other;           // the other table's column, qualified
    std::string otherName;  // the other table
};

// Finds the LEFT JOIN of `name` anywhere in the FROM clause [b, e).
std::optional<OuterTable> outerTable(const Tokens& t, std::size_t b, std::size_t e, const std::string& name) {
    const std::vector<Item> items = itemsOf(t, b, e);
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i].group) {
            const Tokens& g = items[i].tokens;
            if (std::optional<OuterTable> inside = outerTable(g, 1, g.size() - 1, name)) return inside;
            continue;
        }
        if (!isWord(items[i].first(), "LEFT")) continue;
        std::size_t j = i + 1;
        if (j < items.size() && isWord(items[j].first(), "OUTER")) ++j;
        if (j >= items.size() || !isWord(items[j].first(), "JOIN")) continue;
        std::size_t on = j + 1;
        while (on < items.size() && !isWord(items[on].first(), "ON")) ++on;
        std::size_t entryEnd = 0;
        if (on + 7 >= items.size() || !sameName(entryAt(items, j + 1, entryEnd), name) || entryEnd != on) continue;
        // ON a . x = b . y, and then the end of this level or another join.
        const auto column = [&](std::size_t k) {
            return isName(items[k].first()) && !items[k].group && isOp(items[k + 1].first(), ".") &&
                   isName(items[k + 2].first()) && !items[k + 2].group;
        };
        if (!column(on + 1) || !isOp(items[on + 4].first(), "=") || !column(on + 5)) return std::nullopt;
        const std::size_t after = on + 8;
        if (after < items.size() && !isWord(items[after].first(), "LEFT") && !isWord(items[after].first(), "INNER") &&
            !isWord(items[after].first(), "JOIN"))
            return std::nullopt;
        OuterTable out;
        detail::append(out.entry, items, j + 1, on);
        out.name = name;
        const bool ownFirst = sameName(nameOf(items[on + 1].first()), name);
        const std::size_t own = ownFirst ? on + 1 : on + 5, other = ownFirst ? on + 5 : on + 1;
        if (sameName(nameOf(items[other].first()), name)) return std::nullopt;
        detail::append(out.key, items, own, own + 3);
        detail::append(out.other, items, other, other + 3);
        out.otherName = nameOf(items[other].first());
        return out;
    }
    return std::nullopt;
}

// The FROM clause [b, e) with the inner joins turned round so that the
// table known as `first` comes first; nullopt when it cannot be done.
std::optional<Tokens> firstInFrom(const Tokens& t, std::size_t b, std::size_t e, const std::string& first) {
    const std::vector<Item> items = itemsOf(t, b, e);
    if (items.empty()) return std::nullopt;
    const auto inside = [&](const Item& group) -> std::optional<Tokens> {
        std::optional<Tokens> turned = firstInFrom(group.tokens, 1, group.tokens.size() - 1, first);
        if (!turned) return std::nullopt;
        Tokens out{group.tokens.front()};
        out.insert(out.end(), turned->begin(), turned->end());
        out.push_back(group.tokens.back());
        return out;
    };
    const auto withFirst = [&](Tokens head, std::size_t from) {
        Tokens out = std::move(head);
        detail::append(out, items, from, items.size());
        return out;
    };
    if (!items[0].group) {
        // A table first: it must be the one, or the left side of the one
        // inner join of this level, whose right side holds it.
        std::size_t leftEnd = 0;
        const std::string name = entryAt(items, 0, leftEnd);
        if (name.empty()) return std::nullopt;
        if (sameName(name, first)) return withFirst({}, 0);
        std::size_t join = leftEnd;
        if (join < items.size() && isWord(items[join].first(), "INNER")) ++join;
        if (join + 2 >= items.size() || !isWord(items[join].first(), "JOIN") || !items[join + 1].group ||
            !isWord(items[join + 2].first(), "ON"))
            return std::nullopt;
        const std::size_t on = join + 2;
        for (std::size_t k = on; k < items.size(); ++k)
            if (detail::isFromKeyword(items[k].first()) && !isWord(items[k].first(), "ON")) return std::nullopt;
        std::optional<Tokens> right = inside(items[join + 1]);
        if (!right) return std::nullopt;
        Tokens out = std::move(*right);
        out.insert(out.end(), {space(), word("INNER"), space(), word("JOIN")});
        detail::append(out, items, 0, leftEnd);
        detail::append(out, items, on, items.size());
        return out;
    }
    if (!items[0].group) return std::nullopt;
    std::optional<Tokens> head = inside(items[0]);
    if (!head) return std::nullopt;
    return withFirst(std::move(*head), 1);
}

// The token of a copied test: each parameter '?' becomes '?N', its number
// among the statement's parameters, since the copy stands after all of
// them (a number token, which the renderer writes as it is).
void copyTest(Tokens& out, const Tokens& t, const LikeTest& test) {
    detail::ParameterNumbers numbers;
    for (std::size_t i = 0; i < test.b; ++i) numbers.next(t[i]);
    for (std::size_t i = test.b; i < test.e; ++i) {
        const std::size_t number = numbers.next(t[i]);
        if (isOp(t[i], "?")) out.push_back({Kind::Number, "?" + std::to_string(number)});
        else out.push_back(t[i]);
    }
}

void narrowedByKeys(Tokens& t, const Select& q) {
    if (q.from == kNone || q.where == kNone || q.shaped || q.star || q.end != t.size()) return;
    for (auto [b, e] : conditionsOf(t, q)) {
        const std::vector<LikeTest> tests = likeTests(t, b, e);
        if (tests.empty()) continue;
        std::vector<OuterTable> tables;
        bool usable = true;
        for (const LikeTest& test : tests) {
            bool known = false;
            for (const OuterTable& table : tables) known = known || sameName(table.name, test.table);
            if (known) continue;
            std::optional<OuterTable> table = outerTable(t, q.from + 1, q.where, test.table);
            usable = usable && table && (tables.empty() || sameName(table->otherName, tables.front().otherName));
            if (!usable) break;
            tables.push_back(std::move(*table));
        }
        if (!usable || tables.size() < 2) continue;
        std::optional<Tokens> from = firstInFrom(t, q.from + 1, q.where, tables.front().otherName);
        if (!from) return;
        Tokens narrowing{space(), word("AND"), space(), {Kind::Op, "("}};
        for (std::size_t k = 0; k < tables.size(); ++k) {
            if (k > 0) narrowing.insert(narrowing.end(), {space(), word("OR"), space()});
            narrowing.insert(narrowing.end(), tables[k].other.begin(), tables[k].other.end());
            narrowing.insert(narrowing.end(), {space(), word("IN"), space(), {Kind::Op, "("}, word("SELECT"), space()});
            narrowing.insert(narrowing.end(), tables[k].key.begin(), tables[k].key.end());
            narrowing.insert(narrowing.end(), {space(), word("FROM"), space()});
            narrowing.insert(narrowing.end(), tables[k].entry.begin(), tables[k].entry.end());
            narrowing.insert(narrowing.end(), {space(), word("WHERE"), space()});
            bool firstTest = true;
            for (const LikeTest& test : tests) {
                if (!sameName(test.table, tables[k].name)) continue;
                if (!firstTest) narrowing.insert(narrowing.end(), {space(), word("OR"), space()});
                firstTest = false;
                copyTest(narrowing, t, test);
            }
            narrowing.push_back({Kind::Op, ")"});
        }
        narrowing.push_back({Kind::Op, ")"});
        Tokens out(t.begin(), t.begin() + static_cast<std::ptrdiff_t>(q.from) + 1);
        out.push_back(space());
        out.insert(out.end(), from->begin(), from->end());
        out.insert(out.end(), {space(), t[q.where], space(), {Kind::Op, "("}});
        out.insert(out.end(), t.begin() + static_cast<std::ptrdiff_t>(q.where) + 1, t.end());
        out.push_back({Kind::Op, ")"});
        out.insert(out.end(), narrowing.begin(), narrowing.end());
        t = std::move(out);
        return;
    }
}

}  // namespace

void rewriteSearchJoins(Tokens& tokens) {
    // Join keywords first: most statements have no outer join to look at.
    bool outer = false;
    for (const Token& x : tokens) outer = outer || isWord(x, "LEFT");
    if (outer) {
        for (std::size_t i = 0; i < tokens.size(); ++i)
            if (isWord(tokens[i], "SELECT")) innerWhereTested(tokens, selectAt(tokens, i));
        const auto first = significantIn(tokens, 0, tokens.size());
        if (!first.empty() && isWord(tokens[first.front()], "SELECT"))
            narrowedByKeys(tokens, selectAt(tokens, first.front()));
    }
}

}  // namespace lumo::db
