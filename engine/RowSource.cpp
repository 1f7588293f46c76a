// What a statement's outer SELECT reads, and the additions of a SELECT that
// reads one table (RowSource.h).
#include "RowSource.h"

#include <algorithm>
#include <array>
#include <string>
#include <variant>

#include "FromClause.h"
#include "engine/JetSql.h"

namespace lumo::db::tree {
namespace {

using detail::equalsKeyword;
using detail::isName;
using detail::isOp;
using detail::isWord;
using detail::Token;

// Keywords that end an operand: a name there is none.
bool endsOperand(const Token& t) {
    if (t.kind != detail::TokenKind::Word) return false;
    static constexpr std::array<std::string_view, 37> words = {
        "AND", "OR", "NOT", "LIKE", "AS", "FROM", "WHERE", "ON", "SELECT", "DISTINCT", "IS", "IN",
        "BETWEEN", "ESCAPE", "THEN", "ELSE", "WHEN", "CASE", "END", "ORDER", "BY", "GROUP", "HAVING",
        "JOIN", "LEFT", "RIGHT", "INNER", "OUTER", "SET", "UNION", "VALUES", "INTO", "ASC", "DESC", "XOR", "GLOB",
        "LIMIT"};
    return std::any_of(words.begin(), words.end(), [&](std::string_view w) { return equalsKeyword(t.text, w); });
}

// What names the result column of one select item of `parts`.
JetStatement::Item itemKind(const Tree& tree, const Parts& parts, Select::Range item) {
    using Kind = SelectItem::Kind;
    switch (itemAt(tree, parts, item).kind) {
    case Kind::Named: return JetStatement::Item::Named;
    case Kind::Star: return JetStatement::Item::Star;
    case Kind::Expression: break;
    }
    return JetStatement::Item::Expression;
}

// The qualifier of an item written q.c, or "".
std::string qualifierOf(const Tree& tree, const Parts& parts, Select::Range item) {
    const auto [first, end] = item;
    if (end != first + 1 || parts[first].expression == kNoNode) return {};
    const QualifiedName* q = columnAt(tree, parts[first].expression);
    return q ? std::string(nameAt(tree, q->first)) : std::string();
}

// The FROM word of the statement's SELECT among the outer level's parts;
// the parts' count for none.
std::size_t outerFrom(const Tree& tree) {
    const Parts& parts = outerParts(tree);
    return parts.empty() || !isWordPart(tree, parts[0], "SELECT") ? parts.size() : selectAt(tree, parts, 0).from;
}

}  // namespace

void readWholeTableInKeyOrder(Tree& tree) {
    const std::size_t k = outerFrom(tree);
    const Parts& parts = outerParts(tree);
    if (k + 1 >= parts.size() || parts[k + 1].expression == kNoNode) return;
    const auto* names = std::get_if<Written>(&tree.nodes[parts[k + 1].expression]);
    if (names && names->items.size() == 1 && names->items[0].group == kNoNode)
        tree.additions.notIndexedAfter = names->items[0].place.at;
}

void addRowIdentity(Tree& tree, std::string_view source) {
    const std::size_t from = outerFrom(tree);
    const Parts& parts = outerParts(tree);
    if (from == parts.size()) return;
    tree.additions.rowIdentityBefore = parts[from].place.at;
    tree.additions.rowIdentitySource = std::string(source);
}

void readSource(const Tree& tree, JetStatement& st, bool& wholeTable) {
    const auto& t = tree.tokens;
    const auto first = std::find_if(t.begin(), t.end(), [](const Token& x) { return x.kind != detail::TokenKind::Space; });
    if (first == t.end()) return;
    st.isSelect = isWord(*first, "SELECT") || isWord(*first, "WITH") || isWord(*first, "VALUES") || isWord(*first, "PRAGMA");
    const auto& parts = outerParts(tree);
    if (!isWord(*first, "SELECT") || parts.empty() || !isWordPart(tree, parts[0], "SELECT")) return;

    const Select q = selectAt(tree, parts, 0);
    bool simple = !q.distinct;
    // A '*' anywhere in the list (COUNT(*) too), and an aggregate.
    const Index end = static_cast<Index>(t.size());
    const Index listBegin = q.list < parts.size() ? parts[q.list].place.at : end;
    const Index listStop = q.listEnd < parts.size() ? parts[q.listEnd].place.at : end;
    bool star = false;
    forEachSignificant(tree, listBegin, listStop, [&](Index i) {
        star = isOp(t[i], "*");
        return !star;
    });
    simple = simple && !callsAggregate(tree, listBegin, listStop);
    for (const Select::Range& item : q.items) st.items.push_back(itemKind(tree, parts, item));
    if (!star)
        for (const Select::Range& item : q.items) st.qualifiers.push_back(qualifierOf(tree, parts, item));
    const std::size_t from = q.from;
    // FROM <name> and then nothing but WHERE, ORDER BY and LIMIT clauses.
    if (!simple || q.grouped || q.compound || from + 1 >= parts.size()) return;
    const Written* names = parts[from + 1].expression == kNoNode ? nullptr
                                                                 : std::get_if<Written>(&tree.nodes[parts[from + 1].expression]);
    if (!names || names->items.size() != 1 || names->items[0].group != kNoNode) return;
    const Token& source = t[names->items[0].place.at];
    // The name is the whole FROM clause: WHERE, ORDER BY, LIMIT or ';' ends it.
    const std::size_t after = from + 2;
    const bool last = after == parts.size();
    if (!isName(source) || endsOperand(source) || !(last || after == q.fromEnd)) return;
    const bool limit = !last && isWordPart(tree, parts[after], "LIMIT");
    const bool semicolon = !last && parts[after].expression == kNoNode && isOp(t[parts[after].place.at], ";");
    st.singleSource = std::string(detail::unquotedName(source));
    wholeTable = last || limit || (semicolon && after + 1 == parts.size());
}

}  // namespace lumo::db::tree
