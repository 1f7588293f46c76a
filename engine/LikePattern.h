#pragma once
// A LIKE pattern of the engine's dialect read into its parts, once per
// pattern, for the matcher (LikeFunction.h) and for the substring index's
// lookups (SubstringSearch.h), so that both read a pattern the same way.
//
//   %        any run of characters (also none)
//   _        any one character
//   [abc]    one of the characters listed; [a-z] one in the range, by code
//            point; [!abc] one character not listed ('!' first); a '-' first
//            or last in the list is itself; [%], [_] and [[] are the
//            characters themselves; [] stands for nothing
//   else     the character itself, ASCII letters in either case
//
// A '[' without a ']' after it is the character itself, as it was before
// the engine read lists: callers that splice a user's word unescaped keep
// finding a word such as "[株" literally.
//
// Values only; any thread.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lumo::db {

struct LikePart {
    enum class Kind { Text, AnyRun, AnyOne, OneOf };
    Kind kind = Kind::Text;
    std::string text;                                // Text: the bytes to find, as written
    std::vector<std::pair<char32_t, char32_t>> ranges;  // OneOf: inclusive code point ranges
    bool negated = false;                            // OneOf: any character but those
};

struct LikePattern {
    // Adjacent Text parts are joined, and so are runs of %.
    std::vector<LikePart> parts;
};

LikePattern parseLike(std::string_view pattern);

// True when code point c is one the list `part` accepts.
bool inList(const LikePart& part, char32_t c);

}  // namespace lumo::db
