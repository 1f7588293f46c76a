#pragma once
// Characters of UTF-8 text. Wherever the suite counts the length of a text
// or a position in it, it counts Unicode characters, never bytes: a line of
// five kanji is five characters. A broken sequence (a stray continuation
// byte, a truncated or overlong form) counts as one character: the longest
// prefix that could still have begun a character, at least one byte, which
// is also what the CP932 writer replaces by a single '?'. Splitting a text
// at these boundaries therefore never loses or changes a byte.
#include <cstddef>
#include <string>
#include <string_view>

namespace lumo::utf8 {

// Whether `a` and `b` are the same text with ASCII letters compared
// ignoring case and every other byte as it is: the names of SQL's words,
// of Jet's functions and of months and weekdays.
inline bool sameIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

// Length of the UTF-8 sequence at the start of non-empty `s` when it is one
// complete, well-formed character; otherwise the negated length of the
// broken prefix described above.
int sequenceLength(std::string_view s);

// Bytes of the character at the start of non-empty `s`, broken or not.
inline std::size_t characterBytes(std::string_view s) {
    const int length = sequenceLength(s);
    return static_cast<std::size_t>(length < 0 ? -length : length);
}

// Number of characters of `s`.
std::size_t characterCount(std::string_view s);

// The first `n` characters of `s` (all of `s` when it has fewer).
std::string_view firstCharacters(std::string_view s, std::size_t n);

// The code point of the character at the start of non-empty `s`; U+FFFD
// when it is broken.
char32_t firstCodePoint(std::string_view s);

// Appends code point `c` (at most U+10FFFF) to `out` in UTF-8.
void append(std::string& out, char32_t c);

}  // namespace lumo::utf8
