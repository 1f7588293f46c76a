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

}  // namespace lumo::db::detail
