#include "engine/JetExpression.h"

#include <optional>

#include "DateArguments.h"
#include "JetTree.h"
#include "JetTypes.h"

namespace lumo::db {
namespace {

std::string rendered(const tree::Tree& tree, std::span<const JetType> parameters = {}) {
    bool repeats = false;
    std::string sql = tree::renderJetTree(tree, false, &repeats, parameters);
    if (!repeats) return sql;
    return tree::renderJetTree(tree, true, nullptr, parameters);
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
    return rendered(tree, parameters);
}

}  // namespace lumo::db
