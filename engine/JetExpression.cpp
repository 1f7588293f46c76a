#include "engine/JetExpression.h"

#include <optional>

#include "DateArguments.h"
#include "JetTree.h"
#include "JetTypes.h"

namespace lumo::db {
namespace {

std::string rendered(const tree::Tree& tree, const tree::NodeTypes& typeOfNode = {}) {
    bool repeats = false;
    std::string sql = tree::renderJetTree(tree, false, &repeats, typeOfNode);
    if (!repeats) return sql;
    return tree::renderJetTree(tree, true, nullptr, typeOfNode);
}

}  // namespace

std::string renderJetStatement(const std::vector<detail::Token>& tokens) {
    return rendered(tree::parseJetTree(tokens));
}

std::string renderJetStatement(const std::vector<detail::Token>& tokens, std::span<const JetType> parameters,
                               const DateColumnLookup& dateColumns, std::vector<JetType>& itemTypes) {
    const tree::Tree tree = tree::parseJetTree(tokens);
    // The tables are found only when an expression of the list names a
    // column: most statements' items are bare columns or none.
    std::optional<detail::StatementTables> tables;
    tree::DateNames dateNames;
    if (dateColumns)
        dateNames = [&](std::string_view qualifier, std::string_view column) {
            if (!tables) tables.emplace(tokens, dateColumns);
            return tables->isDate(qualifier, column);
        };
    itemTypes = tree::selectItemTypes(tree, parameters, dateNames);
    return rendered(tree, [&](tree::Index node) { return tree::typeOf(tree, node, parameters, dateNames); });
}

}  // namespace lumo::db
