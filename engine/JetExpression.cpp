#include "engine/JetExpression.h"

namespace lumo::db {

StatementTree::StatementTree(std::vector<detail::Token> tokens, std::span<const JetType> parameters,
                             const DateColumnLookup& dateColumns)
    : tokens_(std::move(tokens)), tree_(tree::parseJetTree(tokens_)), parameters_(parameters), dateColumns_(dateColumns) {
    if (dateColumns_)
        dateNames_ = [this](std::string_view qualifier, std::string_view column) {
            if (!tables_) tables_.emplace(tree_, dateColumns_);
            return tables_->isDate(qualifier, column);
        };
}

JetType StatementTree::typeOf(tree::Index node) const { return tree::typeOf(tree_, node, parameters_, dateNames_); }

tree::RenderedSql StatementTree::sql(bool narrowed) const {
    const tree::RenderOptions options{tree_.additions.numbered, narrowed,
                                      [this](tree::Index node) { return typeOf(node); }};
    return tree::renderJetTree(tree_, options);
}

std::vector<JetType> StatementTree::itemTypes() const { return tree::selectItemTypes(tree_, parameters_, dateNames_); }

}  // namespace lumo::db
