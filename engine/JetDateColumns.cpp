#include "engine/JetDateColumns.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <utility>

#include "DateArguments.h"
#include "engine/JetFunctions.h"

namespace lumo::db {
namespace {

using namespace detail;
using Kind = TokenKind;

// Words after a table that are not its alias.
bool isClauseWord(const Token& t) {
    static constexpr std::array<std::string_view, 24> words = {
        "ON", "WHERE", "INNER", "LEFT", "RIGHT", "JOIN", "GROUP", "ORDER", "HAVING", "UNION", "OUTER", "CROSS",
        "FULL", "NATURAL", "LIMIT", "SET", "VALUES", "NOT", "USING", "EXCEPT", "INTERSECT", "SELECT", "AS", "INDEXED"};
    return t.kind == Kind::Word &&
           std::any_of(words.begin(), words.end(), [&](std::string_view w) { return equalsKeyword(t.text, w); });
}

}  // namespace

namespace detail {

// The tables the statement names: after FROM, JOIN, UPDATE, INTO, a ','
// of a FROM list, or the '(' of a parenthesised join.
std::vector<std::size_t> significantTokens(const std::vector<Token>& tokens) {
    std::vector<std::size_t> sig;
    sig.reserve(tokens.size());
    for (std::size_t i = 0; i < tokens.size(); ++i)
        if (tokens[i].kind != Kind::Space) sig.push_back(i);
    return sig;
}

StatementTables::StatementTables(const std::vector<Token>& tokens, const DateColumnLookup& isDate)
    : StatementTables(tokens, significantTokens(tokens), isDate) {}

StatementTables::StatementTables(const std::vector<Token>& tokens, const std::vector<std::size_t>& sig,
                                 const DateColumnLookup& isDate)
    : isDate_(isDate) {
    const auto tok = [&](std::size_t k) -> const Token& { return tokens[sig[k]]; };
    std::vector<bool> inFrom{false};
    for (std::size_t k = 0; k < sig.size(); ++k) {
        const Token& t = tok(k);
        if (isOp(t, "(")) inFrom.push_back(false);
        else if (isOp(t, ")") && inFrom.size() > 1) inFrom.pop_back();
        else if (isWord(t, "FROM")) inFrom.back() = true;
        else if (isWord(t, "WHERE") || isWord(t, "GROUP") || isWord(t, "ORDER") || isWord(t, "HAVING") ||
                 isWord(t, "UNION") || isWord(t, "SELECT"))
            inFrom.back() = false;
        if (!isName(t) || isClauseWord(t) || k == 0 || (k + 1 < sig.size() && isOp(tok(k + 1), "."))) continue;
        std::size_t before = k - 1;
        while (before > 0 && isOp(tok(before), "(")) --before;
        const Token& p = tok(before);
        const bool openParen = before + 1 < k;
        const bool listed = !openParen && isOp(p, ",") && inFrom.back();
        if (!listed && !isWord(p, "FROM") && !isWord(p, "JOIN") && !isWord(p, "UPDATE") && !isWord(p, "INTO"))
            continue;
        Table ref{unquotedName(t), {}};
        std::size_t a = k + 1;
        if (a < sig.size() && isWord(tok(a), "AS")) ++a;
        if (a < sig.size() && isName(tok(a)) && !isClauseWord(tok(a))) ref.alias = unquotedName(tok(a));
        tables_.push_back(ref);
    }
}

bool StatementTables::isDate(std::string_view qualifier, std::string_view column) const {
    bool date = false;
    for (const Table& table : tables_) {
        if (table.name.empty()) continue;
        if (!qualifier.empty() && !sameName(qualifier, table.name) && !sameName(qualifier, table.alias)) continue;
        const std::optional<bool> declared = isDate_(table.name, column);
        if (declared && !*declared) return false;
        date = date || declared.value_or(false);
    }
    return date;
}

}  // namespace detail

}  // namespace lumo::db
