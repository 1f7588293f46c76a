#pragma once
// The conditions of the search lists that the person and item classes hand
// to their clients. A condition is made of groups; a group matches one
// search word against several columns with LIKE tests joined by OR, and
// two groups are joined by AND. Every builder writes its groups through
// these two functions, so the word is always spliced the same way: quotes
// doubled (a word can never end its pattern early), % and _ left as the
// wildcards users type them as, nothing trimmed.
#include <initializer_list>
#include <string>
#include <string_view>

namespace lumo::access {

// One test: head + word + tail, e.g. {"T_ITEMS.ITEM_NAME LIKE '%", "%'"}.
struct LikeTest {
    std::string_view head;
    std::string_view tail;
};

enum class Enclosed { No, Yes };

// The tests with `word` spliced in, joined by " OR ", inside parentheses
// when `enclosed` says so; "" for an empty word (the group is left out).
std::string likeGroup(std::initializer_list<LikeTest> tests, std::string_view word, Enclosed enclosed);

// How two groups that are both present are joined. A group written
// without parentheses of its own must get them: otherwise AND binds to its
// last test alone, and adding a second word would widen the list.
enum class Join { AsWritten, Parenthesised };

// first AND second when both are present, otherwise the one present, ""
// when neither is.
std::string bothGroups(const std::string& first, const std::string& second, Join join);

}  // namespace lumo::access
