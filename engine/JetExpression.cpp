#include "engine/JetExpression.h"

#include "JetTree.h"
#include "JetTypes.h"

namespace lumo::db {
namespace {

std::string rendered(const tree::Tree& tree) {
    bool repeats = false;
    std::string sql = tree::renderJetTree(tree, false, &repeats);
    if (!repeats) return sql;
    return tree::renderJetTree(tree, true);
}

}  // namespace

std::string renderJetStatement(const std::vector<detail::Token>& tokens) {
    return rendered(tree::parseJetTree(tokens));
}

std::string renderJetStatement(const std::vector<detail::Token>& tokens, std::span<const JetType> parameters,
                               std::vector<JetType>& itemTypes) {
    const tree::Tree tree = tree::parseJetTree(tokens);
    itemTypes = tree::selectItemTypes(tree, parameters);
    return rendered(tree);
}

}  // namespace lumo::db
