#include "Conditions.h"

namespace lumo::db::tree {

using detail::isName;
using detail::sameName;

namespace {

std::string_view qualifierOf(const Tree& tree, const QualifiedName& q) {
    return detail::unquotedName(tree.tokens[q.first.at]);
}

bool readsOneTable(const Tree& tree, Index node, std::string_view& table) {
    node = unwrapped(tree, node);
    if (const QualifiedName* q = std::get_if<QualifiedName>(&tree.nodes[node])) {
        if (q->rest.size() != 2 || !isName(tree.tokens[q->first.at]) || !isName(tree.tokens[q->rest[1].at])) return false;
        if (table.empty()) table = qualifierOf(tree, *q);
        return sameName(table, qualifierOf(tree, *q));
    }
    if (const Concat* c = std::get_if<Concat>(&tree.nodes[node])) {
        for (const Index operand : c->operands)
            if (!readsOneTable(tree, operand, table)) return false;
        return true;
    }
    return false;
}

}  // namespace

std::optional<LikeTest> likeTest(const Tree& tree, Index node) {
    node = unwrapped(tree, node);
    const Compare* compare = std::get_if<Compare>(&tree.nodes[node]);
    if (!compare || compare->steps.size() != 1) return std::nullopt;
    const Compare::Step& step = compare->steps[0];
    if (step.kind != Compare::Kind::Like || step.negated || step.escaped) return std::nullopt;
    const Atom* pattern = std::get_if<Atom>(&tree.nodes[step.right]);
    if (!pattern || !(pattern->role == Atom::Role::Parameter ||
                      (pattern->role == Atom::Role::Literal &&
                       tree.tokens[pattern->place.at].kind == detail::TokenKind::String)))
        return std::nullopt;
    LikeTest test{{}, node};
    if (!readsOneTable(tree, compare->first, test.table)) return std::nullopt;
    return test;
}

std::vector<LikeTest> likeTests(const Tree& tree, Index condition) {
    const Index node = unwrapped(tree, condition);
    std::vector<Index> operands{node};
    if (const Chain* chain = std::get_if<Chain>(&tree.nodes[node]); chain && !chain->steps.empty() && chain->steps[0].isOr) {
        operands = {chain->first};
        for (const Chain::Step& step : chain->steps) operands.push_back(step.right);
    }
    std::vector<LikeTest> tests;
    for (const Index operand : operands) {
        const std::optional<LikeTest> test = likeTest(tree, operand);
        if (!test) return {};
        tests.push_back(*test);
    }
    return tests;
}


}  // namespace lumo::db::tree
