#pragma once
// The tokens of a Jet statement, as the translator's steps pass them on.
// Internal to the engine: reached through the engine's private include
// path (and the engine tests'), never through the public headers.
#include <string>

namespace lumo::db::detail {

enum class TokenKind { Space, Word, Bracket, Quoted, String, Number, Date, Op };

struct Token {
    TokenKind kind;
    std::string text;
};

}  // namespace lumo::db::detail
