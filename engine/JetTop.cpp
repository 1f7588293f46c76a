#include "engine/JetTop.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <cerrno>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Error.h"

namespace lumo::db {
namespace {

using detail::isName;
using detail::isOp;
using detail::isWord;
using detail::Token;
using Kind = detail::TokenKind;

// Appends a fixed piece of SQL, read by the statement's own tokenizer.
void appendFixed(std::vector<Token>& out, std::string_view text) {
    std::vector<Token> tokens = detail::tokenizeJet(text);
    out.insert(out.end(), std::make_move_iterator(tokens.begin()), std::make_move_iterator(tokens.end()));
}

// One element of a level: a token, or a parenthesised group [at, end).
struct Element {
    std::size_t at, end;
};

// A run of elements [from, to) of one level, as a token range.
struct Range {
    std::size_t from = 0, to = 0;
    bool empty() const { return from >= to; }
};

// The TOP of one SELECT, as written.
struct TopClause {
    std::size_t select;      // the SELECT token
    std::size_t top;         // the TOP token
    std::size_t body;        // the first token after "TOP n [PERCENT]"
    std::string count;
    bool percent = false;
    std::optional<std::size_t> quantifier;  // DISTINCT or ALL
};

// An item of the select list: its expression, its alias, and whether it
// stands for several columns ('*', T.*).
struct ListItem {
    Range whole;
    Range expression;
    std::string alias;
    bool star = false;
};

// Reads the tokens it is given, which the caller keeps for the rewriter's
// short life (one call of rewriteTop), and builds the rewritten ones; used
// by one thread.
class TopRewriter {
public:
    static constexpr std::size_t kGrowth = 32;

    explicit TopRewriter(const std::vector<Token>& in)
        : in_(in), close_(in.size(), in.size()), levelEnd_(in.size(), in.size()), parameter_(in.size(), 0) {
        std::vector<std::size_t> open;
        int parameters = 0;
        for (std::size_t i = 0; i < in.size(); ++i) {
            if (isOp(in[i], "(")) open.push_back(i);
            if (isOp(in[i], ")") && !open.empty()) {
                close_[open.back()] = i;
                open.pop_back();
            }
            if (isOp(in[i], "?")) parameter_[i] = ++parameters;
        }
        // The level a SELECT stands in ends at the ')' of its group, or at
        // the ';' that ends the statement.
        std::size_t statementEnd = in.size();
        open.clear();
        for (std::size_t i = 0; i < in.size(); ++i) {
            if (isOp(in[i], "(")) open.push_back(i);
            if (isOp(in[i], ")") && !open.empty() && close_[open.back()] == i) open.pop_back();
            if (open.empty() && isOp(in[i], ";")) {
                statementEnd = i;
                break;
            }
        }
        open.clear();
        for (std::size_t i = 0; i < in.size(); ++i) {
            if (isOp(in[i], "(")) open.push_back(i);
            if (isOp(in[i], ")") && !open.empty() && close_[open.back()] == i) open.pop_back();
            if (isWord(in[i], "SELECT")) levelEnd_[i] = open.empty() ? statementEnd : close_[open.back()];
        }
    }

    std::vector<Token> run() {
        out_.reserve(in_.size() + 16);
        emit({0, in_.size()}, false, 0);
        return std::move(out_);
    }

private:
    // The tokens of `range`, each SELECT ... TOP in it rewritten. In a
    // copy, a parameter refers to the one it copies.
    void emit(Range range, bool copy, int nested) {
        // Keys named by alias or number repeat their item: bounded, so that
        // a few lines of text cannot grow into millions of tokens.
        if (out_.size() > kGrowth * in_.size() + 10000)
            throw Error("クエリが複雑すぎます。TOP のある SELECT の並べ替えの列が多すぎます。");
        for (std::size_t i = range.from; i < range.to; ++i) {
            const Token& t = in_[i];
            if (isWord(t, "SELECT")) {
                if (const std::optional<TopClause> top = topAt(i)) {
                    i = emitTop(*top, std::min(levelEnd_[i], range.to), copy, nested) - 1;
                    continue;
                }
            }
            if (copy && parameter_[i] > 0) out_.push_back({Kind::Number, "?" + std::to_string(parameter_[i])});
            else out_.push_back(t);
        }
    }

    std::size_t nextSignificant(std::size_t i) const {
        while (i < in_.size() && in_[i].kind == Kind::Space) ++i;
        return i;
    }

    std::optional<TopClause> topAt(std::size_t select) const {
        TopClause c{select, nextSignificant(select + 1), 0, {}, false, std::nullopt};
        if (c.top < in_.size() && (isWord(in_[c.top], "DISTINCT") || isWord(in_[c.top], "ALL"))) {
            c.quantifier = c.top;
            c.top = nextSignificant(c.top + 1);
        }
        if (c.top >= in_.size() || !isWord(in_[c.top], "TOP")) return std::nullopt;
        const std::size_t n = nextSignificant(c.top + 1);
        if (n >= in_.size()) return std::nullopt;
        const Token& count = in_[n];
        if (count.kind != Kind::Number && count.kind != Kind::Date) return std::nullopt;  // TOP as a name
        const std::size_t after = nextSignificant(n + 1);
        c.percent = after < in_.size() && isWord(in_[after], "PERCENT");
        c.count = count.text;
        const std::string text(count.text);
        char* end = nullptr;
        errno = 0;
        if (c.percent) std::strtod(text.c_str(), &end);
        else std::strtoll(text.c_str(), &end, 10);
        if (count.kind != Kind::Number || !end || *end != '\0' || errno == ERANGE)
            throw Error("TOP の後には行数を整数で書いてください (TOP n PERCENT では割合を数で書きます): TOP " + text);
        c.body = c.percent ? after + 1 : n + 1;
        if (c.body < in_.size() && in_[c.body].kind == Kind::Space) ++c.body;
        return c;
    }

    // The elements of one level between [from, to): tokens, and groups
    // taken whole.
    std::vector<Element> elements(Range range) const {
        std::vector<Element> out;
        for (std::size_t i = range.from; i < range.to;) {
            if (in_[i].kind == Kind::Space) { ++i; continue; }
            const std::size_t end = isOp(in_[i], "(") ? std::min(close_[i] + 1, range.to) : i + 1;
            out.push_back({i, end});
            i = end;
        }
        return out;
    }

    // [from, to) of a level's elements split at its commas.
    static std::vector<Range> splitAtCommas(const std::vector<Token>& in, const std::vector<Element>& list,
                                            std::size_t from, std::size_t to) {
        std::vector<Range> out;
        std::size_t start = from;
        for (std::size_t k = from; k <= to; ++k) {
            if (k < to && !isOp(in[list[k].at], ",")) continue;
            if (k > start) out.push_back({list[start].at, list[k - 1].end});
            start = k + 1;
        }
        return out;
    }

    ListItem listItem(Range r) const {
        const std::vector<Element> e = elements(r);
        ListItem item{r, r, {}, false};
        const std::size_t n = e.size();
        item.star = (n == 1 && isOp(in_[e[0].at], "*")) || (n == 3 && isOp(in_[e[1].at], ".") && isOp(in_[e[2].at], "*"));
        if (n >= 3 && isWord(in_[e[n - 2].at], "AS") && isName(in_[e[n - 1].at])) {
            item.alias = detail::unquotedName(in_[e[n - 1].at]);
            item.expression = {e[0].at, e[n - 3].end};
        }
        return item;
    }

    // One ORDER BY key: the expression the counting query sorts on, and
    // its direction words (ASC, DESC, NULLS FIRST ...).
    std::pair<Range, Range> orderKey(Range key, const std::vector<ListItem>& items) const {
        const std::vector<Element> e = elements(key);
        std::size_t n = e.size();
        const auto direction = [&](const Token& t) {
            return isWord(t, "ASC") || isWord(t, "DESC") || isWord(t, "NULLS") || isWord(t, "FIRST") || isWord(t, "LAST");
        };
        while (n > 1 && direction(in_[e[n - 1].at])) --n;
        const Range words = n < e.size() ? Range{e[n].at, e.back().end} : Range{};
        const Range expression{e[0].at, e[n - 1].end};
        if (n != 1) return {expression, words};
        const Token& t = in_[e[0].at];
        if (t.kind == Kind::Number && t.text.find_first_not_of("0123456789") == std::string::npos) {
            const long position = std::strtol(t.text.c_str(), nullptr, 10);
            if (position < 1 || static_cast<std::size_t>(position) > items.size() || items[position - 1].star)
                throw Error("TOP のある SELECT では、ORDER BY の列番号 " + t.text +
                            " は選択リストの列 (* 以外) を指してください。列の名前か式で並べ替えてください。");
            return {items[position - 1].expression, words};
        }
        if (isName(t)) {
            const std::string name(detail::unquotedName(t));
            for (const ListItem& item : items)
                if (!item.alias.empty() && detail::sameName(item.alias, name)) return {item.expression, words};
        }
        return {expression, words};
    }

    // SELECT [DISTINCT] TOP n [PERCENT] ... up to `end`; returns `end`.
    std::size_t emitTop(const TopClause& top, std::size_t end, bool copy, int nested) {
        if (nested >= kMaxNestedTop)
            throw Error("クエリが複雑すぎます。TOP のある副問い合わせの入れ子は " + std::to_string(kMaxNestedTop) +
                        " 段までです。");
        const std::vector<Element> e = elements({top.body, end});
        std::size_t listEnd = e.size(), orderAt = e.size(), last = e.size();
        for (std::size_t k = 0; k < e.size(); ++k) {
            const Token& t = in_[e[k].at];
            if (isWord(t, "UNION") || isWord(t, "INTERSECT") || isWord(t, "EXCEPT"))
                throw Error("TOP は UNION などでつないだ SELECT には使えません。");
            if (isWord(t, "LIMIT") || isWord(t, "OFFSET")) throw Error("TOP と LIMIT は一緒に使えません。");
            const bool clause = isWord(t, "FROM") || isWord(t, "WHERE") || isWord(t, "GROUP") || isWord(t, "HAVING") ||
                                isWord(t, "ORDER");
            if (clause && listEnd == e.size()) listEnd = k;
            if (isWord(t, "ORDER") && k + 1 < e.size() && isWord(in_[e[k + 1].at], "BY") && orderAt == e.size())
                orderAt = k;
            if (!isOp(t, ";")) last = k;
        }
        const std::size_t bodyEnd = last < e.size() ? e[last].end : top.body;

        std::vector<ListItem> items;
        for (const Range r : splitAtCommas(in_, e, 0, std::min(listEnd, last + 1))) items.push_back(listItem(r));
        const bool star = std::any_of(items.begin(), items.end(), [](const ListItem& item) { return item.star; });
        out_.push_back(in_[top.select]);
        if (orderAt == e.size() && !top.percent) {
            // Nothing ties: n rows, as written without "TOP n".
            emit({top.select + 1, top.top}, copy, nested + 1);
            emit({top.body, bodyEnd}, copy, nested + 1);
            appendFixed(out_, " LIMIT " + top.count);
        } else {
            std::vector<std::pair<Range, Range>> keys;
            if (orderAt < e.size())
                for (const Range r : splitAtCommas(in_, e, orderAt + 2, last + 1)) keys.push_back(orderKey(r, items));
            // FROM ... HAVING, without the white space before ORDER BY.
            Range rest{listEnd < e.size() ? e[listEnd].at : bodyEnd, bodyEnd};
            if (orderAt < e.size()) rest.to = orderAt > listEnd ? e[orderAt - 1].end : e[orderAt].at;
            const bool subquery = end < in_.size() && isOp(in_[end], ")");
            if (subquery && !star && !items.empty()) {
                emitRows(top, items, keys, rest, nested);
            } else {
                emit({top.select + 1, top.top}, copy, nested + 1);
                emit({top.body, bodyEnd}, copy, nested + 1);
                emitCount(top, items, keys, rest, nested);
            }
        }
        emit({bodyEnd, end}, copy, nested + 1);
        return end;
    }

    // " LIMIT (<the number of rows to give>)"
    void emitCount(const TopClause& top, const std::vector<ListItem>& items,
                   const std::vector<std::pair<Range, Range>>& keys, Range rest, int nested) {
        appendFixed(out_, " LIMIT (SELECT count(*) FROM (SELECT ");
        emitRanked(top, items, keys, rest, nested, false);
        appendFixed(out_, ")");
    }

    // In a subquery, which may refer to the query around it (SQLite reads
    // no outer column in a LIMIT): the rows themselves, ranked, each item
    // under the name it had.
    //   SELECT __lumo_c1 AS A, ... FROM (SELECT *, rank() ... FROM (SELECT
    //   [DISTINCT] a AS __lumo_c1, ..., k1 AS __lumo_k1 rest)) WHERE ...
    //   ORDER BY __lumo_k1 ...
    void emitRows(const TopClause& top, const std::vector<ListItem>& items,
                  const std::vector<std::pair<Range, Range>>& keys, Range rest, int nested) {
        for (std::size_t k = 0; k < items.size(); ++k) {
            appendFixed(out_, (k ? ", __lumo_c" : " __lumo_c") + std::to_string(k + 1));
            const std::string name = itemName(items[k]);
            if (name.empty()) continue;
            appendFixed(out_, " AS ");
            out_.push_back({Kind::Quoted, name});
        }
        appendFixed(out_, " FROM (SELECT *, ");
        emitRanked(top, items, keys, rest, nested, true);
        for (std::size_t k = 0; k < keys.size(); ++k) {
            appendFixed(out_, (k ? ", __lumo_k" : " ORDER BY __lumo_k") + std::to_string(k + 1));
            emitDirection(keys[k].second, nested);
        }
    }

    // The name a subquery's item gives its column: its alias, or the
    // column it names; empty for an expression.
    std::string itemName(const ListItem& item) const {
        const std::vector<Element> e = elements(item.whole);
        const std::size_t n = e.size();
        const bool column = (n == 1 || (n == 3 && isOp(in_[e[1].at], "."))) && isName(in_[e[n - 1].at]) &&
                            !isWord(in_[e[n - 1].at], "NULL");
        std::string name = !item.alias.empty() ? item.alias : column ? std::string(detail::unquotedName(in_[e[n - 1].at])) : std::string();
        if (name.empty()) return name;
        std::string quoted = "\"";
        for (char c : name) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
        return quoted + "\"";
    }

    void emitDirection(Range words, int nested) {
        if (words.empty()) return;
        out_.push_back({Kind::Space, " "});
        emit(words, true, nested + 1);
    }

    // "<window> AS __lumo_rank[, <share>] FROM (SELECT [DISTINCT] <list>,
    // <keys> <rest>)) WHERE <the rank is within n>", every parameter a
    // copy; with `named`, each item of the list is called __lumo_cN.
    void emitRanked(const TopClause& top, const std::vector<ListItem>& items,
                    const std::vector<std::pair<Range, Range>>& keys, Range rest, int nested, bool named) {
        if (keys.empty()) {
            appendFixed(out_, "row_number() OVER ()");
        } else {
            appendFixed(out_, "rank() OVER (ORDER BY ");
            for (std::size_t k = 0; k < keys.size(); ++k) {
                appendFixed(out_, (k ? ", __lumo_k" : "__lumo_k") + std::to_string(k + 1));
                emitDirection(keys[k].second, nested);
            }
            appendFixed(out_, ")");
        }
        appendFixed(out_, " AS __lumo_rank");
        // A rank r is within the first share s of the rows, rounded up, when
        // r < s + 1 (written beside the window, it stays SQLite's own +).
        if (top.percent) {
            appendFixed(out_, ", count(*) OVER () * ");
            out_.push_back({Kind::Number, top.count});  // as written: 1E+5 is one token
            appendFixed(out_, " / 100.0 + 1 AS __lumo_share");
        }
        appendFixed(out_, " FROM (SELECT ");
        if (top.quantifier) {
            out_.push_back(in_[*top.quantifier]);
            out_.push_back({Kind::Space, " "});
        }
        for (std::size_t k = 0; k < items.size(); ++k) {
            if (k) appendFixed(out_, ", ");
            emit(named ? items[k].expression : items[k].whole, true, nested + 1);
            if (named) appendFixed(out_, " AS __lumo_c" + std::to_string(k + 1));
        }
        if (items.empty()) appendFixed(out_, "1");
        for (std::size_t k = 0; k < keys.size(); ++k) {
            appendFixed(out_, ", ");
            emit(keys[k].first, true, nested + 1);
            appendFixed(out_, " AS __lumo_k" + std::to_string(k + 1));
        }
        if (!rest.empty()) {
            out_.push_back({Kind::Space, " "});
            emit(rest, true, nested + 1);
        }
        appendFixed(out_, top.percent ? ")) WHERE __lumo_rank < __lumo_share" : ")) WHERE __lumo_rank <= " + top.count);
    }

    const std::vector<Token>& in_;
    std::vector<std::size_t> close_;     // per '(': its ')', or the end for one never closed
    std::vector<std::size_t> levelEnd_;  // per SELECT: the end of the level it stands in
    std::vector<int> parameter_;         // per '?': its number
    std::vector<Token> out_;
};

}  // namespace

void rewriteTop(std::vector<Token>& tokens) {
    const bool any = std::any_of(tokens.begin(), tokens.end(), [](const Token& t) { return isWord(t, "TOP"); });
    if (!any) return;
    tokens = TopRewriter(tokens).run();
}

}  // namespace lumo::db
