#pragma once
// What the passes over a statement's tree (JetTree.h) read of a WHERE
// clause: the conditions it joins with And, and the Or chains of LIKE
// tests the search lists build. Shared by the search joins
// (SearchJoins.h), the substring narrowing (SubstringSearch.h) and the
// like chains (LikeChains.h). Internal to the engine; stateless, the
// caller's thread.
#include <optional>
#include <string_view>
#include <vector>

#include "JetTree.h"

namespace lumo::db::tree {

// The expression inside any parentheses written around `node`.
inline Index unwrapped(const Tree& tree, Index node) {
    for (;;) {
        const Group* g = std::get_if<Group>(&tree.nodes[node]);
        if (!g || !g->closed) return node;
        const Clauses& inner = std::get<Clauses>(tree.nodes[g->inner]);
        if (!inner.operand || inner.parts.size() != 1 || inner.parts[0].expression == kNoNode) return node;
        node = inner.parts[0].expression;
    }
}

// The conditions the WHERE expression `where` joins with And, each without
// its parentheses, or the whole one. A condition narrowed by keys or by a
// substring index counts as the condition it narrows.
inline std::vector<Index> conditionsOf(const Tree& tree, Index where) {
    Index node = unwrapped(tree, where);
    if (const KeysNarrowing* narrowed = std::get_if<KeysNarrowing>(&tree.nodes[node]))
        node = unwrapped(tree, narrowed->condition);
    if (const IndexNarrowing* narrowed = std::get_if<IndexNarrowing>(&tree.nodes[node]))
        node = unwrapped(tree, narrowed->condition);
    const Chain* chain = std::get_if<Chain>(&tree.nodes[node]);
    const bool conjunction = chain && !chain->steps.empty() && chain->steps[0].function.empty() && !chain->steps[0].isOr;
    if (!conjunction) return {node};
    std::vector<Index> out{unwrapped(tree, chain->first)};
    for (const Chain::Step& step : chain->steps) out.push_back(unwrapped(tree, step.right));
    return out;
}

// One test of a search condition: "<operand> LIKE <constant>", where the
// operand reads the columns of one table only (a column, or columns
// joined with &, in parentheses or not), so that it is Null on the Null
// row an outer join adds.
struct LikeTest {
    std::string_view table;  // the qualifier of its columns
    Index node;              // the Compare
};
std::optional<LikeTest> likeTest(const Tree& tree, Index node);

// The tests of a condition that is one LIKE test or an Or of them; empty
// otherwise.
std::vector<LikeTest> likeTests(const Tree& tree, Index condition);

}  // namespace lumo::db::tree
