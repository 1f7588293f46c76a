#pragma once
// The items of one nesting level of a FROM clause, as the rewrites of joins
// (OuterJoins.cpp, SearchJoins.cpp) take it apart and put it together.
// Internal to the engine.
#include <algorithm>
#include <cstddef>
#include <string_view>
#include <vector>

#include "JetTokens.h"

namespace lumo::db::detail {

using Tokens = std::vector<Token>;

inline Token word(std::string_view text) { return {TokenKind::Word, std::string(text)}; }
inline Token space() { return {TokenKind::Space, " "}; }

// One element of a nesting level: a token, or a parenthesised group with
// everything inside it.
struct Item {
    Tokens tokens;
    bool group = false;
    const Token& first() const { return tokens.front(); }
};

// Splits the significant tokens of [b, e) into items; groups keep their
// inner white space.
inline std::vector<Item> itemsOf(const Tokens& t, std::size_t b, std::size_t e) {
    std::vector<Item> items;
    for (std::size_t i = b; i < e; ++i) {
        if (t[i].kind == TokenKind::Space) continue;
        if (!isOp(t[i], "(")) {
            items.push_back({{t[i]}, false});
            continue;
        }
        int depth = 0;
        std::size_t j = i;
        for (; j < e; ++j) {
            if (isOp(t[j], "(")) ++depth;
            if (isOp(t[j], ")") && --depth == 0) break;
        }
        items.push_back({Tokens(t.begin() + static_cast<std::ptrdiff_t>(i),
                                t.begin() + static_cast<std::ptrdiff_t>(std::min(j + 1, e))),
                         true});
        i = j;
    }
    return items;
}

// Appends items [b, e) with single spaces between them (none around '.').
inline void append(Tokens& out, const std::vector<Item>& items, std::size_t b, std::size_t e) {
    for (std::size_t i = b; i < e; ++i) {
        const bool dot = isOp(items[i].first(), ".") || (!out.empty() && isOp(out.back(), "."));
        if (!out.empty() && !dot) out.push_back(space());
        out.insert(out.end(), items[i].tokens.begin(), items[i].tokens.end());
    }
}

// A join operand: a table (with an alias) or a parenthesised join.
inline bool isOperand(const std::vector<Item>& items, std::size_t b, std::size_t e) {
    if (e - b == 1) return items[b].group || isName(items[b].first());
    if (e - b == 2) return isName(items[b].first()) && isName(items[b + 1].first()) && !items[b + 1].group;
    return e - b == 3 && isName(items[b].first()) && isWord(items[b + 1].first(), "AS") && isName(items[b + 2].first());
}

}  // namespace lumo::db::detail
