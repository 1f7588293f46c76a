#include "SearchConditions.h"

namespace lumo::db::detail {
namespace {
using Kind = TokenKind;
}  // namespace

bool isFromKeyword(const Token& t) {
    if (t.kind != Kind::Word) return false;
    for (std::string_view w : {"LEFT", "RIGHT", "INNER", "OUTER", "JOIN", "CROSS", "FULL", "NATURAL", "ON", "AS"})
        if (equalsKeyword(t.text, w)) return true;
    return false;
}

std::optional<QualifiedColumn> qualifiedColumn(const Tokens& t, const std::vector<std::size_t>& sig, std::size_t& k) {
    if (k + 2 >= sig.size() || !isName(t[sig[k]]) || !isOp(t[sig[k + 1]], ".") || !isName(t[sig[k + 2]]))
        return std::nullopt;
    const QualifiedColumn out{unquotedName(t[sig[k]]), unquotedName(t[sig[k + 2]])};
    k += 3;
    return out;
}

std::vector<std::size_t> significantIn(const Tokens& t, std::size_t b, std::size_t e) {
    std::vector<std::size_t> out;
    for (std::size_t i = b; i < e; ++i)
        if (t[i].kind != Kind::Space) out.push_back(i);
    return out;
}

Select selectAt(const Tokens& t, std::size_t s) {
    Select q;
    q.select = s;
    int depth = 0;
    std::size_t i = s + 1;
    for (; i < t.size(); ++i) {
        const Token& x = t[i];
        if (x.kind == Kind::Space) continue;
        if (isOp(x, "(")) ++depth;
        if (isOp(x, ")") && --depth < 0) break;
        if (depth != 0) continue;
        if (q.from == kNoToken) {
            if (isWord(x, "FROM")) q.from = i;
            else if (isOp(x, "*")) q.star = true;
            continue;
        }
        if (q.where == kNoToken && isWord(x, "WHERE")) q.where = i;
        if (isWord(x, "GROUP") || isWord(x, "ORDER") || isWord(x, "HAVING") || isWord(x, "LIMIT") ||
            isWord(x, "UNION") || isWord(x, "EXCEPT") || isWord(x, "INTERSECT") || isOp(x, ";"))
            q.shaped = true;
    }
    q.end = i;
    return q;
}

void stripParentheses(const Tokens& t, std::size_t& b, std::size_t& e) {
    for (;;) {
        const auto sig = significantIn(t, b, e);
        if (sig.size() < 2 || !isOp(t[sig.front()], "(") || !isOp(t[sig.back()], ")")) return;
        int depth = 0;
        for (std::size_t k = 0; k + 1 < sig.size(); ++k) {
            if (isOp(t[sig[k]], "(")) ++depth;
            if (isOp(t[sig[k]], ")")) --depth;
            if (depth == 0) return;  // the first group closes before the end
        }
        b = sig.front() + 1;
        e = sig.back();
    }
}

std::vector<std::pair<std::size_t, std::size_t>> splitAt(const Tokens& t, std::size_t b, std::size_t e,
                                                         std::string_view op) {
    std::vector<std::pair<std::size_t, std::size_t>> parts;
    int depth = 0;
    std::size_t start = b;
    for (std::size_t i = b; i < e; ++i) {
        if (isOp(t[i], "(")) ++depth;
        if (isOp(t[i], ")")) --depth;
        if (depth == 0 && isWord(t[i], op)) {
            parts.emplace_back(start, i);
            start = i + 1;
        }
    }
    parts.emplace_back(start, e);
    return parts;
}

std::optional<LikeTest> likeTest(const Tokens& t, std::size_t b, std::size_t e) {
    stripParentheses(t, b, e);
    const auto sig = significantIn(t, b, e);
    if (sig.size() < 5 || !isWord(t[sig[sig.size() - 2]], "LIKE")) return std::nullopt;
    const Token& constant = t[sig.back()];
    if (!isOp(constant, "?") && constant.kind != Kind::String) return std::nullopt;
    LikeTest test{{}, b, e};
    for (std::size_t k = 0; k + 2 < sig.size(); ++k) {
        const Token& x = t[sig[k]];
        if (isOp(x, "(") || isOp(x, ")") || isOp(x, "&")) continue;
        if (!isName(x) || k + 2 >= sig.size() - 2 || !isOp(t[sig[k + 1]], ".") || !isName(t[sig[k + 2]]))
            return std::nullopt;
        const std::string table(unquotedName(x));
        if (test.table.empty()) test.table = table;
        else if (!sameName(test.table, table)) return std::nullopt;
        k += 2;
    }
    if (test.table.empty()) return std::nullopt;
    return test;
}

std::vector<LikeTest> likeTests(const Tokens& t, std::size_t b, std::size_t e) {
    stripParentheses(t, b, e);
    std::vector<LikeTest> tests;
    for (auto [from, to] : splitAt(t, b, e, "OR")) {
        std::optional<LikeTest> test = likeTest(t, from, to);
        if (!test) return {};
        tests.push_back(std::move(*test));
    }
    return tests;
}

std::vector<std::pair<std::size_t, std::size_t>> conditionsOf(const Tokens& t, const Select& q) {
    if (q.where == kNoToken) return {};
    int depth = 0;
    for (std::size_t i = q.where; i < q.end; ++i) {
        if (isOp(t[i], "(")) ++depth;
        if (isOp(t[i], ")")) --depth;
        if (depth == 0 && isWord(t[i], "BETWEEN")) return {};
    }
    std::size_t b = q.where + 1, e = q.end;
    stripParentheses(t, b, e);
    if (splitAt(t, b, e, "OR").size() > 1) return {{b, e}};
    return splitAt(t, b, e, "AND");
}

}  // namespace lumo::db::detail
