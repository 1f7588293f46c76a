#pragma once
// The parts of a translated SELECT that the search rewrites look at: its
// clauses, the conditions of its WHERE clause, and the OR chains of LIKE
// tests the search lists build. Internal to the engine; shared by
// SearchJoins.cpp and SubstringSearch.cpp.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "JetTokens.h"
#include "JoinItems.h"

namespace lumo::db::detail {

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

// Splits [b, e) at the keyword `op` outside parentheses.
std::vector<std::pair<std::size_t, std::size_t>> splitAt(const Tokens& t, std::size_t b, std::size_t e,
                                                         std::string_view op);

// One test of a search condition: "<operand> LIKE <constant>", where the
// operand reads the columns of one table only (a column, or columns joined
// with &, in parentheses or not), so that it is Null on a Null row.
struct LikeTest {
    std::string table;  // the qualifier of its columns
    std::size_t b, e;   // its tokens
};

std::optional<LikeTest> likeTest(const Tokens& t, std::size_t b, std::size_t e);

// The tests of a condition that is an OR of LIKE tests; empty otherwise.
std::vector<LikeTest> likeTests(const Tokens& t, std::size_t b, std::size_t e);

// The conditions joined by AND in the WHERE clause of `q` (the whole
// clause when an OR outside parentheses binds it looser); none when a
// BETWEEN (whose AND is its own) stands outside parentheses.
std::vector<std::pair<std::size_t, std::size_t>> conditionsOf(const Tokens& t, const Select& q);

}  // namespace lumo::db::detail
