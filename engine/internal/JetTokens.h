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
// DISTINCT, DISTINCTROW or ALL: what may stand between SELECT and its list
// (or Jet's TOP).
inline bool isQuantifier(const Token& t) {
    return isWord(t, "DISTINCT") || isWord(t, "DISTINCTROW") || isWord(t, "ALL");
}
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

// Whether the tokens [b, e) hold a literal or a literal's parameter. The
// literals are bound by their order: text holding one cannot be left out
// or moved without moving the others' numbers.
inline bool holdsLiteral(const std::vector<Token>& t, std::size_t b, std::size_t e) {
    return std::any_of(t.begin() + static_cast<std::ptrdiff_t>(b), t.begin() + static_cast<std::ptrdiff_t>(e),
                       [](const Token& x) {
                           return isOp(x, "?") || x.kind == TokenKind::String || x.kind == TokenKind::Number ||
                                  x.kind == TokenKind::Date;
                       });
}

// The numbers SQLite gives the parameters of a statement's tokens, fed in
// order: an anonymous '?' takes the one after the largest so far, and a
// "?N" (a parameter written numbered, as the renderer writes TOP's
// copies) is N. Counting the '?' alone misses the moved ones.
class ParameterNumbers {
public:
    // The number of `t`, or 0 when it is not a parameter.
    std::size_t next(const Token& t) {
        if (t.kind == TokenKind::Op && t.text == "?") return ++highest_;
        if (t.kind != TokenKind::Number || t.text.size() < 2 || t.text[0] != '?') return 0;
        std::size_t n = 0;
        for (std::size_t i = 1; i < t.text.size() && t.text[i] >= '0' && t.text[i] <= '9'; ++i)
            n = n * 10 + static_cast<std::size_t>(t.text[i] - '0');
        highest_ = std::max(highest_, n);
        return n;
    }
    std::size_t highest() const { return highest_; }

private:
    std::size_t highest_ = 0;
};

}  // namespace lumo::db::detail
