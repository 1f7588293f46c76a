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

namespace {

class DateArguments {
public:
    // With `literals`, the arguments wrapped are the date literals (#...#)
    // instead of the columns `isDate` names.
    DateArguments(std::vector<Token>& tokens, const DateColumnLookup& isDate, bool literals = false)
        : tokens_(tokens), isDate_(isDate), sig_(significantTokens(tokens)), literals_(literals) {}

    void run() {
        std::vector<std::pair<std::size_t, std::size_t>> wraps;  // token ranges [first, last]
        for (std::size_t k = 0; k + 1 < sig_.size(); ++k) {
            if (tok(k).kind != Kind::Word || !isOp(tok(k + 1), "(") || (k > 0 && isOp(tok(k - 1), "."))) continue;
            if (!sqliteFunctionName(tok(k).text)) continue;
            // The tables are found before any wrap changes the tokens they name.
            if (!tables_ && !literals_) tables_.emplace(tokens_, sig_, isDate_);
            arguments(k + 1, wraps);
        }
        for (auto it = wraps.rbegin(); it != wraps.rend(); ++it) {
            const auto at = [&](std::size_t i) { return tokens_.begin() + static_cast<std::ptrdiff_t>(i); };
            tokens_.insert(at(it->second + 1), Token{Kind::Op, ")"});
            tokens_.insert(at(it->first), {Token{Kind::Word, "lumo_date"}, Token{Kind::Op, "("}});
        }
    }

private:
    const Token& tok(std::size_t k) const { return tokens_[sig_[k]]; }

    // The arguments of the call whose '(' is at k; each one that is a
    // Date/Time column is added to `wraps`.
    void arguments(std::size_t open, std::vector<std::pair<std::size_t, std::size_t>>& wraps) {
        int depth = 0;
        std::size_t start = open + 1;
        for (std::size_t k = open; k < sig_.size(); ++k) {
            const Token& t = tok(k);
            if (isOp(t, "(")) ++depth;
            else if (isOp(t, ")")) --depth;
            const bool ends = (depth == 1 && isOp(t, ",")) || depth == 0;
            if (!ends) continue;
            if (k > start && isDateColumn(start, k)) wraps.emplace_back(sig_[start], sig_[k - 1]);
            start = k + 1;
            if (depth == 0) return;
        }
    }

    // Whether the significant tokens [from, to) are one Date/Time column.
    bool isDateColumn(std::size_t from, std::size_t to) const {
        if (literals_) return to - from == 1 && tok(from).kind == Kind::Date;
        if (to - from == 1 && isName(tok(from))) return tables_->isDate({}, unquotedName(tok(from)));
        if (to - from == 3 && isName(tok(from)) && isOp(tok(from + 1), ".") && isName(tok(from + 2)))
            return tables_->isDate(unquotedName(tok(from)), unquotedName(tok(from + 2)));
        return false;
    }

    std::vector<Token>& tokens_;
    const DateColumnLookup& isDate_;
    std::vector<std::size_t> sig_;
    std::optional<StatementTables> tables_;
    bool literals_;
};

}  // namespace

namespace detail {

void wrapDateArguments(std::vector<Token>& tokens, const DateColumnLookup& isDate) {
    if (isDate) DateArguments(tokens, isDate).run();
}

void wrapDateLiteralArguments(std::vector<Token>& tokens) {
    // Most statements have no date literal after a '(' or ','; they cost
    // one look at the tokens, not the search for calls.
    bool candidate = false;
    for (std::size_t i = 0; i < tokens.size() && !candidate; ++i) {
        if (tokens[i].kind != Kind::Date) continue;
        std::size_t before = i;
        while (before > 0 && tokens[before - 1].kind == Kind::Space) --before;
        candidate = before > 0 && (isOp(tokens[before - 1], "(") || isOp(tokens[before - 1], ","));
    }
    if (!candidate) return;
    const DateColumnLookup none;
    DateArguments(tokens, none, true).run();
}

}  // namespace detail
}  // namespace lumo::db
