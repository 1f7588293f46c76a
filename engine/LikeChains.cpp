#include "LikeChains.h"

#include <optional>
#include <variant>
#include <vector>

#include "Conditions.h"
#include "FromClause.h"

namespace lumo::db::tree {
namespace {

struct ChainTest {
    Index column;   // a QualifiedName T.c
    Index pattern;  // an Atom
};

std::optional<ChainTest> chainTest(const Tree& tree, Index node) {
    const Compare* compare = std::get_if<Compare>(&tree.nodes[unwrapped(tree, node)]);
    if (!compare || compare->steps.size() != 1) return std::nullopt;
    const Compare::Step& step = compare->steps[0];
    if (step.kind != Compare::Kind::Like || step.negated || step.escaped) return std::nullopt;
    if (!columnAt(tree, compare->first)) return std::nullopt;
    const Atom* pattern = std::get_if<Atom>(&tree.nodes[step.right]);
    const bool constant = pattern && (pattern->role == Atom::Role::Parameter ||
                                      (pattern->role == Atom::Role::Literal &&
                                       tree.tokens[pattern->place.at].kind == detail::TokenKind::String));
    if (!constant) return std::nullopt;
    return ChainTest{compare->first, step.right};
}

bool sameColumn(const Tree& tree, Index a, Index b) {
    const auto& x = std::get<QualifiedName>(tree.nodes[a]);
    const auto& y = std::get<QualifiedName>(tree.nodes[b]);
    const auto name = [&](Place p) { return detail::unquotedName(tree.tokens[p.at]); };
    return detail::sameName(name(x.first), name(y.first)) && detail::sameName(name(x.rest[1]), name(y.rest[1]));
}

// The call for the chain at `node`, or nothing when it is not a chain of
// two or more tests.
std::optional<LikeChain> chainAt(const Tree& tree, Index node) {
    const Chain* chain = std::get_if<Chain>(&tree.nodes[node]);
    if (!chain || chain->steps.empty() || !chain->steps[0].isOr) return std::nullopt;
    std::vector<ChainTest> tests;
    for (std::size_t k = 0; k <= chain->steps.size(); ++k) {
        const std::optional<ChainTest> test = chainTest(tree, k == 0 ? chain->first : chain->steps[k - 1].right);
        if (!test) return std::nullopt;
        tests.push_back(*test);
    }
    LikeChain out{true, {tests[0].column}};
    for (const ChainTest& test : tests) out.oneColumn = out.oneColumn && sameColumn(tree, test.column, tests[0].column);
    if (out.oneColumn) {
        for (const ChainTest& test : tests) out.operands.push_back(test.pattern);
        return out;
    }
    out.operands.clear();
    for (const ChainTest& test : tests) out.operands.insert(out.operands.end(), {test.column, test.pattern});
    return out;
}

}  // namespace

void joinLikeChains(Tree& tree) {
    // Each chain node is replaced where it stands: the tree keeps its size,
    // and every index into it stays valid.
    for (Index n = 0; n < tree.nodes.size(); ++n) {
        const Clauses* level = std::get_if<Clauses>(&tree.nodes[n]);
        if (!level) continue;
        for (std::size_t k = 0; k + 1 < level->parts.size(); ++k) {
            const Index where = level->parts[k + 1].expression;
            if (where == kNoNode || !isWordPart(tree, level->parts[k], "WHERE")) continue;
            for (const Index condition : conditionsOf(tree, where))
                if (std::optional<LikeChain> call = chainAt(tree, condition)) tree.nodes[condition] = std::move(*call);
        }
    }
}

}  // namespace lumo::db::tree
