#include "access/core/SearchText.h"

#include "access/core/SqlText.h"

namespace lumo::access {

std::string likeGroup(std::initializer_list<LikeTest> tests, std::string_view word, Enclosed enclosed) {
    if (word.empty()) return {};
    const std::string quoted = sqlQuoted(word);
    std::string group = enclosed == Enclosed::Yes ? "(" : "";
    bool first = true;
    for (const LikeTest& test : tests) {
        if (!first) group += " OR ";
        first = false;
        group.append(test.head).append(quoted).append(test.tail);
    }
    if (enclosed == Enclosed::Yes) group += ')';
    return group;
}

std::string bothGroups(const std::string& first, const std::string& second, Join join) {
    if (first.empty()) return second;
    if (second.empty()) return first;
    if (join == Join::AsWritten) return first + " AND " + second;
    return "(" + first + ") AND (" + second + ")";
}

}  // namespace lumo::access
