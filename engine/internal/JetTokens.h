#pragma once
// The tokens of a Jet statement, as the translator's steps pass them on.
// Internal to the engine: reached through the engine's private include
// path (and the engine tests'), never through the public headers.
#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace lumo::db::detail {

enum class TokenKind { Space, Word, Bracket, Quoted, String, Number, Date, Op };

struct Token {
    TokenKind kind;
    std::string text;
};

// The tokens of a text, by the one tokenizer of the translation (JetSql.cpp);
// concatenated, they give the text back. Throws lumo::Error for what the
// tokenizer refuses (JetSqlText's constructor lists it).
std::vector<Token> tokenizeJet(std::string_view sql);

// Questions asked of one token, shared by the steps of the translation.
// Keywords are compared without building upper-case copies: the
// translation runs for every new statement shape.
constexpr char asciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// `keyword` in upper case.
inline bool equalsKeyword(std::string_view text, std::string_view keyword) {
    return text.size() == keyword.size() &&
           std::equal(text.begin(), text.end(), keyword.begin(), [](char a, char b) { return asciiUpper(a) == b; });
}

inline bool isWord(const Token& t, std::string_view keyword) { return t.kind == TokenKind::Word && equalsKeyword(t.text, keyword); }
inline bool isOp(const Token& t, std::string_view op) { return t.kind == TokenKind::Op && t.text == op; }
inline bool isName(const Token& t) {
    return t.kind == TokenKind::Word || t.kind == TokenKind::Bracket || t.kind == TokenKind::Quoted;
}

// A name without its brackets or quotes; a view into the token.
inline std::string_view unquotedName(const Token& t) {
    const std::string_view s = t.text;
    return t.kind == TokenKind::Bracket || t.kind == TokenKind::Quoted ? s.substr(1, s.size() - 2) : s;
}

// Jet's names are the same whatever the case of their letters.
inline bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return asciiUpper(x) == asciiUpper(y); });
}

// The values of "INSERT INTO T (C, ...) VALUES (v, ...), (v, ...) ...",
// whose significant tokens are tok(0) .. tok(size - 1), tok(4) the first
// after the column list's "(": each(column, first, last) for every value
// given for a listed column, first..last its significant tokens. Both the
// parameter columns and the whole-column wrapping walk the lists this way.
template <class Tok, class Each>
void forEachInsertedValue(std::size_t size, const Tok& tok, Each&& each) {
    std::vector<const Token*> columns;
    std::size_t k = 4;
    for (; k < size && !isOp(tok(k), ")"); ++k)
        if (isName(tok(k))) columns.push_back(&tok(k));
    if (++k >= size || !isWord(tok(k), "VALUES")) return;
    ++k;
    while (k < size && isOp(tok(k), "(")) {  // one row of values
        std::size_t item = 0, itemStart = ++k;
        for (int depth = 0; k < size; ++k) {
            const Token& t = tok(k);
            if (depth == 0 && (isOp(t, ",") || isOp(t, ")"))) {
                if (item < columns.size() && k > itemStart) each(*columns[item], itemStart, k - 1);
                ++item;
                itemStart = k + 1;
                if (isOp(t, ")")) break;
            } else if (isOp(t, "(")) {
                ++depth;
            } else if (isOp(t, ")")) {
                --depth;
            }
        }
        if (++k < size && isOp(tok(k), ",")) ++k;
    }
}

}  // namespace lumo::db::detail
