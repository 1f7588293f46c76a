#pragma once
// The parts of a translated SELECT that the passes still working on its
// tokens look at (unused joins, distinct keys, read columns): its clauses
// and the tables of its FROM clause. The passes over the tree read the
// same off the tree (FromClause.h). Internal to the engine.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "JetTokens.h"

namespace lumo::db::detail {

using Tokens = std::vector<Token>;

inline constexpr std::size_t kNoToken = static_cast<std::size_t>(-1);

// The words of a FROM clause's joins (ON and AS included): never a table.
bool isFromKeyword(const Token& t);

// A qualified column "q . c" at the significant token sig[k]: the two
// names, and k moved past it; nullopt (k unchanged) otherwise.
struct QualifiedColumn {
    std::string_view qualifier, column;
};
std::optional<QualifiedColumn> qualifiedColumn(const Tokens& t, const std::vector<std::size_t>& sig, std::size_t& k);

// Significant token indexes of [b, e).
std::vector<std::size_t> significantIn(const Tokens& t, std::size_t b, std::size_t e);

// One SELECT: the indexes of its keywords, in the token vector.
struct Select {
    std::size_t select = kNoToken, from = kNoToken, where = kNoToken, end = kNoToken;
    bool star = false;
    bool shaped = false;  // has GROUP BY, ORDER BY, HAVING, LIMIT, a compound or ';'
};

// The SELECT whose keyword is tokens[s]; it ends at the ')' that closes
// the group it stands in, or at the end.
Select selectAt(const Tokens& t, std::size_t s);

// [b, e) without the parentheses that enclose all of it.
void stripParentheses(const Tokens& t, std::size_t& b, std::size_t& e);

}  // namespace lumo::db::detail
