#pragma once
// Characters of text as Jet's text functions see them: positions count
// characters, not bytes, and a text comparison ignores the case of ASCII,
// Latin-1 and full-width Latin letters. Each letter and its other case
// take the same number of bytes in UTF-8, so a folded text keeps every
// byte offset of the original and a match found in it is a match in the
// original at the same place.
// Stateless; any thread.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/functions/FunctionCall.h"

namespace lumo::db::jet {

std::string upperCase(std::string_view text);
std::string lowerCase(std::string_view text);

// The byte offset where each character starts, followed by text.size().
std::vector<std::size_t> characterStarts(std::string_view text);
// How many characters precede byte offset `at`.
std::size_t characterIndex(std::string_view text, std::size_t at);
// Characters [first, first + count) of `text` (0-based, clipped at the end).
std::string_view characters(std::string_view text, std::size_t first, std::size_t count);

// The code point at the start of non-empty `text` (U+FFFD for a broken
// sequence), and a code point written as UTF-8.
char32_t firstCodePoint(std::string_view text);
std::string utf8Of(char32_t codePoint);

// The compare argument of InStr, InStrRev, Replace and StrComp: 0 compares
// binary, 1 (text), 2 (database) and -1 (the default option) ignore case.
// Absent, it ignores case, as text comparisons do throughout the engine.
bool ignoresCase(const Args& args, std::size_t index);

// Text ready for comparing: folded when `ignoreCase`, as it is otherwise.
std::string comparable(std::string_view text, bool ignoreCase);

}  // namespace lumo::db::jet
