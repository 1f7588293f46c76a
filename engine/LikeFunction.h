#pragma once
// The engine's LIKE: % any run of characters, _ one character, ASCII
// letters in either case equal, Null gives Null (as SQLite's own), and
// Jet's character lists [abc], [!abc], [a-z], [%] (LikePattern.h). Written
// for the patterns the search lists use, where a literal is looked for
// inside, at the start or at the end of a column; each pattern is read
// once per statement.
// SQLite's general matcher costs more per row than reading the row does;
// the search lists test every row of a table up to three times.
#include <sqlite3.h>

#include <string_view>

#include "engine/LikePattern.h"

namespace lumo::db {

// True when `text` matches `pattern`.
bool likeMatches(std::string_view pattern, std::string_view text);
bool likeMatches(const LikePattern& pattern, std::string_view text);

// Installs like(pattern, text), which `x LIKE y` calls, on the connection,
// and lumo_like_any(text, pattern1, pattern2, ...), the value of
// `text LIKE pattern1 OR text LIKE pattern2 OR ...` in one call (the
// translation writes such a chain so: a phone search tests each number
// against three patterns), and lumo_like_pairs(text1, pattern1, text2,
// pattern2, ...), the value of `text1 LIKE pattern1 OR text2 LIKE pattern2
// OR ...` (a word searched in several columns). LIKE ... ESCAPE keeps
// SQLite's own function.
// Throws lumo::Error when SQLite refuses it.
void installLike(sqlite3* db);

// The names the chain functions are registered under, for the renderer
// that writes a chain of LIKE tests as one call (JetTree.h's LikeChain).
inline constexpr std::string_view kLikeAnyFunction = "lumo_like_any";
inline constexpr std::string_view kLikePairsFunction = "lumo_like_pairs";

// Whether `name` (any case) is one of those: a call written in a statement
// that stands for a chain of LIKE tests, and so gives a truth, around
// which And and Or stay SQLite's.
bool isLikeChainCall(std::string_view name);

}  // namespace lumo::db
