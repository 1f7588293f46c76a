#include "RowSource.h"

#include <string>
#include <variant>

namespace lumo::db::tree {
namespace {

// The part of the outer level that is the clause word `word`, or nothing.
const Clauses::Part* outerWord(const Tree& tree, std::string_view word, std::size_t* at = nullptr) {
    const auto& parts = outerParts(tree);
    for (std::size_t k = 0; k < parts.size(); ++k)
        if (isWordPart(tree, parts[k], word)) {
            if (at) *at = k;
            return &parts[k];
        }
    return nullptr;
}

}  // namespace

void readWholeTableInKeyOrder(Tree& tree) {
    std::size_t k = 0;
    if (!outerWord(tree, "FROM", &k)) return;
    const auto& parts = outerParts(tree);
    if (k + 1 >= parts.size() || parts[k + 1].expression == kNoNode) return;
    const auto* names = std::get_if<Written>(&tree.nodes[parts[k + 1].expression]);
    if (names && names->items.size() == 1 && names->items[0].group == kNoNode)
        tree.additions.notIndexedAfter = names->items[0].place.at;
}

void addRowIdentity(Tree& tree, std::string_view source) {
    const Clauses::Part* from = outerWord(tree, "FROM");
    if (!from) return;
    tree.additions.rowIdentityBefore = from->place.at;
    tree.additions.rowIdentitySource = std::string(source);
}

}  // namespace lumo::db::tree
