#include "engine/JetExpression.h"

#include "JetTree.h"

namespace lumo::db {

std::string renderJetStatement(const std::vector<detail::Token>& tokens) {
    const tree::Tree tree = tree::parseJetTree(tokens);
    bool repeats = false;
    std::string sql = tree::renderJetTree(tree, false, &repeats);
    if (!repeats) return sql;
    return tree::renderJetTree(tree, true);
}

}  // namespace lumo::db
